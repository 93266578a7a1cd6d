#include "cli/cli_options.h"

#include "app/cp1252.h"
#include "app/text_functions.h"
#include "cli/exit_status.h"
#include "frontend/front_end_options.h"
#include "link/frames.h"

#include <charconv>
#include <map>

namespace pravenor::cli {

namespace {

std::optional<int> boundedNumber(const std::string& text, int lowest, int highest)
{
    int value = 0;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, value);
    if (text.empty() || error != std::errc{} || end != last || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

const std::map<std::string, Command>& commandNames()
{
    static const std::map<std::string, Command> names = {
        {"read", Command::Read},     {"write", Command::Write},     {"diff", Command::Diff},
        {"get", Command::Get},       {"set", Command::Set},         {"restart", Command::Restart},
        {"page", Command::Page},     {"history", Command::History}, {"restore", Command::Restore},
        {"report", Command::Report}, {"fleet", Command::Fleet},
    };
    return names;
}

// The word the command line names a command by.
std::string wordOf(Command command)
{
    for (const auto& [word, named] : commandNames()) {
        if (named == command)
            return word;
    }
    return {};
}

// The arguments after the command, checked for that command.
void takeOperands(CliOptions& options, const std::vector<std::string>& operands, bool gotOutput)
{
    auto fail = [&](std::string why) {
        if (options.error.empty())
            options.error = std::move(why);
    };
    const std::size_t count = operands.size();
    // restore and report: at most one file, the settings' source.
    auto optionalFile = [&](const char* refusal) {
        if (count > 1)
            fail(refusal);
        else if (count == 1)
            options.file = operands[0];
    };
    switch (options.command) {
    case Command::Read:
        if (count > 1 || (count == 1 && gotOutput))
            fail("read takes one file, given once");
        else if (count == 1)
            options.file = operands[0];
        break;
    case Command::Write:
    case Command::Diff:
        if (count != 1)
            fail(wordOf(options.command) + " needs one settings file");
        else
            options.file = operands[0];
        break;
    case Command::Get:
        if (count == 0)
            fail("get needs at least one setting number");
        for (const std::string& operand : operands) {
            const ParsedItem parsed = ParseReadableItem(operand);
            if (!parsed.error.empty())
                fail(parsed.error);
            options.items.push_back(parsed.item);
        }
        break;
    case Command::Set:
        if (count == 0)
            fail("set needs at least one ITEM=VALUE");
        for (const std::string& operand : operands) {
            ParsedSetting parsed = ParseSettingArgument(operand);
            if (!parsed.error.empty())
                fail(parsed.error);
            options.settings.push_back(std::move(parsed.setting));
        }
        break;
    case Command::Restart:
    case Command::History:
        if (count != 0)
            fail(wordOf(options.command) + " takes no arguments");
        break;
    case Command::Restore:
        optionalFile("restore takes at most one snapshot file");
        break;
    case Command::Report:
        optionalFile("report takes at most one settings file");
        if (options.reportFile.empty())
            fail("report needs -o OUT.pdf or -o OUT.html");
        break;
    case Command::Fleet: {
        static const std::map<std::string, FleetAction> actions = {{"read", FleetAction::Read},
                                                                   {"diff", FleetAction::Diff},
                                                                   {"write", FleetAction::Write}};
        const auto action = count > 0 ? actions.find(operands[0]) : actions.end();
        if (action == actions.end()) {
            fail("fleet takes read, diff or write");
            break;
        }
        options.fleet.action = action->second;
        if (action->second == FleetAction::Read) {
            if (count != 2 || !gotOutput)
                fail("fleet read needs one sites file and -o FOLDER");
            else
                options.fleet.sites = operands[1];
        } else if (count != 3) {
            fail("fleet " + operands[0] + " needs a sites file and the folder of its units' files");
        } else {
            options.fleet.sites = operands[1];
            options.fleet.folder = operands[2];
        }
        break;
    }
    case Command::Page:
        if (count != 0)
            fail("page takes its values as --address, --bleep and --text");
        else if (options.pagerAddress.empty() || options.pagerBleep < 0)
            fail("page needs --address and --bleep");
        break;
    }
}

// Why a pager field cannot be sent as given; empty when it can. A character the converter's
// character set lacks would go out as "?", a control byte as frame structure.
std::string pagerFieldFault(const std::string& utf8, const std::string& cp1252)
{
    if (app::Cp1252ToUtf8(cp1252) != utf8)
        return "holds characters that the converter's character set (Windows-1252) cannot carry";
    if (app::HoldsControlBytes(cp1252))
        return "holds control characters (0x00 to 0x1F), which the converter reads as frame "
               "structure";
    return {};
}

} // namespace

std::optional<ReportFormat> ReportFormatOf(const std::filesystem::path& file)
{
    std::string extension = file.extension().string();
    for (char& c : extension)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (extension == ".pdf")
        return ReportFormat::Pdf;
    if (extension == ".html" || extension == ".htm")
        return ReportFormat::Html;
    return std::nullopt;
}

CliOptions ParseCliOptions(const std::vector<std::string>& args)
{
    frontend::FrontEndParser parser(args);
    parser.addValue({"com"}, "N");
    parser.addValue({"port-wait"}, "S");
    parser.addValue({"timeout"}, "S");
    parser.addValue({"o", "output"}, "FILE.cfg");
    parser.addFlag({"verify"});
    parser.addFlag({"no-backup"});
    parser.addFlag({"lenient"});
    parser.addFlag({"json"});
    parser.addFlag({"q", "quiet"});
    parser.addValue({"address"}, "A");
    parser.addValue({"text"}, "T");
    parser.addValue({"bleep"}, "CODE");
    parser.addValue({"site"}, "NAME");
    parser.addValue({"engineer"}, "NAME");
    parser.addValue({"only"}, "NAME,...");
    parser.addValue({"jobs"}, "N");
    const bool parsed = parser.parse();

    CliOptions options;
    options.common = parser.common();
    options.error = options.common.error;
    if (options.error.empty() && !parsed)
        options.error = parser.failure("unknown option");
    if (!options.error.empty())
        return options;

    options.verify = parser.isSet("verify");
    options.noBackup = parser.isSet("no-backup");
    options.lenient = parser.isSet("lenient");
    options.json = parser.isSet("json");
    options.quiet = parser.isSet("quiet");
    if (const auto com = parser.value("com")) {
        options.comNumber = boundedNumber(*com, 1, 30);
        if (!options.comNumber) {
            options.error = "--com takes a port number from 1 to 30";
            return options;
        }
    }
    if (const auto wait = parser.value("port-wait")) {
        const std::optional<int> seconds = boundedNumber(*wait, 0, 86400);
        if (!seconds) {
            options.error = "--port-wait takes whole seconds from 0 to 86400";
            return options;
        }
        options.portWaitSeconds = *seconds;
    }
    if (const auto timeout = parser.value("timeout")) {
        options.timeoutSeconds = boundedNumber(*timeout, 1, 86400);
        if (!options.timeoutSeconds) {
            options.error = "--timeout takes whole seconds from 1 to 86400";
            return options;
        }
    }
    const std::optional<std::string> output = parser.value("output");
    const bool gotOutput = output.has_value();
    const std::optional<std::string> site = parser.value("site");
    const std::optional<std::string> engineer = parser.value("engineer");
    const std::optional<std::string> address = parser.value("address");
    const std::optional<std::string> text = parser.value("text");
    const std::optional<std::string> bleep = parser.value("bleep");
    std::vector<std::string> positional = parser.positional();

    if (!positional.empty()) {
        const auto command = commandNames().find(positional[0]);
        if (command == commandNames().end()) {
            options.error = "unknown command " + positional[0];
            return options;
        }
        options.command = command->second;
        positional.erase(positional.begin());
    }
    const std::optional<std::string> only = parser.value("only");
    const std::optional<std::string> jobs = parser.value("jobs");
    const bool fleet = options.command == Command::Fleet;
    if ((only || jobs) && !fleet) {
        options.error = "--only and --jobs belong to fleet";
        return options;
    }
    if (only) {
        for (std::size_t at = 0; at <= only->size();) {
            const std::size_t comma = std::min(only->find(',', at), only->size());
            if (comma > at)
                options.fleet.only.push_back(only->substr(at, comma - at));
            at = comma + 1;
        }
        if (options.fleet.only.empty()) {
            options.error = "--only takes the names of units, separated by commas";
            return options;
        }
    }
    if (jobs) {
        const std::optional<int> count = boundedNumber(*jobs, 1, 10000);
        if (!count) {
            options.error = "--jobs takes a number of units from 1 up";
            return options;
        }
        options.fleet.jobs = *count;
    }
    if (fleet && (!options.common.device.empty() || options.comNumber || options.common.demo)) {
        options.error = "fleet takes its units' lines from the sites file, not from --port, "
                        "--com or --demo";
        return options;
    }
    if (output) {
        if (options.command == Command::Report)
            options.reportFile = *output;
        else if (fleet)
            options.fleet.folder = *output;
        else
            options.file = *output;
    }
    if ((site || engineer) && options.command != Command::Report) {
        options.error = "--site and --engineer belong to report";
        return options;
    }
    options.site = app::Utf8ToCp1252(site.value_or(""));
    options.engineer = app::Utf8ToCp1252(engineer.value_or(""));
    if (options.command == Command::Report && gotOutput && !ReportFormatOf(options.reportFile)) {
        options.error = "report writes OUT.pdf or OUT.html";
        return options;
    }
    const bool paging = options.command == Command::Page;
    const bool fleetWrite = fleet && positional.size() > 0 && positional[0] == "write";
    const bool fleetRead = fleet && positional.size() > 0 && positional[0] == "read";
    const bool writing = options.command == Command::Write || options.command == Command::Set ||
                         options.command == Command::Restore || fleetWrite;
    if ((address || text || bleep) && !paging) {
        options.error = "--address, --bleep and --text belong to page";
        return options;
    }
    if (paging) {
        if (address) {
            options.pagerAddress = app::Utf8ToCp1252(*address);
            if (options.pagerAddress.size() > link::kPagerAddressLength ||
                options.pagerAddress.empty())
                options.error = "--address takes 1 to 10 characters";
            else if (const std::string why = pagerFieldFault(*address, options.pagerAddress);
                     !why.empty())
                options.error = "--address " + why;
        }
        if (text) {
            options.pagerText = app::Utf8ToCp1252(*text);
            if (options.pagerText.size() > link::kPagerDisplayLength)
                options.error = "--text takes at most 40 characters";
            else if (const std::string why = pagerFieldFault(*text, options.pagerText);
                     !why.empty())
                options.error = "--text " + why;
        }
        if (bleep) {
            options.pagerBleep = ParseBleepCode(*bleep).value_or(-1);
            if (options.pagerBleep < 0)
                options.error = "--bleep takes a code 0..9 or A..F, as in \"BleepCode: A\"";
        }
    }
    if (gotOutput && options.command != Command::Read && options.command != Command::Report &&
        !fleetRead)
        options.error = "-o belongs to read and report, and to fleet read";
    else if (options.verify && !writing)
        options.error = "--verify belongs to write, set and restore, and to fleet write";
    else if (options.noBackup && !writing)
        options.error = "--no-backup belongs to write, set and restore, and to fleet write";
    else if (options.lenient && options.command != Command::Write && !fleetWrite)
        options.error = "--lenient belongs to write and fleet write";
    else if (options.json && options.command != Command::Read && options.command != Command::Diff &&
             options.command != Command::Get && !fleet)
        options.error = "--json belongs to read, diff and get, and to fleet";
    takeOperands(options, positional, gotOutput);
    if (options.error.empty() && !options.common.device.empty() && options.comNumber)
        options.error = "give --port or --com, not both";
    if (options.error.empty() && options.common.demo && options.comNumber)
        options.error = "--demo uses the simulated converter; leave out --port and --com";
    if (options.common.device.empty() && !options.comNumber && !fleet)
        options.common.demo = true;
    return options;
}

std::string CliUsage()
{
    return "usage: pravenor-cli [options] COMMAND [arguments]\n"
           "\n"
           "Reads and writes a Pravenor converter's settings without the window, on the same\n"
           "engine, files and log. Without --port or --com it talks to the built-in simulated\n"
           "converter.\n"
           "\n"
           "Commands:\n"
           "  read [-o FILE.cfg]      read every setting; write them in the settings-file format\n"
           "                          to FILE.cfg, or to standard output (read FILE.cfg also "
           "works)\n"
           "  write FILE.cfg [--verify] [--lenient]\n"
           "                          write every setting of the file to the converter; with\n"
           "                          --verify read them all back and list what differs\n"
           "  diff FILE.cfg           read every setting and list those that differ from the file\n"
           "  get ITEM...             read single settings; prints ITEM=VALUE lines\n"
           "  set ITEM=VALUE...       write single settings; a choice by its position or its "
           "exact\n"
           "                          text (set 10=\"9600 baud\" or set 10=3), a text as it is\n"
           "  restart                 restart the converter\n"
           "  history                 list the snapshots kept of this line's converter before\n"
           "                          each write, newest first, with their file names\n"
           "  restore [SNAPSHOT.cfg]  put the converter back to the newest snapshot, or the one\n"
           "                          named; only the settings that differ are written\n"
           "  page --address A --bleep CODE [--text T]\n"
           "                          the pager test call: address up to 10 characters, bleep "
           "code\n"
           "                          0..F (as in \"BleepCode: A\"), display text up to 40 "
           "characters\n"
           "  report [FILE.cfg] -o OUT.pdf|OUT.html [--site NAME] [--engineer NAME]\n"
           "                          the commissioning report of the file, or without a file\n"
           "                          of every setting read from the converter now\n"
           "  fleet read SITES -o FOLDER\n"
           "  fleet diff SITES FOLDER\n"
           "  fleet write SITES FOLDER [--verify]\n"
           "                          every converter of the sites file at once, each on its own\n"
           "                          line: read into FOLDER/NAME.cfg, compare with it, or write\n"
           "                          it; one table at the end (with --json one object). SITES\n"
           "                          has a converter a line: NAME LINE [fast], # a comment\n"
           "\n"
           "Options:\n"
           // In the column of the options both programs share.
           "  --com N        the serial port by number (1..30), as in the program setup\n" +
           frontend::FrontEndOptionsHelp() +
           "  -o, --output FILE.cfg\n"
           "                 read: where to save the settings; report: the report\n"
           "  --site NAME, --engineer NAME\n"
           "                 report: the site and the engineer named on its first page\n"
           "  --verify       write, set, restore: read each setting written back and compare\n"
           "  --no-backup    write, set, restore: read nothing first; the snapshot before the\n"
           "                 write then holds only what this run has seen of the converter\n"
           "  --lenient      write: a value the setting cannot hold is written as the window\n"
           "                 would show it, instead of refusing the file\n"
           "  --json         read, diff, get: one JSON object on standard output\n"
           "  -q, --quiet    no progress and no log lines on standard error, only failures\n"
           "  --only NAME,...\n"
           "                 fleet: these units of the sites file alone\n"
           "  --jobs N       fleet: at most N units at once (default: all)\n"
           "  --port-wait S  how long a port that went away may take to come back (default 30)\n"
           "  --timeout S    give up a command still running after S seconds (status 3 when\n"
           "                 the port never carried bytes, else 4), saying what was left\n"
           "\n"
           "Progress and the message log go to standard error (a progress bar on a terminal),\n"
           "and the log also to the day's file in the Log folder of the program folder.\n"
           "\n"
           "Exit status:\n"
           "  " +
           std::to_string(kExitDone) +
           "  done\n"
           "  " +
           std::to_string(kExitDifferences) +
           "  differences found (diff, and --verify of write, set and restore)\n"
           "     fleet: the worst of its units, 4 over 3 over 2 over 1\n"
           "  " +
           std::to_string(kExitUsage) +
           "  bad usage, a value that fits no choice, or a file that cannot be used\n"
           "  " +
           std::to_string(kExitPort) +
           "  the port cannot be opened, or went away and did not come back in time\n"
           "  " +
           std::to_string(kExitConverter) +
           "  the converter failed (three failures cancel) or a setting was refused\n";
}

} // namespace pravenor::cli
