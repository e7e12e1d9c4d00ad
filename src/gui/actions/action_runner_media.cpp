// The media commands of the runner: splitting the list over media of a
// fixed size (F6 calculates, F7 moves each file into its medium's folder)
// and merging the pictures of the subfolders into the current folder (F8).

#include "actions/action_runner.h"

#include "actions/action_run_guard.h"
#include "actions/folder_merge.h"
#include "actions/media_distribution.h"
#include "actions/media_settings.h"
#include "imagelist/list_controller.h"
#include "imagelist/list_pane.h"
#include "imagelist/video_extensions.h"
#include "shell/message_box.h"
#include "shell/program_info.h"
#include "shell/qt_text.h"
#include "shell/rebar.h"
#include "shell/settings_layout.h"
#include "shell/shared_state.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace qlx::gui {

namespace {

namespace fs = std::filesystem;

void pumpDrawing()
{
    // Painting and queued results only: the user's input waits.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
}

} // namespace

bool ActionRunner::mediaCommandsAllowed() const
{
    // Both work on the folder the list shows; a collection has none.
    return !m_running && m_s.state.listMode == shell::ListMode::Folder && !m_s.state.currentFolder.empty();
}

void ActionRunner::calculateMedia()
{
    if (!mediaCommandsAllowed() || m_s.controller.list().empty())
        return;
    const actions::CalculationResult result =
        actions::calculateDistribution(m_s.controller.session().list(), actions::mediaSettingsOf(m_s.state.settings));
    m_mediaPlan = result.plan;
    std::vector<std::pair<std::size_t, std::int32_t>> marks;
    for (std::size_t row = 0; row < result.plan.entries.size() && row < result.plan.split.media.size(); ++row)
        marks.emplace_back(result.plan.entries[row], result.plan.split.media[row]);
    m_s.list.model().setMediaMarks(std::move(marks));
    const imagelist::ImageList& list = m_s.controller.list();
    std::vector<std::size_t> rows(list.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = i;
    m_s.list.entriesChanged(rows);
    if (!result.warning.empty())
        showWarningBox(shell::kProductName, result.warning, &m_s.window);
    if (!result.report.empty())
        showInformationBox(shell::kProductName, result.report, &m_s.window);
}

void ActionRunner::distributeMedia()
{
    if (!mediaCommandsAllowed())
        return;
    if (!m_mediaPlan) {
        calculateMedia();
        if (!m_mediaPlan)
            return;
    }
    RunGuard blocking(m_s.controller, m_running);
    actions::MediaDistributor distributor(m_s.controller.session().list(), m_counters, &m_ledger);
    actions::DistributionCallbacks callbacks;
    callbacks.confirm = [this](std::u16string_view question) {
        return askYesNo(shell::kProductName, question, &m_s.window);
    };
    // The question listed the media's folders: agreeing to it is agreeing
    // to make them.
    callbacks.createFolder = [](const fs::path&) { return true; };
    callbacks.reported = [this](std::size_t entry, std::u16string_view line, actions::Result result) {
        actions::StepResult step;
        step.result = result;
        step.line = std::u16string(line);
        step.icon = actions::logIcon(static_cast<int>(actions::ActionKind::DistributeMove), result);
        step.fileLeft = result == actions::Result::Done;
        show(entry, step);
    };
    callbacks.pump = pumpDrawing;
    const actions::DistributionReport report = distributor.distribute(
        *m_mediaPlan, actions::mediaSettingsOf(m_s.state.settings), fs::path(m_s.state.currentFolder), callbacks);
    if (report.outcome == actions::DistributionOutcome::Ran)
        m_mediaPlan.reset();
    updateCounters(report.statusParts);
    if (report.folderCreated)
        m_s.folderTreeChanged();
    if (!report.message.empty())
        showInformationBox(shell::kProductName, report.message, &m_s.window);
}

void ActionRunner::mergeSubfolders()
{
    if (!mediaCommandsAllowed())
        return;
    const imagelist::VideoExtensions video = imagelist::parseVideoList(m_s.state.settings.text(settings::kVideoExtensions));
    actions::MergeReport report;
    {
        RunGuard blocking(m_s.controller, m_running);
        actions::MergeCallbacks callbacks;
        callbacks.confirm = [this](std::u16string_view question) {
            return askYesNo(shell::kProductName, question, &m_s.window);
        };
        callbacks.replace = [this](const fs::path& existing) { return askReplace(existing); };
        callbacks.reported = [this](std::u16string_view line, actions::Result result) {
            m_s.log.addLogLine(toQString(line), result == actions::Result::Done
                                                    ? actions::kMergeLogIcon
                                                    : 14 + actions::kMergeLogIcon);
        };
        callbacks.pump = pumpDrawing;
        report = actions::mergeSubfolders(
            fs::path(m_s.state.currentFolder),
            {actions::mergeSettingsOf(m_s.state.settings), m_s.state.settings.get(settings::kTargetFormatMask), &video},
            callbacks);
    }
    for (const std::u16string_view message : report.messages)
        showInformationBox(shell::kProductName, message, &m_s.window);
    if (report.moved > 0 || report.foldersRemoved > 0) {
        m_s.folderTreeChanged();
        m_s.controller.refresh(); // the merged pictures join the list
    }
}

} // namespace qlx::gui
