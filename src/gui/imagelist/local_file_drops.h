#pragma once
// Makes a widget a drop target for files dragged from other programs: a
// drag that carries at least one local file is accepted, and a drop hands
// on the full paths of its local files (other URLs are left out).

#include <QObject>
#include <QStringList>

class QWidget;

namespace qlx::gui {

class LocalFileDrops : public QObject {
    Q_OBJECT
public:
    // Watches `target`'s drag-and-drop events; the target owns the watcher.
    explicit LocalFileDrops(QWidget& target);

Q_SIGNALS:
    void dropped(const QStringList& paths);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace qlx::gui
