// SPDX-License-Identifier: GPL-3.0-or-later
// The window worked from the keyboard alone: every menu and item has a
// mnemonic of its own, and a panel value is written without the mouse.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

#include "app/dialog_wiring.h"
#include "monitor/main_window.h"
#include "monitor/window_menu.h"
#include "support/fake_panel.h"
#include "support/mnemonics.h"
#include "widget/dialogs/recording_sink.h"
#include "widget/spdlg/dialog_driver.h"

namespace tk358::test {
namespace {

// A shown, active window on a connected temperature controller, wired as at
// start.
struct Shown {
    FakePanel panel;
    RecordingSink sink;
    MainWindow window{panel};

    Shown() {
        panel.openable = {1};
        panel.Connect(kTemperatureController);
        window.SetMessageSink(&sink);
        const WiredParts parts = WireDialogs(window);
        AppSettings settings = AppSettings::FileDefaults();
        settings.portNr = 1;
        ApplyAppSettings(window, parts, settings);
        window.Start();
        window.show();
        QApplication::setActiveWindow(&window);
    }
};

QMenu* MenuOf(QAction* barItem) {
    return barItem->menu();
}

}  // namespace

class KeyboardPathTest : public QObject {
    Q_OBJECT

private slots:
    void everyMenuItemHasItsOwnMnemonic_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("Program") << 0 << "Program" << QStringList{"Zamknij"};
        QTest::newRow("Widok") << 1 << "Widok"
                               << QStringList{"Kolory", "Czcionki", "Zawsze na wierzchu",
                                              "Pokaż parametry serwisowe", "Wykres"};
        QTest::newRow("Ustawienia")
            << 2 << "Ustawienia" << QStringList{"Port szeregowy", "Rejestracja do pliku"};
        QTest::newRow("Panel") << 3 << "Panel"
                               << QStringList{"Informacje",
                                              "Wartość zadana",
                                              "Parametry regulacji",
                                              "Parametry PID",
                                              "Ustawienia CV",
                                              "Ustawienia czasu",
                                              "Zapisz parametry do pliku...",
                                              "Wczytaj parametry z pliku..."};
        QTest::newRow("Pomoc") << 4 << "Pomoc" << QStringList{"Pomoc", "O programie"};
    }
    void everyMenuItemHasItsOwnMnemonic() {
        QFETCH(int, index);
        QFETCH(QString, title);
        QFETCH(QStringList, items);
        QMenuBar bar;
        const WindowMenu menu(&bar);
        QStringList titles;
        for (QAction* a : bar.actions()) {
            titles << a->text();
        }
        QCOMPARE(MnemonicFaults(titles), QStringList{});
        QAction* barItem = bar.actions().at(index);
        QCOMPARE(WithoutMnemonic(barItem->text()), title);
        QStringList texts;
        QStringList shown;
        for (QAction* a : MenuOf(barItem)->actions()) {
            texts << a->text();
            shown << WithoutMnemonic(a->text());
        }
        QCOMPARE(shown, items);
        QCOMPARE(MnemonicFaults(texts), QStringList{});
    }

    void closeAndHelpHaveTheirKeys() {
        QMenuBar bar;
        const WindowMenu menu(&bar);
        QCOMPARE(menu.Action(MenuCommand::kClose)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
        QCOMPARE(menu.Action(MenuCommand::kHelp)->shortcut(), QKeySequence(Qt::Key_F1));
    }

    void f10OpensTheFirstMenu() {
        Shown s;
        QVERIFY(QTest::qWaitForWindowActive(&s.window));
        QTest::keyClick(&s.window, Qt::Key_F10);
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(open != nullptr);
        QCOMPARE(WithoutMnemonic(open->title()), QStringLiteral("Program"));
        open->close();
    }

    // Alt+A opens "Panel", P "Parametry PID"; the dialog opens in Kp, so 77
    // and Enter write 77.0, sent as 770 tenths.
    void pidIsWrittenWithoutTheMouse() {
        Shown s;
        QVERIFY(QTest::qWaitForWindowActive(&s.window));
        QTRY_VERIFY(s.window.Menu().Action(MenuCommand::kPid)->isEnabled());
        QTest::keyClick(&s.window, Qt::Key_A, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        bool typed = false;
        const auto watch = WhenModal(QStringLiteral("pidDialog"), [&](QDialog*) {
            QCOMPARE(FocusName(), QStringLiteral("kpEdit"));
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("77"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            typed = true;
        });
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_P);
        QTRY_VERIFY(typed);
        QTRY_COMPARE(s.panel.Calls().size(), std::size_t{1});
        const WriteCall call = s.panel.Calls().front();
        QCOMPARE(QString::fromStdString(call.operation), QStringLiteral("WritePidParameters"));
        QCOMPARE(call.args.front(), 770);
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(s.sink.Texts(), QStringList{});
    }
};

}  // namespace tk358::test

QTEST_MAIN(tk358::test::KeyboardPathTest)
#include "keyboard_path_test.moc"
