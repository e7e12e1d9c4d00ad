#include "shell/program_location.h"

#include "shell/program_info.h"

#include <sys/statvfs.h>
#include <unistd.h>

namespace qlx::shell {

std::optional<ProgramLocation> locateProgram(const std::filesystem::path& executable)
{
    if (executable.empty() || executable.filename() != kExecutableName)
        return std::nullopt;
    return ProgramLocation{executable, executable.parent_path()};
}

std::optional<ProgramLocation> locateProgram()
{
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return std::nullopt;
    return locateProgram(executable);
}

bool folderIsWritableWithSpace(const std::filesystem::path& folder)
{
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return false;
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) != 0)
        return false;
    // A read-only mount reports free blocks too; the flag says the truth.
    if (info.f_flag & ST_RDONLY)
        return false;
    return static_cast<unsigned long long>(info.f_bavail) * info.f_frsize != 0;
}

} // namespace qlx::shell
