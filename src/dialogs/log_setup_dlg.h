// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Rejestracja do pliku": edits a copy of the logging options. The owner reads
// Result() after the dialog ended with Accepted; Cancel hands nothing back.

#include <QDialog>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

#include "dialogs/message_box.h"
#include "present/log_setup.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimeEdit;

namespace tk358 {

// The file picked with "...": its path and the filter in use (0 text, 1 CSV).
struct ChosenFile {
    QString path;
    int filterIndex = 0;
};
// Gets the path in the file field, to start in its folder.
using FileChooser =
    std::function<std::optional<ChosenFile>(QWidget* parent, const QString& currentPath)>;

// The program's own file dialog "Wybierz plik raportu" with the text and CSV
// filters, opened in the folder of `currentPath` when that exists, with an empty
// name. A name typed without an extension takes the selected filter's. Choosing
// an existing file asks nothing here: opening the log asks whether to append.
std::optional<ChosenFile> ChooseReportFile(QWidget* parent, const QString& currentPath);

namespace test {
struct LogSetupDlgProbe;
}

class CLogSetupDlg : public QDialog {
    Q_OBJECT

public:
    explicit CLogSetupDlg(const LogSetup& setup, QWidget* parent = nullptr);
    ~CLogSetupDlg() override;

    // The edited options; meaningful after the dialog ended with Accepted.
    const LogSetup& Result() const { return setup_; }

    // Tests replace the message boxes; nullptr restores them.
    void SetMessageSink(MessageSink* sink) { sink_ = sink != nullptr ? sink : &boxes_; }

public slots:
    void accept() override;

private:
    // Tests choose the report file without the file dialog.
    friend struct test::LogSetupDlgProbe;

    QLayout* BuildFileRows();
    QLayout* BuildFormatColumns();
    QLayout* BuildQuantityRow();
    void Fill();
    void ApplyEnableRules();
    void TakeInterval();
    void TakeFilePath();
    void ChooseFile();

    LogSetup setup_;
    FileChooser chooser_;
    MessageBoxSink boxes_;
    MessageSink* sink_ = &boxes_;

    QCheckBox* loggingBox_ = nullptr;
    QTimeEdit* intervalEdit_ = nullptr;
    QLineEdit* fileEdit_ = nullptr;
    QPushButton* browseButton_ = nullptr;
    QButtonGroup* separatorGroup_ = nullptr;
    QButtonGroup* decimalGroup_ = nullptr;
    QCheckBox* temperatureBox_ = nullptr;
    QCheckBox* setpointBox_ = nullptr;
    QCheckBox* secondSetpointBox_ = nullptr;
    QCheckBox* commentBox_ = nullptr;
    QPlainTextEdit* commentEdit_ = nullptr;
    // Enabled exactly while logging is on.
    QList<QWidget*> loggingControls_;
};

}  // namespace tk358
