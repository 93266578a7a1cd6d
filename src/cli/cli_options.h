#pragma once

#include "cli/setting_argument.h"
#include "frontend/front_end_options.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace pravenor::cli {

enum class Command
{
    Read,    // read every setting, to a file or standard output
    Write,   // write a settings file to the converter, optionally read back and compare
    Diff,    // read every setting and list those that differ from a file
    Get,     // read single settings
    Set,     // write single settings
    Restart, // restart the converter
    Page,    // the pager test call
    History, // list the line's snapshots, newest first
    Restore, // put the converter back to a snapshot, writing only what differs
    Report,  // the commissioning report of a file, or of the unit read now
    Fleet,   // read, diff or write every converter of a sites file at once
};

// What a fleet command does to each of its units: the single-unit command of the same name.
enum class FleetAction
{
    Read,
    Diff,
    Write,
};

struct FleetOptions
{
    FleetAction action = FleetAction::Read;
    std::filesystem::path sites;
    std::filesystem::path folder;  // NAME.cfg for each unit
    std::vector<std::string> only; // --only: these units alone, as the sites file names them
    int jobs = 0;                  // --jobs: units at once; 0 all
};

// What the command line asked for. Values are checked here, before anything is sent.
struct CliOptions
{
    frontend::FrontEndOptions common; // --demo, --port, --home, /LOG, /DEBUG, --help
    Command command = Command::Read;
    std::filesystem::path file; // read: where to save; write, diff: what to compare with;
                                // restore: the snapshot (empty: the newest)
    std::vector<int> items;     // get
    std::vector<SettingArgument> settings; // set
    bool verify = false;                   // write, set, restore --verify
    bool noBackup = false; // write, set, restore: nothing read first to keep the unit's values
    bool lenient = false;  // write --lenient: what the window would show, not a refusal
    bool json = false;     // read, diff, get
    bool quiet = false;
    int portWaitSeconds = 30;          // how long a vanished port may take to come back
    std::optional<int> timeoutSeconds; // --timeout S: the whole command's bound
    std::optional<int> comNumber;      // --com N (1 is Com1)
    std::string pagerAddress;          // page
    std::string pagerText;             // page, Windows-1252
    int pagerBleep = -1;               // page, 0..15
    std::filesystem::path reportFile;  // report: OUT.pdf or OUT.html
    std::string site;                  // report, Windows-1252
    std::string engineer;              // report, Windows-1252
    FleetOptions fleet;                // fleet
    std::string unitName;              // one unit of a fleet: its log lines carry the name
    std::string error;                 // why the arguments cannot be used
};

enum class ReportFormat
{
    Pdf,
    Html,
};
// By the file's extension: .pdf, .html or .htm, in any letter case.
std::optional<ReportFormat> ReportFormatOf(const std::filesystem::path& file);

// Without --port or --com the run uses the built-in simulated converter.
CliOptions ParseCliOptions(const std::vector<std::string>& args);

std::string CliUsage();

} // namespace pravenor::cli
