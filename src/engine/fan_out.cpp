#include "engine/fan_out.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <limits>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace tumblecast {

unsigned fanOutThreads() { return std::max(1u, std::thread::hardware_concurrency()); }

void fanOut(std::uint64_t count, unsigned threads, std::size_t slots,
            const std::function<void(std::uint64_t)>& produce,
            const std::function<bool(std::uint64_t)>& consume)
{
    const auto inTurn = [&] {
        for (std::uint64_t k = 0; k < count; ++k) {
            produce(k);
            if (!consume(k)) return;
        }
    };
    if (threads <= 1 || count <= 1 || slots == 0) return inTurn();

    constexpr std::uint64_t kNone = std::numeric_limits<std::uint64_t>::max();
    std::vector<std::uint64_t> ready(slots, kNone);
    std::vector<std::exception_ptr> failures(slots);
    std::mutex mutex;
    std::condition_variable changed;
    std::uint64_t next = 0;
    std::uint64_t handed = 0;
    bool stop = false;
    const auto work = [&] {
        for (;;) {
            std::uint64_t k = 0;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stop || next == count || next < handed + slots; });
                if (stop || next == count) return;
                k = next++;
            }
            std::exception_ptr failure;
            try {
                produce(k);
            } catch (...) {
                failure = std::current_exception();
            }
            {
                std::lock_guard lock(mutex);
                failures[k % slots] = failure;
                ready[k % slots] = k;
            }
            changed.notify_all();
        }
    };

    std::vector<std::thread> helpers;
    helpers.reserve(threads);
    const auto finish = [&] {
        {
            std::lock_guard lock(mutex);
            stop = true;
        }
        changed.notify_all();
        for (auto& helper : helpers) helper.join();
    };
    try {
        for (std::uint64_t i = 0; i < std::min<std::uint64_t>(threads, count); ++i)
            helpers.emplace_back(work);
    } catch (const std::system_error&) {
        if (helpers.empty()) return inTurn();  // no thread to be had: here, then
    }
    try {
        for (std::uint64_t k = 0; k < count; ++k) {
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return ready[k % slots] == k; });
            }
            if (failures[k % slots]) std::rethrow_exception(failures[k % slots]);
            const bool more = consume(k);
            {
                std::lock_guard lock(mutex);
                handed = k + 1;
            }
            changed.notify_all();
            if (!more) break;
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

}  // namespace tumblecast
