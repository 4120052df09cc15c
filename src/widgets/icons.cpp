// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/icons.h"

#include <array>

// Resources compiled into a static library are registered only when asked for;
// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterIconResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    (void)registered;
}

namespace tk358 {

QIcon StatusIcon(StatusImage image) {
    RegisterIconResources();
    const char* name = nullptr;
    switch (image) {
        case StatusImage::kCorrect:
            name = "status-correct";
            break;
        case StatusImage::kError:
            name = "status-error";
            break;
        case StatusImage::kNoLink:
            name = "status-no-link";
            break;
        case StatusImage::kNone:
            return QIcon();
    }
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/%1.png").arg(QLatin1String(name)), QSize(24, 24));
    icon.addFile(QStringLiteral(":/icons/%1@2x.png").arg(QLatin1String(name)), QSize(48, 48));
    return icon;
}

QIcon ApplicationIcon() {
    RegisterIconResources();
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/tk358-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace tk358
