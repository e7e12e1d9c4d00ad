#include "shell/startup_resources.h"

#include "shell/qt_text.h"
#include "shell/shell_messages.h"

#include <QApplication>
#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPalette>

namespace qlx::gui {

namespace msg = shell::messages;

void installJapaneseFontSubstitutions()
{
    const QStringList proportional{QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"),
                                   QStringLiteral("IPAPGothic"), QStringLiteral("VL PGothic")};
    const QStringList monospaced{QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("IPAGothic"),
                                 QStringLiteral("VL Gothic")};
    QFont::insertSubstitutions(toQString(msg::kProportionalGothic), proportional);
    QFont::insertSubstitutions(toQString(msg::kProportionalGothicLatin), proportional);
    QFont::insertSubstitutions(toQString(msg::kMonospacedGothic), monospaced);
    QFont::insertSubstitutions(toQString(msg::kMonospacedGothicLatin), monospaced);
}

QByteArray makePlaceholderPicture()
{
    QImage image(640, 480, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.fill(QColor(0x40, 0x40, 0x40));
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QColor(0xD0, 0xD0, 0xD0));
        QFont mark(QStringLiteral("Sans"));
        mark.setPixelSize(260);
        mark.setBold(true);
        painter.setFont(mark);
        painter.drawText(QRect(0, 20, 640, 320), Qt::AlignCenter, toQString(msg::kPlaceholderMark));
        QFont word(QStringLiteral("Sans"));
        word.setPixelSize(56);
        painter.setFont(word);
        painter.drawText(QRect(0, 330, 640, 100), Qt::AlignCenter, toQString(msg::kPlaceholderWord));
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return png;
}

shell::HighlightShades currentHighlightShades()
{
    const QColor highlight = QApplication::palette().color(QPalette::Highlight);
    return shell::highlightShades(static_cast<std::uint32_t>(highlight.rgb()) & 0x00FFFFFFu);
}

} // namespace qlx::gui
