#pragma once
// `qlx scan FOLDER [--cache-dir DIR] [--settings FILE] [--full]`: loads a
// folder as the program does (its thumbnail cache first, then the directory,
// then the metadata pass and the thumbnail for every entry the cache did
// not serve), writes the folder's cache file and prints what each phase did
// and how long it took.
//
// Settings are the first-start defaults, or those of FILE; the cache folder
// is the one those settings name (beside the program by default), or DIR.

#include <iosfwd>
#include <string>
#include <vector>

namespace qlx::cli {

// `args` are the arguments after "scan". 0 after printing; 1 when the folder
// cannot be listed or the cache cannot be written; 2 on usage errors.
int runScanCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace qlx::cli
