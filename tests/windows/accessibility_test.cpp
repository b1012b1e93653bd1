#include <QAccessible>

#include <sys/resource.h>

#include <functional>

#include "form1_fixture.h"
#include "windows/main/result_box_accessible.h"

using namespace tumblecast;
using tumblecast::test::Form1Test;

namespace {

QAccessibleInterface* of(QObject* object) { return QAccessible::queryAccessibleInterface(object); }

// Every interface a screen reader reaches from root by walking children.
void walk(QAccessibleInterface* root, const std::function<void(QAccessibleInterface*)>& visit)
{
    visit(root);
    for (int i = 0; i < root->childCount(); ++i)
        if (QAccessibleInterface* child = root->child(i)) walk(child, visit);
}

// The process's peak resident size so far, in kilobytes.
long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

using Accessibility = Form1Test;

}  // namespace

TEST_F(Accessibility, MainWindowControlsAreNamedAsTheUserReadsThem)
{
    QAccessibleInterface* window = of(form.get());
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), QStringLiteral("Tumblecast"));

    const std::pair<QWidget*, const char*> names[] = {
        {form->Text2, "Dice"},         {form->Text3, "Sides"},
        {form->Text4, "Modify"},       {form->Text5, "Modify total"},
        {form->Text6, "Roll X times"}, {form->Command6, "Copy selected text to clipboard"},
        {form->Command5, "About"},     {form->Check6, "Quick Slots ON/OFF"},
        {form->Option1, "1D2"},        {form->Option9, "1D6+1"},
        {form->Option11, "Slot1"},     {form->Text1, "Result"},
    };
    for (auto [widget, name] : names)
        EXPECT_EQ(of(widget)->text(QAccessible::Name), QString::fromUtf8(name)) << name;
    EXPECT_EQ(of(form->Text2)->text(QAccessible::Description), QStringLiteral("Enter how many dice to roll"));

    // The grey-ticked boxes are the labels of their fields, not switched-off check boxes.
    QAccessibleInterface* diceLabel = of(form->Check5);
    EXPECT_EQ(diceLabel->role(), QAccessible::StaticText);
    EXPECT_EQ(diceLabel->text(QAccessible::Name), QStringLiteral("Dice:"));
    EXPECT_FALSE(diceLabel->state().disabled);

    // The scratch fields are nowhere in the tree.
    int reached = 0;
    walk(window, [&](QAccessibleInterface* node) {
        ++reached;
        EXPECT_NE(node->object(), form->Text12);
        EXPECT_NE(node->object(), form->TextHelp);
    });
    EXPECT_GT(reached, 50);
}

TEST_F(Accessibility, ResultBoxReadsItsRecordByOffsetsAndAnnouncesARunOnce)
{
    QSignalSpy announced(form->Text1->findChild<ResultBoxAnnouncer*>(), &ResultBoxAnnouncer::announced);
    enter({.dice = "2", .sides = "6", .times = "3"});
    generate();
    QApplication::processEvents();
    ASSERT_EQ(announced.size(), 1);
    EXPECT_EQ(announced.front().front().toString(), form->Text1->text());

    QAccessibleTextInterface* text = of(form->Text1)->textInterface();
    ASSERT_NE(text, nullptr);
    const QString whole = form->Text1->text();
    ASSERT_EQ(text->characterCount(), whole.size());
    EXPECT_EQ(text->text(3, 20), whole.mid(3, 17));

    text->setSelection(0, 2, 9);
    EXPECT_EQ(form->Text1->selStart(), 2u);
    EXPECT_EQ(form->Text1->selLength(), 7u);
    EXPECT_EQ(text->selectionCount(), 1);
    EXPECT_EQ(text->cursorPosition(), 9);
}

TEST_F(Accessibility, AboutWindowIsADialogWithNamedTexts)
{
    zentor about(platform);
    QAccessibleInterface* window = of(&about);
    EXPECT_EQ(window->role(), QAccessible::Dialog);
    EXPECT_EQ(window->text(QAccessible::Name), QStringLiteral("About Tumblecast"));
    EXPECT_EQ(of(about.Text2)->text(QAccessible::Name), QStringLiteral("Credit"));
    EXPECT_EQ(of(about.Text1)->text(QAccessible::Name), QStringLiteral("E-mail"));
    EXPECT_EQ(of(about.Text3)->text(QAccessible::Name), QStringLiteral("Web address"));
}

TEST_F(Accessibility, AScreenReaderReadsTheMiddleOfALargeRecordWithoutBuildingIt)
{
    enter({.dice = "9999", .sides = "999998", .modify = "999999", .total = "999999", .times = "500"});
    generate();
    const long before = peakKilobytes();

    QAccessibleTextInterface* text = of(form->Text1)->textInterface();
    const int count = text->characterCount();
    ASSERT_GT(count, 100'000'000);  // well over a hundred megabytes of text
    const int middle = count / 2;
    int start = 0;
    int end = 0;
    const QString line = text->textAtOffset(middle, QAccessible::LineBoundary, &start, &end);
    EXPECT_TRUE(line.endsWith(QLatin1String("\r\n")));
    EXPECT_LE(start, middle);
    EXPECT_GT(end, middle);
    const std::string expected =
        form->Text1->source().slice(TextOffset(static_cast<std::uint64_t>(middle)), 300);
    EXPECT_EQ(text->text(middle, middle + 300).toStdString(), expected);
    EXPECT_LT(peakKilobytes() - before, 64 * 1024);
}

TEST_F(Accessibility, SlotEditorOpensByKeyboardAsANamedDialog)
{
    QTest::keyClick(form.get(), Qt::Key_2, Qt::ControlModifier);
    Form2* editor = form->slotEditor();
    ASSERT_NE(editor, nullptr);
    QAccessibleInterface* dialog = of(editor);
    EXPECT_EQ(dialog->role(), QAccessible::Dialog);
    EXPECT_EQ(dialog->text(QAccessible::Name), QStringLiteral("Edit user Slot - Slot2"));
    EXPECT_EQ(of(form->Option12)->text(QAccessible::Description),
              QStringLiteral("Rolls the quick slot; Ctrl+2 edits it"));

    const std::pair<QWidget*, const char*> names[] = {{editor->Text1, "Caption"},
                                                      {editor->Text2, "Dice"},
                                                      {editor->Text3, "Sides"},
                                                      {editor->Text4, "Modify"},
                                                      {editor->Text5, "Modify Total"}};
    for (auto [widget, name] : names)
        EXPECT_EQ(of(widget)->text(QAccessible::Name), QString::fromUtf8(name)) << name;
    EXPECT_EQ(of(editor->Check2)->role(), QAccessible::StaticText);

    walk(dialog, [&](QAccessibleInterface* node) {
        for (QObject* hidden : {static_cast<QObject*>(editor->Reload), static_cast<QObject*>(editor->Text7),
                                static_cast<QObject*>(editor->Text8)})
            EXPECT_NE(node->object(), hidden);
    });
}
