#include "form1_fixture.h"

using namespace tumblecast;
using namespace tumblecast::test;

using Form1Window = Form1Test;

// What is switched off or disabled at the start (the optional fields, Copy, the empty slots) is skipped.
TEST_F(Form1Window, OpensFixedWithTheFocusInTheResultBoxAndTabSkipsWhatCannotTakeFocus)
{
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_FALSE(form->windowIcon().pixmap(32).isNull());
    EXPECT_TRUE(ui->Text1->hasFocus());
    EXPECT_EQ(tabWalk(23), QStringList({"Check1",   "Check2",   "Text2",    "Text3",   "Command4", "Command2",
                                        "Command1", "Command3", "Check6",   "Option1", "Option2",  "Option3",
                                        "Option4",  "Option5",  "Option6",  "Option7", "Option8",  "Option10",
                                        "Option9",  "Command5", "Option15", "Check3",  "Text1"}));

    // Switched-on fields and an enabled Copy button join the order where they belong.
    enter({.dice = "1", .sides = "6", .modify = "1", .times = "1"});
    generate();
    const std::pair<QWidget*, QWidget*> steps[] = {
        {ui->Text3, ui->Text4}, {ui->Text4, ui->Text6}, {ui->Check3, ui->Command6}};
    for (auto [from, to] : steps) {
        from->setFocus();
        QTest::keyClick(from, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), to) << from->objectName().toStdString();
    }
}

TEST_F(Form1Window, AccessKeysActAtOnce)
{
    platform.expectMessage(kDiceAndSides);
    QTest::keyClick(form.get(), Qt::Key_G, Qt::AltModifier);
    EXPECT_TRUE(ui->Command4->hasFocus());
    QTest::keyClick(form.get(), Qt::Key_D, Qt::AltModifier);
    EXPECT_FALSE(ui->Check6->isChecked());
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
    click(ui->Command5);
    const QList<zentor*> first = aboutWindows();
    ASSERT_EQ(first.size(), 1);
    EXPECT_TRUE(first.front()->isVisible());

    // Back to the main window, which stays usable, then About again: the same window, in front.
    QApplication::setActiveWindow(form.get());
    click(ui->Command5);
    EXPECT_EQ(aboutWindows(), first);
    EXPECT_TRUE(QTest::qWaitForWindowActive(first.front()));

    // Closed by a click, it is built afresh next time.
    QTest::mouseClick(first.front()->findChild<QWidget*>(QStringLiteral("Picture1")), Qt::LeftButton, {},
                      QPoint(2, 2));
    QTRY_VERIFY(aboutWindows().isEmpty());
    click(ui->Command5);
    EXPECT_EQ(aboutWindows().size(), 1);
}
