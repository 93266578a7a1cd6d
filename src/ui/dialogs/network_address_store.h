#pragma once

#include <QString>

namespace pravenor::ui {

// The serial device server chosen in "Program Setup", kept per user in the system's place
// for settings (~/.config/Quilmar/Pravenor.ini on Linux), not in Pravenor.set, whose lines
// other tools read as they are.
QString StoredNetworkAddress();
void StoreNetworkAddress(const QString& address);

} // namespace pravenor::ui
