#include "shell/input_hold.h"

#include <QApplication>
#include <QKeyEvent>

#include <utility>

namespace qlx::gui {

InputHold::InputHold()
{
    qApp->installEventFilter(this);
}

InputHold::~InputHold()
{
    qApp->removeEventFilter(this);
}

bool InputHold::escapePressed()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
    return std::exchange(m_pressed, false);
}

bool InputHold::eventFilter(QObject* /*watched*/, QEvent* event)
{
    if (QApplication::activeModalWidget() != nullptr)
        return false;
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Accepted, so that no shortcut of the window (Escape's full
        // screen among them) takes the key: it comes as a key press, and
        // is held back there.
        event->accept();
        return true;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            m_pressed = true;
        return true;
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace qlx::gui
