#include "imagelist/list_pane.h"

#include "imagelist/list_columns.h"
#include "shell/menu_builder.h"
#include "shell/qt_text.h"
#include "shell/settings_record.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QStackedLayout>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeView>

#include <algorithm>
#include <utility>

namespace qlx::gui {

namespace {

// Room around an icon in the thumbnails grid, and the width given to a name
// in the list style, in average characters.
constexpr int kGridGap = 12;
constexpr int kListNameCharacters = 24;

// The editor of a label being renamed keeps the keys the window binds to
// its own commands (Enter switches screens, Escape full screen, Space the
// display type, the letters run actions): typing a name must not run them.
class LabelKeysKeeper : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
                event->accept();
        }
        return QObject::eventFilter(watched, event);
    }
};

class LabelDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (editor)
            editor->installEventFilter(new LabelKeysKeeper(editor));
        return editor;
    }
};

// The wait cursor for the length of a scope.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

void setUpDetailsView(QTreeView& view)
{
    view.setRootIsDecorated(false);
    view.setItemsExpandable(false);
    view.setUniformRowHeights(true);
    view.setAllColumnsShowFocus(true);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setTextElideMode(Qt::ElideRight);
    QHeaderView& header = *view.header();
    header.setStretchLastSection(false);
    header.setSectionsMovable(true);
    header.setSectionsClickable(true);
    header.setSortIndicatorShown(true);
    header.setSortIndicator(-1, Qt::AscendingOrder);
}

void setUpIconView(QListView& view)
{
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    // Every item is as big as the first: the view lays out tens of
    // thousands of rows without asking each for its size.
    view.setUniformItemSizes(true);
    view.setTextElideMode(Qt::ElideMiddle);
    view.setWordWrap(false);
}

} // namespace

ListPane::ListPane(imagelist::FolderSession& session, settings::SettingsRecord& settings,
                   const metadata::CameraTable& cameras, MenuBuilder& menus, QWidget* parent)
    : QWidget(parent), m_session(session), m_settings(settings), m_menus(menus),
      m_model(new ImageListModel(session, settings, cameras, this))
{
    buildViews();
    applySettings();
    setDisplayStyle(m_settings.get(settings::kDisplayStyle));
}

ListPane::~ListPane()
{
    // The icon view borrows the details view's selection model, and both
    // views watch the model: the borrower goes first, the model last.
    delete m_iconView;
    delete m_detailsView;
}

void ListPane::buildViews()
{
    m_iconView = new QListView(this);
    m_detailsView = new QTreeView(this);
    setUpIconView(*m_iconView);
    setUpDetailsView(*m_detailsView);
    m_detailsView->setModel(m_model);
    m_iconView->setModel(m_model);
    // Both views share one selection, so a style change keeps it.
    m_selection = m_detailsView->selectionModel();
    QItemSelectionModel* own = m_iconView->selectionModel();
    m_iconView->setSelectionModel(m_selection);
    delete own;

    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(m_iconView),
                                    static_cast<QAbstractItemView*>(m_detailsView)}) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        // A click on the label of the selected row starts its rename, as
        // in a file manager; F2 and double clicks have other work here.
        view->setEditTriggers(QAbstractItemView::SelectedClicked);
        view->setItemDelegate(new LabelDelegate(view));
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& position) { showContextMenu(view, position); });
        connect(view, &QAbstractItemView::doubleClicked, this,
                [this](const QModelIndex& index) { Q_EMIT activated(index.row()); });
        view->installEventFilter(this);
    }
    connect(m_selection, &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { onCurrentRowChanged(current); });
    connect(m_selection, &QItemSelectionModel::selectionChanged, this, [this] { Q_EMIT selectionChanged(); });

    QHeaderView* header = m_detailsView->header();
    connect(header, &QHeaderView::sectionClicked, this, &ListPane::clickColumn);
    const auto store = [this, header] {
        if (!m_applyingColumns)
            storeListColumnLayout(*header, m_settings);
    };
    connect(header, &QHeaderView::sectionResized, this, store);
    connect(header, &QHeaderView::sectionMoved, this, store);

    m_stack = new QStackedLayout(this);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->addWidget(m_detailsView);
    m_stack->addWidget(m_iconView);
}

