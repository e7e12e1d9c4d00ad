#pragma once
// The folder named on the command line.

#include <QStringList>

#include <optional>
#include <string>

namespace qlx::gui {

// The first argument with every double quote removed, made absolute against
// the current folder and cleaned ("a/../b" → "b", no trailing "/"), when it
// names an existing folder; nothing otherwise (no argument, a file, a
// missing path). A desktop launcher or a shell may pass a quoted path whole,
// so the quotes are removed before the path is looked up.
std::optional<std::u16string> commandLineFolder(const QStringList& arguments);

} // namespace qlx::gui
