// Timing for the benchmarks.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

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

// The processor time that the calling thread has used, in milliseconds (in
// steps of the system's clock tick). Beside the time on the clock it tells a
// slow step from a busy machine.
inline double ThreadCpuMilliseconds() {
    FILETIME creation, exit, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &creation, &exit, &kernel, &user))
        return 0;
    auto ticks = [](const FILETIME& time) {
        return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0; // 100 ns units
}

// The middle of a benchmark's rounds: steadier than their mean on a shared machine.
inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
