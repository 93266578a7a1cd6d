// The settings-file readers on arbitrary bytes: the unit-data file and default.set rules
// (a number that cannot be used stops the load, or counts as 0), through the screen and back
// into the file text that a save writes. Saving what was loaded and loading it again must
// give the same file: anything else is a save that changes settings on the way. Slowness
// is left to libFuzzer's -timeout: a file is read once, not every 25 ms.
#include "app/numbered_lines.h"
#include "files/default_settings.h"
#include "files/settings_file_io.h"
#include "files/settings_file_text.h"
#include "files/unit_data_file.h"
#include "settings/choice_lists.h"
#include "settings/control_board.h"
#include "settings/control_sync.h"
#include "settings/value_stores.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace {

using namespace pravenor;

// Filling the lists costs far more than a load; the screens are filled once and reused.
// Every load sets every store entry it reads and every control, so nothing of one input
// reaches the next beyond what resetting the stores clears anyway.
struct Screen
{
    Screen() { settings::FillChoiceLists(board); }
    settings::ValueStores stores;
    settings::ControlBoard board;
    settings::ControlSync sync{stores, board};
};

Screen& fresh(int which)
{
    static Screen screens[4];
    Screen& screen = screens[which];
    screen.stores = settings::ValueStores{};
    return screen;
}

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "==pravenor== %s\n", what);
    std::abort();
}

// Loads bytes as LoadSettingsFile (Stop) or ReadDefaultSettings (TakeZero) does; false when
// the load stopped.
bool load(Screen& screen, std::string_view bytes, files::UnusableNumber rule)
{
    const app::NumberedSlots slots = app::ParseNumberedLines(bytes);
    const auto unusable = files::FileValuesFromSlots(slots, screen.stores.FileValues, rule);
    if (rule == files::UnusableNumber::Stop && !unusable.empty())
        return false;
    files::ShowLoadedValues(screen.sync);
    return true;
}

// What a save writes, without the disk.
std::string saved(Screen& screen)
{
    screen.sync.TakeAllValues();
    screen.stores.WorkToFile();
    return files::BuildSettingsFileText(screen.stores.FileValues).content;
}

std::size_t lineCount(const std::string& text)
{
    std::size_t n = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;
         at = text.find("\r\n", at + 2))
        ++n;
    return n;
}

const std::filesystem::path& scratchFolder()
{
    static const std::filesystem::path folder = [] {
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                               ? "/dev/shm"
                                               : std::filesystem::temp_directory_path();
        const std::filesystem::path made = base / ("pravenor-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(made);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(scratchFolder(), ignored);
        });
        return made;
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const files::UnusableNumber rule :
         {files::UnusableNumber::Stop, files::UnusableNumber::TakeZero}) {
        Screen& screen = fresh(0);
        if (!load(screen, bytes, rule))
            continue;
        const std::string first = saved(screen);
        if (lineCount(first) != 140 || first.size() < 2 || first.substr(first.size() - 2) != "\r\n")
            fail("a saved settings file is not 140 CR LF lines");
        Screen& again = fresh(1);
        if (!load(again, first, files::UnusableNumber::Stop))
            fail("a saved settings file does not load");
        if (saved(again) != first)
            fail("saving, loading and saving again changed the file");
    }

    // The readers themselves, from a file, agree with the rule on bytes.
    const std::filesystem::path folder = scratchFolder();
    {
        std::ofstream out(folder / "default.set", std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    Screen& fromFile = fresh(2);
    Screen& fromBytes = fresh(3);
    files::ReadDefaultSettings(folder, fromFile.sync);
    load(fromBytes, bytes, files::UnusableNumber::TakeZero);
    if (fromFile.stores.FileValues != fromBytes.stores.FileValues)
        fail("default.set read from the file differs from the same bytes");
    const bool unitLoaded = files::LoadSettingsFile(folder / "default.set", fresh(0).sync).ok;
    if (unitLoaded != load(fresh(1), bytes, files::UnusableNumber::Stop))
        fail("a unit-data file loads where its bytes do not, or the other way round");
    return 0;
}
