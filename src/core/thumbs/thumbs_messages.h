#pragma once
// Texts of the pictures subsystem, kept in one place. The buttons every box
// shares are in shell/shell_messages.h.

#include <string_view>

namespace qlx::thumbs::messages {

// The RAW engine could not develop a thumbnail or a preview; shown once per
// list load (gui/shell/raw_failure_notice.h).
inline constexpr std::u16string_view kRawDevelopmentFailed = u"RAW現像に失敗しました。";

} // namespace qlx::thumbs::messages
