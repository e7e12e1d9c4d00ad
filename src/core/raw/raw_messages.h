#pragma once
// Texts of the development window, kept in one place.

#include <array>
#include <string_view>

namespace qlx::raw::messages {

inline constexpr std::u16string_view kDevelopmentTitle = u"RAW現像";
// Files done so far and the total, then the title.
inline constexpr std::u16string_view kDevelopmentCountTitle = u"[%d/%d] RAW現像";
// The main window's caption prefix while a development job runs.
inline constexpr std::u16string_view kCaptionPrefix = u"[%d/%d] ";
// The file under way and the moving dots.
inline constexpr std::u16string_view kDevelopingFile = u" RAW現像 %s 処理中%s";
// After Close, until the worker has ended.
inline constexpr std::u16string_view kCancelling = u" RAW現像 中断処理中%s";
// The dots by the 333 ms tick counter modulo 4.
inline constexpr std::array<std::u16string_view, 4> kDots{u"   ", u".  ", u".. ", u"..."};

} // namespace qlx::raw::messages
