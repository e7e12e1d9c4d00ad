#include "raw/raw_engine.h"

#include "io/system_memory.h"
#include "raw/development_gate.h"

#include <libraw/libraw.h>

#include <algorithm>
#include <cstring>
#include <memory>

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
// raw data, the working image, and the output twice (LibRaw's and ours).
std::uint64_t bytesNeeded(const libraw_data_t& data, DevelopMode mode)
{
    const auto& sizes = data.sizes;
    const std::uint64_t rawPixels = std::uint64_t{sizes.raw_width} * sizes.raw_height;
    const unsigned shift = halfSize(mode) ? 1 : 0;
    const std::uint64_t pixels = (std::uint64_t{sizes.width} >> shift) * (std::uint64_t{sizes.height} >> shift);
    return rawPixels * 2 + pixels * 8 + pixels * 3 * 2;
}

// Every target pixel the rounded mean of the 4 × 4 block it stands for (or
// of what of it lies inside the picture, at the right and bottom edges).
QImage reduceByFour(const QImage& source)
{
    const int width = (source.width() + 3) / 4;
    const int height = (source.height() + 3) / 4;
    QImage target(width, height, QImage::Format_RGB888);
    if (target.isNull())
        return target;
    for (int y = 0; y < height; ++y) {
        const int top = y * 4;
        const int bottom = std::min(top + 4, source.height());
        std::uint8_t* out = target.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const int left = x * 4;
            const int right = std::min(left + 4, source.width());
            unsigned sum[3] = {0, 0, 0};
            for (int row = top; row < bottom; ++row) {
                const std::uint8_t* in = source.constScanLine(row) + left * 3;
                for (int column = left; column < right; ++column, in += 3) {
                    sum[0] += in[0];
                    sum[1] += in[1];
                    sum[2] += in[2];
                }
            }
            const unsigned count = static_cast<unsigned>((bottom - top) * (right - left));
            for (int channel = 0; channel < 3; ++channel)
                out[x * 3 + channel] = static_cast<std::uint8_t>((sum[channel] + count / 2) / count);
        }
    }
    return target;
}

// LibRaw's 8-bit bitmap (three samples, or one for monochrome cameras) as
// an RGB picture.
QImage pictureOf(const libraw_processed_image_t& image)
{
    QImage picture(image.width, image.height, QImage::Format_RGB888);
    if (picture.isNull())
        return picture;
    const std::size_t rowBytes = std::size_t{image.width} * image.colors;
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* in = image.data + rowBytes * static_cast<std::size_t>(y);
        std::uint8_t* out = picture.scanLine(y);
        if (image.colors == 3) {
            std::memcpy(out, in, rowBytes);
        } else {
            for (int x = 0; x < image.width; ++x)
                out[x * 3] = out[x * 3 + 1] = out[x * 3 + 2] = in[x * image.colors];
        }
    }
    return picture;
}

Development developWith(LibRaw& processor, const std::filesystem::path& path, const DevelopOptions& options)
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
    int code = LIBRAW_SUCCESS;
    const std::unique_ptr<libraw_processed_image_t, void (*)(libraw_processed_image_t*)> image(
        processor.dcraw_make_mem_image(&code), LibRaw::dcraw_clear_mem);
    if (!image)
        return failedWith(code == LIBRAW_SUCCESS ? LIBRAW_UNSPECIFIED_ERROR : code, cancel);
    if (image->type != LIBRAW_IMAGE_BITMAP || image->bits != 8 || (image->colors != 3 && image->colors != 1))
        return failed(DevelopFailure::DecodeFailed, "unexpected output layout");
    processor.recycle(); // the raw data go before the picture is copied
    if (cancel && cancel->requested())
        return failed(DevelopFailure::Cancelled, "cancelled");

    Development result;
    result.picture = pictureOf(*image);
    if (!result.picture.isNull() && options.mode == DevelopMode::ListThumbnail)
        result.picture = reduceByFour(result.picture);
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
    std::unique_ptr<LibRaw> processor;
    try {
        processor = std::make_unique<LibRaw>(LIBRAW_OPTIONS_NONE);
    } catch (const std::bad_alloc&) {
        return failed(DevelopFailure::OutOfMemory, "no memory for the engine");
    }
    return developWith(*processor, path, options);
}

} // namespace qlx::raw
