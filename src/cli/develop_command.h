#pragma once
// `qlx develop FILE... [--mode 0|1|2|3] [--jpeg|--tiff] [-o OUT] [--no-exif]
// [--replace]`: each RAW file developed by the program's engine, turned
// upright by its orientation and written as the development actions write
// it (kUsage in the source tells the rules).

#include <iosfwd>
#include <string>
#include <vector>

namespace qlx::cli {

// `args` are the arguments after "develop". Returns 0 when every file was
// developed and written, 1 when one was not, 2 after a usage line.
// `pixels` receives the raw RGB of "-o -".
int runDevelopCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      std::ostream& pixels);

} // namespace qlx::cli
