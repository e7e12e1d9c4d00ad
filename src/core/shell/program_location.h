#pragma once
// Where the program lives. The settings file, the "bin" tables and the
// default user folder sit beside the executable, so the program must be
// named "Quenderluxium" and its folder must be writable.

#include <filesystem>
#include <optional>

namespace qlx::shell {

struct ProgramLocation {
    std::filesystem::path executable;
    std::filesystem::path folder;
};

// The running executable (from /proc/self/exe); nothing when it cannot be
// found or is not named "Quenderluxium".
std::optional<ProgramLocation> locateProgram();
std::optional<ProgramLocation> locateProgram(const std::filesystem::path& executable);

// True when files can be created in `folder` and its volume has free space
// left for this user.
bool folderIsWritableWithSpace(const std::filesystem::path& folder);

} // namespace qlx::shell
