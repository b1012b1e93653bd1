#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

#include "notation/expression.h"

namespace tumblecast::notation {

// Why a text is not a roll, and where: the column (from 0, in bytes of the text as typed) and how many
// characters from there the fault covers (at least 1; a fault at the end points just past the text).
struct Diagnostic {
    std::size_t column = 0;
    std::size_t length = 1;
    std::string message;
};

using Parsed = std::variant<Expression, Diagnostic>;

// Reads dice notation:
//   roll     = [count "x"] term {("+" | "-") term}, the first term may carry a sign
//   term     = number | [count] "d" (sides | "%" | "F") {modifier}
//   modifier = ("k" | "kh" | "kl" | "d" | "dh" | "dl") [n]          keep or drop n dice, 1 unless given
//            | "!" [compare]                                        explode on the highest face, or as
//            compared | "r" ["o"] [op] n                                      reroll while the die compares
//            (once: ro) | compare                                               count the dice that compare
//   compare  = op n, op one of = < <= > >=; a bare n after ! or r means = n
// Blanks anywhere are ignored, letters in either case. Every limit of limits.h is checked here.
Parsed parse(std::string_view text);

}  // namespace tumblecast::notation
