#pragma once
// The program's own strings: its name, version and the other texts that a
// string table would hold.

#include <string_view>

namespace qlx::shell {

inline constexpr std::u16string_view kProductName = u"Quenderluxium";      // 40000
inline constexpr std::u16string_view kWindowClassName = u"QUENDERLUXIUM";   // 40008
inline constexpr std::u16string_view kProgramVersion = u"5.96";             // 40001
inline constexpr std::u16string_view kCacheFormatVersion = u"5.16";         // 40009
inline constexpr float kCacheFormatVersionValue = 5.16f;
// The executable's file name; the program refuses to run under another one.
inline constexpr std::string_view kExecutableName = "Quenderluxium";
inline constexpr std::string_view kTablesFolderName = "bin";
// The help page beside the executable, opened in the user's browser.
inline constexpr std::string_view kHelpFileName = "Quenderluxium.html";

// Web pages of the help menu (support, notices, data). The program ships its
// tables with it and does not download anything.
inline constexpr std::u16string_view kSupportAddress = u"https://quenderluxium.example/support/";
inline constexpr std::u16string_view kNoticesAddress = u"https://quenderluxium.example/news/";
inline constexpr std::u16string_view kHomeAddress = u"https://quenderluxium.example/";

} // namespace qlx::shell
