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

// What a state is doing, in words, for a person watching the line.
constexpr const char* StateName(EngineState s)
{
    switch (s) {
    case EngineState::Initial:
        return "not started";
    case EngineState::PortLost:
        return "port lost";
    case EngineState::Idle:
        return "idle";
    case EngineState::PagerPosition:
        return "pager position";
    case EngineState::PagerPositionSoh:
        return "pager position SOH";
    case EngineState::PagerPositionLen:
        return "pager position LEN";
    case EngineState::PagerPositionBody:
        return "pager position body";
    case EngineState::PagerCall:
        return "pager call";
    case EngineState::PagerCallSoh:
        return "pager call SOH";
    case EngineState::PagerCallLen:
        return "pager call LEN";
    case EngineState::PagerCallBody:
        return "pager call body";
    case EngineState::Restart:
        return "restart";
    case EngineState::RestartSoh:
        return "restart SOH";
    case EngineState::RestartLen:
        return "restart LEN";
    case EngineState::RestartBody:
        return "restart body";
    case EngineState::Write:
        return "write";
    case EngineState::WriteSoh:
        return "write SOH";
    case EngineState::WriteLen:
        return "write LEN";
    case EngineState::WriteBody:
        return "write body";
    case EngineState::WriteJudge:
        return "write judge";
    case EngineState::Read:
        return "read";
    case EngineState::ReadSoh:
        return "read SOH";
    case EngineState::ReadLen:
        return "read LEN";
    case EngineState::ReadBody:
        return "read body";
    case EngineState::ReadJudge:
        return "read judge";
    }
    return "unknown";
}

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
