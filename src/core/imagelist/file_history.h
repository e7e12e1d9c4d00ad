#pragma once
// The file history of an entry as the folder reader and the folder watcher
// touch it: records of 522 bytes (an action kind byte, a spare byte, then a
// path of 260 UTF-16 units), the entry's history count and position.
//
// The undo log owns the rest of the history's meaning; here only the
// newest record's kind is read and a record is retracted.

#include "imagelist/image_list.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>

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

// True when the entry names a history position but the item holds no
// record there (a damaged cache record).
bool historyPositionDangling(const ListItem& item);

} // namespace qlx::imagelist
