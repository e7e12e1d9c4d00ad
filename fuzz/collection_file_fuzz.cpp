// Any bytes as a collection file: decode, list, change, encode again. Must
// never crash, and what is written must read back as the same text.
#include "library/collection.h"
#include "library/collection_file.h"
#include "library/collection_path.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace qlx::library;
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    const std::u16string text = decodeCollectionText(bytes);
    Collection collection(u"fuzz", text);
    if (collection.text() != text || collection.textLength() != text.size())
        __builtin_trap();

    // The listed paths take part in every operation the list performs.
    std::vector<std::u16string> listed;
    for (const auto path : collection.listedPaths()) {
        listed.emplace_back(path);
        (void)samePath(path, listed.front());
        (void)utf16ToUtf8(path);
    }
    collection.append(u"/fuzz/added.jpg");
    if (!listed.empty())
        collection.append(listed.back());
    std::vector<std::u16string> reversed(listed.rbegin(), listed.rend());
    reversed.emplace_back(u"/fuzz/added.jpg");
    collection.keepOrder(reversed);
    if (listed.size() > 1)
        collection.remove(std::span(listed).first(1));

    const std::u16string changed = collection.text();
    // Nothing a collection accepts holds a NUL, so the file is exact.
    if (decodeCollectionText(encodeCollectionText(changed)) != changed)
        __builtin_trap();
    return 0;
}
