#pragma once
// The keys of the actions: a letter, a digit of the main keyboard or the
// middle, X1 or X2 mouse button pressed in the main window runs the action
// bound to it. Before an action's first run since start the program asks
// (the first-use question, with a way into the action settings), an action
// whose folder is chosen when it runs asks for it, and then the action
// runs (actions/action_runner.h) or, for a key assignment, the built-in
// function runs.
//
// Keys are taken only when the main window has the input: never while one
// of the program's modal dialogs or a menu is open, nor while the user
// types into a text field. A key no enabled action is bound to keeps its
// usual meaning.
//
// GUI thread only.

#include <QObject>

#include <cstddef>
#include <cstdint>
#include <functional>

class QWidget;

namespace qlx::gui {

class ActionRunner;
struct SharedState;

class ActionKeys : public QObject {
    Q_OBJECT
public:
    struct Surroundings {
        SharedState& state;
        ActionRunner& runner;
        QWidget& window;
        // Whether a picture is targeted: the list has entries and a current
        // one, and the list has the focus or the main view shows it.
        std::function<bool()> imageTargeted;
        // Opens the settings window on a page.
        std::function<void(int page)> openSettings;
        // The run-time path dialog for the action at a position: false when
        // it was closed without OK.
        std::function<bool(std::size_t position)> askRunTimePath;
        // Runs built-in function `identifier` of a key assignment.
        std::function<void(int identifier)> runFunction;
    };

    ActionKeys(Surroundings surroundings, QObject* parent = nullptr);
    ~ActionKeys() override;

    // Target key `key` (1 … 39) was pressed; `autoRepeat` for the repeats
    // of a held key. True when an enabled action is bound to it (the press
    // is the action's, whatever came of it).
    bool press(std::int32_t key, bool autoRepeat);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool takesInput(QObject* watched) const;
    // The first-use question; true when the action may run now.
    enum class Confirmation { Run, Stop, SettingsOpened };
    Confirmation confirm(std::size_t position);

    Surroundings m_s;
};

} // namespace qlx::gui
