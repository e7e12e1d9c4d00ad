#include "shell/pump.h"

#include <QCoreApplication>

namespace qlx::gui {

void pumpEvents()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
}

} // namespace qlx::gui
