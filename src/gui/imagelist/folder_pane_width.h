#pragma once
// The width the folder pane asks for: held to 64 .. the window's width - 64
// and kept in the settings. The pane's size hint reads it; its sizing bar
// (or a window that places the pane itself) sets it.

#include <QObject>

class QWidget;

namespace qlx::settings {
class SettingsRecord;
}

namespace qlx::gui {

class FolderPaneWidth : public QObject {
    Q_OBJECT
public:
    // Starts from the width in the settings; `pane` is the widget whose
    // window bounds it.
    FolderPaneWidth(settings::SettingsRecord& settings, QWidget& pane);

    int width() const { return m_width; }
    // Clamps `width`, stores it in the settings and reports a change.
    void set(int width);

Q_SIGNALS:
    void changed(int width);

private:
    settings::SettingsRecord& m_settings;
    QWidget& m_pane;
    int m_width = 0;
};

} // namespace qlx::gui
