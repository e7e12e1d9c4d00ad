#pragma once
// `qlx cache show FILE.cac`: the header of a thumbnail cache file and, per
// record, its path, kind, size, time, preview fields, thumbnail block and
// history count.

#include <iosfwd>
#include <string>
#include <vector>

namespace qlx::cli {

// `args` are the arguments after "cache". Returns 0 after printing, 1 with a
// one-line reason on `err` when the file is not a valid cache (or cannot be
// read), 2 after a usage line on usage errors.
int runCacheCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace qlx::cli
