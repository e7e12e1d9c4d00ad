#pragma once
// Sorting the image list by a column of the detailed list.
//
// Each column has a key made from its text: most columns sort by the text
// itself, the numeric ones by their number written as ten digits with
// leading zeros, so that every key compares as text. Keys compare
// character by character without regard to case; equal keys fall back to
// the digit-aware name order (IMG_2 before IMG_10). The direction turns the
// whole order round, the name tie-break included.

#include "imagelist/image_list.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qlx::imagelist {

inline constexpr int kSortColumnCount = 24;

enum class SortDirection : std::uint16_t { Ascending = 0, Descending = 1 };

// The key of a column's text; column 0 (the file name) has an empty key.
std::u16string sortKey(int column, std::u16string_view text);

// The text a column shows for an entry (the list's own texts: the 35 mm
// setting changes the focal-length column, for instance).
using ColumnText = std::function<std::u16string(const ImageEntry& entry, int column)>;

// Reorders the display order by `column` and `direction`. `text` defaults
// to the entry's own item texts.
void sortList(ImageList& list, int column, SortDirection direction, const ColumnText& text = {});

// The sort state of the list pane and its column-click rule: a click on a
// new column sorts it ascending; each further click on the same column
// turns the direction round.
class SortState {
public:
    struct Order {
        int column = 0;
        SortDirection direction = SortDirection::Ascending;
    };
    // The order a click on `column` asks for; the next click's direction is
    // prepared.
    Order click(int column);
    int column() const { return m_column; }
    SortDirection direction() const { return m_direction; }

private:
    int m_column = 0;
    int m_lastClicked = -1;
    SortDirection m_direction = SortDirection::Ascending;
};

} // namespace qlx::imagelist
