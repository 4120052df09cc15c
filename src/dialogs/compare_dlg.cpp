// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/compare_dlg.h"

#include <QBrush>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "link/parameter_codes.h"

namespace tk358 {

namespace {

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

QString KeyList(const RestoreOutcome& outcome, bool written) {
    QStringList keys;
    for (const auto& [code, result] : outcome.rows) {
        if ((result == RowOutcome::kWritten) == written) {
            keys << QString::fromLatin1(Parameter(code).key);
        }
    }
    return keys.isEmpty() ? QStringLiteral("(żadne)") : keys.join(QStringLiteral(", "));
}

// The state column after a write: what was done and what the panel holds now.
QString WrittenState(RowOutcome outcome, RowState now) {
    const QString done = QString::fromUtf8(RowOutcomeText(outcome));
    if (now == RowState::kEqual) {
        return done + QStringLiteral("; panel ma wartość z pliku");
    }
    return done + QStringLiteral("; panel ma inną wartość");
}

}  // namespace

struct CCompareDlg::Restore {
    RestoreOutcome outcome;
    std::optional<ParameterBackup> after;  // the set read back
};

CCompareDlg::CCompareDlg(PanelAccess& session, ParameterBackup panelSet, ParameterBackup file,
                         const QString& fileName, QWidget* parent)
    : PanelDialog(session,
                  {QStringLiteral("Nie można odczytać parametrów panelu"),
                   QStringLiteral("Nie można zapisać parametrów"),
                   QStringLiteral("Nie można zapisać parametrów")},
                  parent),
      panelSet_(std::move(panelSet)),
      file_(std::move(file)),
      restore_(std::make_shared<Restore>()) {
    setWindowTitle(QStringLiteral("Porównanie parametrów"));
    const PanelStamp& f = file_.panel;
    auto* source = new QLabel(QStringLiteral("Plik: %1 (%2 nr %3, %4)")
                                  .arg(QFileInfo(fileName).fileName(), Utf8(f.model),
                                       QString::number(f.serial), Utf8(f.date)),
                              Body());
    source->setObjectName(QStringLiteral("fileLabel"));
    summary_ = new QLabel(Body());
    summary_->setObjectName(QStringLiteral("summaryLabel"));
    rows_ = new QTreeWidget(Body());
    rows_->setObjectName(QStringLiteral("compareRows"));
    rows_->setColumnCount(4);
    rows_->setHeaderLabels({QStringLiteral("Parametr"), QStringLiteral("Panel"),
                            QStringLiteral("Plik"), QStringLiteral("Stan")});
    rows_->setRootIsDecorated(false);
    rows_->setUniformRowHeights(true);
    rows_->setMinimumSize(680, 400);
    rows_->header()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(Body());
    layout->addWidget(source);
    layout->addWidget(summary_);
    layout->addWidget(rows_, 1);
}

bool CCompareDlg::Fill() {
    compared_ = CompareSets(panelSet_, file_);
    ShowRows();
    ShowSummary();
    rows_->setFocus(Qt::OtherFocusReason);
    return true;
}

void CCompareDlg::ShowRows() {
    rows_->clear();
    for (std::size_t i = 0; i < compared_.size(); ++i) {
        const CompareRow& row = compared_[i];
        auto* item = new QTreeWidgetItem(rows_);
        item->setData(kLabelColumn, Qt::UserRole, row.code);
        item->setText(kLabelColumn, Utf8(row.label));
        item->setToolTip(kLabelColumn, QString::fromLatin1(row.key.c_str()));
        item->setText(kPanelColumn, row.panel ? Utf8(row.panelText) : QStringLiteral("—"));
        item->setText(kFileColumn, row.file ? Utf8(row.fileText) : QStringLiteral("—"));
        item->setText(kStateColumn, QString::fromUtf8(RowStateText(row.state)));
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (row.state == RowState::kDifferent) {
            flags |= Qt::ItemIsUserCheckable;
            item->setCheckState(kLabelColumn, Qt::Checked);
            QFont bold = item->font(kLabelColumn);
            bold.setBold(true);
            for (int c = 0; c < rows_->columnCount(); ++c) {
                item->setFont(c, bold);
                item->setBackground(c, QBrush(QColor(255, 236, 200)));
            }
        } else if (row.state != RowState::kEqual) {
            item->setForeground(kStateColumn, QBrush(Qt::darkGray));
        }
        item->setFlags(flags);
    }
    for (int c = 0; c < kStateColumn; ++c) {
        rows_->resizeColumnToContents(c);
    }
    if (rows_->topLevelItemCount() > 0) {
        rows_->setCurrentItem(rows_->topLevelItem(0));
    }
}

void CCompareDlg::ShowSummary() {
    const std::size_t count = DifferingCodes(compared_).size();
    const PanelStamp& p = panelSet_.panel;
    QString text =
        QStringLiteral("Panel: %1 nr %2, oprogramowanie %3\n")
            .arg(Utf8(p.model), QString::number(p.serial), Utf8(FirmwareText(p.firmware)));
    if (count == 0) {
        text += QStringLiteral("Panel ma wszystkie wartości z pliku.");
    } else {
        text += QStringLiteral("Różnice: %1. OK zapisuje w panelu zaznaczone wartości z pliku.")
                    .arg(count);
    }
    summary_->setText(text);
}

std::vector<int> CCompareDlg::TickedCodes() const {
    std::vector<int> codes;
    for (int i = 0; i < rows_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = rows_->topLevelItem(i);
        if ((item->flags() & Qt::ItemIsUserCheckable) != 0 &&
            item->checkState(kLabelColumn) == Qt::Checked) {
            codes.push_back(item->data(kLabelColumn, Qt::UserRole).toInt());
        }
    }
    return codes;
}

std::optional<PanelDialog::FieldError> CCompareDlg::Validate() {
    if (DifferingCodes(compared_).empty()) {
        return FieldError{rows_, QStringLiteral("Panel ma wszystkie wartości z pliku"),
                          MessageIcon::Information};
    }
    if (TickedCodes().empty()) {
        return FieldError{rows_, QStringLiteral("Nie zaznaczono żadnej wartości do zapisania"),
                          MessageIcon::Information};
    }
    return std::nullopt;
}

PanelDialog::WriteJob CCompareDlg::MakeWriteJob() const {
    return [file = file_, codes = TickedCodes(), holder = restore_,
            progress = ProgressReporter()](PanelAccess& session) {
        *holder = Restore{};  // nothing to show from an earlier write if this one throws
        Restore restore;
        restore.outcome = RestoreRows(session, file, codes, progress);
        QStringList messages;
        if (!restore.outcome.complete) {
            messages << QStringLiteral(
                            "Panel przestał odpowiadać podczas zapisu.\n"
                            "Zapisane: %1\nNiezapisane lub niepotwierdzone: %2")
                            .arg(KeyList(restore.outcome, true), KeyList(restore.outcome, false));
        } else {
            const SetReadResult back = ReadPanelSet(session, {});
            if (back.status == ReadStatus::kOk) {
                restore.after = back.set;
            } else {
                messages << QStringLiteral(
                    "Wartości zapisano, ale nie można ich odczytać z "
                    "panelu do sprawdzenia");
            }
        }
        *holder = std::move(restore);
        // The dialog stays open to show what the panel holds now.
        return WriteOutcome{false, messages};
    };
}

void CCompareDlg::WriteEnded() {
    const Restore& restore = *restore_;
    if (restore.after) {
        panelSet_ = *restore.after;
    }
    // A row the technician unticked stays unticked.
    std::vector<int> unticked;
    for (int i = 0; i < rows_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = rows_->topLevelItem(i);
        if ((item->flags() & Qt::ItemIsUserCheckable) != 0 &&
            item->checkState(kLabelColumn) == Qt::Unchecked) {
            unticked.push_back(item->data(kLabelColumn, Qt::UserRole).toInt());
        }
    }
    compared_ = CompareSets(panelSet_, file_);
    ShowRows();
    for (std::size_t i = 0; i < compared_.size(); ++i) {
        QTreeWidgetItem* item = rows_->topLevelItem(static_cast<int>(i));
        if ((item->flags() & Qt::ItemIsUserCheckable) != 0 &&
            std::find(unticked.begin(), unticked.end(), compared_[i].code) != unticked.end()) {
            item->setCheckState(kLabelColumn, Qt::Unchecked);
        }
        for (const auto& [code, result] : restore.outcome.rows) {
            if (code == compared_[i].code) {
                rows_->topLevelItem(static_cast<int>(i))
                    ->setText(kStateColumn, WrittenState(result, compared_[i].state));
            }
        }
    }
    ShowSummary();
    CancelButton()->setText(QStringLiteral("Zamknij"));
}

void CCompareDlg::EnableFields(bool enable) {
    rows_->setEnabled(enable);
}

}  // namespace tk358
