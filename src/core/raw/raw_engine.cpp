#include "raw/raw_engine.h"

#include "io/system_memory.h"
#include "raw/development_gate.h"

#include <libraw/libraw.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace qlx::raw {

// Lets a cancel request reach LibRaw while this development runs.
class ActiveDevelopment {
public:
    ActiveDevelopment(const CancelFlag* flag, LibRaw& processor) : m_flag(flag)
    {
        if (m_flag)
            m_flag->attach(&processor);
    }
    ~ActiveDevelopment()
    {
        if (m_flag)
            m_flag->detach();
    }
    ActiveDevelopment(const ActiveDevelopment&) = delete;
    ActiveDevelopment& operator=(const ActiveDevelopment&) = delete;

private:
    const CancelFlag* m_flag;
};

namespace {

// A cancel request is looked at every this many rows in the engine's own
// loops: a few milliseconds of work on the largest files.
constexpr int kRowsBetweenChecks = 64;

bool stopRequested(const CancelFlag* cancel)
{
    return cancel && cancel->requested();
}

// Runs `work(first, end, band)` over the rows [first, end) in two bands at
// once, band 1 (the lower) on a second thread, or after band 0 when no
// thread can be started. `work` must not throw.
template <typename Work>
void inTwoBands(int first, int end, const Work& work)
{
    const int middle = first + (end - first) / 2;
    std::thread lower;
    try {
        lower = std::thread([&work, middle, end] { work(middle, end, 1); });
    } catch (const std::system_error&) {
        work(middle, end, 1);
    }
    work(first, middle, 0);
    if (lower.joinable())
        lower.join();
}

using Matrix = std::array<float, 12>; // LibRaw's out_cam[3][4], row by row
using Histogram = int (*)[LIBRAW_HISTOGRAM_SIZE]; // four colours' counts

// LibRaw's CLIP: a working-image sample.
inline ushort clip(int value)
{
    return static_cast<ushort>(value < 0 ? 0 : value > 0xFFFF ? 0xFFFF : value);
}

// One row of convert_to_rgb_loop for `Colors` colours: each output the sum
// of the products in colour order, truncated and clipped, then counted in
// the histogram (its bins one eighth of a sample value apart). The inputs
// are read before any output replaces them.
template <int Colors>
void convertRow(ushort (*pixels)[4], int width, const Matrix& m, Histogram counts)
{
    for (int col = 0; col < width; ++col) {
        ushort* img = pixels[col];
        const float x0 = img[0], x1 = img[1], x2 = img[2], x3 = img[3];
        float r = m[0] * x0 + m[1] * x1 + m[2] * x2;
        float g = m[4] * x0 + m[5] * x1 + m[6] * x2;
        float b = m[8] * x0 + m[9] * x1 + m[10] * x2;
        if constexpr (Colors == 4) {
            r += m[3] * x3;
            g += m[7] * x3;
            b += m[11] * x3;
        }
        img[0] = clip(static_cast<int>(r));
        img[1] = clip(static_cast<int>(g));
        img[2] = clip(static_cast<int>(b));
        ++counts[0][img[0] >> 3];
        ++counts[1][img[1] >> 3];
        ++counts[2][img[2] >> 3];
        if constexpr (Colors == 4)
            ++counts[3][img[3] >> 3];
    }
}

// LibRaw, opened in two places. Its longest loops, which are virtual for
// this purpose, run here with the same arithmetic on two threads and stop
// at a cancel request; LibRaw's own have no check inside and use one core
// (or OpenMP's, which waits on a busy machine for its slowest thread). And
// the engine makes the picture itself from the working image rather than
// through dcraw_make_mem_image, which builds a second bitmap beside the
// working image and the raw data and cannot be stopped.
class Processor final : public LibRaw {
public:
    explicit Processor(const CancelFlag* cancel) : LibRaw(LIBRAW_OPTIONS_NONE), m_cancel(cancel) {}

