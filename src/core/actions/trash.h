#pragma once
// Sending a file to the desktop's trash, as the freedesktop.org trash
// standard lays it out, so that the file manager lists it and can put
// it back.
//
// Which trash: the home trash ($XDG_DATA_HOME/Trash, else
// ~/.local/share/Trash) when the file lies on the home trash's file system;
// otherwise, on the top folder of the file's own file system (a memory
// card's mount point), "$top/.Trash/$uid" when "$top/.Trash" is a real
// folder (not a link) with the sticky bit, else "$top/.Trash-$uid". A file
// is never carried across file systems into a trash, and when no trash can
// be had on its file system it is refused, never deleted for good instead.
//
// How: the trash's "info/NAME.trashinfo" is created first, exclusively
// (a name in use is never overwritten; the next free name is taken), with
// the original path (percent-encoded; relative to the top folder in a top
// folder's trash) and the deletion time, flushed to disk; only then is the
// file renamed to "files/NAME" without replacing anything. When the rename
// fails the info file is removed again, so the trash never lists a file
// that is not in it and the file never stands in it without its info.
//
// Thread model: blocking POSIX calls on the caller's thread.

#include <cstdint>
#include <filesystem>
#include <string>

namespace qlx::actions {

enum class TrashOutcome : std::uint8_t {
    Done,
    SourceMissing, // nothing of that name
    NoTrash,       // no trash can be had on the file's file system; the file stays
    Failed,        // the info file or the rename failed; the file stays
};

struct TrashResult {
    TrashOutcome outcome = TrashOutcome::Failed;
    std::filesystem::path trashed; // files/NAME
    std::filesystem::path info;    // info/NAME.trashinfo
    int error = 0;                 // errno of the call that failed

    bool done() const { return outcome == TrashOutcome::Done; }
};

// The trash folder (holding files/ and info/) a file would go to, created
// when missing; empty when there is none.
std::filesystem::path trashFolderFor(const std::filesystem::path& file);

// Moves `file` (an absolute path) to its trash.
TrashResult moveToTrash(const std::filesystem::path& file);

// The trash info file's "Path=" value: the path's bytes percent-encoded,
// with letters, digits, "-", ".", "_", "~" and "/" kept.
std::string encodeTrashPath(const std::string& path);

} // namespace qlx::actions
