#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace pravenor::sim {

class ConverterModel;

struct CfgLoadResult
{
    bool opened = false;
    int valuesSet = 0;
    // 1-based numbers of the lines that set nothing: no item number or "->", an item the
    // converter does not exchange, or a value it cannot hold.
    std::vector<int> ignoredLines;
};

// Initial converter values from a unit-data file, read by the simulator's own simple rule:
// one "<item>    -><value>" line per item (CR LF or LF), the item number at the start of the
// line, the value after the first "->"; whole numbers for items 0..91, text for 100..147.
// Kept apart from the program's file code on purpose, so that the two can disagree.
CfgLoadResult applyCfgText(std::string_view content, ConverterModel& model);
CfgLoadResult loadCfgFile(const std::filesystem::path& path, ConverterModel& model);

} // namespace pravenor::sim