    // Once processed, the working image holds all the picture needs: the
    // raw data go first, so that they never sit beside the picture. Through
    // LibRaw's own free, so that its memory manager forgets the block.
    void releaseRawData()
    {
        auto& raw = imgdata.rawdata;
        free(raw.raw_alloc);
        raw.raw_alloc = nullptr;
        raw.raw_image = nullptr;
        raw.color3_image = nullptr;
        raw.color4_image = nullptr;
        raw.float_image = nullptr;
        raw.float3_image = nullptr;
        raw.float4_image = nullptr;
    }

    // LibRaw's copy of the sensor data into the working image (the black
    // level subtracted, each photosite into its colour of its pixel, the
    // largest value kept), on two threads with cancel checks: LibRaw's own
    // loop has none, and on a large file runs for a tenth of a second or
    // more.
    void copy_bayer(unsigned short cblack[4], unsigned short* dmaxp) override
    {
        const auto& sizes = imgdata.sizes;
        const int rows = std::min(int{sizes.height}, int{sizes.raw_height} - int{sizes.top_margin});
        const int columns = std::min(int{sizes.width}, int{sizes.raw_width} - int{sizes.left_margin});
        const int shrink = libraw_internal_data.internal_output_params.shrink;
        std::array<ushort, 2> largest = {0, 0};
        inTwoBands(0, rows, [&](int first, int end, int band) {
            ushort most = 0;
            for (int row = first; row < end; ++row) {
                if ((row - first) % kRowsBetweenChecks == 0 && stopRequested(m_cancel))
                    break;
                const ushort* in = imgdata.rawdata.raw_image
                    + static_cast<std::size_t>(row + sizes.top_margin) * sizes.raw_pitch / 2 + sizes.left_margin;
                ushort(*out)[4] = imgdata.image + static_cast<std::ptrdiff_t>(row >> shrink) * sizes.iwidth;
                for (int col = 0; col < columns; ++col) {
                    ushort value = in[col];
                    const int colour = fcol(row, col);
                    if (value > cblack[colour]) {
                        value = static_cast<ushort>(value - cblack[colour]);
                        most = std::max(most, value);
                    } else {
                        value = 0;
                    }
                    out[col >> shrink][colour] = value;
                }
            }
            largest[static_cast<std::size_t>(band)] = most;
        });
        *dmaxp = std::max({*dmaxp, largest[0], largest[1]});
    }

    // LibRaw's bilinear interpolation, the same arithmetic, on two threads
    // and listening for a cancel request: LibRaw's own loop runs on one core
    // for most of a second on a large file without a check. Each pixel reads
    // only its neighbours' own filter colours and writes only its other
    // colours, so the rows may be shared out in any way. When stopped, the
    // progress callback that follows the loop ends the development.
    void lin_interpolate_loop(int* code, int size) override
    {
        inTwoBands(1, imgdata.sizes.height - 1, [this, code, size](int first, int end, int) {
            interpolateRows(code, size, first, end);
        });
    }

    // LibRaw's white balance, the same arithmetic (each sample times its
    // colour's multiplier, truncated, clipped), on two threads with cancel
    // checks. Only where the black level is already subtracted, as the
    // engine's options have it for colour-filter cameras; otherwise
    // LibRaw's own loop.
    void scale_colors_loop(float scale_mul[4]) override
    {
        const auto& black = imgdata.color.cblack;
        if (black[0] || black[1] || black[2] || black[3] || black[4] || black[5]) {
            LibRaw::scale_colors_loop(scale_mul);
            return;
        }
        const int samples = imgdata.sizes.iwidth * 4;
        inTwoBands(0, imgdata.sizes.iheight, [this, scale_mul, samples](int first, int end, int) {
            for (int row = first; row < end; ++row) {
                if ((row - first) % kRowsBetweenChecks == 0 && stopRequested(m_cancel))
                    return;
                ushort* sample = imgdata.image[0] + static_cast<std::ptrdiff_t>(row) * samples;
                for (int i = 0; i < samples; ++i)
                    sample[i] = clip(static_cast<int>(static_cast<float>(sample[i]) * scale_mul[i & 3]));
            }
        });
    }

