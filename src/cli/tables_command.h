#pragma once
// `qlx tables [TABLE]`: prints the rows of the camera and lens list dialog
// ("対応カメラ＆レンズ表") from the tables in the "bin" folder beside qlx.

#include <iosfwd>
#include <string>
#include <vector>

namespace qlx::cli {

// TABLE is one of camera, canon, nikon, pentax, olympus, olympus_ext, sony.
// Prints one line per row, fields separated by tabs, in the dialog's order
// (maker, then name, both in natural digit-aware order): "MAKER MODEL CROP
// RAW" for the camera table (rows 18 on; crop as "%0.1f", RAW as "○" or "×"),
// "MAKER NAME" for a lens table. Without TABLE prints all seven, each after
// a line "== TABLE". Returns 0; 1 when the tables cannot be loaded; 2 after a
// usage line on `err` for an unknown table or extra arguments.
int runTablesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace qlx::cli
