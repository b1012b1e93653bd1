#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>

#include "form1_fixture.h"
#include "windows/about/zentor.h"

using namespace tumblecast;
using tumblecast::test::Form1Test;

using Form1Window = Form1Test;

TEST_F(Form1Window, OpensInItsDesignState)
{
    EXPECT_EQ(form->size(), QSize(434, 315));  // 6510 x 4725 twips
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_FALSE(form->windowFlags() & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(form->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(form->windowIcon().pixmap(32).isNull());
    EXPECT_EQ(form->Text6->geometry(), QRect(88, 112, 65, 19));  // Left 1320, Top 1680, 975 x 285

    EXPECT_TRUE(form->Text1->isEmpty());
    EXPECT_EQ(form->Text2->text(), QStringLiteral("0"));
    EXPECT_EQ(form->Text3->text(), QStringLiteral("0"));
    for (TextBox* off : {form->Text4, form->Text5, form->Text6}) {
        EXPECT_TRUE(off->text().isEmpty());
        EXPECT_FALSE(off->isEnabled());
    }
    EXPECT_EQ(form->Check5->value(), CheckValue::Grayed);
    EXPECT_FALSE(form->Picture1->isEnabled());
    EXPECT_FALSE(form->Command6->isEnabled());
    EXPECT_EQ(form->Check6->value(), CheckValue::Checked);
    EXPECT_EQ(form->ProgressBar1->value(), 0);
    for (CommandButton* slot :
         {form->Option11, form->Option12, form->Option13, form->Option14, form->Option17})
        EXPECT_FALSE(slot->isEnabled());
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
        ASSERT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }

    // Switched-on fields and an enabled Copy button join the order where they belong.
    enter({.dice = "1", .sides = "6", .modify = "1", .times = "1"});
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

namespace {
QList<zentor*> aboutWindows()
{
    QList<zentor*> found;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* about = qobject_cast<zentor*>(window)) found << about;
    return found;
}
}  // namespace

TEST_F(Form1Window, AboutOpensOneWindowAndBringsItToTheFront)
{
    QTest::mouseClick(form->Command5, Qt::LeftButton);
    const QList<zentor*> first = aboutWindows();
    ASSERT_EQ(first.size(), 1);
    zentor* about = first.front();
    EXPECT_TRUE(about->isVisible());

    // Back to the main window, which stays usable, then About again: the same window, in front.
    QApplication::setActiveWindow(form.get());
    QTest::mouseClick(form->Command5, Qt::LeftButton);
    EXPECT_EQ(aboutWindows(), first);
    EXPECT_TRUE(QTest::qWaitForWindowActive(about));

    // Closed by a click, it is built afresh next time.
    QTest::mouseClick(about->Picture1, Qt::LeftButton, {}, QPoint(2, 2));
    QTRY_VERIFY(aboutWindows().isEmpty());
    QTest::mouseClick(form->Command5, Qt::LeftButton);
    ASSERT_EQ(aboutWindows().size(), 1);
    EXPECT_EQ(aboutWindows().front()->Text2->text(), QStringLiteral("by the Tumblecast authors"));
}
