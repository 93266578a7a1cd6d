#include "cli/cli_options.h"

namespace pravenor::cli {

CliOptions ParseCliOptions(const std::vector<std::string>& args)
{
    CliOptions options;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // The program's historic switches count wherever they stand, "/DEBUG" over "/LOG".
        if (arg.find("/LOG") != std::string::npos && options.debugLevel < 1)
            options.debugLevel = 1;
        if (arg.find("/DEBUG") != std::string::npos)
            options.debugLevel = 2;
        if (arg.find("/LOG") != std::string::npos || arg.find("/DEBUG") != std::string::npos)
            continue;

        auto value = [&](const std::string& name) -> std::optional<std::string> {
            if (arg == name) {
                if (i + 1 >= args.size()) {
                    options.error = name + " needs a value";
                    return std::nullopt;
                }
                return args[++i];
            }
            if (arg.rfind(name + "=", 0) == 0)
                return arg.substr(name.size() + 1);
            return std::nullopt;
        };
        if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "--demo") {
            options.demo = true;
        } else if (auto home = value("--home")) {
            options.home = *home;
        } else if (auto port = value("--port")) {
            options.device = *port;
        } else if (auto com = value("--com")) {
            try {
                std::size_t used = 0;
                const int number = std::stoi(*com, &used);
                if (used != com->size() || number < 1 || number > 30)
                    throw std::out_of_range("com");
                options.comNumber = number;
            } catch (const std::exception&) {
                options.error = "--com takes a port number from 1 to 30";
            }
        } else if (!arg.empty() && arg[0] == '-') {
            options.error = "unknown option " + arg;
        } else {
            positional.push_back(arg);
        }
        if (!options.error.empty())
            return options;
    }

    if (!positional.empty()) {
        const std::string& command = positional[0];
        if (command == "read")
            options.command = Command::Read;
        else if (command == "write")
            options.command = Command::Write;
        else if (command == "restart")
            options.command = Command::Restart;
        else
            options.error = "unknown command " + command;
        if (positional.size() > 1)
            options.file = positional[1];
        if (positional.size() > 2)
            options.error = "too many arguments";
    }
    if (options.error.empty() && options.command == Command::Write && options.file.empty())
        options.error = "write needs the settings file to send";
    if (options.error.empty() && options.command == Command::Restart && !options.file.empty())
        options.error = "restart takes no file";
    if (options.error.empty() && !options.device.empty() && options.comNumber)
        options.error = "give --port or --com, not both";
    if (options.error.empty() && options.demo && (!options.device.empty() || options.comNumber))
        options.error = "--demo uses the simulated converter; leave out --port and --com";
    if (options.device.empty() && !options.comNumber)
        options.demo = true;
    return options;
}

std::string CliUsage()
{
    return "usage: pravenor-cli [options] [read [FILE.cfg] | write FILE.cfg | restart]\n"
           "\n"
           "Talks to the converter without the window: reads every setting (and saves them to\n"
           "FILE.cfg when given), writes a settings file to the converter, or restarts it.\n"
           "Progress goes to standard output, the message log to standard error and to the\n"
           "day's file in the Log folder.\n"
           "\n"
           "  --port DEVICE  the converter's serial device, e.g. /dev/ttyUSB0 or a\n"
           "                 /dev/serial/by-id/... name\n"
           "  --com N        the serial port by number (1..30), as in the program setup\n"
           "  --demo         the built-in simulated converter (the default without --port\n"
           "                 or --com)\n"
           "  --home DIR     the program folder (Pravenor.set, default.set, Log/)\n"
           "  /DEBUG         more detail in the progress text\n"
           "  -h, --help     this text\n"
           "\n"
           "Exit status: 0 done, 1 the converter exchange or a file failed, 2 bad arguments\n"
           "or the port could not be opened.\n";
}

} // namespace pravenor::cli
