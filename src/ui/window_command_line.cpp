#include "ui/window_command_line.h"

namespace pravenor::ui {

namespace {

std::string usage()
{
    return "usage: pravenor [options]\n"
           "\n"
           "Sets up a Pravenor serial converter: reads, shows, changes and writes its settings.\n"
           "Without --port it talks to the port chosen in the program setup; --demo starts it\n"
           "against the built-in simulated converter. Arguments it does not know are passed\n"
           "over with a note on standard error.\n"
           "\n" +
           frontend::FrontEndOptionsHelp();
}

bool holdsSwitch(const std::string& arg)
{
    return arg.find("/LOG") != std::string::npos || arg.find("/DEBUG") != std::string::npos;
}

} // namespace

WindowCommandLine ReadWindowCommandLine(const std::vector<std::string>& args,
                                        const std::string& version)
{
    WindowCommandLine result;
    frontend::FrontEndParser parser(args);
    const bool parsed = parser.parse();
    frontend::FrontEndOptions& options = result.options;
    options = parser.common();
    if (options.help) {
        result.out = usage();
        result.exitStatus = 0;
        return result;
    }
    if (options.version) {
        result.out = "pravenor " + version + '\n';
        result.exitStatus = 0;
        return result;
    }
    if (options.demo && !options.device.empty()) {
        result.err += "pravenor: --demo uses the simulated converter; --port " + options.device +
                      " is passed over\n";
        options.device.clear();
    }
    if (!parsed) {
        // Qt's parser names one fault: an unknown option, or one left without its value at the end.
        const std::string why = parser.failure("unknown argument");
        result.err += "pravenor: " + why +
                      (why.starts_with("unknown") ? " passed over\n" : "; passed over\n");
    }
    options.error.clear();
    for (const std::string& arg : parser.positional()) {
        // A switch inside a longer word still counts, so it is not unknown.
        if (!holdsSwitch(arg))
            result.err += "pravenor: unknown argument " + arg + " passed over\n";
    }
    return result;
}

} // namespace pravenor::ui
