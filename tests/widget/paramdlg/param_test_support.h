// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Running a "Parametry regulacji" dialog as the operator would: open it on a
// panel, type into its fields, click its buttons, press OK and see what
// reached the panel or which message and field stopped it.

#include <QApplication>
#include <QLineEdit>
#include <QList>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <memory>

#include "dialogs/param_dialogs.h"
#include "support/fake_panel.h"
#include "widget/dialogs/recording_sink.h"

namespace tk358::test {

inline QList<int> ToList(const std::vector<int>& v) {
    return QList<int>(v.begin(), v.end());
}

// One dialog shown on a panel, its boxes recorded.
class OpenDialog {
public:
    OpenDialog(FakePanel& panel, ParamDialogChoice choice)
        : dialog_(MakeParamDialog(panel, choice)) {
        dialog_->SetMessageSink(&sink);
        dialog_->show();
    }

    PanelDialog& Dialog() { return *dialog_; }

    template <typename T = QWidget>
    T* Find(const QString& name) {
        T* w = dialog_->findChild<T*>(name);
        if (w == nullptr) {
            qWarning("no control named %s", qPrintable(name));
        }
        return w;
    }
    QLineEdit* Field(const QString& name) { return Find<QLineEdit>(name); }
    QString Text(const QString& name) { return Field(name)->text(); }

    // Replaces the field's text by typing.
    void Type(const QString& name, const QString& text) {
        QLineEdit* field = Field(name);
        field->clear();
        QTest::keyClicks(field, text);
        QVERIFY2(field->text() == text,
                 qPrintable(name + QStringLiteral(" did not take the text")));
    }
    // "name=text" entries, typed in order.
    void TypeAll(const QStringList& edits) {
        for (const QString& edit : edits) {
            const qsizetype eq = edit.indexOf(QLatin1Char('='));
            Type(edit.left(eq), edit.mid(eq + 1));
        }
    }
    // Clicks buttons by name; "-name" unchecks a radio button without checking
    // another, which the operator cannot do.
    void ClickAll(const QStringList& names) {
        for (const QString& name : names) {
            if (name.startsWith(QLatin1Char('-'))) {
                auto* radio = Find<QRadioButton>(name.mid(1));
                radio->setAutoExclusive(false);
                radio->setChecked(false);
                radio->setAutoExclusive(true);
            } else {
                Find<QAbstractButton>(name)->click();
            }
        }
    }
    void PressOk() {
        QTest::mouseClick(Find<QPushButton>(QStringLiteral("okButton")), Qt::LeftButton);
    }
    QString FocusName() {
        QWidget* w = dialog_->focusWidget();
        return w != nullptr ? w->objectName() : QString();
    }

    RecordingSink sink;

private:
    std::unique_ptr<PanelDialog> dialog_;
};

// The common check of a field row: either `message` refused the OK with the
// focus on `focus` and nothing was written, or the one write `operation` got
// exactly `args` and the dialog ended with Accepted.
inline void ExpectOutcome(OpenDialog& d, FakePanel& panel, const QString& message,
                          const QString& focus, const char* operation, const QList<int>& args) {
    if (!message.isEmpty()) {
        QCOMPARE(d.sink.Texts(), QStringList{message});
        QVERIFY(d.sink.boxes.front().icon == MessageIcon::Warning);
        QCOMPARE(d.FocusName(), focus);
        QVERIFY(d.Dialog().isVisible());
        QVERIFY(panel.Calls().empty());
        return;
    }
    QTRY_VERIFY(!d.Dialog().isVisible());
    QCOMPARE(d.Dialog().result(), int(QDialog::Accepted));
    QCOMPARE(d.sink.Texts(), QStringList{});
    const std::vector<WriteCall> calls = panel.Calls();
    QCOMPARE(calls.size(), size_t{1});
    QCOMPARE(QString::fromStdString(calls[0].operation), QString::fromLatin1(operation));
    QCOMPARE(ToList(calls[0].args), args);
}

}  // namespace tk358::test
