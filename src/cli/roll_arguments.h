#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "engine/roll_request.h"

namespace tumblecast::cli {

// The most each value may be: what the window's fields let through (four digits of dice and of
// repetitions, sides capped at 999998, six digits of a modifier).
inline constexpr std::uint64_t kMaxDice = 9999;
inline constexpr std::uint64_t kMaxSides = 999998;
inline constexpr std::uint64_t kMaxModify = 999999;
inline constexpr std::uint64_t kMaxTimes = 9999;

struct ShowHelp {};
struct ShowVersion {};
struct Roll {
    RollRequest request;
    std::uint64_t seed = 0;  // the generator's counter at the first die
    bool plainLineEnds = false;
};
// Bad usage: what was wrong, naming the value and what it may be.
struct UsageError {
    std::string message;
};

using Command = std::variant<ShowHelp, ShowVersion, Roll, UsageError>;

// The command that the arguments (without the program's name) ask for. A roll is refused where the
// window's fields or checks would refuse it, and read as the window reads its fields after Generate.
Command parseArguments(std::span<const std::string_view> arguments);

std::string usageText();

}  // namespace tumblecast::cli
