#include "imagelist/row_colours.h"

#include "imagelist/file_history.h"
#include "shell/settings_record.h"

#include <array>

namespace qlx::gui {

namespace {

constexpr int kNoClass = -1;

// Colour class of each action kind 0..14: copy, move, delete and trash,
// RAW development (TIFF), RAW development (JPG), thumbnail save, rename,
// lossless rotation. The undo, function, hand-over, distribute-move and
// merge kinds have none.
constexpr std::array<int, 15> kColourClassOfKind{
    kNoClass, kNoClass, kNoClass, 0, 1, 2, 2, 3, 4, 5, 6, 6, 7, kNoClass, kNoClass};

// Kinds that take the file away from its place by design: a gone file is
// then no error.
constexpr std::array<std::int8_t, 5> kRemovingKinds{4, 5, 6, 13, 14};

// Used while a colour reads 0 (never set): pale tints that keep the
// list's text readable.
constexpr std::array<std::uint32_t, 8> kDefaultClassColours{
    0x00FFE6C8, // copy: pale blue
    0x00D2FFD2, // move: pale green
    0x00DCDCDC, // delete and trash: light grey
    0x00C8F0FF, // RAW development (TIFF): pale yellow
    0x00BEE1FF, // RAW development (JPG): pale orange
    0x00FFFFE1, // thumbnail save: pale cyan
    0x00FFD7EB, // rename: pale violet
    0x00EBD7FF, // lossless rotation: pale pink
};
constexpr std::uint32_t kDefaultErrorColour = 0x00AAAAFF; // light red

int colourClassOf(std::int8_t kind)
{
    if (kind < 0 || static_cast<std::size_t>(kind) >= kColourClassOfKind.size())
        return kNoClass;
    return kColourClassOfKind[static_cast<std::size_t>(kind)];
}

bool removesTheFile(std::int8_t kind)
{
    for (const std::int8_t removing : kRemovingKinds)
        if (kind == removing)
            return true;
    return false;
}

QColor errorColour(const settings::SettingsRecord& record)
{
    const std::uint32_t stored = record.get(settings::kErrorRowColour);
    return colourOfSetting(stored != 0 ? stored : kDefaultErrorColour);
}

} // namespace

QColor classColour(const settings::SettingsRecord& record, int colourClass)
{
    const auto at = static_cast<std::size_t>(colourClass);
    const auto stored = static_cast<std::uint32_t>(record.get(settings::kActionRowColours, at));
    return colourOfSetting(stored != 0 ? stored : kDefaultClassColours[at]);
}

QColor mediumColour(const settings::SettingsRecord& record, std::int32_t medium)
{
    // Alternating tints so that where one medium ends is seen at a glance.
    constexpr std::uint32_t kEvenMedium = 0x00F0E0C0; // pale blue
    constexpr std::uint32_t kOddMedium = 0x00C0F0F0;  // pale yellow
    if (medium < 0)
        return errorColour(record);
    return colourOfSetting(medium % 2 == 0 ? kEvenMedium : kOddMedium);
}

QColor colourOfSetting(std::uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

std::optional<QColor> rowBackground(const imagelist::ListItem& item, const settings::SettingsRecord& record)
{
    if (!item.entry)
        return std::nullopt;
    const bool gone = !item.entry->isPresent();
    const std::optional<std::int8_t> kind = imagelist::currentHistoryKind(item);
    if (!kind)
        return gone ? std::optional<QColor>(errorColour(record)) : std::nullopt;
    const int colourClass = colourClassOf(*kind);
    if (colourClass != kNoClass && record.get(settings::kActionColourClassOn, static_cast<std::size_t>(colourClass)) == 1)
        return classColour(record, colourClass);
    if (gone && !removesTheFile(*kind))
        return errorColour(record);
    return std::nullopt;
}

} // namespace qlx::gui
