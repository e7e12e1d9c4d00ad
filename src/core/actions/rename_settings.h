#pragma once
// The rename settings: what a pattern rename (kind 10) builds a name from
// and what a replace-rename (kind 11) replaces, read from the settings
// record or from an action's fixed copy; the names the settings page and
// the descriptions show; the three histories of typed texts.
//
// Thread model: plain values and pure functions; the record readers and
// writers on the user-interface thread that owns the settings record.

#include "actions/action_record.h"
#include "shell/settings_record.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qlx::actions {

inline constexpr int kPrefixTypeCount = 6;     // none, text, folder, file name, maker, model
inline constexpr int kPrefixJoinerCount = 3;   // nothing, "-", "_"
inline constexpr int kRenameTypeCount = 25;    // 0 … 24
inline constexpr int kDateJoinerCount = 2;     // "-", "_"
inline constexpr int kRenameTypePrefixOnly = 24;
inline constexpr std::int32_t kMaxStartNumber = 99'999'999;
inline constexpr std::size_t kMaxPrefixTextLength = 31;
inline constexpr std::size_t kMaxReplaceTextLength = 127;

enum PrefixType : std::int32_t {
    kPrefixNone = 0, kPrefixText = 1, kPrefixFolder = 2, kPrefixFileName = 3, kPrefixMaker = 4, kPrefixModel = 5,
};

struct RenameSettings {
    std::int32_t prefixType = kPrefixNone;
    std::u16string prefixText = u"IMG";
    std::int32_t prefixJoiner = 0;
    std::int32_t renameType = 0;
    std::int32_t dateJoiner = 0;
    std::int32_t startNumber = 1;
    std::u16string oldText;
    std::u16string newText;
    friend bool operator==(const RenameSettings&, const RenameSettings&) = default;
};

// The current settings of the record.
RenameSettings renameSettingsOf(const settings::SettingsRecord& record);
// An action's fixed copy (whatever its renameFixed says).
RenameSettings renameSettingsOf(const ActionRecord& action);
// What a run of `action` uses: its fixed copy when it has renameFixed, else
// the current settings.
RenameSettings effectiveRenameSettings(const ActionRecord& action, const settings::SettingsRecord& record);

// Writes the settings back; texts too long for their field are cut.
void storeRenameSettings(settings::SettingsRecord& record, const RenameSettings& settings);
// Writes an action's fixed copy ("設定を登録"); renameFixed is left to the caller.
void storeFixedRenameSettings(std::span<std::byte, ActionRecordLayout::kSize> action, const RenameSettings& settings);

// The joiner characters: prefixJoiner 0 nothing, 1 "-", 2 "_"; dateJoiner
// 0 "-", 1 "_". Values out of range read as the first.
std::u16string_view prefixJoinerText(std::int32_t prefixJoiner);
char16_t dateJoinerCharacter(std::int32_t dateJoiner);

// The combo names.
std::u16string_view prefixTypeName(std::int32_t prefixType);
std::u16string_view prefixJoinerName(std::int32_t prefixJoiner);
std::u16string_view dateJoinerName(std::int32_t dateJoiner);
// The rename type's name in the set of `dateJoiner`; empty out of range.
std::u16string renameTypeName(std::int32_t renameType, std::int32_t dateJoiner);

// "IMG+連番 (3桁)", "フォルダ名_EXIF撮影日時 (YYYY_MM_DD_HH_MM_SS)", …
std::u16string describeRename(const RenameSettings& settings);
// "旧文字列 [ a ] を 新文字列 [ b ] に置換リネーム"
std::u16string describeReplaceRename(const RenameSettings& settings);

// ---- Histories: 32 slots each, newest first --------------------------------
enum class RenameHistory { Prefix, OldText, NewText };
inline constexpr std::size_t kRenameHistoryCount = 32;

std::u16string renameHistorySlot(const settings::SettingsRecord& record, RenameHistory history, std::size_t slot);
void setRenameHistorySlot(settings::SettingsRecord& record, RenameHistory history, std::size_t slot,
                          std::u16string_view text);
// The non-blank slots in order, as the combos list them.
std::vector<std::u16string> renameHistoryList(const settings::SettingsRecord& record, RenameHistory history);
// Keeps `text` as the newest: when it differs from slot 0 the history is
// cleared, `text` goes to slot 0 and `shown` (the combo's list, at most 31
// items) follows, with any item equal to `text` left blank.
void rememberRenameText(settings::SettingsRecord& record, RenameHistory history, std::u16string_view text,
                        std::span<const std::u16string> shown);

} // namespace qlx::actions
