#pragma once
// The list pane: the image list of the open folder in one of three display
// styles (1 thumbnails, 2 list, 3 details), its selection and current
// position, the header click that sorts, the check-mark and selection
// commands, and its context menu.
//
// The pane owns the views and the model; the folder session (which owns the
// list), the settings and the menu builder belong to the main window. A
// right click opens the builder's list menu; what is chosen there reaches
// the main window through the builder, which routes it and gives the list's
// own commands back through executeCommand.
//
// GUI thread only.

#include "imagelist/image_list_model.h"

#include <QWidget>

#include <cstddef>
#include <span>
#include <string>
#include <vector>

class QAbstractItemView;
class QItemSelectionModel;
class QListView;
class QStackedLayout;
class QTreeView;

namespace qlx::metadata {
class CameraTable;
}
namespace qlx::settings {
class SettingsRecord;
}

namespace qlx::gui {

class MenuBuilder;

// The list-pane commands the pane carries out by itself.
namespace list_command {
inline constexpr int kBrowseSelected = 120;     // only the selected rows stay in the list
inline constexpr int kChangeDisplayStyle = 119; // Space
inline constexpr int kCopyInformation = 136;    // the selected rows' texts to the clipboard
inline constexpr int kSelectChecked = 137;
inline constexpr int kSelectUnchecked = 138;
inline constexpr int kCheckSelected = 182;   // F2
inline constexpr int kUncheckSelected = 183; // F3
inline constexpr int kInvertCheckMarks = 200;
} // namespace list_command

enum DisplayStyle : int { kStyleThumbnails = 1, kStyleList = 2, kStyleDetails = 3 };

class ListPane : public QWidget {
    Q_OBJECT
public:
    ListPane(imagelist::FolderSession& session, settings::SettingsRecord& settings,
             const metadata::CameraTable& cameras, MenuBuilder& menus, QWidget* parent = nullptr);
    ~ListPane() override;

    ImageListModel& model() { return *m_model; }

    // ---- What the owner reports (see ImageListModel) ---------------------------
    // After a folder load: shows the new list with the session's current
    // position selected and in view. The list is not ready (column clicks
    // are ignored) until setListReady(true).
    void resetList();
    void entriesChanged(std::span<const std::size_t> entryIndexes);
    // The watcher's new entries join the end of the list, and the last one
    // becomes current.
    void rowsAppended();
    void setListReady(bool ready);
    // After the settings dialog: icons, columns, font and selection mode.
    void applySettings();

    // ---- Display style ---------------------------------------------------------
    // 1 thumbnails, 2 list, 3 details; another value shows the details.
    // The style is kept in the settings.
    void setDisplayStyle(int style);
    int displayStyle() const { return m_style; }

    // ---- Position and selection -----------------------------------------------
    int currentPosition() const;
    // Makes `position` current, selected alone and scrolled into view.
    void setCurrentPosition(int position);
    // Moves the current position `delta` rows on, over the rows that
    // "browse only the selected images" hid; false at either end.
    bool stepCurrent(int delta);
    // Whether a position is shown (not hidden by "browse only the selected
    // images", which lasts until the next load).
    bool isPositionShown(int position) const;
    // Entry indexes of the selected rows, in display order.
    std::vector<std::size_t> selectedEntries() const;
    // The full paths of the selected rows' files, in display order.
    std::vector<std::u16string> selectedPaths() const;
    // Entry indexes of the checked entries, in display order.
    std::vector<std::size_t> checkedEntries() const;
    void selectAll();

    // ---- Commands ---------------------------------------------------------------
    // Carries out one of list_command's commands; false for any other.
    bool executeCommand(int command);
    // The F4 key: the next checked entry after the current one, in display
    // order and wrapping once round, becomes current; with the view panes
    // shown it must also still be on disk. False when there is none.
    bool jumpToNextChecked(bool viewPanesShown);
    // The header click on `column` (details style).
    void clickColumn(int column);

    // ---- Views, for the main window's layout and for tests ----------------------
    QListView* iconView() const { return m_iconView; }
    QTreeView* detailsView() const { return m_detailsView; }
    QAbstractItemView* currentView() const;

Q_SIGNALS:
    void currentChanged(int position);
    // Enter or a double click on a row.
    void activated(int position);
    void selectionChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildViews();
    void applyIconViewStyle();
    void applyColumns();
    void applySelectionMode();
    void showContextMenu(QAbstractItemView* view, const QPoint& position);
    void onCurrentRowChanged(const QModelIndex& current);
    void restoreSortIndicator();
    bool multipleSelection() const;
    // Rows the check-mark commands work on: the selected rows with multiple
    // selection, else the current row.
    std::vector<int> targetRows() const;
    void selectByCheckMark(bool checked);
    void copyInformation() const;
    void browseSelected();
    void setPositionShown(int position, bool shown);

    imagelist::FolderSession& m_session;
    settings::SettingsRecord& m_settings;
    MenuBuilder& m_menus;
    ImageListModel* m_model;
    QStackedLayout* m_stack = nullptr;
    QListView* m_iconView = nullptr;
    QTreeView* m_detailsView = nullptr;
    QItemSelectionModel* m_selection = nullptr;
    int m_style = kStyleDetails;
    // The header's sort mark as the last sort left it (-1 none): a click the
    // list ignores puts it back.
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_applyingColumns = false;
    // Rows are hidden ("browse only the selected images") until the next load.
    bool m_rowsHidden = false;
};

} // namespace qlx::gui
