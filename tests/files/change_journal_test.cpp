#include "files/change_journal.h"
#ifndef _WIN32
#include "support/file_size_limit.h"
#endif
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace pravenor::files {
namespace {

using pravenor::test::TempFolder;

JournalRow sampleRow(int item, std::string before, std::string after, WriteOutcome outcome)
{
    return {{2026, 12, 9, 7, 5, 3}, "tcp://host:4001", item,    "Input 3, Alarm, Text at alarm:",
            std::move(before),      std::move(after),  outcome, "2026-12-09_07-05-01.cfg"};
}

TEST(ChangeJournal, RowsAreUtf8CsvUnderOneHeaderAndReadBackWhole)
{
    TempFolder home;
    const ChangeJournal journal(home.path());
    const std::vector<JournalRow> first = {
        sampleRow(102, "", "Caf\xe9 \"A\", east", WriteOutcome::Verified),
        sampleRow(22, "On", "Off", WriteOutcome::DiffersAfterVerify),
    };
    const std::vector<JournalRow> second = {sampleRow(9, "x\r\ny", "2", WriteOutcome::Refused)};
    ASSERT_TRUE(journal.append(first).ok);
    ASSERT_TRUE(journal.append(second).ok);

    EXPECT_EQ(journal.file(), home.path() / "History" / "journal.csv");
    EXPECT_EQ(TempFolder::read(journal.file()),
              "Date,Time,Line,Item,Setting,Before,After,Outcome,Snapshot\r\n"
              "2026-12-09,07:05:03,tcp://host:4001,102,\"Input 3, Alarm, Text at alarm:\",,"
              "\"Caf\xc3\xa9 \"\"A\"\", east\",verified,2026-12-09_07-05-01.cfg\r\n"
              "2026-12-09,07:05:03,tcp://host:4001,22,\"Input 3, Alarm, Text at alarm:\",On,"
              "Off,differs after verify,2026-12-09_07-05-01.cfg\r\n"
              "2026-12-09,07:05:03,tcp://host:4001,9,\"Input 3, Alarm, Text at alarm:\",x  y,"
              "2,refused,2026-12-09_07-05-01.cfg\r\n");

    std::vector<JournalRow> expected = first;
    expected.push_back(second.front());
    expected.back().before = "x  y";
    std::string lines;
    for (const JournalRow& row : journal.read())
        lines += JournalLine(row);
    std::string expectedLines;
    for (const JournalRow& row : expected)
        expectedLines += JournalLine(row);
    EXPECT_EQ(lines, expectedLines);
}

#ifndef _WIN32 // a file size limit is how a save fails half-way for any user
TEST(ChangeJournal, AFailedAppendLeavesNoPartOfItsRows)
{
    TempFolder home;
    const ChangeJournal journal(home.path());
    const std::vector<JournalRow> rows = {sampleRow(0, "1", "2", WriteOutcome::Written)};
    ASSERT_TRUE(journal.append(rows).ok);
    const std::string before = TempFolder::read(journal.file());
    {
        const pravenor::test::FileSizeLimit limit(before.size() + 20);
        ASSERT_TRUE(limit.active());
        const JournalResult result = journal.append(rows);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.error.find("journal.csv cannot be written"), std::string::npos)
            << result.error;
    }
    EXPECT_EQ(TempFolder::read(journal.file()), before);
}

#endif

TEST(ChangeJournal, ARowCutOffByACrashIsDroppedBeforeTheNextGoesIn)
{
    TempFolder home;
    const ChangeJournal journal(home.path());
    const std::vector<JournalRow> rows = {sampleRow(0, "1", "2", WriteOutcome::Written)};
    ASSERT_TRUE(journal.append(rows).ok);
    const std::string whole = TempFolder::read(journal.file());
    TempFolder::write(journal.file(), whole + "2026-12-09,07:05:04,tcp://ho");
    EXPECT_EQ(journal.read().size(), 1u);

    ASSERT_TRUE(journal.append(rows).ok);
    EXPECT_EQ(TempFolder::read(journal.file()), whole + JournalLine(rows.front()));
}

} // namespace
} // namespace pravenor::files
