#pragma once
// A file's whole content as bytes in a string, for tests that check where
// a file's bytes ended up. Empty when the file cannot be read.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace qlx::test {

inline std::string contentOf(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace qlx::test
