#pragma once
// Times what the user waits for in the view: from each step to another
// picture until its pane first paints and until it paints sharp (the
// decoded picture, not the list thumbnail or the quick path), and from the
// start of zooming until the zoomed pane paints from the whole picture.
// Switched on by the environment variable QLX_VIEW_LOG=<file>; each event
// appends one line, tab-separated:
//   step  POSITION  FIRST_MS  SHARP_MS  hit|miss
//   step  POSITION  FIRST_MS|-  -  passed
//   zoom  POSITION  FIRST_MS  SHARP_MS
//   video ENTRY  FIRST_FRAME_MS      (from opening a clip to its first frame)
// A step is a hit when its first paint was already sharp: the read-ahead
// had the picture. A step the user passed before it painted sharp is
// "passed", with its first paint's time if it had one (the quick path). Off, it is never created and costs nothing.
//
// Thread model: user-interface thread only.

#include <QElapsedTimer>
#include <QFile>

#include <memory>

namespace qlx::gui {

class ViewTimingLog {
public:
    // Null when the environment does not ask for it.
    static std::unique_ptr<ViewTimingLog> createIfRequested();

    // The current entry became `position`.
    void stepped(int position);
    // Zooming (or the loupe) started on the entry at `position`.
    void zoomStarted(int position);
    // The pane of the entry at `position` painted: `sharp` from its decoded
    // picture, `whole` from the picture at full resolution while zoomed.
    void painted(int position, bool sharp, bool zoomedWhole);

    // A clip of the list's entry `entry` is being opened for playback; its
    // first frame arrived.
    void videoOpening(int entry);
    void videoFramed(int entry);

private:
    explicit ViewTimingLog(const QString& path);
    struct Pending {
        bool active = false;
        int position = -1;
        qint64 startNs = 0;
        qint64 firstNs = -1;
        bool firstSharp = false;
    };
    void write(const QByteArray& line);

    QFile m_file;
    QElapsedTimer m_clock;
    Pending m_step;
    Pending m_zoom;
    Pending m_video;
};

} // namespace qlx::gui
