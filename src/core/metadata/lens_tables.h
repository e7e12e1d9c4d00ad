#pragma once
// The six lens tables in memory, each read from its file's fixed-size
// little-endian records, with one lookup per table.
//
// The tables come from files: a record is read only when it lies wholly
// inside its table, and every text field is read to its terminator or to the
// end of the field, whichever comes first.
//
// Olympus codes. The Olympus maker note gives a lens or extender as twelve
// upper-case hex digits (six bytes), while the key field of
// lens_olympus.bin and lens_olympus_ext.bin has room for eight characters and
// a terminator. The tables therefore hold the first eight hex digits of the
// code (its first four bytes), and a lookup compares the stored key with
// olympusKey() of the code: a stored key equals the code's first eight
// characters or matches nothing. Both sides are upper-cased, so a table written
// with lower-case digits still matches.

#include "io/record_bytes.h"
#include "shell/data_tables.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qlx::metadata {

// The tables in file order (the order of shell::kLensTables).
enum class LensTableId : std::uint8_t { Canon, Nikon, Pentax, Olympus, OlympusExtender, Sony };
inline constexpr std::size_t kLensTableCount = 6;

// ---- Record layouts ----------------------------------------------------
struct CanonLensLayout {
    static constexpr std::size_t kSize = 328;
    // Long focal length in the low 16 bits, short focal length in the high 16.
    static constexpr io::ScalarField<std::uint32_t> kFocalKey{0};
    static constexpr io::ScalarField<std::uint16_t> kLensType{4};
    static constexpr io::Utf16Field kMaker{6, 32};
    static constexpr io::Utf16Field kName{70, 128}; // then 2 bytes of padding
};
struct NikonLensLayout {
    static constexpr std::size_t kSize = 368;
    static constexpr io::Utf16Field kLensText{0, 20};
    static constexpr io::Utf16Field kFStops{40, 4};
    static constexpr io::Utf16Field kMaker{48, 32};
    static constexpr io::Utf16Field kName{112, 128};
};
// lens_pentax.bin and lens_sony.bin.
struct CodeLensLayout {
    static constexpr std::size_t kSize = 324;
    static constexpr io::ScalarField<std::uint32_t> kCode{0};
    static constexpr io::Utf16Field kMaker{4, 32};
    static constexpr io::Utf16Field kName{68, 128};
};
// lens_olympus.bin and lens_olympus_ext.bin.
struct OlympusLensLayout {
    static constexpr std::size_t kSize = 338;
    static constexpr io::Utf16Field kKey{0, 9};
    static constexpr io::Utf16Field kMaker{18, 32};
    static constexpr io::Utf16Field kName{82, 128};
};

static_assert(CanonLensLayout::kSize == shell::kLensTables[0].recordSize);
static_assert(NikonLensLayout::kSize == shell::kLensTables[1].recordSize);
static_assert(CodeLensLayout::kSize == shell::kLensTables[2].recordSize);
static_assert(OlympusLensLayout::kSize == shell::kLensTables[3].recordSize);
static_assert(OlympusLensLayout::kSize == shell::kLensTables[4].recordSize);
static_assert(CodeLensLayout::kSize == shell::kLensTables[5].recordSize);
static_assert(CanonLensLayout::kName.offset + CanonLensLayout::kName.size() + 2 == CanonLensLayout::kSize);
static_assert(NikonLensLayout::kName.offset + NikonLensLayout::kName.size() == NikonLensLayout::kSize);
static_assert(CodeLensLayout::kName.offset + CodeLensLayout::kName.size() == CodeLensLayout::kSize);
static_assert(OlympusLensLayout::kName.offset + OlympusLensLayout::kName.size() == OlympusLensLayout::kSize);

// ---- Records -----------------------------------------------------------
// What every table's rows show in the camera and lens list.
struct LensName {
    std::u16string maker;
    std::u16string name;
};

struct CanonLensRecord {
    std::uint32_t focalKey = 0;
    std::uint16_t lensType = 0;
    LensName lens;
};
struct NikonLensRecord {
    std::u16string lensText; // as the maker note's lens line gives it ("50mm F1.4")
    std::u16string fStops;   // two upper-case hex digits
    LensName lens;
};
struct CodeLensRecord {
    std::uint32_t code = 0;
    LensName lens;
};
struct OlympusLensRecord {
    std::u16string key; // olympusKey() form
    LensName lens;
};

// The canon focal key of a short and a long focal length.
constexpr std::uint32_t canonFocalKey(std::uint32_t shortFocal, std::uint32_t longFocal)
{
    return (shortFocal << 16) | longFocal;
}

// How an Olympus lens or extender code is held and compared: its first eight
// characters, ASCII letters upper-cased.
std::u16string olympusKey(std::u16string_view code);
inline constexpr std::size_t kOlympusKeyLength = 8;

class LensTables {
public:
    LensTables() = default;
    // A table whose record size is not the one its file has stays empty.
    explicit LensTables(const std::array<shell::TableData, kLensTableCount>& tables);

    std::size_t rowCount(LensTableId table) const;
    // Maker and name of a row, for the list; the row must exist.
    const LensName& lens(LensTableId table, std::size_t row) const;

    // Lookups: the first record with the key, nullptr when none has it.
    const LensName* findCanon(std::uint32_t focalKey, std::uint16_t lensType) const;
    const LensName* findNikon(std::u16string_view lensText, std::u16string_view fStops) const;
    const LensName* findPentax(std::uint32_t code) const;
    const LensName* findSony(std::uint32_t code) const;
    const LensName* findOlympus(std::u16string_view code) const;
    const LensName* findOlympusExtender(std::u16string_view code) const;

    const std::vector<CanonLensRecord>& canon() const { return m_canon; }
    const std::vector<NikonLensRecord>& nikon() const { return m_nikon; }
    const std::vector<CodeLensRecord>& pentax() const { return m_pentax; }
    const std::vector<OlympusLensRecord>& olympus() const { return m_olympus; }
    const std::vector<OlympusLensRecord>& olympusExtender() const { return m_olympusExtender; }
    const std::vector<CodeLensRecord>& sony() const { return m_sony; }

private:
    std::vector<CanonLensRecord> m_canon;
    std::vector<NikonLensRecord> m_nikon;
    std::vector<CodeLensRecord> m_pentax;
    std::vector<OlympusLensRecord> m_olympus;
    std::vector<OlympusLensRecord> m_olympusExtender;
    std::vector<CodeLensRecord> m_sony;
};

} // namespace qlx::metadata
