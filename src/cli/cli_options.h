#pragma once

#include <cstdint>
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
    Command command = Command::Read;
    std::filesystem::path file;                 // read: where to save; write: what to send
    std::optional<std::filesystem::path> home;  // --home
    std::string device;                         // --port DEVICE
    std::optional<int> comNumber;               // --com N (1 is Com1)
    bool demo = false;                          // the built-in simulated converter
    std::int16_t debugLevel = 0;                // "/LOG" 1, "/DEBUG" 2
    bool help = false;
    std::string error;                          // why the arguments cannot be used
};

// Without --port or --com the run uses the built-in simulated converter.
CliOptions ParseCliOptions(const std::vector<std::string>& args);

std::string CliUsage();

} // namespace pravenor::cli
