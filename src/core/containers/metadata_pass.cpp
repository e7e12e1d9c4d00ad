#include "containers/metadata_pass.h"

#include "containers/preview_locator.h"

#include <QString>

namespace qlx::containers {

using metadata::utf16ToCp932;

MetadataPassResult readMetadata(io::FileSource& file, std::u16string_view path)
{
    MetadataPassResult result;
    const std::uint64_t before = file.bytesRead();
    // The text's capacity cuts a path line that would not fit.
    result.text.append(utf16ToCp932(path));
    result.text.append("\n");
    result.ok = containers::locatePreviews(file, result.text);
    result.bytesRead = file.bytesRead() - before;
    return result;
}

MetadataPassResult readMetadata(const std::filesystem::path& path)
{
    const QString text = QString::fromUtf8(path.native().data(), static_cast<qsizetype>(path.native().size()));
    io::PosixFileSource file(path);
    if (!file.isOpen()) {
        MetadataPassResult result;
        result.text.append(utf16ToCp932(text.toStdU16String()));
        result.text.append("\n");
        return result;
    }
    return readMetadata(file, text.toStdU16String());
}

} // namespace qlx::containers
