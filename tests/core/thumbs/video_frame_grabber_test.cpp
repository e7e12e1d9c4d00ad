// The still frame of a clip with its length and size. Expected values are
// ffprobe's (Debian's ffmpeg 5.1), read by hand:
//   christmas.mp4  h264    640×416  0.81 s
//   earth.mov      h264    480×270  30.57 s (the container's duration)
//   flame.avi      indeo4  256×240  3.14 s
// and the stubs are metadata without playable pictures.

#include "thumbs/video_frame_grabber.h"
#include "thumbs/video_thumbnail.h"

#include "imagelist/file_kind.h"
#include "imagelist/folder_reader.h"
#include "imagelist/image_entry.h"

#include "support/samples_gtest.h"

#include <gtest/gtest.h>

using namespace qlx::thumbs;
namespace fs = std::filesystem;

TEST(VideoFrameGrabber, TheSecondIsClampedToTheClip)
{
    struct Case {
        int wanted, length, expected;
    } cases[] = {
        {1, 30, 1}, {45, 30, 29}, {-3, 30, 0},
        {1, 0, 0}, // under a second: the first frame, never an inverted range
        {1, 1, 0}, {5, 2, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qlx::imagelist::videoGrabSecond(c.wanted, c.length), c.expected) << c.wanted << " of " << c.length;
}

TEST(VideoFrameGrabber, SampleClipsGiveTheirFactsAndAFrame)
{
    QLX_NEED_SAMPLES("video/christmas.mp4", "video/earth.mov", "video/flame.avi");
    struct Case {
        const char* file;
        int length, width, height, grabbedAt;
    } cases[] = {
        {"video/christmas.mp4", 0, 640, 416, 0},
        {"video/earth.mov", 30, 480, 270, 1},
        {"video/flame.avi", 3, 256, 240, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const auto whole = grabVideoFrame(qlx::test::samplesDir() / c.file, 1);
        ASSERT_TRUE(whole);
        EXPECT_EQ(whole->facts.lengthSeconds, c.length);
        EXPECT_EQ(whole->facts.width, c.width);
        EXPECT_EQ(whole->facts.height, c.height);
        EXPECT_EQ(whole->grabbedAt, c.grabbedAt);
        ASSERT_FALSE(whole->picture.isNull());
        EXPECT_EQ(whole->picture.size(), QSize(c.width, c.height));
        // Not a blank frame: the pictures vary.
        const QImage grey = whole->picture.convertToFormat(QImage::Format_Grayscale8);
        int darkest = 255, lightest = 0;
        for (int y = 0; y < grey.height(); y += 7)
            for (int x = 0; x < grey.width(); x += 7) {
                darkest = std::min<int>(darkest, grey.constScanLine(y)[x]);
                lightest = std::max<int>(lightest, grey.constScanLine(y)[x]);
            }
        EXPECT_GT(lightest - darkest, 40);

        // For the list: shrunk to the icon's box, keeping the shape.
        const auto icon = grabVideoFrame(qlx::test::samplesDir() / c.file, 1, QSize(160, 120));
        ASSERT_TRUE(icon);
        EXPECT_TRUE(icon->picture.width() == 160 || icon->picture.height() == 120);
        EXPECT_LE(icon->picture.width(), 160);
        EXPECT_LE(icon->picture.height(), 120);
    }
}

TEST(VideoFrameGrabber, StubsAndNonClipsGiveNoFrame)
{
    QLX_NEED_SAMPLES("video/stubs/ASF.wmv", "video/stubs/M2TS.mts", "video/stubs/Pentax.avi",
                     "video/stubs/QuickTime.mov", "video/stubs/RIFF.avi");
    for (const char* stub : {"ASF.wmv", "M2TS.mts", "Pentax.avi", "QuickTime.mov", "RIFF.avi"}) {
        SCOPED_TRACE(stub);
        const auto grabbed = grabVideoFrame(qlx::test::samplesDir() / "video/stubs" / stub, 1);
        EXPECT_TRUE(!grabbed || grabbed->picture.isNull());
    }
    EXPECT_FALSE(grabVideoFrame(qlx::test::samplesDir() / "exif-samples/Canon_40D.jpg", 1).value_or(GrabbedFrame{}).facts.lengthSeconds > 0);
    EXPECT_FALSE(grabVideoFrame("/nonexistent/clip.mp4", 1));
}

// The list's thumbnail of a clip writes what the list shows of it: the
// size as ImageSize, the length in the Status column, the second grabbed
// at; a stub is marked as a file that does not render.
TEST(VideoThumbnail, TheEntryTakesTheClipsFacts)
{
    QLX_NEED_SAMPLES("video/earth.mov", "video/stubs/RIFF.avi");
    using qlx::imagelist::ImageEntry;
    const auto entryOf = [](const fs::path& file) {
        const std::u16string path = file.u16string(); // the facts view it
        const auto facts = qlx::imagelist::freshFactsOfFile(path, qlx::imagelist::kKindVideo, -40, false);
        return facts ? ImageEntry::createFresh(*facts) : nullptr;
    };
    const auto clip = entryOf(qlx::test::samplesDir() / "video/earth.mov");
    ASSERT_TRUE(clip);
    const ThumbnailResult made = makeVideoThumbnail(*clip, qlx::test::samplesDir() / "video/earth.mov", 1);
    EXPECT_EQ(made.status, PictureStatus::Made);
    EXPECT_EQ(made.thumbnail.picture.size(), QSize(88, 60));
    EXPECT_EQ(clip->itemText(ImageEntry::kItemImageSize), u"480*270");
    EXPECT_EQ(clip->itemText(ImageEntry::kItemStatus), u"0:00:30");
    EXPECT_EQ(clip->videoLength(), 30);
    EXPECT_EQ(clip->videoGrabbedAt(), 1);
    EXPECT_FALSE(clip->hasFlag(ImageEntry::kFlagUnrenderable));

    const auto stub = entryOf(qlx::test::samplesDir() / "video/stubs/RIFF.avi");
    ASSERT_TRUE(stub);
    EXPECT_NE(makeVideoThumbnail(*stub, qlx::test::samplesDir() / "video/stubs/RIFF.avi", 1).status, PictureStatus::Made);
    EXPECT_TRUE(stub->hasFlag(ImageEntry::kFlagUnrenderable));

    EXPECT_EQ(clipLengthText(3 * 3600 + 7 * 60 + 5), u"3:07:05");
}
