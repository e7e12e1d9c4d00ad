#include "raw/libraw_processor.h"

#include "raw/row_bands.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>

namespace qlx::raw {

namespace {

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

} // namespace

LibRawProcessor::LibRawProcessor(const CancelFlag* cancel) : LibRaw(LIBRAW_OPTIONS_NONE), m_cancel(cancel)
{
    // The program's terminal and the list's worker threads are no place for
    // LibRaw's messages: the development's result carries them instead.
    set_dataerror_handler(&LibRawProcessor::noteDataError, this);
}

void LibRawProcessor::noteDataError(void* processor, const char*, int offset)
{
    auto* self = static_cast<LibRawProcessor*>(processor);
    if (!self->m_dataError.empty())
        return;
    try {
        self->m_dataError = offset < 0 ? "unexpected end of file" : "data corrupted at " + std::to_string(offset);
    } catch (const std::bad_alloc&) {
    }
}

void LibRawProcessor::releaseRawData()
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
void LibRawProcessor::copy_bayer(unsigned short cblack[4], unsigned short* dmaxp)
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
void LibRawProcessor::lin_interpolate_loop(int* code, int size)
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
void LibRawProcessor::scale_colors_loop(float scale_mul[4])
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
void LibRawProcessor::convert_to_rgb_loop(float out_cam[3][4])
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

void LibRawProcessor::prepareOutputCurve()
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

void LibRawProcessor::outputRow(int y, std::uint8_t* out) const
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

void LibRawProcessor::interpolateRows(const int* code, int size, int first, int end)
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

} // namespace qlx::raw
