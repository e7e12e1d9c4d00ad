#include "shell/menu_builder.h"

#include "shell/command_icons.h"
#include "shell/qt_text.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QWidget>

#include <algorithm>

namespace qlx::gui {

using shell::ItemKind;
using shell::MenuId;

namespace {

std::size_t slotOf(MenuId id)
{
    return static_cast<std::size_t>(id);
}

// Texts that come from the user (folder paths, collection names) may hold
// '&', which a menu would take for a mnemonic.
QString literalMenuText(const QString& text)
{
    QString escaped = text;
    return escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace

MenuBuilder::MenuBuilder(shell::AvailabilitySet available, QObject* parent)
    : QObject(parent)
    , m_available(available)
{
}

MenuBuilder::~MenuBuilder() = default;

QMenu* MenuBuilder::menu(MenuId id)
{
    const std::size_t slot = slotOf(id);
    if (slot >= m_menus.size())
        return nullptr;
    if (!m_menus[slot]) {
        const shell::PopupMenu* table = shell::findMenu(id);
        if (table == nullptr)
            return nullptr;
        return build(*table);
    }
    return m_menus[slot].get();
}

QMenu* MenuBuilder::build(const shell::PopupMenu& table)
{
    auto& owned = m_menus[slotOf(table.id)];
    owned = std::make_unique<QMenu>();
    QMenu* built = owned.get();
    built->setObjectName(QStringLiteral("menu%1").arg(static_cast<int>(table.id)));
    if (table.opensOnItsOwn) {
        const MenuId id = table.id;
        connect(built, &QMenu::aboutToShow, this, [this, id] { m_lastShown = id; });
    }
    for (const shell::MenuItem& item : table.items)
        addItem(built, item);
    updateEnabled();
    return built;
}

void MenuBuilder::addItem(QMenu* menu, const shell::MenuItem& item)
{
    switch (item.kind) {
    case ItemKind::Separator:
        menu->addSeparator();
        return;
    case ItemKind::SubMenu: {
        QMenu* sub = this->menu(item.subMenu());
        if (sub == nullptr)
            return;
        sub->setTitle(toQString(item.label));
        sub->setIcon(subMenuIcon(item.subMenu()));
        m_items.push_back({menu->addMenu(sub), &item});
        return;
    }
    case ItemKind::Command:
        break;
    }
    QAction* action = menu->addAction(commandIcon(item.command), toQString(item.label));
    action->setData(item.command);
    if (item.check == shell::CheckRule::FormatBit) {
        action->setCheckable(true);
        action->setChecked((m_formatMask & item.checkValue) != 0);
    } else if (item.check == shell::CheckRule::MultiScreen) {
        if (m_multiScreenGroup == nullptr)
            m_multiScreenGroup = new QActionGroup(this);
        action->setCheckable(true);
        action->setActionGroup(m_multiScreenGroup);
        action->setChecked(static_cast<std::int64_t>(item.checkValue) == m_multiScreenMode);
    }
    const int command = item.command;
    connect(action, &QAction::triggered, this, [this, command] { Q_EMIT commandTriggered(command); });
    m_items.push_back({action, &item});
}

QList<QAction*> MenuBuilder::actionsFor(int command) const
{
    QList<QAction*> found;
    for (const BuiltItem& built : m_items) {
        if (built.item->kind == ItemKind::Command && built.item->command == command)
            found.append(built.action);
    }
    return found;
}

void MenuBuilder::setAvailable(shell::AvailabilitySet available)
{
    m_available = available;
    updateEnabled();
}

void MenuBuilder::updateEnabled()
{
    for (const BuiltItem& built : m_items)
        built.action->setEnabled(shell::isUsable(*built.item, m_available));
    const auto buttons = shell::toolBoxButtons();
    for (const ToolAction& tool : m_toolActions) {
        if (tool.action && tool.button >= 0)
            tool.action->setEnabled(m_available.contains(buttons[static_cast<std::size_t>(tool.button)].needs));
    }
}

void MenuBuilder::setTargetFormatMask(std::uint32_t mask)
{
    m_formatMask = mask;
    for (const BuiltItem& built : m_items) {
        if (built.item->check == shell::CheckRule::FormatBit)
            built.action->setChecked((mask & built.item->checkValue) != 0);
    }
}

void MenuBuilder::setMultiScreenMode(int mode)
{
    m_multiScreenMode = mode;
    for (const BuiltItem& built : m_items) {
        if (built.item->check == shell::CheckRule::MultiScreen)
            built.action->setChecked(static_cast<std::int64_t>(built.item->checkValue) == mode);
    }
}

void MenuBuilder::setListEntries(MenuId id, const QStringList& entries)
{
    const shell::PopupMenu* table = shell::findMenu(id);
    QMenu* list = menu(id);
    if (table == nullptr || list == nullptr || table->list == shell::ListKind::None)
        return;
    list->clear();
    const auto count = std::min<qsizetype>(entries.size(), shell::listCapacity(table->list));
    for (qsizetype i = 0; i < count; ++i) {
        QAction* action = list->addAction(literalMenuText(entries[i]));
        const int entry = static_cast<int>(i);
        action->setData(shell::kFirstListEntryCommand + entry);
        const int menuNumber = static_cast<int>(id);
        connect(action, &QAction::triggered, this,
                [this, menuNumber, entry] { Q_EMIT listEntryTriggered(menuNumber, entry); });
    }
}

void MenuBuilder::addToolBoxButtons(QWidget* toolBox, std::span<const std::int32_t> slots)
{
    const auto buttons = shell::toolBoxButtons();
    for (const std::int32_t slot : slots) {
        if (slot == -1) {
            auto* separator = new QAction(toolBox);
            separator->setSeparator(true);
            toolBox->addAction(separator);
            continue;
        }
        if (slot < 0 || static_cast<std::size_t>(slot) >= buttons.size())
            continue;
        const shell::ToolBoxButton& button = buttons[static_cast<std::size_t>(slot)];
        auto* action = new QAction(toolButtonIcon(button.key), toQString(button.label), toolBox);
        action->setToolTip(toQString(button.label));
        action->setData(slot);
        action->setEnabled(m_available.contains(button.needs));
        const int number = slot;
        connect(action, &QAction::triggered, this, [this, number] { Q_EMIT toolButtonTriggered(number); });
        toolBox->addAction(action);
        m_toolActions.push_back({action, slot});
    }
}

void MenuBuilder::setToolButtonState(shell::ToolKey key, bool secondState)
{
    const auto buttons = shell::toolBoxButtons();
    for (const ToolAction& tool : m_toolActions) {
        const shell::ToolBoxButton& row = buttons[static_cast<std::size_t>(tool.button)];
        if (!tool.action || row.key != key)
            continue;
        const QString text = toQString(secondState && !row.secondLabel.empty() ? row.secondLabel : row.label);
        tool.action->setText(text);
        tool.action->setToolTip(text);
        tool.action->setIcon(toolButtonIcon(key, secondState));
    }
}

} // namespace qlx::gui
