#include "viewer/full_screen_controller.h"

#include "shell/rebar.h"
#include "viewer/browser_area.h"
#include "viewer/screen_layout.h"

#include <QApplication>
#include <QCursor>
#include <QMainWindow>
#include <QMouseEvent>
#include <QStatusBar>

namespace qlx::gui {

FullScreenController::FullScreenController(QMainWindow& window, Rebar& rebar, QStatusBar& statusBar,
                                           BrowserArea& area, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_rebar(rebar)
    , m_statusBar(statusBar)
    , m_area(area)
{
    // A change of screen (Enter, F11) may bring the list back or leave the
    // views alone: the bars follow at once, with the pointer where it is.
    connect(&m_area, &BrowserArea::modesChanged, this, [this] {
        const QPoint at = m_window.mapFromGlobal(m_pointer.value_or(QCursor::pos()));
        placeBars(m_window.rect().contains(at) ? std::optional<QPoint>(at) : std::nullopt);
    });
    qApp->installEventFilter(this);
}

FullScreenController::~FullScreenController()
{
    qApp->removeEventFilter(this);
}

bool FullScreenController::isOn() const
{
    return m_window.isFullScreen();
}

void FullScreenController::toggle()
{
    m_window.setWindowState(m_window.windowState() ^ Qt::WindowFullScreen);
    m_area.setFullScreen(isOn());
}

bool FullScreenController::barsMayHide() const
{
    return m_area.fullScreen() && m_area.screenMode() == viewer::ScreenMode::ViewsOnly;
}

bool FullScreenController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->window() == &m_window) {
        m_pointer = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        if (barsMayHide())
            placeBars(m_window.mapFromGlobal(*m_pointer));
    }
    return QObject::eventFilter(watched, event);
}

void FullScreenController::placeBars(std::optional<QPoint> pointer)
{
    if (m_rebar.isShown())
        m_rebarHeight = m_rebar.height();
    if (m_statusBar.isVisible())
        m_statusBarHeight = m_statusBar.height();
    viewer::ScreenLayoutInput in;
    in.client = m_window.size();
    in.rebarHeight = m_rebarHeight;
    in.statusBarHeight = m_statusBarHeight;
    in.screenMode = m_area.screenMode();
    in.fullScreen = m_area.fullScreen();
    in.pointer = pointer;
    const viewer::ScreenLayout layout = viewer::screenLayout(in);
    m_rebar.setShown(layout.rebar.visible || m_rebarHeight == 0);
    m_statusBar.setVisible(layout.statusBar.visible || m_statusBarHeight == 0);
}

} // namespace qlx::gui
