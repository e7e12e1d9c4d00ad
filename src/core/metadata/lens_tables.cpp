#include "metadata/lens_tables.h"

#include <algorithm>
#include <span>
#include <stdexcept>

namespace qlx::metadata {

namespace {

char16_t asciiUpper(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

// Calls `read` with each whole record of a table whose record size is
// `recordSize`; a table of another record size gives no rows.
template <typename Record, typename Read>
std::vector<Record> readRecords(const shell::TableData& table, std::size_t recordSize, Read read)
{
    std::vector<Record> records;
    if (table.recordSize != recordSize)
        return records;
    const std::size_t rows = table.recordCount();
    records.reserve(rows);
    for (std::size_t row = 0; row < rows; ++row)
        records.push_back(read(table.record(row)));
    return records;
}

template <typename Layout>
LensName readName(std::span<const std::byte> bytes)
{
    return {io::loadUtf16(bytes, Layout::kMaker), io::loadUtf16(bytes, Layout::kName)};
}

CanonLensRecord readCanon(std::span<const std::byte> bytes)
{
    using L = CanonLensLayout;
    return {io::loadLe<std::uint32_t>(bytes, L::kFocalKey.offset),
            io::loadLe<std::uint16_t>(bytes, L::kLensType.offset), readName<L>(bytes)};
}

NikonLensRecord readNikon(std::span<const std::byte> bytes)
{
    using L = NikonLensLayout;
    return {io::loadUtf16(bytes, L::kLensText), io::loadUtf16(bytes, L::kFStops), readName<L>(bytes)};
}

CodeLensRecord readCode(std::span<const std::byte> bytes)
{
    using L = CodeLensLayout;
    return {io::loadLe<std::uint32_t>(bytes, L::kCode.offset), readName<L>(bytes)};
}

OlympusLensRecord readOlympus(std::span<const std::byte> bytes)
{
    using L = OlympusLensLayout;
    std::u16string key = io::loadUtf16(bytes, L::kKey);
    std::transform(key.begin(), key.end(), key.begin(), asciiUpper);
    return {std::move(key), readName<L>(bytes)};
}

template <typename Record, typename Match>
const LensName* findFirst(const std::vector<Record>& records, Match match)
{
    const auto found = std::find_if(records.begin(), records.end(), match);
    return found == records.end() ? nullptr : &found->lens;
}

const LensName* findOlympusKey(const std::vector<OlympusLensRecord>& records, std::u16string_view code)
{
    const std::u16string key = olympusKey(code);
    return findFirst(records, [&](const OlympusLensRecord& r) { return r.key == key; });
}

std::size_t tableIndex(LensTableId table)
{
    return static_cast<std::size_t>(table);
}

} // namespace

std::u16string olympusKey(std::u16string_view code)
{
    std::u16string key(code.substr(0, kOlympusKeyLength));
    std::transform(key.begin(), key.end(), key.begin(), asciiUpper);
    return key;
}

LensTables::LensTables(const std::array<shell::TableData, kLensTableCount>& tables)
    : m_canon(readRecords<CanonLensRecord>(tables[tableIndex(LensTableId::Canon)],
                                           CanonLensLayout::kSize, readCanon))
    , m_nikon(readRecords<NikonLensRecord>(tables[tableIndex(LensTableId::Nikon)],
                                           NikonLensLayout::kSize, readNikon))
    , m_pentax(readRecords<CodeLensRecord>(tables[tableIndex(LensTableId::Pentax)],
                                           CodeLensLayout::kSize, readCode))
    , m_olympus(readRecords<OlympusLensRecord>(tables[tableIndex(LensTableId::Olympus)],
                                               OlympusLensLayout::kSize, readOlympus))
    , m_olympusExtender(readRecords<OlympusLensRecord>(tables[tableIndex(LensTableId::OlympusExtender)],
                                                       OlympusLensLayout::kSize, readOlympus))
    , m_sony(readRecords<CodeLensRecord>(tables[tableIndex(LensTableId::Sony)],
                                         CodeLensLayout::kSize, readCode))
{
}

std::size_t LensTables::rowCount(LensTableId table) const
{
    switch (table) {
    case LensTableId::Canon: return m_canon.size();
    case LensTableId::Nikon: return m_nikon.size();
    case LensTableId::Pentax: return m_pentax.size();
    case LensTableId::Olympus: return m_olympus.size();
    case LensTableId::OlympusExtender: return m_olympusExtender.size();
    case LensTableId::Sony: return m_sony.size();
    }
    return 0;
}

const LensName& LensTables::lens(LensTableId table, std::size_t row) const
{
    switch (table) {
    case LensTableId::Canon: return m_canon.at(row).lens;
    case LensTableId::Nikon: return m_nikon.at(row).lens;
    case LensTableId::Pentax: return m_pentax.at(row).lens;
    case LensTableId::Olympus: return m_olympus.at(row).lens;
    case LensTableId::OlympusExtender: return m_olympusExtender.at(row).lens;
    case LensTableId::Sony: return m_sony.at(row).lens;
    }
    throw std::out_of_range("lens table");
}

const LensName* LensTables::findCanon(std::uint32_t focalKey, std::uint16_t lensType) const
{
    return findFirst(m_canon, [&](const CanonLensRecord& r) {
        return r.focalKey == focalKey && r.lensType == lensType;
    });
}

const LensName* LensTables::findNikon(std::u16string_view lensText, std::u16string_view fStops) const
{
    return findFirst(m_nikon, [&](const NikonLensRecord& r) {
        return r.lensText == lensText && r.fStops == fStops;
    });
}

const LensName* LensTables::findPentax(std::uint32_t code) const
{
    return findFirst(m_pentax, [&](const CodeLensRecord& r) { return r.code == code; });
}

const LensName* LensTables::findSony(std::uint32_t code) const
{
    return findFirst(m_sony, [&](const CodeLensRecord& r) { return r.code == code; });
}

const LensName* LensTables::findOlympus(std::u16string_view code) const
{
    return findOlympusKey(m_olympus, code);
}

const LensName* LensTables::findOlympusExtender(std::u16string_view code) const
{
    return findOlympusKey(m_olympusExtender, code);
}

} // namespace qlx::metadata
