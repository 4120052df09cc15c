// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/help_viewer.h"

#include <QCoreApplication>
#include <QFile>

#include "present/help_location.h"
#include "widgets/desktop_open.h"

namespace tk358 {

QString HelpIndexPath() {
    // The folder of /proc/self/exe, so a symbolic link to the program does not
    // move where the help is looked for.
    const QString programDir = QCoreApplication::applicationDirPath();
    const std::filesystem::path index = FindHelpIndex(QFile::encodeName(programDir).toStdString());
    return QFile::decodeName(QByteArray::fromStdString(index.string()));
}

bool OpenHelp(QWidget* parent) {
    return OpenHelpPage(parent, HelpIndexPath(), OpenWithDesktop, ShowOpenFailure);
}

bool OpenHelpPage(QWidget* parent, const QString& indexPath, const HelpUrlOpener& open,
                  const HelpFailureNotifier& notify) {
    if (indexPath.isEmpty()) {
        notify(parent, HelpMissingMessage());
        return false;
    }
    if (!open(QUrl::fromLocalFile(indexPath))) {
        notify(parent, HelpOpenFailedMessage(indexPath));
        return false;
    }
    return true;
}

QString HelpMissingMessage() {
    return QStringLiteral(
        "Nie znaleziono pomocy programu.\n"
        "Pliki pomocy nie zostały zainstalowane razem z programem.");
}

QString HelpOpenFailedMessage(const QString& indexPath) {
    return QStringLiteral(
               "Nie można otworzyć pomocy w przeglądarce internetowej.\n"
               "Pomoc można otworzyć ręcznie, to plik:\n%1")
        .arg(indexPath);
}

}  // namespace tk358
