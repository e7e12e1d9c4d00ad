#pragma once
// Decodes the previews the view shows on a worker thread of its own, so the
// window never waits for a large JPEG.
//
// The window hands in plain requests (the entry's record bytes, its camera
// record, the path and the size the picture must cover) and gets the
// pictures back on the user-interface thread through previewReady. The
// current entry goes first: a request() drops every request not yet started
// and puts the new one at the front; prefetch() queues a neighbour behind
// it. Requests and results of an older folder load (a lower generation
// than the newest one asked for) are dropped. The pictures of the
// read-ahead window are kept (keepOnly() tells which), so that stepping to
// a neighbour answers at once; each comes with the view's histogram of it,
// made on the worker.
//
// One decoder serves one image level: the previews (level 1), or the RAW
// engine's developments for the view (level 2), which take seconds and so
// have a decoder and a worker of their own.
//
// Thread model: request(), prefetch() and stop() are called on the
// user-interface thread, which owns this object. The worker (a
// shell::Worker, started by the first request) sees only the request it
// took from the queue and the placeholder bytes, which never change after
// construction; it holds the queue's mutex only while it takes a request,
// never while it decodes, and never when it ends; it sleeps while the queue
// is empty. It touches no widget and no entry of the image list. A request
// whose decoding throws (no memory for a huge picture) fails like an
// unreadable file; a worker ended by anything else starts again with the
// next request.
//
// A file without a usable embedded preview is developed by the RAW engine
// on the worker, in the browsing quality's mode. A development in work is
// stopped when the view asks for another picture or the folder is left
// (cancel()); a stopped one is answered as Cancelled, no failure, and is
// developed again when it is asked for again.

#include "imagelist/image_entry.h"
#include "imagelist/memory_reserve.h"
#include "metadata/camera_table.h"
#include "raw/cancel_flag.h"
#include "raw/raw_engine.h"
#include "shell/worker.h"

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QtGlobal>

#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace qlx::gui {

struct PreviewRequest {
    quint64 generation = 0;
    int position = -1;
    std::filesystem::path path;
    std::vector<std::byte> entryRecord;  // the entry's record bytes (1,612 or 1,624)
    metadata::CameraRecord camera;
    // The smallest size that will do, in the picture's own orientation;
    // empty: decode at full size.
    QSize cover;
    // 1: the preview (embedded picture or whole file, developed only when
    // there is no usable picture); 2: the RAW engine's development for the
    // view in `developMode`.
    int level = 1;
    raw::DevelopMode developMode = raw::DevelopMode::Quick;

    // A request for `entry`, its path taken from the entry.
    static PreviewRequest forEntry(quint64 generation, int position, const imagelist::ImageEntry& entry,
                                   const metadata::CameraRecord& camera, QSize cover);
};

// A picture for the view, as the decoder answers it.
struct ViewPicture {
    quint64 generation = 0;
    int position = -1;
    int level = 1;
    QImage picture;    // Format_RGB32, the file's own orientation
    // The picture's size at full resolution after the crop: what the view
    // zooms by (a scaled decode or a half-size development is smaller).
    QSize fullSize;
    QImage histogram;  // the view's histogram of it; null when none was made
    bool developed = false; // the RAW engine's picture (the entry's flag 0x80 for a preview)
    QSize cover;       // what it was decoded to cover; empty: full size
};

// Makes the view's histogram of a decoded picture, on the worker.
using HistogramMaker = std::function<QImage(const QImage&)>;

class PreviewDecoder : public QObject {
    Q_OBJECT
public:
    // The most pictures kept, whatever the window: a bound for a window
    // that is never narrowed.
    static constexpr std::size_t kMaxKeptPictures = 40;

    // `placeholder`: the encoded placeholder picture for entries planned
    // for it (makePlaceholderPicture()); `drawingPriority`: the setting's
    // level 0..3 for the worker; `developMode`: the RAW engine's mode for
    // previews; `reserve` (may be null): handed to the engine;
    // `histogram` (may be empty): the view's histogram of each picture.
    PreviewDecoder(const QByteArray& placeholder, int drawingPriority, raw::DevelopMode developMode,
                   imagelist::MemoryReserve* reserve, HistogramMaker histogram = {}, QObject* parent = nullptr);
    ~PreviewDecoder() override; // drops the queue and joins without a pump

    PreviewDecoder(const PreviewDecoder&) = delete;
    PreviewDecoder& operator=(const PreviewDecoder&) = delete;

    // The picture the view needs now; every request not yet started is
    // dropped, and a development for the view (level 2) in work for another
    // picture is stopped.
    void request(PreviewRequest current);
    // The folder is left: what is queued is dropped and a development in
    // work is stopped.
    void cancel();
    // A neighbour, decoded after the current request; nothing when its
    // picture is kept or already asked for.
    void prefetch(PreviewRequest neighbour);
    // Releases the kept pictures of `generation` outside `positions`, and
    // those of older loads; a development in work outside them is stopped.
    void keepOnly(quint64 generation, const std::vector<int>& positions);
    // Releases the whole pictures (decoded at full size for zoom) kept for
    // other entries than the one at `position`.
    void keepWholeOnly(quint64 generation, int position);
    // Releases the kept picture of one entry (its file must be read again).
    void forget(quint64 generation, int position);
    // Whether this entry's picture is asked for and not yet made.
    bool isWorkingOn(quint64 generation, int position);
    // Pictures kept now.
    std::size_t keptCount() const { return m_kept.size(); }
    // Drops what is queued, waits for the picture in work (pumping the
    // window's events) and ends the worker. Requests after this are ignored.
    void stop();

Q_SIGNALS:
    void previewReady(const qlx::gui::ViewPicture& picture);
    // The picture could not be made here: `status` is thumbs::PictureStatus
    // (Failed: the file did not read or decode; DevelopFailed: the RAW
    // engine could not develop it; Cancelled: its development was stopped;
    // NeedsVideoFrame: another worker must make it).
    void previewFailed(quint64 generation, int position, int status);

private:
    struct Result {
        int status = 0;
        ViewPicture picture;
    };

    void enqueue(PreviewRequest request, bool first);
    std::deque<ViewPicture>::iterator findKept(const PreviewRequest& request);
    bool answerFromKept(const PreviewRequest& request);
    void run(const shell::WorkerControl& control);
    std::optional<PreviewRequest> takeNext();
    Result decode(const PreviewRequest& request) const;
    void deliver(const Result& result);

    const std::vector<std::byte> m_placeholder;
    const int m_drawingPriority;
    const raw::DevelopMode m_developMode;
    imagelist::MemoryReserve* const m_reserve;
    const HistogramMaker m_histogram;
    // Stops the development of the request in work; cleared when the worker
    // takes the next one (under m_mutex, as it is requested).
    raw::CancelFlag m_cancel;

    std::mutex m_mutex;
    std::deque<PreviewRequest> m_pending;  // guarded by m_mutex
    // The request in work, so that asking again does not decode it twice.
    std::optional<PreviewRequest> m_working;  // guarded by m_mutex

    // User-interface thread only.
    quint64 m_newestGeneration = 0;
    std::deque<ViewPicture> m_kept;
    bool m_stopped = false;

    shell::Worker m_worker;  // last: its thread ends before the members above go
};

} // namespace qlx::gui

Q_DECLARE_METATYPE(qlx::gui::ViewPicture)
