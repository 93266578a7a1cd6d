#include "sim/fleet_settings.h"

#include "sim/converter_model.h"

namespace pravenor::sim {

namespace {

constexpr int kNamedText = ConverterModel::kFirstTextItem;
constexpr int kNumberedCode = ConverterModel::kFirstCodeItem;
constexpr int kCodes = 16;

} // namespace

void GiveUnitItsOwnSettings(ConverterModel& model, int unit)
{
    model.setText(kNamedText, "Unit " + std::to_string(unit));
    model.setNumber(kNumberedCode, unit % kCodes);
}

std::string FleetUnitName(int unit)
{
    return "sim-" + std::to_string(unit);
}

} // namespace pravenor::sim
