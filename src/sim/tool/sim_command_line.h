#pragma once

#include "sim/sim_options.h"

#include <string>
#include <string_view>
#include <vector>

namespace pravenor::sim {

struct SimCommandLine
{
    SimOptions options;
    bool help = false;
    std::string error; // empty when the arguments were understood
};

// The arguments after the program name.
SimCommandLine parseSimOptions(const std::vector<std::string_view>& args);

std::string simHelpText();

} // namespace pravenor::sim
