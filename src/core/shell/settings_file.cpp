#include "shell/settings_file.h"

#include "io/file_io.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>

namespace qlx::settings {

namespace {

// The scrambling key, assembled from two constants at run time. Files
// written with one key can only be read with the same key, so these values
// are part of the file format and must never change.
std::array<std::byte, 16> scrambleKey()
{
    constexpr std::uint64_t kLow = 0x5A17C3E92B6D0F84ull;
    constexpr std::uint64_t kHigh = 0x3C9E51A7F0D2468Bull;
    std::array<std::byte, 16> key{};
    for (std::size_t i = 0; i < 8; ++i) {
        key[i] = static_cast<std::byte>((kLow >> (8 * i)) & 0xFF);
        key[8 + i] = static_cast<std::byte>((kHigh >> (8 * i)) & 0xFF);
    }
    return key;
}

// The version text as the C library reads a float: leading blanks, digits,
// an optional fraction. Only ASCII takes part; anything else ends it.
float versionValue(std::u16string_view version)
{
    std::string ascii;
    for (char16_t c : version) {
        if (c == 0 || c > 0x7F)
            break;
        ascii.push_back(static_cast<char>(c));
    }
    return std::strtof(ascii.c_str(), nullptr);
}

} // namespace

void scramble(std::span<std::byte> bytes, std::size_t fileOffset)
{
    const auto key = scrambleKey();
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] ^= key[(fileOffset + i) % key.size()];
}

int majorVersion(std::u16string_view version)
{
    const float value = versionValue(version);
    if (!std::isfinite(value) || value >= 2147483647.0f || value <= -2147483647.0f)
        return 0;
    return static_cast<int>(value); // truncation toward zero, as the float-to-int conversion does
}

bool versionAccepted(std::u16string_view fileVersion, std::u16string_view programVersion)
{
    const long long file = majorVersion(fileVersion);
    const long long program = majorVersion(programVersion);
    return file == program || file + 1 == program;
}

SettingsFile::SettingsFile(std::filesystem::path path, std::u16string programVersion)
    : m_path(std::move(path)), m_programVersion(std::move(programVersion))
{
}

LoadResult SettingsFile::load(SettingsRecord& record)
{
    record.clear();
    const auto read = io::readFileCapped(m_path, kRecordSize);
    if (!read)
        return {LoadStatus::Missing, false};
    return loadFromBytes(read->bytes, record);
}

LoadResult SettingsFile::loadFromBytes(std::span<const std::byte> bytes, SettingsRecord& record) const
{
    record.clear();
    bytes = bytes.first(std::min(bytes.size(), kRecordSize));
    // A shorter file leaves the rest of the record zero; the defaults pass
    // and the section markers repair what they cover. Only the bytes that
    // came from the file are unscrambled: unscrambling the zero tail too
    // would fill it with the key instead of zeros.
    io::copyBytes(record.bytes(), 0, bytes, 0, bytes.size());
    scramble(record.bytes().first(bytes.size()));

    if (!versionAccepted(record.text(kVersion), m_programVersion)) {
        record.clear();
        return {LoadStatus::VersionRejected, false};
    }

    LoadResult result{LoadStatus::Loaded, false};
    if (record.get(kNormalExit) == 1)
        record.set(kNormalExit, std::uint8_t{0});
    else
        result.askRecovery = true;
    // The version field is rewritten whole so that no tail of a longer old
    // text survives behind the terminator.
    io::fillBytes(record.bytes(), kVersion.offset, kVersion.size(), std::byte{0});
    record.setText(kVersion, m_programVersion);
    return result;
}

bool SettingsFile::save(SettingsRecord& record, std::string* error)
{
    io::fillBytes(record.bytes(), kVersion.offset, kVersion.size(), std::byte{0});
    record.setText(kVersion, m_programVersion);
    std::vector<std::byte> scrambled(record.bytes().begin(), record.bytes().end());
    scramble(scrambled);
    if (!io::writeFileAtomically(m_path, scrambled, error))
        return false;
    m_lastSavedVersion = versionValue(m_programVersion);
    return true;
}

} // namespace qlx::settings
