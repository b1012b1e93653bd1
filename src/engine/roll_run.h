#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/roll_request.h"

namespace tumblecast {

class RandomSource;

// What a run reports while it rolls: the record's text as appends, and enough to drive a progress bar
// and a busy pointer.
class RollObserver {
public:
    virtual ~RollObserver() = default;
    virtual void repetitionStarted(std::uint64_t dice) = 0;
    virtual void append(std::string_view text) = 0;
    virtual void dieRolled(std::uint64_t diceSoFar) = 0;
    virtual void repetitionFinished() = 0;
};

inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr std::string_view kSeparator = "--------------------------------";

// floor(sides * u + 1) in double precision: 1 to sides for u in [0, 1).
std::uint64_t dieValue(std::uint64_t sides, float u);

// The record's line of one die, its line end included.
void appendDieLine(std::string& out, const RollRequest& request, std::uint64_t die);
// The block that closes a repetition: an empty line, the total line, the separator and an empty line.
void appendTotalBlock(std::string& out, const RollRequest& request, std::uint64_t sum);

// Rolls every repetition of the request, one value of source per die.
void runRoll(const RollRequest& request, RandomSource& source, RollObserver& observer);

}  // namespace tumblecast
