#include "cli/roll_arguments.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <optional>

#include "notation/limits.h"
#include "notation/parser.h"

namespace tumblecast::cli {

namespace {

enum Slot { kDice, kSides, kModify, kTotalModify, kTimes, kSlotCount };

struct ValueRule {
    std::string_view option;
    std::string_view meaning;
    std::uint64_t max;
    std::string_view refusedBy;  // the message of the window's check that refuses a zero here
};

constexpr std::array<ValueRule, kSlotCount> kRules = {{
    {"--dice", "the number of dice", kMaxDice, kNeedDiceAndSides},
    {"--sides", "the number of sides", kMaxSides, kNeedDiceAndSides},
    {"--modify", "the amount added to every die", kMaxModify, kNeedModify},
    {"--total-modify", "the amount added to every total", kMaxModify, kNeedTotalModify},
    {"--times", "the number of repetitions", kMaxTimes, kNeedTimes},
}};

enum Flag { kTotal, kRecord, kOdds, kTsv, kVerbose, kCrlf, kLf, kFlagCount };
constexpr std::array<std::string_view, kFlagCount> kFlags = {"--total",   "--record", "--odds", "--tsv",
                                                             "--verbose", "--crlf",   "--lf"};

struct Given {
    bool present = false;
    std::string text;   // as typed, leading zeros kept: the window's checks look at them
    std::string label;  // how a message names it
    std::uint64_t value = 0;
};

bool isDigits(std::string_view text) { return readDigits(text).has_value(); }

std::string withoutLeadingZeros(std::string_view text)
{
    const auto first = text.find_first_not_of('0');
    return std::string(first == std::string_view::npos ? std::string_view() : text.substr(first));
}

std::string rangeMessage(const Given& given, const ValueRule& rule)
{
    return given.label + ": " + std::string(rule.meaning) + " must be 1 to " + std::to_string(rule.max);
}

// A word that ends an expression mid-way, or one that carries it on.
bool endsOpen(std::string_view word)
{
    return !word.empty() && std::string_view("+-xX<>=!").find(word.back()) != std::string_view::npos;
}
bool startsOpen(std::string_view word)
{
    if (word.empty()) return false;
    // No expression starts with a modifier: "4d6 kh3", "4d6 dl1", "1d6 r1".
    const bool modifier = std::string_view("kKrR").find(word.front()) != std::string_view::npos ||
                          ((word[0] == 'd' || word[0] == 'D') && word.size() > 1 &&
                           std::string_view("hHlL").find(word[1]) != std::string_view::npos);
    return modifier || std::string_view("+-xX<>=!").find(word.front()) != std::string_view::npos;
}

// The window's request for a roll of its kind.
std::optional<RollRequest> requestOf(const RollFields& fields)
{
    const ReadRequest read = readRequest(fields);
    if (const auto* request = std::get_if<RollRequest>(&read)) return *request;
    return std::nullopt;
}

class Parser {
public:
    std::optional<std::string> setValue(Slot slot, std::string_view text, std::string label)
    {
        const ValueRule& rule = kRules[slot];
        Given& given = m_given[slot];
        if (given.present) return std::string(rule.option) + " is given twice";
        given = {true, std::string(text), std::move(label), 0};
        if (!isDigits(text)) return given.label + ": not a whole number";
        const std::string digits = withoutLeadingZeros(text);
        const auto value = readNumber(digits.empty() ? "0" : digits);
        if (!value || *value > rule.max) return rangeMessage(given, rule);
        given.value = *value;
        return std::nullopt;
    }

    std::optional<std::string> setSeed(std::string_view text)
    {
        if (m_run.seed) return std::string("--seed is given twice");
        std::uint64_t seed = 0;
        const auto end = text.data() + text.size();
        const auto [stop, error] = std::from_chars(text.data(), end, seed);
        if (!isDigits(text) || error != std::errc() || stop != end)
            return "--seed " + std::string(text) + ": must be 0 to " +
                   std::to_string(std::numeric_limits<std::uint64_t>::max());
        m_run.seed = seed;
        return std::nullopt;
    }

