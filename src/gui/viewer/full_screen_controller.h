#pragma once
// Full screen (Esc): the main window covers the screen. With the views alone
// in the list pane the rebar and the status bar step aside, and come back
// while the pointer is over the rebar's place at the top (a band at least 16
// pixels high) or within 16 pixels of the bottom edge; with the list on
// screen both stay (the screen layout's rule, core/viewer/screen_layout.h).
// Esc again gives the window back its former state, maximised or normal.
//
// The pointer is followed through an application event filter, which sees
// every move over the window whether or not the widget under it tracks the
// mouse; it looks at nothing unless the bars may step aside.
//
// Thread model: user-interface thread only.

#include <QObject>
#include <QPoint>

#include <optional>

class QMainWindow;
class QStatusBar;

namespace qlx::gui {

class BrowserArea;
class Rebar;

class FullScreenController : public QObject {
    Q_OBJECT
public:
    FullScreenController(QMainWindow& window, Rebar& rebar, QStatusBar& statusBar, BrowserArea& area,
                         QObject* parent = nullptr);
    ~FullScreenController() override;

    void toggle();
    bool isOn() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether the bars may step aside: full screen with the views alone.
    bool barsMayHide() const;
    // Shows or hides the bars for the pointer at `pointer` (window
    // coordinates; nothing when it is not over the window).
    void placeBars(std::optional<QPoint> pointer);

    QMainWindow& m_window;
    Rebar& m_rebar;
    QStatusBar& m_statusBar;
    BrowserArea& m_area;
    // Where the pointer last moved over the window, in screen coordinates.
    std::optional<QPoint> m_pointer;
    // Their heights when last seen, for the bands in which they come back.
    int m_rebarHeight = 0;
    int m_statusBarHeight = 0;
};

} // namespace qlx::gui
