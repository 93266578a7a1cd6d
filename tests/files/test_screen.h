#pragma once

#include "settings/control_board.h"
#include "settings/control_sync.h"
#include "settings/value_stores.h"
#include "support/temp_folder.h"

#include <filesystem>
#include <map>
#include <string>

namespace pravenor::files::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
using TempFolder = pravenor::test::TempFolder;

inline std::string ReadBytes(const std::filesystem::path& path)
{
    return TempFolder::read(path);
}
inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes)
{
    TempFolder::write(path, bytes);
}
std::filesystem::path GoldenFile(const std::string& name);

// The stores and the controls as the window holds them after its lists are filled.
struct Screen
{
    Screen();

    // Every shown choice box at the given position (0 where not given), every text box at the
    // given text (empty where not given), as a user would set them.
    void set(const std::map<int, int>& choices, const std::map<int, std::string>& texts);
    // What a save does to the stores before it writes.
    void takeIntoFileValues();

    settings::ValueStores stores;
    settings::ControlBoard board;
    settings::ControlSync sync{stores, board};
};

// The settings held by golden/unit.cfg; every other choice is 0 and every other text empty.
std::map<int, int> GoldenChoices();
std::map<int, std::string> GoldenTexts();

// All 92 choice boxes, all 48 text boxes and the file values of items 0..91 and 100..147.
void ExpectSameSettings(const Screen& actual, const Screen& expected);

} // namespace pravenor::files::test
