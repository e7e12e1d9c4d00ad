#pragma once
// Where tests find the source tree, the build tree and the shared samples.

#include <filesystem>

namespace qlx::test {

std::filesystem::path sourceDir();
std::filesystem::path buildDir();
// The shared sample files (../shared/samples beside the repository).
std::filesystem::path samplesDir();

// A fresh empty folder under the system's temporary folder, removed when the
// object goes away.
class TempDir {
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

} // namespace qlx::test
