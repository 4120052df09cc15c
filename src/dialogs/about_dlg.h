// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "O programie": the program's name, version and purpose, and where to reach
// its makers.

#include <QDialog>

namespace tk358 {

class HyperlinkLabel;

// The makers' addresses shown as links.
inline constexpr char kServiceMailTarget[] = "mailto:serwis@tk358.example";
inline constexpr char kWebSiteTarget[] = "https://tk358.example/";

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    HyperlinkLabel* MailLink() const { return mailLink_; }
    HyperlinkLabel* WebLink() const { return webLink_; }

private:
    HyperlinkLabel* mailLink_ = nullptr;
    HyperlinkLabel* webLink_ = nullptr;
};

// Runs the About box modally over `parent`.
void ShowAboutBox(QWidget* parent);

}  // namespace tk358
