#pragma once
// One registered action as the settings file keeps it: a 1,648-byte record
// in the table of 39 at the settings record's action area, and the count
// of records in use. The record lies in the settings file as it lies in
// memory, so its layout is part of that file's format: every field is read
// and written at its fixed offset, little-endian, through the byte helpers.
//
// Thread model: the user-interface thread, which owns the settings record.

#include "actions/target_keys.h"
#include "io/record_bytes.h"
#include "shell/settings_record.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qlx::actions {

// The field offsets within one record.
struct ActionRecordLayout {
    static constexpr std::size_t kSize = 1648;
    static constexpr io::ScalarField<std::uint8_t> kEnabled{0};
    static constexpr io::ScalarField<std::uint8_t> kSameNameJpeg{1};
    static constexpr io::ScalarField<std::uint8_t> kTransferAsOne{2};
    static constexpr io::ScalarField<std::uint8_t> kPathAtRunTime{3};
    static constexpr io::ScalarField<std::int32_t> kKey{4};
    static constexpr io::ScalarField<std::int32_t> kKind{8};
    static constexpr io::ScalarField<std::int32_t> kFunction{12};
    static constexpr io::Utf16Field kPath{16, 260};
    static constexpr io::Utf16Field kComment{536, 256};
    static constexpr io::ScalarField<std::uint8_t> kRenameFixed{1048};
    static constexpr io::ScalarField<std::int32_t> kPrefixType{1052};
    static constexpr io::ScalarField<std::int32_t> kRenameType{1056};
    static constexpr io::Utf16Field kPrefixText{1060, 32};
    static constexpr io::ScalarField<std::int32_t> kDateJoiner{1124};
    static constexpr io::ScalarField<std::int32_t> kPrefixJoiner{1128};
    static constexpr io::ScalarField<std::int32_t> kStartNumber{1132};
    static constexpr io::Utf16Field kOldText{1136, 128};
    static constexpr io::Utf16Field kNewText{1392, 128};
};
static_assert(ActionRecordLayout::kPath.offset + ActionRecordLayout::kPath.size() == ActionRecordLayout::kComment.offset);
static_assert(ActionRecordLayout::kComment.offset + ActionRecordLayout::kComment.size() == 1048);
static_assert(ActionRecordLayout::kNewText.offset + ActionRecordLayout::kNewText.size() == ActionRecordLayout::kSize);
static_assert(ActionRecordLayout::kSize == settings::kActionSize);

// A view of one record's bytes. Texts longer than their field are refused
// (the setter answers false and leaves the field as it was).
class ActionRecord {
public:
    static constexpr std::size_t kMaxCommentLength = 255;

    explicit ActionRecord(std::span<std::byte, ActionRecordLayout::kSize> bytes) : m_bytes(bytes) {}

    bool enabled() const { return get(ActionRecordLayout::kEnabled) != 0; }
    void setEnabled(bool on) { set(ActionRecordLayout::kEnabled, std::uint8_t{on}); }
    bool sameNameJpeg() const { return get(ActionRecordLayout::kSameNameJpeg) != 0; }
    void setSameNameJpeg(bool on) { set(ActionRecordLayout::kSameNameJpeg, std::uint8_t{on}); }
    bool transferAsOne() const { return get(ActionRecordLayout::kTransferAsOne) != 0; }
    void setTransferAsOne(bool on) { set(ActionRecordLayout::kTransferAsOne, std::uint8_t{on}); }
    bool pathAtRunTime() const { return get(ActionRecordLayout::kPathAtRunTime) != 0; }
    void setPathAtRunTime(bool on) { set(ActionRecordLayout::kPathAtRunTime, std::uint8_t{on}); }
    std::int32_t key() const { return get(ActionRecordLayout::kKey); }
    void setKey(std::int32_t key) { set(ActionRecordLayout::kKey, key); }
    std::int32_t kind() const { return get(ActionRecordLayout::kKind); }
    void setKind(std::int32_t kind) { set(ActionRecordLayout::kKind, kind); }
    std::int32_t function() const { return get(ActionRecordLayout::kFunction); }
    void setFunction(std::int32_t function) { set(ActionRecordLayout::kFunction, function); }
    std::u16string path() const { return io::loadUtf16(m_bytes, ActionRecordLayout::kPath); }
    bool setPath(std::u16string_view path) { return io::storeUtf16(m_bytes, ActionRecordLayout::kPath, path); }
    std::u16string comment() const { return io::loadUtf16(m_bytes, ActionRecordLayout::kComment); }
    bool setComment(std::u16string_view comment) { return io::storeUtf16(m_bytes, ActionRecordLayout::kComment, comment); }
    bool renameFixed() const { return get(ActionRecordLayout::kRenameFixed) != 0; }
    void setRenameFixed(bool on) { set(ActionRecordLayout::kRenameFixed, std::uint8_t{on}); }

    std::span<const std::byte, ActionRecordLayout::kSize> bytes() const { return m_bytes; }

private:
    template <typename T>
    T get(io::ScalarField<T> field) const { return io::loadLe<T>(m_bytes, field.offset); }
    template <typename T>
    void set(io::ScalarField<T> field, T value) { io::storeLe<T>(m_bytes, field.offset, value); }

    std::span<std::byte, ActionRecordLayout::kSize> m_bytes;
};

// The actions of a settings record: records 0 … count − 1, in the order
// they are listed and scanned.
class ActionTable {
public:
    explicit ActionTable(settings::SettingsRecord& settings) : m_settings(settings) {}

    // The count as stored, kept within 0 … 39 (a damaged file may hold any).
    std::size_t count() const;
    ActionRecord at(std::size_t position);
    // A new zeroed, enabled record at the end; nothing when the table is full.
    std::optional<ActionRecord> append();
    // Removes the record at `position`, moving the ones after it up.
    void remove(std::size_t position);
    // The position of the record bound to `key`, if any (enabled or not).
    std::optional<std::size_t> findKey(std::int32_t key) const;
    // The key of the record at `position` (read without a view).
    std::int32_t keyAt(std::size_t position) const;

private:
    std::span<std::byte, ActionRecordLayout::kSize> slot(std::size_t position) const;

    settings::SettingsRecord& m_settings;
};

// The key states at start: every key an action is bound to (enabled or
// not) is unconfirmed, every other key confirmed.
std::array<KeyState, kTargetKeyCount> initialKeyStates(const ActionTable& table);

} // namespace qlx::actions
