#include "shell/settings_record.h"

#include <algorithm>

namespace qlx::settings {

namespace {

Utf16Field tableText(std::size_t base, std::size_t index, std::size_t count, std::size_t units)
{
    if (index >= count)
        __builtin_trap();
    return {base + index * units * 2, units};
}

} // namespace

SettingsRecord::SettingsRecord() : m_bytes(std::make_unique<std::array<std::byte, kRecordSize>>())
{
    clear();
}

SettingsRecord::SettingsRecord(const SettingsRecord& other)
    : m_bytes(std::make_unique<std::array<std::byte, kRecordSize>>(*other.m_bytes))
{
}

SettingsRecord& SettingsRecord::operator=(const SettingsRecord& other)
{
    if (this != &other)
        *m_bytes = *other.m_bytes;
    return *this;
}

SettingsRecord::~SettingsRecord() = default;

void SettingsRecord::clear()
{
    m_bytes->fill(std::byte{0});
}

std::u16string SettingsRecord::favourite(std::size_t slot) const
{
    return text(tableText(kFavourites, slot, kFavouriteSlots, kFavouriteUnits));
}

bool SettingsRecord::setFavourite(std::size_t slot, std::u16string_view path)
{
    return setText(tableText(kFavourites, slot, kFavouriteSlots, kFavouriteUnits), path);
}

std::u16string SettingsRecord::columnTitle(std::size_t column) const
{
    return text(tableText(kColumnTitles, column, kColumnCount, kColumnTitleUnits));
}

bool SettingsRecord::setColumnTitle(std::size_t column, std::u16string_view title)
{
    return setText(tableText(kColumnTitles, column, kColumnCount, kColumnTitleUnits), title);
}

std::u16string SettingsRecord::searchHistory(SearchHistory history, std::size_t entry) const
{
    const auto h = static_cast<std::size_t>(history);
    if (entry >= kHistoryEntries)
        __builtin_trap();
    return text(tableText(kSearchHistories + h * kHistoryBytes, entry, kHistoryEntries, kHistoryUnits));
}

bool SettingsRecord::setSearchHistory(SearchHistory history, std::size_t entry, std::u16string_view value)
{
    const auto h = static_cast<std::size_t>(history);
    if (h >= static_cast<std::size_t>(SearchHistory::Count))
        __builtin_trap();
    return setText(tableText(kSearchHistories + h * kHistoryBytes, entry, kHistoryEntries, kHistoryUnits), value);
}

std::u16string SettingsRecord::editSlotName(std::size_t slot) const
{
    if (slot >= kEditSlotCount)
        __builtin_trap();
    return text({kEditSlots + slot * kEditSlotSize, kEditSlotNameUnits});
}

bool SettingsRecord::setEditSlotName(std::size_t slot, std::u16string_view name)
{
    if (slot >= kEditSlotCount)
        __builtin_trap();
    return setText({kEditSlots + slot * kEditSlotSize, kEditSlotNameUnits}, name);
}

std::span<std::byte> SettingsRecord::action(std::size_t slot)
{
    if (slot >= kActionSlots)
        __builtin_trap();
    return bytes().subspan(kActionTable + slot * kActionSize, kActionSize);
}

std::span<const std::byte> SettingsRecord::action(std::size_t slot) const
{
    if (slot >= kActionSlots)
        __builtin_trap();
    return bytes().subspan(kActionTable + slot * kActionSize, kActionSize);
}

} // namespace qlx::settings
