// pravenor-sim: a simulated converter on a pseudo-terminal, for trying the program without
// the hardware and for end-to-end tests.

#include "sim/cfg_loader.h"
#include "sim/converter_model.h"
#include "sim/fleet_settings.h"
#include "sim/network_server.h"
#include "sim/pty_server.h"
#include "sim/tool/sim_command_line.h"

#include <csignal>
#include <cstring>
#include <iostream>
#include <memory>
#include <string_view>
#include <sys/signalfd.h>
#include <unistd.h>
#include <vector>

using namespace pravenor::sim;

namespace {

// Every converter on its own terminal or port, all in one wait.
int serveFleet(std::vector<ConverterModel>& models, const SimOptions& options, int stopFd)
{
    std::vector<std::unique_ptr<PtyServer>> terminals;
    std::vector<std::unique_ptr<NetworkServer>> ports;
    std::vector<ServedLine::Binding> lines;
    for (std::size_t i = 0; i < models.size(); ++i) {
        const int unit = static_cast<int>(i) + 1;
        GiveUnitItsOwnSettings(models[i], unit);
        SimOptions own = options;
        own.unitName = FleetUnitName(unit);
        if (options.tcpPort) {
            if (*options.tcpPort != 0)
                own.tcpPort = static_cast<std::uint16_t>(*options.tcpPort + i);
            ports.push_back(std::make_unique<NetworkServer>(models[i], own, std::cout, std::cerr));
            lines.push_back(ports.back()->binding());
        } else {
            terminals.push_back(std::make_unique<PtyServer>(models[i], own, std::cout, std::cerr));
            lines.push_back(terminals.back()->binding());
        }
    }
    return ServedLine::serveAll(stopFd, lines, std::cerr);
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const SimCommandLine commandLine = parseSimOptions(args);
    if (!commandLine.error.empty()) {
        std::cerr << "pravenor-sim: " << commandLine.error << "\nTry pravenor-sim --help.\n";
        return 2;
    }
    if (commandLine.help) {
        std::cout << simHelpText();
        return 0;
    }
    const SimOptions& options = commandLine.options;

    std::vector<ConverterModel> models(static_cast<std::size_t>(options.count));
    for (ConverterModel& model : models) {
        if (!options.loadFile.empty()) {
            const CfgLoadResult loaded = loadCfgFile(options.loadFile, model);
            if (!loaded.opened) {
                std::cerr << "pravenor-sim: cannot read " << options.loadFile << '\n';
                return 1;
            }
            if (&model == &models.front())
                std::cerr << "-- " << loaded.valuesSet << " values from " << options.loadFile
                          << ", " << loaded.ignoredLines.size() << " lines ignored\n";
        }
        if (options.bufferPositionByte)
            model.setBufferPositionByte(*options.bufferPositionByte);
    }

    // The stop signals are taken as readable data, so the serving loop needs no handler and
    // no shared flag.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    if (sigprocmask(SIG_BLOCK, &stopSignals, nullptr) != 0) {
        std::cerr << "pravenor-sim: sigprocmask: " << std::strerror(errno) << '\n';
        return 1;
    }
    const int stopFd = signalfd(-1, &stopSignals, SFD_CLOEXEC);
    if (stopFd == -1) {
        std::cerr << "pravenor-sim: signalfd: " << std::strerror(errno) << '\n';
        return 1;
    }

    // A reader of the terminal paths that has gone must not end the simulator mid-serve.
    std::signal(SIGPIPE, SIG_IGN);

    int result = 0;
    if (options.count == 1 && options.tcpPort) {
        NetworkServer server(models.front(), options, std::cout, std::cerr);
        result = server.run(stopFd);
    } else if (options.count == 1) {
        PtyServer server(models.front(), options, std::cout, std::cerr);
        result = server.run(stopFd);
    } else {
        result = serveFleet(models, options, stopFd);
    }
    close(stopFd);
    return result;
}
