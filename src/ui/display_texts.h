#pragma once

class QWidget;

namespace pravenor::ui {

// Gives the window's frames, legends and single-setting buttons their English texts, by the
// names of their widgets: the frame captions and legends from the page table, and "Read"
// and "Write" on the pairs that are not left with their design captions. The window builds
// every other widget with its English text already. No conditions: the result is the same
// whatever the unit, the debug level or the settings.
void SetDisplayTexts(QWidget* window);

} // namespace pravenor::ui
