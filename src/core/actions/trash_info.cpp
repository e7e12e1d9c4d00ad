#include "actions/trash_info.h"

#include <array>

namespace qlx::actions {

namespace {

constexpr std::string_view kGroup = "[Trash Info]";
constexpr std::string_view kPathKey = "Path=";
constexpr std::string_view kDateKey = "DeletionDate=";

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool allDigits(std::string_view text)
{
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return !text.empty();
}

// "YYYY-MM-DDThh:mm:ss" (a fraction or zone after it, as some writers add,
// is ignored) as YYYYMMDDhhmmss.
std::optional<std::uint64_t> parseDate(std::string_view text)
{
    if (text.size() < 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':'
        || text[16] != ':')
        return std::nullopt;
    constexpr std::array<std::pair<std::size_t, std::size_t>, 6> kParts{
        {{0, 4}, {5, 2}, {8, 2}, {11, 2}, {14, 2}, {17, 2}}};
    std::uint64_t value = 0;
    for (const auto& [at, length] : kParts) {
        const std::string_view digits = text.substr(at, length);
        if (!allDigits(digits))
            return std::nullopt;
        for (const char c : digits)
            value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

// Splits off the next line ("\n" or "\r\n" ended, or the rest).
std::string_view nextLine(std::string_view& rest)
{
    const std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

} // namespace

std::optional<std::string> decodeTrashPath(std::string_view encoded)
{
    std::string decoded;
    decoded.reserve(encoded.size());
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        char c = encoded[i];
        if (c == '%') {
            if (i + 2 >= encoded.size())
                return std::nullopt;
            const int high = hexValue(encoded[i + 1]);
            const int low = hexValue(encoded[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            c = static_cast<char>(high * 16 + low);
            i += 2;
        }
        // A path with a NUL byte names no file; a C call would cut it.
        if (c == '\0')
            return std::nullopt;
        decoded.push_back(c);
    }
    return decoded;
}

std::optional<TrashInfo> parseTrashInfo(std::span<const std::byte> bytes)
{
    if (bytes.size() > kMaxTrashInfoSize)
        return std::nullopt;
    std::string_view rest(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    bool inGroup = false;
    std::optional<std::string> path;
    std::optional<std::uint64_t> date;
    while (!rest.empty()) {
        const std::string_view line = nextLine(rest);
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            inGroup = line == kGroup;
            continue;
        }
        if (!inGroup)
            continue;
        // A key given twice leaves its meaning open: the entry is not used.
        if (line.starts_with(kPathKey)) {
            if (path)
                return std::nullopt;
            path = decodeTrashPath(line.substr(kPathKey.size()));
            if (!path || path->empty())
                return std::nullopt;
        } else if (line.starts_with(kDateKey)) {
            if (date)
                return std::nullopt;
            date = parseDate(line.substr(kDateKey.size()));
            if (!date)
                return std::nullopt;
        }
    }
    if (!path || !date)
        return std::nullopt;
    return TrashInfo{std::move(*path), *date};
}

} // namespace qlx::actions
