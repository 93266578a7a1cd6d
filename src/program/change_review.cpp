#include "program/change_review.h"

#include "program/commands.h"
#include "program/program.h"
#include "program/settings_comparison.h"
#include "settings/catalogue.h"
#include "settings/page_layout.h"

namespace pravenor::program {

ChangeReview ReviewChanges(Program& program)
{
    ChangeReview review;
    const settings::ValueStores::Store screen = ScreenValues(program);
    const auto& unit = program.stores.UnitValues;
    for (int item : ChangedSettings(program)) {
        const auto at = static_cast<std::size_t>(item);
        ChangeRow row{item, settings::SettingFullName(item), {}, ValueText(item, screen[at])};
        if (NeverReadFromUnit(item, unit[at])) {
            review.notRead.push_back(std::move(row));
        } else {
            row.unitText = ValueText(item, unit[at]);
            review.changed.push_back(std::move(row));
        }
    }
    return review;
}

void PutBackUnitValue(Program& program, int item)
{
    if (item < 0 || item >= settings::kItemCount)
        return;
    const settings::SettingValue unit = program.stores.UnitValues[static_cast<std::size_t>(item)];
    if (!NeverReadFromUnit(item, unit))
        ShowOnScreen(program, item, unit);
}

} // namespace pravenor::program
