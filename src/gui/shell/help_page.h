#pragma once
// Help (command 133) and the key list (129): the program's own help page, a
// short Japanese HTML page with the keys and the commands, kept in the
// repository (data/help) and copied beside the executable by the build. It
// opens in the user's browser: Linux has no reader for a Windows help file,
// and a page any desktop opens is what its users expect. The key list is the
// page's "keys" section. A page that is missing or that no browser takes is
// reported in the program's error box.

#include <filesystem>

class QWidget;

namespace qlx::gui {

enum class HelpSection { Contents, Keys };

void openHelpPage(const std::filesystem::path& programFolder, HelpSection section, QWidget* parent);

} // namespace qlx::gui
