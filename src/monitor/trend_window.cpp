#include "monitor/trend_window.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSaveFile>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "monitor/trend_chart.h"
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

}  // namespace

TrendWindow::TrendWindow(const TrendRecorder& recorder, QWidget* parent)
    : QWidget(parent, Qt::Window), recorder_(recorder), chooser_(ChooseWithDialog) {
    setObjectName(QStringLiteral("trendWindow"));
    // A window of its own on the task bar: it says whose chart it is.
    setWindowTitle(QStringLiteral("%1 — tk358").arg(QString::fromUtf8(kTrendTitle)));
    chart_ = new TrendChart(recorder_, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(BuildBar());
    layout->addWidget(chart_, 1);
    connect(chart_, &TrendChart::viewChanged, this, [this] {
        ShowViewState();
        emit spanChanged(static_cast<int>(std::lround(chart_->View().Span())));
    });
    ShowViewState();
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
    connect(follow_, &QPushButton::clicked, chart_, &TrendChart::FollowNewest);
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
    emit spanChanged(static_cast<int>(std::lround(chart_->View().Span())));
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
    follow_->setEnabled(!chart_->View().Following());
}

// --- Exports ------------------------------------------------------------------

QString TrendWindow::Choose(const QString& caption, const QString& suffix, const QString& filter) {
    const QString name =
        QStringLiteral("wykres-%1.%2")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmm")), suffix);
    QString path = chooser_(this, caption, QDir::home().filePath(name), filter);
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
    const std::string text = BuildTrendCsv(recorder_, view.Start(), view.End(), options);
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
