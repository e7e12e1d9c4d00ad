#include "imagelist/sort_order.h"

#include "imagelist/natural_compare.h"

#include <QChar>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

namespace qlx::imagelist {

namespace {

enum Column : int {
    kFileName = 0, kFileSize = 4, kImageSize = 6, kShutterSpeed = 11, kFNumber = 12,
    kIso = 14, kExposureBias = 15, kLens = 17, kFocalLength = 18,
};

// The texts are ASCII where they hold numbers; other units end a number.
std::string asciiOf(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char16_t unit : text)
        out.push_back(unit < 0x80 ? static_cast<char>(unit) : '\x7f');
    return out;
}

// Leading blanks, a sign and digits, as a C integer reading does; 0 when
// there are none.
std::int64_t leadingInteger(std::u16string_view text)
{
    const std::string ascii = asciiOf(text);
    return std::strtoll(ascii.c_str(), nullptr, 10);
}

double leadingDecimal(std::u16string_view text)
{
    const std::string ascii = asciiOf(text);
    return std::strtod(ascii.c_str(), nullptr);
}

std::u16string_view dropLast(std::u16string_view text, std::size_t count)
{
    return text.substr(0, text.size() > count ? text.size() - count : 0);
}

// Ten digits with leading zeros. Values are clamped to what ten digits (and
// a sign) hold, so that a wild text cannot write a longer key that sorts
// out of its place.
std::u16string numberKey(double value)
{
    constexpr double kLimit = 9'999'999'999.0;
    if (!(value == value)) // NaN
        value = 0;
    value = std::clamp(value, -999'999'999.0, kLimit);
    char text[24];
    std::snprintf(text, sizeof text, "%010lld", static_cast<long long>(value));
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

std::u16string shutterKey(std::u16string_view text)
{
    if (text.size() >= 2 && text[1] == u'/') {
        const std::int64_t denominator = leadingInteger(text.substr(2));
        // A zero denominator in a damaged text sorts with the zeros.
        return numberKey(denominator != 0 ? static_cast<double>(100'000 / denominator) : 0.0);
    }
    return numberKey(leadingDecimal(text) * 100'000.0);
}

std::u16string imageSizeKey(std::u16string_view text)
{
    const auto star = text.find(u'*');
    const std::int64_t width = leadingInteger(text);
    const std::int64_t height = star == std::u16string_view::npos ? 0 : leadingInteger(text.substr(star + 1));
    return numberKey(static_cast<double>(width) * static_cast<double>(height));
}

std::u16string lensKey(std::u16string_view text)
{
    // Lens names mostly begin with their maker's letters, which would all
    // read as 0 and leave the column in name order: such names sort by
    // their text, the ones that begin with a number by that number.
    const std::u16string_view number = dropLast(text, 2);
    if (number.empty() || number[0] < u'0' || number[0] > u'9')
        return std::u16string(text);
    return numberKey(static_cast<double>(leadingInteger(number)));
}

int compareKeys(std::u16string_view a, std::u16string_view b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t at = 0; at < common; ++at) {
        const char16_t x = QChar(a[at]).toCaseFolded().unicode();
        const char16_t y = QChar(b[at]).toCaseFolded().unicode();
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace

std::u16string sortKey(int column, std::u16string_view text)
{
    if (column == kFileName)
        return {};
    if (text.empty())
        return {};
    switch (column) {
    case kFileSize: return numberKey(static_cast<double>(leadingInteger(dropLast(text, 2))));
    case kImageSize: return imageSizeKey(text);
    case kShutterSpeed: return shutterKey(text);
    case kFNumber: return numberKey(leadingDecimal(text.substr(1)) * 100.0);
    case kIso: return numberKey(static_cast<double>(leadingInteger(text)));
    case kExposureBias: return numberKey(((text == u"±" ? 0.0 : leadingDecimal(text)) + 100.0) * 100.0);
    case kLens: return lensKey(text);
    case kFocalLength: return numberKey(static_cast<double>(leadingInteger(dropLast(text, 2))));
    default: return std::u16string(text);
    }
}

void sortList(ImageList& list, int column, SortDirection direction, const ColumnText& text)
{
    if (list.empty())
        return;
    list.resetOrder(); // every entry once, whatever the order held
    struct Keyed {
        std::uint16_t index;
        std::u16string key;
        std::u16string name;
    };
    std::vector<Keyed> rows;
    rows.reserve(list.size());
    for (std::size_t index = 0; index < list.size(); ++index) {
        const ImageEntry& entry = list.entry(index);
        const std::u16string shown = text ? text(entry, column) : entry.itemText(column);
        rows.push_back({static_cast<std::uint16_t>(index), sortKey(column, shown), entry.name()});
    }
    const bool descending = direction == SortDirection::Descending;
    std::stable_sort(rows.begin(), rows.end(), [descending](const Keyed& a, const Keyed& b) {
        int order = compareKeys(a.key, b.key);
        if (order == 0)
            order = compareNatural(a.name, b.name);
        return descending ? order > 0 : order < 0;
    });
    auto order = list.order();
    for (std::size_t position = 0; position < rows.size(); ++position)
        order[position] = rows[position].index;
}

SortState::Order SortState::click(int column)
{
    if (column != m_lastClicked) {
        m_lastClicked = column;
        m_direction = SortDirection::Ascending;
    }
    m_column = column;
    const Order order{column, m_direction};
    m_direction = m_direction == SortDirection::Ascending ? SortDirection::Descending : SortDirection::Ascending;
    return order;
}

} // namespace qlx::imagelist
