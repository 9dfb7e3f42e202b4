// The timing loop of a build without Google Benchmark (the Windows build): the calls are timed in
// batches long enough for the clock, and the median batch gives the time of one call. Wall time
// (std::chrono::steady_clock): on a shared machine a batch that waited for a core lies above the
// median and does not move it.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

namespace bench {

// Nanoseconds per call of f, which returns something whose size() is kept so that the call cannot
// be dropped. The batch doubles until one takes at least minBatch; then `batches` batches are timed.
template <class F>
double MedianNsPerCall(F&& f, int batches = 31,
                       std::chrono::nanoseconds minBatch = std::chrono::milliseconds(2)) {
    using Clock = std::chrono::steady_clock;
    volatile std::size_t sink = 0;
    const auto batch = [&](std::int64_t calls) {
        const auto start = Clock::now();
        for (std::int64_t i = 0; i < calls; ++i)
            sink = f().size();
        return Clock::now() - start;
    };
    std::int64_t calls = 1;
    while (batch(calls) < minBatch)
        calls *= 2;
    std::vector<double> perCall;
    for (int b = 0; b < batches; ++b)
        perCall.push_back(std::chrono::duration<double, std::nano>(batch(calls)).count() /
                          static_cast<double>(calls));
    std::nth_element(perCall.begin(), perCall.begin() + batches / 2, perCall.end());
    (void)sink;
    return perCall[static_cast<std::size_t>(batches / 2)];
}

} // namespace bench
