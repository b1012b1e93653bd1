#pragma once

#include <QString>

#include <optional>

#include "profile/profile_file.h"

// The quick slot records kept in the profile, and the refresh that makes the main window's quick slot bar
// match them. The refresh reaches the window only through QuickSlotBar.
namespace tumblecast {

inline constexpr int kQuickSlotCount = 5;

// What a refresh that has to create the profile stores for "Modify" and "TModify": the main window's load
// stores "0", the slot editor's reload empty text.
enum class DefaultModifiers { Zero, Empty };

// The part of the main window that a refresh sets. Slots are numbered 1 to 5.
class QuickSlotBar {
public:
    virtual ~QuickSlotBar() = default;
    // Check6's Value: 0 unchecked, 1 checked, 2 grey. The window runs Check6_Click nested when the value
    // changes, as setting a check box from code does; that handler may write "QuickSlots" back.
    virtual void setQuickSlotsValue(int value) = 0;
    virtual void setSlotEnabled(int slot, bool enabled) = 0;
    virtual void setSlotCaption(int slot, const QString& caption) = 0;
};

// One slot as the slot buttons and the slot editor read it ("Enabled" is only read by the refresh).
struct QuickSlot {
    QString caption;
    QString dice;
    QString sides;
    QString modify;
    QString tmodify;
};

// "Slot1" to "Slot5".
QString slotSection(int slot);
// "Caption" defaults to the section's name, the others to empty text.
QuickSlot readQuickSlot(const QString& programDir, int slot);
// Writes "Enabled" "1", then "Caption", "Dice", "Sides", "Modify", "TModify": all six or, on failure, none.
std::optional<ProfileError> storeQuickSlot(const QString& programDir, int slot, const QuickSlot& record);
// Writes the values of a new profile back into the slot: the slot is empty again.
std::optional<ProfileError> resetQuickSlot(const QString& programDir, int slot);
// Check6_Click's write: "0" or "1" to "QuickSlots"; any other value (the grey 2) writes nothing.
std::optional<ProfileError> writeQuickSlotsSwitch(const QString& programDir, int value);

// A stored number as the refresh reads it: optional sign and decimal digits, leading zeros allowed; anything
// else (empty text included) is no number. Values beyond int saturate.
std::optional<int> profileNumber(const QString& text);

// Creates the profile when it is missing (every slot empty, "QuickSlots" "1", 31 values in one write), then
// sets the bar: Check6's Value from "QuickSlots" (only for 0, 1 or 2: a missing or other value leaves Check6
// as it is), each slot button enabled exactly when its "Enabled" reads as 1, and the five slot captions.
// When the profile cannot be created, the bar is left as it is and the one failure returned.
std::optional<ProfileError> RefreshQuickSlots(const QString& programDir, QuickSlotBar& bar,
                                              DefaultModifiers modifiers = DefaultModifiers::Zero);

}  // namespace tumblecast
