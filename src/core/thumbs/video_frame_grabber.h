#pragma once
// A still frame of a video clip, with the clip's length and picture size,
// read without a window through FFmpeg's libraries: the list's thumbnail of
// a clip and the view's picture of it before it plays.
//
// The frame is the first one shown at or after the asked second, which is
// clamped to 0 … max(0, length − 1) (a clip shorter than a second gives
// its first frame). A clip is bounded work whatever its bytes say: the
// read gives up after kGrabTimeLimit, after kMaxPacketsAfterSeek packets
// without the frame, and on pictures larger than kMaxFrameSide on a side.
//
// Thread model: any thread; each call opens its own demuxer and decoder.

#include <QImage>
#include <QSize>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace qlx::thumbs {

inline constexpr auto kGrabTimeLimit = std::chrono::seconds(5);
inline constexpr int kMaxPacketsAfterSeek = 2000;
inline constexpr int kMaxFrameSide = 16384;

struct VideoFacts {
    std::int32_t lengthSeconds = 0; // whole seconds (the duration cut down)
    std::int32_t width = 0;         // the picture's size as shown (sample aspect applied)
    std::int32_t height = 0;
};

struct GrabbedFrame {
    VideoFacts facts;
    std::int32_t grabbedAt = 0; // the second the frame was asked for, after clamping
    QImage picture;             // Format_RGB888; null when no frame decoded
};

// Opens `file` as a clip. Nothing when it is no clip FFmpeg can read (no
// video stream, a broken container); facts with a null picture when the
// stream is there but no frame decodes. `fitInto` (when valid) shrinks the
// picture to fit it, keeping its shape; otherwise it comes whole.
std::optional<GrabbedFrame> grabVideoFrame(const std::filesystem::path& file, std::int32_t wantedSecond,
                                           QSize fitInto = {});

} // namespace qlx::thumbs
