// Writes the record of one roll to standard output, as the result box would hold it, from the generator's
// first value on (as at a program start).
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

#include "engine/philox_source.h"
#include "engine/roll_record.h"
#include "engine/roll_request.h"

using namespace tumblecast;

namespace {

constexpr const char* kUsage =
    "usage: roll_text --dice N --sides S [--times T] [--modify M] [--total-modify M]\n"
    "Writes the record of a roll of N dice of S sides, repeated T times, to standard output.\n"
    "--modify adds M to every die, --total-modify adds M to every total.\n";

int usageError(const std::string& why)
{
    std::fprintf(stderr, "roll_text: %s\n%s", why.c_str(), kUsage);
    return 2;
}

// The record shows modifiers as their fields would hold them after Generate: without leading zeros.
std::string plainDigits(std::uint64_t value) { return std::to_string(value); }

}  // namespace

int main(int argc, char* argv[])
{
    RollRequest request;
    bool haveDice = false, haveSides = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--help" || option == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (i + 1 == argc) return usageError("missing value after " + std::string(option));
        const std::string_view text = argv[++i];
        const auto value = readNumber(text);
        if (!value) return usageError("not a number: " + std::string(text));
        if (option == "--dice") {
            request.dice = *value;
            haveDice = true;
        } else if (option == "--sides") {
            request.sides = *value;
            haveSides = true;
        } else if (option == "--times") {
            request.times = *value;
        } else if (option == "--modify") {
            request.perDie = true;
            request.modify = *value;
            request.modifyText = plainDigits(*value);
        } else if (option == "--total-modify") {
            request.totalModify = *value;
            request.totalModifyText = plainDigits(*value);
        } else {
            return usageError("unknown option " + std::string(option));
        }
    }
    if (!haveDice || !haveSides) return usageError("--dice and --sides are needed");
    if (request.dice == 0 || request.sides == 0 || request.times == 0)
        return usageError("dice, sides and times must be at least 1");
    // 32-bit fields could not carry more; larger counts would also overflow the sums.
    if (request.dice > 999999 || request.sides > 999999 || request.times > 999999 ||
        request.modify > 999999 || request.totalModify > 999999)
        return usageError("values go up to 999999");

    const PhiloxSource source;
    const auto record = std::make_unique<RollRecord>(request, source, 0);
    try {
        record->forEachPiece(TextOffset(), ~0ull, [](std::string_view piece) {
            if (std::fwrite(piece.data(), 1, piece.size(), stdout) != piece.size())
                throw std::runtime_error(std::strerror(errno));
        });
        if (std::fflush(stdout) != 0) throw std::runtime_error(std::strerror(errno));
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "roll_text: cannot write: %s\n", failure.what());
        return 1;
    }
    return 0;
}
