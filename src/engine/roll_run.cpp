#include "engine/roll_run.h"

#include <charconv>
#include <cmath>

#include "engine/random_source.h"

namespace tumblecast {

namespace {

void appendNumber(std::string& out, std::uint64_t value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

}  // namespace

std::uint64_t dieValue(std::uint64_t sides, float u)
{
    return static_cast<std::uint64_t>(std::floor(static_cast<double>(sides) * u + 1.0));
}

void appendDieLine(std::string& out, const RollRequest& request, std::uint64_t die)
{
    appendNumber(out, die);
    if (request.perDie) {
        out += " + ";
        out += request.modifyText;
        out += " = ";
        appendNumber(out, die + request.modify);
    }
    out += kLineEnd;
}

void appendTotalBlock(std::string& out, const RollRequest& request, std::uint64_t sum)
{
    out += kLineEnd;
    out += "Total:";
    appendNumber(out, sum);
    out += " + ";
    out += request.totalModifyText;
    out += " = ";
    appendNumber(out, sum + request.totalModify);
    out += kLineEnd;
    out += kSeparator;
    out += kLineEnd;
    out += kLineEnd;
}

void runRoll(const RollRequest& request, RandomSource& source, RollObserver& observer)
{
    const std::uint64_t modify = request.perDie ? request.modify : 0;
    std::string line;
    for (std::uint64_t r = 0; r < request.times; ++r) {
        observer.repetitionStarted(request.dice);
        std::uint64_t sum = 0;
        for (std::uint64_t count = 1; count <= request.dice; ++count) {
            const std::uint64_t die = dieValue(request.sides, source.next());
            line.clear();
            appendDieLine(line, request, die);
            observer.append(line);
            sum += die + modify;
            observer.dieRolled(count);
        }
        line.clear();
        appendTotalBlock(line, request, sum);
        observer.append(line);
        observer.repetitionFinished();
    }
}

}  // namespace tumblecast
