// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The keyboard mnemonics of menu and button texts, read the way Qt reads them:
// "&x" marks x, "&&" is a plain "&".

#include <QString>
#include <QStringList>

namespace tk358::test {

// The marked character in lower case; null when the text has none.
inline QChar Mnemonic(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (text[i + 1] != QLatin1Char('&')) {
                return text[i + 1].toLower();
            }
            ++i;
        }
    }
    return {};
}

// The text as shown, without its marker.
inline QString WithoutMnemonic(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            text.remove(i, 1);  // "&&" leaves the second one, which the loop passes
        }
    }
    return text;
}

// The texts that have no mnemonic or share one with an earlier text.
inline QStringList MnemonicFaults(const QStringList& texts) {
    QStringList faults;
    QString seen;
    for (const QString& text : texts) {
        const QChar m = Mnemonic(text);
        if (m.isNull() || seen.contains(m)) {
            faults << text;
        }
        seen += m;
    }
    return faults;
}

}  // namespace tk358::test
