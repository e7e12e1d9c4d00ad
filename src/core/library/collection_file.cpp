#include "library/collection_file.h"

#include <algorithm>

#include "io/byte_reader.h"
#include "io/file_io.h"
#include "library/collection_path.h"

namespace qlx::library {

std::u16string decodeCollectionText(std::span<const std::byte> bytes)
{
    io::ByteReader reader(bytes, io::ByteOrder::Little);
    std::u16string text;
    text.reserve(bytes.size() / 2);
    // An odd last byte is no character and is left out.
    while (reader.remaining() >= 2) {
        const std::uint16_t unit = reader.u16();
        if (unit == 0)
            break;
        text.push_back(static_cast<char16_t>(unit));
    }
    return text;
}

std::vector<std::byte> encodeCollectionText(std::u16string_view text)
{
    std::vector<std::byte> bytes;
    if (text.empty())
        return bytes;
    bytes.reserve((text.size() + 1) * 2);
    auto put = [&bytes](char16_t unit) {
        bytes.push_back(static_cast<std::byte>(unit & 0xFF));
        bytes.push_back(static_cast<std::byte>(unit >> 8));
    };
    for (const char16_t unit : text)
        put(unit);
    put(u'\0');
    return bytes;
}

CollectionFileContent readCollectionFile(const std::filesystem::path& file, std::size_t cap)
{
    CollectionFileContent content;
    cap = std::min(cap, kMaxCollectionFileBytes);
    // A file known to be too big is not read at all; the capped read below
    // still catches one that grows while it is read.
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (!error && size > cap) {
        content.status = CollectionReadStatus::TooLarge;
        return content;
    }
    const auto read = io::readFileCapped(file, cap);
    if (!read) {
        content.status = CollectionReadStatus::Unreadable;
        return content;
    }
    if (read->truncated) {
        content.status = CollectionReadStatus::TooLarge;
        return content;
    }
    content.status = CollectionReadStatus::Read;
    content.text = decodeCollectionText(read->bytes);
    return content;
}

bool writeCollectionFile(const std::filesystem::path& file, std::u16string_view text, std::string* error)
{
    const std::vector<std::byte> bytes = encodeCollectionText(text);
    return io::writeFileAtomically(file, bytes, error);
}

std::optional<std::filesystem::path> collectionFileName(std::u16string_view name)
{
    if (name.empty() || name.find(u'/') != std::u16string_view::npos)
        return std::nullopt;
    std::u16string fileName(name);
    fileName += kCollectionExtension;
    return toFilePath(fileName);
}

std::optional<std::u16string> collectionNameOfFile(const std::filesystem::path& fileName)
{
    const std::string& bytes = fileName.native();
    constexpr std::string_view kExtension = ".co";
    if (bytes.size() <= kExtension.size() || !bytes.ends_with(kExtension))
        return std::nullopt;
    return utf8ToUtf16(std::string_view(bytes).substr(0, bytes.size() - kExtension.size()));
}

} // namespace qlx::library
