#pragma once

#include "link/engine_state.h"

#include <string>
#include <vector>

namespace pravenor::link {

// What one step of an exchange came to: where the engine goes next, what it counts, and the
// lines it has to report, in the order they are written. The exchanges only compose the
// lines; the reporter writes them.
struct ExchangeOutcome
{
    enum class To
    {
        Progress, // appended to the progress text as it stands, line ends included
        Log,      // one line of the message log
    };
    struct Line
    {
        To to;
        std::string text;
    };

    StepResult step;
    std::vector<Line> lines;

    ExchangeOutcome(StepResult result) : step(result) {} // NOLINT: a step without lines
    ExchangeOutcome(EngineState next, Tally tally = Tally::None) : step{next, tally} {} // NOLINT

    ExchangeOutcome& progress(std::string text)
    {
        lines.push_back({To::Progress, std::move(text)});
        return *this;
    }
    ExchangeOutcome& log(std::string text)
    {
        lines.push_back({To::Log, std::move(text)});
        return *this;
    }
};

} // namespace pravenor::link
