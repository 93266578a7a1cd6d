#include "files/settings_file_text.h"
#include "files/settings_line.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pravenor::files {
namespace {

using settings::SettingValue;

struct LineCase
{
    int item;
    SettingValue value;
    const char* line;
};

TEST(SettingsLine, WritesItemArrowAndValue)
{
    const std::vector<LineCase> cases = {
        {10, SettingValue::Number(3), "10    ->3\r\n"},
        {0, SettingValue::Number(0), "0    ->0\r\n"},
        {91, SettingValue::Number(-1), "91    ->-1\r\n"},
        {44, SettingValue::Number(2.5), "44    ->2\r\n"},
        {44, SettingValue::Number(3.5), "44    ->4\r\n"},
        {44, SettingValue::Number(-2.5), "44    ->-2\r\n"},
        {44, SettingValue::Number(150), "44    ->150\r\n"},
        {60, SettingValue::Text(" 12abc"), "60    ->12\r\n"},
        {5, SettingValue(), "5    ->0\r\n"},
        {3, SettingValue::Number(40000), "3    ->0\r\n"},
        {100, SettingValue::Text("Main entrance"), "100    ->Main entrance\r\n"},
        {147, SettingValue::Text(""), "147    ->\r\n"},
        {120, SettingValue(), "120    ->\r\n"},
        {108, SettingValue::Text("a, \"b\" -> c"), "108    ->a, \"b\" -> c\r\n"},
        {109, SettingValue::Text("  blanks  "), "109    ->  blanks  \r\n"},
        {116, SettingValue::Text("Caf\xE9"), "116    ->Caf\xE9\r\n"},
        {101, SettingValue::Number(-1), "101    ->-1\r\n"},
        {105, SettingValue::Text("one\r\ntwo"), "105    ->one two\r\n"},
        {105, SettingValue::Text("one\rtwo\nthree"), "105    ->one two three\r\n"},
        {105, SettingValue::Text("one\n\rtwo"), "105    ->one  two\r\n"},
        {105, SettingValue::Text("\r\n\r\nend\r"), "105    ->  end \r\n"},
    };
    for (const LineCase& c : cases)
        EXPECT_EQ(SettingsLine(c.item, c.value), c.line) << c.item << " " << c.value.asText();
}

TEST(BuildSettingsFileText, WritesItems0To91Then100To147)
{
    settings::ValueStores::Store values;
    for (int item = 0; item < settings::kItemCount; ++item)
        values[item] = item <= 91 ? SettingValue::Number(item % 5)
                                  : SettingValue::Text("t" + std::to_string(item));

    const SettingsFileText file = BuildSettingsFileText(values);

    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = file.content.find("\r\n", start)) != std::string::npos;
         start = end + 2)
        lines.push_back(file.content.substr(start, end - start));
    ASSERT_EQ(lines.size(), 140u);
    EXPECT_EQ(file.content.size(), file.content.rfind("\r\n") + 2) << "text after the last line";
    for (int item = 0; item <= 91; ++item)
        EXPECT_EQ(lines[item], std::to_string(item) + "    ->" + std::to_string(item % 5));
    for (int item = 100; item <= 147; ++item)
        EXPECT_EQ(lines[item - 8], std::to_string(item) + "    ->t" + std::to_string(item));
    EXPECT_TRUE(file.warnings.empty());
}

TEST(BuildSettingsFileText, WarnsOncePerSettingItCouldNotWriteAsHeld)
{
    settings::ValueStores::Store values;
    values[3] = SettingValue::Number(40000);
    values[105] = SettingValue::Text("first\r\nsecond\nthird");
    values[140] = SettingValue::Text("A\rB");

    const SettingsFileText file = BuildSettingsFileText(values);

    EXPECT_EQ(file.warnings,
              (std::vector<std::string>{"Setting 3: value 40000 saved as 0.",
                                        "Setting 105: line break saved as a blank.",
                                        "Setting 140: line break saved as a blank."}));
    EXPECT_NE(file.content.find("\r\n3    ->0\r\n"), std::string::npos);
    EXPECT_NE(file.content.find("\r\n105    ->first second third\r\n"), std::string::npos);
    EXPECT_NE(file.content.find("\r\n140    ->A B\r\n"), std::string::npos);
}

} // namespace
} // namespace pravenor::files
