#pragma once
// The fixed table of action kinds: their names, and for the thirteen kinds
// a user can register (0 … 12) where the action sends its files, whether
// the destination may be chosen when it runs, whether it can be undone,
// which row colour marks its files, the label of its path in the
// registration dialog, the text the action list shows for it when it has
// no path, and the sentence the dialog shows for it. Kinds 13 and 14 are
// made by the media distribution and the folder merge only.
//
// Thread model: constant data; any thread.

#include <array>
#include <cstdint>
#include <string_view>

namespace qlx::actions {

enum class ActionKind : std::int32_t {
    Undo = 0,
    KeyAssignment = 1,
    HandOver = 2,
    Copy = 3,
    Move = 4,
    Trash = 5,
    Delete = 6,
    DevelopTiff = 7,
    DevelopJpeg = 8,
    ThumbnailSave = 9,
    Rename = 10,
    ReplaceRename = 11,
    LosslessRotation = 12,
    DistributeMove = 13,
    FolderMerge = 14,
};

inline constexpr std::int32_t kRegistrableKinds = 13;

// What the action's path holds.
enum class Destination : std::uint8_t {
    None,          // nothing: the list shows the kind's fixed text
    Function,      // a built-in function (kind 1)
    Application,   // the application the files are handed to (kind 2)
    Folder,        // the folder the files go to or are saved in
    RenameSetting, // the rename settings (kinds 10 and 11)
};

// "◎" undoable, "△" while the file is still in the trash, "×" never.
enum class UndoMark : std::uint8_t { Undoable, WhileInTrash, Never };

// The row colour classes, in the order of the colour settings
// ("コピーアクション行の色" …); None for kinds without a colour.
enum class ColourClass : std::int8_t {
    None = -1,
    Copy = 0,
    Move = 1,
    DeleteAndTrash = 2,
    DevelopTiff = 3,
    DevelopJpeg = 4,
    ThumbnailSave = 5,
    Rename = 6,
    LosslessRotation = 7,
};

struct ActionKindInfo {
    std::u16string_view shortName; // the list and the action log (actions_messages.h)
    std::u16string_view longName;  // messages
    Destination destination;
    bool pathAtRunTime;             // the destination may be chosen when it runs
    UndoMark undo;
    ColourClass colour;
    std::u16string_view pathLabel;  // the registration dialog's path caption
    std::u16string_view fixedText;  // the list's detail when the kind has no path
    std::u16string_view caption;    // the dialog's sentence; "%s" the path or function
};

// Kinds 0 … 14; the properties past the names are those of kinds 0 … 12.
extern const std::array<ActionKindInfo, 15> kActionKinds;

// The row of a kind; nothing outside 0 … 14.
const ActionKindInfo* actionKind(std::int32_t kind);
// Whether a user can register the kind (0 … 12).
bool isRegistrable(std::int32_t kind);

std::u16string_view undoMarkText(UndoMark mark);

} // namespace qlx::actions
