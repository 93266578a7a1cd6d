#pragma once

#include "program/settings_comparison.h"
#include "settings/value_stores.h"

#include <vector>

namespace pravenor::program {

struct Program;

// "Compare with the unit": a read-all that leaves the screen as it was. What the screen shows
// is kept before the read and put back after it, wherever the read replaced it (an edit made
// while the read ran stays), so that the read only tells what the unit holds.
class UnitCompare
{
public:
    // Keeps the screen and asks for the read-all.
    explicit UnitCompare(Program& program);

    // Once the read-all has ended: the screen is put back, and where the read was done the
    // settings in which screen and unit differ are returned (none where it was not).
    std::vector<SettingDifference> finish(Program& program, bool readDone);

private:
    settings::ValueStores::Store m_screen;
};

} // namespace pravenor::program
