#pragma once

#include <cstdint>

namespace pravenor::link {

// The transfer engine's states. The numbers are the engine's vocabulary: they appear in
// tests and diagnostics, so they keep their historic values.
enum class EngineState : std::int16_t
{
    Initial = 0,
    PortLost = 5,
    Idle = 10,

    PagerPosition = 150, // ask the converter for its call buffer position
    PagerPositionSoh = 151,
    PagerPositionLen = 152,
    PagerPositionBody = 153,
    PagerCall = 161, // send the call itself
    PagerCallSoh = 162,
    PagerCallLen = 163,
    PagerCallBody = 164,

    Restart = 180,
    RestartSoh = 181,
    RestartLen = 182,
    RestartBody = 183,

    Write = 310,
    WriteSoh = 311,
    WriteLen = 312,
    WriteBody = 313,
    WriteJudge = 314,

    Read = 350,
    ReadSoh = 351,
    ReadLen = 352,
    ReadBody = 353,
    ReadJudge = 354,
};

// The state after s in a run of reception states (SOH, LEN, body, judgement).
constexpr EngineState NextState(EngineState s)
{
    return static_cast<EngineState>(static_cast<std::int16_t>(s) + 1);
}

// Which reception phase (0 SOH, 1 LEN, 2 body) state s is, in the run starting at first.
constexpr int ReceptionPhase(EngineState s, EngineState first)
{
    return static_cast<std::int16_t>(s) - static_cast<std::int16_t>(first);
}

// How an exchange step ended, for the engine's failure count.
enum class Tally
{
    None,
    Failure, // counts towards the cancellation after three
    Success, // a read or write succeeded: the count starts again
    Refused, // a write refused before sending: the setting stays unwritten, nothing counted
};

struct StepResult
{
    EngineState next;
    Tally tally = Tally::None;
};

} // namespace pravenor::link
