#pragma once
// Where a developed picture goes and how it gets there: the output name
// beside the destination folder, the checks that keep the source and other
// files safe, and the write itself (through a temporary name, renamed into
// place).
//
// Thread model: any thread; the replace question is the caller's to route
// to the thread that may ask it.

#include "raw/exif_builder.h"

#include <QImage>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qlx::raw {

// The two development actions, by their action kind numbers.
enum class OutputKind : int { Tiff = 7, Jpeg = 8 };

// ".tiff" or ".jpg".
const char* extensionOf(OutputKind kind);

// `folder` / the source's file name with the extension of the name (never
// of a folder) replaced: IMG_0001.CR2 → IMG_0001.jpg; a name without "."
// gets the extension appended.
std::filesystem::path developedOutputPath(const std::filesystem::path& folder, const std::filesystem::path& source,
                                          OutputKind kind);

struct WriteResult {
    bool done = false;
    std::string reason; // why not, in English for logs and `qlx develop`

    static WriteResult ok() { return {true, {}}; }
    static WriteResult failed(std::string why) { return {false, std::move(why)}; }
};

// Asked with the output path when another file already has that name:
// true replaces it.
using ReplaceQuestion = std::function<bool(const std::filesystem::path& existing)>;

// Whether `output` may be written for `source`: never when it is the source
// itself (also under another spelling on a file system that ignores case),
// and over another existing file only when `replace` says yes (no question,
// no replacing).
WriteResult checkOutputPath(const std::filesystem::path& source, const std::filesystem::path& output,
                            const ReplaceQuestion& replace);
// The same, saying in `replaceAgreed` whether the output may replace a file
// already there (the answer was yes).
WriteResult checkOutputPath(const std::filesystem::path& source, const std::filesystem::path& output,
                            const ReplaceQuestion& replace, bool* replaceAgreed);

// Where a developed picture goes, with what checkOutputPath allowed: a file
// under the name is replaced only when `replace` says so (one that appears
// while the picture develops is not), and never when it is `source`.
struct OutputPlace {
    std::filesystem::path path;
    std::filesystem::path source;
    bool replace = false;
};

// Encodes `picture` (8-bit RGB, upright) as `kind` with the Exif tags given
// (none when null) and writes it to `outputPath` through a temporary file.
WriteResult writeDevelopedImage(const QImage& picture, OutputKind kind, const std::filesystem::path& outputPath,
                                const std::vector<ExifTag>* exif = nullptr);

// writeDevelopedImage into a checked place.
WriteResult writeDevelopedImage(const QImage& picture, OutputKind kind, const OutputPlace& place,
                                const std::vector<ExifTag>* exif = nullptr);

// The encoded bytes alone, for writers that cannot rename (a device).
std::optional<std::vector<std::byte>> encodeDevelopedImage(const QImage& picture, OutputKind kind,
                                                           const std::vector<ExifTag>* exif, std::string* error);

} // namespace qlx::raw
