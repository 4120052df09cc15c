// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The "Panel" menu commands that open the set-point, PID, CV, information and
// clock dialogs. Each runs its dialog modally over `parent` and returns its
// result, or QDialog::Rejected when nothing opened. `sink` replaces the
// message boxes (tests); nullptr shows real boxes.

class QWidget;

namespace tk358 {

class MessageSink;
class PanelAccess;

// "Informacje": the information dialog, or "Nie można odczytać informacji o panelu".
int RunPanelInfoCommand(PanelAccess& session, QWidget* parent, MessageSink* sink = nullptr);

// "Wartość zadana": two set points with times on the dual-zone controller, else one.
int RunSetpointCommand(PanelAccess& session, QWidget* parent, MessageSink* sink = nullptr);

// "Parametry PID": only for an identified panel; the dual-zone controller asks
// for the zone first and opens nothing when that choice is cancelled.
int RunPidCommand(PanelAccess& session, QWidget* parent, MessageSink* sink = nullptr);

// "Ustawienia CV".
int RunCvCommand(PanelAccess& session, QWidget* parent, MessageSink* sink = nullptr);

// "Ustawienia czasu".
int RunClockCommand(PanelAccess& session, QWidget* parent, MessageSink* sink = nullptr);

}  // namespace tk358
