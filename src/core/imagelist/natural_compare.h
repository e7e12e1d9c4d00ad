#pragma once
// The digit-aware order people expect for file names and model names:
// runs of digits compare by their value ("IMG_2" before "IMG_10", "EOS 5D"
// before "EOS 10D"), everything else unit by unit with ASCII letters
// case-folded. Texts equal that way fall back to plain order, so the order
// is total and sorting is deterministic.

#include <string_view>

namespace qlx::imagelist {

// Negative, zero or positive as a sorts before, with or after b.
int compareNatural(std::u16string_view a, std::u16string_view b);

} // namespace qlx::imagelist
