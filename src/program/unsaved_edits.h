#pragma once

#include <string>
#include <vector>

namespace pravenor::program {

class Program;

// The settings in use whose on-screen value is neither what the converter was last seen to
// hold nor what the last settings file held: edits that a load, a Program Setup "Save" or
// the end of the program would throw away. A write asked for counts as keeping it. In item
// order.
std::vector<int> UnsavedEdits(Program& program);

// The line a confirmation adds for them, as CR LF separated lines in the box:
// "3 settings changed on screen were neither written to the unit nor saved to a file."
std::string UnsavedEditsLine(int count);

} // namespace pravenor::program
