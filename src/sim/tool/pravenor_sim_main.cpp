// pravenor-sim: a simulated converter on a pseudo-terminal, for trying the program without
// the hardware and for end-to-end tests.

#include "sim/cfg_loader.h"
#include "sim/converter_model.h"
#include "sim/network_server.h"
#include "sim/pty_server.h"
#include "sim/tool/sim_command_line.h"

#include <csignal>
#include <cstring>
#include <iostream>
#include <string_view>
#include <sys/signalfd.h>
#include <unistd.h>
#include <vector>

using namespace pravenor::sim;

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

    ConverterModel model;
    if (!options.loadFile.empty()) {
        const CfgLoadResult loaded = loadCfgFile(options.loadFile, model);
        if (!loaded.opened) {
            std::cerr << "pravenor-sim: cannot read " << options.loadFile << '\n';
            return 1;
        }
        std::cerr << "-- " << loaded.valuesSet << " values from " << options.loadFile << ", "
                  << loaded.ignoredLines.size() << " lines ignored\n";
    }
    if (options.bufferPositionByte)
        model.setBufferPositionByte(*options.bufferPositionByte);

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
    if (options.tcpPort) {
        NetworkServer server(model, options, std::cout, std::cerr);
        result = server.run(stopFd);
    } else {
        PtyServer server(model, options, std::cout, std::cerr);
        result = server.run(stopFd);
    }
    close(stopFd);
    return result;
}