    // LibRaw's camera-to-sRGB matrix, the same arithmetic (products added
    // in colour order, truncated, clipped) and the same histogram, on two
    // threads with cancel checks; each band counts into its own histogram
    // and the counts are added after. Cameras without a matrix, and
    // monochrome ones, go to LibRaw's own loop.
    void convert_to_rgb_loop(float out_cam[3][4]) override
    {
        const int colors = imgdata.idata.colors;
        const Histogram histogram = libraw_internal_data.output_data.histogram;
        std::unique_ptr<int[][LIBRAW_HISTOGRAM_SIZE]> lowerCounts;
        try {
            lowerCounts = std::make_unique<int[][LIBRAW_HISTOGRAM_SIZE]>(4);
        } catch (const std::bad_alloc&) {
        }
        if (libraw_internal_data.internal_output_params.raw_color || (colors != 3 && colors != 4)
            || !lowerCounts) {
            LibRaw::convert_to_rgb_loop(out_cam);
            return;
        }
        std::memset(histogram, 0, sizeof(int) * LIBRAW_HISTOGRAM_SIZE * 4);
        Matrix matrix;
        std::memcpy(matrix.data(), out_cam, sizeof(float) * 12);
        const int width = imgdata.sizes.width;
        inTwoBands(0, imgdata.sizes.height, [&](int first, int end, int band) {
            const Histogram counts = band == 0 ? histogram : lowerCounts.get();
            for (int row = first; row < end; ++row) {
                if ((row - first) % kRowsBetweenChecks == 0 && stopRequested(m_cancel))
                    return;
                ushort(*pixels)[4] = imgdata.image + static_cast<std::ptrdiff_t>(row) * width;
                if (colors == 3)
                    convertRow<3>(pixels, width, matrix, counts);
                else
                    convertRow<4>(pixels, width, matrix, counts);
            }
        });
        for (int c = 0; c < 4; ++c)
            for (int value = 0; value < LIBRAW_HISTOGRAM_SIZE; ++value)
                histogram[c][value] += lowerCounts[c][value];
    }

    // Sets imgdata.color.curve as LibRaw's bitmap writers do: the gamma
    // curve with its white point where `auto_bright_thr` of the pixels lie
    // above it in the histogram that convert_to_rgb counted.
    void prepareOutputCurve()
    {
        const auto* histogram = libraw_internal_data.output_data.histogram;
        if (!histogram)
            return;
        const auto& sizes = imgdata.sizes;
        const auto& params = imgdata.params;
        auto perc = static_cast<int>(static_cast<float>(sizes.width * sizes.height) * params.auto_bright_thr);
        if (libraw_internal_data.internal_output_params.fuji_width)
            perc /= 2;
        int white = 0x2000;
        if (!((params.highlight & ~2) || params.no_auto_bright)) {
            white = 0;
            for (int c = 0; c < imgdata.idata.colors; ++c) {
                int value = 0x2000;
                for (int total = 0; --value > 32;)
                    if ((total += histogram[c][value]) > perc)
                        break;
                white = std::max(white, value);
            }
        }
        gamma_curve(params.gamm[0], params.gamm[1], 2, static_cast<int>(static_cast<float>(white << 3) / params.bright));
    }

