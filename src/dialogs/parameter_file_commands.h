// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Panel" -> "Zapisz parametry do pliku..." and "Wczytaj parametry z pliku...".
// Each asks for the file, reads the panel's set afresh with a progress bar
// and then saves it, or checks the file and opens the comparison dialog.
// `sink` replaces the message boxes (tests); nullptr shows real boxes.

#include <QString>

class QWidget;

namespace tk358 {

class MessageSink;
class PanelAccess;

void RunSaveParametersCommand(PanelAccess& session, QWidget* parent, MessageSink* sink = nullptr);
void RunLoadParametersCommand(PanelAccess& session, QWidget* parent, MessageSink* sink = nullptr);

// The two commands after the file has been chosen.
void SaveParametersTo(PanelAccess& session, const QString& path, QWidget* parent,
                      MessageSink& sink);
void LoadParametersFrom(PanelAccess& session, const QString& path, QWidget* parent,
                        MessageSink& sink);

}  // namespace tk358
