#pragma once
// The view's read-ahead: which pictures the preview decoder makes, in which
// order, and which it keeps, each time the current entry changes.
//
// The panes come first (the current entry at the front of the queue, the
// other panes' entries behind it), then the read-ahead window around the
// current entry ring by ring (viewer/prefetch_plan.h); pictures outside the
// window and developments no longer shown are let go. The window's radius
// follows the free memory at each step and shrinks at once when the memory
// reserve is raised.
//
// While the user flips fast (a second step within 150 ms of the one before)
// nothing is read ahead: only the current entry is asked for, the panes
// draw on their quick path, and the whole window is filled once the steps
// pause. Once the user has stayed on an entry a little while, its picture
// is also decoded whole, for zoom; only the current entry's whole picture
// is kept.
//
// Thread model: user-interface thread only. The decoders do their work on
// their own workers; this object only queues requests and releases what
// they keep.

#include "imagelist/memory_reserve.h"
#include "viewer/preview_decoder.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>
#include <vector>

namespace qlx::gui {

class ViewReadAhead : public QObject {
    Q_OBJECT
public:
    // Steps closer together than this count as flipping fast.
    static constexpr int kFlipPauseMs = 150;
    // After this long on one entry its whole picture is decoded as well, so
    // that zooming in finds it ready. Never while the user steps through
    // the pictures: a whole decode of a large picture takes longer than a
    // step and would hold up the read-ahead.
    static constexpr int kWholePictureDelayMs = 400;

    // The request for the entry at a list position, sized for `pane` (−1:
    // a neighbour outside the panes, sized as pane 0); nothing for an
    // entry that has no picture to make (gone, or known not to render).
    using RequestSource = std::function<std::optional<PreviewRequest>(int position, int pane)>;

    struct Settings {
        int readAheadLevel = 2;
    };

    ViewReadAhead(PreviewDecoder& previews, PreviewDecoder& developments, imagelist::MemoryReserve& reserve,
                  RequestSource source, Settings settings, QObject* parent = nullptr);

    struct Place {
        quint64 generation = 0;
        int current = -1;
        int count = 0;
        int panes = 1;
    };

    // The current entry changed (a step), or the panes show other entries.
    void show(const Place& place);
    // The same entries again: fills the window without counting a step.
    void refill();
    // The list is being left: nothing is read ahead until the next show().
    void clear();
    // Memory ran short: the window narrows by one at once.
    void narrow();

    bool flippingFast() const { return m_steps >= 2; }
    int radius() const { return m_radius; }
    const Place& place() const { return m_place; }

Q_SIGNALS:
    // The panes draw on their quick path while true.
    void quickPathChanged(bool on);

private:
    void fill();
    void endOfSteps();
    void readWholePicture();
    std::vector<int> panePositions() const;

    PreviewDecoder& m_previews;
    PreviewDecoder& m_developments;
    imagelist::MemoryReserve& m_reserve;
    const RequestSource m_source;
    const Settings m_settings;

    Place m_place;
    int m_radius = 1;
    int m_steps = 0;
    bool m_quickPath = false;
    QTimer m_pause;
    QTimer m_whole;
};

} // namespace qlx::gui
