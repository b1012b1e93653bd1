#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace tumblecast {

// The most each value may be: four digits of dice and of repetitions, six of a modifier; sides stop one
// short of six nines.
inline constexpr std::uint64_t kMaxDice = 9999;
inline constexpr std::uint64_t kMaxSides = 999998;
inline constexpr std::uint64_t kMaxModify = 999999;
inline constexpr std::uint64_t kMaxTimes = 9999;

inline constexpr std::string_view kNeedDiceAndSides = "You must enter a dice and side input.";
inline constexpr std::string_view kNeedModify = "You must enter a modifyer or disable this feature.";
inline constexpr std::string_view kNeedTotalModify =
    "You must enter a total modifyer or disable this feature.";
inline constexpr std::string_view kNeedTimes =
    "You must enter how many times to roll or disable this feature.";
inline constexpr std::string_view kTypeMismatch = "Type mismatch";
inline constexpr std::string_view kInvalidArgument = "Invalid procedure call or argument";

// The texts of the roll fields and whether each optional one is switched on, as the window holds them,
// with what a run reads beside them: the per-die switch and the stored repeat count.
struct RollFields {
    std::string dice{};
    std::string sides{};
    bool perDie = false;  // the per-die modifier's box is ticked
    bool modifyEnabled = false;
    std::string modify{};
    bool totalModifyEnabled = false;
    std::string totalModify{};
    bool timesEnabled = false;
    std::string times{};
    std::string storedTimes = "1";  // the repeat count a run stored for itself
};

// The repeat count a run stores: the repeat field's text while it is switched on and holds one, else "1".
std::string repeatCountOf(const RollFields& fields);

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

// The value of a text of ASCII digits, however many, held at limit when it is larger; nothing for any other
// text, the empty text included.
std::optional<std::uint64_t> readDigits(std::string_view text,
                                        std::uint64_t limit = std::numeric_limits<std::uint64_t>::max());
// The value of a text of ASCII digits as the roll fields hold them (seven digits at most); nothing for any
// other text.
std::optional<std::uint64_t> readNumber(std::string_view text);

// A run's request, or the message of the first failure reading it: kTypeMismatch for a text that is not a
// number, in the order the run first needs each value (the per-die modifier only when perDie), and
// kInvalidArgument for no dice, no sides or no repetitions, which the checks keep from coming here.
// The largest roll the window's fields allow, every number at its widest, repeated times times: what the
// benchmarks and the tests of large records roll.
RollRequest largestRequest(std::uint64_t times);

using ReadRequest = std::variant<RollRequest, std::string_view>;
ReadRequest readRequest(const RollFields& fields);

}  // namespace tumblecast
