#pragma once

#include <string>
#include <vector>

namespace pravenor::program {

class Program;

// One setting whose screen value is not what the converter was last seen to hold.
struct ChangeRow
{
    int item = 0;
    std::string name;       // the full name; Windows-1252
    std::string unitText;   // what the unit holds, as the screen would show it
    std::string screenText; // what the screen shows
};

struct ChangeReview
{
    std::vector<ChangeRow> changed; // the unit's value is known and differs
    std::vector<ChangeRow> notRead; // never read from the unit (unitText empty)
};

// The settings shown red, in item order, split into those the unit was seen to hold otherwise
// and those never read.
ChangeReview ReviewChanges(Program& program);

// The undo of an edit: the value the unit was last seen to hold back on screen (and in
// WorkValues, as a read would put it). Nothing for a setting never read.
void PutBackUnitValue(Program& program, int item);

} // namespace pravenor::program
