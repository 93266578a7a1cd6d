#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace pravenor::program {

// The options every front end understands. The historic switches "/LOG" and "/DEBUG" count
// anywhere in the command line; the rest are ordinary options.
struct FrontEndOptions
{
    bool demo = false;                          // --demo: the built-in simulated converter
    bool fast = false;                          // --fast: the link at the line's own speed
    std::string device;                         // --port DEVICE
    std::optional<std::filesystem::path> home;  // --home DIR
    bool help = false;                          // -h, --help
    bool version = false;                       // --version
    std::string commandLine;                    // every argument, joined by blanks
    std::vector<std::string> rest;              // what the front end reads itself
    std::string error;                          // why the arguments cannot be used
};

FrontEndOptions ParseFrontEndOptions(const std::vector<std::string>& args);

// The text a front end gives after "--port DEVICE" and friends, for --help.
std::string FrontEndOptionsHelp();

} // namespace pravenor::program
