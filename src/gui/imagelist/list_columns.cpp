#include "imagelist/list_columns.h"

#include "shell/qt_text.h"
#include "shell/settings_defaults.h"
#include "shell/settings_record.h"

#include <QHeaderView>

namespace qlx::gui {

namespace {

constexpr auto kColumns = static_cast<std::size_t>(kListColumnCount);
static_assert(settings::kColumnCount == kColumns);

bool isPermutation(const std::array<int, kListColumnCount>& order)
{
    std::array<bool, kListColumnCount> seen{};
    for (const int column : order) {
        if (column < 0 || column >= kListColumnCount || seen[static_cast<std::size_t>(column)])
            return false;
        seen[static_cast<std::size_t>(column)] = true;
    }
    return true;
}

} // namespace

QString listColumnTitle(const settings::SettingsRecord& record, int column)
{
    if (column < 0 || column >= kListColumnCount)
        return {};
    const auto at = static_cast<std::size_t>(column);
    const std::u16string title = record.columnTitle(at);
    return toQString(title.empty() ? settings::kDefaultColumnTitles[at] : std::u16string_view(title));
}

ListColumnLayout listColumnLayoutOf(const settings::SettingsRecord& record)
{
    ListColumnLayout layout;
    for (std::size_t column = 0; column < kColumns; ++column) {
        const std::int32_t width = record.get(settings::kColumnWidths, column);
        layout.widths[column] = width > 0 ? width : settings::kDefaultColumnWidths[column];
        layout.order[column] = record.get(settings::kColumnOrder, column);
        layout.visible[column] = record.get(settings::kColumnVisible, column) != 0;
    }
    if (!isPermutation(layout.order))
        for (std::size_t position = 0; position < kColumns; ++position)
            layout.order[position] = static_cast<int>(position);
    return layout;
}

void applyListColumnLayout(QHeaderView& header, const ListColumnLayout& layout)
{
    if (header.count() != kListColumnCount)
        return;
    for (int position = 0; position < kListColumnCount; ++position) {
        const int column = layout.order[static_cast<std::size_t>(position)];
        header.moveSection(header.visualIndex(column), position);
    }
    for (std::size_t column = 0; column < kColumns; ++column) {
        const int logical = static_cast<int>(column);
        header.resizeSection(logical, layout.widths[column]);
        header.setSectionHidden(logical, !layout.visible[column]);
    }
}

void storeListColumnLayout(const QHeaderView& header, settings::SettingsRecord& record)
{
    if (header.count() != kListColumnCount)
        return;
    for (std::size_t at = 0; at < kColumns; ++at) {
        const int index = static_cast<int>(at);
        record.set(settings::kColumnOrder, at, static_cast<std::int32_t>(header.logicalIndex(index)));
        // A hidden column reads as 0 wide; it keeps the width it will
        // come back with.
        if (!header.isSectionHidden(index))
            record.set(settings::kColumnWidths, at, static_cast<std::int32_t>(header.sectionSize(index)));
    }
}

} // namespace qlx::gui
