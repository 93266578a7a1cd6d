#include "settings/setting_value.h"

#include "app/text_functions.h"

#include <charconv>
#include <cmath>

namespace pravenor::settings {

SettingValue SettingValue::Number(double value)
{
    SettingValue v;
    v.m_value = value;
    return v;
}

SettingValue SettingValue::Text(std::string text)
{
    SettingValue v;
    v.m_value = std::move(text);
    return v;
}

std::string SettingValue::asText() const
{
    if (const auto* text = std::get_if<std::string>(&m_value))
        return *text;
    if (const auto* number = std::get_if<double>(&m_value)) {
        if (*number == 0.0)
            return "0";
        // Fixed notation: the plain shortest form switches to an exponent whenever that is
        // shorter (100000 would read "1e+05"), and a reading must be decimal digits. The
        // longest fixed form of a double (a subnormal) is under 330 characters.
        char buffer[400];
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, *number, std::chars_format::fixed);
        if (result.ec != std::errc())
            return {};
        return std::string(buffer, result.ptr);
    }
    return {};
}

double SettingValue::asNumber() const
{
    if (const auto* number = std::get_if<double>(&m_value))
        return *number;
    if (const auto* text = std::get_if<std::string>(&m_value))
        return app::LeadingNumber(*text);
    return 0.0;
}

std::optional<std::int16_t> SettingValue::asWhole() const
{
    return app::ToWhole16(asNumber());
}

} // namespace pravenor::settings
