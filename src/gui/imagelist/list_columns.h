#pragma once
// The 24 columns of the detailed image list as the settings keep them: the
// title each shows (the user may rename a column), its width, where it
// stands and whether it is shown. Column numbers are the shooting-data item
// numbers (0 file name … 23 Media#).

#include <QString>

#include <array>

class QHeaderView;

namespace qlx::settings {
class SettingsRecord;
}

namespace qlx::gui {

inline constexpr int kListColumnCount = 24;

// The user's title of a column, or its Japanese name when the user's title
// is empty.
QString listColumnTitle(const settings::SettingsRecord& record, int column);

struct ListColumnLayout {
    std::array<int, kListColumnCount> widths{};
    // order[position] is the column shown at that position.
    std::array<int, kListColumnCount> order{};
    std::array<bool, kListColumnCount> visible{};
};

// The layout of the settings. An order that is not each column exactly once
// (a damaged file) becomes 0..23; a width below 1 becomes the column's
// default width.
ListColumnLayout listColumnLayoutOf(const settings::SettingsRecord& record);

// Sizes, moves and hides the sections of a header of 24 sections.
void applyListColumnLayout(QHeaderView& header, const ListColumnLayout& layout);

// Writes the header's widths and order back into the settings (after the
// user dragged a column edge or a column).
void storeListColumnLayout(const QHeaderView& header, settings::SettingsRecord& record);

} // namespace qlx::gui
