#include "profile/quick_slots.h"

#include <algorithm>
#include <limits>

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

void writeSlot(Platform& platform, int slot, const QString& enabled, const QuickSlot& record)
{
    const QString section = slotSection(slot);
    WriteProfileValue(platform, section, kEnabled, enabled);
    WriteProfileValue(platform, section, kCaption, record.caption);
    WriteProfileValue(platform, section, kDice, record.dice);
    WriteProfileValue(platform, section, kSides, record.sides);
    WriteProfileValue(platform, section, kModify, record.modify);
    WriteProfileValue(platform, section, kTModify, record.tmodify);
}

QuickSlot emptySlot(int slot, const QString& modifier)
{
    return {slotSection(slot), QString(), QString(), modifier, modifier};
}

void CreateDefaultProfile(Platform& platform, DefaultModifiers modifiers)
{
    const QString modifier = modifiers == DefaultModifiers::Zero ? QStringLiteral("0") : QString();
    for (int slot = 1; slot <= kQuickSlotCount; ++slot)
        writeSlot(platform, slot, QStringLiteral("0"), emptySlot(slot, modifier));
    WriteProfileValue(platform, kOptions, kQuickSlots, QStringLiteral("1"));
}

}  // namespace

QString slotSection(int slot) { return QStringLiteral("Slot%1").arg(slot); }

QuickSlot readQuickSlot(Platform& platform, int slot)
{
    const QString section = slotSection(slot);
    QuickSlot record;
    record.caption = ReadProfileValue(platform, section, kCaption, section);
    record.dice = ReadProfileValue(platform, section, kDice, QString());
    record.sides = ReadProfileValue(platform, section, kSides, QString());
    record.modify = ReadProfileValue(platform, section, kModify, QString());
    record.tmodify = ReadProfileValue(platform, section, kTModify, QString());
    return record;
}

void storeQuickSlot(Platform& platform, int slot, const QuickSlot& record)
{
    writeSlot(platform, slot, QStringLiteral("1"), record);
}

void resetQuickSlot(Platform& platform, int slot)
{
    writeSlot(platform, slot, QStringLiteral("0"), emptySlot(slot, QStringLiteral("0")));
}

void writeQuickSlotsSwitch(Platform& platform, int value)
{
    if (value == 0 || value == 1) WriteProfileValue(platform, kOptions, kQuickSlots, QString::number(value));
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

void RefreshQuickSlots(Platform& platform, QuickSlotBar& bar, DefaultModifiers modifiers)
{
    if (!ProfileExists(platform)) CreateDefaultProfile(platform, modifiers);

    // Check6 takes only 0, 1 and 2; for anything else the bar stays as it is and nothing is written back.
    const std::optional<int> shown =
        profileNumber(ReadProfileValue(platform, kOptions, kQuickSlots, QString()));
    if (shown && *shown >= 0 && *shown <= 2) bar.setQuickSlotsValue(*shown);

    for (int slot = 1; slot <= kQuickSlotCount; ++slot)
        bar.setSlotEnabled(
            slot, profileNumber(ReadProfileValue(platform, slotSection(slot), kEnabled, QString())) == 1);

    QString captions[kQuickSlotCount];
    for (int slot = 1; slot <= kQuickSlotCount; ++slot)
        captions[slot - 1] = ReadProfileValue(platform, slotSection(slot), kCaption, slotSection(slot));
    for (int slot = 1; slot <= kQuickSlotCount; ++slot) bar.setSlotCaption(slot, captions[slot - 1]);
}

}  // namespace tumblecast
