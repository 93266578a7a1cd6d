#pragma once

class QWidget;

namespace pravenor::ui {

// Gives the window's pages, frames, buttons and legends their English texts, by the names
// of their widgets. One fixed table, no conditions: the result is the same whatever the
// unit, the debug level or the settings.
void SetDisplayTexts(QWidget* window);

} // namespace pravenor::ui
