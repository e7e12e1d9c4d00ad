#pragma once
// Lossless rotation: the picture's data stay as they are; only the two
// bytes of its Exif orientation value in the file are rewritten, so that
// the turns the user gave it in the view become the file's own.
//
// Two bytes at an offset read when the folder was read are written only
// when the file is still that file: the size and last-write time the entry
// knows, the two bytes on disk equal to the orientation the entry knows
// (in the file's byte order) and within the file. The file is opened
// without creating or truncating it, the bytes are written in place and
// flushed. Anything else leaves the file untouched.
//
// Thread model: blocking POSIX calls on the caller's thread.

#include <cstdint>
#include <filesystem>
#include <optional>

namespace qlx::actions {

// The orientation after `userTurns` quarter turns clockwise more: 1, 6, 3
// and 8 are 0 to 3 turns. Nothing when there is nothing to turn (no turns)
// or the orientation is mirrored or unknown.
std::optional<std::uint8_t> rotatedOrientation(std::uint8_t current, int userTurns);

struct OrientationPatch {
    std::filesystem::path path;
    std::uint64_t offset = 0;      // where the orientation's two bytes are; 0 unknown
    bool bigEndian = false;        // "MM"
    std::uint8_t current = 1;      // the orientation the entry knows
    int userTurns = 0;             // quarter turns clockwise the user added
    std::uint64_t size = 0;        // the file size the entry knows
    std::uint64_t lastWriteTime = 0; // FILETIME the entry knows; 0: not compared
    bool keepTime = false;         // put the last-write time back afterwards
};

enum class RotationOutcome : std::uint8_t {
    Done,
    NothingToDo, // no turns, no known offset, or a mirrored orientation
    Changed,     // the file is not the one the entry knows; untouched
    Failed,      // it could not be opened, read or written; untouched
};

struct RotationResult {
    RotationOutcome outcome = RotationOutcome::Failed;
    std::uint8_t orientation = 0;   // the new value when done
    std::uint64_t lastWriteTime = 0; // the file's last-write time afterwards
    int error = 0;
};

RotationResult rotateLosslessly(const OrientationPatch& patch);

} // namespace qlx::actions
