#pragma once
// `qlx restore [--yes] FILE...`: takes each file back out of the trash to
// the path it had, as the undo of a trash action does: the newest item of
// the home trash or the file's volume's trash whose info names that path.

#include <iosfwd>
#include <string>
#include <vector>

namespace qlx::cli {

// Prints one line per file, "ｺﾞﾐ箱:NAME->OK!" (or "NG!"), and why on `err`.
// Without --yes a taken name or a missing folder is left alone. Returns 0
// when every file came back, 1 otherwise, 2 after a usage line.
int runRestoreCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace qlx::cli
