#include "thumbs/thumbnail_failures.h"

#include "imagelist/image_list.h"

namespace qlx::thumbs {

void ThumbnailFailures::record(const imagelist::ImageEntry& entry)
{
    // A run that meets more broken files than a list can hold starts the
    // memory afresh: forgetting costs one more try each, never a thumbnail.
    if (m_failed.size() >= imagelist::kMaxListEntries)
        m_failed.clear();
    m_failed[entry.path()] = {entry.fileSize(), entry.lastWriteTime()};
}

bool ThumbnailFailures::failedBefore(const imagelist::ImageEntry& entry) const
{
    const auto found = m_failed.find(entry.path());
    return found != m_failed.end() && found->second.size == entry.fileSize()
           && found->second.lastWriteTime == entry.lastWriteTime();
}

} // namespace qlx::thumbs
