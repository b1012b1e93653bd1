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

// Whether a text shows whole in its box, given the box's inner margins.
bool fits(const QLineEdit* box)
{
    return box->fontMetrics().horizontalAdvance(box->text()) <= box->width() - 4;
}

TEST_F(About, OpensCentredWithoutTitleBarWithTheCreditFocusedAndWhole)
{
    EXPECT_EQ(about->windowType(), Qt::Tool);  // kept out of the task bar
    EXPECT_TRUE(about->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(about->Picture1->size(), QSize(256, 169));  // the client area, 3840 x 2535 twips
    EXPECT_EQ(about->frameGeometry().center(),
              QGuiApplication::primaryScreen()->availableGeometry().center());

    EXPECT_EQ(about->Text2->text(), QStringLiteral("by the Tumblecast authors"));
    EXPECT_TRUE(about->Text2->hasFocus());
    // The credit line lies over the lower panel's top strip.
    EXPECT_EQ(about->Picture1->childAt(about->Text2->geometry().center()), about->Text2);
    for (const QLineEdit* box : {about->Text1, about->Text2, about->Text3})
        EXPECT_TRUE(fits(box)) << box->text().toStdString();
    EXPECT_EQ(about->Image1->pixmap().size(), QSize(55, 55));  // the emblem is built in
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

    const std::pair<const char*, QKeyCombination> removals[] = {{"Delete", Qt::Key_Delete},
                                                                {"Backspace", Qt::Key_Backspace},
                                                                {"Cut", Qt::ControlModifier | Qt::Key_X}};
    for (const auto& [name, key] : removals) {
        platform.messages.clear();
        credit->selectAll();
        QTest::keyClick(credit, key.key(), key.keyboardModifiers());
        EXPECT_EQ(credit->text(), zentor::creditText()) << name;
        ASSERT_EQ(platform.messages.size(), 1) << name;
        EXPECT_FALSE(platform.messages.first().contains(u'\n'));
    }
}

TEST_F(About, ClickAnywhereButTheCreditClosesIt)
{
    QTest::mouseClick(about->Text2, Qt::LeftButton);
    flushDeletes();
    ASSERT_TRUE(about);

    // Bare spots of the frame and of each panel, and what lies on the panels (a null point is the centre).
    struct Target {
        const char* name;
        QWidget* (*widget)(zentor&);
        QPoint at;
    };
    const Target targets[] = {
        {"frame", [](zentor& w) -> QWidget* { return &w; }, {1, 1}},
        {"Picture1", [](zentor& w) { return w.Picture1; }, {2, 166}},
        {"Move1", [](zentor& w) { return w.Move1; }, {2, 70}},
        {"Move2", [](zentor& w) { return w.Move2; }, {2, 70}},
        {"Label1", [](zentor& w) -> QWidget* { return w.Label1; }, {}},
        {"Image1", [](zentor& w) -> QWidget* { return w.Image1; }, {}},
        {"Label6", [](zentor& w) -> QWidget* { return w.Label6; }, {}},
        {"Text1", [](zentor& w) -> QWidget* { return w.Text1; }, {}},
        {"Text3", [](zentor& w) -> QWidget* { return w.Text3; }, {}},
    };
    for (const Target& target : targets) {
        if (!about) open();
        QWidget* widget = target.widget(*about);
        ASSERT_EQ(
            about->childAt(widget->mapTo(about, target.at.isNull() ? widget->rect().center() : target.at)),
            widget == about ? nullptr : widget)
            << target.name;
        QTest::mouseClick(widget, Qt::LeftButton, {}, target.at);
        flushDeletes();
        EXPECT_FALSE(about) << target.name;
    }

    open();
    EXPECT_EQ(about->Text2->text(), zentor::creditText());
    QTest::keyClick(about->Text2, Qt::Key_Escape);
    flushDeletes();
    EXPECT_FALSE(about);
    EXPECT_TRUE(platform.messages.isEmpty());
}

}  // namespace
