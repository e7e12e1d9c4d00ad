#pragma once
// `qlx bench thumbs DIR [--repeat N]`: makes the list thumbnail of every
// file of DIR whose kind the list shows, as the list-information thread does
// for an entry the cache does not hold: the metadata pass and the preview
// choice, then the thumbnail from the chosen embedded JPEG (or the whole
// file), its histogram picture and its cache block. One thread. Prints the
// files, the thumbnails made, the failures, the seconds, the thumbnails per
// second and the seconds of each phase.

#include <iosfwd>
#include <string>
#include <vector>

namespace qlx::cli {

// `args` are the arguments after "bench", starting with "thumbs". Returns 0,
// 1 when DIR cannot be listed, 2 after a usage line.
int runThumbsBenchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace qlx::cli
