#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>

#include "form1_fixture.h"

using namespace tumblecast;
using tumblecast::test::Form1Test;

using Form1Window = Form1Test;

TEST_F(Form1Window, OpensInItsDesignState)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tumblecast"));
    EXPECT_EQ(form->size(), QSize(434, 315));  // 6510 x 4725 twips
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(form->windowIcon().pixmap(32).isNull());

    EXPECT_EQ(form->Frame3->title(), QStringLiteral("Quick Slots"));
    EXPECT_EQ(form->Frame2->geometry(), QRect(169, 0, 161, 313));
    EXPECT_EQ(form->Frame3->geometry(), QRect(337, 0, 97, 313));
    EXPECT_EQ(form->Text1->geometry(), QRect(8, 16, 145, 291));
    EXPECT_EQ(form->Command4->geometry(), QRect(16, 144, 129, 25));
    EXPECT_EQ(form->Text6->geometry(), QRect(88, 112, 65, 19));
    EXPECT_EQ(form->Check6->geometry(), QRect(136, 285, 17, 17));
    EXPECT_EQ(form->Option17->geometry(), QRect(8, 288, 17, 17));
    EXPECT_EQ(form->Label17->geometry(), QRect(32, 288, 57, 17));

    EXPECT_TRUE(form->Text1->isEmpty());
    EXPECT_EQ(form->Text2->text(), QStringLiteral("0"));
    EXPECT_EQ(form->Text3->text(), QStringLiteral("0"));
    EXPECT_EQ(form->Text6->maxLength(), 4);
    for (TextBox* off : {form->Text4, form->Text5, form->Text6}) {
        EXPECT_TRUE(off->text().isEmpty());
        EXPECT_FALSE(off->isEnabled());
        EXPECT_EQ(backColor(off), SystemColor::ButtonFace);
    }
    EXPECT_EQ(form->Check5->value(), 2);
    EXPECT_EQ(form->Check4->value(), 2);
    EXPECT_FALSE(form->Picture1->isEnabled());
    EXPECT_EQ(form->Check3->text(), QStringLiteral("Roll X times:"));
    EXPECT_EQ(form->Text6->toolTip(), QStringLiteral("Enter how many time to repet the roll"));
    EXPECT_EQ(form->Command1->text(), QStringLiteral("Export to &text"));
    EXPECT_FALSE(form->Command6->isEnabled());
    EXPECT_EQ(form->Command6->toolTip(), QStringLiteral("Copy selected text to clipboard"));
    EXPECT_TRUE(form->Command5->font().bold());
    EXPECT_TRUE(form->Check6->isChecked());
    EXPECT_EQ(form->Check6->toolTip(), QStringLiteral("Quick Slots ON/OFF"));
    EXPECT_EQ(form->ProgressBar1->value(), 0);
    EXPECT_EQ(form->Label1->text(), QStringLiteral("3D6"));
    for (CommandButton* slot :
         {form->Option11, form->Option12, form->Option13, form->Option14, form->Option17})
        EXPECT_FALSE(slot->isEnabled());
    EXPECT_TRUE(form->Option1->text().isEmpty());
    EXPECT_FALSE(form->TextHelp->isVisible());
    EXPECT_EQ(form->TextHelp->text(), QStringLiteral("Text7"));
    EXPECT_FALSE(form->Text12->isVisible());
}

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
        ASSERT_EQ(QApplication::focusWidget(), next) << next->metaObject()->className();
    }

    // Switched-on fields and an enabled Copy button join the order where they belong.
    form->Check1->setValue(1);
    form->Check3->setValue(1);
    form->Text2->setText(QStringLiteral("1"));
    form->Text3->setText(QStringLiteral("6"));
    form->Text4->setText(QStringLiteral("1"));
    form->Text6->setText(QStringLiteral("1"));
    generate();
    ASSERT_TRUE(platform.messages.isEmpty());
    form->Text3->setFocus();
    QTest::keyClick(form->Text3, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form->Text4);
    QTest::keyClick(form->Text4, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form->Text6);
    form->Check3->setFocus();
    QTest::keyClick(form->Check3, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form->Command6);
}

TEST_F(Form1Window, AccessKeysActAtOnce)
{
    QTest::keyClick(form.get(), Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(platform.messages, QStringList{QStringLiteral("You must enter a dice and side input.")});
    EXPECT_TRUE(form->Command4->hasFocus());
    EXPECT_EQ(platform.endings, 0);

    QTest::keyClick(form.get(), Qt::Key_D, Qt::AltModifier);
    EXPECT_FALSE(form->Check6->isChecked());

    QTest::keyClick(form.get(), Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(platform.endings, 1);
}

TEST_F(Form1Window, CloseBoxEndsTheProgram)
{
    form->close();
    EXPECT_EQ(platform.endings, 1);
    EXPECT_TRUE(platform.messages.isEmpty());
}
