#include "cli/roll_arguments.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <optional>

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

    // A roll as a player writes it: 3d6, or 2d20+1 with 1 added to every die.
    std::optional<std::string> setShortForm(std::string_view roll)
    {
        const auto d = roll.find_first_of("dD");
        const auto plus = roll.find('+');
        const std::string_view dice = roll.substr(0, d);
        const std::string_view sides = d == roll.npos ? std::string_view() : roll.substr(d + 1, plus - d - 1);
        const std::string_view modify = plus == roll.npos ? std::string_view("1") : roll.substr(plus + 1);
        if (!isDigits(dice) || !isDigits(sides) || (plus != roll.npos && plus < d) || !isDigits(modify))
            return std::string(roll) + ": not a roll; write it like 3d6 or 2d20+1";
        const std::string label(roll);
        if (auto bad = setValue(kDice, dice, label)) return bad;
        if (auto bad = setValue(kSides, sides, label)) return bad;
        if (plus != roll.npos) return setValue(kModify, modify, label);
        return std::nullopt;
    }

    std::optional<std::string> setSeed(std::string_view text)
    {
        if (m_seedGiven) return std::string("--seed is given twice");
        m_seedGiven = true;
        const auto end = text.data() + text.size();
        const auto [stop, error] = std::from_chars(text.data(), end, m_seed);
        if (!isDigits(text) || error != std::errc() || stop != end)
            return "--seed " + std::string(text) + ": must be 0 to " +
                   std::to_string(std::numeric_limits<std::uint64_t>::max());
        return std::nullopt;
    }

    std::optional<std::string> setPlainLineEnds()
    {
        if (m_plainLineEnds) return std::string("--lf is given twice");
        m_plainLineEnds = true;
        return std::nullopt;
    }

    Command finish() const
    {
        if (!m_given[kDice].present || !m_given[kSides].present)
            return UsageError{"say which dice to roll: 3d6, or --dice 3 --sides 6"};
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
        const RollRequest& request = std::get<RollRequest>(read);
        // Past the generator's last value the counters would wrap round and replay the first dice.
        const std::uint64_t lastSeed =
            std::numeric_limits<std::uint64_t>::max() - request.dice * request.times;
        if (m_seed > lastSeed)
            return UsageError{"--seed " + std::to_string(m_seed) + ": must be 0 to " +
                              std::to_string(lastSeed) + " for this roll"};
        return Roll{request, m_seed, m_plainLineEnds};
    }

private:
    std::array<Given, kSlotCount> m_given{};
    bool m_seedGiven = false;
    std::uint64_t m_seed = 0;
    bool m_plainLineEnds = false;
};

}  // namespace

Command parseArguments(std::span<const std::string_view> arguments)
{
    Parser parser;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        std::optional<std::string> bad;
        if (argument == "--help" || argument == "-h") return ShowHelp{};
        if (argument == "--version") return ShowVersion{};
        if (argument == "--lf") {
            bad = parser.setPlainLineEnds();
        } else if (argument.starts_with("--")) {
            const auto equals = argument.find('=');
            const std::string_view option = argument.substr(0, equals);
            const auto rule = std::find_if(kRules.begin(), kRules.end(),
                                           [&](const ValueRule& r) { return r.option == option; });
            if (rule == kRules.end() && option != "--seed")
                return UsageError{"unknown option " + std::string(option)};
            std::string_view value;
            if (equals != argument.npos)
                value = argument.substr(equals + 1);
            else if (i + 1 < arguments.size())
                value = arguments[++i];
            else
                return UsageError{std::string(option) + " needs a value"};
            if (rule == kRules.end())
                bad = parser.setSeed(value);
            else
                bad = parser.setValue(static_cast<Slot>(rule - kRules.begin()), value,
                                      std::string(option) + " " + std::string(value));
        } else if (argument.starts_with("-") && argument.size() > 1) {
            return UsageError{"unknown option " + std::string(argument)};
        } else {
            bad = parser.setShortForm(argument);
        }
        if (bad) return UsageError{std::move(*bad)};
    }
    return parser.finish();
}

std::string usageText()
{
    const auto upTo = [](std::uint64_t max) { return "1 to " + std::to_string(max); };
    return "Usage: tumblecast-roll [OPTION]... [NdS[+M]]\n"
           "Rolls dice and writes the record of the roll, as Tumblecast's window shows it, to standard "
           "output.\n"
           "\n"
           "  NdS[+M]             N dice of S sides, M added to every die (3d6, 2d20+1)\n"
           "  --dice N            the number of dice, " +
           upTo(kMaxDice) +
           "\n"
           "  --sides S           the sides of each die, " +
           upTo(kMaxSides) +
           "\n"
           "  --modify M          add M to every die, " +
           upTo(kMaxModify) +
           "\n"
           "  --total-modify M    add M to every total, " +
           upTo(kMaxModify) +
           "\n"
           "  --times T           roll T times, " +
           upTo(kMaxTimes) +
           "\n"
           "  --seed N            start at the generator's value N (0, as the window at its start)\n"
           "  --lf                end lines with LF instead of CR LF\n"
           "  -h, --help          show this help and exit\n"
           "  --version           show the version and exit\n"
           "\n"
           "Exit status: 0 rolled, 1 could not write, 2 bad usage.\n";
}

}  // namespace tumblecast::cli
