#include "app/game_icon.h"

#include <QString>

QIcon GameIcon() {
    // The PNGs carried as Qt resources are byte for byte the ones installed for the launcher,
    // so the window and the desktop show one picture.
    Q_INIT_RESOURCE(game_icon);
    QIcon icon;
    for (int size : kGameIconSizes)
        icon.addFile(QStringLiteral(":/icon/icon_%1.png").arg(size), QSize(size, size));
    return icon;
}
