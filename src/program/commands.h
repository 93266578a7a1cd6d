#pragma once

#include "files/file_result.h"
#include "settings/value_stores.h"

#include <filesystem>
#include <string>
#include <vector>

namespace pravenor::program {

class Program;

// What the user can ask of the program, the same for every front end. None of them talks to
// the converter: they set requests that the engine serves on its next ticks, or work on the
// files directly. Confirmations are the front end's business and come before these.

void ReadAll(Program& program);
// Takes every on-screen value first, so the converter gets what the user sees.
void WriteAll(Program& program);
// Every pending item request dropped and the running batch ended without a completion line.
void CancelReadWrite(Program& program);
void ReadSingle(Program& program, int item);
// Takes the item's on-screen value at once: a later edit does not change what is sent.
void WriteSingle(Program& program, int item);
void Restart(Program& program);
void CallPager(Program& program);
// Why the pager test call as the controls give it cannot go out, with the field it is in;
// nothing when it can. The same limits as the command line's page command.
struct PagerCallFault
{
    enum class Field
    {
        None,
        Address,
        Bleep,
        Text,
    };
    Field field = Field::None;
    std::string why;
};
PagerCallFault CheckPagerCall(const std::string& address, int bleep, const std::string& text);
// Closes and opens the configured port again, as after a power cut.
void ReopenPort(Program& program);

// The settings in use whose control differs from what the converter is known to hold (the
// ones shown red), in item order; never read counts as different. A choice box that shows
// no entry is left out: there is nothing in it the converter could take.
std::vector<int> ChangedSettings(Program& program);
// A single write of each item, through the ordinary item requests.
void WriteSettings(Program& program, const std::vector<int>& items);
// What the controls show, as the stores would take it, without touching WorkValues.
settings::ValueStores::Store ScreenValues(Program& program);
// Puts a value into the item's control, as a file or the converter would.
void ShowOnScreen(Program& program, int item, const settings::SettingValue& value);

// The file commands log what the file operation had to say and hand the result on for a
// message box.
files::FileResult LoadSettings(Program& program, const std::filesystem::path& file);
files::FileResult SaveSettings(Program& program, const std::filesystem::path& file);
files::FileResult ReadDefault(Program& program);
files::FileResult WriteDefault(Program& program);

// Where the file dialogs open: the configured folder, else Instellingen in the program
// folder (created when missing, so the dialog does not land somewhere unexpected).
std::filesystem::path SettingsFolder(const Program& program);

// The Program Setup's Save, once the new port and folder are in the configuration: the
// configuration written, the lists rebuilt, default.set shown again and the port reopened.
files::FileResult ApplyProgramSetup(Program& program);

} // namespace pravenor::program
