#pragma once

#include "engine/roll_request.h"

namespace tumblecast::test {

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
