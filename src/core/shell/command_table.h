#pragma once
// The main window's pop-up menus and the routing of their commands, as data.
//
// Every pop-up menu the window, the list pane and the folder pane open is one
// table of items: a command with its Japanese label, a separator, or a
// sub-menu given by its menu number. Labels are the program's own texts,
// exactly as the user sees them (a key in brackets, such as "(F9)", is the key
// that runs the same command). A command's number is what every pane
// receives; the same number in two menus is the same command with the same
// label.
//
// Nothing here knows about widgets: the GUI builds its menus from these tables
// (gui/shell/menu_builder.h) and asks routeCommand() where a chosen command is
// carried out.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

namespace qlx::shell {

// ---- What a command needs ---------------------------------------------------------------------

// The part of the program that carries a command out. A command whose part
// is not built yet is shown disabled.
enum class Availability : std::uint8_t {
    Always,     // the main window alone (quit)
    Browsing,   // the folder tree and the image list: refresh, styles, check marks, formats, favourites
    Frame,      // the window's own bars: the toolbar lock
    Help,       // the version box, the help page and its key list
    Settings,   // the settings dialog and its pages, the settings pages' own lists
    Metadata,   // the metadata window, IPTC and comments, GPS estimate and map links
    CameraList, // the supported cameras and lenses list
    Cache,      // the thumbnail cache: clear it, the cached-folders history
    Actions,    // file operations, rename, undo, rotation, media split, folder merge
    Raw,        // RAW development
    Viewer,     // rotation, grid, slide show, the additional image window
    Screens,    // the screen layout: the two screens and the split, full screen, the folder
                // tree shown or hidden, the multi-screen modes
    Library,    // collections and search
    Print,      // index print
    Mail,       // mail with attached images
    Desktop,    // hand-overs to the desktop: file manager, properties, wallpaper, recycle bin
    Support,    // the notices window and the support page
    Folders,    // the folder pane's folder commands: open in the file manager, properties,
                // create, delete, rename, copy or move the selected files here
    Collections,// the collection tree's commands: new, rename, delete, delete search results;
                // adding the list's files to a collection and removing them from it
    Zoom,       // the view's latched zoom and loupe modes
    Trash,      // emptying the trash
    FileActions,// the selection to the trash, lossless rotation, the view's quarter turns
    ActionSettings, // the settings window on the pages it has: actions (8), rename (9), media (10)
};

class AvailabilitySet {
public:
    constexpr AvailabilitySet() = default;
    constexpr AvailabilitySet(std::initializer_list<Availability> parts)
    {
        for (const Availability part : parts)
            m_bits |= bit(part);
    }
    constexpr bool contains(Availability part) const { return (m_bits & bit(part)) != 0; }
    constexpr AvailabilitySet with(Availability part) const { return AvailabilitySet(m_bits | bit(part)); }
    constexpr bool operator==(const AvailabilitySet&) const = default;

private:
    constexpr explicit AvailabilitySet(std::uint32_t bits) : m_bits(bits) {}
    static constexpr std::uint32_t bit(Availability part) { return 1u << static_cast<unsigned>(part); }
    std::uint32_t m_bits = 0;
};

// What the program carries out today: the frame and browsing.
inline constexpr AvailabilitySet kAvailableNow{Availability::Always, Availability::Browsing};

// ---- Menus ------------------------------------------------------------------------------------

// The pop-up menus by number. The window keeps them by these numbers; a
// sub-menu entry names the menu it opens.
enum class MenuId : std::uint8_t {
    Main = 1,             // the rebar's menu (right click on the rebar, the menu button)
    List = 2,             // the list pane's context menu
    MultiScreen = 3,
    TargetFormats = 4,
    CheckMarks = 5,
    BatchRename = 6,
    Wallpaper = 7,
    Mail = 8,
    Help = 9,
    Settings = 10,
    Folder = 11,          // the folder tree's context menu
    Favourites = 12,      // filled at run time from the favourite folders
    CacheHistory = 13,    // filled at run time from the cached-folders history
    ListColumns = 14,     // the list columns page
    EditList = 15,        // add, change, delete in a settings list
    Copy = 16,
    Edit = 17,
    Map = 18,             // the GPS list
    AddToCollection = 19, // filled at run time from the collections
    Collections = 20,     // the collection tree's context menu
    SecondEditList = 21,  // add, change, delete in a second settings list
};
inline constexpr int kMenuSlots = 22; // menus are held by number 0..21; 0 is unused

enum class ItemKind : std::uint8_t { Command, Separator, SubMenu };

// How a command shows a check mark.
enum class CheckRule : std::uint8_t {
    None,
    FormatBit,   // checked while checkValue's bit is set in the target-format mask
    MultiScreen, // a radio item: checked while the multi-screen mode equals checkValue
};

struct MenuItem {
    ItemKind kind = ItemKind::Separator;
    // The command number; for a sub-menu, the number of the menu it opens.
    int command = 0;
    std::u16string_view label;
    // For a command only: a sub-menu is usable when one of its items is
    // (isUsable), a run-time list when its menu's listNeeds is there.
    Availability needs = Availability::Always;
    CheckRule check = CheckRule::None;
    std::uint32_t checkValue = 0;

