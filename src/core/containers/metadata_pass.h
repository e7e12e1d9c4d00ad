#pragma once
// The metadata pass: the one call that reads a file's metadata. It opens the
// file's bytes, writes the path line, and lets the preview locator recognise
// the container, walk it with the TIFF/Exif reader and add the preview-slot
// lines.
//
// All state of a pass lives in the call: passes over different files may run
// on several threads at once.

#include "io/file_source.h"
#include "metadata/metadata_text.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace qlx::containers {

struct MetadataPassResult {
    // False when the container was not recognised or its walk failed; the
    // text is then not meant for the entry (it gets an empty text).
    bool ok = false;
    // The path line ("path\n", code page 932) and what the walk wrote.
    metadata::MetadataText text;
    // Bytes this pass read from the file.
    std::uint64_t bytesRead = 0;
};

// One pass over `file`, whose path `path` becomes the first line.
MetadataPassResult readMetadata(io::FileSource& file, std::u16string_view path);

} // namespace qlx::containers
