#include "profile/quick_slots.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "profile/profile_file.h"

namespace tumblecast {

namespace {

const QString kOptions = QStringLiteral("Options");
const QString kQuickSlots = QStringLiteral("QuickSlots");
const QString kEnabled = QStringLiteral("Enabled");
const QString kCaption = QStringLiteral("Caption");
const QString kDice = QStringLiteral("Dice");
const QString kSides = QStringLiteral("Sides");
const QString kModify = QStringLiteral("Modify");
const QString kTModify = QStringLiteral("TModify");

std::vector<ProfileSetting> slotSettings(int slot, const QString& enabled, const QuickSlot& record)
{
    const QString section = slotSection(slot);
    return {{section, kEnabled, enabled},      {section, kCaption, record.caption},
            {section, kDice, record.dice},     {section, kSides, record.sides},
            {section, kModify, record.modify}, {section, kTModify, record.tmodify}};
}

QuickSlot emptySlot(int slot, const QString& modifier)
{
    return {slotSection(slot), QString(), QString(), modifier, modifier};
}

// One write for the 31 values: the profile is made whole or not at all, and a failure is reported once.
std::optional<ProfileError> CreateDefaultProfile(const QString& programDir, DefaultModifiers modifiers)
{
    const QString modifier = modifiers == DefaultModifiers::Zero ? QStringLiteral("0") : QString();
    std::vector<ProfileSetting> settings;
    for (int slot = 1; slot <= kQuickSlotCount; ++slot)
        for (ProfileSetting& setting : slotSettings(slot, QStringLiteral("0"), emptySlot(slot, modifier)))
            settings.push_back(std::move(setting));
    settings.push_back({kOptions, kQuickSlots, QStringLiteral("1")});
    // Only if still missing: another copy may have made it since the check.
    return WriteProfileValues(programDir, settings, ProfileWrite::CreateOnly);
}

}  // namespace

QString slotSection(int slot) { return QStringLiteral("Slot%1").arg(slot); }

QuickSlot readQuickSlot(const QString& programDir, int slot)
{
    const QString section = slotSection(slot);
    QuickSlot record;
    record.caption = ReadProfileValue(programDir, section, kCaption, section);
    record.dice = ReadProfileValue(programDir, section, kDice, QString());
    record.sides = ReadProfileValue(programDir, section, kSides, QString());
    record.modify = ReadProfileValue(programDir, section, kModify, QString());
    record.tmodify = ReadProfileValue(programDir, section, kTModify, QString());
    return record;
}

std::optional<ProfileError> storeQuickSlot(const QString& programDir, int slot, const QuickSlot& record)
{
    return WriteProfileValues(programDir, slotSettings(slot, QStringLiteral("1"), record));
}

std::optional<ProfileError> resetQuickSlot(const QString& programDir, int slot)
{
    return WriteProfileValues(programDir,
                              slotSettings(slot, QStringLiteral("0"), emptySlot(slot, QStringLiteral("0"))));
}

std::optional<ProfileError> writeQuickSlotsSwitch(const QString& programDir, int value)
{
    if (value != 0 && value != 1) return std::nullopt;
    return WriteProfileValue(programDir, kOptions, kQuickSlots, QString::number(value));
}

std::optional<int> profileNumber(const QString& text)
{
    qsizetype i = 0;
    const bool negative = !text.isEmpty() && text[0] == u'-';
    if (!text.isEmpty() && (text[0] == u'-' || text[0] == u'+')) ++i;
    if (i == text.size()) return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') return std::nullopt;
        value = std::min<long long>(value * 10 + (c - u'0'), std::numeric_limits<int>::max());
    }
    return int(negative ? -value : value);
}

std::optional<ProfileError> RefreshQuickSlots(const QString& programDir, QuickSlotBar& bar,
                                              DefaultModifiers modifiers)
{
    if (!ProfileExists(programDir))
        if (std::optional<ProfileError> error = CreateDefaultProfile(programDir, modifiers)) return error;

    // Check6 takes only 0, 1 and 2; for anything else the bar stays as it is and nothing is written back.
    const std::optional<int> shown =
        profileNumber(ReadProfileValue(programDir, kOptions, kQuickSlots, QString()));
    if (shown && *shown >= 0 && *shown <= 2) bar.setQuickSlotsValue(*shown);

    for (int slot = 1; slot <= kQuickSlotCount; ++slot)
        bar.setSlotEnabled(
            slot, profileNumber(ReadProfileValue(programDir, slotSection(slot), kEnabled, QString())) == 1);

    QString captions[kQuickSlotCount];
    for (int slot = 1; slot <= kQuickSlotCount; ++slot)
        captions[slot - 1] = ReadProfileValue(programDir, slotSection(slot), kCaption, slotSection(slot));
    for (int slot = 1; slot <= kQuickSlotCount; ++slot) bar.setSlotCaption(slot, captions[slot - 1]);
    return std::nullopt;
}

}  // namespace tumblecast
