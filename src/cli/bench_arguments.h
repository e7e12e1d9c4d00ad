#pragma once
// What the benchmark subcommands share: "qlx bench WHAT DIR [--repeat N]",
// the files of DIR that the image list would show, and the camera table
// beside the program.

#include "info_command.h"

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace qlx::cli {

struct BenchSetup {
    // 0 when the bench can run; 2 after the usage line, 1 when DIR cannot
    // be listed.
    int exitCode = 0;
    int repeat = 1;
    // The folder's files of a listed kind (default target mask and video
    // list), in name order, made absolute once so that no pass asks for the
    // working folder.
    std::vector<std::filesystem::path> files;
    MetadataTables tables;
};

// Parses the arguments after "bench", the first of which must be `what`,
// lists the folder and loads the camera table.
BenchSetup prepareBench(const std::vector<std::string>& args, std::string_view what, std::ostream& err);

} // namespace qlx::cli
