#include "shell/start_folder.h"

#include "shell/qt_text.h"
#include "shell/window_title.h"

#include <QDir>
#include <QFileInfo>

namespace qlx::gui {

std::optional<std::u16string> commandLineFolder(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return std::nullopt;
    const QString unquoted = toQString(shell::stripDoubleQuotes(toU16(arguments.front())));
    if (unquoted.isEmpty())
        return std::nullopt;
    const QFileInfo info(unquoted);
    if (!info.isDir())
        return std::nullopt;
    return toU16(QDir::cleanPath(info.absoluteFilePath()));
}

} // namespace qlx::gui
