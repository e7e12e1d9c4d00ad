#include "raw/raw_engine.h"

#include "io/system_memory.h"
#include "raw/development_gate.h"
#include "raw/libraw_processor.h"
#include "raw/row_bands.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
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
QImage fullPicture(const LibRawProcessor& processor, const CancelFlag* cancel)
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
QImage reducedPicture(const LibRawProcessor& processor, const CancelFlag* cancel)
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

Development developWith(LibRawProcessor& processor, const std::filesystem::path& path, const DevelopOptions& options)
{
    const CancelFlag* cancel = options.cancel;
    setOptions(processor.imgdata.params, options.mode);
    processor.set_progress_handler(askToGoOn, const_cast<CancelFlag*>(cancel));
    const ActiveDevelopment active(cancel, processor);

    if (const int code = processor.open_file(path.c_str()); code != LIBRAW_SUCCESS)
        return failedWith(code, cancel);

    // The reserve, when there is one, keeps its bytes free and is raised
    // when the development does not fit; without one it must fit in what is
    // free.
    const std::uint64_t needed = bytesNeeded(processor.imgdata, options.mode);
    const auto available = options.reserve ? std::nullopt : io::availableMemoryBytes();
    if ((options.reserve && !options.reserve->affords(needed)) || (available && needed > *available))
        return failed(DevelopFailure::OutOfMemory, "needs " + std::to_string(needed >> 20) + " MiB");

    if (const int code = processor.unpack(); code != LIBRAW_SUCCESS)
        return failedWith(code, cancel);
    // The list thumbnail of ordinary colour-filter data comes straight from
    // the sensor data at one eighth; other layouts go through the half size.
    const bool binned = options.mode == DevelopMode::ListThumbnail && processor.binEighths();
    // Processing shrinks the sizes to the picture's in the half-size modes.
    const QSize fullSize(processor.imgdata.sizes.width, processor.imgdata.sizes.height);
    if (const int code = processor.dcraw_process(); code != LIBRAW_SUCCESS)
        return failedWith(code, cancel);
    if (processor.imgdata.sizes.flip != 0 || processor.imgdata.params.output_bps != 8
        || (processor.imgdata.idata.colors != 3 && processor.imgdata.idata.colors != 1))
        return failed(DevelopFailure::DecodeFailed, "unexpected output layout");
    processor.releaseRawData();
    processor.prepareOutputCurve();

    Development result;
    result.picture = options.mode == DevelopMode::ListThumbnail && !binned ? reducedPicture(processor, cancel)
                                                                           : fullPicture(processor, cancel);
    if (cancel && cancel->requested())
        return failed(DevelopFailure::Cancelled, "cancelled");
    if (result.picture.isNull()) {
        if (options.reserve)
            options.reserve->raiseAfterFailure();
        return failed(DevelopFailure::OutOfMemory, "no memory for the picture");
    }
    result.fullSize = fullSize;
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
    std::unique_ptr<LibRawProcessor> processor;
    try {
        processor = std::make_unique<LibRawProcessor>(options.cancel);
    } catch (const std::bad_alloc&) {
        return failed(DevelopFailure::OutOfMemory, "no memory for the engine");
    }
    Development result = developWith(*processor, path, options);
    if (!result.cancelled() && !processor->dataError().empty())
        result.reason += (result.reason.empty() ? "" : ": ") + processor->dataError();
    return result;
}

} // namespace qlx::raw
