#include "gui/app/app_icon.h"

#include <QPainter>

namespace pellam {

QPixmap appPicture(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 64.0;
    // Stand and foot.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x50, 0x58, 0x68));
    p.drawRect(QRectF(28 * s, 44 * s, 8 * s, 10 * s));
    p.drawRoundedRect(QRectF(16 * s, 53 * s, 32 * s, 6 * s), 2 * s, 2 * s);
    // Bezel and screen.
    p.setBrush(QColor(0x2A, 0x30, 0x3C));
    p.drawRoundedRect(QRectF(4 * s, 6 * s, 56 * s, 40 * s), 4 * s, 4 * s);
    p.setBrush(QColor(0xF4, 0xF6, 0xFA));
    p.drawRect(QRectF(8 * s, 10 * s, 48 * s, 32 * s));
    // Cells coloured like the grid's structures.
    const QColor cells[] = {QColor(0xC0, 0xDC, 0xC0), QColor(0xA6, 0xCA, 0xF0),
                            QColor(0xF7, 0x8F, 0xF0), QColor(0x8B, 0xF5, 0x8A),
                            QColor(0xFB, 0xF5, 0x8A)};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 6; ++column) {
            p.setBrush(cells[(row * 6 + column) % 5]);
            p.drawRect(QRectF((10 + column * 7.6) * s, (12 + row * 7.3) * s, 6.6 * s, 6.3 * s));
        }
    }
    return pixmap;
}

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addPixmap(appPicture(size));
    return icon;
}

} // namespace pellam
