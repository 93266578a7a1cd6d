#include "settings/page_layout.h"

#include <array>

namespace pravenor::settings {

namespace {

constexpr std::array kGeneral{
    PageRow{0, RowKind::Choice, "Serial Diagnose level:", false},
    PageRow{9, RowKind::Choice, "Error on Guarded inputs:", false},
};

constexpr std::array kPaging{
    PageRow{10, RowKind::Choice, "Paging serial speed:", false},
    PageRow{11, RowKind::Choice, "Paging serial nr of bits:", false},
    PageRow{12, RowKind::Choice, "Paging serial nr of stopbits:", false},
    PageRow{13, RowKind::Choice, "Paging serial parity:", false},
    PageRow{14, RowKind::Choice, "Paging serial handshake:", false},
    PageRow{17, RowKind::Choice, "Paging ask for status:", false},
    PageRow{5, RowKind::Choice, "Paging limit address length to:", false},
    PageRow{7, RowKind::Choice, "Paging limit message length to:", false},
    PageRow{15, RowKind::Choice, "Paging system in use:", false},
    PageRow{19, RowKind::Choice, "Paging info for BOSCH system:", false},
    PageRow{18, RowKind::Choice, "Paging fixed info for BOSCH system:", false},
};

constexpr std::array kUse{
    PageRow{20, RowKind::Choice, "", false},
    PageRow{28, RowKind::Choice, "", true},
    PageRow{36, RowKind::Choice, "", true},
};

constexpr std::array kAlarm{
    PageRow{132, RowKind::Text, "Address:", false},
    PageRow{108, RowKind::Text, "Text at alarm:", false},
    PageRow{100, RowKind::Text, "Text Idle after Alarm:", false},
    PageRow{68, RowKind::Choice, "Bleepcode Alarm:", false},
    PageRow{60, RowKind::Choice, "Bleepcode Idle:", true},
    PageRow{44, RowKind::Choice, "Repeat:", false},
};

constexpr std::array kError{
    PageRow{140, RowKind::Text, "Address:", false},
    PageRow{116, RowKind::Text, "Text at failure:", false},
    PageRow{124, RowKind::Text, "Text Idle after failure:", false},
    PageRow{76, RowKind::Choice, "Bleepcode failure:", false},
    PageRow{84, RowKind::Choice, "Bleepcode Idle:", true},
    PageRow{52, RowKind::Choice, "Repeat:", false},
};

const std::array kFrames{
    InputFrame{"Frame3", "Use input: ", kUse},
    InputFrame{"Frame4", "Generate Alarm message: ", kAlarm},
    InputFrame{"Frame5", "Generate Error message: ", kError},
};

// The three unlabelled boxes of "Use input: " are named as the hidden legends call them.
const char* UseLegend(int base)
{
    return base == 20 ? "Use:" : base == 28 ? "Guard:" : "Type:";
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
    for (const InputFrame& frame : kFrames) {
        for (const PageRow& row : frame.rows) {
            if (item >= row.item && item < row.item + kInputCount)
                return item - row.item + 1;
        }
    }
    return 0;
}

std::string ItemLegend(int item)
{
    for (auto rows : {GeneralSetupRows(), PagingSetupRows()}) {
        for (const PageRow& row : rows) {
            if (row.item == item)
                return row.legend;
        }
    }
    for (const InputFrame& frame : kFrames) {
        for (const PageRow& row : frame.rows) {
            if (item >= row.item && item < row.item + kInputCount) {
                const std::string legend = *row.legend ? row.legend : UseLegend(row.item);
                return "Input " + std::to_string(item - row.item + 1) + ", " + legend;
            }
        }
    }
    return {};
}

} // namespace pravenor::settings
