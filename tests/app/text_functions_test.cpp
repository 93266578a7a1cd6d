#include "app/text_functions.h"
#include "support/comma_locale.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>

namespace pravenor::app {
namespace {

TEST(NumToStr, DigitsWithoutLeadingBlankOrZeros)
{
    EXPECT_EQ(NumToStr(0), "0");
    EXPECT_EQ(NumToStr(5), "5");
    EXPECT_EQ(NumToStr(250), "250");
    EXPECT_EQ(NumToStr(1500), "1500");
    EXPECT_EQ(NumToStr(-1), "-1");
    EXPECT_EQ(NumToStr(-32768), "-32768");
}

TEST(SignedNumText, BlankStandsWhereAMinusWouldBe)
{
    EXPECT_EQ(SignedNumText(0), " 0");
    EXPECT_EQ(SignedNumText(3), " 3");
    EXPECT_EQ(SignedNumText(30), " 30");
    EXPECT_EQ(SignedNumText(-1), "-1");
}

TEST(HexText, UpperCaseWithoutLeadingZerosAndTwosComplementForNegatives)
{
    const struct
    {
        std::int16_t value;
        const char* text;
    } cases[] = {
        {0, "0"},        {9, "9"},     {10, "A"},      {15, "F"},
        {16, "10"},      {255, "FF"},  {256, "100"},   {4095, "FFF"},
        {32767, "7FFF"}, {-1, "FFFF"}, {-256, "FF00"}, {-32768, "8000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HexText(c.value), c.text) << c.value;
}

struct NumberCase
{
    const char* text;
    double value;
};
constexpr NumberCase kNumberCases[] = {
    {"12", 12},        {"   12", 12},    {"\t7", 7},       {"+3", 3},     {"-3", -3}, {"2.5", 2.5},
    {"-0.75x", -0.75}, {".5", 0.5},      {"7.", 7},        {"12abc", 12}, {"3 4", 3}, {"1,5", 1},
    {"1e3", 1000},     {"1e", 1},        {"2E-1", 0.2},    {"0x1F", 0},   {"abc", 0}, {"", 0},
    {"   ", 0},        {"-", 0},         {".", 0},         {"- 5", 0},    {"inf", 0}, {"nan", 0},
    {"1e-999", 0},     {"0.000e500", 0}, {"+2.6e+0", 2.6},
};

TEST(LeadingNumber, ReadsTheDecimalNumberAtTheStart)
{
    for (const auto& c : kNumberCases)
        EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.value) << '"' << c.text << '"';
    EXPECT_TRUE(std::isinf(LeadingNumber("1e999")));
    EXPECT_EQ(LeadingNumber("-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isinf(LeadingNumber(std::string(400, '9'))));
    EXPECT_TRUE(std::isinf(LeadingNumber("0.001e400")));
    EXPECT_TRUE(std::signbit(LeadingNumber("-1e-999")));
}

TEST(LeadingNumber, NumbersAreReadAndWrittenAlikeUnderACommaLocale)
{
    const test::CommaLocale locale;
    PRAVENOR_REQUIRE_COMMA_LOCALE(locale);
    for (const auto& c : kNumberCases)
        EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(NumToStr(-1234567), "-1234567");
    EXPECT_EQ(HexText(-1), "FFFF");
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    const struct
    {
        double value;
        double whole;
    } cases[] = {
        {2.5, 2},  {3.5, 4},  {-2.5, -2}, {-3.5, -4}, {0.5, 0}, {1.5, 2},
        {2.49, 2}, {2.51, 3}, {-0.4, 0},  {-0.6, -1}, {7, 7},   {32766.5, 32766},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RoundHalfEven(c.value), c.whole) << c.value;
}

TEST(ToWhole16, AcceptsOnlyWhatRoundsIntoSixteenBits)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct
    {
        double value;
        std::optional<std::int16_t> whole;
    } cases[] = {
        {0, 0},
        {-1, -1},
        {2.5, 2},
        {3.5, 4},
        {32767, 32767},
        {32767.4, 32767},
        {32767.5, std::nullopt},
        {32768, std::nullopt},
        {-32768, -32768},
        {-32768.5, -32768},
        {-32768.6, std::nullopt},
        {-32769, std::nullopt},
        {1e300, std::nullopt},
        {inf, std::nullopt},
        {-inf, std::nullopt},
        {std::numeric_limits<double>::quiet_NaN(), std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToWhole16(c.value), c.whole) << c.value;
}

} // namespace
} // namespace pravenor::app
