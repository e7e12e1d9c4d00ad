#pragma once
// The file history of an entry as the folder reader and the folder watcher
// touch it: records of 522 bytes (an action kind byte, a spare byte, then a
// path of 260 UTF-16 units), the entry's history count and position.
//
// Every file operation that succeeds pushes a record (what undo needs to
// take it back); the folder reader and the watcher read the newest record's
// kind and retract a record.

#include "imagelist/image_list.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace qlx::imagelist {

inline constexpr std::size_t kHistoryRecordSize = 522;
inline constexpr std::size_t kHistoryKindOffset = 0;
inline constexpr std::size_t kHistoryTextOffset = 2;
inline constexpr std::size_t kHistoryTextUnits = 260;
static_assert(kHistoryTextOffset + kHistoryTextUnits * 2 == kHistoryRecordSize);

// Action kinds a history record can hold.
inline constexpr std::int8_t kHistoryMove = 4;
inline constexpr std::int8_t kHistoryRecycle = 5;
inline constexpr std::int8_t kHistoryDelete = 6;
inline constexpr std::int8_t kHistoryTransfer = 13;

// The kind of the record at the entry's history position; nullopt when the
// position does not name a record the item holds.
std::optional<std::int8_t> currentHistoryKind(const ListItem& item);

// When the current record's kind is one of `kinds`: marks it undone (kind
// 0) and steps the position back by one. True when it did.
bool retractCurrentHistory(ListItem& item, std::initializer_list<std::int8_t> kinds);

// The text of the record at the history position, up to its first NUL
// unit; empty when the position names no record.
std::u16string currentHistoryText(const ListItem& item);
// The first `count` units of that text as stored, NULs included (the
// rotation record keeps numbers, 0 among them); empty when there is none.
std::u16string currentHistoryUnits(const ListItem& item, std::size_t count);

// Pushes a record after the entry's history position: records above it
// (already undone) are dropped, the new one becomes the newest. `text` is
// cut to the record's 259 units (paths longer than that are never listed).
void pushHistory(ListItem& item, std::int8_t kind, std::u16string_view text);

// The record of a lossless rotation keeps three 16-bit values instead of a
// path: the previous orientation, orientation rotation and user rotation.
std::u16string rotationHistoryText(std::uint8_t orientation, std::uint8_t orientationRotation,
                                   std::uint8_t userRotation);

// Whether actions may touch the entry's file: not when its newest record
// says the file went away (moved, trashed or deleted).
bool mayAct(const ListItem& item);

// True when the entry names a history position but the item holds no
// record there (a damaged cache record).
bool historyPositionDangling(const ListItem& item);

} // namespace qlx::imagelist
