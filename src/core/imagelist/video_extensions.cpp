#include "imagelist/video_extensions.h"

#include <algorithm>
#include <string>

#include <QChar>

namespace qlx::imagelist {

namespace {

constexpr char16_t kFullWidthBlank = u'\u3000';
constexpr char16_t kFullWidthSemicolon = u'\uFF1B';

bool isBlank(char16_t unit)
{
    return unit == u' ' || unit == kFullWidthBlank;
}

} // namespace

char16_t lowerVideoUnit(char16_t unit)
{
    if (QChar::isSurrogate(unit))
        return unit;
    const char32_t lower = QChar::toLower(static_cast<char32_t>(unit));
    // Simple lower-casing of a BMP letter stays in the BMP.
    return lower <= 0xFFFF ? static_cast<char16_t>(lower) : unit;
}

std::u16string_view VideoExtensions::at(std::size_t index) const
{
    if (index >= m_count)
        return {};
    const auto& slot = m_slots[index];
    const auto end = std::find(slot.begin(), slot.end(), u'\0');
    return {slot.data(), static_cast<std::size_t>(end - slot.begin())};
}

bool VideoExtensions::add(std::u16string_view extension)
{
    if (extension.empty() || extension.size() > kMaxLength || m_count == kMaxCount)
        return false;
    auto& slot = m_slots[m_count];
    slot.fill(u'\0');
    std::transform(extension.begin(), extension.end(), slot.begin(), lowerVideoUnit);
    ++m_count;
    return true;
}

void VideoExtensions::clear()
{
    for (auto& slot : m_slots)
        slot.fill(u'\0');
    m_count = 0;
}

bool VideoExtensions::contains(std::u16string_view lowerExtension) const
{
    for (std::size_t i = 0; i < m_count; ++i) {
        if (at(i) == lowerExtension)
            return true;
    }
    return false;
}

VideoExtensions parseVideoList(std::u16string_view setting)
{
    setting = setting.substr(0, std::min(setting.size(), kVideoListSettingUnits));
    setting = setting.substr(0, std::min(setting.size(), setting.find(u'\0')));

    VideoExtensions table;
    std::u16string piece;
    const auto endPiece = [&] {
        // Pieces outside 1..7 units are skipped; add() says so.
        table.add(piece);
        piece.clear();
    };
    for (const char16_t unit : setting) {
        if (table.count() == VideoExtensions::kMaxCount)
            break;
        if (unit == u';' || unit == kFullWidthSemicolon || isBlank(unit))
            endPiece();
        else
            piece.push_back(lowerVideoUnit(unit));
    }
    if (table.count() < VideoExtensions::kMaxCount)
        endPiece();
    return table;
}

const VideoExtensions& defaultVideoExtensions()
{
    static const VideoExtensions table = parseVideoList(kDefaultVideoList);
    return table;
}

} // namespace qlx::imagelist
