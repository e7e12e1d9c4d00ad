// The list pane's own commands: display style, check marks, selection by
// check mark, copying the selection's texts, browsing only the selected
// rows, and the jump to the next checked entry.

#include "imagelist/list_pane.h"

#include "imagelist/list_columns.h"
#include "shell/qt_text.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelection>
#include <QListView>
#include <QTreeView>

#include <algorithm>
#include <cstdlib>

namespace qlx::gui {

namespace {

using imagelist::ImageEntry;

// Columns the copied text leaves out: no text (histogram) or texts of the
// program's own bookkeeping (Status, Media#).
bool copiedColumn(int column)
{
    return column != ImageEntry::kItemHistogram && column != ImageEntry::kItemStatus
           && column != ImageEntry::kItemMediaNumber;
}

} // namespace

bool ListPane::executeCommand(int command)
{
    switch (command) {
    case list_command::kChangeDisplayStyle:
        setDisplayStyle(m_style % kStyleDetails + 1);
        return true;
    case list_command::kCheckSelected:
    case list_command::kUncheckSelected:
    case list_command::kInvertCheckMarks: {
        const std::vector<int> rows = targetRows();
        const CheckChange change = command == list_command::kCheckSelected     ? CheckChange::Check
                                   : command == list_command::kUncheckSelected ? CheckChange::Uncheck
                                                                               : CheckChange::Invert;
        m_model->changeCheckMarks(rows, change);
        return true;
    }
    case list_command::kSelectChecked:
        selectByCheckMark(true);
        return true;
    case list_command::kSelectUnchecked:
        selectByCheckMark(false);
        return true;
    case list_command::kCopyInformation:
        copyInformation();
        return true;
    case list_command::kBrowseSelected:
        browseSelected();
        return true;
    default:
        return false;
    }
}

std::vector<int> ListPane::targetRows() const
{
    std::vector<int> rows;
    if (!multipleSelection()) {
        if (m_selection->currentIndex().isValid())
            rows.push_back(m_selection->currentIndex().row());
        return rows;
    }
    for (const QItemSelectionRange& range : m_selection->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void ListPane::selectByCheckMark(bool checked)
{
    // Choosing a set of rows needs a list that can hold more than one.
    if (!multipleSelection())
        return;
    const imagelist::ImageList& list = m_session.list();
    QItemSelection selection;
    int runStart = -1;
    int lastMatch = -1;
    const int rows = m_model->rowCount();
    for (int row = 0; row <= rows; ++row) {
        const auto entry = row < rows ? m_model->entryAtRow(row) : std::nullopt;
        const bool match = entry && list.entry(*entry).checked() == checked;
        if (match && runStart < 0)
            runStart = row;
        if (!match && runStart >= 0) {
            selection.select(m_model->index(runStart, 0), m_model->index(row - 1, kListColumnCount - 1));
            runStart = -1;
        }
        if (match)
            lastMatch = row;
    }
    m_selection->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    // Each matching row takes the focus in turn: the last one keeps it.
    if (lastMatch >= 0) {
        m_selection->setCurrentIndex(m_model->index(lastMatch, 0), QItemSelectionModel::NoUpdate);
        currentView()->scrollTo(m_model->index(lastMatch, 0));
    }
}

void ListPane::copyInformation() const
{
    const QHeaderView& header = *m_detailsView->header();
    const bool multiple = multipleSelection();
    std::vector<int> columns;
    for (int position = 0; position < header.count(); ++position) {
        const int column = header.logicalIndex(position);
        // With multiple selection the line is what the list shows.
        if (copiedColumn(column) && !(multiple && header.isSectionHidden(column)))
            columns.push_back(column);
    }
    const imagelist::ImageList& list = m_session.list();
    QString text;
    for (const int row : targetRows()) {
        const auto entry = m_model->entryAtRow(row);
        if (!entry)
            continue;
        for (const int column : columns) {
            text += QLatin1Char('\t');
            text += toQString(m_model->columnText(list.entry(*entry), column));
        }
        text += QLatin1Char('\n');
    }
    QGuiApplication::clipboard()->setText(text);
}

bool ListPane::jumpToNextChecked(bool viewPanesShown)
{
    const imagelist::ImageList& list = m_session.list();
    const int rows = m_model->rowCount();
    const int start = std::max(currentPosition(), -1);
    for (int step = 1; step <= rows; ++step) {
        const int row = (start + step) % rows;
        const auto entry = m_model->entryAtRow(row);
        if (!entry || !list.entry(*entry).checked())
            continue;
        // A checked file that is gone cannot be shown in a view.
        if ((viewPanesShown && !list.entry(*entry).isPresent()) || !isPositionShown(row))
            continue;
        setCurrentPosition(row);
        return true;
    }
    return false;
}

void ListPane::browseSelected()
{
    // The rows the other commands work on: with single selection, the
    // current one alone.
    const std::vector<int> rows = targetRows();
    if (rows.empty())
        return;
    std::vector<bool> keep(static_cast<std::size_t>(m_model->rowCount()), false);
    for (const int row : rows)
        keep[static_cast<std::size_t>(row)] = true;
    for (int row = 0; row < m_model->rowCount(); ++row)
        setPositionShown(row, keep[static_cast<std::size_t>(row)]);
    m_rowsHidden = true;
    // The focus stays on a row that is left, and the selection as it is.
    if (!isPositionShown(currentPosition()))
        m_selection->setCurrentIndex(m_model->index(rows.front(), 0), QItemSelectionModel::NoUpdate);
}

void ListPane::setPositionShown(int position, bool shown)
{
    if (m_detailsView->isRowHidden(position, {}) == shown)
        m_detailsView->setRowHidden(position, {}, !shown);
    if (m_iconView->isRowHidden(position) == shown)
        m_iconView->setRowHidden(position, !shown);
}

bool ListPane::isPositionShown(int position) const
{
    return position >= 0 && position < m_model->rowCount() && !m_detailsView->isRowHidden(position, {});
}

bool ListPane::stepCurrent(int delta)
{
    const int step = delta < 0 ? -1 : 1;
    int position = currentPosition();
    for (int left = std::abs(delta); left > 0;) {
        position += step;
        if (position < 0 || position >= m_model->rowCount())
            return false;
        if (isPositionShown(position))
            --left;
    }
    if (position == currentPosition())
        return false;
    if (!m_rowsHidden) {
        setCurrentPosition(position);
        return true;
    }
    // With rows hidden the selection is what is browsed: it stays.
    const QModelIndex index = m_model->index(position, 0);
    m_selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    currentView()->scrollTo(index);
    return true;
}

} // namespace qlx::gui
