#include "files/snapshot_store.h"
#include "files/unit_data_file.h"
#include "support/temp_folder.h"
#include "test_screen.h"

#include <gtest/gtest.h>

namespace pravenor::files {
namespace {

using settings::KnownItems;
using settings::SettingValue;
using test::TempFolder;

constexpr app::LocalTime kNoon{2026, 12, 9, 12, 0, 5};

TEST(SnapshotStore, LineFolderNamesAreSafeOnEverySystem)
{
    const std::pair<const char*, const char*> rows[] = {
        {"/dev/ttyUSB0", "_dev_ttyUSB0"},
        {"tcp://10.0.0.7:4001", "tcp___10.0.0.7_4001"},
        {"COM3", "COM3_"},
        {"nul.txt", "nul.txt_"},
        {"COM12", "COM12"},
        {"..", "__"},
        {"", "_"},
        {"Hal\xe9 \\x", "Hal___x"},
    };
    for (const auto& [line, folder] : rows)
        EXPECT_EQ(SnapshotStore::LineFolderName(line), folder) << line;
    EXPECT_EQ(SnapshotStore(std::filesystem::path("home"), "COM3").folder(),
              std::filesystem::path("home") / "History" / "COM3_");
}

TEST(SnapshotStore, ASnapshotIsASettingsFileOfTheKnownItemsOnly)
{
    TempFolder home;
    settings::ValueStores::Store values;
    KnownItems known;
    for (int item : {0, 9, 10, 100, 101}) {
        known.set(static_cast<std::size_t>(item));
        values[static_cast<std::size_t>(item)] = SettingValue::Text(std::to_string(item % 7));
    }
    values[100] = SettingValue::Text(" Hall, \"east\" -> door ");
    values[101] = SettingValue::Text("");
    values[11] = SettingValue::Number(4); // not known: left out

    const SnapshotStore store(home.path(), "/dev/ttyUSB0");
    const SnapshotSave saved = store.save(values, known, kNoon);
    ASSERT_TRUE(saved.ok) << saved.error;
    EXPECT_EQ(saved.snapshot.path, store.folder() / "2026-12-09_12-00-05.cfg");
    EXPECT_EQ(TempFolder::read(saved.snapshot.path),
              "0    ->0\r\n9    ->2\r\n10    ->3\r\n"
              "100    -> Hall, \"east\" -> door \r\n101    ->\r\n");

    const SnapshotContent back = SnapshotStore::load(saved.snapshot.path);
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.items, known);
    EXPECT_EQ(back.values[9], SettingValue::Number(2));
    EXPECT_EQ(back.values[100], values[100]);

    // "Read from file" takes it like any unit-data file.
    test::Screen screen;
    EXPECT_TRUE(LoadSettingsFile(saved.snapshot.path, screen.sync).ok);
    EXPECT_EQ(screen.stores.WorkValues[100], values[100]);
}

TEST(SnapshotStore, ListsTheLinesSnapshotsNewestFirst)
{
    TempFolder home;
    const SnapshotStore store(home.path(), "COM3");
    EXPECT_TRUE(store.list().empty());
    const settings::ValueStores::Store values;
    const KnownItems none;
    const app::LocalTime later{2026, 12, 9, 12, 10, 0};
    ASSERT_TRUE(store.save(values, none, kNoon).ok);
    ASSERT_TRUE(store.save(values, none, later).ok);
    ASSERT_TRUE(store.save(values, none, kNoon).ok); // the same second again
    TempFolder::write(store.folder() / "notes.cfg", "0    ->1\r\n");
    TempFolder::write(store.folder() / "2026-12-09_12-00-05.cfg.saving-1-1", "");
    ASSERT_TRUE(SnapshotStore(home.path(), "COM4").save(values, none, later).ok);

    std::vector<std::string> names;
    for (const Snapshot& s : store.list())
        names.push_back(s.fileName);
    EXPECT_EQ(names,
              (std::vector<std::string>{"2026-12-09_12-10-00.cfg", "2026-12-09_12-00-05-2.cfg",
                                        "2026-12-09_12-00-05.cfg"}));
    EXPECT_EQ(store.list().front().taken.minute, 10);
}

} // namespace
} // namespace pravenor::files
