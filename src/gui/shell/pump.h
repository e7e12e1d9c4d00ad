#pragma once
// The pump of the user-interface thread: whoever stops a worker there
// passes pumpEvents to shell::Worker::stop, which calls it between waits of
// at most 10 ms, so the window keeps painting and the results the worker
// queued are taken while it finishes its item.

namespace qlx::gui {

// Processes the events pending for the calling thread, except the user's
// input and socket notifications (the folder watcher, termination
// signals): a click or a folder change must not start another folder load
// in the middle of the stop that one is waiting for. They wait in the
// queue until the stop is over. Usable as qlx::shell::PumpFunction.
void pumpEvents();

} // namespace qlx::gui
