#include <QAccessible>
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
    template <class Control = QWidget>
    Control* control(const char* name) const
    {
        return about->findChild<Control*>(QLatin1String(name));
    }

    test::RecordingPlatform platform;
    QPointer<zentor> about;
};

TEST_F(About, OpensCentredWithTheCreditFocused)
{
    EXPECT_EQ(about->frameGeometry().center(),
              QGuiApplication::primaryScreen()->availableGeometry().center());
    EXPECT_EQ(control<QLineEdit>("Text2")->text(), QStringLiteral("by the Tumblecast authors"));
    EXPECT_TRUE(control("Text2")->hasFocus());
    EXPECT_FALSE(control<ImageControl>("Image1")->pixmap().isNull());  // the emblem is built in
    // With no title bar, a screen reader still learns what the window is.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(about)->role(), QAccessible::Dialog);
}

TEST_F(About, EditsOfTheCreditAreUndoneAndOnlyItsRemovalIsRebuked)
{
    auto* credit = control<QLineEdit>("Text2");
    QTest::keyClicks(credit, QStringLiteral("x"));
    QTest::keyClick(credit, Qt::Key_Backspace);
    credit->selectAll();
    QTest::keyClicks(credit, QStringLiteral("me"));
    EXPECT_EQ(credit->text(), zentor::creditText());

    for (const QKeyCombination key : {QKeyCombination(Qt::Key_Delete), QKeyCombination(Qt::Key_Backspace),
                                      Qt::ControlModifier | Qt::Key_X}) {
        SCOPED_TRACE(key.key());
        platform.expectSomeMessage();
        credit->selectAll();
        QTest::keyClick(credit, key.key(), key.keyboardModifiers());
        EXPECT_EQ(credit->text(), zentor::creditText());
        EXPECT_TRUE(platform.pendingMessages().empty());
        EXPECT_FALSE(platform.messages.last().contains(u'\n'));
    }
}

TEST_F(About, ClickAnywhereButTheCreditClosesIt)
{
    QTest::mouseClick(control("Text2"), Qt::LeftButton);
    flushDeletes();
    ASSERT_TRUE(about);

    // A bare spot of each panel.
    const std::pair<const char*, QPoint> targets[] = {
        {"Picture1", {2, 166}}, {"Move1", {2, 70}}, {"Move2", {2, 70}}};
    for (const auto& [panel, at] : targets) {
        if (!about) open();
        QWidget* widget = control(panel);
        ASSERT_EQ(about->childAt(widget->mapTo(about, at)), widget) << widget->objectName().toStdString();
        QTest::mouseClick(widget, Qt::LeftButton, {}, at);
        flushDeletes();
        EXPECT_FALSE(about) << widget->objectName().toStdString();
    }

    open();
    QTest::keyClick(control("Text2"), Qt::Key_Escape);
    flushDeletes();
    EXPECT_FALSE(about);
}

}  // namespace
