#pragma once

#include "settings/catalogue.h"
#include "settings/setting_value.h"

#include <array>
#include <cstdint>

namespace pravenor::settings {

// Pending exchange of an item.
constexpr std::int16_t kNoRequest = 0;
constexpr std::int16_t kReadRequest = 1;
constexpr std::int16_t kWriteRequest = 10;

// The state of every item: three value stores and the pending requests, indexed by item
// number 0..250.
struct ValueStores
{
    using Store = std::array<SettingValue, kItemCount>;

    Store FileValues; // as last loaded from or saved to a settings file
    Store WorkValues; // what the controls show and what is written to the converter
    Store UnitValues; // what the converter holds as far as we have seen; -1: not seen yet
    std::array<std::int16_t, kItemCount> ItemRequest{};

    void FileToWork();
    void WorkToFile();
    void ForgetWorkValues();
    void ForgetUnitValues();
    void ClearItemRequests(); // entries 0..kLastServedItem; nothing ever sets the last
};

} // namespace pravenor::settings
