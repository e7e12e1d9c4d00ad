#include "viewer/screen_modes.h"

#include "shell/settings_layout.h"
#include "shell/settings_record.h"

namespace qlx::viewer {

namespace {

// The list pane mode as stored: the pane is created showing the main
// screen; another value sends it to the thumbnail screen once at start.
constexpr std::int32_t kMainScreen = 1;
constexpr std::int32_t kThumbnailScreen = 2;

} // namespace

ScreenMode ScreenChoice::mode() const
{
    if (thumbnailScreen)
        return ScreenMode::ListOnly;
    return split ? ScreenMode::Split : ScreenMode::ViewsOnly;
}

ScreenChoice switchScreens(ScreenChoice choice)
{
    choice.thumbnailScreen = !choice.thumbnailScreen;
    return choice;
}

ScreenChoice toggleSplit(ScreenChoice choice)
{
    choice.split = choice.thumbnailScreen || !choice.split;
    choice.thumbnailScreen = false;
    return choice;
}

ScreenChoice nextSplitPosition(ScreenChoice choice)
{
    const int next = (static_cast<int>(choice.position) + 1) % (static_cast<int>(SplitPosition::ListLeft) + 1);
    choice.position = static_cast<SplitPosition>(next);
    choice.split = true;
    choice.thumbnailScreen = false;
    return choice;
}

ScreenChoice storedScreenChoice(const settings::SettingsRecord& record)
{
    ScreenChoice choice;
    choice.thumbnailScreen = record.get(settings::kListPaneMode) != kMainScreen;
    choice.split = record.get(settings::kThumbnailSplitOff) == 0;
    choice.position = splitPositionFromSetting(record.get(settings::kSplitPosition));
    return choice;
}

void storeScreenChoice(settings::SettingsRecord& record, const ScreenChoice& choice)
{
    record.set(settings::kListPaneMode, choice.thumbnailScreen ? kThumbnailScreen : kMainScreen);
    record.set(settings::kThumbnailSplitOff, static_cast<std::uint8_t>(choice.split ? 0 : 1));
    record.set(settings::kSplitPosition, static_cast<std::int32_t>(choice.position));
}

} // namespace qlx::viewer
