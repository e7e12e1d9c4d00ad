#pragma once
// The main window's caption in its three forms.

#include <string>
#include <string_view>

namespace qlx::shell {

enum class ListMode { Folder, Collection };

// folder mode with a folder:        "<prefix>Quenderluxium Ver5.96 - <folder> "
// collection mode with a name:      "<prefix>Quenderluxium Ver5.96 - コレクション [ <name> ]"
// otherwise:                        "<prefix>Quenderluxium Ver5.96"
std::u16string windowTitle(std::u16string_view prefix, ListMode mode, std::u16string_view folder,
                           std::u16string_view collection);

// The caption the main window is created with: "Quenderluxium Ver5.96".
std::u16string initialWindowTitle();

// The command-line folder: every double quote removed.
std::u16string stripDoubleQuotes(std::u16string_view commandLine);

} // namespace qlx::shell
