#pragma once
// The message that a RAW development failed: "RAW現像に失敗しました。", an
// error box with an OK button, shown at most once per list load. Each folder
// or collection load arms it; the first failed development of that load,
// a list thumbnail's or a view's preview's, disarms it and opens the box. A
// development that was stopped is no failure and never reaches it.
//
// Thread model: user-interface thread only; the workers' failures arrive
// through their owners' queued results.

#include <QObject>

class QWidget;

namespace qlx::gui {

class RawFailureNotice : public QObject {
    Q_OBJECT
public:
    explicit RawFailureNotice(QWidget& window, QObject* parent = nullptr);

    // A list load began: the next failure is told again.
    void arm() { m_armed = true; }
    // A development failed. The box opens from the event loop, not inside
    // the caller, which is merging a worker's results.
    void report();

private:
    QWidget& m_window;
    bool m_armed = false;
};

} // namespace qlx::gui
