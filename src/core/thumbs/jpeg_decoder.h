#pragma once
// JPEG decoding for thumbnails and previews, through libjpeg-turbo.
//
// The bytes come from outside (an embedded thumbnail, a preview, a whole
// file), so the decoder trusts none of them: it reads only the span it is
// given, refuses dimensions and totals beyond the limits below before it
// allocates anything they size, caps what libjpeg itself may allocate, and
// turns every libjpeg error into an empty result (its error manager returns
// to us; nothing exits or aborts).
//
// Small pictures are decoded scaled in the DCT domain: the caller says how
// large the part it uses must stay, and the decoder picks the smallest of the
// scales 1/8, 1/4, 1/2 and 1 whose output still covers it, so that a list
// thumbnail of a 12-megapixel picture decodes 500 × 375 pixels, not 4000 ×
// 3000.
//
// A picture with an embedded ICC profile is converted to sRGB
// (colour_management.h). The output picture is allocated through the memory
// reserve when one is given (picture_memory.h).
//
// Thread model: every call is self-contained; calls may run on several
// threads at once.

#include "imagelist/memory_reserve.h"
#include "raw/cancel_flag.h"

#include <QImage>
#include <QSize>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace qlx::thumbs {

// ---- Limits ---------------------------------------------------------------

// The largest side accepted. JPEG's own fields are 16-bit; libjpeg-turbo
// refuses sides over 65,500 anyway.
inline constexpr int kMaxJpegSide = 65'535;
// The most pixels a picture may have (its full size, before scaling). The
// largest single-shot camera pictures are about 150 megapixels; 256 Mi
// leaves room, and refuses a forged header that would make a scaled decode
// walk gigapixels of nothing or a full decode allocate gigabytes.
inline constexpr std::uint64_t kMaxJpegPixels = 256ull * 1024 * 1024;
// What libjpeg may allocate for one picture. A progressive picture keeps all
// its coefficients, two bytes per sample: 256 Mi pixels in 4:2:0 need
// 768 MiB, so this admits every picture kMaxJpegPixels admits.
inline constexpr long kMaxJpegDecoderMemory = 1024L * 1024 * 1024;
// Scans of a progressive picture. Encoders write about ten; a forged file of
// thousands of tiny scans would make every scan a pass over the whole
// coefficient buffer.
inline constexpr int kMaxJpegScans = 500;

// ---- Header and scale -----------------------------------------------------

struct JpegInfo {
    int width = 0;
    int height = 0;
    int components = 0;
    bool progressive = false;
};

// The picture's size as its frame header gives it; nothing when the bytes do
// not hold a readable header within the limits.
std::optional<JpegInfo> readJpegInfo(std::span<const std::byte> bytes);

// True when the bytes start with a JPEG start-of-image marker (FF D8 FF).
bool looksLikeJpeg(std::span<const std::byte> bytes);

// The DCT scale denominator (8, 4, 2 or 1) for a picture of which the part
// `used` (in full-size pixels) must still be at least `cover` after scaling:
// the largest denominator d for which used / d (rounded down) covers `cover`
// in both directions; 1 when even the full size does not. An empty `cover`
// asks for the full size.
int chooseJpegScale(QSize used, QSize cover);

// The output size libjpeg gives for a full size and a denominator (each side
// rounded up).
QSize scaledJpegSize(QSize full, int denominator);

// ---- Decoding -------------------------------------------------------------

enum class JpegPixels {
    Rgb32,  // QImage::Format_RGB32 (0xffRRGGBB), what painting wants
    Rgb888, // QImage::Format_RGB888 (R, G, B bytes)
};

struct JpegRequest {
    // The smallest output that will do for the part of the picture that is
    // used; empty: decode at full size.
    QSize cover;
    // Full-size pixels the caller will cut away in each direction (the sum
    // of the crop margins); the scale is chosen for what remains.
    QSize cutAway;
    JpegPixels pixels = JpegPixels::Rgb32;
    // Plain (replicating) chroma upsampling: faster, and invisible once the
    // picture is reduced further. For thumbnails, not for the view.
    bool fastUpsampling = false;
    // The owner's stop request (may be null): a decode the view no longer
    // wants ends at libjpeg's next progress report, as a failure.
    const raw::CancelFlag* cancel = nullptr;
};

struct DecodedJpeg {
    QImage image;         // null when decoding failed
    QSize fullSize;       // the picture's own size
    int denominator = 1;  // the scale it was decoded at: 1 / denominator
    bool ok() const { return !image.isNull(); }
};

// Decodes `bytes` as one JPEG picture. An empty result for anything that is
// not a whole, valid picture within the limits: a bad header, corrupt
// entropy data that libjpeg gives up on, or data that ends before the last
// row (a truncated file). Colour spaces: greyscale, YCbCr, RGB, and Adobe
// CMYK/YCCK (converted to RGB). A picture the reserve refuses is an empty
// result too.
DecodedJpeg decodeJpeg(std::span<const std::byte> bytes, const JpegRequest& request,
                       imagelist::MemoryReserve* reserve = nullptr);

} // namespace qlx::thumbs
