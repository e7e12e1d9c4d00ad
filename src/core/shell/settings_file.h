#pragma once
// "Quenderluxium.cfg": the settings record written whole, each byte XORed
// with a fixed 16-byte key. No header, no checksum; the version text at the
// start decides whether a file is taken.

#include "shell/settings_record.h"

#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace qlx::settings {

inline constexpr std::string_view kSettingsFileName = "Quenderluxium.cfg";

// XORs byte i with byte (i mod 16) of the key, i counted from `fileOffset`.
// The same call scrambles and unscrambles.
void scramble(std::span<std::byte> bytes, std::size_t fileOffset = 0);

// The whole-number part of a version text ("5.96" gives 5); 0 for a text
// that does not start with a number.
int majorVersion(std::u16string_view version);

// A file is taken when its major version equals the program's or is one less.
bool versionAccepted(std::u16string_view fileVersion, std::u16string_view programVersion);

enum class LoadStatus {
    Loaded,          // the record holds the file's settings
    Missing,         // no file, or it cannot be read
    VersionRejected, // another major version: start from the defaults
};

struct LoadResult {
    LoadStatus status = LoadStatus::Missing;
    // Loaded only: the file says the program did not end normally last time,
    // so the caller asks before reopening the last folder.
    bool askRecovery = false;
    bool loaded() const { return status == LoadStatus::Loaded; }
};

class SettingsFile {
public:
    explicit SettingsFile(std::filesystem::path path, std::u16string programVersion);

    const std::filesystem::path& path() const { return m_path; }
    const std::u16string& programVersion() const { return m_programVersion; }

    // Reads, unscrambles and checks the file into `record`. On anything but
    // Loaded the record is left zero. On Loaded the normal-exit flag has been
    // cleared and the version text replaced by the program's.
    LoadResult load(SettingsRecord& record);
    // The same for bytes already read (at most the record size is used).
    LoadResult loadFromBytes(std::span<const std::byte> bytes, SettingsRecord& record) const;

    // Writes the program's version into the record, then the scrambled copy
    // to disk through a temporary file. The record in memory is never left
    // scrambled; the old file survives a failed write.
    bool save(SettingsRecord& record, std::string* error = nullptr);

    // Version of the last successful save, as a float (0 before any).
    float lastSavedVersion() const { return m_lastSavedVersion; }

private:
    std::filesystem::path m_path;
    std::u16string m_programVersion;
    float m_lastSavedVersion = 0.0f;
};

} // namespace qlx::settings
