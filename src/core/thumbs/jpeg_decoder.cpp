#include "thumbs/jpeg_decoder.h"

#include "thumbs/colour_management.h"
#include "thumbs/picture_memory.h"

#include <algorithm>
#include <array>
#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

namespace qlx::thumbs {

namespace {

// libjpeg reports a fatal error through error_exit, which must not return:
// ours jumps back to the decoder function that is running. Warnings go to
// emit_message; the only ones that decide anything say that the data ended
// before the picture did (libjpeg then invents the missing data and fills
// the rest with grey, which we refuse). Others, such as stray bytes before a
// marker, are common in camera files and harmless.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    int truncations;
    const raw::CancelFlag* cancel;
};

struct Decoder {
    jpeg_decompress_struct info;
    ErrorManager error;
    jpeg_progress_mgr progress;
    bool created;
};

ErrorManager& managerOf(j_common_ptr info)
{
    // `pub` is the first member of the standard-layout ErrorManager.
    return *reinterpret_cast<ErrorManager*>(info->err);
}

[[noreturn]] void onError(j_common_ptr info)
{
    std::longjmp(managerOf(info).jump, 1);
}

void onMessage(j_common_ptr info, int level)
{
    // The data ended (JWRN_JPEG_EOF), or a scan's data ended at a marker
    // before the scan did (JWRN_HIT_MARKER): libjpeg goes on with grey.
    if (level < 0 && (info->err->msg_code == JWRN_JPEG_EOF || info->err->msg_code == JWRN_HIT_MARKER))
        ++managerOf(info).truncations;
}

void onProgress(j_common_ptr info)
{
    if (info->is_decompressor == 0)
        return;
    const auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    const raw::CancelFlag* cancel = managerOf(info).cancel;
    if (decompress->input_scan_number > kMaxJpegScans || (cancel != nullptr && cancel->requested()))
        (*info->err->error_exit)(info);
}

// The functions below call setjmp. None of them holds an object with a
// destructor, so a jump back into one skips nothing; everything they fill
// lives in the caller's Decoder.

bool openHeader(Decoder& d, std::span<const std::byte> bytes)
{
    if (setjmp(d.error.jump) != 0)
        return false;
    jpeg_create_decompress(&d.info);
    d.created = true;
    d.info.mem->max_memory_to_use = kMaxJpegDecoderMemory;
    d.progress.progress_monitor = onProgress;
    d.info.progress = &d.progress;
    jpeg_mem_src(&d.info, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    // APP2 holds the embedded ICC profile; libjpeg keeps what it reads of
    // them within max_memory_to_use.
    jpeg_save_markers(&d.info, JPEG_APP0 + 2, 0xFFFF);
    return jpeg_read_header(&d.info, TRUE) == JPEG_HEADER_OK;
}

bool prepareOutput(Decoder& d, int denominator, J_COLOR_SPACE space, bool fastUpsampling)
{
    if (setjmp(d.error.jump) != 0)
        return false;
    d.info.scale_num = 1;
    d.info.scale_denom = static_cast<unsigned int>(denominator);
    d.info.out_color_space = space;
    d.info.dct_method = JDCT_ISLOW;
    d.info.do_fancy_upsampling = fastUpsampling ? FALSE : TRUE;
    jpeg_calc_output_dimensions(&d.info);
    return true;
}

// Decodes every row into `bits`, whose rows are `stride` bytes apart and
// hold `width` pixels of `components` bytes.
bool readRows(Decoder& d, unsigned char* bits, std::size_t stride, unsigned width, unsigned height,
              int components)
{
    if (setjmp(d.error.jump) != 0)
        return false;
    if (jpeg_start_decompress(&d.info) == FALSE)
        return false;
    if (d.info.output_width != width || d.info.output_height != height || d.info.output_components != components)
        return false;
    constexpr unsigned kRowsPerCall = 4;
    std::array<JSAMPROW, kRowsPerCall> rows{};
    while (d.info.output_scanline < height) {
        const unsigned first = d.info.output_scanline;
        const unsigned count = std::min(kRowsPerCall, height - first);
        for (unsigned i = 0; i < count; ++i)
            rows[i] = bits + static_cast<std::size_t>(first + i) * stride;
        if (jpeg_read_scanlines(&d.info, rows.data(), count) == 0)
            return false;
    }
    return true;
}

// The ICC profile the APP2 markers carry ("ICC_PROFILE\0", a sequence
// number and a count before each chunk); empty when there is none, when the
// chunks do not make a whole profile, or when it would be larger than
// kMaxIccProfileBytes, which is checked on the markers' lengths before
// libjpeg gathers them.
bool readIccProfile(Decoder& d, QByteArray& profile)
{
    if (setjmp(d.error.jump) != 0)
        return false;
    constexpr std::size_t kChunkHeader = 14;
    std::uint64_t total = 0;
    for (jpeg_saved_marker_ptr marker = d.info.marker_list; marker != nullptr; marker = marker->next) {
        if (marker->marker == JPEG_APP0 + 2 && marker->data_length >= kChunkHeader
            && std::memcmp(marker->data, "ICC_PROFILE", 12) == 0)
            total += marker->data_length - kChunkHeader;
    }
    if (total == 0 || total > kMaxIccProfileBytes)
        return false;
    JOCTET* data = nullptr;
    unsigned int length = 0;
    // Allocated with malloc, which libjpeg leaves to us to free.
    if (jpeg_read_icc_profile(&d.info, &data, &length) == FALSE || data == nullptr)
        return false;
    profile = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
    std::free(data);
    return true;
}

struct DecoderGuard {
    Decoder& d;
    ~DecoderGuard()
    {
        if (d.created)
            jpeg_destroy_decompress(&d.info);
    }
};

void prepareDecoder(Decoder& d)
{
    d.info.err = jpeg_std_error(&d.error.pub);
    d.error.pub.error_exit = onError;
    d.error.pub.emit_message = onMessage;
    d.error.truncations = 0;
    d.error.cancel = nullptr;
    d.created = false;
}

bool withinLimits(unsigned width, unsigned height)
{
    return width > 0 && height > 0 && width <= static_cast<unsigned>(kMaxJpegSide)
           && height <= static_cast<unsigned>(kMaxJpegSide)
           && static_cast<std::uint64_t>(width) * height <= kMaxJpegPixels;
}

// The pixel order that lays libjpeg's output out as QImage::Format_RGB32
// (a native-endian 0xffRRGGBB word; the alpha byte must be 0xFF).
constexpr J_COLOR_SPACE kRgb32Space = std::endian::native == std::endian::little ? JCS_EXT_BGRA : JCS_EXT_ARGB;

// CMYK rows, four bytes a pixel, turned into Format_RGB32 words in place.
// Adobe's encoders (the only ones that write CMYK JPEGs in practice) store
// the inks inverted.
void cmykToRgb32(QImage& image, bool inverted)
{
    for (int y = 0; y < image.height(); ++y) {
        auto* line = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            unsigned char* p = line + static_cast<std::size_t>(x) * 4;
            unsigned c = p[0], m = p[1], yellow = p[2], k = p[3];
            if (!inverted) {
                c = 255 - c;
                m = 255 - m;
                yellow = 255 - yellow;
                k = 255 - k;
            }
            const QRgb rgb = qRgb(static_cast<int>(c * k / 255), static_cast<int>(m * k / 255),
                                  static_cast<int>(yellow * k / 255));
            std::memcpy(p, &rgb, sizeof rgb);
        }
    }
}

} // namespace