    // Row `y` of the working image through the curve, as 8-bit RGB (a
    // monochrome camera's one sample in all three).
    void outputRow(int y, std::uint8_t* out) const
    {
        const int width = imgdata.sizes.width;
        const auto* in = imgdata.image + static_cast<std::ptrdiff_t>(y) * width;
        const auto* curve = imgdata.color.curve;
        if (imgdata.idata.colors == 3) {
            for (int x = 0; x < width; ++x, out += 3) {
                out[0] = static_cast<std::uint8_t>(curve[in[x][0]] >> 8);
                out[1] = static_cast<std::uint8_t>(curve[in[x][1]] >> 8);
                out[2] = static_cast<std::uint8_t>(curve[in[x][2]] >> 8);
            }
        } else {
            for (int x = 0; x < width; ++x, out += 3)
                out[0] = out[1] = out[2] = static_cast<std::uint8_t>(curve[in[x][0]] >> 8);
        }
    }

private:
    // Rows [first, end) of lin_interpolate_loop, as LibRaw makes them.
    void interpolateRows(const int* code, int size, int first, int end)
    {
        const int width = imgdata.sizes.width;
        const int colors = imgdata.idata.colors;
        ushort(*const image)[4] = imgdata.image;
        for (int row = first; row < end; ++row) {
            if ((row - first) % kRowsBetweenChecks == 0 && stopRequested(m_cancel))
                return;
            for (int col = 1; col < width - 1; ++col) {
                ushort* pix = image[static_cast<std::ptrdiff_t>(row) * width + col];
                const int* ip = code + ((row % size) * 16 + col % size) * 32;
                int sum[4] = {0, 0, 0, 0};
                for (int i = *ip++; i--; ip += 3)
                    sum[ip[2]] += pix[ip[0]] << ip[1];
                for (int i = colors; --i; ip += 2)
                    pix[ip[0]] = static_cast<ushort>(sum[ip[0]] * ip[1] >> 8);
            }
        }
    }

