#pragma once

#include <cstdint>

#include "engine/roll_run.h"
#include "engine/text_source.h"

namespace tumblecast::test {

// Keeps the record as the result box would, and the last count the progress bar was told.
class Recorder final : public RollObserver {
public:
    void repetitionStarted(std::uint64_t) override {}
    void append(std::string_view text) override { record.append(text); }
    void dieRolled(std::uint64_t diceSoFar) override { lastCount = diceSoFar; }
    void repetitionFinished() override {}

    BufferSource record;
    std::uint64_t lastCount = 0;
};

// The largest roll the window's fields allow, every number at its widest.
inline RollRequest largestRequest(std::uint64_t times)
{
    return {.dice = 9999,
            .sides = 999998,
            .perDie = true,
            .modify = 999999,
            .modifyText = "999999",
            .totalModify = 999999,
            .totalModifyText = "999999",
            .times = times};
}

}  // namespace tumblecast::test
