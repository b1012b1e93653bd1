#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include "recording_platform.h"
#include "windows/about/zentor.h"

using namespace tumblecast;

namespace {

class About : public ::testing::Test {
protected:
    void SetUp() override { open(); }
    void TearDown() override { delete about; }

    void open()
    {
        about = new zentor(platform);
        about->show();
        QApplication::setActiveWindow(about);
        ASSERT_TRUE(QTest::qWaitForWindowActive(about));
    }
    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    test::RecordingPlatform platform;
    QPointer<zentor> about;
};

TEST_F(About, OpensCentredWithTheCreditFocused)
{
    EXPECT_EQ(about->frameGeometry().center(),
              QGuiApplication::primaryScreen()->availableGeometry().center());
    EXPECT_EQ(about->Text2->text(), QStringLiteral("by the Tumblecast authors"));
    EXPECT_TRUE(about->Text2->hasFocus());
    EXPECT_FALSE(about->Image1->pixmap().isNull());  // the emblem is built in
}

TEST_F(About, EditsOfTheCreditAreUndoneAndOnlyItsRemovalIsRebuked)
{
    QLineEdit* credit = about->Text2;
    QTest::keyClicks(credit, QStringLiteral("x"));
    QTest::keyClick(credit, Qt::Key_Backspace);
    credit->selectAll();
    QTest::keyClicks(credit, QStringLiteral("me"));
    EXPECT_EQ(credit->text(), zentor::creditText());
    EXPECT_TRUE(platform.messages.isEmpty());

    for (const QKeyCombination key : {QKeyCombination(Qt::Key_Delete), QKeyCombination(Qt::Key_Backspace),
                                      Qt::ControlModifier | Qt::Key_X}) {
        SCOPED_TRACE(key.key());
        platform.messages.clear();
        credit->selectAll();
        QTest::keyClick(credit, key.key(), key.keyboardModifiers());
        EXPECT_EQ(credit->text(), zentor::creditText());
        ASSERT_EQ(platform.messages.size(), 1);
        EXPECT_FALSE(platform.messages.first().contains(u'\n'));
    }
}

TEST_F(About, ClickAnywhereButTheCreditClosesIt)
{
    QTest::mouseClick(about->Text2, Qt::LeftButton);
    flushDeletes();
    ASSERT_TRUE(about);

    // A bare spot of each panel.
    const std::pair<QWidget * zentor::*, QPoint> targets[] = {
        {&zentor::Picture1, {2, 166}}, {&zentor::Move1, {2, 70}}, {&zentor::Move2, {2, 70}}};
    for (const auto& [panel, at] : targets) {
        if (!about) open();
        QWidget* widget = (*about).*panel;
        ASSERT_EQ(about->childAt(widget->mapTo(about, at)), widget) << widget->objectName().toStdString();
        QTest::mouseClick(widget, Qt::LeftButton, {}, at);
        flushDeletes();
        EXPECT_FALSE(about) << widget->objectName().toStdString();
    }

    open();
    QTest::keyClick(about->Text2, Qt::Key_Escape);
    flushDeletes();
    EXPECT_FALSE(about);
    EXPECT_TRUE(platform.messages.isEmpty());
}

}  // namespace
