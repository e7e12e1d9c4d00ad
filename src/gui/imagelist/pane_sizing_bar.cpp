#include "imagelist/pane_sizing_bar.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace qlx::gui {

PaneSizingBar::PaneSizingBar(std::function<int()> currentWidth, std::function<void(int)> requestWidth,
                             QWidget* parent)
    : QWidget(parent)
    , m_currentWidth(std::move(currentWidth))
    , m_requestWidth(std::move(requestWidth))
{
    setFixedWidth(kWidth);
    setCursor(Qt::SplitHCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

void PaneSizingBar::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Light));
}

void PaneSizingBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    m_startX = event->globalPosition().x();
    m_startWidth = m_currentWidth();
}

void PaneSizingBar::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    const double moved = event->globalPosition().x() - m_startX;
    m_requestWidth(m_startWidth + static_cast<int>(std::lround(moved)));
}

void PaneSizingBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
}

} // namespace qlx::gui
