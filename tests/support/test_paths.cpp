#include "support/test_paths.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace qlx::test {

std::filesystem::path sourceDir() { return QLX_SOURCE_DIR; }
std::filesystem::path buildDir() { return QLX_BUILD_DIR; }

std::filesystem::path samplesDir()
{
    if (const char* env = std::getenv("QLX_SAMPLES"); env && *env)
        return env;
    return sourceDir().parent_path() / "shared" / "samples";
}

bool samplesRequired()
{
    const char* env = std::getenv("QLX_REQUIRE_SAMPLES");
    return env && *env && std::string_view(env) != "0";
}

std::string missingSamples(std::initializer_list<std::filesystem::path> paths)
{
    for (const auto& given : paths) {
        const auto path = given.is_relative() ? samplesDir() / given : given;
        std::error_code error;
        if (!std::filesystem::exists(path, error))
            return std::string(kSamplesSkipMarker) + ": " + path.string()
                   + " is missing (QLX_SAMPLES names the corpus; default ../shared/samples)";
    }
    return {};
}

std::vector<std::byte> readFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> chars{std::istreambuf_iterator<char>(in), {}};
    std::vector<std::byte> bytes(chars.size());
    for (std::size_t i = 0; i < chars.size(); ++i)
        bytes[i] = static_cast<std::byte>(chars[i]);
    return bytes;
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
