#pragma once
// Copying and moving one file into a folder, on POSIX calls.
//
// These stand in for the desktop's file operations, and keep their promises:
//
//  - Nothing is overwritten unless the caller says so. A target of the same
//    name is reported as TargetExists and nothing changes; the caller asks
//    the user (the replace question) and calls again with Replace.
//  - No half-written file ever stands under the final name. A copy is
//    written to a hidden temporary name in the target folder (".qlx-copy-"
//    and six random characters, a name the image list never shows), flushed
//    to disk, checked for its size and only then renamed into place; on any
//    failure the temporary file is removed again.
//  - The source is never lost. A move is a rename(2) where source and target
//    share a file system. Otherwise it is a copy as above, a size check of
//    the placed copy, and only then the deletion of the source; when the
//    source cannot be deleted the copy is taken back (unless it replaced a
//    file, which cannot be brought back), so a move either happens whole or
//    leaves things as they were.
//  - A copy keeps the source's permission bits and its access and
//    modification times, as the desktop's copy does; the last-write time is
//    what the thumbnail cache matches files by, so a copied picture finds
//    its cached record in the new folder.
//
// Only regular files (or links to them) are copied or moved. Everything runs
// on the caller's thread and blocks it for the length of the transfer.

#include <cstdint>
#include <filesystem>
#include <string>

namespace qlx::actions {

enum class TransferOutcome : std::uint8_t {
    Done,
    TargetExists,        // a file or folder of that name is in the target folder; nothing changed
    SameFile,            // the target is the source itself; nothing changed
    SourceMissing,       // the source does not exist
    SourceNotAFile,      // the source is a folder, a device or the like
    TargetFolderMissing, // the target folder does not exist or is not a folder
    ReadFailed,          // the source could not be read; nothing changed
    WriteFailed,         // the target could not be written (permission, full disk); nothing left behind
    VerifyFailed,        // the copy's size differs from the source's; the copy was removed
    SourceNotRemoved,    // a move across file systems could not delete the source; the source stays
};

// What to do when the target name is taken.
enum class ExistingTarget : std::uint8_t {
    Refuse,  // report TargetExists
    Replace, // replace a file of that name (never a folder); the user agreed
};

struct TransferOptions {
    ExistingTarget existing = ExistingTarget::Refuse;
    // Move by copying and deleting even where a rename would do, as across
    // file systems. Lets tests reach that path on one file system.
    bool copyInsteadOfRename = false;
};

struct TransferResult {
    TransferOutcome outcome = TransferOutcome::WriteFailed;
    std::filesystem::path target; // the target file's full path
    int error = 0;                // errno of the call that failed, 0 when none did
    std::string detail;           // a short English reason for logs and tests

    bool done() const { return outcome == TransferOutcome::Done; }
};

// Copies `source` into `targetFolder` under its own file name.
TransferResult copyFile(const std::filesystem::path& source, const std::filesystem::path& targetFolder,
                        TransferOptions options = {});
// Moves `source` into `targetFolder` under its own file name.
TransferResult moveFile(const std::filesystem::path& source, const std::filesystem::path& targetFolder,
                        TransferOptions options = {});

// The same with the target's full path given.
TransferResult copyFileTo(const std::filesystem::path& source, const std::filesystem::path& target,
                          TransferOptions options = {});
TransferResult moveFileTo(const std::filesystem::path& source, const std::filesystem::path& target,
                          TransferOptions options = {});

// Makes sure a folder exists, creating every missing level from the top
// down. True when the folder exists afterwards.
bool ensureFolder(const std::filesystem::path& folder);

// A byte count as the status bar shows sizes: "%dByte" below 1,024 bytes,
// then "%0.2fKB", "%0.2fMB" and "%0.2fGB" (units of 1,024).
std::u16string formatSize(std::uint64_t bytes);

// The prefix of the temporary files a copy writes; a file left behind by a
// crash begins with it.
inline constexpr std::string_view kCopyTemporaryPrefix = ".qlx-copy-";

} // namespace qlx::actions
