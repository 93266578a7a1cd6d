#pragma once

#include <chrono>
#include <cstdint>

namespace pravenor::link {

using std::chrono::milliseconds;

// The link's waits as lengths of time. Whatever the pace, each lasts this long; only the
// number of ticks that make it up changes.
inline constexpr milliseconds kWakeUpPause{250};  // after a wake-up, the start, a port back
inline constexpr milliseconds kReplyWait{3000};   // for SOH, and again for LEN
inline constexpr milliseconds kReadAwake{2000};   // the converter stays awake after a read starts
inline constexpr milliseconds kWriteAwake{5000};  // ... after a write, restart or pager call starts
inline constexpr milliseconds kReopenPause{5000}; // between tries on a lost port
// Before a failed exchange is tried again: a reply that comes late goes by, dropped, instead
// of being taken for the retry's.
inline constexpr milliseconds kLineSettle{3000};

// How finely the engine cuts time: one tick while an exchange or batch runs, another between
// batches. Every countdown counts busy ticks; an idle tick passes several of them at once.
struct Pace
{
    milliseconds busyTick;
    milliseconds idleTick;

    constexpr bool fast() const { return busyTick < idleTick; }
    // The busy ticks that make up `length`.
    constexpr std::int16_t ticks(milliseconds length) const
    {
        return static_cast<std::int16_t>(length / busyTick);
    }
    bool operator==(const Pace&) const = default;
};

// The converter has always been driven at this pace and may rely on it.
inline constexpr Pace kStandardPace{milliseconds{25}, milliseconds{25}};
// As fast as the line: at 9600 baud a byte takes a little over a millisecond.
inline constexpr Pace kFastPace{milliseconds{1}, milliseconds{25}};

// The countdowns' starting values at one pace.
struct PaceTicks
{
    std::int16_t wakeUpPause;
    std::int16_t replyWait;
    std::int16_t readAwake;
    std::int16_t writeAwake;
    std::int16_t reopenPause;
    std::int16_t lineSettle;

    static constexpr PaceTicks For(const Pace& pace)
    {
        return {pace.ticks(kWakeUpPause), pace.ticks(kReplyWait),   pace.ticks(kReadAwake),
                pace.ticks(kWriteAwake),  pace.ticks(kReopenPause), pace.ticks(kLineSettle)};
    }
};

// Every wait must be a whole number of ticks, or a pace would shorten it.
constexpr bool CutsEveryWaitEvenly(const Pace& pace)
{
    for (milliseconds length :
         {kWakeUpPause, kReplyWait, kReadAwake, kWriteAwake, kReopenPause, kLineSettle}) {
        if (length % pace.busyTick != milliseconds{0})
            return false;
    }
    return pace.idleTick % pace.busyTick == milliseconds{0};
}
static_assert(CutsEveryWaitEvenly(kStandardPace) && CutsEveryWaitEvenly(kFastPace));

} // namespace pravenor::link
