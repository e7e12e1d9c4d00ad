#include "rename_command.h"

#include "info_command.h"

#include "actions/rename_run.h"
#include "imagelist/image_list.h"
#include "shell/program_info.h"
#include "shell/settings_defaults.h"
#include "shell/settings_file.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <optional>
#include <ostream>

namespace qlx::cli {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUsage =
    "usage: qlx rename [--settings FILE] [--type N] [--prefix-type N] [--prefix TEXT] [--joiner N]\n"
    "                  [--date-joiner N] [--start N] FOLDER\n"
    "       qlx rename [--settings FILE] --replace OLD NEW FOLDER\n";

struct RenameArguments {
    std::optional<fs::path> settingsFile;
    // Overrides of the settings: option name and value.
    std::vector<std::pair<std::string, std::int32_t>> numbers;
    std::optional<std::string> prefix;
    std::optional<std::pair<std::string, std::string>> replace;
    std::optional<fs::path> folder;
};

std::optional<std::int32_t> numberOf(std::string_view text)
{
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0)
        return std::nullopt;
    return value;
}

bool isNumberOption(std::string_view name)
{
    return name == "--type" || name == "--prefix-type" || name == "--joiner" || name == "--date-joiner"
           || name == "--start";
}

std::optional<RenameArguments> parse(const std::vector<std::string>& args, std::ostream& err)
{
    RenameArguments parsed;
    for (std::size_t at = 0; at < args.size(); ++at) {
        const std::string& arg = args[at];
        const bool hasValue = at + 1 < args.size();
        if (arg == "--settings" && hasValue) {
            parsed.settingsFile = args[++at];
        } else if (arg == "--prefix" && hasValue) {
            parsed.prefix = args[++at];
        } else if (arg == "--replace" && at + 2 < args.size()) {
            parsed.replace = std::pair(args[at + 1], args[at + 2]);
            at += 2;
        } else if (isNumberOption(arg) && hasValue) {
            const auto value = numberOf(args[++at]);
            if (!value) {
                err << "qlx rename: " << arg << " needs a number\n" << kUsage;
                return std::nullopt;
            }
            parsed.numbers.emplace_back(arg, *value);
        } else if (!arg.starts_with("--") && !parsed.folder) {
            parsed.folder = arg;
        } else {
            err << "qlx rename: unexpected " << arg << '\n' << kUsage;
            return std::nullopt;
        }
    }
    if (!parsed.folder) {
        err << "qlx rename: no folder named\n" << kUsage;
        return std::nullopt;
    }
    return parsed;
}

std::optional<actions::RenameSettings> settingsOf(const RenameArguments& args, std::ostream& err)
{
    settings::SettingsRecord record;
    const std::u16string version(shell::kProgramVersion);
    if (args.settingsFile) {
        settings::SettingsFile file(*args.settingsFile, version);
        if (!file.load(record).loaded()) {
            err << "qlx rename: cannot use the settings file " << args.settingsFile->string() << '\n';
            return std::nullopt;
        }
    } else {
        settings::applyFirstStartDefaults(record, version);
    }
    settings::applyDefaultsWhenZero(record);
    actions::RenameSettings s = actions::renameSettingsOf(record);
    for (const auto& [name, value] : args.numbers) {
        std::int32_t& field = name == "--type"          ? s.renameType
                              : name == "--prefix-type" ? s.prefixType
                              : name == "--joiner"      ? s.prefixJoiner
                              : name == "--date-joiner" ? s.dateJoiner
                                                        : s.startNumber;
        field = value;
    }
    if (args.prefix) {
        s.prefixText = utf16Of(fs::path(*args.prefix));
        if (!std::any_of(args.numbers.begin(), args.numbers.end(), [](const auto& n) { return n.first == "--prefix-type"; }))
            s.prefixType = actions::kPrefixText;
    }
    if (args.replace) {
        s.oldText = utf16Of(fs::path(args.replace->first));
        s.newText = utf16Of(fs::path(args.replace->second));
    }
    return s;
}

// The listed files of the folder in name order, read as the list reads
// them (dates from Exif, maker and model for the prefix).
void readFolder(const fs::path& folder, imagelist::ImageList& list)
{
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& item : fs::directory_iterator(folder, error))
        if (item.is_regular_file(error))
            files.push_back(fs::absolute(item.path()).lexically_normal());
    std::sort(files.begin(), files.end());
    const MetadataTables tables = loadTablesBesideProgram(LensTablesWanted::No);
    for (const fs::path& file : files) {
        FileRead read = readFile(file, tables, true);
        if (!read.opened || read.entry->kind() == 0)
            continue;
        read.entry->setPresence(imagelist::ImageEntry::kPresenceCounted);
        if (!list.append(std::move(read.entry)))
            break;
    }
    list.resetOrder();
}

} // namespace

int runRenameCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const auto parsed = parse(args, err);
    if (!parsed)
        return 2;
    const auto settings = settingsOf(*parsed, err);
    if (!settings)
        return 2;
    if (!fs::is_directory(*parsed->folder)) {
        err << "qlx rename: " << parsed->folder->string() << " is not a folder\n";
        return 2;
    }
    imagelist::ImageList list;
    readFolder(*parsed->folder, list);
    std::vector<std::size_t> entries(list.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        entries[i] = i;
    const actions::RenameReport report =
        parsed->replace ? actions::replaceRenameEntries(list, entries, *settings)
                        : actions::renameEntries(list, entries, *settings, {.jpegPartners = true});
    for (const actions::RenameEntryResult& result : report.results) {
        if (result.earlier)
            out << utf8Of(result.earlier->newLine) << '\n';
        out << utf8Of(result.logLine) << '\n';
        if (result.result == actions::Result::Failed)
            err << "qlx rename: " << utf8Of(list.entry(result.entry).name()) << ": " << result.reason << '\n';
        if (!result.failureMessage.empty())
            err << "qlx rename: " << utf8Of(result.failureMessage) << '\n';
    }
    return report.allSucceeded() ? 0 : 1;
}

} // namespace qlx::cli
