#pragma once
// Holds back the application's key and mouse input while a long operation
// runs on the user-interface thread and lets events through between its
// steps, noting whether Escape was pressed so that the operation can ask
// whether to stop. The questions the operation asks run as modal boxes and
// get their input as usual.
//
// GUI thread only; one at a time.

#include <QObject>

namespace qlx::gui {

class InputHold : public QObject {
public:
    InputHold();
    ~InputHold() override;
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

    // Lets pending events through (not the folder watcher's: a reload must
    // not free the entries under the operation) and answers whether Escape
    // was pressed since the last call.
    bool escapePressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_pressed = false;
};

} // namespace qlx::gui
