// Any bytes as a camera or lens table file: unpack and walk the records.
#include "shell/data_tables.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace qlx::shell;
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    for (std::size_t recordSize : {kCameraTable.recordSize, kLensTables[0].recordSize}) {
        const auto table = unpackTable(bytes, recordSize);
        if (!table)
            continue;
        std::size_t sum = 0;
        for (std::size_t i = 0; i < table->recordCount(); ++i)
            sum += std::to_integer<std::size_t>(table->record(i).back());
        (void)sum;
    }
    return 0;
}
