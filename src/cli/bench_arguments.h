#pragma once
// What the benchmark subcommands share: "qlx bench WHAT DIR [--repeat N]"
// and the files of DIR that the image list would show.

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qlx::cli {

struct BenchArguments {
    std::filesystem::path folder;
    int repeat = 1;
};

// Parses the arguments after "bench"; the first must be `what`.
std::optional<BenchArguments> parseBenchArguments(const std::vector<std::string>& args, std::string_view what);

// The folder's files of a listed kind (default target mask and video list),
// in name order; nothing when the folder cannot be read.
std::optional<std::vector<std::filesystem::path>> listedFiles(const std::filesystem::path& folder);

// The listed files of the parsed folder (made absolute once, so that no pass
// asks for the working folder); nothing, after a line on `err`, when the
// folder cannot be listed.
std::optional<std::vector<std::filesystem::path>> benchFiles(const BenchArguments& arguments, std::ostream& err);

} // namespace qlx::cli
