#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/roll_request.h"

namespace tumblecast::notation {

// What the notation accepts; each has its message in the parser.
inline constexpr std::uint64_t kMaxTermDice = kMaxDice;    // dice in one term, as the window's field
inline constexpr std::uint64_t kMaxTermSides = kMaxSides;  // sides of a die, as the window's field
inline constexpr std::uint64_t kMaxRepeat = kMaxTimes;     // the repeat count in front
inline constexpr std::int64_t kMaxNumber = 999999;         // a number added or a threshold
inline constexpr std::size_t kMaxTerms = 50;
inline constexpr std::size_t kMaxLength = 1000;  // characters of one expression
// A die rerolls at most this often (r); ro rerolls once. If it still shows a face to reroll, it stays.
inline constexpr std::uint64_t kRerollCap = 100;
// A die explodes at most this often; its last roll then counts as it is.
inline constexpr std::uint64_t kExplodeCap = 100;
// Generator values one repetition may take: its dice with the room for their rerolls and explosions.
inline constexpr std::uint64_t kMaxStride = 10'000'000;

}  // namespace tumblecast::notation
