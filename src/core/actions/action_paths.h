#pragma once
// The checks a destination typed into an action passes before it is kept.
//
// Folders are separated by "/". A path that begins with "/" is absolute;
// any other is taken from each file's own folder ("keep", "../rejects").
// A path that begins with "\" is refused with its own message: it is
// neither. Inside names the characters that memory cards (FAT) refuse stay
// refused — : ; < > ? | * " and the backslash — and so are a name of
// blanks only and two separators in a row. An application path must name
// a file after its last separator.
//
// Thread model: pure functions; any thread.

#include <string>
#include <string_view>

namespace qlx::actions {

enum class PathProblem {
    None,
    Empty,            // nothing typed
    Invalid,          // a refused character, a blank name or "//"
    LeadingBackslash, // begins with "\"
};

PathProblem checkFolderPath(std::u16string_view path);
PathProblem checkApplicationPath(std::u16string_view path);

// A folder path as it is kept: with a "/" after its last name when it has
// none (an empty path stays empty).
std::u16string withTrailingSeparator(std::u16string_view path);

} // namespace qlx::actions
