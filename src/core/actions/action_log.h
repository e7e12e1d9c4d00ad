#pragma once
// The lines of the action log, the "ログ" band of the rebar: one line per
// file an action or a file operation touched, "<kind>:<file name>-><result>"
// with the kind's short name and the result text, newest on top. A rename
// that another program made in the open folder is logged as a rename of
// ours, under the file's old name.

#include <cstdint>
#include <string>
#include <string_view>

namespace qlx::actions {

inline constexpr int kKindRename = 10;

enum class Result : std::uint8_t { Failed = 0, Done = 1, Skipped = 2 };

// The line for `kind` (0 to 14) and `result`; an unknown kind leaves the
// kind's name empty.
std::u16string logLine(int kind, std::u16string_view fileName, Result result);

} // namespace qlx::actions
