#include <QDir>

#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "profile/profile_file.h"
#include "profile/quick_slots.h"
#include "recording_platform.h"

namespace tumblecast {
namespace {

using test::RecordingPlatform;

// Stands in for Form1: records what the refresh sets, in order, and like Check6 runs its click handler
// (which writes the switch back) only when the value changes. It starts in the window's design state.
class FakeBar final : public QuickSlotBar {
public:
    explicit FakeBar(QString dir) : m_dir(std::move(dir)) {}

    void setQuickSlotsValue(int value) override
    {
        calls << QStringLiteral("value %1").arg(value);
        if (value == this->value) return;
        this->value = value;
        calls << QStringLiteral("Check6_Click");
        if (onClick) onClick();
        writeQuickSlotsSwitch(m_dir, value);
    }
    void setSlotEnabled(int slot, bool enabled) override
    {
        calls << QStringLiteral("enabled %1 %2").arg(slot).arg(enabled);
    }
    void setSlotCaption(int slot, const QString& caption) override
    {
        calls << QStringLiteral("caption %1 %2").arg(slot).arg(caption);
    }

    QStringList calls;
    int value = 1;
    std::function<void()> onClick;

private:
    QString m_dir;
};

QStringList barCalls(int value, const std::array<bool, 5>& enabled, const QStringList& captions)
{
    QStringList calls;
    if (value >= 0) calls << QStringLiteral("value %1").arg(value);
    if (value == 0 || value == 2) calls << QStringLiteral("Check6_Click");
    for (int slot = 1; slot <= 5; ++slot)
        calls << QStringLiteral("enabled %1 %2").arg(slot).arg(enabled[slot - 1]);
    for (int slot = 1; slot <= 5; ++slot)
        calls << QStringLiteral("caption %1 %2").arg(slot).arg(captions[slot - 1]);
    return calls;
}

const QStringList kSectionNames = {"Slot1", "Slot2", "Slot3", "Slot4", "Slot5"};

QByteArray defaultProfile(const QByteArray& modifier)
{
    QByteArray bytes;
    for (int slot = 1; slot <= 5; ++slot) {
        const QByteArray n = QByteArray::number(slot);
        if (slot > 1) bytes += "\n";
        bytes += "[Slot" + n + "]\nEnabled=0\nCaption=Slot" + n + "\nDice=\nSides=\nModify=" + modifier +
                 "\nTModify=" + modifier + "\n";
    }
    return bytes + "\n[Options]\nQuickSlots=1\n";
}

TEST(RefreshQuickSlots, FirstStartCreatesTheProfile)
{
    for (const auto modifiers : {DefaultModifiers::Zero, DefaultModifiers::Empty}) {
        RecordingPlatform platform;
        const QString dir = platform.executableDir();
        FakeBar bar(dir);
        RefreshQuickSlots(dir, bar, modifiers);
        EXPECT_EQ(test::readFile(ProfilePath(dir)),
                  defaultProfile(modifiers == DefaultModifiers::Zero ? "0" : ""));
        EXPECT_EQ(bar.calls, barCalls(1, {}, kSectionNames));  // Check6 already checked: no click
    }
}

TEST(RefreshQuickSlots, ExistingProfileSetsTheBar)
{
    RecordingPlatform platform;
    const QString dir = platform.executableDir();
    const QByteArray stored =
        "[Options]\nQuickSlots=0\n[Slot1]\nEnabled=1\n[Slot2]\nEnabled=01\nCaption=\n[Slot3]\nEnabled= 1\n"
        "Caption=" +
        QByteArray(60, 'c') + "\n[Slot4]\nEnabled=0\nCaption=Axe\n[slot5]\nenabled=2\n";
    test::writeFile(ProfilePath(dir), stored);
    FakeBar bar(dir);
    RefreshQuickSlots(dir, bar);
    EXPECT_EQ(bar.calls, barCalls(0, {true, true, true, false, false},
                                  {"Slot1", "", QString(49, u'c'), "Axe", "Slot5"}));
    EXPECT_EQ(test::readFile(ProfilePath(dir)),
              stored);  // the handler's write-back of "0" changes no byte
}

// Check6 takes only 0, 1 and 2, and a slot is on only for Enabled=1. Whatever the file holds, the refresh
// ends and never rewrites a profile that exists.
TEST(RefreshQuickSlots, OddOrBrokenProfilesAreReadButNeverRewritten)
{
    const QByteArray oddSlots = "[Slot1]\nEnabled=yes\n[Slot2]\nEnabled=\n[Slot3]\nEnabled=1x\n[Slot4]\n";
    const struct {
        const char* name;
        QByteArray stored;
        int value;  // what Check6 is set to; -1: left alone
    } rows[] = {
        {"grey", "[Options]\nQuickSlots=2\n" + oddSlots, 2},
        {"leading_zeros", "[Options]\nQuickSlots=02\n" + oddSlots, 2},
        {"missing", "[Options]\n" + oddSlots, -1},
        {"empty", "[Options]\nQuickSlots=\n" + oddSlots, -1},
        {"out_of_range", "[Options]\nQuickSlots=7\n" + oddSlots, -1},
        {"huge", "[Options]\nQuickSlots=99999999999999999999\n" + oddSlots, -1},
        // Other odd contents are the fuzz corpus's, replayed against the reader and writer.
    };
    for (const auto& row : rows) {
        RecordingPlatform platform;
        const QString dir = platform.executableDir();
        test::writeFile(ProfilePath(dir), row.stored);
        FakeBar bar(dir);
        RefreshQuickSlots(dir, bar);
        EXPECT_EQ(bar.calls, barCalls(row.value, {}, kSectionNames)) << row.name;
        EXPECT_EQ(test::readFile(ProfilePath(dir)), row.stored) << row.name;
    }
}

// Check6_Click runs inside the refresh, before any slot is read: what it changes in the profile shows.
TEST(RefreshQuickSlots, SlotsAreReadAfterTheNestedClickHandler)
{
    RecordingPlatform platform;
    const QString dir = platform.executableDir();
    test::writeFile(ProfilePath(dir), "[Options]\nQuickSlots=0\n[Slot1]\nEnabled=0\nCaption=Old\n");
    FakeBar bar(dir);
    bar.onClick = [&] {
        WriteProfileValue(dir, "Slot1", "Enabled", "1");
        WriteProfileValue(dir, "Slot1", "Caption", "New");
    };
    RefreshQuickSlots(dir, bar);
    EXPECT_EQ(bar.calls, barCalls(0, {true}, {"New", "Slot2", "Slot3", "Slot4", "Slot5"}));
    EXPECT_EQ(test::readFile(ProfilePath(dir)), "[Options]\nQuickSlots=0\n[Slot1]\nEnabled=1\nCaption=New\n");
}

// A profile that cannot be made is one failure, and the bar keeps what it shows.
TEST(RefreshQuickSlots, FailedCreationIsReportedOnceAndChangesNothing)
{
    RecordingPlatform platform;
    const QString dir = platform.executableDir();
    ASSERT_TRUE(QDir(dir).mkdir("corvane.ini"));
    FakeBar bar(dir);
    const std::optional<ProfileError> error = RefreshQuickSlots(dir, bar);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->path, ProfilePath(dir));
    EXPECT_EQ(error->reason, "Is a directory");
    EXPECT_EQ(bar.calls, QStringList());
}

// Enabled=1 alone, without the rest of the record, would turn on a slot holding another preset's values.
TEST(QuickSlotRecord, StoreWritesAllSixValuesOrNone)
{
    RecordingPlatform platform;
    const QString dir = platform.executableDir();
    FakeBar bar(dir);
    ASSERT_EQ(RefreshQuickSlots(dir, bar), std::nullopt);
    const QByteArray created = test::readFile(ProfilePath(dir));
    std::optional<ProfileError> error;
    {
        test::FileSizeLimit full(created.size() + 4);
        error = storeQuickSlot(dir, 2, {QString(10, u'c'), "3", "6", "1", "0"});
    }
    ASSERT_TRUE(error);
    EXPECT_EQ(test::readFile(ProfilePath(dir)), created);
}

}  // namespace
}  // namespace tumblecast
