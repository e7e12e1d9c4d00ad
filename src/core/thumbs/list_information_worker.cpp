#include "thumbs/list_information_worker.h"

#include "imagelist/file_kind.h"
#include "thumbs/visit_order.h"

#include <algorithm>

namespace qlx::thumbs {

using imagelist::ImageEntry;

ListInformationWorker::ListInformationWorker(ListInformationTables tables, ListInformationSettings settings,
                                             int drawingPriority, imagelist::MemoryReserve* reserve,
                                             std::function<void()> resultsWaiting)
    : m_tables(tables), m_settings(settings), m_drawingPriority(drawingPriority), m_reserve(reserve),
      m_resultsWaiting(std::move(resultsWaiting))
{
}

ListInformationWorker::~ListInformationWorker()
{
    m_cancel.request();
    m_worker.stop();
}

void ListInformationWorker::start(InformationPass pass)
{
    m_cancel.request();
    m_worker.stop();
    m_cancel.clear();
    {
        const std::lock_guard lock(m_mutex);
        m_results.clear();
    }
    m_focus = -1;
    m_visited = 0;
    std::size_t count = 0;
    for (const auto& job : pass.jobs)
        count += job ? 1 : 0;
    m_toVisit = count;
    // A std::function must be copyable; the pass (jobs held by unique_ptr)
    // travels in a shared one that only the thread touches.
    auto moved = std::make_shared<InformationPass>(std::move(pass));
    m_worker.start([this, moved](const shell::WorkerControl& control) { run(control, *moved); }, m_drawingPriority,
                   m_resultsWaiting);
}

void ListInformationWorker::stop(const shell::PumpFunction& pump)
{
    m_cancel.request();
    m_worker.stop(pump);
}

void ListInformationWorker::focusMoved(std::size_t position)
{
    m_focus = static_cast<std::int64_t>(position);
}

std::vector<InformationResult> ListInformationWorker::takeResults()
{
    const std::lock_guard lock(m_mutex);
    std::vector<InformationResult> out;
    out.swap(m_results);
    return out;
}

void ListInformationWorker::run(const shell::WorkerControl& control, InformationPass& pass)
{
    VisitOrder order(pass.jobs.size(), pass.start, pass.alternating);
    for (std::size_t position = 0; position < pass.jobs.size(); ++position)
        if (!pass.jobs[position])
            order.skip(position);
    while (!control.stopRequested()) {
        const std::int64_t focus = m_focus.exchange(-1);
        if (focus >= 0)
            order.restartAt(static_cast<std::size_t>(focus));
        const auto position = order.next();
        if (!position)
            break;
        const InformationJob& job = *pass.jobs[*position];
        InformationResult result;
        try {
            result = work(pass.generation, job);
        } catch (...) {
            // No memory for a huge picture, say: this entry fails as an
            // unreadable file does (its metadata counts as read, so the
            // next pass does not try again), and the pass goes on.
            result = InformationResult{};
            result.generation = pass.generation;
            result.entry = job.entry;
            result.record = std::make_unique<ImageEntry>(job.record);
            result.record->setFlag(ImageEntry::kFlagMetadataRead, true);
            if (job.needsThumbnail)
                result.thumbnailStatus = PictureStatus::Failed;
        }
        deliver(std::move(result));
        pass.jobs[*position].reset();
        ++m_visited;
    }
}

InformationResult ListInformationWorker::work(std::uint64_t generation, const InformationJob& job) const
{
    imagelist::ListItem item;
    item.entry = std::make_unique<ImageEntry>(job.record);
    InformationResult result;
    result.generation = generation;
    result.entry = job.entry;
    result.metadataRead = readEntryMetadata(item, m_tables, m_settings);
    if (job.needsThumbnail) {
        result.thumbnailStatus = makeEntryThumbnail(item, m_tables, m_settings, &m_cancel, m_reserve);
        result.thumbnail = std::move(item.madeThumbnail);
    }
    result.record = std::move(item.entry);
    return result;
}

void ListInformationWorker::deliver(InformationResult result)
{
    bool wasEmpty = false;
    {
        const std::lock_guard lock(m_mutex);
        wasEmpty = m_results.empty();
        m_results.push_back(std::move(result));
    }
    if (wasEmpty && m_resultsWaiting)
        m_resultsWaiting();
}

namespace {

struct ByteRange {
    std::size_t offset;
    std::size_t size;
};

// What the metadata pass, the preview choice, the shooting-data record and
// the thumbnail write. Status (580) and Media# (1424) are not among them.
constexpr ByteRange kWorkedRanges[] = {
    {ImageEntry::kPictureWidth.offset, 8},               // picture width and height
    {ImageEntry::kCameraIndex.offset, 12},               // camera, orientation and its byte order and offset
    {ImageEntry::kPreviewOffset.offset, 16},             // preview and thumbnail fields
    {ImageEntry::kFormat.offset, ImageEntry::kMediaNumber.offset - ImageEntry::kFormat.offset},
    {ImageEntry::kOrientationRotation.offset, 1},
    {ImageEntry::kVideoGrabSecond.offset, 6},            // a clip's grab second and length
};

} // namespace

bool applyInformation(ImageEntry& target, const ImageEntry& worked)
{
    bool changed = false;
    const auto take = [&](std::size_t offset, std::size_t size) {
        const auto from = worked.recordBytes().subspan(offset, size);
        const auto to = target.recordBytes().subspan(offset, size);
        if (!std::equal(from.begin(), from.end(), to.begin())) {
            target.copyBytesFrom(worked, offset, size);
            changed = true;
        }
    };
    for (const ByteRange range : kWorkedRanges)
        take(range.offset, range.size);
    // A clip's length is its Status text, which only its thumbnail writes.
    if (worked.kind() == imagelist::kKindVideo)
        take(ImageEntry::kStatus.offset, ImageEntry::kStatus.size());
    constexpr std::uint16_t kWorkedFlags = ImageEntry::kFlagMetadataRead | ImageEntry::kFlagListIconRedo
                                           | ImageEntry::kFlagThumbInvalid | ImageEntry::kFlagUnrenderable;
    const std::uint16_t before = target.flags();
    const auto after = static_cast<std::uint16_t>((before & ~kWorkedFlags) | (worked.flags() & kWorkedFlags));
    target.setFlags(after);
    return changed || after != before;
}

InformationPass planInformationPass(const imagelist::ImageList& list, const ThumbnailFailures& failures,
                                    std::uint64_t generation)
{
    InformationPass pass;
    pass.generation = generation;
    pass.jobs.resize(list.size());
    for (std::size_t position = 0; position < list.order().size(); ++position) {
        const std::size_t entry = list.order()[position];
        const imagelist::ListItem& item = list.item(entry);
        const bool needsMetadata = !item.entry->hasFlag(ImageEntry::kFlagMetadataRead);
        const bool needsThumbnail = (item.thumbnail().empty() || item.entry->hasFlag(ImageEntry::kFlagThumbInvalid))
                                    && !failures.failedBefore(*item.entry);
        if (item.entry->isPresent() && (needsMetadata || needsThumbnail))
            pass.jobs[position] = std::make_unique<InformationJob>(InformationJob{entry, *item.entry, needsThumbnail});
    }
    const std::int64_t current = list.currentPosition();
    pass.start = current > 0 ? static_cast<std::size_t>(current) : 0;
    pass.alternating = current > 0;
    return pass;
}

MergedInformation mergeInformation(imagelist::ListItem& item, InformationResult& result, ThumbnailFailures& failures)
{
    MergedInformation merged;
    merged.changed = applyInformation(*item.entry, *result.record);
    if (!result.thumbnail.empty()) {
        item.cachedThumbnail = {};
        item.madeThumbnail = std::move(result.thumbnail);
        merged.changed = true;
    } else if (result.thumbnailStatus == PictureStatus::Failed
               || result.thumbnailStatus == PictureStatus::DevelopFailed) {
        // The file is still there and its preview may well decode.
        failures.record(*item.entry);
        merged.developFailed = result.thumbnailStatus == PictureStatus::DevelopFailed;
    }
    return merged;
}

} // namespace qlx::thumbs
