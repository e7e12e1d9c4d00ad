#include "shell/settings_startup.h"

#include "shell/settings_defaults.h"

namespace qlx::settings {

StartupSettings loadSettingsAtStartup(SettingsFile& file, SettingsRecord& record,
                                      const std::function<bool()>& askRecovery)
{
    StartupSettings result;
    const LoadResult loaded = file.load(record);
    result.status = loaded.status;
    if (loaded.loaded()) {
        if (!loaded.askRecovery) {
            result.startFolder = record.text(kLastOpenedFolder);
        } else {
            result.askedRecovery = true;
            if (askRecovery && askRecovery())
                result.startFolder = record.text(kLastOpenedFolder);
        }
    } else {
        applyFirstStartDefaults(record, file.programVersion());
    }
    applyDefaultsWhenZero(record);
    return result;
}

bool saveAtNormalExit(SettingsFile& file, SettingsRecord& record)
{
    record.set(kNormalExit, std::uint8_t{1});
    return file.save(record);
}

} // namespace qlx::settings
