#pragma once
// `qlx info FILE...`: what the program reads from each file: the metadata
// text as the pass built it, the shooting-data record filled from it, and
// the chosen previews, orientation and camera.
//
// Also the pieces `qlx preview` and `qlx bench metadata` share with it: the
// tables beside the program and one file's read, as the list-information
// thread does it (pass, preview choice, record).

#include "imagelist/image_entry.h"
#include "metadata/camera_table.h"
#include "metadata/lens_tables.h"
#include "containers/metadata_pass.h"

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace qlx::cli {

// The folder of the running program (its tables sit in "bin" beside it).
std::filesystem::path programFolder();
// UTF-8 file-system text and UTF-16 record text.
std::u16string utf16Of(const std::filesystem::path& path);
std::string utf8Of(std::u16string_view text);

// The camera and lens tables of the "bin" folder beside the qlx program.
// `loaded` is false (and the tables empty) when they cannot be read. The
// lens tables are needed only to fill the shooting-data record.
struct MetadataTables {
    metadata::CameraTable cameras;
    metadata::LensTables lenses;
    bool loaded = false;
};
enum class LensTablesWanted { No, Yes };
MetadataTables loadTablesBesideProgram(LensTablesWanted lenses);

struct FileRead {
    bool opened = false;
    containers::MetadataPassResult pass;
    // The entry as the list would hold it after the read; never null when
    // the file was opened.
    std::unique_ptr<imagelist::ImageEntry> entry;
};

// Reads one file: the pass, the preview choice and, with `fillRecord`, the
// shooting-data record. The kind comes from the file name as the list
// classifies it (0 when the list would leave the file out).
FileRead readFile(const std::filesystem::path& path, const MetadataTables& tables, bool fillRecord);

// `args` are the arguments after "info". Returns 0 when every file could be
// opened, 2 otherwise (and after a usage line when no file is named).
int runInfoCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace qlx::cli
