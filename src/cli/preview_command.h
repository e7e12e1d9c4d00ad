#pragma once
// `qlx preview [--thumb] FILE -o OUT`: writes the bytes of the embedded
// preview (or, with --thumb, the thumbnail) that the program chose for FILE.

#include <iosfwd>
#include <string>
#include <vector>

namespace qlx::cli {

// `args` are the arguments after "preview". Returns 0 when OUT was written;
// 1 when FILE cannot be opened, has no such range, its range does not lie
// inside the file, or OUT cannot be written; 2 after a usage line.
int runPreviewCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace qlx::cli
