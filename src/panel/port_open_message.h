// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The operator's message when a serial port cannot be opened.

#include <string>

namespace tk358 {

// "Nie można otworzyć portu COMn", with a second line for the causes a user
// can fix: no permission (`error` EACCES or EPERM: the group that may use
// serial ports), a port held by another program (EBUSY, also for the port's
// lock) and a device that is not a serial port (ENOTTY: a COMn link in the
// port directory leading elsewhere), and a shared line whose daemon does not
// listen (ECONNREFUSED). Other errors get the first line alone.
std::string PortOpenFailureText(int portNumber, int error);

}  // namespace tk358
