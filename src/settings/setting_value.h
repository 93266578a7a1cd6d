#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace pravenor::settings {

// One entry of a value store: empty, a number or a text (Windows-1252 bytes). Consumers
// never look at the kind; they use one of the three readings, so that the text "3" read
// from the converter and the number 3 taken from a list mean the same choice.
class SettingValue
{
public:
    SettingValue() = default;
    static SettingValue Number(double value);
    static SettingValue Text(std::string text);

    bool isEmpty() const { return std::holds_alternative<std::monostate>(m_value); }
    bool isNumber() const { return std::holds_alternative<double>(m_value); }
    bool isText() const { return std::holds_alternative<std::string>(m_value); }

    // Empty -> "", number -> its shortest decimal text ("-1", "3", "2.5"), text -> itself.
    std::string asText() const;
    // Empty -> 0, number -> itself, text -> the number at its start (blanks skipped) or 0.
    double asNumber() const;
    // asNumber rounded half to even; nothing outside -32768..32767.
    std::optional<std::int16_t> asWhole() const;

    bool operator==(const SettingValue&) const = default;

private:
    std::variant<std::monostate, double, std::string> m_value;
};

} // namespace pravenor::settings
