// Timing for the benchmarks.
#pragma once

#include <chrono>
#include <functional>

using TClock = std::chrono::steady_clock;

inline double MillisecondsSince(TClock::time_point start) {
    return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

// How long the work took.
inline double Milliseconds(const std::function<void()>& work) {
    const TClock::time_point start = TClock::now();
    work();
    return MillisecondsSince(start);
}
