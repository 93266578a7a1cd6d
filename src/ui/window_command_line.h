#pragma once

#include "frontend/front_end_options.h"

#include <optional>
#include <string>
#include <vector>

namespace pravenor::ui {

// What the window makes of its command line. The window always starts unless asked for its
// help or version: a word it does not know is noted on standard error and passed over, as
// the field's shortcuts carry all sorts of leftovers, and "/LOG" and "/DEBUG" count wherever
// they stand, also inside a longer word.
struct WindowCommandLine
{
    frontend::FrontEndOptions options;
    std::optional<int> exitStatus; // set when the program ends before the window opens
    std::string out;               // for standard output
    std::string err;               // for standard error
};

WindowCommandLine ReadWindowCommandLine(const std::vector<std::string>& args,
                                        const std::string& version);

} // namespace pravenor::ui
