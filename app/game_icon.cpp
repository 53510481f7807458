#include "app/game_icon.h"

#include <QPainter>
#include <QPixmap>

namespace {

QPixmap DrawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(0, 0, size, size), QColor(222, 184, 135));  // a light square
    qreal margin = size * 0.12;
    QRectF piece(margin, margin, size - 2 * margin, size - 2 * margin);
    painter.setPen(QPen(QColor(90, 10, 10), size / 16.0));
    painter.setBrush(QColor(200, 30, 30));
    painter.drawEllipse(piece);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(piece.adjusted(size * 0.12, size * 0.12, -size * 0.12, -size * 0.12));
    return pixmap;
}

}  // namespace

QIcon GameIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(DrawIcon(size));
    return icon;
}
