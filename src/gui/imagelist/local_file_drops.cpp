#include "imagelist/local_file_drops.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace qlx::gui {

namespace {

QStringList localFiles(const QMimeData* data)
{
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}

} // namespace

LocalFileDrops::LocalFileDrops(QWidget& target) : QObject(&target)
{
    target.setAcceptDrops(true);
    target.installEventFilter(this);
}

bool LocalFileDrops::eventFilter(QObject* /*watched*/, QEvent* event)
{
    if (event->type() != QEvent::DragEnter && event->type() != QEvent::Drop)
        return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const QStringList paths = localFiles(drop->mimeData());
    if (paths.isEmpty())
        return false;
    drop->acceptProposedAction();
    if (event->type() == QEvent::Drop)
        Q_EMIT dropped(paths);
    return true;
}

} // namespace qlx::gui
