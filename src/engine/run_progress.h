#pragma once

#include <cstdint>

namespace tumblecast {

// The progress bar's value partway through a run, on the 0..dice scale the bar has in every repetition.
// A repetition is over in about a millisecond, far too soon for its own count to be seen, so the bar
// shows the whole run instead and fills once from start to end.
constexpr std::uint64_t runProgress(std::uint64_t doneRepetitions, std::uint64_t dice,
                                    std::uint64_t diceSoFar, std::uint64_t times)
{
    return times == 0 ? 0 : (doneRepetitions * dice + diceSoFar) / times;
}

}  // namespace tumblecast
