#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "notation/expression.h"
#include "stats/expression_odds.h"

namespace tumblecast::cli {

// What --odds prints for one expression: what it means, how the odds were found, mean and standard
// deviation, the chance to reach target in one roll and in the expression's repetitions, and a table of
// each total's chance, of at least and of at most it. Totals too unlikely to show are left out, and a
// range wider than kMaxRows is shown in ranges of equal width. As tab-separated values when tsv, with
// chances as fractions rather than percentages.
inline constexpr std::int64_t kMaxRows = 1000;
std::string oddsText(const notation::Expression& expression, const stats::ExpressionOdds& odds,
                     std::optional<std::int64_t> target, bool tsv);

}  // namespace tumblecast::cli
