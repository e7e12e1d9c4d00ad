#include "shell/help_page.h"

#include "shell/message_box.h"
#include "shell/program_info.h"
#include "shell/qt_text.h"
#include "shell/shell_messages.h"

#include <QDesktopServices>
#include <QUrl>

namespace qlx::gui {

void openHelpPage(const std::filesystem::path& programFolder, HelpSection section, QWidget* parent)
{
    const std::filesystem::path page = programFolder / shell::kHelpFileName;
    QUrl address = QUrl::fromLocalFile(pathToQString(page));
    if (section == HelpSection::Keys)
        address.setFragment(QStringLiteral("keys"));
    std::error_code error;
    if (std::filesystem::is_regular_file(page, error) && QDesktopServices::openUrl(address))
        return;
    showErrorBox(shell::kProductName,
                 shell::messages::fillText(shell::messages::kHelpNotOpened, u"%s", page.u16string()), parent);
}

} // namespace qlx::gui
