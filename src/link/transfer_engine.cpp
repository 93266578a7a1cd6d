#include "link/transfer_engine.h"

#include "app/box_title.h"
#include "app/program_config.h"
#include "app/text_functions.h"
#include "link/com_port.h"
#include "link/transfer_view.h"
#include "settings/catalogue.h"
#include "settings/control_sync.h"

#include <algorithm>

namespace pravenor::link {

using settings::kItemCount;
using settings::Request;

namespace {

const std::string kLineEnd = "\r\n";
constexpr int kLastServedItem = settings::kLastServedItem;

std::size_t at(int item)
{
    return static_cast<std::size_t>(item);
}

bool isReadState(EngineState s)
{
    return s >= EngineState::ReadSoh && s <= EngineState::ReadJudge;
}

bool isWriteState(EngineState s)
{
    return s >= EngineState::WriteSoh && s <= EngineState::WriteJudge;
}

bool isServiceReplyState(EngineState s)
{
    return (s >= EngineState::RestartSoh && s <= EngineState::RestartBody) ||
           (s >= EngineState::PagerPositionSoh && s <= EngineState::PagerPositionBody) ||
           (s >= EngineState::PagerCallSoh && s <= EngineState::PagerCallBody);
}

bool isStartState(EngineState s)
{
    return s == EngineState::Read || s == EngineState::Write || s == EngineState::Restart ||
           s == EngineState::PagerPosition;
}

// A countdown of `ticks` of one length, as ticks of another; never shorter in time.
std::int16_t rescaled(int ticks, milliseconds from, milliseconds to)
{
    return static_cast<std::int16_t>((ticks * from + to - milliseconds{1}) / to);
}

} // namespace

TransferEngine::TransferEngine(ComPort& port, settings::ControlSync& sync, TransferView& view,
                               app::MessageLog& log, const app::ProgramConfig& config,
                               const app::DebugMode& debugLevel)
    : m_port(port), m_sync(sync), m_view(view), m_log(log), m_config(config),
      m_debugLevel(debugLevel), m_reporter(view, log), m_bytes(port.serial()),
      m_settings(m_bytes, m_receiver, sync, debugLevel),
      m_service(m_bytes, m_receiver, sync.controls())
{
}

// The time since the last tick, in busy ticks: what the interval planned then has passed.
void TransferEngine::countDown()
{
    const auto passed = static_cast<std::int16_t>(m_interval / m_pace.busyTick);
    auto down = [passed](std::int16_t& count) { count = count > passed ? count - passed : 0; };
    down(m_linkAlive);
    down(m_pollDelay);
    m_receiver.countDown(passed);
}

void TransferEngine::ProcessTransfer(std::int16_t signal)
{
    countDown();
    step(signal);
    planNextTick();
}

void TransferEngine::step(std::int16_t signal)
{
    const EngineState s = m_state;
    switch (s) {
    case EngineState::Initial:
        initialStep(signal);
        return;
    case EngineState::PortLost:
        portLostStep();
        return;
    case EngineState::Idle:
        idleStep();
        return;
    case EngineState::Read:
    case EngineState::Write:
        if (m_settling) {
            m_bytes.ClearInput();
            if (m_pollDelay > 0)
                return;
            m_settling = false;
            if (m_linkAlive == 0) {
                m_settings.WakeUpSequence();
                m_pollDelay = m_ticks.wakeUpPause;
                return;
            }
        }
        if (m_pollDelay > 0)
            return;
        m_linkAlive = s == EngineState::Read ? m_ticks.readAwake : m_ticks.writeAwake;
        if (m_currentItem < 0) {
            m_state = EngineState::Idle;
            return;
        }
        if (s == EngineState::Read) {
            m_reporter.report(m_settings.announceRead(m_currentItem));
            apply(m_settings.startRead(m_currentItem));
        } else {
            m_reporter.report(m_settings.announceWrite(m_currentItem));
            apply(m_settings.startWrite(m_currentItem));
        }
        return;
    case EngineState::Restart:
    case EngineState::PagerPosition:
        if (m_pollDelay > 0)
            return;
        m_linkAlive = m_ticks.writeAwake;
        apply(s == EngineState::Restart ? m_service.startRestart()
                                        : m_service.startPositionRequest());
        return;
    case EngineState::PagerCall:
        m_linkAlive = m_ticks.writeAwake;
        apply(m_service.startCall());
        return;
    default:
        break;
    }
    // A line that drops mid-exchange is lost now, not three seconds on as a converter that
    // did not answer.
    if (m_port.PortIsOpen() == -1) {
        loseMidExchange();
        return;
    }
    if (isReadState(s) || isWriteState(s))
        apply(m_settings.replyStep(s, m_currentItem), s);
    else if (s >= EngineState::RestartSoh && s <= EngineState::RestartBody)
        apply(m_service.restartStep(s), s);
    else if (s >= EngineState::PagerPositionSoh && s <= EngineState::PagerPositionBody)
        apply(m_service.positionStep(s), s);
    else if (s >= EngineState::PagerCallSoh && s <= EngineState::PagerCallBody)
        apply(m_service.callStep(s), s);
    else
        m_state = EngineState::Idle;
}

void TransferEngine::setPace(const Pace& pace)
{
    if (pace == m_pace)
        return;
    m_pollDelay = rescaled(m_pollDelay, m_pace.busyTick, pace.busyTick);
    m_linkAlive = rescaled(m_linkAlive, m_pace.busyTick, pace.busyTick);
    m_receiver.ReplyTimeout = rescaled(m_receiver.ReplyTimeout, m_pace.busyTick, pace.busyTick);
    m_pace = pace;
    m_ticks = PaceTicks::For(pace);
    m_receiver.setReplyTicks(m_ticks.replyWait);
    planNextTick();
}

bool TransferEngine::busy() const
{
    if (m_state != EngineState::Idle && m_state != EngineState::Initial &&
        m_state != EngineState::PortLost)
        return true;
    if (BatchKind != Batch::None)
        return true;
    const auto& requests = m_sync.stores().ItemRequest;
    return std::any_of(requests.begin(), requests.end(),
                       [](settings::Request r) { return r != Request::None; });
}

// Between batches the idle tick keeps a waiting window off the processor; a pause before a
// request is waited out in idle ticks too, as far as it fills them.
void TransferEngine::planNextTick()
{
    if (!busy()) {
        m_interval = m_pace.idleTick;
    } else if (isStartState(m_state) && m_pollDelay > 0) {
        m_interval = std::clamp(m_pollDelay * m_pace.busyTick, m_pace.busyTick, m_pace.idleTick);
    } else {
        m_interval = m_pace.busyTick;
    }
}

// A converter that needs a pause after its reply misses a request sent at once. It shows as
// an exchange that fails; from then on the converter gets the pace it has always had.
void TransferEngine::fallBackIfFailed(EngineState from, const StepResult& result)
{
    if (!m_pace.fast() || result.next != EngineState::Idle)
        return;
    bool failed = false;
    if (isReadState(from) || isWriteState(from))
        failed = result.tally != Tally::Success;
    else if (isServiceReplyState(from))
        failed = !m_service.Acknowledged;
    if (!failed)
        return;
    m_reporter.log(
        "Fast link: the converter did not keep up; back to the standard pace for this run.");
    setPace(kStandardPace);
}

void TransferEngine::apply(const ExchangeOutcome& outcome, EngineState from)
{
    const StepResult result = m_reporter.report(outcome);
    fallBackIfFailed(from, result);
    tellWatcher(m_state, result);
    m_state = result.next;
    // Only a reply that did not come in time may still be on its way.
    if ((isReadState(from) || isWriteState(from)) && result.next == EngineState::Idle &&
        m_receiver.ReplyTimeout == 0)
        m_settleDue = true;
    if (result.tally == Tally::Failure)
        ++m_errorCount;
    else if (result.tally == Tally::Success)
        m_errorCount = 0;
    else if (result.tally == Tally::Refused && BatchKind != Batch::None)
        ++m_refusedCount;
    if (m_serviceJobRunning && m_state == EngineState::Idle)
        endServiceJob();
    // The last write (or its read-back) is in: the batch's record is complete now, not a tick
    // later, when a front end may already have moved on.
    if (m_writing && m_state == EngineState::Idle) {
        const auto& requests = m_sync.stores().ItemRequest;
        if (std::all_of(requests.begin(), requests.end(),
                        [](settings::Request r) { return r == Request::None; }))
            endWrites();
    }
}

void TransferEngine::setJobObserver(std::function<void(Job, JobEnd)> observer)
{
    m_jobObserver = std::move(observer);
}

void TransferEngine::notify(Job job, JobEnd end)
{
    if (m_jobObserver)
        m_jobObserver(job, end);
}

void TransferEngine::endBatch(JobEnd end)
{
    const Batch kind = BatchKind;
    BatchKind = Batch::None;
    if (kind == Batch::ReadAll)
        notify(Job::ReadAll, end);
    else if (kind == Batch::WriteAll)
        notify(Job::WriteAll, end);
}

// A restart or pager call has come back to idle; the converter's answer says how it went.
void TransferEngine::endServiceJob()
{
    m_serviceJobRunning = false;
    notify(m_serviceJob, m_service.Acknowledged ? JobEnd::Done : JobEnd::Failed);
}

void TransferEngine::endBatchByUser()
{
    endBatch(JobEnd::Cancelled);
}

void TransferEngine::initialStep(std::int16_t signal)
{
    if (signal == kStartSignal)
        m_state = EngineState::Idle;
    m_incoming.clear();
    m_pollDelay = m_ticks.wakeUpPause;
    BatchKind = Batch::None;
}

void TransferEngine::awaitPort()
{
    if (m_state != EngineState::Initial)
        return;
    m_state = EngineState::PortLost;
    m_incoming.clear();
    BatchKind = Batch::None;
    m_pollDelay = m_ticks.reopenPause;
}

bool TransferEngine::*TransferEngine::flagOf(Job job)
{
    switch (job) {
    case Job::ReadAll:
        return &TransferEngine::ReadAllRequest;
    case Job::WriteAll:
        return &TransferEngine::WriteAllRequest;
    case Job::Restart:
        return &TransferEngine::RestartRequest;
    case Job::PagerCall:
        break;
    }
    return &TransferEngine::PagerCallRequest;
}

void TransferEngine::request(Job job)
{
    this->*flagOf(job) = true;
}

void TransferEngine::request(int item, settings::Request kind)
{
    if (item >= 0 && item < kItemCount)
        m_sync.stores().ItemRequest[at(item)] = kind;
}

bool TransferEngine::requested(Job job) const
{
    return this->*flagOf(job);
}

bool TransferEngine::reopenPort()
{
    return m_port.OpenComPort(m_config.ComPortIndex) == 0;
}

// A batch, restart or pager call starts on a freshly opened port. The request is cleared
// first, so a port that will not open makes it vanish (the log says why).
TransferEngine::TakeUp TransferEngine::takeUp(bool& request)
{
    if (!request)
        return TakeUp::NotAsked;
    request = false;
    m_port.CloseComPort();
    return reopenPort() ? TakeUp::Ready : TakeUp::PortFailed;
}

void TransferEngine::portLostStep()
{
    if (m_pollDelay > 0)
        return;
    if (!reopenPort()) {
        m_port.CloseComPort();
        m_pollDelay = m_ticks.reopenPause;
        return;
    }
    m_state = EngineState::Idle;
    m_incoming.clear();
    m_settleDue = m_settling = false; // a fresh connection carries nothing late
    endBatch(JobEnd::PortLost);
    m_pollDelay = m_ticks.wakeUpPause;
    auto& requests = m_sync.stores().ItemRequest;
    const bool anyPending = std::any_of(requests.begin(), requests.end(),
                                        [](settings::Request r) { return r != Request::None; });
    requests.fill(Request::None);
    if (m_writing)
        endWrites();
    if (anyPending) {
        m_reporter.progress(kLineEnd + "Current Read/Write action is cancelled!" + kLineEnd);
        // The log is the record of what the converter was given; it must not end mid-batch.
        m_reporter.log("Current Read/Write action is cancelled!");
    }
}

void TransferEngine::loseMidExchange()
{
    m_state = EngineState::PortLost;
    m_pollDelay = 0;
    if (m_serviceJobRunning) {
        m_serviceJobRunning = false;
        notify(m_serviceJob, JobEnd::PortLost);
    }
}

void TransferEngine::cancelForErrors(settings::Request request)
{
    CancelAll();
    const bool writing = request == Request::Write;
    const std::string what =
        writing ? "ERROR writing setting in converter." : "ERROR reading setting from converter.";
    const std::string cancelled = writing ? "Writing cancelled!" : "Reading cancelled!";
    m_reporter.log(what + " " + cancelled);
    m_view.showCriticalMessage(app::kBoxTitle, what + kLineEnd + cancelled);
}

bool TransferEngine::dispatch()
{
    const auto& requests = m_sync.stores().ItemRequest;
    if (m_watcher && !m_writing)
        startWrites();
    // A read first whose write was cancelled has nothing left to keep.
    std::erase_if(m_readFirst, [&](int item) { return requests[at(item)] != Request::Write; });
    if (!m_readFirst.empty()) {
        if (m_port.PortIsOpen() == -1) {
            m_state = EngineState::PortLost;
            return true;
        }
        return dispatchItem(m_readFirst.front(), Request::Read);
    }
    for (int i = 0; i <= kLastServedItem; ++i) {
        if (m_port.PortIsOpen() == -1) {
            m_state = EngineState::PortLost;
            return true;
        }
        const settings::Request request = requests[at(i)];
        if (request != Request::Write && request != Request::Read)
            continue;
        if (request == Request::Write && m_writing && !m_firstWriteSent &&
            m_errorCount < kFailuresBeforeCancel) {
            m_firstWriteSent = true;
            m_watcher->beforeFirstWrite();
        }
        return dispatchItem(i, request);
    }
    return false;
}

bool TransferEngine::dispatchItem(int i, settings::Request request)
{
    if (m_errorCount >= kFailuresBeforeCancel) {
        cancelForErrors(request);
        return true;
    }
    m_currentItem = static_cast<std::int16_t>(i);
    m_settling = m_settleDue;
    if (m_settleDue) {
        m_settleDue = false;
        m_pollDelay = m_ticks.lineSettle;
    } else if (m_linkAlive > 0) {
        m_pollDelay = 0;
    } else {
        m_settings.WakeUpSequence();
        m_pollDelay = m_ticks.wakeUpPause;
    }
    m_state = request == Request::Write ? EngineState::Write : EngineState::Read;
    UpdateProgress(i);
    return true;
}

// Writes are pending where none were: the watcher says what to read before the first goes.
void TransferEngine::startWrites()
{
    const auto& requests = m_sync.stores().ItemRequest;
    std::vector<int> writes;
    for (int i = 0; i <= kLastServedItem; ++i) {
        if (requests[at(i)] == Request::Write)
            writes.push_back(i);
    }
    if (writes.empty())
        return;
    m_writing = true;
    m_firstWriteSent = false;
    m_readFirst = m_watcher->readFirst(writes);
    std::sort(m_readFirst.begin(), m_readFirst.end());
}

void TransferEngine::endWrites()
{
    m_writing = false;
    m_readFirst.clear();
    m_watcher->writesEnded();
}

void TransferEngine::setWriteWatcher(WriteWatcher* watcher)
{
    m_watcher = watcher;
}

void TransferEngine::tellWatcher(EngineState was, const StepResult& result)
{
    if (!m_watcher || m_currentItem < 0 || result.next != EngineState::Idle)
        return;
    const int item = m_currentItem;
    auto& stores = m_sync.stores();
    if (was == EngineState::ReadJudge && result.tally == Tally::Success) {
        std::erase(m_readFirst, item);
        m_watcher->settingRead(item, stores.UnitValues[at(item)]);
        return;
    }
    if (was != EngineState::Write && !isWriteState(was))
        return;
    if (result.tally == Tally::Success) {
        m_watcher->settingWritten(item, stores.UnitValues[at(item)], WriteEnd::Acknowledged);
        if (m_watcher->readBack() && stores.ItemRequest[at(item)] == Request::None)
            stores.ItemRequest[at(item)] = Request::Read;
    } else {
        m_watcher->settingWritten(item, stores.WorkValues[at(item)],
                                  result.tally == Tally::Refused ? WriteEnd::Refused
                                                                 : WriteEnd::Failed);
    }
}

void TransferEngine::idleStep()
{
    m_currentItem = -1;
    // A connection still being made is waited for; nothing is sent into it, and nothing that
    // fails meanwhile is the converter's fault.
    if (m_port.PortIsOpen() == 1 && !m_port.PortIsReady())
        return;
    if (dispatch())
        return;
    if (m_writing)
        endWrites();

    if (BatchKind != Batch::None) {
        if (m_port.PortIsOpen() == -1) {
            m_state = EngineState::PortLost;
            return;
        }
        const std::string text = batchEndText();
        if (m_debugLevel == app::DebugMode::Debug)
            m_reporter.progress(text + kLineEnd);
        m_reporter.log(text);
        m_closingLine = text;
        endBatch(m_refusedCount == 0 ? JobEnd::Done : JobEnd::Failed);
        m_closingLine.clear();
    }

    if (m_port.PortIsOpen() == -1) {
        m_state = EngineState::PortLost;
        return;
    }
    UpdateProgress(-1);
    m_incoming.CollectIncomingText(m_bytes, m_log);

    if (startBatch(ReadAllRequest, Batch::ReadAll) || startBatch(WriteAllRequest, Batch::WriteAll))
        return;
    startServiceJob(PagerCallRequest, Job::PagerCall, EngineState::PagerPosition);
    // Asked together with a pager call, the restart wins and the call is lost.
    startServiceJob(RestartRequest, Job::Restart, EngineState::Restart);
}

// Read-all and write-all: every implemented item requested on a freshly opened port, the
// counts started again. True when the tick ends here; a write-all whose port would not open
// lets the service jobs be looked at in the same tick, as they always were.
bool TransferEngine::startBatch(bool& request, Batch kind)
{
    const bool writing = kind == Batch::WriteAll;
    switch (takeUp(request)) {
    case TakeUp::Ready:
        break;
    case TakeUp::PortFailed:
        notify(writing ? Job::WriteAll : Job::ReadAll, JobEnd::Failed);
        return !writing;
    case TakeUp::NotAsked:
        return false;
    }
    BatchKind = kind;
    m_errorCount = 0;
    m_refusedCount = 0;
    auto& requests = m_sync.stores().ItemRequest;
    for (int i = 0; i <= kLastServedItem; ++i) {
        if (writing)
            m_sync.TakeValue(i);
        if (settings::ItemIsImplemented(i))
            requests[at(i)] = writing ? Request::Write : Request::Read;
    }
    return true;
}

void TransferEngine::startServiceJob(bool& request, Job job, EngineState first)
{
    switch (takeUp(request)) {
    case TakeUp::Ready:
        if (m_serviceJobRunning)
            notify(m_serviceJob, JobEnd::Failed); // the pager call that the restart replaced
        m_state = first;
        m_serviceJob = job;
        m_serviceJobRunning = true;
        return;
    case TakeUp::PortFailed:
        notify(job, JobEnd::Failed);
        return;
    case TakeUp::NotAsked:
        return;
    }
}

// A batch in which settings were refused before sending has not done what it was asked,
// and must not say it has.
std::string TransferEngine::batchEndText() const
{
    const bool reading = BatchKind == Batch::ReadAll;
    if (m_refusedCount == 0)
        return reading ? "Reading of settings successfull." : "Writing of settings successfull.";
    return std::string(reading ? "Reading" : "Writing") +
           " of settings ended: " + app::NumToStr(m_refusedCount) +
           (m_refusedCount == 1 ? " setting was" : " settings were") + " not written.";
}

void TransferEngine::CancelAll()
{
    m_sync.stores().ItemRequest.fill(Request::None);
    if (m_writing)
        endWrites();
    m_reporter.progress(kLineEnd + "Geannuleerd!" + kLineEnd);
    endBatch(JobEnd::Failed);
}

void TransferEngine::UpdateProgress(int n)
{
    if (n < 0) {
        const auto& requests = m_sync.stores().ItemRequest;
        const auto pending = std::count_if(requests.begin(), requests.end(),
                                           [](settings::Request r) { return r != Request::None; });
        if (pending == 0)
            m_view.hideProgressBar();
        else
            m_view.showProgressBar(
                0, kPendingBarMaximum,
                static_cast<int>(std::min<std::ptrdiff_t>(pending, kPendingBarMaximum)));
        return;
    }
    m_view.showProgressBar(0, settings::kProgressMaximum, settings::ProgressPosition(n));
}

} // namespace pravenor::link
