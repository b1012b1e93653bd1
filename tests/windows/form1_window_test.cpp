#include "form1_fixture.h"
#include "windows/about/zentor.h"

using namespace tumblecast;
using namespace tumblecast::test;

using Form1Window = Form1Test;

TEST_F(Form1Window, OpensAtItsFixedSizeAndItsCloseBoxEndsTheProgram)
{
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_FALSE(form->windowIcon().pixmap(32).isNull());
    form->close();
    EXPECT_EQ(platform.endings, 1);
    EXPECT_TRUE(platform.messages.isEmpty());
}

// What is switched off or disabled at the start (the optional fields, Copy, the empty slots) is skipped.
TEST_F(Form1Window, TabOrderStartsInTheResultBoxAndSkipsWhatCannotTakeFocus)
{
    EXPECT_TRUE(form->Text1->hasFocus());
    const std::vector<QWidget*> expected = {
        form->Check1,   form->Check2,   form->Text2,    form->Text3,   form->Command4, form->Command2,
        form->Command1, form->Command3, form->Check6,   form->Option1, form->Option2,  form->Option3,
        form->Option4,  form->Option5,  form->Option6,  form->Option7, form->Option8,  form->Option10,
        form->Option9,  form->Command5, form->Option15, form->Check3,  form->Text1};
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }

    // Switched-on fields and an enabled Copy button join the order where they belong.
    enter({.dice = "1", .sides = "6", .modify = "1", .times = "1"});
    generate();
    ASSERT_TRUE(platform.messages.isEmpty());
    const std::pair<QWidget*, QWidget*> steps[] = {
        {form->Text3, form->Text4}, {form->Text4, form->Text6}, {form->Check3, form->Command6}};
    for (auto [from, to] : steps) {
        from->setFocus();
        QTest::keyClick(from, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), to) << from->objectName().toStdString();
    }
}

TEST_F(Form1Window, AccessKeysActAtOnce)
{
    QTest::keyClick(form.get(), Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(platform.messages, QStringList{kDiceAndSides});
    EXPECT_TRUE(form->Command4->hasFocus());
    QTest::keyClick(form.get(), Qt::Key_D, Qt::AltModifier);
    EXPECT_FALSE(form->Check6->isChecked());
    EXPECT_EQ(platform.endings, 0);
    QTest::keyClick(form.get(), Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(platform.endings, 1);
}

TEST_F(Form1Window, AboutOpensOneWindowAndBringsItToTheFront)
{
    const auto aboutWindows = [] {
        QList<zentor*> found;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* about = qobject_cast<zentor*>(window)) found << about;
        return found;
    };
    click(form->Command5);
    const QList<zentor*> first = aboutWindows();
    ASSERT_EQ(first.size(), 1);
    EXPECT_TRUE(first.front()->isVisible());

    // Back to the main window, which stays usable, then About again: the same window, in front.
    QApplication::setActiveWindow(form.get());
    click(form->Command5);
    EXPECT_EQ(aboutWindows(), first);
    EXPECT_TRUE(QTest::qWaitForWindowActive(first.front()));

    // Closed by a click, it is built afresh next time.
    QTest::mouseClick(first.front()->Picture1, Qt::LeftButton, {}, QPoint(2, 2));
    QTRY_VERIFY(aboutWindows().isEmpty());
    click(form->Command5);
    EXPECT_EQ(aboutWindows().size(), 1);
}
