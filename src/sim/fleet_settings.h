#pragma once

#include <string>

namespace pravenor::sim {

class ConverterModel;

// Many converters served at once each hold settings of their own, so that a unit that got
// another unit's file, or a file read from another unit, shows: unit n (from 1) names itself
// in the first alarm text and carries n in a bleep code.
void GiveUnitItsOwnSettings(ConverterModel& model, int unit);

// "sim-3": how a served fleet names unit n, as a sites file takes it.
std::string FleetUnitName(int unit);

} // namespace pravenor::sim
