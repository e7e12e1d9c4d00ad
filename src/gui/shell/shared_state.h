#pragma once
// The process-wide state of the running program that outlives every window:
// the camera and lens tables, the settings record and file,
// and the values start-up derives from them. The Application owns the one
// instance; it is created before any window and destroyed after the last
// (tables first).

#include "actions/target_keys.h"
#include "imagelist/video_extensions.h"
#include "metadata/camera_table.h"
#include "metadata/lens_tables.h"
#include "shell/derived_values.h"
#include "shell/data_tables.h"
#include "shell/settings_file.h"
#include "shell/settings_record.h"
#include "shell/window_title.h"

#include <QByteArray>

#include <array>
#include <filesystem>
#include <memory>
#include <string>

namespace qlx::gui {

struct SharedState {
    // The folder of the executable, known after the own-location check.
    std::filesystem::path programFolder;
    std::unique_ptr<shell::DataTables> tables;
    // The tables read into their searchable forms, once, after loading.
    std::unique_ptr<metadata::CameraTable> cameras;
    std::unique_ptr<metadata::LensTables> lenses;
    std::unique_ptr<settings::SettingsFile> settingsFile;
    settings::SettingsRecord settings;

    // Derived at start-up from the settings.
    int iconScale = 1;
    imagelist::VideoExtensions videoExtensions;

    // Prepared at start-up for the painting code.
    QByteArray placeholderPicture;
    shell::HighlightShades highlightShades;
    std::array<shell::UnitPoint, 9> markerCircle8 = shell::unitCirclePoints<9>();
    std::array<shell::UnitPoint, 17> markerCircle16 = shell::unitCirclePoints<17>();

    // The folder to open at start (command line or settings; empty for none),
    // and whether the command line asked for it.
    std::u16string startFolder;
    bool openRequestedByCommandLine = false;
    // The folder the list shows; saved as the last opened folder.
    std::u16string currentFolder;
    // The collection the list shows in collection mode.
    std::u16string currentCollection;
    shell::ListMode listMode = shell::ListMode::Folder;

    // Which action keys ask before their first run: built at start from
    // the actions, set to "changed" by the registration dialog, cleared as
    // the user answers. Not kept: every start asks again.
    std::array<actions::KeyState, actions::kTargetKeyCount> keyStates{};
};

} // namespace qlx::gui
