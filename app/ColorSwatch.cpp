#include "ColorSwatch.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

namespace quillon {

QIcon ColorSwatch(uint32_t colour) {
    // The square is inset by 2 on every side of the icon's box, as high as the box allows.
    const int side = QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize);
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
    const int inner = side - 4;
    painter.drawRect(2, 2, inner - 1, inner - 1);
    return QIcon(pixmap);
}

} // namespace quillon
