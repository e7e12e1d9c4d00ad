#include "raw/developed_image_encoder.h"

#include "io/record_bytes.h"

#include <algorithm>
#include <csetjmp>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <tiffio.h>

namespace qlx::raw {

namespace {

constexpr int kJpegQuality = 100;

QImage rgb888(const QImage& picture)
{
    return picture.format() == QImage::Format_RGB888 ? picture : picture.convertToFormat(QImage::Format_RGB888);
}

// ---- TIFF ---------------------------------------------------------------

// The file libtiff writes, in memory: it seeks back to patch offsets.
struct MemoryFile {
    std::vector<std::byte> bytes;
    std::uint64_t position = 0;
    std::string error;
};

MemoryFile& fileOf(thandle_t handle)
{
    return *static_cast<MemoryFile*>(handle);
}

tmsize_t readMemory(thandle_t handle, void* buffer, tmsize_t size)
{
    MemoryFile& f = fileOf(handle);
    if (size < 0 || f.position >= f.bytes.size())
        return 0;
    const auto n = std::min<std::uint64_t>(static_cast<std::uint64_t>(size), f.bytes.size() - f.position);
    std::memcpy(buffer, f.bytes.data() + f.position, n);
    f.position += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t writeMemory(thandle_t handle, void* buffer, tmsize_t size)
{
    MemoryFile& f = fileOf(handle);
    if (size < 0)
        return -1;
    const std::uint64_t end = f.position + static_cast<std::uint64_t>(size);
    if (end > f.bytes.size())
        f.bytes.resize(end);
    std::memcpy(f.bytes.data() + f.position, buffer, static_cast<std::size_t>(size));
    f.position = end;
    return size;
}

toff_t seekMemory(thandle_t handle, toff_t offset, int whence)
{
    MemoryFile& f = fileOf(handle);
    const std::uint64_t base = whence == SEEK_CUR ? f.position : whence == SEEK_END ? f.bytes.size() : 0;
    f.position = base + offset;
    return f.position;
}

int closeMemory(thandle_t)
{
    return 0;
}

toff_t sizeOfMemory(thandle_t handle)
{
    return fileOf(handle).bytes.size();
}

int mapMemory(thandle_t, void**, toff_t*)
{
    return 0; // not mapped: libtiff reads through readMemory
}

void unmapMemory(thandle_t, void*, toff_t) {}

int noteTiffError(TIFF*, void* data, const char* module, const char* format, va_list arguments)
{
    char text[256];
    std::vsnprintf(text, sizeof text, format, arguments);
    auto& file = *static_cast<MemoryFile*>(data);
    if (file.error.empty())
        file.error = std::string(module ? module : "libtiff") + ": " + text;
    return 1;
}

int ignoreTiffWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

bool writeTiffPixels(TIFF* tiff, const QImage& picture, bool exifLink)
{
    const auto width = static_cast<std::uint32_t>(picture.width());
    const auto height = static_cast<std::uint32_t>(picture.height());
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff, 0));
    if (exifLink)
        TIFFSetField(tiff, TIFFTAG_EXIFIFD, std::uint64_t{0}); // filled in once the Exif IFD is written
    for (std::uint32_t y = 0; y < height; ++y) {
        auto* row = const_cast<uchar*>(picture.constScanLine(static_cast<int>(y)));
        if (TIFFWriteScanline(tiff, row, y, 0) != 1)
            return false;
    }
    return TIFFWriteDirectory(tiff) == 1;
}

// IFD0's texts (make, model, date, software); the size and orientation
// come from the picture itself in writeTiffPixels.
bool setIfd0Texts(TIFF* tiff, const std::vector<ExifTag>& exif)
{
    for (const ExifTag& tag : exif)
        if (tag.ifd == ExifIfd::Ifd0 && tag.type == ExifType::Ascii
            && TIFFSetField(tiff, tag.tag, tag.bytes.c_str()) != 1)
            return false;
    return true;
}

// Appends the Exif IFD to the file libtiff wrote and points IFD0's link,
// written as a placeholder, at it. The IFD is ours rather than libtiff's
// Exif directory because libtiff keeps rationals as floats: 1/250 would come
// back as 0.00400000019.
bool appendExifIfd(std::vector<std::byte>& file, const std::vector<ExifTag>& exif)
{
    constexpr std::uint16_t kExifLinkTag = 0x8769;
    const std::span<const std::byte> bytes(file);
    if (bytes.size() < 8)
        return false;
    const std::size_t ifd0 = io::loadLe<std::uint32_t>(bytes, 4);
    if (ifd0 > bytes.size() - 2)
        return false;
    const std::size_t count = io::loadLe<std::uint16_t>(bytes, ifd0);
    std::size_t linkAt = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = ifd0 + 2 + 12 * i;
        if (entry > bytes.size() - 12)
            return false;
        if (io::loadLe<std::uint16_t>(bytes, entry) == kExifLinkTag)
            linkAt = entry + 8;
    }
    if (linkAt == 0)
        return false;
    if (file.size() % 2 != 0)
        file.push_back(std::byte{0}); // a directory starts on a word boundary
    if (file.size() > 0xFFFF'0000u)
        return false;
    const auto offset = static_cast<std::uint32_t>(file.size());
    const std::vector<std::byte> directory = exifIfdBytes(exif, offset);
    file.insert(file.end(), directory.begin(), directory.end());
    io::storeLe<std::uint32_t>(file, linkAt, offset);
    return true;
}

// ---- JPEG ---------------------------------------------------------------

struct JpegErrors {
    jpeg_error_mgr pub; // first: libjpeg sees a jpeg_error_mgr*
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void onJpegError(j_common_ptr info)
{
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

struct JpegEncoder {
    jpeg_compress_struct info;
    JpegErrors errors;
    unsigned char* out;
    unsigned long size;
    bool created;
};

// Calls setjmp: holds nothing with a destructor, so a jump back skips
// nothing; what it fills lives in the caller's encoder.
bool compressJpeg(JpegEncoder& e, const QImage& picture, const std::vector<std::byte>& app1)
{
    if (setjmp(e.errors.jump) != 0)
        return false;
    jpeg_create_compress(&e.info);
    e.created = true;
    jpeg_mem_dest(&e.info, &e.out, &e.size);
    e.info.image_width = static_cast<JDIMENSION>(picture.width());
    e.info.image_height = static_cast<JDIMENSION>(picture.height());
    e.info.input_components = 3;
    e.info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&e.info);
    jpeg_set_quality(&e.info, kJpegQuality, TRUE);
    // Full colour resolution: a developed file is a master, and at quality
    // 100 halving the colour planes would be the largest loss left.
    for (int component = 0; component < e.info.num_components; ++component)
        e.info.comp_info[component].h_samp_factor = e.info.comp_info[component].v_samp_factor = 1;
    // The Exif segment comes right after SOI, where readers look for it.
    e.info.write_JFIF_header = app1.empty() ? TRUE : FALSE;
    jpeg_start_compress(&e.info, TRUE);
    if (!app1.empty())
        jpeg_write_marker(&e.info, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(app1.data()),
                          static_cast<unsigned int>(app1.size()));
    while (e.info.next_scanline < e.info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(picture.constScanLine(static_cast<int>(e.info.next_scanline)));
        jpeg_write_scanlines(&e.info, &row, 1);
    }
    jpeg_finish_compress(&e.info);
    return true;
}

} // namespace

EncodedImage encodeTiff(const QImage& source, const std::vector<ExifTag>& exif)
{
    const QImage picture = rgb888(source);
    MemoryFile file;
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, noteTiffError, &file);
    TIFFOpenOptionsSetWarningHandlerExtR(options, ignoreTiffWarning, nullptr);
    TIFF* tiff = TIFFClientOpenExt("developed", "w", &file, readMemory, writeMemory, seekMemory, closeMemory,
                                   sizeOfMemory, mapMemory, unmapMemory, options);
    TIFFOpenOptionsFree(options);
    if (!tiff)
        return {{}, file.error.empty() ? "libtiff could not start a file" : file.error};
    const bool hasExifIfd = std::ranges::any_of(exif, [](const ExifTag& t) { return t.ifd == ExifIfd::Exif; });
    const bool written = setIfd0Texts(tiff, exif) && writeTiffPixels(tiff, picture, hasExifIfd);
    TIFFClose(tiff);
    if (!written || !file.error.empty())
        return {{}, file.error.empty() ? "libtiff could not write the picture" : file.error};
    if (hasExifIfd && !appendExifIfd(file.bytes, exif))
        return {{}, "the Exif IFD could not be linked"};
    return {std::move(file.bytes), {}};
}

EncodedImage encodeJpeg(const QImage& source, const std::vector<ExifTag>& exif)
{
    const QImage picture = rgb888(source);
    const std::vector<std::byte> app1 = exif.empty() ? std::vector<std::byte>{} : exifApp1Payload(exif);
    // A JPEG marker segment holds at most 65,533 bytes of data.
    if (app1.size() > 65533)
        return {{}, "the Exif data do not fit a JPEG segment"};
    JpegEncoder e{};
    e.info.err = jpeg_std_error(&e.errors.pub);
    e.errors.pub.error_exit = onJpegError;
    const bool done = compressJpeg(e, picture, app1);
    EncodedImage result;
    if (done && e.out)
        result.bytes.assign(reinterpret_cast<const std::byte*>(e.out), reinterpret_cast<const std::byte*>(e.out) + e.size);
    else
        result.error = e.errors.message[0] ? e.errors.message : "libjpeg could not write the picture";
    if (e.created)
        jpeg_destroy_compress(&e.info);
    std::free(e.out);
    return result;
}

} // namespace qlx::raw
