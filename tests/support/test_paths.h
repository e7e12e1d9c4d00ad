#pragma once
// Where tests find the source tree, the build tree and the sample corpus.
//
// The corpus is found through one setting: the environment variable
// QLX_SAMPLES, or ../shared/samples beside the repository. Without it, tests
// that need a sample skip with kSamplesSkipMarker in their message (test.sh
// counts those); with QLX_REQUIRE_SAMPLES=1 (CI) a missing sample fails the
// test instead, so a run never passes by skipping.

#include <cstddef>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace qlx::test {

std::filesystem::path sourceDir();
std::filesystem::path buildDir();
std::filesystem::path samplesDir();
// True when QLX_REQUIRE_SAMPLES is set to anything but "" or "0".
bool samplesRequired();

// The text every skip for want of samples carries.
inline constexpr const char* kSamplesSkipMarker = "needs the sample corpus";

// Empty when every path exists; otherwise the message a skip or failure
// gives, naming the first missing path and the setting that finds them. A
// relative path names a file of the corpus ("exif-samples/Canon_40D.jpg").
std::string missingSamples(std::initializer_list<std::filesystem::path> paths);

// The whole content of a file (empty when it cannot be read).
std::vector<std::byte> readFileBytes(const std::filesystem::path& path);

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
