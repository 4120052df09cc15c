#pragma once

// Where the dialogs and the log flows are connected to the main window's
// commands (MainWindow::Hooks()).

namespace tk358 {

class MainWindow;

void WireDialogs(MainWindow& window);

}  // namespace tk358
