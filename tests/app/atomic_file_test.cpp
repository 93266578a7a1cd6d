#include "app/atomic_file.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace pravenor::app {
namespace {

using test::TempFolder;

TEST(WriteFileReplacing, CreatesAndReplacesLeavingNothingElseBehind)
{
    const TempFolder folder;
    const std::string first("a\r\n\0\xFF", 5);
    ASSERT_TRUE(WriteFileReplacing(folder / "default.set", first).ok);
    EXPECT_EQ(TempFolder::read(folder / "default.set"), first);

    ASSERT_TRUE(WriteFileReplacing(folder / "default.set", "b").ok);
    EXPECT_EQ(TempFolder::read(folder / "default.set"), "b");

    ASSERT_TRUE(WriteFileReplacing(folder / "default.set", "").ok);
    EXPECT_EQ(TempFolder::read(folder / "default.set"), "");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"default.set"});
}

TEST(WriteFileReplacing, MissingFolderFailsWithAMessageAndCreatesNothing)
{
    const TempFolder folder;
    const SaveResult saved = WriteFileReplacing(folder / "Instellingen" / "unit.cfg", "x");
    EXPECT_FALSE(saved.ok);
    EXPECT_NE(saved.error.find("unit.cfg"), std::string::npos) << saved.error;
    EXPECT_TRUE(folder.names().empty());
}

TEST(WriteFileReplacing, TargetThatIsAFolderFailsAndStaysAFolder)
{
    const TempFolder folder;
    std::filesystem::create_directory(folder / "unit.cfg");
    TempFolder::write(folder / "unit.cfg" / "inside", "keep");
    const SaveResult saved = WriteFileReplacing(folder / "unit.cfg", "x");
    EXPECT_FALSE(saved.ok);
    EXPECT_FALSE(saved.error.empty());
    EXPECT_EQ(TempFolder::read(folder / "unit.cfg" / "inside"), "keep");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"unit.cfg"});
}

} // namespace
} // namespace pravenor::app
