#pragma once
// The icons of the action log's lines: one per action kind for a line that
// succeeded (index = kind) and one per kind for a line that failed or was
// skipped (index = 14 + kind), drawn once.
//
// GUI thread only.

#include <QIcon>

namespace qlx::gui {

inline constexpr int kActionLogIconCount = 28;

// The icon at `index` (0 … 27); a null icon outside.
QIcon actionLogIcon(int index);

} // namespace qlx::gui
