// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The panel link as the main window sees it: the records and write operations
// of PanelAccess plus opening and closing the port. `PanelSession` implements
// it; the application owns the session and hands it to the window, so window
// tests can use a fake.

#include "link/panel_access.h"

namespace tk358 {

class PanelConnection : public PanelAccess {
public:
    // Opens COM `comPortNumber` and starts the poll thread. False when the port
    // cannot be opened; LastOpenError() then tells why (an errno value, such as
    // EACCES for a missing group membership or EBUSY for a port in use).
    virtual bool Open(int comPortNumber) = 0;
    // Stops the poll thread, switches monitoring off when the panel was
    // identified and closes the port. Safe when already closed.
    virtual void Close() = 0;
    virtual int LastOpenError() const = 0;
};

}  // namespace tk358
