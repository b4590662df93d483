#include "res/connection_icons.h"

#include <QPainter>
#include <QPainterPath>

namespace talvo {
namespace {

constexpr int kSize = 20;

QPixmap Badge(const QColor &colour, const QPainterPath &mark) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(QPen(colour.darker(140), 1));
    painter.drawEllipse(QRectF(1.5, 1.5, kSize - 3, kSize - 3));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(mark);
    return pixmap;
}

QPainterPath Tick() {
    QPainterPath path;
    path.moveTo(5.5, 10.5);
    path.lineTo(8.5, 13.5);
    path.lineTo(14.5, 6.5);
    return path;
}

QPainterPath Cross() {
    QPainterPath path;
    path.moveTo(6.5, 6.5);
    path.lineTo(13.5, 13.5);
    path.moveTo(13.5, 6.5);
    path.lineTo(6.5, 13.5);
    return path;
}

} // namespace

const QPixmap &ConnectionIcon(bool connected) {
    static const QPixmap linked = Badge(QColor(40, 170, 60), Tick());
    static const QPixmap unlinked = Badge(QColor(150, 150, 150), Cross());
    return connected ? linked : unlinked;
}

} // namespace talvo
