// The built-in functions a key-assignment action runs, by identifier: each
// does what its key or menu command does in the window. Functions whose
// part of the program is not there yet have no entry; the registration
// dialog does not offer them.

#include "shell/browser.h"

#include "actions/action_runner.h"
#include "imagelist/list_pane.h"
#include "shell/command_table.h"
#include "viewer/video_controller.h"

namespace qlx::gui {

namespace {

// Identifiers of the built-in functions (their row in the function table).
enum Function : int {
    kPrevious = 0, kNext = 1, kSwitchScreens = 2, kFullScreen = 3, kDisplayType = 6, kThumbnailSplit = 7,
    kMultiScreen = 8, kFolderTree = 9, kRefresh = 15, kBrowseSelected = 16, kEmptyTrash = 17, kDevelop = 18,
    kLoupe = 19, kCopyInformation = 26, kLatchedZoom = 29, kCheck = 34, kUncheck = 35, kJumpToChecked = 36,
    kInvertChecks = 37, kSelectChecked = 38, kSelectUnchecked = 39, kMediaCalculation = 40,
    kMediaDistribution = 41, kMergeSubfolders = 42, kSettings = 45, kFirstSettingsPage = 55,
    kLastSettingsPage = 70, kHelp = 71, kKeyList = 72, kVersion = 73, kQuit = 74, kFirstScreenSplit = 75,
    kLastScreenSplit = 79, kMoviePlayPause = 88, kMovieForward = 90, kMovieRewind = 91,
};

constexpr int kActionSettingsPage = 8;
constexpr int kRenamePage = 9;
constexpr int kMediaPage = 10;
constexpr int kQuitCommand = 105;
constexpr int kKeyListCommand = 129;
constexpr int kVersionCommand = 132;
constexpr int kHelpCommand = 133;

} // namespace

std::function<void()> Browser::builtinFunction(int identifier)
{
    using shell::ToolKey;
    const auto key = [this](ToolKey tool) { return m_keyActions[static_cast<std::size_t>(tool)]; };
    const auto command = [this](int number) { return [this, number] { runCommand(number); }; };
    switch (identifier) {
    case kPrevious:
    case kNext:
        return [this, identifier] { m_listPane->stepCurrent(identifier == kNext ? 1 : -1); };
    case kSwitchScreens: return key(ToolKey::Enter);
    case kFullScreen: return key(ToolKey::Escape);
    case kDisplayType: return key(ToolKey::Space);
    case kThumbnailSplit: return key(ToolKey::F11);
    case kMultiScreen: return key(ToolKey::F12);
    case kFolderTree: return key(ToolKey::Tab);
    case kRefresh: return key(ToolKey::F5);
    case kBrowseSelected: return command(list_command::kBrowseSelected);
    case kEmptyTrash: return [this] { m_actions->emptyTrash(); };
    case kDevelop: return key(ToolKey::Convert);
    case kLoupe: return key(ToolKey::Underscore);
    case kCopyInformation: return command(list_command::kCopyInformation);
    case kLatchedZoom: return key(ToolKey::Slash);
    case kCheck: return key(ToolKey::F2);
    case kUncheck: return key(ToolKey::F3);
    case kJumpToChecked: return key(ToolKey::F4);
    case kInvertChecks: return command(list_command::kInvertCheckMarks);
    case kSelectChecked: return command(list_command::kSelectChecked);
    case kSelectUnchecked: return command(list_command::kSelectUnchecked);
    case kSettings: return key(ToolKey::F9); // the page shown last
    case kMediaCalculation: return key(ToolKey::F6);
    case kMediaDistribution: return key(ToolKey::F7);
    case kMergeSubfolders: return key(ToolKey::F8);
    case kHelp: return command(kHelpCommand);
    case kKeyList: return command(kKeyListCommand);
    case kVersion: return command(kVersionCommand);
    case kQuit: return command(kQuitCommand);
    case kMoviePlayPause: return [this] { m_video->togglePlayback(); };
    case kMovieForward: return command(VideoController::kStepForwardCommand);
    case kMovieRewind: return command(VideoController::kStepBackCommand);
    default:
        break;
    }
    // Of the settings pages, those the settings window has.
    const int page = identifier - kFirstSettingsPage;
    if (page == kActionSettingsPage || page == kRenamePage || page == kMediaPage)
        return command(shell::command::kFirstSettingsPage + page);
    if (identifier >= kFirstScreenSplit && identifier <= kLastScreenSplit)
        return command(shell::command::kFirstMultiScreen + identifier - kFirstScreenSplit);
    return {};
}

bool Browser::canRunFunction(int identifier)
{
    return static_cast<bool>(builtinFunction(identifier));
}

} // namespace qlx::gui
