#include "actions/media_split.h"

#include "actions/file_operations.h"
#include "actions/media_messages.h"
#include "shell/shell_messages.h"

#include <algorithm>
#include <limits>

namespace qlx::actions {
namespace {

struct Pass {
    std::int32_t count = 1;
    std::int64_t lastFill = 0;
    std::int32_t lastFiles = 0;
    std::size_t lastStart = 0; // the first row of the last medium
    bool oversize = false;
};

// One pass at `limit` over every row: marks into `marks`, totals out.
Pass markPass(std::span<const MediaFile> files, std::int64_t limit, std::vector<std::int32_t>& marks)
{
    Pass pass;
    marks.assign(files.size(), 0);
    for (std::size_t row = 0; row < files.size(); ++row) {
        const MediaFile& file = files[row];
        if (!file.present)
            continue;
        const std::int64_t size = file.size;
        const auto startNext = [&] {
            ++pass.count;
            pass.lastFiles = 0;
            pass.lastStart = row;
        };
        if (size <= limit) {
            // Written as a subtraction: fill + size could pass the 64-bit range.
            if (size <= limit - pass.lastFill) {
                pass.lastFill += size;
            } else {
                startNext();
                pass.lastFill = size;
            }
            marks[row] = pass.count;
        } else {
            // A file larger than a medium gets one to itself; the files after
            // it join that medium while they fit.
            if (pass.lastFill != 0 || pass.oversize)
                startNext();
            pass.lastFill = 0;
            marks[row] = -pass.count;
            pass.oversize = true;
        }
        ++pass.lastFiles;
    }
    return pass;
}

// The smallest present file of the last medium.
std::int64_t smallestOfLast(std::span<const MediaFile> files, const Pass& pass)
{
    std::int64_t smallest = std::numeric_limits<std::int64_t>::max();
    for (std::size_t row = pass.lastStart; row < files.size(); ++row) {
        if (files[row].present)
            smallest = std::min(smallest, files[row].size);
    }
    return smallest;
}

// The largest file that fits a medium of `limit`: a lower limit would turn
// it into an oversize file on a medium of its own, and the files after it
// would join it beyond the real size.
std::int64_t largestFitting(std::span<const MediaFile> files, std::int64_t limit)
{
    std::int64_t largest = 0;
    for (const MediaFile& file : files) {
        if (file.present && file.size <= limit)
            largest = std::max(largest, file.size);
    }
    return largest;
}

} // namespace

MediaSplit splitIntoMedia(std::span<const MediaFile> files, std::int64_t splitSize, bool balance)
{
    MediaSplit split;
    const Pass first = markPass(files, splitSize, split.media);
    split.mediaCount = first.count;
    split.lastFill = first.lastFill;
    split.lastFiles = first.lastFiles;
    split.oversize = first.oversize;
    split.limit = splitSize;
    // Lower the limit by the last medium's smallest file while that needs
    // no more media and the last medium holds more files than there are
    // media; the marks of the last pass that met this stay.
    const auto balancing = [&first](const Pass& pass) {
        return pass.count == first.count && pass.lastFiles > pass.count && pass.count >= 2;
    };
    if (!balance || !balancing(first))
        return split;
    const std::int64_t floor = largestFitting(files, splitSize);
    std::vector<std::int32_t> marks;
    Pass pass = first;
    std::int64_t limit = splitSize;
    for (int passes = 0; passes < kMaxBalancePasses; ++passes) {
        const std::int64_t smallest = smallestOfLast(files, pass);
        // Empty files leave nothing to lower by; a limit below the largest
        // file would make that file an oversize one.
        if (smallest <= 0 || smallest > limit - floor)
            break;
        pass = markPass(files, limit - smallest, marks);
        if (!balancing(pass))
            break;
        limit -= smallest;
        split.media.swap(marks);
        split.limit = limit;
    }
    return split;
}

std::u16string mediumLabel(std::int32_t medium)
{
    if (medium == 0)
        return {};
    const std::int64_t number = medium < 0 ? -static_cast<std::int64_t>(medium) : medium;
    return u"No." + shell::messages::numberText(static_cast<std::size_t>(number));
}

std::u16string splitReport(const MediaSplit& split, bool balance)
{
    const std::u16string fill = formatSize(static_cast<std::uint64_t>(std::max<std::int64_t>(split.lastFill, 0)));
    if (split.mediaCount == 1)
        return shell::messages::fillText(messages::kMediaReportOne, u"%s", fill);
    std::u16string text = balance ? std::u16string(messages::kMediaReportBalanced)
                                  : std::u16string(messages::kMediaReportMany);
    text = shell::messages::fillText(text, u"%d", shell::messages::numberText(static_cast<std::size_t>(std::max(split.mediaCount, 0))));
    text = shell::messages::fillText(text, u"%d", shell::messages::numberText(static_cast<std::size_t>(std::max(split.lastFiles, 0))));
    return shell::messages::fillText(text, u"%s", fill);
}

} // namespace qlx::actions
