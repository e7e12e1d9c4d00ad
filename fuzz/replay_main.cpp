// Runs a fuzz target over files (or every file of the folders) named on the
// command line, for compilers without libFuzzer. `--samples SUBFOLDER` adds
// that folder of the sample corpus; when the corpus is missing it is skipped
// with a note, or is a failure where samples are required (CI).
#include "support/test_paths.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int replay(const std::filesystem::path& file)
{
    const auto bytes = qlx::test::readFileBytes(file);
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return 1;
}

int replayAll(const std::filesystem::path& path)
{
    if (!std::filesystem::is_directory(path))
        return replay(path);
    int count = 0;
    for (const auto& item : std::filesystem::recursive_directory_iterator(path))
        if (item.is_regular_file())
            count += replay(item.path());
    return count;
}

} // namespace

int main(int argc, char** argv)
{
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--samples" && i + 1 < argc) {
            const auto folder = qlx::test::samplesDir() / argv[++i];
            if (const auto missing = qlx::test::missingSamples({folder}); !missing.empty()) {
                std::printf("%s\n", missing.c_str());
                if (qlx::test::samplesRequired())
                    return 1;
                continue;
            }
            count += replayAll(folder);
        } else {
            count += replayAll(argument);
        }
    }
    std::printf("replayed %d inputs\n", count);
    return 0;
}
