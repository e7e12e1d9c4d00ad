#include "settings/action_settings_page.h"

#include "actions/action_kinds.h"
#include "actions/action_record.h"
#include "actions/action_registration.h"
#include "actions/action_texts.h"
#include "actions/settings_messages.h"
#include "imagelist/row_colours.h"
#include "settings/action_registration_dialog.h"
#include "shell/message_box.h"
#include "shell/program_info.h"
#include "shell/qt_text.h"
#include "shell/settings_layout.h"
#include "shell/settings_record.h"
#include "shell/shell_messages.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <vector>

namespace qlx::gui {

namespace {

namespace msg = actions::messages;

enum Column { KindColumn, KeyColumn, DetailColumn, UndoColumn, ColourColumn, SameNameColumn, CommentColumn, IdColumn };
constexpr int kColumns = 8;
constexpr int kRecordRole = Qt::UserRole;

// A disabled action's row.
const QColor kDisabledRow(10, 10, 10);

// Rows sort by their texts as UTF-16 code units, whatever the locale.
class ActionRow : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        return text(column) < other.text(column);
    }
};

bool colourClassOn(const settings::SettingsRecord& settings, actions::ColourClass colour)
{
    return colour != actions::ColourClass::None
        && settings.get(settings::kActionColourClassOn, static_cast<std::size_t>(colour)) == 1;
}

std::size_t recordOf(const QTreeWidgetItem* row)
{
    return row->data(KindColumn, kRecordRole).value<std::size_t>();
}

} // namespace

ActionSettingsPage::ActionSettingsPage(settings::SettingsRecord& settings,
                                       std::array<actions::KeyState, actions::kTargetKeyCount>& keyStates,
                                       std::function<bool(int function)> functionAvailable, QWidget* parent)
    : SettingsPage(parent), m_settings(settings), m_keyStates(keyStates), m_functionAvailable(std::move(functionAvailable))
{
    m_list = new QTreeWidget(this);
    m_list->setColumnCount(kColumns);
    QStringList headers;
    for (const std::u16string_view title : msg::kActionColumns)
        headers << toQString(title);
    m_list->setHeaderLabels(headers);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setAllColumnsShowFocus(true);
    m_list->header()->setSectionsMovable(true);
    m_list->header()->setSectionsClickable(true);
    m_list->header()->setStretchLastSection(false);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, &ActionSettingsPage::sortBy);
    connect(m_list, &QTreeWidget::itemChanged, this, &ActionSettingsPage::onRowChanged);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { change(); });

    m_add = new QPushButton(toQString(msg::kAddButton), this);
    m_add->setToolTip(toQString(msg::kAddTooltip));
    m_change = new QPushButton(toQString(msg::kChangeButton), this);
    m_delete = new QPushButton(toQString(msg::kDeleteButton), this);
    connect(m_add, &QPushButton::clicked, this, &ActionSettingsPage::add);
    connect(m_change, &QPushButton::clicked, this, &ActionSettingsPage::change);
    connect(m_delete, &QPushButton::clicked, this, &ActionSettingsPage::remove);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_add);
    buttons->addWidget(m_change);
    buttons->addWidget(m_delete);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    buildSettingBoxes(layout);
    fill();
    restoreColumns();
}

void ActionSettingsPage::buildSettingBoxes(QVBoxLayout* layout)
{
    const std::array<std::pair<std::u16string_view, io::ScalarField<std::uint8_t>>, 6> boxes{{
        {msg::kConfirmFirstUse, settings::kConfirmFirstUse},
        {msg::kReaskAfterCancel, settings::kReaskAfterCancel},
        {msg::kNoConfirmForKeyAssign, settings::kNoConfirmForKeyAssign},
        {msg::kAdvanceAfterCopy, settings::kAdvanceAfterCopy},
        {msg::kExifOnDevelop, settings::kExifOnDevelop},
        {msg::kKeepTimeOnRotate, settings::kKeepTimeOnRotate},
    }};
    for (const auto& [label, field] : boxes) {
        auto* box = new QCheckBox(toQString(label), this);
        box->setChecked(m_settings.get(field) != 0);
        connect(box, &QCheckBox::toggled, this, [this, field](bool on) { m_settings.set(field, std::uint8_t{on}); });
        layout->addWidget(box);
    }
}

void ActionSettingsPage::fill()
{
    m_filling = true;
    m_list->clear();
    actions::ActionTable table(m_settings);
    for (std::size_t i = 0; i < table.count(); ++i) {
        const actions::ActionRecord record = table.at(i);
        const actions::ActionKindInfo* kind = actions::actionKind(record.kind());
        const bool coloured = kind && colourClassOn(m_settings, kind->colour);
        auto* row = new ActionRow(m_list);
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(KindColumn, record.enabled() ? Qt::Checked : Qt::Unchecked);
        row->setData(KindColumn, kRecordRole, QVariant::fromValue(i));
        row->setText(KindColumn, kind ? toQString(kind->shortName) : QString());
        row->setText(KeyColumn, toQString(actions::targetKeyName(record.key())));
        row->setText(DetailColumn, toQString(actions::actionDetailText(record, m_settings)));
        row->setText(UndoColumn, kind ? toQString(actions::undoMarkText(kind->undo)) : QString());
        row->setText(ColourColumn, toQString(coloured ? msg::kColourOn : msg::kColourOff));
        row->setText(SameNameColumn, toQString(record.sameNameJpeg() ? msg::kSameNameOn : msg::kSameNameOff));
        row->setText(CommentColumn, toQString(record.comment()));
        row->setText(IdColumn, QString::number(i));
        colourRow(row);
    }
    m_filling = false;
}

