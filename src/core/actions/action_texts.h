#pragma once
// The texts an action is shown with: its detail in the action list, the
// registration dialog's caption line and help text, the run-time path
// dialog's caption and the question asked before an action's first run.
// The texts themselves are in actions/settings_messages.h.
//
// Thread model: pure functions; any thread.

#include "actions/action_record.h"
#include "actions/target_keys.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace qlx::actions {

// No key or no kind chosen yet in the registration dialog.
inline constexpr std::int32_t kNoChoice = -1;

// `pattern` with each "%s" replaced, in order, by the next of `values`; a
// value that itself holds "%s" is never filled again.
std::u16string fillIn(std::u16string_view pattern, std::initializer_list<std::u16string_view> values);

// The rename setting a kind-10 or kind-11 action stands for, as the list
// and the question show it (describeRename or describeReplaceRename of
// rename_settings.h), with the rule of a run: the fixed copy when the
// action has renameFixed, else the current settings of `current`.
std::u16string renameDescription(const ActionRecord& record, const settings::SettingsRecord& current);

// The list's "対象フォルダ/対象アプリケーション/動作" column.
std::u16string actionDetailText(const ActionRecord& record, const settings::SettingsRecord& current);

// The registration dialog's caption line: "%s を押すと %s" with the kind's
// sentence filled with `path` (kind 1: the function's name), or the request
// for the missing key (kNoChoice) or kind.
std::u16string registrationCaption(std::int32_t key, std::int32_t kind, std::u16string_view path,
                                   std::int32_t function);

// The registration dialog's help text for a kind; for kNoChoice the text
// about actions in general.
std::u16string actionHelpText(std::int32_t kind);

// The run-time path dialog's caption for the record's key and kind.
std::u16string runTimePathCaption(const ActionRecord& record);

// The whole question asked before the record's action runs while its key's
// state is `state` (Unconfirmed or Changed), with the closing note that
// `reaskAfterCancel` chooses.
std::u16string firstUseQuestion(const ActionRecord& record, const settings::SettingsRecord& current, KeyState state,
                                bool reaskAfterCancel);

} // namespace qlx::actions
