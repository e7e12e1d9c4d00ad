#pragma once
// Texts made from an entry's shooting data for the view and the list: the
// view's one-glance information overlay, the list item's tooltip, and the
// date texts of a file.

#include "imagelist/image_entry.h"

#include <filesystem>
#include <optional>
#include <string>

namespace qlx::metadata {

// Three lines for the main view:
//   "File : <name>  <size> Pixel  Date : <date>"
//   "<model>  <shutter>(sec)  <f-number>  <program>  ISO<iso>  Ev<bias>  <focal>  Flash : <flash>"
//   "Lens : <lens>"
// Each label goes with its value and is left out when the value is empty;
// the blanks between the groups stay.
std::u16string overlayInfoText(const imagelist::ImageEntry& entry);

// One value per line for a list item's tooltip (file name, size, date,
// model, shutter speed, f-number, program, ISO, bias, focal length, lens,
// flash), labelled like the overlay but without "(sec)" and "Lens : ", and
// with no newlines left at the end.
std::u16string tooltipInfoText(const imagelist::ImageEntry& entry);

enum class FileDate { LastAccess, LastWrite, Creation };

// "%04d/%02d/%02d %02d:%02d:%02d" of one of a file's times in local time;
// nothing when the file's status cannot be read. Creation is the file's
// birth time where the file system records one (statx), else the time of
// its last status change, the closest time Linux keeps for every file.
std::optional<std::u16string> fileDateText(const std::filesystem::path& path, FileDate which);

} // namespace qlx::metadata
