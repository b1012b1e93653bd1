#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tumblecast {

inline constexpr std::string_view kNeedDiceAndSides = "You must enter a dice and side input.";
inline constexpr std::string_view kNeedModify = "You must enter a modifyer or disable this feature.";
inline constexpr std::string_view kNeedTotalModify =
    "You must enter a total modifyer or disable this feature.";
inline constexpr std::string_view kNeedTimes =
    "You must enter how many times to roll or disable this feature.";
inline constexpr std::string_view kTypeMismatch = "Type mismatch";
inline constexpr std::string_view kInvalidArgument = "Invalid procedure call or argument";

// The texts of the roll fields and whether each optional one is switched on, as the window holds them.
struct RollFields {
    std::string dice{};
    std::string sides{};
    bool modifyEnabled = false;
    std::string modify{};
    bool totalModifyEnabled = false;
    std::string totalModify{};
    bool timesEnabled = false;
    std::string times{};
};

// The message of the first check that the fields fail, or nothing when they pass. A count of dice, of
// sides or of repetitions that is zero, however many zeros it is written with, fails its check.
std::optional<std::string_view> firstFailedCheck(const RollFields& fields);

// One run's inputs, read from the checked and normalised fields.
struct RollRequest {
    std::uint64_t dice = 0;
    std::uint64_t sides = 0;
    bool perDie = false;  // the per-die modifier is ticked
    std::uint64_t modify = 0;
    std::string modifyText = "0";  // as the record shows it
    std::uint64_t totalModify = 0;
    std::string totalModifyText = "0";
    std::uint64_t times = 1;
};

// A run-time failure of a roll; what() is the message shown to the user.
class RollFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The value of a text of ASCII digits; nothing for any other text, the empty text included.
std::optional<std::uint64_t> readNumber(std::string_view text);

// Reads a run's request from field texts: times is the stored repeat count. Throws RollFailure with
// kTypeMismatch for a text that is not a number, in the order the run first needs each value, and with
// kInvalidArgument for no dice, no sides or no repetitions, which the checks keep from coming here.
RollRequest readRequest(const RollFields& fields, bool perDie, std::string_view times);

}  // namespace tumblecast
