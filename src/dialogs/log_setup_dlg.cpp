// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/log_setup_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTime>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <utility>

#include "widgets/dialog_buttons.h"

namespace tk358 {

namespace {

const QString kTextFilter = QStringLiteral("Plik tekstowy (*.txt)");
const QString kCsvFilter = QStringLiteral("Lista CSV (*.csv)");

QString SuffixOfFilter(const QString& filter) {
    return filter == kCsvFilter ? QStringLiteral("csv") : QStringLiteral("txt");
}

// The comment is kept with the log file's CR LF line ends; the edit uses LF.
QString CommentForEdit(const std::string& text) {
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::string CommentFromEdit(const QString& text) {
    QString crlf = text;
    crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    crlf.replace(QChar('\n'), QStringLiteral("\r\n"));
    return crlf.toStdString();
}

QRadioButton* AddRadio(QButtonGroup* group, const QString& text, int code, const char* name,
                       QVBoxLayout* column) {
    auto* radio = new QRadioButton(text);
    radio->setObjectName(QLatin1String(name));
    group->addButton(radio, code);
    column->addWidget(radio);
    return radio;
}

// Qt's own file dialog, the same on every desktop. A name typed without an
// extension takes the one of the filter in use when the operator confirms.
// An existing file is a log to continue as often as one to replace: the
// chooser asks nothing, the log asks whether to append or to empty it when it
// opens the file.
class ReportFileDialog final : public QFileDialog {
public:
    explicit ReportFileDialog(QWidget* parent)
        : QFileDialog(parent, QStringLiteral("Wybierz plik raportu")) {
        setObjectName(QStringLiteral("reportFileDialog"));
        setOption(QFileDialog::DontUseNativeDialog);
        setOption(QFileDialog::DontConfirmOverwrite);
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
        setNameFilters({kTextFilter, kCsvFilter});
        selectNameFilter(kTextFilter);
    }

protected:
    void accept() override {
        setDefaultSuffix(SuffixOfFilter(selectedNameFilter()));
        QFileDialog::accept();
    }
};

}  // namespace

std::optional<ChosenFile> ChooseReportFile(QWidget* parent, const QString& currentPath) {
    ReportFileDialog dialog(parent);
    const QFileInfo current(currentPath);
    if (!currentPath.isEmpty() && current.absoluteDir().exists()) {
        dialog.setDirectory(current.absoluteDir());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const int filterIndex = dialog.selectedNameFilter() == kCsvFilter ? 1 : 0;
    return ChosenFile{dialog.selectedFiles().constFirst(), filterIndex};
}

CLogSetupDlg::CLogSetupDlg(const LogSetup& setup, QWidget* parent)
    : QDialog(parent), setup_(setup), chooser_(&ChooseReportFile) {
    setObjectName(QStringLiteral("logSetupDialog"));
    setWindowTitle(QStringLiteral("Rejestracja do pliku"));

    loggingBox_ = new QCheckBox(QStringLiteral("Rejestruj wyniki pomiarów"));
    loggingBox_->setObjectName(QStringLiteral("loggingCheck"));

    commentBox_ = new QCheckBox(QStringLiteral("Dodaj komentarz przy rozpoczęciu rejestracji:"));
    commentBox_->setObjectName(QStringLiteral("commentCheck"));
    loggingControls_ << commentBox_;
    commentEdit_ = new QPlainTextEdit;
    commentEdit_->setObjectName(QStringLiteral("commentEdit"));
    commentEdit_->setTabChangesFocus(true);
    commentEdit_->setFixedHeight(commentEdit_->fontMetrics().lineSpacing() * 4 + 12);

    auto* settings = new QGroupBox;
    auto* settingsLayout = new QVBoxLayout(settings);
    settingsLayout->addLayout(BuildFileRows());
    settingsLayout->addSpacing(6);
    settingsLayout->addLayout(BuildFormatColumns());

    auto* quantities = new QGroupBox;
    quantities->setLayout(BuildQuantityRow());

    auto* comment = new QGroupBox;
    auto* commentLayout = new QVBoxLayout(comment);
    commentLayout->addWidget(commentBox_);
    commentLayout->addWidget(commentEdit_);

    QDialogButtonBox* buttons = MakeOkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(loggingBox_);
    layout->addWidget(settings);
    layout->addWidget(quantities);
    layout->addWidget(comment);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Fill();

    connect(loggingBox_, &QCheckBox::toggled, this, [this](bool on) {
        setup_.loggingOn = on;
        ApplyEnableRules();
    });
    connect(commentBox_, &QCheckBox::toggled, this, [this](bool on) {
        setup_.commentOn = on;
        ApplyEnableRules();
    });
    connect(temperatureBox_, &QCheckBox::toggled, this,
            [this](bool on) { setup_.temperatureColumn = on; });
    connect(setpointBox_, &QCheckBox::toggled, this,
            [this](bool on) { setup_.setpointColumn = on; });
    connect(secondSetpointBox_, &QCheckBox::toggled, this,
            [this](bool on) { setup_.secondSetpointColumn = on; });
    connect(intervalEdit_, &QTimeEdit::editingFinished, this, &CLogSetupDlg::TakeInterval);
    connect(fileEdit_, &QLineEdit::editingFinished, this, &CLogSetupDlg::TakeFilePath);
    connect(browseButton_, &QPushButton::clicked, this, &CLogSetupDlg::ChooseFile);
}

CLogSetupDlg::~CLogSetupDlg() {
    // Hiding the dialog on its way out moves the focus out of these edits; their
    // focus-loss handlers must not run on a half-destroyed dialog.
    intervalEdit_->disconnect(this);
    fileEdit_->disconnect(this);
}

QLayout* CLogSetupDlg::BuildFileRows() {
    auto* intervalLabel = new QLabel(QStringLiteral("Interwał rejestracji"));
    intervalLabel->setObjectName(QStringLiteral("intervalLabel"));
    intervalEdit_ = new QTimeEdit;
    intervalEdit_->setObjectName(QStringLiteral("intervalEdit"));
    intervalEdit_->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    intervalEdit_->setTimeRange(QTime(0, 0, 0), QTime(23, 59, 59));
    // No buddy: the label stays black while the picker is greyed with the
    // other logging controls.

    auto* fileLabel = new QLabel(QStringLiteral("W pliku"));
    fileLabel->setObjectName(QStringLiteral("fileLabel"));
    fileEdit_ = new QLineEdit;
    fileEdit_->setObjectName(QStringLiteral("fileEdit"));
    fileEdit_->setMinimumWidth(fileEdit_->fontMetrics().averageCharWidth() * 42);
    fileLabel->setBuddy(fileEdit_);
    browseButton_ = new QPushButton(QStringLiteral("..."));
    browseButton_->setObjectName(QStringLiteral("browseButton"));
    browseButton_->setAutoDefault(false);  // Enter in the dialog means OK
    browseButton_->setFixedWidth(
        browseButton_->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);

    auto* grid = new QGridLayout;
    grid->addWidget(intervalLabel, 0, 0);
    grid->addWidget(intervalEdit_, 0, 1, Qt::AlignLeft);
    grid->addWidget(fileLabel, 1, 0);
    grid->addWidget(fileEdit_, 1, 1);
    grid->addWidget(browseButton_, 1, 2);
    grid->setColumnStretch(1, 1);

    loggingControls_ << intervalEdit_ << fileLabel << fileEdit_ << browseButton_;
    return grid;
}

QLayout* CLogSetupDlg::BuildFormatColumns() {
    auto* separatorLabel = new QLabel(QStringLiteral("Separator kolumn:"));
    separatorLabel->setObjectName(QStringLiteral("separatorLabel"));
    separatorGroup_ = new QButtonGroup(this);
    auto* separators = new QVBoxLayout;
    separators->addWidget(separatorLabel);
    AddRadio(separatorGroup_, QStringLiteral("Tabulator"), 1, "separatorTabRadio", separators);
    AddRadio(separatorGroup_, QStringLiteral("Przecinek"), 2, "separatorCommaRadio", separators);
    AddRadio(separatorGroup_, QStringLiteral("Średnik"), 3, "separatorSemicolonRadio", separators);
    AddRadio(separatorGroup_, QStringLiteral("Wg ustawień lokalnych"), 0, "separatorLocaleRadio",
             separators);
    separators->addStretch(1);

    auto* decimalLabel = new QLabel(QStringLiteral("Znak dziesiętny:"));
    decimalLabel->setObjectName(QStringLiteral("decimalLabel"));
    decimalGroup_ = new QButtonGroup(this);
    auto* decimals = new QVBoxLayout;
    decimals->addWidget(decimalLabel);
    AddRadio(decimalGroup_, QStringLiteral("Przecinek"), 1, "decimalCommaRadio", decimals);
    AddRadio(decimalGroup_, QStringLiteral("Kropka"), 2, "decimalPointRadio", decimals);
    AddRadio(decimalGroup_, QStringLiteral("Wg ustawień lokalnych"), 0, "decimalLocaleRadio",
             decimals);
    decimals->addStretch(1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(separators, 1);
    columns->addSpacing(12);
    columns->addLayout(decimals, 1);

    loggingControls_ << separatorLabel << decimalLabel;
    for (QAbstractButton* radio : separatorGroup_->buttons() + decimalGroup_->buttons()) {
        loggingControls_ << radio;
    }
    return columns;
}

QLayout* CLogSetupDlg::BuildQuantityRow() {
    temperatureBox_ = new QCheckBox(QStringLiteral("Temperatura"));
    temperatureBox_->setObjectName(QStringLiteral("temperatureCheck"));
    setpointBox_ = new QCheckBox(QStringLiteral("Watrość zadana"));
    setpointBox_->setObjectName(QStringLiteral("setpointCheck"));
    secondSetpointBox_ = new QCheckBox(QStringLiteral("Watrość zadana 2"));
    secondSetpointBox_->setObjectName(QStringLiteral("secondSetpointCheck"));

    auto* row = new QHBoxLayout;
    row->addWidget(temperatureBox_);
    row->addSpacing(12);
    row->addWidget(setpointBox_);
    row->addSpacing(12);
    row->addWidget(secondSetpointBox_);
    row->addStretch(1);

    loggingControls_ << temperatureBox_ << setpointBox_;
    return row;
}

void CLogSetupDlg::Fill() {
    loggingBox_->setChecked(setup_.loggingOn);
    secondSetpointBox_->setVisible(setup_.secondSetpointAvailable);
    temperatureBox_->setChecked(setup_.temperatureColumn);
    setpointBox_->setChecked(setup_.setpointColumn);
    // A stored column stays selected when its box is hidden; it still counts.
    secondSetpointBox_->setChecked(setup_.secondSetpointColumn && setup_.secondSetpointAvailable);
    commentBox_->setChecked(setup_.commentOn);
    commentEdit_->setPlainText(CommentForEdit(setup_.commentText));

    const ClockTime clock = IntervalToClock(setup_.interval);
    intervalEdit_->setTime(QTime(clock.hours, clock.minutes, clock.seconds));
    setup_.interval = ClockToInterval(clock);

    const int separator =
        setup_.separatorCode >= 1 && setup_.separatorCode <= 3 ? setup_.separatorCode : 0;
    separatorGroup_->button(separator)->setChecked(true);
    const int decimal = setup_.decimalCode == 1 || setup_.decimalCode == 2 ? setup_.decimalCode : 0;
    decimalGroup_->button(decimal)->setChecked(true);

    fileEdit_->setText(QString::fromStdString(setup_.filePath));
    ApplyEnableRules();
}

void CLogSetupDlg::ApplyEnableRules() {
    const bool on = setup_.loggingOn;
    for (QWidget* control : loggingControls_) {
        control->setEnabled(on);
    }
    secondSetpointBox_->setEnabled(on && setup_.secondSetpointAvailable);
    commentEdit_->setEnabled(on && setup_.commentOn);
}

void CLogSetupDlg::TakeInterval() {
    const QTime time = intervalEdit_->time();
    const ClockTime clock =
        time.isValid() ? ClockTime{time.hour(), time.minute(), time.second()} : ClockTime{};
    setup_.interval = ClockToInterval(clock);
    const ClockTime shown = IntervalToClock(setup_.interval);
    if (shown.hours != clock.hours || shown.minutes != clock.minutes ||
        shown.seconds != clock.seconds) {
        intervalEdit_->setTime(QTime(shown.hours, shown.minutes, shown.seconds));
    }
}

void CLogSetupDlg::TakeFilePath() {
    setup_.filePath = fileEdit_->text().toStdString();
}

void CLogSetupDlg::ChooseFile() {
    const std::optional<ChosenFile> chosen = chooser_(this, fileEdit_->text());
    if (!chosen) {
        return;
    }
    const std::string path = WithFilterExtension(chosen->path.toStdString(), chosen->filterIndex);
    setup_.filePath = path;
    fileEdit_->setText(QString::fromStdString(path));
}

void CLogSetupDlg::accept() {
    // Enter confirms without leaving the field being typed in: take it as shown.
    TakeInterval();
    TakeFilePath();
    setup_.commentText = CommentFromEdit(commentEdit_->toPlainText());
    setup_.separatorCode = separatorGroup_->checkedId() >= 0 ? separatorGroup_->checkedId() : 0;
    setup_.decimalCode = decimalGroup_->checkedId() >= 0 ? decimalGroup_->checkedId() : 0;
    if (!HasLoggedQuantity(setup_)) {
        sink_->Show(this, MessageIcon::Information,
                    QStringLiteral("Wybierz przynajmniej jedną wielkość do zapisu"));
        return;
    }
    QDialog::accept();
}

}  // namespace tk358
