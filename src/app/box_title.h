#pragma once

namespace pravenor::app {

// The title of the program's message boxes: its confirmations and the engine's failure box.
inline constexpr const char* kBoxTitle = "Pravenor by Quilmar";

} // namespace pravenor::app
