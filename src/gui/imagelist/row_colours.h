#pragma once
// The background of a row of the image list, from the entry's file history
// and presence.
//
// An entry whose current history record is an action of a colour class that
// is switched on shows that class's colour. Otherwise an entry whose file is
// gone shows the error colour, unless its current record is the action that
// took the file away on purpose (move, recycle, delete, distribute-move,
// folder merge). Every other row keeps the list's own background.

#include "imagelist/image_list.h"

#include <QColor>

#include <cstdint>
#include <optional>

namespace qlx::settings {
class SettingsRecord;
}

namespace qlx::gui {

std::optional<QColor> rowBackground(const imagelist::ListItem& item, const settings::SettingsRecord& record);

// The colour of an action colour class 0 … 7 (copy … lossless rotation),
// the list's default tint while the setting was never set.
QColor classColour(const settings::SettingsRecord& record, int colourClass);

// The Media# cell of a file on medium `medium` (not 0): one tint for even
// media, another for odd ones, the error colour for a file larger than a
// medium (negative).
QColor mediumColour(const settings::SettingsRecord& record, std::int32_t medium);

// The colour of a 0x00BBGGRR settings value.
QColor colourOfSetting(std::uint32_t bgr);

} // namespace qlx::gui
