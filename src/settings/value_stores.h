#pragma once

#include "settings/catalogue.h"
#include "settings/setting_value.h"

#include <array>
#include <cstdint>

namespace pravenor::settings {

// Pending exchange of an item, with the numbers the converter program has always used.
enum class Request : std::int16_t
{
    None = 0,
    Read = 1,
    Write = 10
};

// The state of every item: three value stores and the pending requests, indexed by item
// number 0..250.
struct ValueStores
{
    using Store = std::array<SettingValue, kItemCount>;

    Store FileValues; // as last loaded from or saved to a settings file
    Store WorkValues; // what the controls show and what is written to the converter
    Store UnitValues; // what the converter holds as far as we have seen; -1: not seen yet
    std::array<Request, kItemCount> ItemRequest{};

    void FileToWork();
    void WorkToFile();
    void ForgetWorkValues();
    void ForgetUnitValues();
    void ClearItemRequests(); // entries 0..kLastServedItem; nothing ever sets the last
};

} // namespace pravenor::settings
