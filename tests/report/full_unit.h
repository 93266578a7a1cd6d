#pragma once

#include "settings/catalogue.h"
#include "settings/value_stores.h"

#include <string>

namespace pravenor::test {

// A converter with all eight inputs in use and a different text, address and code on each, as
// a commissioned site has them.
inline settings::ValueStores::Store FullUnit()
{
    settings::ValueStores::Store values;
    auto set = [&](int item, settings::SettingValue value) {
        values[static_cast<std::size_t>(item)] = std::move(value);
    };
    using settings::SettingValue;
    set(0, SettingValue::Number(1));
    set(9, SettingValue::Number(1));
    for (int item : {10, 11, 12, 13, 14, 17})
        set(item, SettingValue::Number(item == 10 ? 3 : 1));
    const char* places[] = {"Entrance door", "Server room", "Boiler house", "Fire panel",
                            "Loading bay",   "Cold store",  "Lift motor",   "Roof hatch"};
    for (int k = 0; k < settings::kInputCount; ++k) {
        const std::string place = places[k];
        set(20 + k, SettingValue::Number(1));
        set(28 + k, SettingValue::Number(k % 2));
        set(36 + k, SettingValue::Number((k + 1) % 2));
        set(44 + k, SettingValue::Number(6 + k));
        set(52 + k, SettingValue::Number(1 + k));
        set(60 + k, SettingValue::Number(0));
        set(68 + k, SettingValue::Number(3 + k));
        set(76 + k, SettingValue::Number(9));
        set(84 + k, SettingValue::Number(k % 3));
        set(100 + k, SettingValue::Text(place + " normal again"));
        set(108 + k, SettingValue::Text(place + " ALARM"));
        set(116 + k, SettingValue::Text(place + " contact failure"));
        set(124 + k, SettingValue::Text(place + " contact restored"));
        set(132 + k, SettingValue::Text(std::to_string(1001 + k)));
        set(140 + k, SettingValue::Text(std::to_string(1901 + k)));
    }
    return values;
}

} // namespace pravenor::test
