// The converter link fed arbitrary bytes: an engine with a batch, restart or pager call
// running takes whatever the "converter" sends between its ticks, including a port that
// vanishes and long silences. Any crash, sanitizer report, leak, impossible state or tick
// over budget fails.
#include "app/clock.h"
#include "app/message_log.h"
#include "app/program_config.h"
#include "link/com_port.h"
#include "link/recording_view.h"
#include "link/serial_port.h"
#include "link/transfer_engine.h"
#include "settings/choice_lists.h"
#include "settings/control_board.h"
#include "settings/control_sync.h"
#include "settings/value_stores.h"
#include "tick_budget.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>

namespace {

using namespace pravenor;

class FuzzPort final : public link::SerialPort
{
public:
    link::OpenResult open(const link::LineAddress&, const link::LineSettings&) override
    {
        m_open = true;
        return link::OpenResult::Opened;
    }
    void close() override { m_open = false; }
    bool isOpen() override { return m_open; }
    int bytesWaiting() override { return m_open ? static_cast<int>(input.size()) : 0; }
    int readByte() override
    {
        if (!m_open || input.empty())
            return -1;
        const int byte = input.front();
        input.pop_front();
        return byte;
    }
    bool writeByte(std::uint8_t) override { return m_open; }
    void discardInput() override { input.clear(); }

    void vanish() { m_open = false; }

    std::deque<std::uint8_t> input;

private:
    bool m_open = false;
};

class FixedClock final : public app::Clock
{
public:
    app::LocalTime now() const override { return {2026, 12, 7, 14, 3, 7}; }
};

[[noreturn]] void fail(const char* what, int value)
{
    std::fprintf(stderr, "==pravenor== %s: %d\n", what, value);
    std::abort();
}

bool knownState(link::EngineState s)
{
    const int n = static_cast<int>(s);
    return n == 0 || n == 5 || n == 10 || (n >= 150 && n <= 153) || (n >= 161 && n <= 164) ||
           (n >= 180 && n <= 183) || (n >= 310 && n <= 314) || (n >= 350 && n <= 354);
}

void checkInvariants(const link::TransferEngine& engine, const settings::ValueStores& stores,
                     const link::RecordingView& view)
{
    if (!knownState(engine.state()))
        fail("unknown engine state", static_cast<int>(engine.state()));
    for (const settings::Request r : stores.ItemRequest) {
        if (r != settings::Request::None && r != settings::Request::Read &&
            r != settings::Request::Write)
            fail("impossible item request", static_cast<int>(r));
    }
    if (stores.ItemRequest[250] != settings::Request::None)
        fail("item 250 requested", static_cast<int>(stores.ItemRequest[250]));
    if (view.barVisible() &&
        (view.barValue() < view.barMinimum() || view.barValue() > view.barMaximum()))
        fail("progress bar value outside its range", view.barValue());
    if (engine.ErrorCount() < 0 || engine.refusedCount() < 0)
        fail("negative count", engine.ErrorCount());
}

// One run of an input; the budget notes the first tick over its limit.
void run(const std::uint8_t* data, std::size_t size, fuzz::TickBudget& budget)
{
    app::ProgramConfig config;
    config.LogLevel = 2;
    const FixedClock clock;
    // A folder that cannot exist: every log line is tried and lost without touching the disk.
    app::MessageLog log(config, clock, "/dev/null/pravenor-fuzz");
    settings::ValueStores stores;
    settings::ControlBoard controls;
    settings::ControlSync sync(stores, controls);
    link::RecordingView view;
    FuzzPort serial;
    link::ComPort port(serial, log, view);
    port.setDeviceOverride(link::LineAddress::Device("/dev/fuzz"));
    const std::uint8_t mode = data[0];
    const app::DebugMode debugLevel = (mode & 0x04) ? app::DebugMode::Debug : app::DebugMode::Off;
    link::TransferEngine engine(port, sync, view, log, config, debugLevel);
    // Filling the lists costs more than the rest of an input; they are filled once.
    static const settings::ControlBoard filled = [] {
        settings::ControlBoard board;
        settings::FillChoiceLists(board);
        return board;
    }();
    controls = filled;
    for (int item = 0; item <= settings::kLastChoiceItem; ++item)
        controls.setChosenPosition(item, (mode & 0x08) ? 0 : -1);

    port.OpenComPort(0);
    engine.ProcessTransfer(link::TransferEngine::kStartSignal);
    constexpr link::Job kJobs[] = {link::Job::ReadAll, link::Job::WriteAll, link::Job::Restart,
                                   link::Job::PagerCall};
    engine.request(kJobs[mode & 0x03]);

    long ticks = 0;
    auto tick = [&] {
        budget.start();
        engine.ProcessTransfer(0);
        budget.stop(ticks++);
        checkInvariants(engine, stores, view);
    };

    // Nothing left to do: an idle tick with nothing requested adds nothing but time, and the
    // idle scan over every item is by far the dearest tick.
    auto settled = [&] {
        return engine.state() == link::EngineState::Idle &&
               engine.batchKind() == link::Batch::None && !engine.requested(link::Job::ReadAll) &&
               !engine.requested(link::Job::WriteAll) && !engine.requested(link::Job::Restart) &&
               !engine.requested(link::Job::PagerCall) &&
               stores.ItemRequest == settings::ValueStores{}.ItemRequest;
    };

    // Each chunk: a control byte, then its bytes reach the port before the next tick. The
    // control byte's top bit asks for a silence of some ticks instead, the next one for a
    // port that vanishes.
    std::size_t at = 1;
    while (at < size) {
        const std::uint8_t control = data[at++];
        const std::size_t count = control & 0x3F;
        if (control & 0x40)
            serial.vanish();
        if (control & 0x80) {
            for (std::size_t i = 0; i < count * 4 && !(i > 0 && settled()); ++i)
                tick();
            continue;
        }
        for (std::size_t i = 0; i < count && at < size; ++i)
            serial.input.push_back(data[at++]);
        tick();
    }
    // Long enough for a reply time-out (a silence chunk gives the longer waits).
    for (int i = 0; i < 130 && !settled(); ++i)
        tick();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    fuzz::TickBudget budget;
    run(data, size, budget);
    if (budget.slowTick() < 0)
        return 0;
    // The engine is deterministic: a tick that is slow by its own doing is slow every time.
    for (int again = 0; again < 2; ++again) {
        fuzz::TickBudget check;
        run(data, size, check);
        if (check.slowTick() != budget.slowTick()) {
            std::fprintf(stderr, "==pravenor== note: tick %ld took %.3f ms once, not again\n",
                         budget.slowTick(), budget.slowMs());
            return 0;
        }
    }
    fuzz::TickBudget::fail("engine tick", budget.slowTick(), budget.slowMs());
}
