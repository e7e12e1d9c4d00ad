#pragma once
// `qlx bench metadata DIR [--repeat N]`: times the metadata pass and the
// preview choice over every file of DIR whose kind the list shows, on one
// thread, and prints the files, the seconds, the files per second and the
// bytes read per file.

#include <iosfwd>
#include <string>
#include <vector>

namespace qlx::cli {

// `args` are the arguments after "bench". Returns 0, 1 when DIR cannot be
// listed, 2 after a usage line.
int runBenchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace qlx::cli
