#pragma once

// What the operator is told when a serial port cannot be opened.

#include <string>

namespace tk358 {

// "Nie można otworzyć portu COM<n>", with a second line for the two causes a
// user can fix: no permission (group membership) and a port held by another
// program. `error` is the errno of the failed open.
std::string PortOpenFailureMessage(int portNumber, int error);

}  // namespace tk358
