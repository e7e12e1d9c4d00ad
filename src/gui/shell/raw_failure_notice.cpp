#include "shell/raw_failure_notice.h"

#include "shell/message_box.h"
#include "shell/program_info.h"
#include "thumbs/thumbs_messages.h"

#include <QTimer>

#include <utility>

namespace qlx::gui {

RawFailureNotice::RawFailureNotice(QWidget& window, QObject* parent) : QObject(parent), m_window(window)
{
}

void RawFailureNotice::report()
{
    if (!std::exchange(m_armed, false))
        return;
    QTimer::singleShot(0, this, [this] {
        showErrorBox(shell::kProductName, thumbs::messages::kRawDevelopmentFailed, &m_window);
    });
}

} // namespace qlx::gui
