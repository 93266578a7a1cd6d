#pragma once

#include "program/front_end_options.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace pravenor::cli {

enum class Command
{
    Read,    // read every setting from the converter, optionally into a file
    Write,   // write a settings file to the converter
    Restart, // restart the converter
};

struct CliOptions
{
    program::FrontEndOptions common;  // --demo, --port, --home, /LOG, /DEBUG, --help
    Command command = Command::Read;
    std::filesystem::path file;       // read: where to save; write: what to send
    std::optional<int> comNumber;     // --com N (1 is Com1)
    std::string error;                // why the arguments cannot be used
};

// Without --port or --com the run uses the built-in simulated converter.
CliOptions ParseCliOptions(const std::vector<std::string>& args);

std::string CliUsage();

} // namespace pravenor::cli
