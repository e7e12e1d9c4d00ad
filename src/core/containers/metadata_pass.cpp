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

} // namespace qlx::containers
