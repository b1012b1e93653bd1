#pragma once

// What must hold for any text given as dice notation or as the roller's arguments. Shared by the fuzz
// target and the test that replays its corpus.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/roll_arguments.h"
#include "engine/philox_source.h"
#include "notation/describe.h"
#include "notation/limits.h"
#include "notation/parser.h"
#include "notation/roller.h"
#include "stats/expression_odds.h"

namespace tumblecast::fuzz {

inline std::optional<std::string> checkExpression(const notation::Expression& e, std::uint64_t seed)
{
    if (e.terms.empty() || e.terms.size() > notation::kMaxTerms) return "terms out of bounds";
    if (e.stride() > notation::kMaxStride) return "stride over its limit";
    if (e.minimum() > e.maximum()) return "minimum above maximum";
    if (notation::describe(e).empty()) return "no words";
    // Small budgets keep every input quick; the bounds must hold whatever the method.
    const stats::ExpressionOdds odds(e, {1e5, 1 << 12}, {1e4, 10, 100, 0.05});
    if (odds.minimum() != e.minimum() || odds.maximum() != e.maximum()) return "odds over another range";
    if (odds.atMost(e.maximum()) != 1.0 || odds.atLeast(e.minimum()) != 1.0) return "chances do not add up";
    if (!(odds.mean() >= static_cast<double>(e.minimum()) - 1e-6 &&
          odds.mean() <= static_cast<double>(e.maximum()) + 1e-6))
        return "mean out of range";
    const PhiloxSource source(seed);
    const notation::Roller roller(e, source, seed);
    for (std::uint64_t r = 0; r < std::min<std::uint64_t>(e.times, 2); ++r) {
        const notation::RolledRepetition rolled = roller.roll(r);
        if (rolled.total != roller.total(r)) return "the fast total differs";
        if (rolled.total < e.minimum() || rolled.total > e.maximum()) return "a total out of range";
        const bool exactAll = odds.method() == stats::ExpressionOdds::Method::Exact && odds.errorBound() == 0;
        if (exactAll && odds.equalTo(rolled.total) <= 0) return "a total the odds call impossible";
        if (notation::rollLine(e, rolled).empty()) return "no line";
    }
    return std::nullopt;
}

inline std::optional<std::string> checkNotationInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const notation::Parsed parsed = notation::parse(text);
    if (const auto* fault = std::get_if<notation::Diagnostic>(&parsed)) {
        if (fault->message.empty() || fault->length == 0) return "an empty refusal";
        if (fault->column > text.size()) return "a column past the text";
    } else if (auto failure = checkExpression(std::get<notation::Expression>(parsed), size)) {
        return failure;
    }
    // The same bytes as the roller's arguments, one a line.
    std::vector<std::string_view> arguments;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        arguments.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    const cli::Command command = cli::parseArguments(arguments);
    if (const auto* error = std::get_if<cli::UsageError>(&command); error && error->message.empty())
        return "a usage error without a message";
    if (const auto* job = std::get_if<cli::Job>(&command))
        for (const auto& e : job->expressions)
            if (auto failure = checkExpression(e, 1)) return "argument " + e.text + ": " + *failure;
    return std::nullopt;
}

}  // namespace tumblecast::fuzz