void ListPane::applySettings()
{
    m_model->settingsChanged();
    QFont font = this->font();
    const std::u16string face = m_settings.text(settings::kListFontFace);
    if (!face.empty())
        font.setFamily(toQString(face));
    if (const std::int32_t points = m_settings.get(settings::kListFontSize); points > 0)
        font.setPointSize(points);
    m_iconView->setFont(font);
    m_detailsView->setFont(font);
    m_detailsView->setIconSize(m_model->iconCache().settings().exifSize);
    applyColumns();
    applySelectionMode();
    if (m_style != kStyleDetails)
        applyIconViewStyle();
}

void ListPane::applyColumns()
{
    m_applyingColumns = true;
    applyListColumnLayout(*m_detailsView->header(), listColumnLayoutOf(m_settings));
    m_applyingColumns = false;
}

bool ListPane::multipleSelection() const
{
    return m_settings.get(settings::kMultipleSelection) != 0;
}

void ListPane::applySelectionMode()
{
    const auto mode = multipleSelection() ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection;
    m_iconView->setSelectionMode(mode);
    m_detailsView->setSelectionMode(mode);
}

void ListPane::applyIconViewStyle()
{
    const QSize icon = m_model->iconCache().settings().thumbnailSize;
    const QFontMetrics metrics(m_iconView->font());
    const int indicator = m_iconView->style()->pixelMetric(QStyle::PM_IndicatorWidth);
    if (m_style == kStyleThumbnails) {
        m_iconView->setViewMode(QListView::IconMode);
        m_iconView->setFlow(QListView::LeftToRight);
        m_iconView->setGridSize(QSize(icon.width() + indicator + kGridGap, icon.height() + metrics.height() + kGridGap));
    } else {
        m_iconView->setViewMode(QListView::ListMode);
        m_iconView->setFlow(QListView::TopToBottom);
        m_iconView->setGridSize(QSize(icon.width() + indicator + metrics.averageCharWidth() * kListNameCharacters,
                                      std::max(icon.height(), metrics.height()) + kGridGap / 2));
    }
    m_iconView->setMovement(QListView::Static);
    m_iconView->setWrapping(true);
    m_iconView->setResizeMode(QListView::Adjust);
    m_iconView->setIconSize(icon);
}

void ListPane::setDisplayStyle(int style)
{
    if (style < kStyleThumbnails || style > kStyleDetails)
        style = kStyleDetails;
    const bool hadFocus = currentView()->hasFocus();
    m_style = style;
    m_settings.set(settings::kDisplayStyle, static_cast<std::int32_t>(style));
    m_model->setFileNameIcon(style == kStyleDetails ? ListIconKind::Exif : ListIconKind::Thumbnail);
    if (style != kStyleDetails)
        applyIconViewStyle();
    QAbstractItemView* view = currentView();
    m_stack->setCurrentWidget(view);
    if (hadFocus)
        view->setFocus();
    if (m_selection->currentIndex().isValid())
        view->scrollTo(m_selection->currentIndex());
}

QAbstractItemView* ListPane::currentView() const
{
    if (m_style == kStyleDetails)
        return m_detailsView;
    return m_iconView;
}

void ListPane::resetList()
{
    m_model->resetList();
    if (std::exchange(m_rowsHidden, false)) {
        for (int row = 0; row < m_model->rowCount(); ++row)
            setPositionShown(row, true);
    }
    m_sortColumn = -1;
    restoreSortIndicator();
    const auto position = m_session.list().currentPosition();
    if (position >= 0)
        setCurrentPosition(static_cast<int>(position));
}

