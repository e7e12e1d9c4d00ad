#include "shell/window_title.h"

#include "shell/shell_messages.h"
#include "shell/program_info.h"

namespace qlx::shell {

std::u16string windowTitle(std::u16string_view prefix, ListMode mode, std::u16string_view folder,
                           std::u16string_view collection)
{
    std::u16string title(prefix);
    title += kProductName;
    title += u" Ver";
    title += kProgramVersion;
    if (mode == ListMode::Folder && !folder.empty()) {
        title += u" - ";
        title += folder;
        title += u" ";
    } else if (mode == ListMode::Collection && !collection.empty()) {
        title += u" - ";
        title += messages::kCollectionTitleWord;
        title += u" [ ";
        title += collection;
        title += u" ]";
    }
    return title;
}

std::u16string initialWindowTitle()
{
    return windowTitle(u"", ListMode::Folder, u"", u"");
}

std::u16string stripDoubleQuotes(std::u16string_view commandLine)
{
    std::u16string result;
    for (char16_t c : commandLine)
        if (c != u'"')
            result.push_back(c);
    return result;
}

} // namespace qlx::shell
