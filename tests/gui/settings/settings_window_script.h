#pragma once
// What the settings-window tests share: steps that run one after the other
// from a timer while the window and its message boxes wait in their own
// event loops, the steps that open the window from the main menu, answer a
// message box or close the window with "OK", and typing into its controls
// one key event at a time.

#include "settings/settings_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

#include <functional>
#include <vector>

namespace qlx::test {

template <typename T>
T* modal()
{
    auto* widget = qobject_cast<T*>(QApplication::activeModalWidget());
    return widget && widget->isVisible() ? widget : nullptr;
}

// A click that opens a modal window is queued: the next step waits for it.
inline void clickLater(QAbstractButton* button)
{
    QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
}

// Chooses an item of a combo box by typing its text, one key event per
// character (QTest's key names are ASCII only).
inline void type(QComboBox* combo, const QString& text)
{
    combo->setFocus();
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, combo, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, combo, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Replaces what a line edit shows by typed text.
inline void retype(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

inline void retype(QComboBox* combo, const QString& text)
{
    retype(combo->lineEdit(), text);
}

// Steps run one after the other from a timer, each until it says it is
// done, while the windows under test run their own event loops.
class Script : public QObject {
public:
    using Step = std::function<bool()>;
    Script()
    {
        connect(&m_timer, &QTimer::timeout, this, &Script::poll);
        m_timer.start(5);
    }
    Script& then(Step step)
    {
        m_steps.push_back(std::move(step));
        return *this;
    }
    bool finished() const { return m_next == m_steps.size(); }
    std::size_t done() const { return m_next; }

private:
    void poll()
    {
        if (m_busy || finished())
            return;
        m_busy = true;
        if (m_steps[m_next]())
            ++m_next;
        m_busy = false;
    }
    QTimer m_timer;
    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    bool m_busy = false;
};

// A step that chooses `label` in the pop-up menu open now, with Return as
// the keyboard does; it waits while no open menu has it enabled.
inline Script::Step chooseInMenu(const QString& label)
{
    return [label] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return false;
        for (QAction* action : menu->actions()) {
            if (action->text() == label && action->isEnabled()) {
                menu->setActiveAction(action);
                QTimer::singleShot(0, menu, [menu] { QTest::keyClick(menu, Qt::Key_Return); });
                return true;
            }
        }
        return false;
    };
}

// The steps that open the main menu with a right click on a band of the
// tool bars and choose 設定(F9) → `page` in it.
inline Script& openFromMenu(Script& script, QWidget* window, const QString& page)
{
    script.then([window] {
        for (QToolBar* band : window->findChildren<QToolBar*>()) {
            for (QWidget* part : band->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (!band->isVisible() || !part->isVisible())
                    continue;
                const QPoint at = part->rect().center();
                QContextMenuEvent click(QContextMenuEvent::Mouse, at, part->mapToGlobal(at));
                QCoreApplication::sendEvent(part, &click);
                return true;
            }
        }
        return false;
    });
    script.then(chooseInMenu(QStringLiteral("設定(F9)")));
    return script.then(chooseInMenu(page));
}

// Waits until `script` has run to its end and every window it opened is
// closed again; false (with the step it stopped at) when it never does.
inline bool run(Script& script)
{
    const bool finished = QTest::qWaitFor([&] { return script.finished(); }, 20000);
    if (!finished)
        qWarning("stopped at step %zu", script.done());
    return finished && QTest::qWaitFor([] { return !modal<QDialog>(); });
}

// A step that answers the next message box with `answer`, keeping its text.
inline Script::Step answerBox(QStringList& boxes, QMessageBox::StandardButton answer)
{
    return [&boxes, answer] {
        auto* box = modal<QMessageBox>();
        if (!box)
            return false;
        boxes << box->text();
        box->button(answer)->click();
        return true;
    };
}

inline Script::Step closeWithOk()
{
    return [] {
        auto* window = modal<gui::SettingsWindow>();
        if (!window)
            return false;
        clickLater(window->okButton());
        return true;
    };
}

} // namespace qlx::test