    std::optional<std::string> setTarget(std::string_view text)
    {
        if (m_run.target) return std::string("--target is given twice");
        const bool negative = text.starts_with('-');
        const auto value = readDigits(negative ? text.substr(1) : text, 1'000'000'000'000'000);
        if (!value || *value >= 1'000'000'000'000'000)
            return "--target " + std::string(text) + ": not a whole number of at most 15 digits";
        m_run.target = negative ? -static_cast<std::int64_t>(*value) : static_cast<std::int64_t>(*value);
        return std::nullopt;
    }

    std::optional<std::string> setFlag(Flag flag)
    {
        if (m_flags[flag]) return std::string(kFlags[flag]) + " is given twice";
        m_flags[flag] = true;
        return std::nullopt;
    }

    void addWord(std::string_view word)
    {
        if (m_words.empty() || !(endsOpen(m_words.back()) || startsOpen(word))) {
            m_words.emplace_back(word);
            return;
        }
        std::string& words = m_words.back();
        words.push_back(' ');
        words.append(word.data(), word.size());
    }

    Command finish()
    {
        const int modes = m_flags[kTotal] + m_flags[kRecord] + m_flags[kOdds];
        if (modes > 1) return UsageError{"choose one of --total, --record and --odds"};
        if (m_flags[kTotal]) m_run.output = Output::Totals;
        if (m_flags[kRecord]) m_run.output = Output::Record;
        if (m_flags[kOdds]) m_run.output = Output::Odds;
        if (m_flags[kCrlf] && m_flags[kLf]) return UsageError{"choose one of --crlf and --lf"};
        if (m_flags[kTsv] && m_run.output != Output::Odds) return UsageError{"--tsv goes with --odds"};
        if (m_run.target && m_run.output != Output::Odds) return UsageError{"--target goes with --odds"};
        m_run.crlf = m_flags[kCrlf];
        m_run.tsv = m_flags[kTsv];
        m_run.verbose = m_flags[kVerbose];

        const bool windowOptions = m_given[kDice].present || m_given[kSides].present ||
                                   m_given[kModify].present || m_given[kTotalModify].present;
        if (m_flags[kCrlf] &&
            (m_run.output != Output::Record && !(windowOptions && m_run.output == Output::People)))
            return UsageError{"--crlf goes with the window's record: --record or --dice and --sides"};
        if (windowOptions) {
            if (!m_words.empty())
                return UsageError{"give a roll either in notation (" + m_words.front() +
                                  ") or with --dice and --sides, not both"};
            if (m_run.output == Output::Odds) return UsageError{"--odds takes notation, as in --odds 3d6+2"};
            return finishWindowRoll();
        }
        if (m_words.empty()) return UsageError{"say which dice to roll, as in 2d20kh1+5 or 3d6"};
        if (m_given[kTimes].present && m_given[kTimes].value == 0)
            return UsageError{rangeMessage(m_given[kTimes], kRules[kTimes])};
        for (const std::string& word : m_words) {
            const notation::Parsed parsed = notation::parse(word);
            if (const auto* fault = std::get_if<notation::Diagnostic>(&parsed))
                return UsageError{word + ": " + fault->message,
                                  caretLines(word, fault->column, fault->length)};
            notation::Expression expression = std::get<notation::Expression>(parsed);
            if (m_given[kTimes].present) {
                if (expression.times > 1)
                    return UsageError{word + ": a repeat count in front and --times both given"};
                expression.times = m_given[kTimes].value;
            }
            if (m_run.output == Output::Record) {
                if (!expression.plainDiceAndModifier())
                    return UsageError{word +
                                      ": --record writes only the window's kind of roll, NdS or NdS+M"};
                const auto& die = *expression.terms[0].dice;
                const std::uint64_t modifier =
                    expression.terms.size() > 1 ? static_cast<std::uint64_t>(expression.terms[1].number) : 0;
                RollFields fields{.dice = std::to_string(die.count),
                                  .sides = std::to_string(die.sides),
                                  .totalModifyEnabled = modifier > 0,
                                  .totalModify = modifier > 0 ? std::to_string(modifier) : "",
                                  .timesEnabled = expression.times > 1,
                                  .times = std::to_string(expression.times)};
                fields.storedTimes = repeatCountOf(fields);
                const auto request = requestOf(fields);
                if (!request) return UsageError{word + ": not a roll the window makes"};
                m_run.records.push_back(*request);
            } else {
                m_run.expressions.push_back(std::move(expression));
            }
        }
        if (m_run.target && m_run.expressions.size() != 1)
            return UsageError{"--target goes with one expression"};
        return m_run;
    }

private:
    Command finishWindowRoll()
    {
        if (!m_given[kDice].present || !m_given[kSides].present)
            return UsageError{"--dice and --sides go together, as in --dice 3 --sides 6"};
        if (m_run.output == Output::People) m_run.output = Output::Record;
        RollFields fields{.dice = m_given[kDice].text,
                          .sides = m_given[kSides].text,
                          .perDie = m_given[kModify].present,
                          .modifyEnabled = m_given[kModify].present,
                          .modify = m_given[kModify].text,
                          .totalModifyEnabled = m_given[kTotalModify].present,
                          .totalModify = m_given[kTotalModify].text,
                          .timesEnabled = m_given[kTimes].present,
                          .times = m_given[kTimes].text};
        if (const auto failed = firstFailedCheck(fields)) {
            for (int slot = 0; slot < kSlotCount; ++slot) {
                const Given& given = m_given[slot];
                if (given.present && given.value == 0 && kRules[slot].refusedBy == *failed)
                    return UsageError{rangeMessage(given, kRules[slot])};
            }
            return UsageError{std::string(*failed)};
        }
        // As Generate leaves the fields: no leading zeros, and a modifier of zeros only empty.
        for (std::string* text :
             {&fields.dice, &fields.sides, &fields.modify, &fields.totalModify, &fields.times})
            *text = withoutLeadingZeros(*text);
        fields.storedTimes = repeatCountOf(fields);
        const ReadRequest read = readRequest(fields);
        if (const auto* failure = std::get_if<std::string_view>(&read))
            return UsageError{std::string(*failure)};
        m_run.records.push_back(std::get<RollRequest>(read));
        return m_run;
    }

    std::array<Given, kSlotCount> m_given{};
    std::array<bool, kFlagCount> m_flags{};
    std::vector<std::string> m_words;
    Job m_run;
};

// An argument that is a word of an expression although it starts with a dash: "-1d4", "-2".
bool isNegativeTerm(std::string_view argument)
{
    return argument.size() > 1 && argument[0] == '-' &&
           ((argument[1] >= '0' && argument[1] <= '9') || argument[1] == 'd' || argument[1] == 'D');
}

}  // namespace

Command parseArguments(std::span<const std::string_view> arguments)
{
    Parser parser;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        std::optional<std::string> bad;
        if (optionsEnded || !argument.starts_with("-") || argument == "-" || isNegativeTerm(argument)) {
            parser.addWord(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") return ShowHelp{};
        if (argument == "--version") return ShowVersion{};
        const auto equals = argument.find('=');
        const std::string_view option = argument.substr(0, equals);
        const auto flag = std::find(kFlags.begin(), kFlags.end(), option);
        if (flag != kFlags.end()) {
            bad = parser.setFlag(static_cast<Flag>(flag - kFlags.begin()));
            // --odds=EXPR names its expression in the same word.
            if (!bad && equals != argument.npos) {
                if (option != "--odds") return UsageError{std::string(option) + " takes no value"};
                parser.addWord(argument.substr(equals + 1));
            }
            if (bad) return UsageError{std::move(*bad)};
            continue;
        }
        const auto rule = std::find_if(kRules.begin(), kRules.end(),
                                       [&](const ValueRule& r) { return r.option == option; });
        if (rule == kRules.end() && option != "--seed" && option != "--target")
            return UsageError{"unknown option " + std::string(option)};
        std::string_view value;
        if (equals != argument.npos)
            value = argument.substr(equals + 1);
        else if (i + 1 < arguments.size())
            value = arguments[++i];
        else
            return UsageError{std::string(option) + " needs a value"};
        if (option == "--seed")
            bad = parser.setSeed(value);
        else if (option == "--target")
            bad = parser.setTarget(value);
        else
            bad = parser.setValue(static_cast<Slot>(rule - kRules.begin()), value,
                                  std::string(option) + " " + std::string(value));
        if (bad) return UsageError{std::move(*bad)};
    }
    return parser.finish();
}

std::string caretLines(std::string_view text, std::size_t column, std::size_t length)
{
    std::string lines = "  " + std::string(text) + "\n  ";
    // Tabs stay tabs, so that the caret lines up under them.
    for (std::size_t i = 0; i < column; ++i) lines += i < text.size() && text[i] == '\t' ? '\t' : ' ';
    lines += '^';
    lines += std::string(length > 1 ? length - 1 : 0, '~');
    return lines + "\n";
}

std::string usageText()
{
    using namespace notation;
    const auto n = [](auto v) { return std::to_string(v); };
    return "Usage: tumblecast-roll [OPTION]... EXPRESSION...\n"
           "       tumblecast-roll [OPTION]... --dice N --sides S [--modify M] [--total-modify M]\n"
           "Rolls dice written in dice notation, one line per roll: every die, the dropped ones in\n"
           "parentheses, and the total. With --dice and --sides it writes the record of the roll as\n"
           "Tumblecast's window shows it.\n"
           "\n"
           "Notation (blanks anywhere, letters in either case):\n"
           "  NdS, dS, d%, dF   N dice of S sides (1 die unless N is given), 100 sides, faces -1 0 +1\n"
           "  2d20+1d4-3        terms and whole numbers added and subtracted\n"
           "  kh K, kl K        keep the K highest or lowest dice (k alone is kh; K is 1 unless given)\n"
           "  dl K, dh K        drop the K lowest or highest dice\n"
           "  !  !>=T           explode: a die showing its highest face (or T and up) rolls again and adds,\n"
           "                    at most " +
           n(kExplodeCap) +
           " times a die\n"
           "  rT  r<=T  roT     reroll a die while it shows T (or T and below), at most " +
           n(kRerollCap) +
           " times; once\n"
           "  >=T >T <=T <T =T  count the dice that show it, instead of adding them (10d10>=8)\n"
           "  6x4d6dl1          six rolls of 4d6dl1\n"
           "  A term rolls 1 to " +
           n(kMaxTermDice) + " dice of 1 to " + n(kMaxTermSides) + " sides; a roll has at most " +
           n(kMaxTerms) +
           " terms\n"
           "  and takes at most " +
           n(kMaxStride) +
           " dice, counting the room each die keeps\n"
           "  for its rerolls and explosions.\n"
           "\n"
           "Options:\n"
           "  --times N           roll each expression N times, 1 to " +
           n(kMaxTimes) +
           "\n"
           "  --total             print only the totals, one a line\n"
           "  --odds              print each expression's odds instead of rolling it: mean, standard\n"
           "                      deviation and the chance of each total, of at least and of at most it\n"
           "  --target T          with --odds, the chance to reach T in one roll and in --times N rolls\n"
           "  --tsv               with --odds, tab-separated values for a spreadsheet\n"
           "  --seed N            roll the generator's sequence number N, 0 to 2^64-1, so that a roll\n"
           "                      can be replayed; seed 0 is what the window rolls after it starts.\n"
           "                      Without it every call rolls fresh dice.\n"
           "  --verbose           name the seed on standard error\n"
           "  --record            write the window's record of NdS or NdS+M (M added to the total)\n"
           "  --dice N            the window's roll: the number of dice, " +
           n(kMaxDice) +
           " at most\n"
           "  --sides S           the sides of each die, " +
           n(kMaxSides) +
           " at most\n"
           "  --modify M          add M to every die, 1 to " +
           n(kMaxModify) +
           "\n"
           "  --total-modify M    add M to every total, 1 to " +
           n(kMaxModify) +
           "\n"
           "  --crlf              end the record's lines with CR LF, as the window exports it\n"
           "  -h, --help          show this help and exit\n"
           "  --version           show the version and exit\n"
           "\n"
           "Examples: tumblecast-roll 2d20kh1+5    tumblecast-roll 6x4d6dl1    tumblecast-roll 1d20+5 2d6+3\n"
           "          tumblecast-roll --odds 4d6kh3 --target 15 --times 6\n"
           "\n"
           "Exit status: 0 done, 1 could not write, 2 bad usage.\n";
}

}  // namespace tumblecast::cli
