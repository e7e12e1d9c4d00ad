#include "shell/status_bar.h"

#include <QLabel>

namespace qlx::gui {

namespace {

// The widths of the parts in pixels, part 0 first. Part 0 takes what is
// left; the counters are as wide as their texts need at the default font.
constexpr std::array<int, StatusBar::kParts> kPartWidths{0, 80, 80, 70, 120, 170, 70, 110, 110, 120, 16};

} // namespace

StatusBar::StatusBar(QWidget* parent) : QStatusBar(parent)
{
    setSizeGripEnabled(true);
    for (int part = 0; part < kParts; ++part) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("statusPart%1").arg(part));
        if (kPartWidths[static_cast<std::size_t>(part)] > 0) {
            // Wide enough for the texts, yet the window may be narrower.
            label->setMinimumWidth(8);
            label->setMaximumWidth(kPartWidths[static_cast<std::size_t>(part)]);
            label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        }
        m_parts[static_cast<std::size_t>(part)] = label;
        if (part == 0)
            addWidget(label, 1);
        else
            addPermanentWidget(label);
    }
}

void StatusBar::setPartText(int part, const QString& text)
{
    if (part < 0 || part >= kParts)
        return;
    QLabel* label = m_parts[static_cast<std::size_t>(part)];
    const bool rightAligned = text.startsWith(u'\t');
    label->setAlignment((rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    label->setText(rightAligned ? text.mid(1) : text);
    label->setProperty("fullText", text);
}

QString StatusBar::partText(int part) const
{
    if (part < 0 || part >= kParts)
        return {};
    return m_parts[static_cast<std::size_t>(part)]->property("fullText").toString();
}

} // namespace qlx::gui
