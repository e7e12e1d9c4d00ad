#pragma once
// `PumpAndSleep` of the user-interface thread: whoever waits there for a
// worker (Worker::stop, Worker::waitFinished) passes pumpAndSleep as the
// pump, so the window keeps painting and a worker that waits for the
// user-interface thread (a blocking queued call) can finish.

namespace qlx::gui {

// Processes the events pending for the calling thread, then sleeps up to
// `milliseconds`. Usable as qlx::shell::PumpFunction.
void pumpAndSleep(int milliseconds);

} // namespace qlx::gui
