#include "thumbs/video_frame_grabber.h"

#include "imagelist/image_entry.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace qlx::thumbs {

namespace {

using Clock = std::chrono::steady_clock;

struct FormatCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecCloser {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct ScalerFreer {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};

// The library's own messages about damaged clips would go to the terminal
// for every stub a card holds; a clip that fails says so by its result.
void quietLibraryOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

// Ends any blocking read of the demuxer once the deadline has passed.
int pastDeadline(void* opaque)
{
    return Clock::now() > *static_cast<const Clock::time_point*>(opaque) ? 1 : 0;
}

// The picture's size as shown: a non-square sample aspect widens or
// narrows the stored width.
QSize shownSize(const AVCodecParameters& parameters)
{
    int width = parameters.width;
    const AVRational aspect = parameters.sample_aspect_ratio;
    if (aspect.num > 0 && aspect.den > 0 && aspect.num != aspect.den)
        width = static_cast<int>(std::lround(static_cast<double>(width) * aspect.num / aspect.den));
    return {width, parameters.height};
}

double lengthOf(const AVFormatContext& format, const AVStream& stream)
{
    if (format.duration > 0)
        return static_cast<double>(format.duration) / AV_TIME_BASE;
    if (stream.duration > 0 && stream.time_base.den > 0)
        return static_cast<double>(stream.duration) * av_q2d(stream.time_base);
    return 0.0;
}

QImage toPicture(const AVFrame& frame, QSize size)
{
    const auto format = static_cast<AVPixelFormat>(frame.format);
    std::unique_ptr<SwsContext, ScalerFreer> scaler(sws_getContext(frame.width, frame.height, format, size.width(),
                                                                   size.height(), AV_PIX_FMT_RGB24, SWS_AREA,
                                                                   nullptr, nullptr, nullptr));
    if (!scaler)
        return {};
    // The scaler may write a little past a row's last pixel: it writes into
    // rows of its own alignment, padded at the end, and the rows are copied.
    constexpr int kAlign = 64;
    const int rowBytes = (size.width() * 3 + kAlign - 1) / kAlign * kAlign;
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(size.height() + 1)
                                   + kAlign);
    uint8_t* planes[4] = {rows.data(), nullptr, nullptr, nullptr};
    const int strides[4] = {rowBytes, 0, 0, 0};
    if (sws_scale(scaler.get(), frame.data, frame.linesize, 0, frame.height, planes, strides) != size.height())
        return {};
    QImage picture(size, QImage::Format_RGB888);
    if (picture.isNull())
        return {};
    for (int y = 0; y < size.height(); ++y)
        std::memcpy(picture.scanLine(y), rows.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(rowBytes),
                    static_cast<std::size_t>(size.width()) * 3);
    return picture;
}

QSize fitted(QSize whole, QSize box)
{
    if (!box.isValid() || (whole.width() <= box.width() && whole.height() <= box.height()))
        return whole;
    QSize size = whole.scaled(box, Qt::KeepAspectRatio);
    return size.expandedTo(QSize(1, 1));
}

} // namespace

std::optional<GrabbedFrame> grabVideoFrame(const std::filesystem::path& file, std::int32_t wantedSecond,
                                           QSize fitInto)
{
    quietLibraryOnce();
    Clock::time_point deadline = Clock::now() + kGrabTimeLimit;
    AVFormatContext* opened = avformat_alloc_context();
    if (!opened)
        return std::nullopt;
    opened->interrupt_callback = {pastDeadline, &deadline};
    // A failed open frees the context itself.
    if (avformat_open_input(&opened, file.c_str(), nullptr, nullptr) < 0)
        return std::nullopt;
    std::unique_ptr<AVFormatContext, FormatCloser> format(opened);
    if (avformat_find_stream_info(format.get(), nullptr) < 0)
        return std::nullopt;
    const AVCodec* codec = nullptr;
    const int streamIndex = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (streamIndex < 0 || codec == nullptr)
        return std::nullopt;
    const AVStream& stream = *format->streams[streamIndex];
    const QSize shown = shownSize(*stream.codecpar);
    if (shown.width() <= 0 || shown.height() <= 0 || shown.width() > kMaxFrameSide || shown.height() > kMaxFrameSide
        || stream.codecpar->width > kMaxFrameSide)
        return std::nullopt;

    GrabbedFrame result;
    result.facts.lengthSeconds = static_cast<std::int32_t>(std::min(lengthOf(*format, stream), 2.0e9));
    result.facts.width = shown.width();
    result.facts.height = shown.height();
    result.grabbedAt = imagelist::videoGrabSecond(wantedSecond, result.facts.lengthSeconds);

    std::unique_ptr<AVCodecContext, CodecCloser> decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), stream.codecpar) < 0)
        return result;
    decoder->thread_count = 1; // the list's workers already run side by side
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0)
        return result;

    const AVRational base = stream.time_base;
    std::int64_t target = 0;
    if (result.grabbedAt > 0 && base.num > 0 && base.den > 0) {
        target = av_rescale_q(result.grabbedAt, AVRational{1, 1}, base);
        if (stream.start_time != AV_NOPTS_VALUE)
            target += stream.start_time;
        if (av_seek_frame(format.get(), streamIndex, target, AVSEEK_FLAG_BACKWARD) < 0)
            av_seek_frame(format.get(), streamIndex, 0, AVSEEK_FLAG_BACKWARD);
        avcodec_flush_buffers(decoder.get());
    }

    std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameFreer> frame(av_frame_alloc());
    std::unique_ptr<AVFrame, FrameFreer> kept(av_frame_alloc());
    if (!packet || !frame || !kept)
        return result;
    bool haveKept = false;
    bool found = false;
    // Takes every frame the decoder has ready; the first at or after the
    // target ends the search, and the latest before it stands in when the
    // clip ends first.
    const auto drain = [&] {
        while (!found && avcodec_receive_frame(decoder.get(), frame.get()) == 0) {
            const std::int64_t at = frame->best_effort_timestamp;
            av_frame_unref(kept.get());
            av_frame_move_ref(kept.get(), frame.get());
            haveKept = true;
            found = at == AV_NOPTS_VALUE || at >= target || target == 0;
        }
    };
    int packets = 0;
    bool ended = false;
    while (!found && !ended && packets < kMaxPacketsAfterSeek) {
        if (av_read_frame(format.get(), packet.get()) < 0) {
            ended = true;
            avcodec_send_packet(decoder.get(), nullptr); // the frames it holds back
            drain();
            break;
        }
        if (packet->stream_index == streamIndex) {
            ++packets;
            // A packet the decoder refuses is skipped; the frames it has
            // are taken either way.
            avcodec_send_packet(decoder.get(), packet.get());
            drain();
        }
        av_packet_unref(packet.get());
    }
    if (!haveKept || kept->width <= 0 || kept->height <= 0 || kept->width > kMaxFrameSide
        || kept->height > kMaxFrameSide)
        return result;
    result.picture = toPicture(*kept, fitted(shown, fitInto));
    return result;
}

} // namespace qlx::thumbs
