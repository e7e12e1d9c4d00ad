#include "imagelist/image_list_model.h"

#include "imagelist/list_columns.h"
#include "imagelist/row_colours.h"
#include "metadata/shooting_data.h"
#include "metadata/shooting_text.h"
#include "shell/qt_text.h"
#include "shell/settings_record.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>

#include <algorithm>

namespace qlx::gui {

namespace {

using imagelist::ImageEntry;

// The name before its last "." (the whole name without one): what the
// in-place rename lets the user edit.
std::u16string_view editableStem(std::u16string_view name)
{
    const std::size_t dot = name.rfind(u'.');
    return dot == std::u16string_view::npos ? name : name.substr(0, dot);
}

bool show35mm(const settings::SettingsRecord& record)
{
    return record.get(settings::kFocalLength35mm) != 0;
}

} // namespace

ImageListModel::ImageListModel(imagelist::FolderSession& session, const settings::SettingsRecord& settings,
                               const metadata::CameraTable& cameras, QObject* parent)
    : QAbstractTableModel(parent), m_session(session), m_settings(settings), m_cameras(cameras)
{
    m_icons.setSettings(listIconSettingsOf(m_settings));
    m_rows = static_cast<int>(m_session.list().order().size());
}

int ImageListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int ImageListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kListColumnCount;
}

std::optional<std::size_t> ImageListModel::entryAtRow(int row) const
{
    if (row < 0 || row >= m_rows)
        return std::nullopt;
    return m_session.list().entryAt(row);
}

std::u16string ImageListModel::columnText(const ImageEntry& entry, int column) const
{
    // The histogram item's slot holds the 35 mm focal length, not a text
    // of its own.
    if (column == ImageEntry::kItemHistogram)
        return {};
    return metadata::shootingFieldText(entry, column, show35mm(m_settings), m_cameras);
}

QVariant ImageListModel::data(const QModelIndex& index, int role) const
{
    const auto entryIndex = index.isValid() ? entryAtRow(index.row()) : std::nullopt;
    if (!entryIndex)
        return {};
    const imagelist::ListItem& item = m_session.list().item(*entryIndex);
    const ImageEntry& entry = *item.entry;
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return toQString(columnText(entry, column));
    case Qt::DecorationRole:
        return decoration(item, *entryIndex, column);
    case Qt::CheckStateRole:
        if (column != ImageEntry::kItemFileName)
            return {};
        return static_cast<int>(entry.checked() ? Qt::Checked : Qt::Unchecked);
    case Qt::ToolTipRole:
        return toQString(metadata::tooltipInfoText(entry));
    case Qt::ForegroundRole:
        return foreground(item);
    case Qt::EditRole:
        if (column != ImageEntry::kItemFileName)
            return {};
        return toQString(editableStem(entry.name()));
    case Qt::BackgroundRole:
        return background(item, *entryIndex, column);
    default:
        return {};
    }
}

QVariant ImageListModel::decoration(const imagelist::ListItem& item, std::size_t index, int column) const
{
    ListIconKind kind;
    if (column == ImageEntry::kItemFileName)
        kind = m_fileNameIcon;
    else if (column == ImageEntry::kItemHistogram)
        kind = ListIconKind::Histogram;
    else
        return {};
    const QPixmap icon = m_icons.icon(item, index, kind);
    return icon.isNull() ? QVariant() : QVariant(icon);
}

QVariant ImageListModel::foreground(const imagelist::ListItem& item) const
{
    // A file that is gone keeps its row, greyed like a disabled item.
    if (item.entry->isPresent())
        return {};
    return QBrush(QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text));
}

QVariant ImageListModel::background(const imagelist::ListItem& item, std::size_t index, int column) const
{
    if (column == ImageEntry::kItemMediaNumber && index < m_mediumOfEntry.size() && m_mediumOfEntry[index] != 0)
        return QBrush(mediumColour(m_settings, m_mediumOfEntry[index]));
    if (const auto colour = rowBackground(item, m_settings))
        return QBrush(*colour);
    return {};
}

void ImageListModel::setMediaMarks(std::vector<std::pair<std::size_t, std::int32_t>> marks)
{
    m_mediumOfEntry.clear();
    for (const auto& [entry, medium] : marks) {
        if (entry >= m_mediumOfEntry.size())
            m_mediumOfEntry.resize(entry + 1, 0);
        m_mediumOfEntry[entry] = medium;
    }
    if (m_rows > 0)
        Q_EMIT dataChanged(index(0, ImageEntry::kItemMediaNumber), index(m_rows - 1, ImageEntry::kItemMediaNumber),
                           {Qt::BackgroundRole, Qt::DisplayRole});
}

bool ImageListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role == Qt::EditRole) {
        const auto entryIndex = index.column() == ImageEntry::kItemFileName ? entryAtRow(index.row()) : std::nullopt;
        if (!entryIndex)
            return false;
        // An empty text or the name as it was ends the editing without a rename.
        const QString stem = value.toString();
        if (stem.isEmpty() || stem == toQString(editableStem(m_session.list().entry(*entryIndex).name())))
            return false;
        Q_EMIT labelEdited(*entryIndex, stem);
        return true;
    }
    if (role != Qt::CheckStateRole || index.column() != ImageEntry::kItemFileName || !entryAtRow(index.row()))
        return false;
    const bool checked = value.toInt() == Qt::Checked;
    const int row = index.row();
    changeCheckMarks(std::span<const int>(&row, 1), checked ? CheckChange::Check : CheckChange::Uncheck);
    return true;
}

