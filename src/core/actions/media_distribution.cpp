#include "actions/media_distribution.h"

#include "actions/file_operations.h"
#include "actions/media_messages.h"
#include "imagelist/file_history.h"
#include "shell/shell_messages.h"

#include <sys/stat.h>

#include <algorithm>
#include <system_error>

namespace qlx::actions {
namespace fs = std::filesystem;
using imagelist::ImageEntry;

namespace {

// The size a file has on disk now: the entry keeps only the low 32 bits,
// and videos past 4 GiB are common.
std::int64_t sizeOnDisk(const ImageEntry& entry)
{
    struct stat st {};
    const std::string path = fs::path(entry.path()).string();
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        return static_cast<std::int64_t>(st.st_size);
    return entry.fileSize();
}

// Gone means the presence's bit 0 is clear: moved, trashed or deleted away.
bool listedAsThere(const ImageEntry& entry)
{
    return (entry.presence() & ImageEntry::kPresenceCounted) != 0;
}

std::u16string paddedNumber(std::int32_t number, int digits)
{
    std::u16string text = shell::messages::numberText(static_cast<std::size_t>(std::max(number, 0)));
    const auto width = static_cast<std::size_t>(std::clamp(digits, 1, 4));
    if (text.size() < width)
        text.insert(0, width - text.size(), u'0');
    return text;
}

// A name that would put the media folders anywhere but directly inside the
// current folder is refused.
bool usableFolderName(std::u16string_view parent, std::u16string_view name)
{
    const auto bad = [](std::u16string_view text) {
        return text.find(u'/') != std::u16string_view::npos || text.find(u'\0') != std::u16string_view::npos;
    };
    return !bad(parent) && !bad(name);
}

} // namespace

CalculationResult calculateDistribution(imagelist::ImageList& list, const MediaSettings& settings)
{
    CalculationResult result;
    if (list.empty())
        return result;
    std::vector<MediaFile> files;
    files.reserve(list.order().size());
    for (const std::uint16_t index : list.order()) {
        if (index >= list.size())
            continue;
        const ImageEntry& entry = list.entry(index);
        const bool there = listedAsThere(entry);
        files.push_back(MediaFile{there ? sizeOnDisk(entry) : 0, there});
        result.plan.entries.push_back(index);
    }
    result.plan.split = splitIntoMedia(files, settings.splitSize, settings.balance);
    const std::vector<std::int32_t>& media = result.plan.split.media;
    for (std::size_t row = 0; row < media.size(); ++row)
        list.entry(result.plan.entries[row]).setItemText(ImageEntry::kItemMediaNumber, mediumLabel(media[row]));
    if (result.plan.split.oversize)
        result.warning = messages::kMediaOversizeWarning;
    result.report = splitReport(result.plan.split, settings.balance);
    return result;
}

std::u16string parentPart(const fs::path& folder, bool addParentName)
{
    if (!addParentName)
        return {};
    std::u16string text = folder.u16string();
    while (text.size() > 1 && text.back() == u'/')
        text.pop_back();
    const std::size_t slash = text.rfind(u'/');
    return slash == std::u16string::npos ? text : text.substr(slash + 1);
}

fs::path mediumFolder(const fs::path& folder, std::u16string_view parent, const MediaSettings& settings,
                      std::int32_t medium)
{
    std::u16string name(parent);
    name += settings.folderName;
    name += paddedNumber(medium, settings.digits);
    return folder / fs::path(name);
}

std::u16string distributionQuestion(std::int32_t count, std::u16string_view parent, const MediaSettings& settings)
{
    std::u16string text = shell::messages::fillText(messages::kDistributionQuestionHead, u"%d",
                                                    shell::messages::numberText(static_cast<std::size_t>(count)));
    for (std::int32_t medium = 1; medium <= std::min(count, kQuestionMediaShown); ++medium) {
        text += u"./";
        text += parent;
        text += settings.folderName;
        text += paddedNumber(medium, settings.digits);
        text += u'\n';
    }
    if (count > kQuestionMediaShown)
        text += messages::kListCut;
    text += messages::kRunQuestionTail;
    return text;
}

MediaDistributor::MediaDistributor(imagelist::ImageList& list, ActionCounters& counters, UndoLedger* ledger)
    : m_list(list)
    , m_counters(counters)
    , m_ledger(ledger)
{
}

DistributionReport MediaDistributor::distribute(const DistributionPlan& plan, const MediaSettings& settings,
                                                const fs::path& folder, const DistributionCallbacks& callbacks)
{
    DistributionReport report;
    const std::int32_t count = plan.split.mediaCount;
    if (plan.entries.empty() || count < 1) {
        report.message = messages::kMediaNotCalculated;
        return report;
    }
    const std::u16string parent = parentPart(folder, settings.addParentName);
    if (!usableFolderName(parent, settings.folderName)) {
        report.outcome = DistributionOutcome::BadFolderName;
        report.reason = "the media folder name holds a '/'";
        return report;
    }
    if (!callbacks.confirm || !callbacks.confirm(distributionQuestion(count, parent, settings))) {
        report.outcome = DistributionOutcome::Declined;
        return report;
    }
    // Absolute, as the history text must be for undo.
    std::error_code error;
    const fs::path base = folder.is_absolute() ? folder : fs::absolute(folder, error);
    std::vector<fs::path> folders;
    for (std::int32_t medium = 1; medium <= count; ++medium)
        folders.push_back(mediumFolder(base, parent, settings, medium));
    if (!ensureMediumFolders(folders, callbacks, report))
        return report;

    report.outcome = DistributionOutcome::Ran;
    ActionExecutor executor(m_list, m_counters, ExecutionQuestions{}, false, m_ledger);
    int tried = 0;
    for (std::size_t row = 0; row < plan.entries.size() && row < plan.split.media.size(); ++row) {
        const std::size_t entry = plan.entries[row];
        const std::int32_t medium = plan.split.media[row];
        if (medium == 0 || entry >= m_list.size())
            continue;
        const imagelist::ListItem& item = m_list.item(entry);
        if (!item.entry->isPresent() || !imagelist::mayAct(item))
            continue;
        const std::int32_t number = medium < 0 ? -medium : medium;
        if (number > count)
            continue;
        moveOne(executor, entry, folders[static_cast<std::size_t>(number - 1)], callbacks, report);
        if (++tried % kPumpEveryFiles == 0 && callbacks.pump)
            callbacks.pump();
    }
    if (report.moved > 0)
        report.statusParts = kStatusMoves | kStatusListTotals;
    return report;
}

bool MediaDistributor::ensureMediumFolders(const std::vector<fs::path>& folders,
                                           const DistributionCallbacks& callbacks, DistributionReport& report)
{
    for (const fs::path& medium : folders) {
        std::error_code error;
        if (fs::is_directory(medium, error))
            continue;
        if (!callbacks.createFolder || !callbacks.createFolder(medium)) {
            report.outcome = DistributionOutcome::FolderDeclined;
            report.reason = "the folder " + medium.string() + " was not to be made";
            return false;
        }
        if (!ensureFolder(medium)) {
            report.outcome = DistributionOutcome::FolderFailed;
            report.reason = "the folder " + medium.string() + " could not be made";
            return false;
        }
        report.folderCreated = true;
    }
    return true;
}

void MediaDistributor::moveOne(ActionExecutor& executor, std::size_t entry, const fs::path& target,
                               const DistributionCallbacks& callbacks, DistributionReport& report)
{
    ImageEntry& image = m_list.entry(entry);
    const TransferResult moved = moveFile(fs::path(image.path()), target);
    ExecutionResult result;
    // The absolute folder, so that undo finds the file whatever list it runs on.
    result.historyText = target.u16string();
    if (moved.done()) {
        // Gone from its place only once it really went.
        image.setPresence(0);
        result.result = Result::Done;
        result.made = factsOf(moved.target);
        ++m_counters.moves;
        ++report.moved;
    } else {
        result.reason = moved.detail;
        ++report.failed;
    }
    const std::u16string line = executor.report(entry, static_cast<int>(ActionKind::DistributeMove), result);
    if (callbacks.reported)
        callbacks.reported(entry, line, result.result);
}

} // namespace qlx::actions
