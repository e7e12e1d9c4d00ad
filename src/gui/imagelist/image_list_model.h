#pragma once
// The image list of the open folder as a Qt table: one row per list position
// in display order, one column per shooting-data item (0 file name … 23
// Media#).
//
// Roles: the display texts of the items (the 35 mm focal-length setting
// applies, the histogram column has none); the list icon (the file-name
// column shows the thumbnail list's icon or the Exif list's, as the display
// style asks, the histogram column its histogram icon), made only when a
// view asks; the entry's check mark, which toggling writes into the entry;
// the item tooltip; grey text for entries whose file is gone; and the row
// colours of the file history.
//
// The model reads the list in place and never keeps copies of its texts; it
// is told what changed (resetList, entriesChanged, rowsAppended) and asks
// the views to repaint that. GUI thread only.

#include "imagelist/folder_session.h"
#include "imagelist/list_icon_cache.h"

#include <QAbstractTableModel>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace qlx::metadata {
class CameraTable;
}
namespace qlx::settings {
class SettingsRecord;
}

namespace qlx::gui {

enum class CheckChange : std::uint8_t { Check, Uncheck, Invert };

class ImageListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    ImageListModel(imagelist::FolderSession& session, const settings::SettingsRecord& settings,
                   const metadata::CameraTable& cameras, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // ---- What the owner reports ---------------------------------------------
    // A folder was loaded (or the list cleared): every row is new, and the
    // list is not ready until setListReady(true).
    void resetList();
    // These entries got metadata, a thumbnail, a check mark or a new
    // presence: their icons are made again and their rows repainted.
    void entriesChanged(std::span<const std::size_t> entryIndexes);
    // The folder watcher appended entries at the end of the display order.
    void rowsAppended();
    // The list-information worker filled the whole list; until then column
    // clicks are ignored.
    void setListReady(bool ready);
    bool listReady() const { return m_ready; }
    // Icon sizes, fill, sharpness, the 35 mm setting or column titles
    // changed in the settings.
    void settingsChanged();

    // ---- Sorting ---------------------------------------------------------------
    // The column-click rule on `column`; nothing (and no change) while the
    // list is not ready. Rows keep their entries' selection: persistent
    // indexes move with their entries, and so does the current position.
    std::optional<imagelist::SortState::Order> clickColumn(int column);

    // ---- Icons -----------------------------------------------------------------
    // Which icon the file-name column shows: the thumbnail list's (W × H)
    // or the Exif list's (W2 × H2).
    void setFileNameIcon(ListIconKind kind);
    ListIconKind fileNameIcon() const { return m_fileNameIcon; }
    const ListIconCache& iconCache() const { return m_icons; }

    // ---- Entries ---------------------------------------------------------------
    std::optional<std::size_t> entryAtRow(int row) const;
    // -1 when the entry is not shown.
    int rowOfEntry(std::size_t index) const;
    // The text a column shows for an entry, the same the sort compares.
    std::u16string columnText(const imagelist::ImageEntry& entry, int column) const;
    // Sets, clears or toggles the check marks of these rows in one go.
    void changeCheckMarks(std::span<const int> rows, CheckChange change);

    // ---- Media marks -------------------------------------------------------
    // The medium of each entry after a media calculation (0 none, n medium
    // n, -n a file larger than a medium), which colours its Media# cell;
    // empty clears them.
    void setMediaMarks(std::vector<std::pair<std::size_t, std::int32_t>> marks);

    imagelist::FolderSession& session() { return m_session; }
    const imagelist::FolderSession& session() const { return m_session; }

Q_SIGNALS:
    // The user ended editing a file's label with `stem`, the name before
    // its extension; the model changes nothing itself.
    void labelEdited(std::size_t entry, const QString& stem);

private:
    QVariant decoration(const imagelist::ListItem& item, std::size_t index, int column) const;
    QVariant foreground(const imagelist::ListItem& item) const;
    QVariant background(const imagelist::ListItem& item, std::size_t index, int column) const;
    void rebuildRowMap() const;
    void emitRowsChanged(int first, int last, const QList<int>& roles = {});

    imagelist::FolderSession& m_session;
    const settings::SettingsRecord& m_settings;
    const metadata::CameraTable& m_cameras;
    int m_rows = 0;
    bool m_ready = false;
    ListIconKind m_fileNameIcon = ListIconKind::Exif;
    mutable ListIconCache m_icons;
    // rowOfEntry's table, made again after the order changed.
    mutable std::vector<int> m_rowOfEntry;
    mutable bool m_rowMapStale = true;
    std::vector<std::int32_t> m_mediumOfEntry;
};

} // namespace qlx::gui
