#include "viewer/preview_decoder.h"

#include "cache/cache_name.h"
#include "io/file_source.h"
#include "shell/pump.h"
#include "thumbs/preview_loader.h"

#include <QMetaObject>

#include <algorithm>
#include <utility>

namespace qlx::gui {
namespace {

std::vector<std::byte> bytesOf(const QByteArray& bytes)
{
    const auto* data = reinterpret_cast<const std::byte*>(bytes.constData());
    return {data, data + bytes.size()};
}

// A picture decoded to cover `kept` will do for `asked`: it was decoded
// whole, or at least as large as asked.
bool covers(QSize kept, QSize asked)
{
    if (kept.isEmpty())
        return true;
    return !asked.isEmpty() && kept.width() >= asked.width() && kept.height() >= asked.height();
}

bool sameRequest(const PreviewRequest& a, const PreviewRequest& b)
{
    return a.generation == b.generation && a.position == b.position && a.cover == b.cover && a.level == b.level;
}

} // namespace

PreviewRequest PreviewRequest::forEntry(quint64 generation, int position, const imagelist::ImageEntry& entry,
                                        const metadata::CameraRecord& camera, QSize cover)
{
    PreviewRequest request;
    request.generation = generation;
    request.position = position;
    request.path = cache::pathFromUtf16(entry.path());
    const auto record = entry.recordBytes();
    request.entryRecord.assign(record.begin(), record.end());
    request.camera = camera;
    request.cover = cover;
    return request;
}

PreviewDecoder::PreviewDecoder(const QByteArray& placeholder, int drawingPriority, raw::DevelopMode developMode,
                               imagelist::MemoryReserve* reserve, HistogramMaker histogram, QObject* parent)
    : QObject(parent), m_placeholder(bytesOf(placeholder)), m_drawingPriority(drawingPriority),
      m_developMode(developMode), m_reserve(reserve), m_histogram(std::move(histogram))
{
}

PreviewDecoder::~PreviewDecoder()
{
    cancel();
    m_worker.stop();
}

void PreviewDecoder::cancel()
{
    const std::lock_guard lock(m_mutex);
    m_pending.clear();
    m_cancel.request();
}

void PreviewDecoder::request(PreviewRequest current)
{
    enqueue(std::move(current), true);
}

void PreviewDecoder::prefetch(PreviewRequest neighbour)
{
    enqueue(std::move(neighbour), false);
}

void PreviewDecoder::keepOnly(quint64 generation, const std::vector<int>& positions)
{
    {
        // A picture in work that will not be kept is stopped where it can
        // be (a development); a decode runs out and is dropped.
        const std::lock_guard lock(m_mutex);
        if (m_working
            && (m_working->generation != generation
                || std::find(positions.begin(), positions.end(), m_working->position) == positions.end()))
            m_cancel.request();
    }
    std::erase_if(m_kept, [&](const ViewPicture& kept) {
        return kept.generation != generation
            || std::find(positions.begin(), positions.end(), kept.position) == positions.end();
    });
}

void PreviewDecoder::keepWholeOnly(quint64 generation, int position)
{
    std::erase_if(m_kept, [&](const ViewPicture& kept) {
        return kept.cover.isEmpty() && !kept.developed && (kept.generation != generation || kept.position != position);
    });
}

void PreviewDecoder::forget(quint64 generation, int position)
{
    std::erase_if(m_kept, [&](const ViewPicture& kept) {
        return kept.generation == generation && kept.position == position;
    });
}

bool PreviewDecoder::isWorkingOn(quint64 generation, int position)
{
    const std::lock_guard lock(m_mutex);
    const auto same = [&](const PreviewRequest& r) { return r.generation == generation && r.position == position; };
    return (m_working && same(*m_working) && !m_cancel.requested()) || std::any_of(m_pending.begin(), m_pending.end(), same);
}

void PreviewDecoder::enqueue(PreviewRequest request, bool first)
{
    // A request of an older folder load could only be answered to be
    // dropped.
    if (m_stopped || request.generation < m_newestGeneration)
        return;
    if (request.generation > m_newestGeneration) {
        m_newestGeneration = request.generation;
        // Pictures of an older folder load will never be asked for again.
        m_kept.clear();
    }
    // The first request starts the worker; so does the next one after a
    // worker that something unforeseen ended (what it had in work is gone).
    if (m_worker.state() == shell::WorkerState::Finished) {
        {
            const std::lock_guard lock(m_mutex);
            m_working.reset();
        }
        m_worker.start([this](const shell::WorkerControl& control) { run(control); }, m_drawingPriority);
    }
    // A kept picture answers the current request; a neighbour's needs
    // nothing more.
    const bool kept = first ? answerFromKept(request) : findKept(request) != m_kept.end();
    {
        const std::lock_guard lock(m_mutex);
        // A request in work that was stopped will bring no picture: asked
        // again (a neighbour pane after the current one), it is queued anew.
        const bool working = m_working && sameRequest(*m_working, request) && !m_cancel.requested();
        if (first) {
            m_pending.clear();
            // The view moved on: a development for the picture it left is
            // of no use now, and the new one would wait for it. A preview
            // in work may be a neighbour the read-ahead still wants; it is
            // stopped by keepOnly() when it is not.
            if (m_working && m_working->level == 2 && !sameRequest(*m_working, request))
                m_cancel.request();
        }
        const bool queued = std::any_of(m_pending.begin(), m_pending.end(),
                                        [&](const PreviewRequest& p) { return sameRequest(p, request); });
        if (kept || queued || working)
            return;
        if (first)
            m_pending.push_front(std::move(request));
        else
            m_pending.push_back(std::move(request));
    }
    m_worker.wake();
}

std::deque<ViewPicture>::iterator PreviewDecoder::findKept(const PreviewRequest& request)
{
    return std::find_if(m_kept.begin(), m_kept.end(), [&](const ViewPicture& kept) {
        return kept.generation == request.generation && kept.position == request.position
            && kept.level == request.level && covers(kept.cover, request.cover);
    });
}

bool PreviewDecoder::answerFromKept(const PreviewRequest& request)
{
    const auto found = findKept(request);
    if (found == m_kept.end())
        return false;
    // Answered as a decoded picture is: later, from the event loop, so the
    // caller sees the same order of events either way.
    Result result{static_cast<int>(thumbs::PictureStatus::Made), *found};
    QMetaObject::invokeMethod(this, [this, result = std::move(result)] { deliver(result); }, Qt::QueuedConnection);
    return true;
}

void PreviewDecoder::stop()
{
    cancel();
    m_stopped = true;
    m_worker.stop(pumpEvents);
}

void PreviewDecoder::run(const shell::WorkerControl& control)
{
    while (!control.stopRequested()) {
        std::optional<PreviewRequest> next = takeNext();
        if (!next) {
            control.waitForWork();
            continue;
        }
        Result result = decode(*next);
        QMetaObject::invokeMethod(this, [this, result = std::move(result)] { deliver(result); },
                                  Qt::QueuedConnection);
    }
}

std::optional<PreviewRequest> PreviewDecoder::takeNext()
{
    const std::lock_guard lock(m_mutex);
    m_working.reset();
    if (m_pending.empty())
        return std::nullopt;
    PreviewRequest next = std::move(m_pending.front());
    m_pending.pop_front();
    m_working = next;
    m_cancel.clear();
    // The copy in m_working needs no record bytes: it is compared by
    // generation, position and cover only.
    m_working->entryRecord.clear();
    return next;
}

PreviewDecoder::Result PreviewDecoder::decode(const PreviewRequest& request) const
{
    Result result;
    ViewPicture& answer = result.picture;
    answer.generation = request.generation;
    answer.position = request.position;
    answer.level = request.level;
    answer.cover = request.cover;
    result.status = static_cast<int>(thumbs::PictureStatus::Failed);
    // A picture too large for memory is a preview that failed, and the
    // worker goes on with the next request.
    try {
        const auto entry = imagelist::ImageEntry::fromCacheRecord(request.entryRecord);
        if (!entry)
            return result;
        const thumbs::EngineAccess engine{request.path, &m_cancel, m_reserve};
        thumbs::PreviewResult loaded;
        if (request.level == 2) {
            loaded = thumbs::developForView(request.camera, engine, request.developMode);
        } else {
            io::PosixFileSource file(request.path);
            loaded = thumbs::loadPreview(file, *entry, request.camera, m_placeholder, request.cover, &engine,
                                         m_developMode);
        }
        result.status = static_cast<int>(loaded.status);
        // A decode stopped half-way is no failure of the file.
        if (loaded.status != thumbs::PictureStatus::Made && m_cancel.requested())
            result.status = static_cast<int>(thumbs::PictureStatus::Cancelled);
        answer.picture = std::move(loaded.preview.picture);
        answer.fullSize = loaded.preview.fullSize;
        answer.developed = loaded.developed;
        // A development is whole whatever was asked.
        if (loaded.developed)
            answer.cover = {};
        // A whole picture decoded for zoom has the histogram of its fitted
        // decode already; a development gets its own.
        if (m_histogram && !answer.picture.isNull() && (!request.cover.isEmpty() || answer.developed))
            answer.histogram = m_histogram(answer.picture);
    } catch (...) {
        result.status = static_cast<int>(thumbs::PictureStatus::Failed);
        answer.picture = QImage();
        answer.histogram = QImage();
    }
    return result;
}

void PreviewDecoder::deliver(const Result& result)
{
    const ViewPicture& picture = result.picture;
    if (picture.generation < m_newestGeneration)
        return;
    if (result.status != static_cast<int>(thumbs::PictureStatus::Made) || picture.picture.isNull()) {
        Q_EMIT previewFailed(picture.generation, picture.position, result.status);
        return;
    }
    // A whole picture is kept beside the fitted one: it is let go as soon
    // as its entry is no longer the current one (keepWholeOnly).
    std::erase_if(m_kept, [&](const ViewPicture& kept) {
        return kept.generation == picture.generation && kept.position == picture.position
            && kept.level == picture.level && kept.cover.isEmpty() == picture.cover.isEmpty();
    });
    m_kept.push_back(picture);
    while (m_kept.size() > kMaxKeptPictures)
        m_kept.pop_front();
    Q_EMIT previewReady(picture);
}

} // namespace qlx::gui
