#include "support/test_paths.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace qlx::test {

std::filesystem::path sourceDir() { return QLX_SOURCE_DIR; }
std::filesystem::path buildDir() { return QLX_BUILD_DIR; }

std::filesystem::path samplesDir()
{
    if (const char* env = std::getenv("QLX_SAMPLES"))
        return env;
    return sourceDir().parent_path() / "shared" / "samples";
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "qlx-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

} // namespace qlx::test
