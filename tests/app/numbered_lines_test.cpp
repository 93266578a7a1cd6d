#include "app/numbered_lines.h"
#include "app/regular_file.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace pravenor::app {
namespace {

// Every slot that is not listed must be empty.
void expectSlots(const NumberedSlots& slots, const std::map<int, std::string>& filled)
{
    for (int n = 0; n < kSlotCount; ++n) {
        const auto it = filled.find(n);
        EXPECT_EQ(slots[static_cast<std::size_t>(n)], it == filled.end() ? "" : it->second)
            << "slot " << n;
    }
}

TEST(ParseNumberedLines, ProgramConfigurationLayout)
{
    static_assert(kSlotCount == 299);
    expectSlots(ParseNumberedLines("0        Compoort ->2\r\n1      Logfile ->0\r\n"
                                   "2       SetPath ->D:\\Data\r\n3       UnitType ->3\r\n"),
                {{0, "2"}, {1, "0"}, {2, "D:\\Data"}, {3, "3"}});
}

TEST(ParseNumberedLines, ValueIsEverythingAfterTheFirstArrowUntrimmed)
{
    expectSlots(ParseNumberedLines("5    -> a->b, \"c\"  \r\n6    ->\r\n"),
                {{5, " a->b, \"c\"  "}});
}

TEST(ParseNumberedLines, BlanksBeforeTheNumberAndEmptyLinesAreSkipped)
{
    // Neither the empty nor the blank line may count as a line numbered 0.
    expectSlots(ParseNumberedLines("0->zero\r\n\r\n     \r\n   12    ->x\r\n\r\n"),
                {{0, "zero"}, {12, "x"}});
}

TEST(ParseNumberedLines, LineWithoutArrowRepeatsTheLastValue)
{
    expectSlots(ParseNumberedLines("4\r\n1->a\r\n2\r\n7 no arrow\r\n"),
                {{1, "a"}, {2, "a"}, {7, "a"}});
    // The last value is taken even from a line whose number is ignored.
    expectSlots(ParseNumberedLines("299->z\r\n5\r\n"), {{5, "z"}});
}

TEST(ParseNumberedLines, LaterDuplicateWins)
{
    expectSlots(ParseNumberedLines("5->a\r\n6->b\r\n5->c\r\n"), {{5, "c"}, {6, "b"}});
}

TEST(ParseNumberedLines, SlotRangeEndsAt298)
{
    expectSlots(ParseNumberedLines("298->last\r\n299->x\r\n1000->y\r\n"), {{298, "last"}});
}

TEST(ParseNumberedLines, NegativeNumberEndsReadingKeepingEarlierLines)
{
    expectSlots(ParseNumberedLines("1->a\r\n-1->b\r\n2->c\r\n"), {{1, "a"}});
    expectSlots(ParseNumberedLines("3->a\r\n  -7\r\n4->c\r\n"), {{3, "a"}});
    // -0.4 rounds to 0, which is not negative.
    expectSlots(ParseNumberedLines("-0.4->a\r\n4->c\r\n"), {{0, "a"}, {4, "c"}});
}

TEST(ParseNumberedLines, ItemNumberComesFromTheFirstFourCharactersOnly)
{
    const struct
    {
        const char* line;
        int slot;
    } cases[] = {
        {"1.5 ->x", 2},  {"2.5 ->x", 2}, {"100->x", 100}, {"147 ->x", 147},
        {"7   8->x", 7}, {"abc->x", 0},  {"+9->x", 9},    {"  42  ->x", 42},
    };
    for (const auto& c : cases)
        expectSlots(ParseNumberedLines(c.line), {{c.slot, "x"}});
    // 1234 is out of range; slots 1, 12 and 123 must not be taken for it.
    expectSlots(ParseNumberedLines("12345->x"), {});
}

TEST(ParseNumberedLines, AcceptsCrLfLfAndLoneCrLineEnds)
{
    expectSlots(ParseNumberedLines("1->a\r2->b\n3->c\r\n4->d"),
                {{1, "a"}, {2, "b"}, {3, "c"}, {4, "d"}});
    expectSlots(ParseNumberedLines("1->a\n\n\r\r2->b\r\n"), {{1, "a"}, {2, "b"}});
}

TEST(ReadNumberedLines, MissingFileGivesEmptySlots)
{
    const test::TempFolder folder;
    const NumberedLines lines = ReadNumberedLines(folder / "absent.set");
    EXPECT_FALSE(lines.opened);
    expectSlots(lines.slots, {});
    EXPECT_TRUE(folder.names().empty());
}

TEST(ReadNumberedLines, FolderInPlaceOfTheFileGivesEmptySlots)
{
    const test::TempFolder folder;
    std::filesystem::create_directory(folder / "default.set");
    const NumberedLines lines = ReadNumberedLines(folder / "default.set");
    EXPECT_FALSE(lines.opened);
    expectSlots(lines.slots, {});
}

TEST(ReadNumberedLines, ReadsTheFileAsBytes)
{
    const test::TempFolder folder;
    test::TempFolder::write(folder / "default.set", "100    ->Caf\xE9 \x80\r\n0    ->3\r\n");
    const NumberedLines lines = ReadNumberedLines(folder / "default.set");
    EXPECT_TRUE(lines.opened);
    expectSlots(lines.slots, {{0, "3"}, {100, "Caf\xE9 \x80"}});

    test::TempFolder::write(folder / "empty.set", "");
    EXPECT_TRUE(ReadNumberedLines(folder / "empty.set").opened);
}

TEST(ReadNumberedLines, OnlyRegularFilesAreReadLinksFollowed)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no FIFOs in the file system, and links need administrator rights";
#else
    const test::TempFolder folder;
    test::TempFolder::write(folder / "real.set", "0    ->3\r\n");
    ASSERT_EQ(::mkfifo((folder / "fifo.set").c_str(), 0600), 0);
    std::filesystem::create_symlink(folder / "fifo.set", folder / "to-fifo.set");
    std::filesystem::create_symlink("/dev/zero", folder / "zero.set");
    std::filesystem::create_symlink(folder / "real.set", folder / "to-real.set");
    // A FIFO without a writer or an endless device would hang here for good.
    for (const char* name : {"fifo.set", "to-fifo.set", "zero.set"}) {
        const NumberedLines lines = ReadNumberedLines(folder / name);
        EXPECT_FALSE(lines.opened) << name;
        EXPECT_FALSE(lines.tooLarge) << name;
    }
    const NumberedLines linked = ReadNumberedLines(folder / "to-real.set");
    EXPECT_TRUE(linked.opened);
    expectSlots(linked.slots, {{0, "3"}});
#endif
}

