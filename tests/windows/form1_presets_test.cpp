#include "form1_fixture.h"
#include "named_rows.h"
#include "scripted_source.h"

using namespace tumblecast;
using tumblecast::test::Form1Test;
using tumblecast::test::ScriptedSource;

using Form1Presets = Form1Test;

namespace {

const QString kSep = QStringLiteral("--------------------------------");

struct PresetRow {
    const char* name;
    const char* button;
    int dice;
    int sides;
};
void PrintTo(const PresetRow& row, std::ostream* out) { *out << row.name; }

const PresetRow kPlainPresets[] = {
    {"1D2", "Option1", 1, 2},   {"1D4", "Option2", 1, 4},     {"1D6", "Option3", 1, 6},
    {"1D8", "Option4", 1, 8},   {"1D10", "Option5", 1, 10},   {"1D12", "Option6", 1, 12},
    {"1D20", "Option7", 1, 20}, {"1D100", "Option8", 1, 100}, {"3D6", "Option15", 3, 6},
    {"2D4", "Option10", 2, 4},
};

class Form1PlainPreset : public Form1Test, public ::testing::WithParamInterface<PresetRow> {};

// A repetition in which every die shows its highest face.
QString highestFaces(int dice, int sides)
{
    QString text = QString(QString::number(sides) + QStringLiteral("\r\n")).repeated(dice);
    const QString sum = QString::number(dice * sides);
    return text + QStringLiteral("\r\nTotal:") + sum + QStringLiteral(" + 0 = ") + sum +
           QStringLiteral("\r\n") + kSep + QStringLiteral("\r\n\r\n");
}

}  // namespace

TEST_P(Form1PlainPreset, SwitchesBothModifiersOffFillsDiceAndSidesAndRollsAsOftenAsAsked)
{
    const PresetRow& row = GetParam();
    ScriptedSource source(static_cast<std::uint64_t>(row.sides),
                          std::vector<std::uint64_t>(static_cast<std::size_t>(row.dice) * 2,
                                                     static_cast<std::uint64_t>(row.sides)));
    open(source);
    enter({.dice = "9", .sides = "9", .modify = "5", .total = "3", .times = "2"});

    QTest::mouseClick(form->findChild<CommandButton*>(QLatin1String(row.button)), Qt::LeftButton);
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(form->Text2->text(), QString::number(row.dice));
    EXPECT_EQ(form->Text3->text(), QString::number(row.sides));
    const QColor face = QApplication::palette().color(QPalette::Button);
    for (auto [box, field] : {std::pair{form->Check1, form->Text4}, {form->Check2, form->Text5}}) {
        EXPECT_EQ(box->value(), CheckValue::Unchecked);
        EXPECT_EQ(field->text(), QString());
        EXPECT_FALSE(field->isEnabled());
        EXPECT_EQ(field->palette().color(QPalette::Disabled, QPalette::Base), face);
    }
    // The repeat count is the user's: left as it was, and obeyed.
    EXPECT_EQ(form->Check3->value(), CheckValue::Checked);
    EXPECT_EQ(form->Text6->text(), QStringLiteral("2"));
    EXPECT_EQ(form->Text1->text(), highestFaces(row.dice, row.sides).repeated(2));
}

INSTANTIATE_TEST_SUITE_P(Rows, Form1PlainPreset, ::testing::ValuesIn(kPlainPresets), test::RowName());

TEST_F(Form1Presets, OneD6PlusOneTicksModifyPutsOneInItAndRolls)
{
    ScriptedSource source(6, {3, 5});
    open(source);
    enter({.dice = "4", .sides = "8", .total = "4"});

    // From unticked: the tick moves the focus into the modifier field, where it stays.
    QTest::mouseClick(form->Option9, Qt::LeftButton);
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(form->Check1->value(), CheckValue::Checked);
    EXPECT_TRUE(form->Text4->isEnabled());
    EXPECT_EQ(form->Text4->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
    EXPECT_TRUE(form->Text4->hasFocus());
    EXPECT_EQ(form->Check2->value(), CheckValue::Unchecked);
    EXPECT_EQ(form->Text5->text(), QString());
    EXPECT_EQ(form->Text2->text(), QStringLiteral("1"));
    EXPECT_EQ(form->Text3->text(), QStringLiteral("6"));
    EXPECT_EQ(form->Text4->text(), QStringLiteral("1"));
    EXPECT_EQ(form->Text1->text(),
              QStringLiteral("3 + 1 = 4\r\n\r\nTotal:4 + 0 = 4\r\n") + kSep + QStringLiteral("\r\n\r\n"));

    // Already ticked with another amount: replaced by 1.
    form->Text4->setText(QStringLiteral("3"));
    QTest::mouseClick(form->Option9, Qt::LeftButton);
    EXPECT_EQ(form->Text4->text(), QStringLiteral("1"));
    EXPECT_EQ(form->Text1->text(),
              QStringLiteral("5 + 1 = 6\r\n\r\nTotal:6 + 0 = 6\r\n") + kSep + QStringLiteral("\r\n\r\n"));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(Form1Presets, APresetWhoseRollFailsACheckKeepsWhatItSet)
{
    enter({.dice = "4", .sides = "8", .modify = "2", .times = ""});
    form->Text1->append("the last roll");
    QTest::mouseClick(form->Option7, Qt::LeftButton);
    EXPECT_EQ(platform.messages,
              QStringList{QStringLiteral("You must enter how many times to roll or disable this feature.")});
    EXPECT_EQ(form->Text2->text(), QStringLiteral("1"));
    EXPECT_EQ(form->Text3->text(), QStringLiteral("20"));
    EXPECT_EQ(form->Check1->value(), CheckValue::Unchecked);
    EXPECT_TRUE(form->Text1->isEmpty());
    EXPECT_FALSE(form->Command6->isEnabled());
}
