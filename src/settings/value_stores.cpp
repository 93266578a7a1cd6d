#include "settings/value_stores.h"

namespace pravenor::settings {

void ValueStores::FileToWork()
{
    WorkValues = FileValues;
}

void ValueStores::WorkToFile()
{
    FileValues = WorkValues;
}

void ValueStores::ForgetWorkValues()
{
    WorkValues.fill(SettingValue::Number(-1));
}

void ValueStores::ForgetUnitValues()
{
    UnitValues.fill(SettingValue::Number(-1));
}

void ValueStores::ClearItemRequests()
{
    for (int n = 0; n <= kLastServedItem; ++n)
        ItemRequest[static_cast<std::size_t>(n)] = Request::None;
}

} // namespace pravenor::settings
