#pragma once
// Qt menus and tool-box actions made from the command table
// (core/shell/command_table.h).
//
// Every item becomes a QAction whose data is its command number, with the
// command's picture where it has one (shell/command_icons.h); a command
// whose part of the program is missing is disabled, and a sub-menu is
// disabled when none of its items can be chosen. A sub-menu that several
// menus contain (settings, help, favourites, cache history) is one QMenu,
// shared by them, so that filling or checking it once shows everywhere.
// Choosing an item emits commandTriggered with its number; the receiver asks
// shell::routeCommand(command, lastShownMenu()) where it is carried out.
//
// The builder owns the menus; the tool-box actions belong to the widget they
// are added to. Everything here runs on the GUI thread.

#include "shell/command_table.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;
class QWidget;

namespace qlx::gui {

class MenuBuilder : public QObject {
    Q_OBJECT
public:
    explicit MenuBuilder(shell::AvailabilitySet available = shell::kAvailableNow, QObject* parent = nullptr);
    ~MenuBuilder() override;

    // The pop-up menu with this number, with its sub-menus, built on first
    // use and kept; nullptr for a number no menu has.
    QMenu* menu(shell::MenuId id);

    // The menu a window opened last (sub-menus do not count); Main before any.
    shell::MenuId lastShownMenu() const { return m_lastShown; }

    // The actions of the menus built so far that carry `command`.
    QList<QAction*> actionsFor(int command) const;

    // Which parts of the program exist: enables and disables every action.
    void setAvailable(shell::AvailabilitySet available);
    shell::AvailabilitySet available() const { return m_available; }

    // Check marks from the settings: the target formats switched on, and the
    // multi-screen mode 0..4 (another value checks no mode).
    void setTargetFormatMask(std::uint32_t mask);
    void setMultiScreenMode(int mode);

    // Replaces the entries of a run-time list menu (favourites, cache history,
    // collections) with `entries`, at most as many as the list holds. Entry i
    // carries the command kFirstListEntryCommand + i.
    void setListEntries(shell::MenuId id, const QStringList& entries);

    // Adds to `toolBox` one action per slot: a tool-box button number, or -1
    // for a separator; numbers no button has are left out. The action's data
    // is the button number, its picture the button's, its tooltip the label.
    void addToolBoxButtons(QWidget* toolBox, std::span<const std::int32_t> slots);
    // Shows the label, tooltip and picture of the state of the two-state
    // button that `key` runs.
    void setToolButtonState(shell::ToolKey key, bool secondState);

Q_SIGNALS:
    // A fixed command of a menu was chosen.
    void commandTriggered(int command);
    // Entry `entry` of the run-time list menu `menu` (a shell::MenuId) was
    // chosen. The favourites and the cache history both number their entries
    // from 1000, so the menu tells them apart.
    void listEntryTriggered(int menu, int entry);
    // A tool-box button was pressed; shell::toolBoxButtons()[button].command
    // is the menu command that does the same, if there is one.
    void toolButtonTriggered(int button);

private:
    struct BuiltItem {
        QAction* action;
        const shell::MenuItem* item;
    };
    struct ToolAction {
        QPointer<QAction> action;
        int button;
    };

    QMenu* build(const shell::PopupMenu& table);
    void addItem(QMenu* menu, const shell::MenuItem& item);
    void updateEnabled();

    shell::AvailabilitySet m_available;
    std::uint32_t m_formatMask = 0;
    int m_multiScreenMode = -1;
    shell::MenuId m_lastShown = shell::MenuId::Main;
    std::array<std::unique_ptr<QMenu>, shell::kMenuSlots> m_menus;
    std::vector<BuiltItem> m_items;
    std::vector<ToolAction> m_toolActions;
    QActionGroup* m_multiScreenGroup = nullptr;
};

} // namespace qlx::gui
