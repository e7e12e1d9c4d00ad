// Thumbnail save: the preview's bytes come out whole as NAME.jpg, the
// source is never the target (the camera's own JPEG with destination ".",
// a link to the source), another file of the name stays unless the answer
// is yes, and a preview that lies outside its file or is too large is
// refused without writing anything.

#include "actions/thumbnail_save.h"
#include "support/test_paths.h"
#include "support/test_pictures.h"
#include "support/file_contents.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace qlx::actions;
namespace fs = std::filesystem;

namespace {

using qlx::test::contentOf;

void write(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string jpegText()
{
    const auto bytes = qlx::test::makeTestJpeg({64, 48});
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

TEST(ThumbnailSave, TargetNames)
{
    EXPECT_EQ(thumbnailTargetPath("/out", "/card/IMG_0001.CR2"), fs::path("/out/IMG_0001.jpg"));
    EXPECT_EQ(thumbnailTargetPath("/out", "/card/a.b.NEF"), fs::path("/out/a.b.jpg"));
    EXPECT_EQ(thumbnailTargetPath("/out", "/card/noext"), fs::path("/out/noext.jpg"));
}

TEST(ThumbnailSave, OutcomesAndWhatIsLeft)
{
    const std::string jpeg = jpegText();
    const std::string header = "RAWHEADER-16byte";
    struct Case {
        const char* label;
        std::string sourceName;  // in card/
        std::uint64_t offset;    // of the preview; ~0: the header's end
        std::uint64_t size;      // ~0: the JPEG's size
        std::string existing;    // bytes already under the target's name ("" none)
        bool linkToSource;       // the target name is a link to the source
        bool answer;             // to the replace question
        bool mrw;
        ThumbnailSaveOutcome outcome;
        std::string expected;    // the target's bytes afterwards ("" none)
    };
    const std::uint64_t kAuto = ~std::uint64_t{0};
    const std::string mrwPreview = std::string("\0\0", 2) + jpeg.substr(2);
    const Case cases[] = {
        {"new file", "IMG_0001.CR2", kAuto, kAuto, "", false, false, false, ThumbnailSaveOutcome::Done, jpeg},
        {"other file, no", "IMG_0001.CR2", kAuto, kAuto, "old", false, false, false,
         ThumbnailSaveOutcome::ReplaceDeclined, "old"},
        {"other file, yes", "IMG_0001.CR2", kAuto, kAuto, "old", false, true, false, ThumbnailSaveOutcome::Done, jpeg},
        {"link to the source", "IMG_0001.CR2", kAuto, kAuto, "", true, true, false,
         ThumbnailSaveOutcome::SameAsSource, ""},
        {"no preview", "IMG_0001.CR2", kAuto, 0, "", false, true, false, ThumbnailSaveOutcome::NoPreview, ""},
        // The file ends 7 bytes ("TRAILER") after the preview.
        {"past the end", "IMG_0001.CR2", kAuto, jpeg.size() + 8, "", false, true, false,
         ThumbnailSaveOutcome::ReadFailed, ""},
        {"offset past the end", "IMG_0001.CR2", 1u << 30, 16, "", false, true, false, ThumbnailSaveOutcome::ReadFailed,
         ""},
        {"over 64 MiB", "IMG_0001.CR2", 0, (64u << 20) + 1, "", false, true, false, ThumbnailSaveOutcome::ReadFailed,
         ""},
        {"MRW start marker", "PICT0001.MRW", kAuto, kAuto, "", false, false, true, ThumbnailSaveOutcome::Done, jpeg},
    };
    for (const Case& c : cases) {
        qlx::test::TempDir dir;
        const fs::path card = dir.path() / "card";
        const fs::path out = dir.path() / "out";
        fs::create_directories(card);
        fs::create_directories(out);
        const fs::path file = card / c.sourceName;
        const std::string fileBytes = header + (c.mrw ? mrwPreview : jpeg) + "TRAILER";
        write(file, fileBytes);
        const fs::path target = thumbnailTargetPath(out, file);
        if (!c.existing.empty())
            write(target, c.existing);
        if (c.linkToSource)
            fs::create_symlink(file, target);
        const ThumbnailSource source{file, c.offset == kAuto ? header.size() : c.offset,
                                     static_cast<std::uint32_t>(c.size == kAuto ? jpeg.size() : c.size), c.mrw};
        int asked = 0;
        const ThumbnailSaveResult result = saveThumbnail(source, out, [&](const fs::path& existing) {
            ++asked;
            EXPECT_EQ(existing, target) << c.label;
            return c.answer;
        });
        EXPECT_EQ(result.outcome, c.outcome) << c.label;
        EXPECT_EQ(asked, c.existing.empty() ? 0 : 1) << c.label;
        EXPECT_EQ(contentOf(file), fileBytes) << c.label;
        if (!c.linkToSource) {
            EXPECT_EQ(fs::exists(target) ? contentOf(target) : "", c.expected) << c.label;
        }
        std::size_t names = 0;
        for ([[maybe_unused]] const auto& item : fs::directory_iterator(out))
            ++names;
        EXPECT_EQ(names, c.expected.empty() && !c.linkToSource && c.existing.empty() ? 0u : 1u)
            << c.label << ": a temporary file or a stray target is left";
    }
}

TEST(ThumbnailSave, TheCamerasOwnJpegIsNeverItsOwnTarget)
{
    // Destination "." on IMG_0001.jpg: the preview would go to the file it
    // is read from.
    qlx::test::TempDir dir;
    const fs::path file = dir.path() / "IMG_0001.jpg";
    const std::string bytes = jpegText();
    write(file, bytes);
    bool asked = false;
    const ThumbnailSaveResult result =
        saveThumbnail({file, 0, static_cast<std::uint32_t>(bytes.size()), false}, dir.path(), [&](const fs::path&) {
            asked = true;
            return true;
        });
    EXPECT_EQ(result.outcome, ThumbnailSaveOutcome::SameAsSource);
    EXPECT_FALSE(asked);
    EXPECT_EQ(contentOf(file), bytes);
}

} // namespace
