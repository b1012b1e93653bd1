#pragma once

#include <string>

#include "notation/expression.h"

namespace tumblecast::notation {

// The roll in words, so that a player sees it was read as meant: "2d20kh1+5" is
// "2 twenty-sided dice, keep the highest, add 5".
std::string describe(const Expression& expression);

}  // namespace tumblecast::notation
