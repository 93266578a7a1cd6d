#include "program/unit_compare.h"

#include "program/commands.h"
#include "program/program.h"
#include "settings/catalogue.h"
#include "settings/write_plan.h"

namespace pravenor::program {

UnitCompare::UnitCompare(Program& program) : m_screen(ScreenValues(program))
{
    ReadAll(program);
}

std::vector<SettingDifference> UnitCompare::finish(Program& program, bool readDone)
{
    const settings::ValueStores::Store shown = ScreenValues(program);
    const settings::ValueStores::Store& unit = program.stores.UnitValues;
    for (int item = 0; item < settings::kItemCount; ++item) {
        const auto at = static_cast<std::size_t>(item);
        if (!settings::ItemIsImplemented(item) ||
            settings::SameSetting(item, shown[at], m_screen[at]))
            continue;
        // Only what the read put there goes back; anything else was typed meanwhile.
        if (settings::SameSetting(item, shown[at], unit[at]))
            ShowOnScreen(program, item, m_screen[at]);
    }
    if (!readDone)
        return {};
    return CompareSettings(m_screen, unit);
}

} // namespace pravenor::program
