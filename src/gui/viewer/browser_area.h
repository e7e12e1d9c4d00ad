#pragma once
// The client area of the main window below the rebar: the folder pane at
// the left and the list pane with its list view and up to four view panes,
// placed by the screen layout on every resize and every change of a display
// mode. The folder pane's right edge and the gap between the list and the
// views can be dragged; the new sizes go back into the settings.

#include "viewer/screen_layout.h"

#include <QWidget>

#include <array>

namespace qlx::settings {
class SettingsRecord;
}

namespace qlx::gui {

class BrowserArea : public QWidget {
    Q_OBJECT
public:
    BrowserArea(settings::SettingsRecord& settings, QWidget* parent = nullptr);

    // The panes it places; each may be null (left out).
    void setPanes(QWidget* folderPane, QWidget* listView, const std::array<QWidget*, viewer::kMaxViewPanes>& views);

    // The video control bar, placed under the views while it is shown.
    void setVideoBar(QWidget* bar);
    void setVideoBarShown(bool shown);

    // What the list pane shows; the split position is the settings'. The
    // screen-mode controller sets it (Enter, F11).
    viewer::ScreenMode screenMode() const { return m_screenMode; }
    void setScreenMode(viewer::ScreenMode mode);
    // Tab: hides or shows the folder tree.
    void toggleFolderTree();
    bool folderTreeHidden() const { return m_folderTreeHidden; }
    void setCollectionMode(bool collectionMode);
    void setFullScreen(bool fullScreen);
    bool fullScreen() const { return m_fullScreen; }
    void setMultiScreenMode(int mode);

    const viewer::ScreenLayout& layout() const { return m_layout; }
    // Places every pane again.
    void relayout();

Q_SIGNALS:
    // The screen mode, the folder tree or full screen changed.
    void modesChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Drag { None, FolderEdge, SplitBar };
    viewer::ScreenLayoutInput input() const;

    settings::SettingsRecord& m_settings;
    QWidget* m_folderPane = nullptr;
    QWidget* m_listView = nullptr;
    std::array<QWidget*, viewer::kMaxViewPanes> m_views{};
    QWidget* m_videoBar = nullptr;
    bool m_videoBarShown = false;
    viewer::ScreenMode m_screenMode = viewer::ScreenMode::Split;
    bool m_folderTreeHidden = false;
    bool m_collectionMode = false;
    bool m_fullScreen = false;
    viewer::ScreenLayout m_layout;
    Drag m_drag = Drag::None;
};

} // namespace qlx::gui
