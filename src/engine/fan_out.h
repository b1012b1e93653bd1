#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace tumblecast {

// Runs produce(k) for k = 0 to count - 1 on up to `threads` helper threads, and consume(k) on the calling
// thread in the order of k. No produce runs more than `slots` ahead of consume, so the two may share slot
// k % slots of the caller's. consume returns false to end the run early. An exception from produce(k) is
// rethrown where consume(k) would run; an exception from either ends the run, and every helper is joined
// before the call returns or throws. With one thread, or none to be had, the calling thread produces and
// consumes in turn.
void fanOut(std::uint64_t count, unsigned threads, std::size_t slots,
            const std::function<void(std::uint64_t)>& produce,
            const std::function<bool(std::uint64_t)>& consume);

// The helper threads worth starting: one per core.
unsigned fanOutThreads();

}  // namespace tumblecast
