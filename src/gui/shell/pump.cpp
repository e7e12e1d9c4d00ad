#include "shell/pump.h"

#include <QCoreApplication>
#include <QThread>

namespace qlx::gui {

void pumpAndSleep(int milliseconds)
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (milliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(milliseconds));
}

} // namespace qlx::gui
