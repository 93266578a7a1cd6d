#pragma once

#include "settings/catalogue.h"

#include <span>
#include <string>

namespace pravenor::settings {

// Where the settings stand on the pages, as rows of one table that the window's page
// factory builds widgets from and that text front ends use to name a setting. On the input
// pages a row's item is its base plus the input's index k (0 for input 1 .. 7 for input 8):
// the same rows hold the same items on all eight pages.
enum class RowKind
{
    Choice, // a combo box; the item is a choice item
    Text,   // a text box; the item is a text item
};

struct PageRow
{
    int item; // on an input page: the item of input 1
    RowKind kind;
    const char* legend; // the text beside the control; empty: none
    bool sameRow;       // beside the previous control rather than below it
};

// A frame on every input page: "Use input: ", "Generate Alarm message: ",
// "Generate Error message: ".
struct InputFrame
{
    const char* name; // Frame3, Frame4, Frame5
    const char* caption;
    std::span<const PageRow> rows;
};

std::span<const PageRow> GeneralSetupRows(); // items 0 and 9
std::span<const PageRow> PagingSetupRows();  // eleven items, six of them in use
std::span<const InputFrame> InputFrames();

// The input (1..8) whose page shows the item, or 0 for the other pages.
int InputOf(int item);
// The legend that stands beside the item's control, on a shown page or on the unseen one
// ("Input 3" for item 22).
std::string LegendText(int item);
// The legend of an item as a person reads it, with the input for the input pages
// ("Input 3, Repeat:"); empty for an item on no page.
std::string ItemLegend(int item);
// The one name of a setting that tells it from every other: the input and, where the alarm and
// the error frame ask the same questions, the frame ("Input 5, Error, Text at failure:");
// "Item N" for an item that stands on no page.
std::string SettingFullName(int item);

} // namespace pravenor::settings