Qt::ItemFlags ImageListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == ImageEntry::kItemFileName) {
        flags |= Qt::ItemIsUserCheckable;
        // A file that is there may be renamed in place.
        if (const auto entry = entryAtRow(index.row()); entry && m_session.list().entry(*entry).isPresent())
            flags |= Qt::ItemIsEditable;
    }
    return flags;
}

QVariant ImageListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return listColumnTitle(m_settings, section);
}

void ImageListModel::changeCheckMarks(std::span<const int> rows, CheckChange change)
{
    int first = m_rows;
    int last = -1;
    for (const int row : rows) {
        const auto entryIndex = entryAtRow(row);
        if (!entryIndex)
            continue;
        ImageEntry& entry = m_session.list().entry(*entryIndex);
        entry.setChecked(change == CheckChange::Invert ? !entry.checked() : change == CheckChange::Check);
        first = std::min(first, row);
        last = std::max(last, row);
    }
    if (last < 0)
        return;
    m_session.markEntriesChanged();
    emitRowsChanged(first, last, {Qt::CheckStateRole});
}

void ImageListModel::emitRowsChanged(int first, int last, const QList<int>& roles)
{
    // One signal for the span: the views repaint only what they show of it.
    Q_EMIT dataChanged(index(first, 0), index(last, kListColumnCount - 1), roles);
}

void ImageListModel::resetList()
{
    beginResetModel();
    m_icons.clear();
    m_mediumOfEntry.clear();
    m_rows = static_cast<int>(m_session.list().order().size());
    m_rowMapStale = true;
    m_ready = false;
    endResetModel();
}

void ImageListModel::entriesChanged(std::span<const std::size_t> entryIndexes)
{
    int first = m_rows;
    int last = -1;
    for (const std::size_t index : entryIndexes) {
        m_icons.invalidate(index);
        const int row = rowOfEntry(index);
        if (row < 0)
            continue;
        first = std::min(first, row);
        last = std::max(last, row);
    }
    if (last >= 0)
        emitRowsChanged(first, last);
}

void ImageListModel::rowsAppended()
{
    const int rows = static_cast<int>(m_session.list().order().size());
    m_rowMapStale = true;
    if (rows <= m_rows)
        return;
    beginInsertRows({}, m_rows, rows - 1);
    m_rows = rows;
    endInsertRows();
}

void ImageListModel::setListReady(bool ready)
{
    m_ready = ready;
}

void ImageListModel::settingsChanged()
{
    m_icons.setSettings(listIconSettingsOf(m_settings));
    if (m_rows > 0)
        emitRowsChanged(0, m_rows - 1);
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, kListColumnCount - 1);
}

void ImageListModel::setFileNameIcon(ListIconKind kind)
{
    if (kind == m_fileNameIcon)
        return;
    m_fileNameIcon = kind;
    if (m_rows > 0)
        Q_EMIT dataChanged(index(0, 0), index(m_rows - 1, 0), {Qt::DecorationRole});
}

void ImageListModel::rebuildRowMap() const
{
    const auto& list = m_session.list();
    m_rowOfEntry.assign(list.size(), -1);
    const auto order = list.order();
    const std::size_t shown = std::min(order.size(), static_cast<std::size_t>(m_rows));
    for (std::size_t row = 0; row < shown; ++row)
        if (order[row] < m_rowOfEntry.size())
            m_rowOfEntry[order[row]] = static_cast<int>(row);
    m_rowMapStale = false;
}

int ImageListModel::rowOfEntry(std::size_t index) const
{
    if (m_rowMapStale)
        rebuildRowMap();
    return index < m_rowOfEntry.size() ? m_rowOfEntry[index] : -1;
}

std::optional<imagelist::SortState::Order> ImageListModel::clickColumn(int column)
{
    if (!m_ready || column < 0 || column >= kListColumnCount)
        return std::nullopt;
    imagelist::ImageList& list = m_session.list();
    if (static_cast<int>(list.order().size()) != m_rows) {
        // Entries came in that the views were not told of yet: sort and
        // show the whole list afresh.
        beginResetModel();
        const auto order = m_session.clickColumn(column, [this](const ImageEntry& entry, int at) {
            return columnText(entry, at);
        });
        m_rows = static_cast<int>(list.order().size());
        m_rowMapStale = true;
        endResetModel();
        return order;
    }

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::optional<std::size_t>> entries;
    entries.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before)
        entries.push_back(entryAtRow(index.row()));
    const auto current = list.entryAt(list.currentPosition());

    const auto order = m_session.clickColumn(column, [this](const ImageEntry& entry, int at) {
        return columnText(entry, at);
    });
    m_rowMapStale = true;

    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype at = 0; at < before.size(); ++at) {
        const auto& entry = entries[static_cast<std::size_t>(at)];
        after.push_back(entry ? index(rowOfEntry(*entry), before[at].column()) : QModelIndex());
    }
    changePersistentIndexList(before, after);
    if (current)
        list.setCurrentPosition(rowOfEntry(*current));
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    return order;
}

} // namespace qlx::gui
