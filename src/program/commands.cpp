#include "program/commands.h"

#include "app/cp1252.h"
#include "app/program_folder.h"
#include "app/text_functions.h"
#include "files/default_settings.h"
#include "files/unit_data_file.h"
#include "link/frames.h"
#include "link/transfer_view.h"
#include "program/program.h"
#include "program/start_program.h"
#include "settings/choice_lists.h"

namespace pravenor::program {

namespace {

files::FileResult logged(Program& program, files::FileResult result)
{
    for (const std::string& warning : result.warnings)
        program.log.WriteLog(warning);
    if (!result.ok && !result.message.empty())
        program.log.WriteLog(result.message);
    return result;
}

} // namespace

void ReadAll(Program& program)
{
    program.engine.request(link::Job::ReadAll);
}

void WriteAll(Program& program)
{
    program.sync.TakeAllValues();
    program.engine.request(link::Job::WriteAll);
}

void CancelReadWrite(Program& program)
{
    program.stores.ItemRequest.fill(settings::Request::None);
    program.engine.endBatchByUser();
    program.view.appendProgress("\r\nCancelled!\r\n");
}

void ReadSingle(Program& program, int item)
{
    program.engine.request(item, settings::Request::Read);
}

void WriteSingle(Program& program, int item)
{
    program.sync.TakeValue(item);
    program.engine.request(item, settings::Request::Write);
}

void Restart(Program& program)
{
    program.engine.request(link::Job::Restart);
}

void CallPager(Program& program)
{
    program.engine.request(link::Job::PagerCall);
}

PagerCallFault CheckPagerCall(const std::string& address, int bleep, const std::string& text)
{
    using Field = PagerCallFault::Field;
    constexpr const char* kControls = " holds control characters (0x00 to 0x1F), which the "
                                      "converter reads as frame structure.";
    if (address.empty() || address.size() > link::kPagerAddressLength)
        return {Field::Address, "The pager address takes 1 to " +
                                    std::to_string(link::kPagerAddressLength) + " characters."};
    if (app::HoldsControlBytes(address))
        return {Field::Address, std::string("The pager address") + kControls};
    if (bleep < 0 || bleep > 15)
        return {Field::Bleep, "The bleep code is one of 0..9 or A..F, as in \"BleepCode: A\"."};
    if (text.size() > link::kPagerDisplayLength)
        return {Field::Text, "The pager text takes at most " +
                                 std::to_string(link::kPagerDisplayLength) + " characters."};
    if (app::HoldsControlBytes(text))
        return {Field::Text, std::string("The pager text") + kControls};
    return {};
}

void ReopenPort(Program& program)
{
    program.port.sayNextFailure(); // asked for: the outcome is said, also when it is the same
    program.port.CloseComPort();
    OpenPortAndStart(program);
}

std::vector<int> ChangedSettings(Program& program)
{
    const settings::SettingControls& controls = program.sync.controls();
    const auto& unit = program.stores.UnitValues;
    std::vector<int> changed;
    for (int item = 0; item < settings::kItemCount; ++item) {
        if (!settings::ItemInUse(item))
            continue;
        const auto at = static_cast<std::size_t>(item);
        bool same = false;
        if (settings::IsChoiceItem(item)) {
            // A box that shows no entry has nothing the converter could take.
            if (controls.choiceVisible(item) && controls.chosenPosition(item) < 0)
                continue;
            same = controls.choiceVisible(item) && unit[at].asNumber() != -1 &&
                   controls.chosenPosition(item) == unit[at].asNumber();
        } else {
            const int box = settings::TextBoxOf(item);
            same = controls.textVisible(box) &&
                   !(unit[at].isNumber() && unit[at].asNumber() == -1) &&
                   controls.text(box) == unit[at].asText();
        }
        if (!same)
            changed.push_back(item);
    }
    return changed;
}

void WriteSettings(Program& program, const std::vector<int>& items)
{
    for (int item : items)
        WriteSingle(program, item);
}

settings::ValueStores::Store ScreenValues(Program& program)
{
    settings::ValueStores taken;
    taken.WorkValues = program.stores.WorkValues;
    settings::ControlSync(taken, program.sync.controls()).TakeAllValues();
    return taken.WorkValues;
}

void ShowOnScreen(Program& program, int item, const settings::SettingValue& value)
{
    if (item < 0 || item >= settings::kItemCount)
        return;
    program.stores.WorkValues[static_cast<std::size_t>(item)] = value;
    program.sync.ShowValue(item);
}

files::FileResult LoadSettings(Program& program, const std::filesystem::path& file)
{
    return logged(program, files::LoadSettingsFile(file, program.sync));
}

files::FileResult SaveSettings(Program& program, const std::filesystem::path& file)
{
    return logged(program, files::SaveSettingsFile(file, program.sync));
}

files::FileResult ReadDefault(Program& program)
{
    return logged(program, files::ReadDefaultSettings(program.folder, program.sync));
}

files::FileResult WriteDefault(Program& program)
{
    return logged(program, files::WriteDefaultSettings(program.folder, program.sync));
}

std::filesystem::path SettingsFolder(const Program& program)
{
    if (!program.config.SetPath.empty())
        return std::filesystem::path(app::Cp1252ToUtf8(program.config.SetPath));
    const std::filesystem::path folder = program.folder / "Instellingen";
    app::EnsureFolder(folder);
    return folder;
}

files::FileResult ApplyProgramSetup(Program& program)
{
    files::FileResult result;
    const app::SaveResult saved =
        program.config.WriteProgramConfig(program.folder / app::ProgramConfig::kFileName);
    if (!saved.ok) {
        // Losing the user's choice of port and folder without a word would be worse than a box.
        result.ok = false;
        result.message = "The program setup could not be saved to " +
                         app::PathText(program.folder / app::ProgramConfig::kFileName) +
                         ". It holds for this run only.";
        result.warnings.push_back(app::Utf8ToCp1252(saved.error));
    }
    settings::FillChoiceLists(program.sync.controls());
    for (const std::string& warning :
         files::ReadDefaultSettings(program.folder, program.sync).warnings)
        result.warnings.push_back(warning);
    logged(program, result);
    program.port.CloseComPort();
    OpenPortAndStart(program);
    return result;
}

} // namespace pravenor::program
