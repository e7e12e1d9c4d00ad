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

// The binned route's blocks: eight samples of each dimension.
constexpr int kEighth = 8;

// A block's samples along one axis: [first, end) of the `extent` samples
// with data. A block cut by the edge reaches back into its neighbour to
// keep two samples, so that both colours of the pattern along that axis are
// in it; a block wholly past the data is empty.
struct Span {
    int first;
    int end;
};

Span blockSpan(int index, int extent)
{
    const int first = index * kEighth;
    if (first >= extent)
        return {0, 0};
    const int end = std::min(first + kEighth, extent);
    return {std::max(0, std::min(first, end - 2)), end};
}

// A colour's mean, rounded; 0 for a colour the block does not hold.
ushort mean(std::uint32_t sum, std::uint32_t count)
{
    if (count == 0)
        return 0;
    return static_cast<ushort>((sum + count / 2) / count);
}


// The two colours of a sensor row of a 2 × 2 pattern: even columns', odd
// columns'.
struct RowColours {
    std::array<int, 2> colour;
};

// LibRaw's black levels of a pattern larger than 2 × 2 (rows, columns and
// the levels, row by row), if any.
struct BlackPattern {
    int rows;
    int columns;
    const unsigned* levels;

    bool present() const { return rows > 0 && columns > 0; }
    unsigned at(int row, int col) const { return levels[(row % rows) * columns + col % columns]; }
};

// A sample less its black level, never below zero.
inline unsigned lessBlack(unsigned value, unsigned black)
{
    return std::max(value, black) - black;
}

// How many of [span.first, span.end) are even (parity 0) or odd.
std::uint32_t withParity(Span span, int parity)
{
    return parity == 0 ? static_cast<std::uint32_t>((span.end + 1) / 2 - (span.first + 1) / 2)
                       : static_cast<std::uint32_t>(span.end / 2 - span.first / 2);
}

// How many samples of each colour a block holds.
std::array<std::uint32_t, 4> blockCounts(Span down, Span across, const std::array<RowColours, 2>& cells)
{
    std::array<std::uint32_t, 4> count{};
    for (std::size_t row = 0; row < 2; ++row)
        for (std::size_t parity = 0; parity < 2; ++parity)
            count[static_cast<std::size_t>(cells[row].colour[parity])]
                += withParity(down, static_cast<int>(row)) * withParity(across, static_cast<int>(parity));
    return count;
}

