#pragma once

#include "link/line_address.h"

#include <filesystem>
#include <string>
#include <vector>

namespace pravenor::program {

// One converter of a fleet: the name its file and its log lines go by, and its line.
struct Site
{
    std::string name;
    link::LineAddress line;
    bool fast = false;  // the link at the line's own speed
    int lineNumber = 0; // where the sites file names it
};

// A sites file read whole: either every converter in it, or every line that cannot be used
// ("3: ..."), so that nothing runs on half a fleet.
struct SitesFile
{
    std::vector<Site> sites;
    std::vector<std::string> refusals;

    bool ok() const { return refusals.empty(); }
};

// One converter a line: a name (letters, digits, "-", "_", "."), blanks, the line as --port
// takes it, optionally "fast"; "#" starts a comment. Names are unique whatever their letter
// case (they become file names), and so are lines: two names on one line would let a unit's
// file reach another unit.
SitesFile ParseSites(const std::string& text);
// The file, or a refusal without a line number when it cannot be read.
SitesFile ReadSitesFile(const std::filesystem::path& path);

// The names asked for that the file does not hold; empty when every one is there.
std::vector<std::string> UnknownSites(const SitesFile& file, const std::vector<std::string>& names);

} // namespace pravenor::program
