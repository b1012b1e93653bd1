// tumblecast-roll: dice notation and the window's rolls from the shell.
#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cli/odds_output.h"
#include "cli/record_output.h"
#include "cli/roll_arguments.h"
#include "engine/fan_out.h"
#include "engine/philox_source.h"
#include "engine/roll_record.h"
#include "notation/roller.h"
#include "stats/expression_odds.h"
#include "version.h"

using namespace tumblecast;

namespace {

// Standard output through a large buffer; remembers the first failure to write.
class Output {
public:
    ~Output() { flush(); }
    void add(std::string_view text)
    {
        m_buffer += text;
        if (m_buffer.size() >= (1u << 20)) flush();
    }
    bool flush()
    {
        errno = 0;
        if (m_failed.empty() && !m_buffer.empty() &&
            std::fwrite(m_buffer.data(), 1, m_buffer.size(), stdout) != m_buffer.size())
            m_failed = std::strerror(errno ? errno : EIO);
        m_buffer.clear();
        if (m_failed.empty() && std::fflush(stdout) != 0) m_failed = std::strerror(errno ? errno : EIO);
        return m_failed.empty();
    }
    const std::string& failure() const { return m_failed; }

private:
    std::string m_buffer;
    std::string m_failed;
};

int cannotWrite(const std::string& reason)
{
    std::fprintf(stderr, "tumblecast-roll: cannot write: %s\n", reason.c_str());
    return 1;
}

int written(std::string_view text)
{
    Output out;
    out.add(text);
    return out.flush() ? 0 : cannotWrite(out.failure());
}

// The lines of every repetition, rolled a chunk at a time on every core and written in order.
bool rollLines(const notation::Expression& expression, const DieSource& source, std::uint64_t first,
               bool totals, Output& out)
{
    constexpr std::uint64_t kChunkValues = 1 << 20;
    constexpr std::size_t kSlots = 8;
    const std::uint64_t perChunk =
        std::max<std::uint64_t>(1, kChunkValues / std::max<std::uint64_t>(1, expression.stride()));
    const std::uint64_t chunks = (expression.times + perChunk - 1) / perChunk;
    std::array<std::string, kSlots> texts;
    fanOut(
        chunks, chunks > 1 ? fanOutThreads() : 1, kSlots,
        [&](std::uint64_t k) {
            const notation::Roller roller(expression, source, first);
            notation::RolledRepetition rolled;
            std::string& text = texts[k % kSlots];
            text.clear();
            for (std::uint64_t r = k * perChunk; r < std::min(expression.times, (k + 1) * perChunk); ++r) {
                if (totals) {
                    char digits[24];
                    const auto end = std::to_chars(digits, digits + sizeof digits, roller.total(r)).ptr;
                    text.append(digits, end);
                } else {
                    roller.roll(r, rolled);
                    text += notation::rollLine(expression, rolled);
                }
                text += '\n';
            }
        },
        [&](std::uint64_t k) {
            out.add(texts[k % kSlots]);
            return out.failure().empty();
        });
    return out.failure().empty();
}

int odds(const cli::Job& run)
{
    Output out;
    for (std::size_t i = 0; i < run.expressions.size(); ++i) {
        if (i > 0) out.add("\n");
        const stats::ExpressionOdds odds(run.expressions[i]);
        out.add(cli::oddsText(run.expressions[i], odds, run.target, run.tsv));
    }
    return out.flush() ? 0 : cannotWrite(out.failure());
}

int roll(const cli::Job& run)
{
    const std::uint64_t seed = run.seed ? *run.seed : freshSeed();
    if (run.verbose) std::fprintf(stderr, "tumblecast-roll: seed %" PRIu64 "\n", seed);
    const PhiloxSource source(seed);
    std::uint64_t next = 0;
    Output out;
    for (const RollRequest& request : run.records) {
        const auto record = RollRecord::roll(request, source, next);
        if (run.output == cli::Output::Totals) {
            for (std::uint64_t r = 0; r < request.times; ++r)
                out.add(
                    std::to_string(repetitionSum(record->dice(), record->layout(), r) + request.totalModify) +
                    "\n");
            continue;
        }
        if (!out.flush()) break;
        if (const auto failure = cli::writeText(*record, !run.crlf, stdout)) return cannotWrite(*failure);
    }
    for (const notation::Expression& expression : run.expressions) {
        if (!rollLines(expression, source, next, run.output == cli::Output::Totals, out)) break;
        next += expression.times * expression.stride();
    }
    return out.flush() ? 0 : cannotWrite(out.failure());
}

}  // namespace

int main(int argc, char* argv[])
{
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const cli::Command command = cli::parseArguments(arguments);
    if (const auto* error = std::get_if<cli::UsageError>(&command)) {
        std::fprintf(stderr, "tumblecast-roll: %s\n%sTry 'tumblecast-roll --help'.\n", error->message.c_str(),
                     error->detail.c_str());
        return 2;
    }
    if (std::holds_alternative<cli::ShowHelp>(command)) return written(cli::usageText());
    if (std::holds_alternative<cli::ShowVersion>(command))
        return written("tumblecast-roll " + std::string(kVersion) + "\n");
    const auto& run = std::get<cli::Job>(command);
    return run.output == cli::Output::Odds ? odds(run) : roll(run);
}
