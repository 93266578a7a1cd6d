#pragma once

#include "link/exchange_outcome.h"

namespace pravenor::app {
class MessageLog;
}

namespace pravenor::link {

class TransferView;

// The one place that writes what the exchanges and the engine report: the progress text
// and the message log.
class ExchangeReporter
{
public:
    ExchangeReporter(TransferView& view, app::MessageLog& log);

    // Writes the outcome's lines in their order and hands its step on.
    StepResult report(const ExchangeOutcome& outcome);

    void progress(const std::string& text);
    void log(const std::string& text);

private:
    TransferView& m_view;
    app::MessageLog& m_log;
};

} // namespace pravenor::link
