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
    RunGuard(ListController& controller, bool& running) : m_controller(controller), m_running(running)
    {
        m_controller.beginBlockingOperation();
        m_running = true;
    }
    ~RunGuard()
    {
        m_running = false;
        m_controller.endBlockingOperation();
    }
    RunGuard(const RunGuard&) = delete;
    RunGuard& operator=(const RunGuard&) = delete;

private:
    ListController& m_controller;
    bool& m_running;
};

class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace qlx::gui
