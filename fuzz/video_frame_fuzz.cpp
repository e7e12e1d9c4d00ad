// Any bytes as a video clip: the frame grabber opens, seeks and decodes
// them through FFmpeg's demuxers and decoders, within its bounds.
#include "thumbs/video_frame_grabber.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The grabber reads a file by name, as the list and the view hand it.
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("qlx-video-fuzz-" + std::to_string(::getpid()));
    if (std::FILE* out = std::fopen(file.c_str(), "wb")) {
        const bool written = size == 0 || std::fwrite(data, 1, size, out) == size;
        std::fclose(out);
        if (written) {
            (void)qlx::thumbs::grabVideoFrame(file, 1);
            (void)qlx::thumbs::grabVideoFrame(file, 0, QSize(88, 60));
        }
    }
    std::error_code error;
    std::filesystem::remove(file, error);
    return 0;
}