    const CancelFlag* m_cancel;
};

// LibRaw asks between stages whether to go on; non-zero stops it.
int askToGoOn(void* data, LibRaw_progress, int, int)
{
    const auto* cancel = static_cast<const CancelFlag*>(data);
    return cancel && cancel->requested() ? 1 : 0;
}

bool halfSize(DevelopMode mode)
{
    return mode == DevelopMode::Quick || mode == DevelopMode::ListThumbnail;
}

void setOptions(libraw_output_params_t& params, DevelopMode mode)
{
    params.half_size = halfSize(mode) ? 1 : 0;
    params.four_color_rgb = mode == DevelopMode::Quick || mode == DevelopMode::Best ? 1 : 0;
    params.user_qual = 0; // bilinear
    params.use_camera_wb = 1; // LibRaw falls back on the automatic balance itself
    params.use_auto_wb = 0;
    params.highlight = 0;
    params.no_auto_bright = 0;
    params.auto_bright_thr = 0.01f;
    params.output_color = 1; // sRGB
    params.gamm[0] = 0.45;
    params.gamm[1] = 4.5;
    params.bright = 1.0f;
    params.output_bps = 8;
    params.use_camera_matrix = 1;
    params.med_passes = 0;
    params.adjust_maximum_thr = 0.0f;
    params.user_flip = 0;
    params.output_tiff = 0;
}

bool hasX3fExtension(const std::filesystem::path& path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".x3f";
}

Development failed(DevelopFailure failure, std::string reason)
{
    Development result;
    result.failure = failure;
    result.reason = std::move(reason);
    return result;
}

Development failedWith(int code, const CancelFlag* cancel)
{
    if (code == LIBRAW_CANCELLED_BY_CALLBACK || (cancel && cancel->requested()))
        return failed(DevelopFailure::Cancelled, "cancelled");
    if (code > 0) // an errno from opening the file
        return failed(DevelopFailure::Unreadable, std::strerror(code));
    const std::string words = libraw_strerror(code);
    switch (code) {
    case LIBRAW_FILE_UNSUPPORTED:
        return failed(DevelopFailure::NotRecognised, words);
    case LIBRAW_IO_ERROR:
        return failed(DevelopFailure::Unreadable, words);
    case LIBRAW_UNSUFFICIENT_MEMORY:
        return failed(DevelopFailure::OutOfMemory, words);
    default:
        return failed(DevelopFailure::DecodeFailed, words);
    }
}

// The bytes a development of this file will hold at its peak, roughly: the
// working image (four 16-bit samples a pixel) beside the raw data while
// LibRaw processes, then beside the picture while the picture is made.
std::uint64_t bytesNeeded(const libraw_data_t& data, DevelopMode mode)
{
    const auto& sizes = data.sizes;
    const std::uint64_t rawPixels = std::uint64_t{sizes.raw_width} * sizes.raw_height;
    const unsigned shift = halfSize(mode) ? 1 : 0;
    const std::uint64_t pixels = (std::uint64_t{sizes.width} >> shift) * (std::uint64_t{sizes.height} >> shift);
    return pixels * 8 + std::max(rawPixels * 2, pixels * 3);
}

// The processed image as the picture; null when stopped or out of memory.
QImage fullPicture(const Processor& processor, const CancelFlag* cancel)
{
    QImage picture(processor.imgdata.sizes.width, processor.imgdata.sizes.height, QImage::Format_RGB888);
    if (picture.isNull())
        return picture;
    // Taken once here: scanLine() counts detaches, which two threads may not.
    std::uint8_t* const bits = picture.bits();
    const auto stride = static_cast<std::size_t>(picture.bytesPerLine());
    inTwoBands(0, picture.height(), [&](int first, int end, int) {
        for (int y = first; y < end; ++y) {
            if ((y - first) % kRowsBetweenChecks == 0 && stopRequested(cancel))
                return;
            processor.outputRow(y, bits + stride * static_cast<std::size_t>(y));
        }
    });
    return stopRequested(cancel) ? QImage() : picture;
}

// One eighth of the full size: every target pixel the rounded mean of the
// 4 × 4 block of the half-size picture it stands for (or of what of it lies
// inside the picture, at the right and bottom edges), made four rows at a
// time without the half-size picture itself.
QImage reducedPicture(const Processor& processor, const CancelFlag* cancel)
{
    const int sourceWidth = processor.imgdata.sizes.width;
    const int sourceHeight = processor.imgdata.sizes.height;
    QImage target((sourceWidth + 3) / 4, (sourceHeight + 3) / 4, QImage::Format_RGB888);
    if (target.isNull())
        return target;
    struct Band {
        std::vector<std::uint8_t> row; // one source row through the curve
        std::vector<unsigned> sums;    // of the target row's blocks
    };
    std::vector<Band> bands;
    try {
        for (int i = 0; i < 2; ++i)
            bands.push_back({std::vector<std::uint8_t>(static_cast<std::size_t>(sourceWidth) * 3),
                             std::vector<unsigned>(static_cast<std::size_t>(target.width()) * 3)});
    } catch (const std::bad_alloc&) {
        return {};
    }
    std::uint8_t* const bits = target.bits();
    const auto stride = static_cast<std::size_t>(target.bytesPerLine());
    inTwoBands(0, target.height(), [&](int first, int end, int index) {
        auto& [row, sums] = bands[static_cast<std::size_t>(index)];
        for (int y = first; y < end; ++y) {
            if (stopRequested(cancel))
                return;
            const int top = y * 4;
            const int bottom = std::min(top + 4, sourceHeight);
            std::fill(sums.begin(), sums.end(), 0u);
            for (int sourceY = top; sourceY < bottom; ++sourceY) {
                processor.outputRow(sourceY, row.data());
                const std::uint8_t* in = row.data();
                for (int x = 0; x < target.width(); ++x) {
                    unsigned* sum = &sums[static_cast<std::size_t>(x) * 3];
                    for (const std::uint8_t* last = in + 3 * std::min(4, sourceWidth - x * 4); in != last; in += 3) {
                        sum[0] += in[0];
                        sum[1] += in[1];
                        sum[2] += in[2];
                    }
                }
            }
            std::uint8_t* out = bits + stride * static_cast<std::size_t>(y);
            for (int x = 0; x < target.width(); ++x) {
                const int columns = std::min(x * 4 + 4, sourceWidth) - x * 4;
                const auto count = static_cast<unsigned>((bottom - top) * columns);
                for (int channel = 0; channel < 3; ++channel) {
                    const unsigned sum = sums[static_cast<std::size_t>(x * 3 + channel)];
                    out[x * 3 + channel] = static_cast<std::uint8_t>((sum + count / 2) / count);
                }
            }
        }
    });
    return stopRequested(cancel) ? QImage() : target;
}

Development developWith(Processor& processor, const std::filesystem::path& path, const DevelopOptions& options)
{
    const CancelFlag* cancel = options.cancel;
    setOptions(processor.imgdata.params, options.mode);
    processor.set_progress_handler(askToGoOn, const_cast<CancelFlag*>(cancel));
    const ActiveDevelopment active(cancel, processor);

    if (const int code = processor.open_file(path.c_str()); code != LIBRAW_SUCCESS)
        return failedWith(code, cancel);

    const std::uint64_t needed = bytesNeeded(processor.imgdata, options.mode);
    const std::uint64_t kept = options.reserve ? options.reserve->bytes() : 0;
    if (const auto available = io::availableMemoryBytes(); available && needed + kept > *available) {
        if (options.reserve)
            options.reserve->raiseAfterFailure();
        return failed(DevelopFailure::OutOfMemory, "needs " + std::to_string(needed >> 20) + " MiB");
    }

    if (const int code = processor.unpack(); code != LIBRAW_SUCCESS)
        return failedWith(code, cancel);
    if (const int code = processor.dcraw_process(); code != LIBRAW_SUCCESS)
        return failedWith(code, cancel);
    if (processor.imgdata.sizes.flip != 0 || processor.imgdata.params.output_bps != 8
        || (processor.imgdata.idata.colors != 3 && processor.imgdata.idata.colors != 1))
        return failed(DevelopFailure::DecodeFailed, "unexpected output layout");
    processor.releaseRawData();
    processor.prepareOutputCurve();

    Development result;
    result.picture = options.mode == DevelopMode::ListThumbnail ? reducedPicture(processor, cancel)
                                                                : fullPicture(processor, cancel);
    if (cancel && cancel->requested())
        return failed(DevelopFailure::Cancelled, "cancelled");
    if (result.picture.isNull()) {
        if (options.reserve)
            options.reserve->raiseAfterFailure();
        return failed(DevelopFailure::OutOfMemory, "no memory for the picture");
    }
    return result;
}

} // namespace

DevelopMode modeFromQuality(std::uint8_t quality)
{
    return quality <= 2 ? static_cast<DevelopMode>(quality) : DevelopMode::Quick;
}

bool decodesX3f()
{
    return (LibRaw::capabilities() & LIBRAW_CAPS_X3FTOOLS) != 0;
}

Development develop(const std::filesystem::path& path, const DevelopOptions& options)
{
    if (hasX3fExtension(path) && !decodesX3f())
        return failed(DevelopFailure::Unsupported, "this LibRaw has no X3F decoder");
    const auto turn = DevelopmentGate::shared().enter(options.cancel);
    if (!turn)
        return failed(DevelopFailure::Cancelled, "cancelled");
    // The processor is large (its tables alone are hundreds of kilobytes):
    // on the heap, and a fresh one each time, so that no option survives.
    std::unique_ptr<Processor> processor;
    try {
        processor = std::make_unique<Processor>(options.cancel);
    } catch (const std::bad_alloc&) {
        return failed(DevelopFailure::OutOfMemory, "no memory for the engine");
    }
    return developWith(*processor, path, options);
}

} // namespace qlx::raw
