#include "shell/main_window.h"

#include "shell/qt_text.h"

#include <QCloseEvent>
#include <QLayout>

namespace qlx::gui {

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(toQString(shell::initialWindowTitle()));
    // The panes come later; the frame needs a central widget to be a frame.
    auto* centre = new QWidget(this);
    centre->setObjectName(QStringLiteral("centre"));
    setCentralWidget(centre);
    // The window keeps the size it is given down to 43 × 100, whatever its
    // bars and panes would like: what does not fit is cut, as the rebar's
    // bands fold away.
    if (QLayout* frame = layout())
        frame->setSizeConstraint(QLayout::SetNoConstraint);
}

void MainWindow::applyPlacement(const WindowPlacement& placement)
{
    move(placement.left, placement.top);
    resize(placement.width, placement.height);
}

void MainWindow::showTitle(std::u16string_view prefix, shell::ListMode mode, std::u16string_view folder,
                           std::u16string_view collection)
{
    setWindowTitle(toQString(shell::windowTitle(prefix, mode, folder, collection)));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    Q_EMIT closeRequested();
    event->accept();
}

} // namespace qlx::gui
