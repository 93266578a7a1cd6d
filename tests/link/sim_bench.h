#pragma once

#include "link_fixture.h"
#include "sim/converter_model.h"
#include "sim/fault_plan.h"
#include "sim/simulated_line.h"

#include <functional>

namespace pravenor::test {

// The program's link against the simulated converter on an in-memory line, in tick time:
// each tick runs one engine step and then lets pass on the line the time the engine asks
// for until its next tick (25 ms at the standard pace).
class SimBench
{
public:
    explicit SimBench(sim::FaultPlan faults = {}) : line(model, faults), world(line) {}

    // Starts the engine and lets it take its first step.
    void startIdle()
    {
        world.start();
        tick();
    }

    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            world.engine.ProcessTransfer(0);
            line.advance(world.engine.tickInterval());
            ++ticks;
        }
    }

    // Ticks until the condition holds (checked after each tick); the ticks it took, or -1.
    int tickUntil(const std::function<bool()>& done, int limit = 20'000)
    {
        for (int n = 1; n <= limit; ++n) {
            tick();
            if (done())
                return n;
        }
        return -1;
    }

    bool nothingPending() const
    {
        for (settings::Request r : world.stores.ItemRequest) {
            if (r != settings::Request::None)
                return false;
        }
        return true;
    }

    // Done with every request and batch and back in the idle state.
    bool settled() const
    {
        return nothingPending() && world.engine.batchKind() == link::Batch::None &&
               world.engine.state() == link::EngineState::Idle &&
               !world.engine.requested(link::Job::ReadAll) &&
               !world.engine.requested(link::Job::WriteAll) &&
               !world.engine.requested(link::Job::Restart) &&
               !world.engine.requested(link::Job::PagerCall);
    }

    // The request frames the converter received with a good checksum, command and item.
    struct Request
    {
        std::uint8_t command;
        int item;
    };
    std::vector<Request> requests() const
    {
        std::vector<Request> out;
        for (const sim::ReceivedFrame& f : line.framesFromHost()) {
            if (f.checksumOk && f.bytes.size() > 7)
                out.push_back({f.bytes[5], f.bytes[7]});
            else if (f.checksumOk && f.bytes.size() > 5)
                out.push_back({f.bytes[5], -1});
        }
        return out;
    }

    sim::ConverterModel model;
    sim::SimulatedLine line;
    LinkWorld world;
    long ticks = 0;
};

} // namespace pravenor::test
