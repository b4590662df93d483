#include "res/state_icons.h"

#include <QPainter>
#include <QPixmap>
#include <QRadialGradient>

#include <algorithm>
#include <array>

namespace talvo {
namespace {

QPixmap Disc(int size, const QColor &colour) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient shade(size * 0.35, size * 0.35, size * 0.65);
    shade.setColorAt(0, colour.lighter(150));
    shade.setColorAt(1, colour);
    painter.setBrush(shade);
    painter.setPen(QPen(colour.darker(140), 1));
    painter.drawEllipse(QRectF(2.5, 2.5, size - 5, size - 5));
    return pixmap;
}

} // namespace

const QIcon &StateIconImage(int index) {
    static const std::array<QIcon, 3> icons = {
        QIcon(Disc(20, QColor(40, 170, 60))),
        QIcon(Disc(20, QColor(240, 140, 20))),
        QIcon(Disc(20, QColor(150, 150, 150))),
    };
    return icons[static_cast<std::size_t>(std::clamp(index, 0, 2))];
}

const QIcon &ProgramIcon() {
    static const QIcon icon = [] {
        QIcon result;
        for (int size : {16, 32, 48}) {
            QPixmap pixmap(size, size);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setBrush(QColor(30, 90, 170));
            painter.setPen(Qt::NoPen);
            painter.drawRoundedRect(QRectF(1, size * 0.15, size - 2, size * 0.6), size * 0.08, size * 0.08);
            painter.setBrush(QColor(220, 235, 250));
            painter.drawRect(QRectF(size * 0.15, size * 0.25, size * 0.7, size * 0.4));
            painter.setBrush(QColor(30, 90, 170));
            painter.drawRect(QRectF(size * 0.4, size * 0.75, size * 0.2, size * 0.12));
            result.addPixmap(pixmap);
        }
        return result;
    }();
    return icon;
}

} // namespace talvo