TEST(ReadNumberedLines, FileOverTheSizeLimitIsTooLargeAndNotRead)
{
    const test::TempFolder folder;
    test::TempFolder::write(folder / "limit.set", "0    ->3\r\n");
    std::filesystem::resize_file(folder / "limit.set", kMaxFileBytes);
    test::TempFolder::write(folder / "over.set", "0    ->3\r\n");
    std::filesystem::resize_file(folder / "over.set", kMaxFileBytes + 1);

    const NumberedLines atLimit = ReadNumberedLines(folder / "limit.set");
    EXPECT_TRUE(atLimit.opened);
    EXPECT_FALSE(atLimit.tooLarge);
    EXPECT_EQ(atLimit.slots[0], "3");
    const NumberedLines over = ReadNumberedLines(folder / "over.set");
    EXPECT_FALSE(over.opened);
    EXPECT_TRUE(over.tooLarge);
    expectSlots(over.slots, {});
}

TEST(SlotWhole16, NumberAtTheStartRoundedAndCheckedAgainst16Bits)
{
    EXPECT_EQ(SlotWhole16("2"), 2);
    EXPECT_EQ(SlotWhole16("  7 blanks first"), 7);
    EXPECT_EQ(SlotWhole16("2.5"), 2);
    EXPECT_EQ(SlotWhole16(""), 0);
    EXPECT_EQ(SlotWhole16("COM3"), 0);
    EXPECT_EQ(SlotWhole16("-32768"), -32768);
    EXPECT_EQ(SlotWhole16("99999"), std::nullopt);
    EXPECT_EQ(SlotWhole16("-40000"), std::nullopt);
}

} // namespace
} // namespace pravenor::app
