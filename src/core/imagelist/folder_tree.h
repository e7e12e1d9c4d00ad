#pragma once
// The rules of the folder pane that need no widget: where a folder sits in
// the folder tree, which folder names may be made, and the pane's width.
//
// The folder tree has two top-level items: the user's home folder, labelled
// with its folder name, and the file-system root, labelled "/". Every other
// item is labelled with its folder name. The tree path of a folder is the
// chain of labels from a top-level item down to it: a folder inside the
// home folder (or the home folder itself) is reached through the home item,
// any other absolute path through "/". A path that is not absolute has no
// tree path. The pane finds a folder by walking its tree path label by
// label with an exact, case-sensitive comparison.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qlx::imagelist {

// ---- Tree path ------------------------------------------------------------

inline constexpr std::u16string_view kFileSystemRootLabel = u"/";

// The folder in its plain form: absolute, single separators, no "." parts,
// ".." parts folded, no trailing separator ("/" stays "/"). Nothing for a
// path that is not absolute.
std::optional<std::u16string> normalFolderPath(std::u16string_view path);

// The label of the home folder's top-level item: its folder name. Empty
// when `home` is "/" or not absolute (the tree then has "/" alone).
std::u16string homeLabel(std::u16string_view home);

// The tree path of `folder`: the top-level item's label first, then one
// label per folder below it. Nothing when the folder is not absolute.
std::optional<std::vector<std::u16string>> treePath(std::u16string_view folder, std::u16string_view home);

// Whether `folder` is one of the two top-level folders (which are never
// renamed or deleted from the tree).
bool isTreeRoot(std::u16string_view folder, std::u16string_view home);

// Whether `inner` is `outer` or lies inside it (plain forms, exact
// comparison).
bool isSameOrInside(std::u16string_view inner, std::u16string_view outer);

// ---- Folder names ---------------------------------------------------------

// Characters a folder name may not hold: the same as for every name the
// program makes, so that folders stay valid on the memory cards and media
// people copy to.
inline constexpr std::u16string_view kForbiddenFolderCharacters = u":;<>?|*/\"";
// NAME_MAX of the Linux file systems, in bytes of UTF-8.
inline constexpr std::size_t kMaxFolderNameBytes = 255;

enum class FolderNameCheck {
    Valid,
    Empty,
    DotName,   // "." or ".."
    Forbidden, // a forbidden character, a control character or a lone surrogate
    TooLong,   // longer than kMaxFolderNameBytes in UTF-8
};
FolderNameCheck checkFolderName(std::u16string_view name);

// `folder` with its last part replaced by `newName`.
std::u16string renamedFolderPath(std::u16string_view folder, std::u16string_view newName);
// The folder `folder` lies in ("/" for a folder at the top).
std::u16string parentFolderPath(std::u16string_view folder);

// ---- Pane width -----------------------------------------------------------

inline constexpr int kMinFolderPaneWidth = 64;
// The width a stored 0 (not set) stands for.
inline constexpr int kDefaultFolderPaneWidth = 200;
// What the main window keeps free to the right of the pane.
inline constexpr int kMinSpaceRightOfPane = 64;

// The width to use for a stored value: 0 means not set.
int storedFolderPaneWidth(int stored);
// `width` held to kMinFolderPaneWidth .. clientWidth - kMinSpaceRightOfPane;
// the lower limit wins when the window is too narrow for both. A
// clientWidth of 0 or less means no upper limit.
int clampFolderPaneWidth(int width, int clientWidth);

} // namespace qlx::imagelist
