#include "ui/window_command_line.h"

#include <set>

namespace pravenor::ui {

namespace {

std::string usage()
{
    return "usage: pravenor [options]\n"
           "\n"
           "Sets up a Pravenor serial converter: reads, shows, changes and writes its settings.\n"
           "Without --port it talks to the port chosen in the program setup; --demo starts it\n"
           "against the built-in simulated converter. Arguments it does not know are passed\n"
           "over with a note on standard error; Qt's own options (-style, -stylesheet,\n"
           "-platform, -reverse and the like) go to Qt.\n"
           "\n" +
           frontend::FrontEndOptionsHelp();
}

// Qt's own options (QApplication and its platforms take them out of the command line for
// themselves), with one dash or two, and those of them that take a value, as "-style fusion"
// or "-style=fusion".
std::vector<std::string> withoutQtOptions(const std::vector<std::string>& args)
{
    static const std::set<std::string> withValue = {"platform",        "platformpluginpath",
                                                    "platformtheme",   "plugin",
                                                    "qwindowgeometry", "qwindowicon",
                                                    "qwindowtitle",    "display",
                                                    "geometry",        "style",
                                                    "stylesheet",      "session",
                                                    "qmljsdebugger"};
    static const std::set<std::string> alone = {"reverse", "widgetcount", "nograb", "dograb",
                                                "sync"};
    std::vector<std::string> kept;
    for (std::size_t n = 0; n < args.size(); ++n) {
        const std::string& arg = args[n];
        std::string name = arg.starts_with("--")  ? arg.substr(2)
                           : arg.starts_with("-") ? arg.substr(1)
                                                  : std::string();
        const std::size_t equals = name.find('=');
        const bool valueAttached = equals != std::string::npos;
        name = name.substr(0, equals);
        if (withValue.count(name) != 0) {
            if (!valueAttached)
                ++n; // its value
            continue;
        }
        if (alone.count(name) != 0 && !valueAttached)
            continue;
        kept.push_back(arg);
    }
    return kept;
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
    frontend::FrontEndParser parser(withoutQtOptions(args));
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
