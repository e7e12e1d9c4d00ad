#pragma once
// The main window: for now the empty frame that the panes will fill. It
// shows the caption in its three forms and hands every close request to
// whoever runs the close sequence (the Application); it decides nothing
// itself.

#include "shell/window_placement.h"
#include "shell/window_title.h"

#include <QMainWindow>

#include <string_view>

namespace qlx::gui {

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    // Moves and sizes the window (frame position, contents size).
    void applyPlacement(const WindowPlacement& placement);

    // The caption: "<prefix>Quenderluxium Ver5.96 - <folder> " in folder mode
    // with a folder, "... - コレクション [ <name> ]" in collection mode with a
    // name, "<prefix>Quenderluxium Ver5.96" otherwise.
    void showTitle(std::u16string_view prefix, shell::ListMode mode, std::u16string_view folder,
                   std::u16string_view collection);

Q_SIGNALS:
    // Every close request (the window's close button, close(), the session
    // ending) arrives here once per event; the receiver guards against
    // running its sequence twice. Emitted before the window is hidden, so
    // the receiver still sees the window's state and placement.
    void closeRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
};

} // namespace qlx::gui
