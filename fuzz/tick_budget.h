#pragma once

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace pravenor::fuzz {

// A tick must stay far below the 25 ms between ticks. libFuzzer's -timeout counts whole
// inputs in seconds, so each tick is timed here. Processor time of this thread is measured,
// not wall time: the machine is shared, and a tick that was merely waiting for the processor
// has done nothing wrong. The sanitizers' allocator now and then spends milliseconds
// recycling freed memory inside whatever tick frees some; so the first tick over the limit
// is only noted, and the caller runs the input again to see whether the same tick is slow
// every time.
class TickBudget
{
public:
    static constexpr double kLimitMs = 10.0;

    void start() { m_start = now(); }
    // Notes the first tick over the limit; `tick` numbers the ticks of one input.
    void stop(long tick)
    {
        const double ms = (now() - m_start) * 1000.0;
        if (ms > kLimitMs && m_slowTick < 0) {
            m_slowTick = tick;
            m_slowMs = ms;
        }
    }
    long slowTick() const { return m_slowTick; }
    double slowMs() const { return m_slowMs; }

    // Ends the run as a crash: the same tick was over the limit every time.
    [[noreturn]] static void fail(const char* what, long tick, double ms)
    {
        std::fprintf(
            stderr,
            "==pravenor== %s %ld took %.3f ms of processor time in every run, over %.0f ms\n", what,
            tick, ms, kLimitMs);
        std::abort();
    }

private:
    static double now()
    {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
    }
    double m_start = 0.0;
    long m_slowTick = -1;
    double m_slowMs = 0.0;
};

} // namespace pravenor::fuzz
