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

std::u16string currentHistoryUnits(const ListItem& item, std::size_t count)
{
    const auto offset = currentRecordOffset(item);
    if (!offset)
        return {};
    std::u16string units;
    for (std::size_t i = 0; i < std::min(count, kHistoryTextUnits); ++i) {
        const std::size_t at = *offset + kHistoryTextOffset + i * 2;
        units.push_back(static_cast<char16_t>(std::to_integer<unsigned>(item.history[at])
                                              | std::to_integer<unsigned>(item.history[at + 1]) << 8));
    }
    return units;
}

std::u16string currentHistoryText(const ListItem& item)
{
    std::u16string text = currentHistoryUnits(item, kHistoryTextUnits);
    if (const std::size_t end = text.find(u'\0'); end != std::u16string::npos)
        text.resize(end);
    return text;
}

void pushHistory(ListItem& item, std::int8_t kind, std::u16string_view text)
{
    // A damaged position (beyond the records held) starts the history anew
    // rather than writing outside it.
    std::int32_t position = item.entry->historyPosition() + 1;
    if (position < 0 || static_cast<std::uint64_t>(position) * kHistoryRecordSize > item.history.size())
        position = 0;
    const std::size_t offset = static_cast<std::size_t>(position) * kHistoryRecordSize;
    item.history.resize(offset + kHistoryRecordSize);
    std::fill(item.history.begin() + static_cast<std::ptrdiff_t>(offset), item.history.end(), std::byte{0});
    item.history[offset + kHistoryKindOffset] = static_cast<std::byte>(kind);
    const std::size_t units = std::min(text.size(), kHistoryTextUnits - 1);
    for (std::size_t i = 0; i < units; ++i) {
        const std::size_t at = offset + kHistoryTextOffset + i * 2;
        item.history[at] = static_cast<std::byte>(text[i] & 0xFF);
        item.history[at + 1] = static_cast<std::byte>(text[i] >> 8);
    }
    item.entry->setHistoryPosition(position);
    item.entry->setHistoryCount(static_cast<std::uint32_t>(position + 1));
}

std::u16string rotationHistoryText(std::uint8_t orientation, std::uint8_t orientationRotation,
                                   std::uint8_t userRotation)
{
    return {char16_t{orientation}, char16_t{orientationRotation}, char16_t{userRotation}};
}

bool mayAct(const ListItem& item)
{
    const auto kind = currentHistoryKind(item);
    return !kind || (*kind != kHistoryMove && *kind != kHistoryRecycle && *kind != kHistoryDelete);
}

bool historyPositionDangling(const ListItem& item)
{
    return item.entry->historyPosition() >= 0 && !currentRecordOffset(item);
}

} // namespace qlx::imagelist
