#pragma once
// `qlx kind [--mask HEX] FILE...`: prints the kind bit and the Format column
// name the image list would give each file.

#include <iosfwd>
#include <string>
#include <vector>

namespace qlx::cli {

// `args` are the arguments after the subcommand name. Prints one line per
// file, "FILE<TAB>0x%08x<TAB>NAME", with "0x00000000" and "-" for a file the
// list would leave out. Classifies with the default target-format mask (or
// the one given with --mask) and the default video extension list. Returns 0,
// or 2 after a usage line on `err` when no file is named or an option is bad.
int runKindCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace qlx::cli
