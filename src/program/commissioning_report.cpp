#include "program/commissioning_report.h"

#include "program/settings_comparison.h"
#include "settings/catalogue.h"
#include "settings/page_layout.h"

namespace pravenor::program {

namespace {

const settings::SettingValue& at(const settings::ValueStores::Store& store, int item)
{
    return store[static_cast<std::size_t>(item)];
}

bool sameValue(int item, const settings::SettingValue& a, const settings::SettingValue& b)
{
    if (settings::IsTextItem(item))
        return a.asText() == b.asText();
    return a.asWhole() == b.asWhole();
}

class Builder
{
public:
    Builder(const settings::ValueStores::Store& shown, const settings::ValueStores::Store& unit)
        : m_shown(shown), m_unit(unit)
    {
    }

    ReportValue value(int item, const std::string& legend)
    {
        ReportValue v;
        v.item = item;
        v.legend = legend;
        v.text = ValueText(item, at(m_shown, item));
        const settings::SettingValue& unit = at(m_unit, item);
        if (NeverReadFromUnit(item, unit)) {
            v.mark = UnitMark::NotRead;
            ++m_report.notRead;
        } else {
            m_report.unitSeen = true;
            if (!sameValue(item, at(m_shown, item), unit)) {
                v.mark = UnitMark::Differs;
                v.unitText = ValueText(item, unit);
                ++m_report.differing;
            }
        }
        return v;
    }

    std::vector<ReportValue> rows(std::span<const settings::PageRow> rows, int offset)
    {
        std::vector<ReportValue> values;
        for (const settings::PageRow& row : rows) {
            const int item = row.item + offset;
            if (settings::ItemInUse(item))
                values.push_back(value(item, row.legend));
        }
        return values;
    }

    CommissioningReport take() { return std::move(m_report); }
    CommissioningReport& report() { return m_report; }

private:
    const settings::ValueStores::Store& m_shown;
    const settings::ValueStores::Store& m_unit;
    CommissioningReport m_report;
};

// The boxes of "Use input: " stand without legends on the page; the report names them.
std::string useLegend(int item)
{
    const settings::ItemGroup* group = settings::GroupOf(item);
    return group && group->name ? group->name : settings::LegendText(item);
}

} // namespace

CommissioningReport BuildCommissioningReport(const ReportHeading& heading,
                                             const settings::ValueStores::Store& shown,
                                             const settings::ValueStores::Store& unit)
{
    Builder builder(shown, unit);
    builder.report().heading = heading;
    builder.report().general = builder.rows(settings::GeneralSetupRows(), 0);
    builder.report().paging = builder.rows(settings::PagingSetupRows(), 0);

    const auto frames = settings::InputFrames();
    const auto useRows = frames[0].rows;
    for (int k = 0; k < settings::kInputCount; ++k) {
        const int useItem = useRows[0].item + k;
        ReportInput input;
        input.number = k + 1;
        input.use = builder.value(useItem, useLegend(useItem));
        // "in use" is the second entry of the use list.
        if (at(shown, useItem).asWhole() != 1) {
            builder.report().unused.push_back(std::move(input));
            continue;
        }
        input.guarding = builder.value(useRows[1].item + k, useLegend(useRows[1].item + k));
        input.contactType = builder.value(useRows[2].item + k, useLegend(useRows[2].item + k));
        input.alarm = builder.rows(frames[1].rows, k);
        input.error = builder.rows(frames[2].rows, k);
        builder.report().inputs.push_back(std::move(input));
    }
    return builder.take();
}

} // namespace pravenor::program
