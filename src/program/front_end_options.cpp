#include "program/front_end_options.h"

#include "link/network_address.h"

namespace pravenor::program {

FrontEndOptions ParseFrontEndOptions(const std::vector<std::string>& args)
{
    FrontEndOptions options;
    for (const std::string& arg : args)
        options.commandLine += (options.commandLine.empty() ? "" : " ") + arg;

    for (std::size_t i = 0; i < args.size() && options.error.empty(); ++i) {
        const std::string& arg = args[i];
        // The switches count anywhere in the command line (see DebugLevelFor), but only a
        // switch standing alone is not an argument: "/srv/LOGS/site.cfg" is still a file.
        if (arg == "/LOG" || arg == "/DEBUG")
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
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--demo") {
            options.demo = true;
        } else if (auto home = value("--home")) {
            options.home = *home;
        } else if (auto port = value("--port")) {
            options.device = *port;
        } else if (options.error.empty()) {
            options.rest.push_back(arg);
        }
    }
    if (options.error.empty() && options.demo && !options.device.empty())
        options.error = "--demo uses the simulated converter; leave out --port";
    if (options.error.empty() && link::LooksLikeNetworkAddress(options.device)) {
        if (const std::string why = link::ParseNetworkAddress(options.device).error; !why.empty())
            options.error = "--port " + options.device + ": " + why;
    }
    return options;
}

std::string FrontEndOptionsHelp()
{
    return "  --port DEVICE  the converter's serial device, e.g. /dev/ttyUSB0 or a\n"
           "                 /dev/serial/by-id/... name, or a serial device server on the\n"
           "                 network: tcp://HOST:PORT (raw) or rfc2217://HOST:PORT\n"
           "  --demo         the built-in simulated converter\n"
           "  --home DIR     the program folder (Pravenor.set, default.set, Log/)\n"
           "  /LOG, /DEBUG   debug level 1 or 2; 2 shows the service controls and more\n"
           "                 detail in the progress text\n"
           "  --version      the program's version\n"
           "  -h, --help     this text\n";
}

} // namespace pravenor::program
