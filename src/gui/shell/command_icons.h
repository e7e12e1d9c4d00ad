#pragma once
// The pictures of commands and tool-box buttons, drawn for this program: SVG
// files in src/gui/icons/ compiled into the program (icons.qrc). This is the
// one lookup from a command, a sub-menu or a tool-box key to its picture; a
// command without one answers an empty icon and shows its label alone.
// A two-state tool-box button has a picture for each state.

#include "shell/command_table.h"

#include <QIcon>

namespace qlx::gui {

QIcon commandIcon(int command);
QIcon subMenuIcon(shell::MenuId menu);
QIcon toolButtonIcon(shell::ToolKey key, bool secondState = false);
// The folders of the rebar's history boxes.
QIcon folderIcon();

} // namespace qlx::gui
