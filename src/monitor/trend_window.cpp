// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/trend_window.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "monitor/history_loader.h"
#include "monitor/trend_chart.h"
#include "trend/history_csv.h"
#include "trend/trend_history.h"
#include "trend/trend_recorder.h"

namespace tk358 {

namespace {

QString ChooseWithDialog(QWidget* parent, const QString& caption, const QString& suggested,
                         const QString& filter) {
    QFileDialog dialog(parent, caption, suggested, filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QFileInfo(suggested).suffix());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

QPushButton* MakeButton(const QString& text, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

// The spans are compact tool buttons, so the bar fits a narrow window.
QToolButton* MakeSpanButton(const QString& text, const QString& name, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setObjectName(name);
    button->setCheckable(true);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

QStringList ChooseLogsWithDialog(QWidget* parent) {
    QFileDialog dialog(
        parent, QStringLiteral("Otwórz plik rejestracji pomiarów"), QDir::homePath(),
        QStringLiteral("Pliki rejestracji (*.csv *.txt *.log);;Wszystkie pliki (*)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

// The local files among dropped URLs.
QStringList LocalFiles(const QMimeData* data) {
    QStringList files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            files << url.toLocalFile();
        }
    }
    return files;
}

}  // namespace

TrendWindow::TrendWindow(const TrendRecorder& recorder, QWidget* parent)
    : QWidget(parent, Qt::Window), recorder_(recorder) {
    setObjectName(QStringLiteral("trendWindow"));
    // A window of its own on the task bar: it says whose chart it is.
    chart_ = new TrendChart(recorder_, this);
    ShowTitle();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(BuildBar());
    layout->addWidget(BuildLoadRow());
    layout->addWidget(chart_, 1);
    connect(chart_, &TrendChart::viewChanged, this, [this] {
        ShowViewState();
        if (!chart_->ShowingHistory()) {
            emit spanChanged(static_cast<int>(std::lround(chart_->View().Span())));
        }
    });
    loader_ = new HistoryLoader(this);
    connect(loader_, &HistoryLoader::progress, progress_, &QProgressBar::setValue);
    connect(loader_, &HistoryLoader::finished, this, &TrendWindow::HistoryLoaded);
    setAcceptDrops(true);
    ShowViewState();
}

QWidget* TrendWindow::BuildLoadRow() {
    loadRow_ = new QWidget(this);
    auto* row = new QHBoxLayout(loadRow_);
    row->setContentsMargins(0, 0, 0, 0);
    openLog_ =
        MakeButton(QStringLiteral("Otwórz &rejestrację…"), QStringLiteral("openLog"), loadRow_);
    openLog_->setToolTip(
        QStringLiteral("Pokaż na wykresie plik rejestracji pomiarów (lub upuść go na okno)"));
    connect(openLog_, &QPushButton::clicked, this, &TrendWindow::ChooseAndOpenLogs);
    row->addWidget(openLog_);
    note_ = new QLabel(loadRow_);
    note_->setObjectName(QStringLiteral("historyNote"));
    row->addWidget(note_, 1);
    progress_ = new QProgressBar(loadRow_);
    progress_->setObjectName(QStringLiteral("historyProgress"));
    progress_->setRange(0, 1000);
    progress_->setTextVisible(false);
    row->addWidget(progress_, 1);
    cancel_ = MakeButton(QStringLiteral("&Anuluj"), QStringLiteral("cancelLoad"), loadRow_);
    connect(cancel_, &QPushButton::clicked, this, [this] { loader_->Cancel(); });
    row->addWidget(cancel_);
    progress_->hide();
    cancel_->hide();
    return loadRow_;
}

QWidget* TrendWindow::BuildBar() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(QStringLiteral("Zakres:"), bar));
    spans_ = new QButtonGroup(this);
    for (std::size_t i = 0; i < kTrendSpans.size(); ++i) {
        QToolButton* button = MakeSpanButton(QString::fromUtf8(kTrendSpanLabels[i]),
                                             QStringLiteral("span%1").arg(kTrendSpans[i]), bar);
        spans_->addButton(button, static_cast<int>(i));
        row->addWidget(button);
    }
    connect(spans_, &QButtonGroup::idClicked, this,
            [this](int id) { SetSpan(kTrendSpans[static_cast<std::size_t>(id)]); });
    row->addStretch(1);
    follow_ = MakeButton(QStringLiteral("&Bieżące"), QStringLiteral("follow"), bar);
    follow_->setToolTip(QStringLiteral("Wróć do najnowszych odczytów"));
    connect(follow_, &QPushButton::clicked, this,
            [this] { chart_->ShowingHistory() ? ShowLive() : chart_->FollowNewest(); });
    row->addWidget(follow_);
    savePng_ = MakeButton(QStringLiteral("Zapisz &obraz…"), QStringLiteral("savePng"), bar);
    connect(savePng_, &QPushButton::clicked, this, &TrendWindow::ChooseAndSavePng);
    row->addWidget(savePng_);
    saveCsv_ = MakeButton(QStringLiteral("Zapisz &dane…"), QStringLiteral("saveCsv"), bar);
    saveCsv_->setToolTip(QStringLiteral("Zapisz widoczne odczyty w formacie pliku rejestracji"));
    connect(saveCsv_, &QPushButton::clicked, this, &TrendWindow::ChooseAndSaveCsv);
    row->addWidget(saveCsv_);
    return bar;
}

void TrendWindow::SetSpan(int seconds) {
    chart_->SetSpan(seconds);
    ShowViewState();
    if (!chart_->ShowingHistory()) {
        emit spanChanged(static_cast<int>(std::lround(chart_->View().Span())));
    }
}

void TrendWindow::ShowViewState() {
    const std::optional<int> index = chart_->View().SpanIndex();
    if (index) {
        spans_->button(*index)->setChecked(true);
    } else if (QAbstractButton* checked = spans_->checkedButton()) {
        // A zoomed span matches no button.
        spans_->setExclusive(false);
        checked->setChecked(false);
        spans_->setExclusive(true);
    }
    follow_->setEnabled(chart_->ShowingHistory() || !chart_->View().Following());
}

// --- History ------------------------------------------------------------------

void TrendWindow::ChooseAndOpenLogs() {
    const QStringList files = ChooseLogsWithDialog(this);
    if (!files.isEmpty()) {
        OpenLogs(files);
    }
}

void TrendWindow::OpenLogs(const QStringList& files) {
    loading_ = files;
    progress_->setValue(0);
    note_->setText(QStringLiteral("Odczyt: %1").arg(QFileInfo(files.first()).fileName()));
    progress_->show();
    cancel_->show();
    loader_->Start(files);
}

void TrendWindow::HistoryLoaded(const std::shared_ptr<TrendHistory>& history) {
    progress_->hide();
    cancel_->hide();
    if (history != nullptr && history->Empty()) {
        sink_->Show(this, MessageIcon::Warning,
                    QString::fromUtf8(kTrendNoReadings)
                        .arg(QDir::toNativeSeparators(loading_.join(QStringLiteral(", ")))));
    } else if (history != nullptr) {
        history_ = history;
        chart_->ShowSource(history_.get());
        ShowTitle();
        ShowViewState();
    }
    ShowSkipped();  // of the history shown, which a cancelled read leaves
}

void TrendWindow::ShowSkipped() {
    const uint64_t skipped = history_ != nullptr ? history_->Result().stats.skipped : 0;
    note_->setText(
        skipped == 0
            ? QString()
            : QStringLiteral("Pominięte wiersze (komentarze, uszkodzone): %1").arg(skipped));
}

void TrendWindow::ShowLive() {
    loader_->Cancel();
    chart_->ShowSource(nullptr);
    history_.reset();
    ShowSkipped();
    ShowTitle();
    ShowViewState();
}

void TrendWindow::ShowTitle() {
    QString title = QString::fromUtf8(kTrendTitle);
    if (history_ != nullptr) {
        const std::vector<std::string>& files = history_->Files();
        title +=
            QStringLiteral(" — ") + QFileInfo(QString::fromStdString(files.front())).fileName();
        if (files.size() > 1) {
            title += QStringLiteral(" (+%1)").arg(files.size() - 1);
        }
    }
    setWindowTitle(QStringLiteral("%1 — tk358").arg(title));
}

void TrendWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void TrendWindow::dropEvent(QDropEvent* event) {
    const QStringList files = LocalFiles(event->mimeData());
    if (!files.isEmpty()) {
        event->acceptProposedAction();
        OpenLogs(files);
    }
}

// --- Exports ------------------------------------------------------------------

QString TrendWindow::Choose(const QString& caption, const QString& suffix, const QString& filter) {
    const QString name =
        QStringLiteral("wykres-%1.%2")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmm")), suffix);
    QString path = ChooseWithDialog(this, caption, QDir::home().filePath(name), filter);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) {
        path += QLatin1Char('.') + suffix;
    }
    return path;
}

void TrendWindow::ChooseAndSavePng() {
    const QString path = Choose(QStringLiteral("Zapisz wykres jako obraz"), QStringLiteral("png"),
                                QStringLiteral("Obrazy PNG (*.png)"));
    if (!path.isEmpty() && !SavePng(path)) {
        sink_->Show(this, MessageIcon::Warning,
                    QString::fromUtf8(kTrendSaveFailure).arg(QDir::toNativeSeparators(path)));
    }
}

void TrendWindow::ChooseAndSaveCsv() {
    const QString path =
        Choose(QStringLiteral("Zapisz odczyty z wykresu"), QStringLiteral("csv"),
               QStringLiteral("Pliki CSV (*.csv);;Pliki tekstowe (*.txt);;Wszystkie pliki (*)"));
    if (!path.isEmpty() && !SaveCsv(path)) {
        sink_->Show(this, MessageIcon::Warning,
                    QString::fromUtf8(kTrendSaveFailure).arg(QDir::toNativeSeparators(path)));
    }
}

bool TrendWindow::SavePng(const QString& path) {
    const QPixmap image = chart_->grab();
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit();
}

bool TrendWindow::SaveCsv(const QString& path) {
    TrendCsvOptions options = csvOptions_ ? csvOptions_() : TrendCsvOptions{};
    options.curves = chart_->CurvesShown();
    const TrendView& view = chart_->View();
    const std::string text = history_ != nullptr
                                 ? BuildHistoryCsv(*history_, view.Start(), view.End(), options)
                                 : BuildTrendCsv(recorder_, view.Start(), view.End(), options);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const auto size = static_cast<qint64>(text.size());
    return file.write(text.data(), size) == size && file.commit();
}

// --- Window events ------------------------------------------------------------

void TrendWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted()) {
        emit closedByOperator();
    }
}

void TrendWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    emit placed();
}

void TrendWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit placed();
}

}  // namespace tk358
