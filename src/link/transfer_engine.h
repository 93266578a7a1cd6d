#pragma once

#include "app/debug_mode.h"
#include "link/byte_layer.h"
#include "link/engine_state.h"
#include "link/exchange_reporter.h"
#include "link/frame_receiver.h"
#include "link/incoming_text.h"
#include "link/pace.h"
#include "link/service_exchange.h"
#include "link/setting_exchange.h"
#include "link/write_watcher.h"
#include "settings/value_stores.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pravenor::app {
class MessageLog;
struct ProgramConfig;
} // namespace pravenor::app
namespace pravenor::settings {
class ControlSync;
}

namespace pravenor::link {

class ComPort;
class TransferView;

// Batch running in the engine (BatchKind), by the numbers the converter program has always
// used.
enum class Batch : std::int16_t
{
    None = 0,
    ReadAll = 1,
    WriteAll = 2
};

// The jobs a front end asks for and waits for, and how each ended. Single-item requests are
// not jobs: they end silently, item by item.
enum class Job
{
    ReadAll,
    WriteAll,
    Restart,
    PagerCall,
};

enum class JobEnd
{
    Done,
    Failed,    // three failures, a refused restart or call, or a port that would not open
    Cancelled, // the user's Cancel
    PortLost,  // the port went away; the batch was dropped when it came back
};

// The one thing that talks to the converter. Commands only make requests; every tick the
// engine takes one step: in the idle state it picks the lowest requested item (or a batch,
// restart or pager call), otherwise it advances the running exchange by one step. Nothing in
// a tick waits. All time-outs count ticks, as many as their length takes at the engine's pace;
// the front end calls again after tickInterval().
class TransferEngine
{
public:
    TransferEngine(ComPort& port, settings::ControlSync& sync, TransferView& view,
                   app::MessageLog& log, const app::ProgramConfig& config,
                   const app::DebugMode& debugLevel);

    static constexpr std::int16_t kStartSignal = 10;
    // Counted failures without a success in between that cancel every request.
    static constexpr std::int16_t kFailuresBeforeCancel = 3;
    // The progress bar between exchanges counts pending requests up to this.
    static constexpr int kPendingBarMaximum = 250;

    // One tick; signal 10 once at start-up moves the engine out of its initial state.
    void ProcessTransfer(std::int16_t signal = 0);

    // For a port that did not open at start-up: the engine waits for it as for a lost port,
    // trying every 5 s, so that an adapter plugged in later just works.
    void awaitPort();

    // Every request cleared, "Geannuleerd!" in the progress text, the batch ended.
    void CancelAll();
    // The batch running (if any) ends here without a completion line, as the user asked.
    void endBatchByUser();

    // Told of every setting read and written, and asked before the first write frame of each
    // batch; none: every write goes out as it always did.
    void setWriteWatcher(WriteWatcher* watcher);
    // Told whenever a read-all, write-all, restart or pager call ends, however it ends.
    void setJobObserver(std::function<void(Job, JobEnd)> observer);
    // While the observer hears that a read-all or write-all came to its end: the line that
    // closed it ("Reading of settings successfull."); empty for one cancelled or cut short.
    const std::string& closingLine() const { return m_closingLine; }
    // The progress bar: n < 0 counts the pending requests, n >= 0 places item n.
    void UpdateProgress(int n);

    // What the commands ask for, served from the idle state. A job stays asked for until
    // the engine takes it up; an item's request until its exchange settles it.
    void request(Job job);
    void request(int item, settings::Request kind);
    bool requested(Job job) const;

    Batch batchKind() const { return BatchKind; }
    EngineState state() const { return m_state; }
    std::int16_t ErrorCount() const { return m_errorCount; }
    // Settings refused before sending (a value outside a byte, a text too long for a frame)
    // during the batch that ran last; reset when a batch starts.
    int refusedCount() const { return m_refusedCount; }
    std::int16_t CurrentItem() const { return m_currentItem; }
    std::int16_t PollDelay() const { return m_pollDelay; }
    std::int16_t LinkAlive() const { return m_linkAlive; }
    const std::string& RxText() const { return m_incoming.RxText; }
    std::int16_t PagerBufPos() const { return m_service.PagerBufPos; }
    // The pager call that ran last got as far as sending its call frame.
    bool pagerCallSent() const { return m_service.CallSent; }

    ByteLayer& bytes() { return m_bytes; }

    // The standard pace unless told otherwise. A switch keeps every running wait at its
    // length in time.
    void setPace(const Pace& pace);
    const Pace& pace() const { return m_pace; }
    const PaceTicks& paceTicks() const { return m_ticks; }
    // How long until the next tick: the pace's busy tick while an exchange or a batch runs
    // (longer while only a pause is being waited out), its idle tick otherwise.
    milliseconds tickInterval() const { return m_interval; }

private:
    void countDown();
    void step(std::int16_t signal);
    void initialStep(std::int16_t signal);
    void portLostStep();
    void loseMidExchange();
    void idleStep();
    bool dispatch();
    bool dispatchItem(int item, settings::Request request);
    void startWrites();
    void tellWatcher(EngineState was, const StepResult& result);
    void endWrites();
    bool reopenPort();
    enum class TakeUp
    {
        NotAsked,
        PortFailed,
        Ready,
    };
    TakeUp takeUp(bool& request);
    static bool TransferEngine::*flagOf(Job job);
    bool startBatch(bool& request, Batch kind);
    void cancelForErrors(settings::Request request);
    std::string batchEndText() const;
    void apply(const ExchangeOutcome& outcome, EngineState from = EngineState::Idle);
    void fallBackIfFailed(EngineState from, const StepResult& result);
    bool busy() const;
    void planNextTick();
    void endBatch(JobEnd end);
    void startServiceJob(bool& request, Job job, EngineState first);
    void endServiceJob();
    void notify(Job job, JobEnd end);

    ComPort& m_port;
    settings::ControlSync& m_sync;
    TransferView& m_view;
    app::MessageLog& m_log;
    const app::ProgramConfig& m_config;
    const app::DebugMode& m_debugLevel;

    // The engine's request flags, cleared as each is taken up, and the batch running.
    bool ReadAllRequest = false;
    bool WriteAllRequest = false;
    bool PagerCallRequest = false;
    bool RestartRequest = false;
    Batch BatchKind = Batch::None;

    ExchangeReporter m_reporter;
    ByteLayer m_bytes;
    FrameReceiver m_receiver;
    IncomingText m_incoming;
    SettingExchange m_settings;
    ServiceExchange m_service;

    EngineState m_state = EngineState::Initial;
    std::int16_t m_currentItem = -1;
    std::int16_t m_errorCount = 0;
    int m_refusedCount = 0;
    std::string m_closingLine; // while the job observer hears of a batch that came to its end
    std::int16_t m_pollDelay = 0;
    std::int16_t m_linkAlive = 0;
    // A setting exchange timed out: the next one waits the line out first, dropping all it hears.
    bool m_settleDue = false;
    bool m_settling = false;
    Pace m_pace = kStandardPace;
    PaceTicks m_ticks = PaceTicks::For(kStandardPace);
    milliseconds m_interval = kStandardPace.idleTick;
    bool m_serviceJobRunning = false;
    Job m_serviceJob = Job::Restart;
    std::function<void(Job, JobEnd)> m_jobObserver;

    WriteWatcher* m_watcher = nullptr;
    bool m_writing = false;        // writes pending since the watcher was asked about them
    bool m_firstWriteSent = false; // the watcher has kept the converter's values
    std::vector<int> m_readFirst;  // items to read before the first write, lowest first
};

} // namespace pravenor::link