void ActionSettingsPage::colourRow(QTreeWidgetItem* row)
{
    const actions::ActionRecord record = actions::ActionTable(m_settings).at(recordOf(row));
    const actions::ActionKindInfo* kind = actions::actionKind(record.kind());
    QColor background = m_list->palette().color(QPalette::AlternateBase);
    QColor text = m_list->palette().color(QPalette::Text);
    if (!record.enabled()) {
        background = kDisabledRow;
        text = QColor(Qt::lightGray); // readable on the near-black row
    } else if (kind && colourClassOn(m_settings, kind->colour)) {
        background = classColour(m_settings, static_cast<int>(kind->colour));
    }
    for (int column = 0; column < kColumns; ++column) {
        row->setBackground(column, background);
        row->setForeground(column, text);
    }
}

void ActionSettingsPage::onRowChanged(QTreeWidgetItem* row, int column)
{
    if (m_filling || column != KindColumn)
        return;
    actions::ActionTable(m_settings).at(recordOf(row)).setEnabled(row->checkState(KindColumn) == Qt::Checked);
    m_filling = true; // recolouring changes the row again
    colourRow(row);
    m_filling = false;
}

void ActionSettingsPage::sortBy(int column)
{
    if (column < 0 || column >= kColumns)
        return;
    const auto at = static_cast<std::size_t>(column);
    const Qt::SortOrder order = m_nextDescending[at] ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_nextDescending[at] = !m_nextDescending[at];
    m_list->header()->setSortIndicatorShown(true);
    m_list->sortItems(column, order);
}

std::optional<std::size_t> ActionSettingsPage::selectedRecord() const
{
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return recordOf(selected.front());
}

void ActionSettingsPage::add()
{
    if (actions::ActionTable(m_settings).count() >= settings::kActionSlots) {
        showErrorBox(shell::kProductName, msg::kTableFull, this);
        return;
    }
    edit(std::nullopt, selectedRecord());
}

void ActionSettingsPage::change()
{
    if (const auto record = selectedRecord())
        edit(record, record);
}

void ActionSettingsPage::remove()
{
    if (const auto record = selectedRecord()) {
        actions::ActionTable(m_settings).remove(*record);
        fill();
    }
}

void ActionSettingsPage::edit(std::optional<std::size_t> editing, std::optional<std::size_t> startFrom)
{
    ActionRegistrationDialog dialog(m_settings, m_keyStates, m_functionAvailable, editing, startFrom, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    fill();
    if (dialog.colourClassChanged())
        Q_EMIT rowColoursChanged();
}

void ActionSettingsPage::restoreColumns()
{
    QHeaderView* header = m_list->header();
    std::array<bool, kColumns> seen{};
    for (std::size_t visual = 0; visual < kColumns; ++visual) {
        const std::int32_t logical = m_settings.get(settings::kActionPageColumnOrder, visual);
        // A damaged order is no order: the columns stay as they are.
        if (logical < 0 || logical >= kColumns || seen[static_cast<std::size_t>(logical)])
            return;
        seen[static_cast<std::size_t>(logical)] = true;
    }
    for (int visual = 0; visual < kColumns; ++visual) {
        const int logical = m_settings.get(settings::kActionPageColumnOrder, static_cast<std::size_t>(visual));
        header->moveSection(header->visualIndex(logical), visual);
    }
    for (int column = 0; column < kColumns; ++column) {
        const std::int32_t width = m_settings.get(settings::kActionPageColumnWidths, static_cast<std::size_t>(column));
        if (width > 0 && width < 10000)
            header->resizeSection(column, width);
    }
}

void ActionSettingsPage::storeColumns()
{
    const QHeaderView* header = m_list->header();
    for (int visual = 0; visual < kColumns; ++visual)
        m_settings.set(settings::kActionPageColumnOrder, static_cast<std::size_t>(visual),
                       static_cast<std::int32_t>(header->logicalIndex(visual)));
    for (int column = 0; column < kColumns; ++column)
        m_settings.set(settings::kActionPageColumnWidths, static_cast<std::size_t>(column),
                       static_cast<std::int32_t>(header->sectionSize(column)));
}

void ActionSettingsPage::finish()
{
    actions::ActionTable table(m_settings);
    std::vector<std::size_t> order;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = m_list->topLevelItem(i);
        table.at(recordOf(row)).setEnabled(row->checkState(KindColumn) == Qt::Checked);
        order.push_back(recordOf(row));
    }
    storeColumns();
    actions::reorderActions(m_settings, order);
    fill();
}

} // namespace qlx::gui
