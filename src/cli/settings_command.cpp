#include "settings_command.h"

#include "io/file_io.h"
#include "shell/program_info.h"
#include "shell/program_location.h"
#include "shell/settings_defaults.h"
#include "shell/settings_dump.h"
#include "shell/settings_file.h"

#include <filesystem>

namespace qlx::cli {

namespace {

constexpr const char* kUsage =
    "usage: qlx settings dump [FILE | --defaults]\n"
    "  FILE defaults to Quenderluxium.cfg beside the qlx program\n";

std::filesystem::path defaultSettingsPath()
{
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return (error ? std::filesystem::current_path() : self.parent_path()) / settings::kSettingsFileName;
}

} // namespace

int runSettingsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.empty() || args[0] != "dump" || args.size() > 2) {
        err << kUsage;
        return 2;
    }
    settings::SettingsRecord record;
    if (args.size() == 2 && args[1] == "--defaults") {
        settings::applyFirstStartDefaults(record, std::u16string(shell::kProgramVersion));
        settings::applyDefaultsWhenZero(record);
        settings::dumpSettings(record, out);
        return 0;
    }
    if (args.size() == 2 && args[1].starts_with("-")) {
        err << kUsage;
        return 2;
    }
    const std::filesystem::path path = args.size() == 2 ? std::filesystem::path(args[1]) : defaultSettingsPath();
    const auto read = io::readFileCapped(path, settings::kRecordSize);
    if (!read) {
        err << "qlx: cannot read " << path.string() << "\n";
        return 1;
    }
    // Shown as stored, without defaults, whatever its version says.
    io::copyBytes(record.bytes(), 0, read->bytes, 0, read->bytes.size());
    settings::scramble(record.bytes().first(read->bytes.size()));
    out << "file\t" << path.string() << "\n";
    out << "fileSize\t" << read->bytes.size() << (read->truncated ? "+" : "") << "\n";
    out << "versionAccepted\t"
        << (settings::versionAccepted(record.text(settings::kVersion), shell::kProgramVersion) ? 1 : 0) << "\n";
    settings::dumpSettings(record, out);
    return 0;
}

} // namespace qlx::cli
