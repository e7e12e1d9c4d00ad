#pragma once
// The settings part of start-up: load the file or fall back to the first
// start defaults, ask the recovery question when the last run did not end
// normally, then the defaults-when-zero pass.

#include "shell/settings_file.h"

#include <functional>
#include <string>

namespace qlx::settings {

struct StartupSettings {
    LoadStatus status = LoadStatus::Missing;
    bool askedRecovery = false;
    // The folder to open: the last opened folder after a normal exit, or
    // after a Yes to the recovery question; empty otherwise.
    std::u16string startFolder;
};

// `askRecovery` shows the question and returns true for Yes.
StartupSettings loadSettingsAtStartup(SettingsFile& file, SettingsRecord& record,
                                      const std::function<bool()>& askRecovery);

// The close sequence's part: set the normal-exit flag, then save.
bool saveAtNormalExit(SettingsFile& file, SettingsRecord& record);

} // namespace qlx::settings
