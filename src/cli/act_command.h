#pragma once
// `qlx act KIND [--to DEST] [--yes] FILE...`: one action kind run on each
// file through the code the program's action keys run, for scripts and for
// checking. Kinds: copy, move (to DEST, taken from each file's own folder
// unless it begins with "/"), trash, delete, rotate-cw and rotate-ccw
// (lossless rotation by a quarter turn), thumbnail (the embedded preview
// saved into DEST) and tiff or jpeg (the development actions into DEST).
// Each file's action-log line is
// printed on a line of its own. --yes answers the replace and the
// create-folder questions yes; without it they are answered no.

#include <iosfwd>
#include <string>
#include <vector>

namespace qlx::cli {

// `args` are the arguments after "act". Returns 0 when every file's result
// is "OK!", 1 otherwise, 2 after a usage line.
int runActCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace qlx::cli
