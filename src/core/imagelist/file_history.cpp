#include "imagelist/file_history.h"

#include <algorithm>

namespace qlx::imagelist {

namespace {

std::optional<std::size_t> currentRecordOffset(const ListItem& item)
{
    const std::int32_t position = item.entry->historyPosition();
    if (position < 0)
        return std::nullopt;
    const std::uint64_t offset = static_cast<std::uint64_t>(position) * kHistoryRecordSize;
    if (offset + kHistoryRecordSize > item.history.size())
        return std::nullopt;
    return static_cast<std::size_t>(offset);
}

} // namespace

std::optional<std::int8_t> currentHistoryKind(const ListItem& item)
{
    const auto offset = currentRecordOffset(item);
    if (!offset)
        return std::nullopt;
    return static_cast<std::int8_t>(item.history[*offset + kHistoryKindOffset]);
}

bool retractCurrentHistory(ListItem& item, std::initializer_list<std::int8_t> kinds)
{
    const auto offset = currentRecordOffset(item);
    if (!offset)
        return false;
    const auto kind = static_cast<std::int8_t>(item.history[*offset + kHistoryKindOffset]);
    if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end())
        return false;
    item.history[*offset + kHistoryKindOffset] = std::byte{0};
    item.entry->setHistoryPosition(item.entry->historyPosition() - 1);
    return true;
}

bool historyPositionDangling(const ListItem& item)
{
    return item.entry->historyPosition() >= 0 && !currentRecordOffset(item);
}

} // namespace qlx::imagelist
