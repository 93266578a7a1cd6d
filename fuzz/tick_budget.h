#pragma once

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace pravenor::fuzz {

// A tick must stay far below the 25 ms between ticks. libFuzzer's -timeout counts whole
// inputs in seconds, so each tick is timed here and an overlong one ends the run as a crash.
// Processor time of this thread is measured, not wall time: the machine is shared, and a
// tick that was merely waiting for the processor has done nothing wrong.
class TickBudget
{
public:
    static constexpr double kLimitMs = 10.0;

    void start() { m_start = now(); }
    void stop(const char* what) const
    {
        const double ms = (now() - m_start) * 1000.0;
        if (ms > kLimitMs) {
            std::fprintf(stderr, "==pravenor== %s took %.3f ms of processor time, over %.0f ms\n", what, ms,
                         kLimitMs);
            std::abort();
        }
    }

private:
    static double now()
    {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
    }
    double m_start = 0.0;
};

} // namespace pravenor::fuzz
