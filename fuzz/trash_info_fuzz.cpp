// Any bytes as a trash info file: parse, and decode the path once more.
#include "actions/trash_info.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace qlx::actions;
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    if (const auto info = parseTrashInfo(bytes))
        (void)decodeTrashPath(info->path);
    (void)decodeTrashPath(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
