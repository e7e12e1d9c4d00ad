#pragma once
// `qlx rename [--settings FILE] [--type N] [--prefix-type N] [--prefix TEXT]
// [--joiner N] [--date-joiner N] [--start N] FOLDER` and `qlx rename
// --replace OLD NEW FOLDER`: a pattern rename (kind 10) or a
// replace-rename (kind 11) of the listed files of FOLDER, in name order,
// through the code the program's rename actions run. The settings come
// from FILE (else the defaults), each option overriding its value; dates
// come from the files' Exif data read as the list reads it. A RAW file and
// its same-name JPEG share their number. Each file's action-log line is
// printed; a collision's renamed first file gets its new line too.

#include <iosfwd>
#include <string>
#include <vector>

namespace qlx::cli {

// `args` are the arguments after "rename". Returns 0 when every file is
// "OK!" or "Skip!", 1 otherwise, 2 after a usage line.
int runRenameCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace qlx::cli