void ListPane::entriesChanged(std::span<const std::size_t> entryIndexes)
{
    m_model->entriesChanged(entryIndexes);
}

void ListPane::rowsAppended()
{
    const int before = m_model->rowCount();
    m_model->rowsAppended();
    // A file another program put into the folder shows up as the current
    // entry at the end of the list.
    if (m_model->rowCount() > before)
        setCurrentPosition(m_model->rowCount() - 1);
}

void ListPane::setListReady(bool ready)
{
    m_model->setListReady(ready);
}

int ListPane::currentPosition() const
{
    return static_cast<int>(m_session.list().currentPosition());
}

void ListPane::setCurrentPosition(int position)
{
    const QModelIndex index = m_model->index(position, 0);
    if (!index.isValid())
        return;
    m_selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    currentView()->scrollTo(index);
}

void ListPane::onCurrentRowChanged(const QModelIndex& current)
{
    // A reset passes through "no current row"; the list keeps its position
    // until the new list sets one.
    if (!current.isValid())
        return;
    m_session.list().setCurrentPosition(current.row());
    Q_EMIT currentChanged(current.row());
}

std::vector<std::size_t> ListPane::selectedEntries() const
{
    std::vector<bool> selected(static_cast<std::size_t>(m_model->rowCount()), false);
    for (const QItemSelectionRange& range : m_selection->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            if (row >= 0 && static_cast<std::size_t>(row) < selected.size())
                selected[static_cast<std::size_t>(row)] = true;
    std::vector<std::size_t> entries;
    for (std::size_t row = 0; row < selected.size(); ++row)
        if (selected[row])
            if (const auto entry = m_model->entryAtRow(static_cast<int>(row)))
                entries.push_back(*entry);
    return entries;
}

std::vector<std::u16string> ListPane::selectedPaths() const
{
    std::vector<std::u16string> paths;
    for (const std::size_t entry : selectedEntries())
        paths.push_back(m_session.list().entry(entry).path());
    return paths;
}

std::vector<std::size_t> ListPane::checkedEntries() const
{
    std::vector<std::size_t> entries;
    const imagelist::ImageList& list = m_session.list();
    for (int row = 0; row < m_model->rowCount(); ++row)
        if (const auto entry = m_model->entryAtRow(row); entry && list.entry(*entry).checked())
            entries.push_back(*entry);
    return entries;
}

void ListPane::selectAll()
{
    if (multipleSelection())
        currentView()->selectAll();
}

void ListPane::clickColumn(int column)
{
    if (!m_model->listReady()) {
        restoreSortIndicator();
        return;
    }
    const int before = currentPosition();
    std::optional<imagelist::SortState::Order> order;
    {
        WaitCursor wait;
        order = m_model->clickColumn(column);
    }
    if (order) {
        m_sortColumn = order->column;
        m_sortOrder = order->direction == imagelist::SortDirection::Ascending ? Qt::AscendingOrder
                                                                              : Qt::DescendingOrder;
    }
    restoreSortIndicator();
    if (currentPosition() != before)
        Q_EMIT currentChanged(currentPosition());
    if (m_selection->currentIndex().isValid())
        currentView()->scrollTo(m_selection->currentIndex());
}

void ListPane::restoreSortIndicator()
{
    // The header turns its mark on every click by itself; the list's own
    // order decides what it shows.
    m_detailsView->header()->setSortIndicator(m_sortColumn, m_sortOrder);
}

void ListPane::showContextMenu(QAbstractItemView* view, const QPoint& position)
{
    if (QMenu* menu = m_menus.menu(shell::MenuId::List))
        menu->exec(view->viewport()->mapToGlobal(position));
}

bool ListPane::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == m_iconView || watched == m_detailsView)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (m_selection->currentIndex().isValid())
                Q_EMIT activated(m_selection->currentIndex().row());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace qlx::gui
