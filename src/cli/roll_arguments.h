#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/roll_request.h"
#include "notation/expression.h"

namespace tumblecast::cli {

struct ShowHelp {};
struct ShowVersion {};

enum class Output {
    People,  // one line a roll: every die, the marks, the total
    Totals,  // one total a line
    Record,  // the window's record
    Odds,    // the distribution of each expression's total
};

struct Job {
    Output output = Output::People;
    // Notation rolls, in the order given, each rolled after the one before on the same sequence.
    std::vector<notation::Expression> expressions;
    // A roll of the window's kind, from the window's options or from NdS[+M] with --record.
    std::vector<RollRequest> records;
    std::optional<std::uint64_t> seed;  // else fresh
    bool verbose = false;
    bool crlf = false;
    bool tsv = false;
    std::optional<std::int64_t> target;
};

// Bad usage: what was wrong, naming the value and what it may be; for an expression, the expression
// with a caret line under the fault.
struct UsageError {
    std::string message;
    std::string detail{};
};

using Command = std::variant<ShowHelp, ShowVersion, Job, UsageError>;

// The command that the arguments (without the program's name) ask for. Words that continue one another
// ("3d6", "+", "2") are read as one expression. The window's options are refused where the window's
// fields or checks would refuse them, and read as the window reads its fields after Generate.
Command parseArguments(std::span<const std::string_view> arguments);

// The expression, and under it a caret at column, over length characters.
std::string caretLines(std::string_view text, std::size_t column, std::size_t length);

std::string usageText();

}  // namespace tumblecast::cli
