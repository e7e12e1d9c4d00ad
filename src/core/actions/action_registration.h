#pragma once
// What the registration dialog and the run-time path dialog check before
// they keep an action, and how the action list's order is kept.
//
// The dialog collects its controls into an ActionDraft; checkDraft runs the
// checks of "登録" in order and stops at the first that fails, with the
// message the dialog shows; storeDraft writes an accepted draft into the
// table. Paths follow actions/action_paths.h: a folder is kept with a "/"
// after its last name.
//
// Thread model: the user-interface thread, which owns the settings record.

#include "actions/action_record.h"
#include "actions/action_texts.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qlx::actions {

// The registration dialog's choices, before they are kept.
struct ActionDraft {
    std::int32_t key = kNoChoice;
    std::int32_t kind = kNoChoice;
    std::int32_t function = kNoChoice; // kind 1; kNoChoice when none is chosen
    std::u16string path;
    std::u16string comment;
    bool sameNameJpeg = false;
    bool transferAsOne = false;
    bool pathAtRunTime = false;
    bool renameFixed = false;

    static ActionDraft of(const ActionRecord& record);
};

// The outcome of a check: accepted, or refused with the message to show.
// A refusal without a message is the user's own "No" (nothing to show).
struct DraftCheck {
    bool accepted = false;
    std::u16string_view message;
};

// The checks of "登録" in order: a key; a key no other record has (enabled
// or not; `editing` is the record being changed, if any); a kind; the
// application or folder; for kind 6 `confirmDelete` (the question whose
// "No" returns to the dialog). On acceptance `draft.path` is as it is kept:
// emptied for kinds without a path, a folder with its trailing "/".
DraftCheck checkDraft(ActionDraft& draft, const ActionTable& table, std::optional<std::size_t> editing,
                      const std::function<bool()>& confirmDelete);

// The run-time path dialog's check of `path` for a kind with a folder: the
// same messages as "登録"; on acceptance `path` is as it is kept.
DraftCheck checkRunTimePath(std::int32_t kind, std::u16string& path);

// Whether `path` names an existing regular file the user may execute.
bool isExecutableFile(std::u16string_view path);

// Writes an accepted draft: into the record at `editing`, or appended as a
// new, enabled record. The position written, or nothing when the table is
// full.
std::optional<std::size_t> storeDraft(ActionTable& table, std::optional<std::size_t> editing,
                                      const ActionDraft& draft);

// Reorders the first order.size() records so that record i becomes the one
// that was at order[i]; nothing happens unless `order` holds each position
// 0 … count − 1 once.
void reorderActions(settings::SettingsRecord& settings, std::span<const std::size_t> order);

} // namespace qlx::actions
