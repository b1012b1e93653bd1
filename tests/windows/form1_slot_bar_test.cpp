#include <QFile>
#include <QLabel>
#include <QResizeEvent>

#include "form1_fixture.h"
#include "profile/profile_file.h"

using namespace tumblecast;
using tumblecast::test::Form1Test;

namespace {

class Form1SlotBar : public Form1Test {
protected:
    QByteArray profile()
    {
        QFile file(ProfilePath(platform));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeProfile(const QByteArray& content)
    {
        QFile file(ProfilePath(platform));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    // A fresh start of the program on the profile as it now is.
    void restart() { open(dice); }
};

// Records every width the window takes.
class WidthLog : public QObject {
public:
    explicit WidthLog(QWidget* window) { window->installEventFilter(this); }
    QList<int> widths;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Resize) widths << static_cast<QResizeEvent*>(event)->size().width();
        return false;
    }
};

}  // namespace

TEST_F(Form1SlotBar, FirstStartCreatesTheProfileAndShowsTheWholeBar)
{
    QByteArray expected;
    for (int slot = 1; slot <= 5; ++slot)
        expected +=
            QStringLiteral("%1[Slot%2]\nEnabled=0\nCaption=Slot%2\nDice=\nSides=\nModify=0\nTModify=0\n")
                .arg(slot == 1 ? "" : "\n")
                .arg(slot)
                .toLatin1();
    expected += "\n[Options]\nQuickSlots=1\n";
    EXPECT_EQ(profile(), expected);

    EXPECT_EQ(form->Check6->value(), CheckValue::Checked);
    EXPECT_EQ(form->width(), twips(6510));
    QLabel* const labels[] = {form->Label13, form->Label14, form->Label15, form->Label16, form->Label17};
    for (int slot = 1; slot <= 5; ++slot)
        EXPECT_EQ(labels[slot - 1]->text(), QStringLiteral("Slot%1").arg(slot));
    for (QWidget* slot : {form->Option11, form->Option12, form->Option13, form->Option14, form->Option17})
        EXPECT_FALSE(slot->isEnabled()) << slot->objectName().toStdString();
}

TEST_F(Form1SlotBar, TheSwitchSlidesTheBarAndKeepsTheChoice)
{
    WidthLog log(form.get());
    QTest::mouseClick(form->Check6, Qt::LeftButton);
    EXPECT_EQ(form->Check6->value(), CheckValue::Unchecked);
    ASSERT_EQ(log.widths.size(), 21);
    EXPECT_EQ(log.widths.front(), twips(6585 - 90));
    EXPECT_EQ(log.widths.back(), twips(5085 - 90));
    EXPECT_TRUE(profile().endsWith("[Options]\nQuickSlots=0\n"));

    log.widths.clear();
    QTest::mouseClick(form->Check6, Qt::LeftButton);
    ASSERT_EQ(log.widths.size(), 22);
    EXPECT_EQ(log.widths.front(), twips(5025 - 90));
    EXPECT_EQ(log.widths.back(), twips(6510));
    EXPECT_TRUE(profile().endsWith("[Options]\nQuickSlots=1\n"));

    // Folded, the next start opens narrow, unchecked, and writes the same choice again.
    QTest::mouseClick(form->Check6, Qt::LeftButton);
    restart();
    EXPECT_EQ(form->Check6->value(), CheckValue::Unchecked);
    EXPECT_EQ(form->width(), twips(5085 - 90));
    EXPECT_TRUE(profile().endsWith("[Options]\nQuickSlots=0\n"));
}

TEST_F(Form1SlotBar, SlotsShowWhatTheProfileHolds)
{
    writeProfile(
        "[slot1]\nenabled=1\ncaption=Orc\n"
        "[Slot2]\nEnabled=01\nCaption=\n"
        "[Slot3]\nEnabled= 1\nCaption=" +
        QByteArray(60, 'x') +
        "\n"
        "[Slot4]\nEnabled=2\nCaption=Four\n"
        "[Slot5]\nEnabled=0\n"
        "[Options]\nQuickSlots=1\n");
    const QByteArray before = profile();
    restart();
    EXPECT_EQ(profile(), before);  // an existing profile is never rewritten by the start

    const bool enabled[] = {true, true, true, false, false};
    const QString captions[] = {QStringLiteral("Orc"), QString(), QString(49, u'x'), QStringLiteral("Four"),
                                QStringLiteral("Slot5")};
    QWidget* const buttons[] = {form->Option11, form->Option12, form->Option13, form->Option14,
                                form->Option17};
    QLabel* const labels[] = {form->Label13, form->Label14, form->Label15, form->Label16, form->Label17};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(buttons[i]->isEnabled(), enabled[i]) << "slot " << i + 1;
        EXPECT_EQ(labels[i]->text(), captions[i]) << "slot " << i + 1;
        EXPECT_EQ(buttons[i]->accessibleName(), captions[i]) << "slot " << i + 1;
    }
}
