#include "settings/page_layout.h"

#include <array>

namespace pravenor::settings {

namespace {

constexpr std::size_t RowCount(Page page)
{
    std::size_t count = 0;
    for (const ItemGroup& group : ItemGroups())
        count += group.place.page == page ? 1 : 0;
    return count;
}

// The rows of a page or frame in their order top to bottom. The boxes of "Use input: " stand
// without legends: theirs lie on a page nobody sees.
template <Page page> constexpr auto RowsOf()
{
    std::array<PageRow, RowCount(page)> rows{};
    for (const ItemGroup& group : ItemGroups()) {
        if (group.place.page != page)
            continue;
        rows[static_cast<std::size_t>(group.place.row)] =
            PageRow{group.first, group.kind == ItemKind::Text ? RowKind::Text : RowKind::Choice,
                    page == Page::UseFrame ? "" : group.legend, group.place.sameRow};
    }
    return rows;
}

// Every row taken by exactly one group: the rows were numbered without a gap.
template <std::size_t n> constexpr bool EveryRowFilled(const std::array<PageRow, n>& rows)
{
    for (const PageRow& row : rows) {
        if (row.legend == nullptr)
            return false;
    }
    return true;
}

constexpr auto kGeneral = RowsOf<Page::GeneralSetup>();
constexpr auto kPaging = RowsOf<Page::PagingSetup>();
constexpr auto kUse = RowsOf<Page::UseFrame>();
constexpr auto kAlarm = RowsOf<Page::AlarmFrame>();
constexpr auto kError = RowsOf<Page::ErrorFrame>();
static_assert(EveryRowFilled(kGeneral) && EveryRowFilled(kPaging) && EveryRowFilled(kUse) &&
              EveryRowFilled(kAlarm) && EveryRowFilled(kError));

const std::array kFrames{
    InputFrame{"Frame3", "Use input: ", kUse},
    InputFrame{"Frame4", "Generate Alarm message: ", kAlarm},
    InputFrame{"Frame5", "Generate Error message: ", kError},
};

bool OnInputPage(const ItemGroup& group)
{
    const Page page = group.place.page;
    return page == Page::UseFrame || page == Page::AlarmFrame || page == Page::ErrorFrame;
}

} // namespace

std::span<const PageRow> GeneralSetupRows()
{
    return kGeneral;
}

std::span<const PageRow> PagingSetupRows()
{
    return kPaging;
}

std::span<const InputFrame> InputFrames()
{
    return kFrames;
}

int InputOf(int item)
{
    const ItemGroup* group = GroupOf(item);
    return group && OnInputPage(*group) ? item - group->first + 1 : 0;
}

std::string LegendText(int item)
{
    const ItemGroup* group = GroupOf(item);
    if (!group)
        return {};
    std::string text = group->legend;
    if (const auto mark = text.find('#'); mark != std::string::npos)
        text.replace(mark, 1, std::to_string(item - group->first + 1));
    return text;
}

std::string ItemLegend(int item)
{
    const ItemGroup* group = GroupOf(item);
    if (!group || group->place.page == Page::Unseen)
        return {};
    if (!OnInputPage(*group))
        return group->legend;
    const std::string legend = group->name ? group->name : group->legend;
    return "Input " + std::to_string(InputOf(item)) + ", " + legend;
}

std::string SettingFullName(int item)
{
    const ItemGroup* group = GroupOf(item);
    const std::string legend = ItemLegend(item);
    if (!group || legend.empty())
        return "Item " + std::to_string(item);
    const Page page = group->place.page;
    if (page != Page::AlarmFrame && page != Page::ErrorFrame)
        return legend;
    return "Input " + std::to_string(InputOf(item)) +
           (page == Page::AlarmFrame ? ", Alarm, " : ", Error, ") + group->legend;
}

} // namespace pravenor::settings
