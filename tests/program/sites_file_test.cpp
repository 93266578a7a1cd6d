// The sites file: a fleet's converters, one a line, refused whole when one line is unusable.
#include "program/sites_file.h"

#include <gtest/gtest.h>
#include <string>

namespace pravenor {
namespace {

TEST(SitesFile, ReadsNamesLinesAndPaceAroundCommentsAndBlankLines)
{
    const program::SitesFile file = program::ParseSites("# ward A\r\n"
                                                        "door-1\t/dev/ttyUSB0   # by the lift\r\n"
                                                        "\r\n"
                                                        "  boiler_2.b  tcp://10.0.0.7:4001 fast\n"
                                                        "gate rfc2217://[::1]:7000");
    ASSERT_TRUE(file.ok()) << file.refusals.front();
    ASSERT_EQ(file.sites.size(), 3U);
    EXPECT_EQ(file.sites[0].name, "door-1");
    EXPECT_EQ(file.sites[0].line, link::LineAddress::Device("/dev/ttyUSB0"));
    EXPECT_FALSE(file.sites[0].fast);
    EXPECT_EQ(file.sites[0].lineNumber, 2);
    EXPECT_EQ(file.sites[1].line.kind(), link::LineAddress::Kind::Network);
    EXPECT_EQ(file.sites[1].line.network().port, 4001);
    EXPECT_TRUE(file.sites[1].fast);
    EXPECT_EQ(file.sites[1].lineNumber, 4);
    EXPECT_EQ(file.sites[2].line.network().protocol, link::NetworkProtocol::Rfc2217);
}

TEST(SitesFile, RefusesAnUnusableLineWithItsNumber)
{
    const struct
    {
        const char* text;
        const char* refusal; // the start of the first refusal
    } rows[] = {
        {"a /dev/pts/1\nb*c /dev/pts/2\n", "2: the name b*c"},
        {"lonely\n", "1: lonely has no line"},
        {"a /dev/pts/1 slow\n", "1: after a's line only \"fast\""},
        {"a /dev/pts/1 fast again\n", "1: after a's line"},
        {"a tcp://host\n", "1: a: "},
        {"a /dev/pts/1\n\nA /dev/pts/2\n", "3: A is named on line 1 already"},
        {"a tcp://h:1\nb tcp://h:1\n", "2: b's line tcp://h:1 is a's already"},
        {".. /dev/pts/1\n", "1: the name .. names a folder"},
        {"# nothing here\n\n", "the file names no converter"},
    };
    for (const auto& row : rows) {
        const program::SitesFile file = program::ParseSites(row.text);
        ASSERT_FALSE(file.ok()) << row.text;
        EXPECT_TRUE(file.sites.size() < 2) << row.text;
        EXPECT_EQ(file.refusals.front().rfind(row.refusal, 0), 0U)
            << row.text << " gave " << file.refusals.front();
    }
}

TEST(SitesFile, NamesTheSitesAskedForThatItLacks)
{
    const program::SitesFile file = program::ParseSites("a /dev/pts/1\nb /dev/pts/2\n");
    EXPECT_EQ(program::UnknownSites(file, {"b", "c", "A"}), (std::vector<std::string>{"c", "A"}));
}

} // namespace
} // namespace pravenor
