#include "app/cp1252.h"

#include <gtest/gtest.h>
#include <string>

namespace pravenor::app {
namespace {

TEST(Cp1252, EveryByteSurvivesARoundTripThroughUtf8)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = Cp1252ToUtf8(all);
    EXPECT_EQ(Utf8ToCp1252(utf8), all);
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        EXPECT_EQ(CodePointToCp1252(Cp1252ToCodePoint(byte)), b) << b;
    }
}

TEST(Cp1252, HighBytesMapToTheirWindowsCharacters)
{
    // 0x80..0x9F as Windows-1252 defines them; the five undefined bytes stand for the C1
    // control character of the same number.
    constexpr char32_t kExpected[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    for (int k = 0; k < 32; ++k)
        EXPECT_EQ(Cp1252ToCodePoint(static_cast<unsigned char>(0x80 + k)), kExpected[k]) << k;
    for (int b : {0x00, 0x41, 0x7F, 0xA0, 0xE9, 0xFF})
        EXPECT_EQ(Cp1252ToCodePoint(static_cast<unsigned char>(b)), static_cast<char32_t>(b));
}

TEST(Cp1252, EncodesAsUtf8Bytes)
{
    EXPECT_EQ(Cp1252ToUtf8("Caf\xE9 \x80 5"), "Caf\xC3\xA9 \xE2\x82\xAC 5");
    EXPECT_EQ(Cp1252ToUtf8("\x99\x9F\xA0"), "\xE2\x84\xA2\xC5\xB8\xC2\xA0");
    EXPECT_EQ(Cp1252ToUtf8("\x81\x9D"), "\xC2\x81\xC2\x9D");
    EXPECT_EQ(Cp1252ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAC\xC5\xA0\xC3\xBF"), "\x80\x8A\xFF");
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeOneQuestionMarkEach)
{
    EXPECT_EQ(Utf8ToCp1252("\xCE\xA9"), "?"); // Greek capital omega
    EXPECT_EQ(Utf8ToCp1252("a\xF0\x9F\x98\x80"
                           "b"),
              "a?b");                         // an emoji, four bytes
    EXPECT_EQ(Utf8ToCp1252("\xC2\x80"), "?"); // C1 control with no byte
    EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD\xE6\x96\x87"), "??");
    EXPECT_EQ(CodePointToCp1252(0x3A9), -1);
    EXPECT_EQ(CodePointToCp1252(0x20AC), 0x80);
}

TEST(Cp1252, MalformedUtf8BecomesQuestionMarksWithoutLosingWhatFollows)
{
    EXPECT_EQ(Utf8ToCp1252("\x80"), "?"); // continuation byte without a lead
    EXPECT_EQ(Utf8ToCp1252("a\xBF\xBF"
                           "b"),
              "a??b");
    EXPECT_EQ(Utf8ToCp1252("\xFF"
                           "A"),
              "?A");
    EXPECT_EQ(Utf8ToCp1252("x\xC3"), "x?"); // cut off at the end
    EXPECT_EQ(Utf8ToCp1252("\xE2\x82"
                           "A"),
              "?A"); // cut short by a plain character

    // Overlong forms, surrogates and code points above U+10FFFF never decode to a character.
    for (const char* bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"}) {
        const std::string out = Utf8ToCp1252(bad);
        EXPECT_FALSE(out.empty()) << bad;
        EXPECT_EQ(out.find_first_not_of('?'), std::string::npos) << out;
    }
}

} // namespace
} // namespace pravenor::app
