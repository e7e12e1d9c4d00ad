#include "raw/developed_image_writer.h"

#include "io/file_io.h"
#include "raw/developed_image_encoder.h"

namespace qlx::raw {

namespace fs = std::filesystem;

const char* extensionOf(OutputKind kind)
{
    return kind == OutputKind::Tiff ? ".tiff" : ".jpg";
}

fs::path developedOutputPath(const fs::path& folder, const fs::path& source, OutputKind kind)
{
    std::string name = source.filename().string();
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) // ".name" is a name, not an extension
        name.resize(dot);
    return folder / (name + extensionOf(kind));
}

WriteResult checkOutputPath(const fs::path& source, const fs::path& output, const ReplaceQuestion& replace)
{
    return checkOutputPath(source, output, replace, nullptr);
}

WriteResult checkOutputPath(const fs::path& source, const fs::path& output, const ReplaceQuestion& replace,
                            bool* replaceAgreed)
{
    if (replaceAgreed)
        *replaceAgreed = false;
    std::error_code error;
    if (!fs::exists(fs::symlink_status(output, error)))
        return WriteResult::ok();
    // The same file under another name or spelling: a card's FAT ignores
    // case, so IMG_0001.JPG and IMG_0001.jpg are one file there.
    if (fs::equivalent(source, output, error) && !error)
        return WriteResult::failed("the output is the source file itself");
    if (fs::is_directory(output, error))
        return WriteResult::failed("a folder has the output's name");
    if (!replace || !replace(output))
        return WriteResult::failed("a file of that name exists and was not replaced");
    if (replaceAgreed)
        *replaceAgreed = true;
    return WriteResult::ok();
}

std::optional<std::vector<std::byte>> encodeDevelopedImage(const QImage& picture, OutputKind kind,
                                                           const std::vector<ExifTag>* exif, std::string* error)
{
    if (picture.isNull()) {
        if (error)
            *error = "no picture";
        return std::nullopt;
    }
    static const std::vector<ExifTag> kNoTags;
    const std::vector<ExifTag>& tags = exif ? *exif : kNoTags;
    EncodedImage encoded = kind == OutputKind::Tiff ? encodeTiff(picture, tags) : encodeJpeg(picture, tags);
    if (encoded.bytes.empty()) {
        if (error)
            *error = encoded.error;
        return std::nullopt;
    }
    return std::move(encoded.bytes);
}

WriteResult writeDevelopedImage(const QImage& picture, OutputKind kind, const fs::path& outputPath,
                                const std::vector<ExifTag>* exif)
{
    return writeDevelopedImage(picture, kind, OutputPlace{outputPath, {}, true}, exif);
}

WriteResult writeDevelopedImage(const QImage& picture, OutputKind kind, const OutputPlace& place,
                                const std::vector<ExifTag>* exif)
{
    std::string error;
    const auto bytes = encodeDevelopedImage(picture, kind, exif, &error);
    if (!bytes)
        return WriteResult::failed(error);
    if (!io::writeFileAtomically(place.path, *bytes, io::AtomicWriteOptions{place.replace, place.source}, &error))
        return WriteResult::failed(error);
    return WriteResult::ok();
}

} // namespace qlx::raw
