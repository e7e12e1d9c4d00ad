#pragma once
// What the benchmark subcommands share: "qlx bench WHAT DIR [--repeat N]",
// the files of DIR that the image list would show, and the camera table
// beside the program.

#include "info_command.h"

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
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

// A whole number from `low` to `high` written in decimal, and nothing else.
std::optional<int> parseBoundedInt(std::string_view text, int low, int high);

// "qlx bench develop FILE [--mode M] [--repeat N] [--cancel-after MS]".
struct DevelopBenchSetup {
    // 0 when the bench can run; 2 after the usage line.
    int exitCode = 0;
    std::filesystem::path file;
    std::uint8_t mode = 0; // a raw::DevelopMode's value
    int repeat = 1;
    int cancelAfterMs = 0; // 0: no cancelling
};

// Parses the arguments after "bench", the first of which is "develop".
DevelopBenchSetup prepareDevelopBench(const std::vector<std::string>& args, std::ostream& err);

} // namespace qlx::cli
