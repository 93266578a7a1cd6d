// Whole request frames against the examples in the converter's protocol description,
// checksums included.
#include "link/frames.h"

#include <gtest/gtest.h>

using namespace pravenor::link;

TEST(Frames, MatchTheDocumentedExamplesByteForByte)
{
    const std::string callText = PagerCallText(3, "1234", "", 2);
    EXPECT_EQ(callText, "A\x1F"
                        "3\x1E"
                        "1\x1F"
                        "1234\x1E"
                        "3\x1F"
                        "2\x1E");

    const struct
    {
        const char* name;
        Frame built;
        Frame expected;
    } cases[] = {
        {"read item 5",
         ReadRequestFrame(5),
         {0x01, 0x09, 0x01, 0x00, 0x02, 0x77, 0x1F, 0x05, 0x1E, 0x3A}},
        {"write item 5 value 3",
         WriteFrame(5, "\x03"),
         {0x01, 0x0D, 0x01, 0x00, 0x02, 0x57, 0x1F, 0x05, 0x1E, 0x77, 0x1F, 0x03, 0x1E, 0x9F}},
        {"write item 100 empty",
         WriteFrame(100, ""),
         {0x01, 0x0C, 0x01, 0x00, 0x02, 0x57, 0x1F, 0x64, 0x1E, 0x77, 0x1F, 0x1E, 0x44}},
        {"restart", RestartFrame(), {0x01, 0x06, 0x01, 0x00, 0x02, 0x52, 0xA4}},
        {"buffer position", BufferPositionFrame(), {0x01, 0x06, 0x01, 0x00, 0x02, 0x32, 0xC4}},
        {"pager call", PagerCallFrame(callText), {0x01, 0x14, 0x01, 0x00, 0x02, 0x41, 0x1F,
                                                  0x33, 0x1E, 0x31, 0x1F, 0x31, 0x32, 0x33,
                                                  0x34, 0x1E, 0x33, 0x1F, 0x32, 0x1E, 0x5D}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.built, c.expected) << c.name;
}