    constexpr MenuId subMenu() const { return static_cast<MenuId>(command); }
};

// Menus whose entries are made at run time: the chosen entry's number is
// (command − kFirstListEntryCommand).
enum class ListKind : std::uint8_t { None, Favourites, CacheHistory, Collections };
inline constexpr int kFirstListEntryCommand = 1000;

struct PopupMenu {
    MenuId id;
    // A window opens it by itself (a context menu); otherwise it is only ever
    // a sub-menu of another.
    bool opensOnItsOwn;
    std::span<const MenuItem> items; // empty for a run-time list
    ListKind list = ListKind::None;
    Availability listNeeds = Availability::Always;
};

// Every pop-up menu, in menu-number order.
std::span<const PopupMenu> popupMenus();
// The menu with this number; nullptr for a number no menu has.
const PopupMenu* findMenu(MenuId id);
// How many entries a run-time list holds at most (0 for ListKind::None).
int listCapacity(ListKind list);

// Whether an item can be chosen with these parts of the program: a command
// when its part is there, a sub-menu when one of its items can be, a
// run-time list when its part is there. Separators never.
bool isUsable(const MenuItem& item, AvailabilitySet available);
bool hasUsableItem(MenuId id, AvailabilitySet available);

// ---- Command numbers the window's own code refers to ------------------------------------------

namespace command {
inline constexpr int kReloadFolderTree = 112;      // to the folder pane
inline constexpr int kRefresh = 118;
inline constexpr int kEmptyRecycleBin = 123;
inline constexpr int kToggleThumbnailSplit = 218;  // F11
inline constexpr int kOpenAdditionalWindow = 607;  // to the list pane
inline constexpr int kFirstSettingsPage = 2000;    // 2000 + page opens the settings on that page
inline constexpr int kSettingsPageCount = 18;
inline constexpr int kFirstMultiScreen = 435;      // 435 + mode, modes 0..4
inline constexpr int kMultiScreenModes = 5;
} // namespace command

// ---- Where a command is carried out -----------------------------------------------------------

enum class Handler : std::uint8_t {
    MainWindow,     // the window itself (quit, help, version, the additional image window, ...)
    ListPane,       // the list pane, which owns the image list
    FolderPane,     // the folder pane (folder tree, favourites, collections)
    SettingsDialog, // the settings dialog, opened on a page
};

struct Route {
    Handler handler;
    // What the handler receives: the command as it reaches the handler (the
    // main menu's own numbers translated to the list pane's), or the page
    // for the settings dialog.
    int command;
    constexpr bool operator==(const Route&) const = default;
};

// One rule of the routing tables: commands first..last go to `handler`,
// `first` arriving as `to` and each later one one further.
struct RouteRule {
    int first;
    int last;
    Handler handler;
    int to;
};

// Where a command chosen in a menu opened by `origin` is carried out. The
// folder and collection menus belong to the folder pane, which keeps its own
// commands and hands the rest on as the main window would; every other menu
// (the main menu, the list menu, the tool box, keys) goes through the main
// window: its own commands, the settings pages, the main menu's numbers
// translated for the list pane, and everything else to the list pane as it is.
Route routeCommand(int command, MenuId origin = MenuId::Main);

// The rules behind routeCommand, first match wins.
std::span<const RouteRule> mainWindowRoutes();
std::span<const RouteRule> folderPaneRoutes();

// ---- The tool box (rebar band 6) -------------------------------------------------------------

// The key that runs a tool-box button's operation from the keyboard.
enum class ToolKey : std::uint8_t {
    Escape, Tab, Enter, NonConvert, Space, Slash, Underscore, Convert,
    Greater, Less, Question,
    F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
};
inline constexpr std::size_t kToolKeys = static_cast<std::size_t>(ToolKey::F12) + 1;

struct ToolBoxButton {
    // The label, also the tooltip, in the button's first state.
    std::u16string_view label;
    // The label in the second state; empty for a button with one state.
    std::u16string_view secondLabel;
    ToolKey key;
    // The menu command that does the same, or -1 when only the key's own
    // operation does it.
    int command;
    Availability needs;
};

// The buttons the tool box offers; a button's number, as the settings' tool
// box table stores it (-1 there for a separator), is its index here.
std::span<const ToolBoxButton> toolBoxButtons();

// ---- Rebar bands and status bar parts ----------------------------------------------------------

// Rebar band kinds 0..6 in creation order, with the label a band shows
// (empty for the bands without one).
enum class BandKind : std::uint8_t { MenuBar, FirstCombo, SecondCombo, Slider, Log, Progress, ToolBox };
inline constexpr int kBandKinds = 7;
std::u16string_view bandLabel(BandKind kind);

// The status bar has 11 parts, numbered from the left. The parts other code
// writes into; parts 0 and 10 hold no text of their own.
inline constexpr int kStatusParts = 11;
enum class StatusPart : std::uint8_t {
    Copies = 1,        // "\tCOPY:%d"
    Moves = 2,         // "\tMOVE:%d"
    Deletions = 3,     // "\tDEL:%d"
    ViewMode = 4,      // "\tZOOM ×%0.2f", "\tLOOPE MODE", "\tFIT MODE"
    Activity = 5,      // loading, metadata progress, the kind of picture shown
    Selection = 6,     // "\tSEL:%d"
    SelectionSize = 7, // "\tSIZE:%s"
    FilePosition = 8,  // "\tFILE:%d/%d"
    TotalSize = 9,     // "\tTOTAL:%s"
};

} // namespace qlx::shell
