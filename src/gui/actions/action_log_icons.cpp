#include "actions/action_log_icons.h"

#include <QPainter>
#include <QPixmap>

#include <array>

namespace qlx::gui {

namespace {

// One hue per kind, so that a glance down the log tells copies from moves
// from trashings.
constexpr std::array<QRgb, 14> kKindColours{
    0x808080, // undo
    0x808080, // key assignment
    0x4080c0, // hand-over
    0x2f9e44, // copy
    0x1971c2, // move
    0xe67700, // trash
    0xc92a2a, // delete
    0x7048e8, // development, TIFF
    0x9c36b5, // development, JPEG
    0x0c8599, // thumbnail save
    0x5c940d, // rename
    0x5c940d, // replace-rename
    0x364fc7, // lossless rotation
    0x1971c2, // distribute-move
};

QIcon draw(int kind, bool done)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(kKindColours[static_cast<std::size_t>(kind)]));
    painter.drawRoundedRect(QRectF(1, 1, 14, 14), 3, 3);
    QPen mark(Qt::white, 2);
    painter.setPen(mark);
    if (done) {
        painter.drawPolyline(QPolygonF({{4, 8.5}, {7, 11.5}, {12, 4.5}}));
    } else {
        // A failure: the kind's colour behind a red cross.
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(0xe0, 0x31, 0x31), 2.5));
        painter.drawLine(QPointF(4, 4), QPointF(12, 12));
        painter.drawLine(QPointF(12, 4), QPointF(4, 12));
    }
    return QIcon(pixmap);
}

} // namespace

QIcon actionLogIcon(int index)
{
    static const std::array<QIcon, kActionLogIconCount> icons = [] {
        std::array<QIcon, kActionLogIconCount> made;
        for (int i = 0; i < kActionLogIconCount; ++i)
            made[static_cast<std::size_t>(i)] = draw(i % 14, i < 14);
        return made;
    }();
    if (index < 0 || index >= kActionLogIconCount)
        return {};
    return icons[static_cast<std::size_t>(index)];
}

} // namespace qlx::gui
