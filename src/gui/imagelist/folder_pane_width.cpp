#include "imagelist/folder_pane_width.h"

#include "imagelist/folder_tree.h"
#include "shell/settings_layout.h"
#include "shell/settings_record.h"

#include <QWidget>

namespace qlx::gui {

FolderPaneWidth::FolderPaneWidth(settings::SettingsRecord& settings, QWidget& pane)
    : QObject(&pane)
    , m_settings(settings)
    , m_pane(pane)
{
    set(imagelist::storedFolderPaneWidth(settings.get(settings::kFolderPaneWidth)));
}

void FolderPaneWidth::set(int width)
{
    const QWidget* frame = m_pane.window();
    const int clamped = imagelist::clampFolderPaneWidth(width, frame != &m_pane ? frame->width() : 0);
    m_settings.set(settings::kFolderPaneWidth, static_cast<std::int32_t>(clamped));
    if (clamped == m_width)
        return;
    m_width = clamped;
    Q_EMIT changed(clamped);
}

} // namespace qlx::gui
