#include "settings/setting_value.h"

#include <gtest/gtest.h>
#include <optional>

namespace pravenor::settings {
namespace {

struct Reading
{
    const char* what;
    SettingValue value;
    const char* text;
    double number;
    std::optional<std::int16_t> whole;
};

TEST(SettingValue, ThreeReadings)
{
    const Reading cases[] = {
        {"empty", SettingValue(), "", 0, 0},
        {"number 3", SettingValue::Number(3), "3", 3, 3},
        {"text 3", SettingValue::Text("3"), "3", 3, 3},
        {"number -1", SettingValue::Number(-1), "-1", -1, -1},
        {"number 0", SettingValue::Number(0), "0", 0, 0},
        {"number -0", SettingValue::Number(-0.0), "0", 0, 0},
        {"number 2.5", SettingValue::Number(2.5), "2.5", 2.5, 2},
        {"number 3.5", SettingValue::Number(3.5), "3.5", 3.5, 4},
        {"number -2.5", SettingValue::Number(-2.5), "-2.5", -2.5, -2},
        {"number 250", SettingValue::Number(250), "250", 250, 250},
        {"text 12", SettingValue::Text("12"), "12", 12, 12},
        {"text  12x", SettingValue::Text("  12x"), "  12x", 12, 12},
        {"text 2.5", SettingValue::Text("2.5"), "2.5", 2.5, 2},
        {"text abc", SettingValue::Text("abc"), "abc", 0, 0},
        {"empty text", SettingValue::Text(""), "", 0, 0},
        {"number 32767", SettingValue::Number(32767), "32767", 32767, 32767},
        {"number -32768", SettingValue::Number(-32768), "-32768", -32768, -32768},
        {"number 32767.5", SettingValue::Number(32767.5), "32767.5", 32767.5, std::nullopt},
        {"number -32768.5", SettingValue::Number(-32768.5), "-32768.5", -32768.5, -32768},
        {"number -32769", SettingValue::Number(-32769), "-32769", -32769, std::nullopt},
        {"text 40000", SettingValue::Text("40000"), "40000", 40000, std::nullopt},
        // Decimal digits even where an exponent would be shorter.
        {"number 100000", SettingValue::Number(100000), "100000", 100000, std::nullopt},
        {"number 1e20", SettingValue::Number(1e20), "100000000000000000000", 1e20, std::nullopt},
        {"number 0.0001", SettingValue::Number(0.0001), "0.0001", 0.0001, 0},
    };
    for (const Reading& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.value.asText(), c.text);
        EXPECT_DOUBLE_EQ(c.value.asNumber(), c.number);
        EXPECT_EQ(c.value.asWhole(), c.whole);
    }
}

TEST(SettingValue, KindIsKeptButTextAndNumberDiffer)
{
    const SettingValue empty;
    const SettingValue number = SettingValue::Number(3);
    const SettingValue text = SettingValue::Text("3");
    const SettingValue emptyText = SettingValue::Text("");
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_TRUE(number.isNumber());
    EXPECT_TRUE(text.isText());
    // Same choice through the readings, yet different entries: consumers must use a reading.
    EXPECT_NE(text, number);
    EXPECT_NE(emptyText, empty);
    EXPECT_EQ(text, SettingValue::Text("3"));
}

} // namespace
} // namespace pravenor::settings
