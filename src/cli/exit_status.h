#pragma once

namespace pravenor::cli {

// The exit statuses scripts rely on; the usage text and the manual page list them.
constexpr int kExitDone = 0;
constexpr int kExitDifferences = 1; // diff, write --verify
constexpr int kExitUsage = 2;       // bad arguments, a refused value, a file that cannot be used
constexpr int kExitPort = 3;        // the port does not open, or went and stayed away
constexpr int kExitConverter = 4;   // three failures, or a setting refused

} // namespace pravenor::cli
