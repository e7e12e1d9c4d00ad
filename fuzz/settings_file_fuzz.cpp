// Any bytes as a settings file: load, defaults, dump. Must never crash or
// read outside the record.
#include "shell/settings_defaults.h"
#include "shell/settings_dump.h"
#include "shell/settings_file.h"

#include <cstdint>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace qlx::settings;
    static SettingsRecord record;
    SettingsFile file("/nonexistent/Quenderluxium.cfg", u"5.96");
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    const auto result = file.loadFromBytes(bytes, record);
    if (!result.loaded())
        applyFirstStartDefaults(record, u"5.96");
    applyDefaultsWhenZero(record);
    std::ostringstream out;
    dumpSettings(record, out);
    return 0;
}
