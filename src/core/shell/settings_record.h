#pragma once
// The settings record in memory: 375,096 bytes on the heap, read and written
// field by field through the offsets of settings_layout.h.

#include "shell/settings_layout.h"

#include <array>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace qlx::settings {

class SettingsRecord {
public:
    SettingsRecord();
    SettingsRecord(const SettingsRecord& other);
    SettingsRecord& operator=(const SettingsRecord& other);
    SettingsRecord(SettingsRecord&&) noexcept = default;
    SettingsRecord& operator=(SettingsRecord&&) noexcept = default;
    ~SettingsRecord();

    std::span<std::byte> bytes() { return *m_bytes; }
    std::span<const std::byte> bytes() const { return *m_bytes; }
    void clear();

    template <typename T>
    T get(ScalarField<T> field) const { return io::loadLe<T>(bytes(), field.offset); }
    template <typename T>
    void set(ScalarField<T> field, T value) { io::storeLe<T>(bytes(), field.offset, value); }
    template <typename T>
    T get(ArrayField<T> field, std::size_t i) const { return get(checkedAt(field, i)); }
    template <typename T>
    void set(ArrayField<T> field, std::size_t i, T value) { set(checkedAt(field, i), value); }

    std::u16string text(Utf16Field field) const { return io::loadUtf16(bytes(), field); }
    // False (field unchanged) when the text does not fit with its terminator.
    bool setText(Utf16Field field, std::u16string_view text) { return io::storeUtf16(bytes(), field, text); }

    // Indexed text tables of the record.
    std::u16string favourite(std::size_t slot) const;
    bool setFavourite(std::size_t slot, std::u16string_view path);
    std::u16string columnTitle(std::size_t column) const;
    bool setColumnTitle(std::size_t column, std::u16string_view title);
    std::u16string searchHistory(SearchHistory history, std::size_t entry) const;
    bool setSearchHistory(SearchHistory history, std::size_t entry, std::u16string_view text);
    std::u16string editSlotName(std::size_t slot) const;
    bool setEditSlotName(std::size_t slot, std::u16string_view name);

    // One action record (1,648 bytes) of the current table.
    std::span<std::byte> action(std::size_t slot);
    std::span<const std::byte> action(std::size_t slot) const;

private:
    template <typename T>
    static ScalarField<T> checkedAt(ArrayField<T> field, std::size_t i)
    {
        if (i >= field.count)
            __builtin_trap();
        return field.at(i);
    }

    std::unique_ptr<std::array<std::byte, kRecordSize>> m_bytes;
};

} // namespace qlx::settings