bool looksLikeJpeg(std::span<const std::byte> bytes)
{
    return bytes.size() >= 3 && bytes[0] == std::byte{0xFF} && bytes[1] == std::byte{0xD8}
           && bytes[2] == std::byte{0xFF};
}

int chooseJpegScale(QSize used, QSize cover)
{
    if (cover.width() <= 0 || cover.height() <= 0)
        return 1;
    for (const int denominator : {8, 4, 2}) {
        if (used.width() / denominator >= cover.width() && used.height() / denominator >= cover.height())
            return denominator;
    }
    return 1;
}

QSize scaledJpegSize(QSize full, int denominator)
{
    const auto up = [denominator](int side) { return (side + denominator - 1) / denominator; };
    return {up(full.width()), up(full.height())};
}

std::optional<JpegInfo> readJpegInfo(std::span<const std::byte> bytes)
{
    if (!looksLikeJpeg(bytes))
        return std::nullopt;
    Decoder d{};
    prepareDecoder(d);
    const DecoderGuard guard{d};
    if (!openHeader(d, bytes) || !withinLimits(d.info.image_width, d.info.image_height))
        return std::nullopt;
    return JpegInfo{static_cast<int>(d.info.image_width), static_cast<int>(d.info.image_height),
                    d.info.num_components, d.info.progressive_mode != FALSE};
}

DecodedJpeg decodeJpeg(std::span<const std::byte> bytes, const JpegRequest& request,
                       imagelist::MemoryReserve* reserve)
{
    DecodedJpeg result;
    if (!looksLikeJpeg(bytes))
        return result;
    Decoder d{};
    prepareDecoder(d);
    d.error.cancel = request.cancel;
    const DecoderGuard guard{d};
    if (!openHeader(d, bytes) || !withinLimits(d.info.image_width, d.info.image_height))
        return result;
    const QSize full(static_cast<int>(d.info.image_width), static_cast<int>(d.info.image_height));

    const bool cmyk = d.info.num_components == 4;
    if (!cmyk && d.info.num_components != 1 && d.info.num_components != 3)
        return result;
    const bool fourBytes = cmyk || request.pixels == JpegPixels::Rgb32;
    const J_COLOR_SPACE space = cmyk ? JCS_CMYK : fourBytes ? kRgb32Space : JCS_EXT_RGB;
    const int denominator = chooseJpegScale(full - request.cutAway, request.cover);
    if (!prepareOutput(d, denominator, space, request.fastUpsampling))
        return result;
    // Only a colour picture's profile: the CMYK conversion below is not
    // one a CMYK profile describes, and a grey profile does not fit the RGB
    // output.
    QByteArray profile;
    if (d.info.num_components == 3)
        readIccProfile(d, profile);

    const unsigned width = d.info.output_width;
    const unsigned height = d.info.output_height;
    if (!withinLimits(width, height))
        return result;
    QImage image = allocatePicture(QSize(static_cast<int>(width), static_cast<int>(height)),
                                   fourBytes ? QImage::Format_RGB32 : QImage::Format_RGB888, reserve);
    if (image.isNull())
        return result;
    if (!readRows(d, image.bits(), static_cast<std::size_t>(image.bytesPerLine()), width, height, fourBytes ? 4 : 3))
        return result;
    if (d.error.truncations > 0)
        return result;
    if (cmyk) {
        cmykToRgb32(image, d.info.saw_Adobe_marker != FALSE);
        if (request.pixels == JpegPixels::Rgb888)
            image.convertTo(QImage::Format_RGB888);
    }
    convertToSrgb(image, colourSpaceFromIcc(profile));
    result.image = std::move(image);
    result.fullSize = full;
    result.denominator = denominator;
    return result;
}

} // namespace qlx::thumbs
