#pragma once
// The sizing bar at the right edge of the folder pane: 4 pixels drawn in the
// light 3D colour, the horizontal sizing cursor over it, and a drag that
// asks for a new pane width. The pane clamps the width.

#include <QWidget>

#include <functional>

namespace qlx::gui {

class PaneSizingBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 4;

    // `currentWidth` reads the pane's width when a drag starts;
    // `requestWidth` is called with the width the drag asks for.
    PaneSizingBar(std::function<int()> currentWidth, std::function<void(int)> requestWidth,
                  QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::function<int()> m_currentWidth;
    std::function<void(int)> m_requestWidth;
    bool m_dragging = false;
    double m_startX = 0;
    int m_startWidth = 0;
};

} // namespace qlx::gui
