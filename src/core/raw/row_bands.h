#pragma once
// Rows of a picture shared out between two threads, with cancel checks:
// the engine's own loops, inside LibRaw's stages and after them, all run
// this way.

#include "raw/cancel_flag.h"

#include <system_error>
#include <thread>

namespace qlx::raw {

// A cancel request is looked at every this many rows in the engine's own
// loops: a few milliseconds of work on the largest files.
constexpr int kRowsBetweenChecks = 64;

inline bool stopRequested(const CancelFlag* cancel)
{
    return cancel && cancel->requested();
}

// Runs `work(first, end, band)` over the rows [first, end) in two bands at
// once, band 1 (the lower) on a second thread, or after band 0 when no
// thread can be started. `work` must not throw.
template <typename Work>
void inTwoBands(int first, int end, const Work& work)
{
    const int middle = first + (end - first) / 2;
    std::thread lower;
    try {
        lower = std::thread([&work, middle, end] { work(middle, end, 1); });
    } catch (const std::system_error&) {
        work(middle, end, 1);
    }
    work(first, middle, 0);
    if (lower.joinable())
        lower.join();
}

} // namespace qlx::raw