// Adds one sensor row's samples to the sums of the blocks of a row of the
// eighth (four colours a block), its black levels taken off; returns the
// largest sample. The blocks wholly inside take eight samples each in a
// loop with no choice to make per sample; the edge block, and every block
// where a pattern of black levels is to be taken off too (after the
// colour's own, from the samples not already zero, as LibRaw takes it
// off), go sample by sample.
unsigned addRow(const ushort* in, int row, int columns, const RowColours& colours, const unsigned short cblack[4],
                const BlackPattern& pattern, std::uint32_t* sums, int blocks)
{
    const std::array<unsigned, 2> black = {cblack[colours.colour[0]], cblack[colours.colour[1]]};
    const auto evenColour = static_cast<std::size_t>(colours.colour[0]);
    const auto oddColour = static_cast<std::size_t>(colours.colour[1]);
    unsigned most = 0;
    int x = 0;
    if (!pattern.present()) {
        for (; x < columns / kEighth; ++x) {
            const ushort* p = in + static_cast<std::ptrdiff_t>(x) * kEighth;
            unsigned even = 0, odd = 0;
            for (int i = 0; i < kEighth; i += 2) {
                const unsigned a = lessBlack(p[i], black[0]);
                const unsigned b = lessBlack(p[i + 1], black[1]);
                even += a;
                odd += b;
                most = std::max({most, a, b});
            }
            sums[static_cast<std::size_t>(x) * 4 + evenColour] += even;
            sums[static_cast<std::size_t>(x) * 4 + oddColour] += odd;
        }
    }
    for (; x < blocks; ++x) {
        const Span across = blockSpan(x, columns);
        for (int col = across.first; col < across.end; ++col) {
            const auto parity = static_cast<std::size_t>(col & 1);
            unsigned value = lessBlack(in[col], black[parity]);
            if (pattern.present() && value)
                value = lessBlack(value, pattern.at(row, col));
            sums[static_cast<std::size_t>(x) * 4 + static_cast<std::size_t>(colours.colour[parity])] += value;
            most = std::max(most, value);
        }
    }
    return most;
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
    if (m_eighths) {
        copyInEighths(cblack, dmaxp);
        return;
    }
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

bool LibRawProcessor::binEighths()
{
    // What dcraw_process will start from: raw2image_start restores these.
    const auto& raw = imgdata.rawdata;
    const auto& sizes = raw.sizes;
    const unsigned filters = raw.iparams.filters;
    const auto& internal = raw.ioparams;
    const int rows = std::min(int{sizes.height}, int{sizes.raw_height} - int{sizes.top_margin});
    const int columns = std::min(int{sizes.width}, int{sizes.raw_width} - int{sizes.left_margin});
    // Leaf (1), X-Trans (9) and unfiltered (0) data have other layouts; a
    // Fuji 45° sensor, pixels that are not square, damaged zeros that LibRaw
    // mends from their neighbours and four-colour filters are left to
    // LibRaw's own route, as are sensor data that are not one 16-bit sample
    // a photosite.
    if (!raw.raw_image || filters <= 1 || filters == LIBRAW_XTRANS || raw.iparams.colors != 3
        || internal.fuji_width != 0 || sizes.pixel_aspect != 1.0 || internal.zero_is_bad || !imgdata.params.half_size
        || rows < 2 || columns < 2 || sizes.raw_pitch / 2 < sizes.raw_width)
        return false;
    // The pattern repeats every two rows (each row's four bits once more)...
    if (filters != (filters & 0xFFu) * 0x01010101u)
        return false;
    // ...and its 2 × 2 cell holds red, green, blue and the second green.
    unsigned seen = 0;
    for (int cell = 0; cell < 4; ++cell)
        seen |= 1u << FC(cell >> 1, cell & 1);
    if (seen != 0xFu)
        return false;
    // A black pattern LibRaw would read past its table is not ours to read.
    const auto& black = raw.color.cblack;
    if (std::uint64_t{black[4]} * black[5] > LIBRAW_CBLACK_SIZE - 6)
        return false;
    // Each band's sums of a row of blocks, four colours a block.
    try {
        m_blockSums.assign(static_cast<std::size_t>((sizes.width + kEighth - 1) / kEighth) * 4 * 2, 0u);
    } catch (const std::bad_alloc&) {
        return false;
    }
    m_eighths = true;
    return true;
}

// Each block's samples, the black level subtracted sample by sample as
// copy_bayer subtracts it (with the pattern of black levels, which LibRaw
// would take off later, taken off here too), summed colour by colour; the
// sizes LibRaw's later stages work on become the eighth's. On two threads,
// with cancel checks every 64 sensor rows.
void LibRawProcessor::copyInEighths(const unsigned short cblack[4], unsigned short* dmaxp)
{
    auto& sizes = imgdata.sizes;
    auto& colour = imgdata.color;
    const int rows = std::min(int{sizes.height}, int{sizes.raw_height} - int{sizes.top_margin});
    const int columns = std::min(int{sizes.width}, int{sizes.raw_width} - int{sizes.left_margin});
    const int width = (sizes.width + kEighth - 1) / kEighth;
    const int height = (sizes.height + kEighth - 1) / kEighth;
    const BlackPattern pattern{static_cast<int>(colour.cblack[4]), static_cast<int>(colour.cblack[5]),
                               colour.cblack + 6};
    colour.cblack[4] = colour.cblack[5] = 0;
    sizes.iwidth = static_cast<ushort>(width);
    sizes.iheight = static_cast<ushort>(height);
    std::array<RowColours, 2> cells{};
    for (std::size_t row = 0; row < 2; ++row)
        for (std::size_t parity = 0; parity < 2; ++parity)
            cells[row].colour[parity] = FC(static_cast<int>(row), static_cast<int>(parity));
    const ushort* const data = imgdata.rawdata.raw_image;
    const std::size_t pitch = sizes.raw_pitch / 2;
    const std::size_t bandSums = static_cast<std::size_t>(width) * 4;
    std::array<unsigned, 2> largest = {0, 0};
    inTwoBands(0, height, [&](int first, int end, int band) {
        std::uint32_t* const sums = m_blockSums.data() + static_cast<std::size_t>(band) * bandSums;
        unsigned most = 0;
        for (int y = first; y < end; ++y) {
            if ((y - first) % (kRowsBetweenChecks / kEighth) == 0 && stopRequested(m_cancel))
                break;
            std::fill(sums, sums + bandSums, 0u);
            const Span down = blockSpan(y, rows);
            for (int row = down.first; row < down.end; ++row) {
                const ushort* in = data + static_cast<std::size_t>(row + sizes.top_margin) * pitch + sizes.left_margin;
                most = std::max(most, addRow(in, row, columns, cells[static_cast<std::size_t>(row & 1)], cblack,
                                             pattern, sums, width));
            }
            for (int x = 0; x < width; ++x) {
                const auto count = blockCounts(down, blockSpan(x, columns), cells);
                const std::uint32_t* sum = sums + static_cast<std::size_t>(x) * 4;
                ushort* out = imgdata.image[static_cast<std::ptrdiff_t>(y) * width + x];
                out[0] = mean(sum[0], count[0]);
                out[2] = mean(sum[2], count[2]);
                out[1] = out[3] = mean(sum[1] + sum[3], count[1] + count[3]);
            }
        }
        largest[static_cast<std::size_t>(band)] = most;
    });
    *dmaxp = std::max({*dmaxp, static_cast<ushort>(std::max(largest[0], largest[1]))});
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
