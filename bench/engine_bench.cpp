// Ticks of a batch against a converter that answers at once, next to the minimum the state
// machine allows, then the CPU time of single engine ticks.
#include "link/line_monitor.h"
#include "link/recording_view.h"
#include "program/program.h"
#include "settings/choice_lists.h"
#include "settings/control_board.h"
#include "sim/converter_model.h"
#include "sim/instant_line.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <string>

using namespace pravenor;

namespace {

class FixedClock final : public app::Clock
{
public:
    app::LocalTime now() const override { return {2026, 12, 7, 12, 0, 0}; }
};

// The program against an instantly answering converter, logging into a private folder.
struct Bench
{
    Bench()
        : folder(std::filesystem::temp_directory_path() / "pravenor-engine-bench"),
          program(folder, clock, line, controls, view)
    {
        std::filesystem::create_directories(folder);
        settings::FillChoiceLists(controls);
        for (int n = 0; n <= settings::kLastChoiceItem; ++n) {
            if (controls.choiceVisible(n))
                controls.setChosenPosition(n, 1);
        }
        program.config.LogLevel = 2;
        program.port.setDeviceOverride(link::LineAddress::Device("bench"));
        program.port.OpenComPort(0);
        program.engine.ProcessTransfer(link::TransferEngine::kStartSignal);
        tick(20);
    }
    ~Bench()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    void tick(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            program.engine.ProcessTransfer(0);
            line.advance(sim::Micros(25'000));
        }
    }
    bool idle() const
    {
        for (settings::Request r : program.stores.ItemRequest) {
            if (r != settings::Request::None)
                return false;
        }
        return program.engine.state() == link::EngineState::Idle &&
               program.engine.batchKind() == link::Batch::None;
    }

    std::filesystem::path folder;
    FixedClock clock;
    sim::ConverterModel model;
    sim::InstantLine line{model};
    settings::ControlBoard controls;
    link::RecordingView view;
    program::Program program;
};

long batchTicks(bool write)
{
    Bench bench;
    bench.program.engine.request(write ? link::Job::WriteAll : link::Job::ReadAll);
    long ticks = 0;
    do {
        bench.tick();
        ++ticks;
    } while (!bench.idle() && ticks < 100'000);
    return ticks;
}

void printBatchTicks()
{
    int items = 0;
    for (int item = 0; item < settings::kItemCount; ++item)
        items += settings::ItemIsImplemented(item) ? 1 : 0;
    // Start, the first item's wake-up wait, six ticks an exchange, the success report.
    const long minimum = 1 + (link::kStandardPace.ticks(link::kWakeUpPause) - 1) + 6L * items + 1;
    std::printf("Batch of %d items against a converter that answers at once:\n", items);
    std::printf("  read-all:  %ld ticks (minimum %ld)\n", batchTicks(false), minimum);
    std::printf("  write-all: %ld ticks (minimum %ld)\n\n", batchTicks(true), minimum);
}

// An idle tick with nothing to do: every item 0..249 is examined and the port asked each time.
void BM_IdleTick(benchmark::State& state)
{
    Bench bench;
    for (auto _ : state)
        bench.program.engine.ProcessTransfer(0);
    if (!bench.idle())
        state.SkipWithError("the engine did not stay idle");
}
BENCHMARK(BM_IdleTick);

// The idle tick with the line monitor open: nothing crosses the line, so nothing to record.
void BM_IdleTickWithMonitor(benchmark::State& state)
{
    Bench bench;
    link::LineMonitor monitor([] { return std::int64_t{0}; }, [] { return 0; });
    bench.program.engine.bytes().setTap(&monitor);
    for (auto _ : state)
        bench.program.engine.ProcessTransfer(0);
}
BENCHMARK(BM_IdleTickWithMonitor);

// Ticks of single-setting reads one after the other: dispatch, send, SOH, LEN, body and
// judgement (with its log line to the day's file), in turn. Argument 1: with the line
// monitor watching every byte.
void BM_ExchangeTick(benchmark::State& state)
{
    Bench bench;
    std::int64_t now = 0;
    link::LineMonitor monitor([&now] { return now += 25; }, [] { return 0; });
    if (state.range(0) == 1)
        bench.program.engine.bytes().setTap(&monitor);
    auto& request = bench.program.stores.ItemRequest[9];
    for (auto _ : state) {
        if (request == settings::Request::None &&
            bench.program.engine.state() == link::EngineState::Idle)
            request = settings::Request::Read;
        bench.program.engine.ProcessTransfer(0);
    }
}
BENCHMARK(BM_ExchangeTick)->Arg(0)->Arg(1);

} // namespace

int main(int argc, char** argv)
{
    printBatchTicks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
