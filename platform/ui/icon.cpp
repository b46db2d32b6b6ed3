#include "icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace keytut::ui {

// Drawn to match keytut.svg (a 64-unit square).
QImage drawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x12, 0x30, 0x4a));
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    const QColor cyan(150, 255, 255);
    p.setBrush(cyan);
    p.drawEllipse(QPointF(17, 28), 6.5, 6.5);
    p.drawRoundedRect(QRectF(29, 21.5, 26, 13), 6.5, 6.5);
    // The key's lever and knob below the signal.
    p.setBrush(QColor(0xff, 0xc8, 0x57));
    p.drawRoundedRect(QRectF(10, 45, 40, 5), 2.5, 2.5);
    p.drawEllipse(QPointF(48, 44), 6, 5);
    p.setBrush(QColor(0x8a, 0xa4, 0xb8));
    p.drawRect(QRectF(12, 50, 4, 6));
    return image;
}

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(drawIcon(size)));
    return icon;
}

}  // namespace keytut::ui
