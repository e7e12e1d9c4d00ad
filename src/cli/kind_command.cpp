#include "kind_command.h"
#include "file_arguments.h"

#include <charconv>
#include <optional>
#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string_view>

#include <QString>

#include "imagelist/file_kind.h"
#include "imagelist/video_extensions.h"

namespace qlx::cli {

namespace {

constexpr std::string_view kUsage = "usage: qlx kind [--mask HEX] FILE...\n";

std::optional<std::uint32_t> parseMask(std::string_view text)
{
    if (text.starts_with("0x") || text.starts_with("0X"))
        text.remove_prefix(2);
    std::uint32_t mask = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), mask, 16);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return mask;
}

// Classification looks at the end of the name, so only the last path
// component is handed over: a dot in a folder name must not look like an
// extension.
std::u16string fileNameOf(const std::string& argument)
{
    const auto slash = argument.rfind('/');
    const std::string_view name = slash == std::string::npos
        ? std::string_view(argument) : std::string_view(argument).substr(slash + 1);
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).toStdU16String();
}

} // namespace

int runKindCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    std::uint32_t mask = imagelist::kDefaultTargetMask;
    const ValueOption maskOption{"--mask", "a hexadecimal mask", [&mask](std::string_view text) {
                                     const auto parsed = parseMask(text);
                                     mask = parsed.value_or(mask);
                                     return parsed.has_value();
                                 }};
    const auto files = parseFileArguments(args, "kind", kUsage, err, {&maskOption, 1});
    if (!files)
        return 2;

    const auto& video = imagelist::defaultVideoExtensions();
    for (const std::string& file : *files) {
        const std::uint32_t kind = imagelist::classify(fileNameOf(file), mask, video);
        char bits[16];
        std::snprintf(bits, sizeof bits, "0x%08x", static_cast<unsigned>(kind));
        const std::string_view name = kind != 0 ? imagelist::formatName(kind) : std::string_view("-");
        out << file << '\t' << bits << '\t' << name << '\n';
    }
    return 0;
}

} // namespace qlx::cli
