#pragma once

#include <string>
#include <vector>

namespace pravenor::files {

// What a file operation hands back to the window: at most one message box and any number of
// lines for the log. Texts are Windows-1252 bytes.
struct FileResult
{
    bool ok = true;
    std::string message;               // the text of a message box; empty: none to show
    std::string title;                 // its title; empty: the window's usual one
    bool critical = false;             // the critical-error icon rather than a warning
    std::vector<std::string> warnings; // lines for the log, in the order they arose
};

} // namespace pravenor::files
