// tumblecast-roll: the window's roll from the shell.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/record_output.h"
#include "cli/roll_arguments.h"
#include "engine/philox_source.h"
#include "engine/roll_record.h"
#include "version.h"

using namespace tumblecast;

namespace {

int written(std::string_view text)
{
    if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0) return 0;
    std::perror("tumblecast-roll: cannot write");
    return 1;
}

}  // namespace

int main(int argc, char* argv[])
{
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const cli::Command command = cli::parseArguments(arguments);
    if (const auto* error = std::get_if<cli::UsageError>(&command)) {
        std::fprintf(stderr, "tumblecast-roll: %s\nTry 'tumblecast-roll --help'.\n", error->message.c_str());
        return 2;
    }
    if (std::holds_alternative<cli::ShowHelp>(command)) return written(cli::usageText());
    if (std::holds_alternative<cli::ShowVersion>(command))
        return written("tumblecast-roll " + std::string(kVersion) + "\n");

    const auto& roll = std::get<cli::Roll>(command);
    const PhiloxSource source;
    std::uint64_t nextDie = roll.seed;
    const auto record = RollRecord::roll(roll.request, source, nextDie);
    if (const auto failure = cli::writeText(*record, roll.plainLineEnds, stdout)) {
        std::fprintf(stderr, "tumblecast-roll: cannot write the record: %s\n", failure->c_str());
        return 1;
    }
    return 0;
}
