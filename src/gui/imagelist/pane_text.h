#pragma once
// Two small conversions the folder pane and its trees share: a message of
// the texts tables with its "%s" filled in, and the plain form of a folder
// path.

#include "imagelist/folder_tree.h"
#include "shell/qt_text.h"
#include "shell/shell_messages.h"

#include <QString>

#include <string_view>

namespace qlx::gui {

// `text` with its first "%s" replaced by `value`.
inline QString fill(std::u16string_view text, const QString& value)
{
    return toQString(shell::messages::fillText(text, u"%s", u16View(value)));
}

// The plain form of an absolute folder path (imagelist::normalFolderPath);
// empty when the path has none.
inline QString normalFolder(const QString& folder)
{
    const auto normal = imagelist::normalFolderPath(u16View(folder));
    return normal ? toQString(*normal) : QString();
}

} // namespace qlx::gui
