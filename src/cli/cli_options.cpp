#include "cli/cli_options.h"

namespace pravenor::cli {

CliOptions ParseCliOptions(const std::vector<std::string>& args)
{
    CliOptions options;
    options.common = program::ParseFrontEndOptions(args);
    options.error = options.common.error;
    std::vector<std::string> positional;
    const std::vector<std::string>& rest = options.common.rest;
    for (std::size_t i = 0; i < rest.size() && options.error.empty(); ++i) {
        const std::string& arg = rest[i];
        std::optional<std::string> com;
        if (arg == "--com") {
            if (i + 1 < rest.size())
                com = rest[++i];
            else
                options.error = "--com needs a value";
        } else if (arg.rfind("--com=", 0) == 0) {
            com = arg.substr(6);
        } else if (!arg.empty() && arg[0] == '-') {
            options.error = "unknown option " + arg;
        } else {
            positional.push_back(arg);
        }
        if (com) {
            try {
                std::size_t used = 0;
                const int number = std::stoi(*com, &used);
                if (used != com->size() || number < 1 || number > 30)
                    throw std::out_of_range("com");
                options.comNumber = number;
            } catch (const std::exception&) {
                options.error = "--com takes a port number from 1 to 30";
            }
        }
    }
    if (!options.error.empty())
        return options;

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
    if (options.error.empty() && !options.common.device.empty() && options.comNumber)
        options.error = "give --port or --com, not both";
    if (options.error.empty() && options.common.demo && options.comNumber)
        options.error = "--demo uses the simulated converter; leave out --port and --com";
    if (options.common.device.empty() && !options.comNumber)
        options.common.demo = true;
    return options;
}

std::string CliUsage()
{
    return "usage: pravenor-cli [options] [read [FILE.cfg] | write FILE.cfg | restart]\n"
           "\n"
           "Talks to the converter without the window: reads every setting (and saves them to\n"
           "FILE.cfg when given), writes a settings file to the converter, or restarts it.\n"
           "Progress goes to standard output, the message log to standard error and to the\n"
           "day's file in the Log folder. Without --port or --com it talks to the built-in\n"
           "simulated converter.\n"
           "\n"
           "  --com N        the serial port by number (1..30), as in the program setup\n" +
           program::FrontEndOptionsHelp() +
           "\n"
           "Exit status: 0 done, 1 the converter exchange or a file failed, 2 bad arguments\n"
           "or the port could not be opened.\n";
}

} // namespace pravenor::cli
