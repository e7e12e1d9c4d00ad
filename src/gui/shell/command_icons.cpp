#include "shell/command_icons.h"

#include <QString>

#include <array>
#include <string_view>

namespace qlx::gui {

namespace {

using shell::MenuId;
using shell::ToolKey;

struct KeyPictures {
    ToolKey key;
    std::string_view first;
    std::string_view second; // empty: the button has one state
};

// In the order of the tool box's buttons.
constexpr std::array<KeyPictures, 23> kKeyPictures{{
    {ToolKey::Escape, "full-screen", "window"},
    {ToolKey::Tab, "tree-hide", "tree-show"},
    {ToolKey::Enter, "thumbnail-screen", "main-screen"},
    {ToolKey::NonConvert, "grid-show", "grid-hide"},
    {ToolKey::Space, "display-type", ""},
    {ToolKey::Slash, "zoom-keep", "zoom-keep-off"},
    {ToolKey::Underscore, "loupe", "loupe-off"},
    {ToolKey::Convert, "develop", "develop-release"},
    {ToolKey::Greater, "rotate-right", ""},
    {ToolKey::Less, "rotate-left", ""},
    {ToolKey::Question, "rotate-exif", ""},
    {ToolKey::F1, "slideshow", "slideshow-stop"},
    {ToolKey::F2, "check", ""},
    {ToolKey::F3, "uncheck", ""},
    {ToolKey::F4, "check-jump", ""},
    {ToolKey::F5, "refresh", ""},
    {ToolKey::F6, "media-calc", ""},
    {ToolKey::F7, "media-distribute", ""},
    {ToolKey::F8, "merge", ""},
    {ToolKey::F9, "settings", ""},
    {ToolKey::F10, "action-settings", ""},
    {ToolKey::F11, "split", ""},
    {ToolKey::F12, "multi-screen", ""},
}};

struct CommandPicture {
    int command;
    std::string_view name;
};

constexpr std::array<CommandPicture, 22> kCommandPictures{{
    {105, "quit"},
    {117, "trash"},
    {118, "refresh"},
    {119, "display-type"},
    {123, "trash-empty"},
    {32775, "trash-empty"},
    {133, "help"},
    {139, "merge"},
    {156, "folder"},
    {164, "favourite"},
    {182, "check"},
    {183, "uncheck"},
    {185, "cache-clear"},
    {206, "loupe"},
    {218, "split"},
    {227, "zoom-keep"},
    {435, "screen-1"},
    {436, "screen-2h"},
    {437, "screen-2v"},
    {438, "screen-3"},
    {439, "screen-4"},
    {2008, "action-settings"},
}};

struct MenuPicture {
    MenuId menu;
    std::string_view name;
};

constexpr std::array<MenuPicture, 5> kMenuPictures{{
    {MenuId::MultiScreen, "multi-screen"},
    {MenuId::CheckMarks, "check"},
    {MenuId::Help, "help"},
    {MenuId::Settings, "settings"},
    {MenuId::Favourites, "favourite"},
}};

QIcon picture(std::string_view name)
{
    if (name.empty())
        return {};
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1StringView(name.data(), static_cast<qsizetype>(name.size()))));
}

} // namespace

QIcon commandIcon(int command)
{
    for (const CommandPicture& row : kCommandPictures)
        if (row.command == command)
            return picture(row.name);
    return {};
}

QIcon subMenuIcon(MenuId menu)
{
    for (const MenuPicture& row : kMenuPictures)
        if (row.menu == menu)
            return picture(row.name);
    return {};
}

QIcon toolButtonIcon(ToolKey key, bool secondState)
{
    for (const KeyPictures& row : kKeyPictures)
        if (row.key == key)
            return picture(secondState && !row.second.empty() ? row.second : row.first);
    return {};
}

QIcon folderIcon()
{
    return picture("folder");
}

} // namespace qlx::gui
