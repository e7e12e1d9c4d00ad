#pragma once
// The lens text of an entry: the lens value of its metadata text, turned into
// a lens name through the lens tables where the maker gives only a code.

#include "metadata/lens_tables.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qlx::metadata {

// A metadata value read as an integer the way the C library's atoi reads it:
// leading blanks, an optional sign, then decimal digits up to the first other
// character; 0 when there are no digits. Saturates instead of overflowing.
std::int64_t leadingInteger(std::u16string_view text);

// The lens text for an entry of kind bit `kind`, from its metadata text and
// its maker text (the "Maker" value; its first four letters choose the lookup
// for JPG and TIF files).
//
// First the makers' rules: nothing when the entry's kind never has a lens
// text of its maker (BMP, PNG, GIF, CRW, DNG, MEF, X3F, PSD, SRW, 3FR,
// video), the first lens value is empty, its kind's maker gives no usable
// lens value (SR2, RAF, NRW, RAW, RWL), or no lens value was found and the
// kind is not CR2. Otherwise a name from the tables, the lens value itself
// when no table row has it, or `current` (the Lens field as it stands) where
// a CR2 file lacks the lens lines that its lookup needs.
//
// Where those rules give nothing, or only a code that no table row names,
// the Exif lens model (the "Lens" line outside the maker note, trimmed) is
// the text when the file has one.
std::optional<std::u16string> lensText(std::uint32_t kind, std::u16string_view metadataText,
                                       std::u16string_view maker, const LensTables& tables,
                                       std::u16string_view current = {});

} // namespace qlx::metadata
