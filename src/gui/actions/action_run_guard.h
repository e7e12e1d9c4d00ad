#pragma once
// What a run of an action holds for its length: the list controller's
// blocking operation (no load frees the entries under the run, the folder
// watcher waits), the runner's own "running" flag, and the wait cursor.
//
// GUI thread only.

#include "imagelist/list_controller.h"

#include <QCursor>
#include <QGuiApplication>

namespace qlx::gui {

class RunGuard {
public:
    // `renamedInPlace`, when given, is cleared now; a run that sets it
    // (a file took another name or changed in its folder) ends by letting
    // the folder's changes go: they are the run's own, already in the list.
    RunGuard(ListController& controller, bool& running, bool* renamedInPlace = nullptr)
        : m_controller(controller), m_running(running), m_renamedInPlace(renamedInPlace)
    {
        m_controller.beginBlockingOperation();
        m_running = true;
        if (m_renamedInPlace)
            *m_renamedInPlace = false;
    }
    ~RunGuard()
    {
        m_running = false;
        if (m_renamedInPlace && *m_renamedInPlace)
            m_controller.dropOwnRenames();
        m_controller.endBlockingOperation();
    }
    RunGuard(const RunGuard&) = delete;
    RunGuard& operator=(const RunGuard&) = delete;

private:
    ListController& m_controller;
    bool& m_running;
    bool* m_renamedInPlace;
};

class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace qlx::gui
