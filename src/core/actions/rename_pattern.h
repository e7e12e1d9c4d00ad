#pragma once
// Building the new name of a pattern rename (kind 10) from its parts: the
// prefix, the number of a numbering run, the date text of a date type with
// its transform and cut, and the collision numbers after the date joiner.
//
// Thread model: pure functions (the creation time reads the file system).

#include "actions/rename_settings.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qlx::actions {

// Where a date type takes its date from.
enum class DateSource { None, Exif, Creation, Modification };
DateSource dateSourceOf(std::int32_t renameType);
bool isNumberType(std::int32_t renameType); // 0, 1, 2

// The characters removed from a maker or model used as prefix.
inline constexpr std::u16string_view kRemovedFromCameraNames = u"\\/:*?<>|\"";

// What the prefix is made from besides the settings.
struct PrefixSources {
    std::u16string_view folderName;   // the last part of the file's folder
    std::u16string_view originalStem; // the original name without its extension
    std::u16string_view maker;        // shooting-data item Maker
    std::u16string_view model;        // shooting-data item Model
};

// The prefix with its joiner appended when it is not empty.
std::u16string renamePrefix(const RenameSettings& settings, const PrefixSources& sources);

// The name of a number type (0, 1, 2) or of type 24 for `counter`:
// "IMG_0007.jpg"; for type 24 the prefix alone while the counter is at its
// start value, else prefix, date joiner and counter ("X-2.jpg").
std::u16string numberedName(const RenameSettings& settings, std::u16string_view prefix, std::int32_t counter,
                            std::u16string_view extension);

// The date body of a date type (3 … 23) from a "YYYY/MM/DD HH:MM:SS" text:
// transformed and cut. Nothing when the text is not 19 characters.
std::optional<std::u16string> dateBody(std::int32_t renameType, std::u16string_view dateText, char16_t joiner);

// base + extension for k = 0, else base, joiner, k, extension.
std::u16string collisionName(std::u16string_view base, char16_t joiner, int k, std::u16string_view extension);

// The file's creation (birth) time as "YYYY/MM/DD HH:MM:SS" in local time;
// empty when the file system keeps none (the caller then takes the
// modification time, as for a missing Exif date).
std::u16string creationTimeText(const std::filesystem::path& file);

// A name split at its last ".": the extension keeps its dot; empty when the
// name has none.
struct NameParts {
    std::u16string_view stem;
    std::u16string_view extension;
};
NameParts splitName(std::u16string_view name);

} // namespace qlx::actions
