#include "link/exchange_reporter.h"

#include "app/message_log.h"
#include "link/transfer_view.h"

namespace pravenor::link {

ExchangeReporter::ExchangeReporter(TransferView& view, app::MessageLog& log)
    : m_view(view), m_log(log)
{
}

StepResult ExchangeReporter::report(const ExchangeOutcome& outcome)
{
    for (const ExchangeOutcome::Line& line : outcome.lines) {
        if (line.to == ExchangeOutcome::To::Progress)
            progress(line.text);
        else
            log(line.text);
    }
    return outcome.step;
}

void ExchangeReporter::progress(const std::string& text)
{
    m_view.appendProgress(text);
}

void ExchangeReporter::log(const std::string& text)
{
    m_log.WriteLog(text);
}

} // namespace pravenor::link
