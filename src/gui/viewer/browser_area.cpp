#include "viewer/browser_area.h"

#include "shell/settings_layout.h"
#include "shell/settings_record.h"

#include <QMouseEvent>

#include <algorithm>

namespace qlx::gui {

namespace {

// The folder pane is never narrower than this when dragged, and leaves as
// much of the window to the list.
constexpr int kMinimumFolderPaneWidth = 64;

void place(QWidget* widget, const viewer::Placement& placement, QPoint origin = {})
{
    if (!widget)
        return;
    widget->setGeometry(placement.rect.translated(origin));
    widget->setVisible(placement.visible && !placement.rect.isEmpty());
}

} // namespace

BrowserArea::BrowserArea(settings::SettingsRecord& settings, QWidget* parent) : QWidget(parent), m_settings(settings)
{
    setMouseTracking(true);
}

void BrowserArea::setPanes(QWidget* folderPane, QWidget* listView,
                           const std::array<QWidget*, viewer::kMaxViewPanes>& views)
{
    m_folderPane = folderPane;
    m_listView = listView;
    m_views = views;
    for (QWidget* widget : {folderPane, listView})
        if (widget)
            widget->setParent(this);
    for (QWidget* view : views)
        if (view)
            view->setParent(this);
    relayout();
}

viewer::ScreenLayoutInput BrowserArea::input() const
{
    viewer::ScreenLayoutInput in;
    in.client = size();
    in.screenMode = m_screenMode;
    in.splitPosition = viewer::splitPositionFromSetting(m_settings.get(settings::kSplitPosition));
    in.listHeight = m_settings.get(settings::kListPaneSize);
    in.listWidth = m_settings.get(settings::kListPaneSize);
    in.multiScreenMode = viewer::multiScreenModeFromSetting(m_settings.get(settings::kMultiScreenMode));
    in.folderPaneWidth = m_settings.get(settings::kFolderPaneWidth);
    in.largeIcons = m_settings.get(settings::kLargeIcons) != 0;
    in.folderTreeHidden = m_folderTreeHidden;
    in.fullScreen = m_fullScreen;
    in.collectionMode = m_collectionMode;
    in.smallThumbnailWindow = m_settings.get(settings::kSmallThumbnailWindow) != 0;
    in.smallThumbnailWindowShown = m_settings.get(settings::kSmallThumbnailWindowShown) != 0;
    in.videoBarHeight = m_videoBar && m_videoBarShown ? m_videoBar->height() : 0;
    return in;
}

void BrowserArea::relayout()
{
    m_layout = viewer::screenLayout(input());
    place(m_folderPane, m_layout.folderPane);
    if (m_folderPane)
        m_folderPane->resize(std::max(0, m_layout.folderPane.rect.width() - m_layout.folderSplitter.width()),
                             m_layout.folderPane.rect.height());
    const QPoint listOrigin = m_layout.listPane.rect.topLeft();
    place(m_listView, m_layout.listView, listOrigin);
    for (std::size_t pane = 0; pane < m_views.size(); ++pane)
        place(m_views[pane], m_layout.viewPanes[pane], listOrigin);
    place(m_videoBar, m_layout.videoBar, listOrigin);
    if (m_videoBar && m_videoBar->isVisible())
        m_videoBar->raise();
}

void BrowserArea::setVideoBar(QWidget* bar)
{
    m_videoBar = bar;
    if (bar)
        bar->setParent(this);
    relayout();
}

void BrowserArea::setVideoBarShown(bool shown)
{
    if (shown == m_videoBarShown)
        return;
    m_videoBarShown = shown;
    relayout();
}

void BrowserArea::setScreenMode(viewer::ScreenMode mode)
{
    m_screenMode = mode;
    relayout();
    Q_EMIT modesChanged();
}

void BrowserArea::toggleFolderTree()
{
    m_folderTreeHidden = !m_folderTreeHidden;
    relayout();
    Q_EMIT modesChanged();
}

void BrowserArea::setCollectionMode(bool collectionMode)
{
    m_collectionMode = collectionMode;
    relayout();
}

void BrowserArea::setFullScreen(bool fullScreen)
{
    m_fullScreen = fullScreen;
    relayout();
    Q_EMIT modesChanged();
}

void BrowserArea::setMultiScreenMode(int mode)
{
    m_settings.set(settings::kMultiScreenMode, std::clamp(mode, 0, 4));
    relayout();
}

void BrowserArea::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void BrowserArea::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const QRect folderEdge = m_layout.folderSplitter.translated(m_layout.folderPane.rect.topLeft());
    const QRect splitBar = m_layout.splitBar.translated(m_layout.listPane.rect.topLeft());
    if (folderEdge.adjusted(-2, 0, 2, 0).contains(at))
        m_drag = Drag::FolderEdge;
    else if (splitBar.adjusted(-2, -2, 2, 2).contains(at))
        m_drag = Drag::SplitBar;
    QWidget::mousePressEvent(event);
}

void BrowserArea::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (m_drag == Drag::FolderEdge) {
        m_settings.set(settings::kFolderPaneWidth, std::clamp(at.x(), kMinimumFolderPaneWidth, std::max(width() - kMinimumFolderPaneWidth, kMinimumFolderPaneWidth)));
        relayout();
    } else if (m_drag == Drag::SplitBar) {
        const QRect pane = m_layout.listPane.rect;
        const auto position = viewer::splitPositionFromSetting(m_settings.get(settings::kSplitPosition));
        int size = 0;
        switch (position) {
        case viewer::SplitPosition::ListAbove: size = at.y() - pane.top() + 4; break;
        case viewer::SplitPosition::ViewsAbove: size = pane.bottom() - at.y() + 4; break;
        case viewer::SplitPosition::ListRight: size = pane.right() - at.x() + 4; break;
        case viewer::SplitPosition::ListLeft: size = at.x() - pane.left(); break;
        }
        m_settings.set(settings::kListPaneSize, std::max(size, 8));
        relayout();
    } else {
        const QRect folderEdge = m_layout.folderSplitter.translated(m_layout.folderPane.rect.topLeft());
        const QRect splitBar = m_layout.splitBar.translated(m_layout.listPane.rect.topLeft());
        if (folderEdge.adjusted(-2, 0, 2, 0).contains(at))
            setCursor(Qt::SplitHCursor);
        else if (splitBar.adjusted(-2, -2, 2, 2).contains(at))
            setCursor(splitBar.width() > splitBar.height() ? Qt::SplitVCursor : Qt::SplitHCursor);
        else
            unsetCursor();
    }
    QWidget::mouseMoveEvent(event);
}

void BrowserArea::mouseReleaseEvent(QMouseEvent* event)
{
    m_drag = Drag::None;
    QWidget::mouseReleaseEvent(event);
}

} // namespace qlx::gui
