#include "actions/action_runner.h"

#include "actions/action_paths.h"
#include "actions/actions_messages.h"
#include "actions/action_run_guard.h"
#include "actions/file_action.h"
#include "actions/file_operations.h"
#include "actions/hand_over.h"
#include "actions/rename_settings.h"
#include "actions/trash_emptying.h"
#include "imagelist/file_history.h"
#include "imagelist/file_kind.h"
#include "imagelist/imagelist_messages.h"
#include "imagelist/list_controller.h"
#include "imagelist/list_pane.h"
#include "imagelist/pane_text.h"
#include "raw/development_dialog.h"
#include "raw/development_job.h"
#include "shell/input_hold.h"
#include "shell/message_box.h"
#include "shell/program_info.h"
#include "shell/qt_text.h"
#include "shell/rebar.h"
#include "shell/settings_layout.h"
#include "shell/shared_state.h"
#include "shell/status_bar.h"

#include <QFileInfo>
#include <QGuiApplication>

#include <system_error>

namespace qlx::gui {

namespace {

namespace msg = actions::messages;
using actions::ActionKind;
using actions::Result;
namespace fs = std::filesystem;

// Status-bar parts of the counters.
constexpr int kPartCopies = 1;
constexpr int kPartMoves = 2;
constexpr int kPartDeletions = 3;

// Kinds after which the shown picture is gone from its place.
bool takesFileAway(ActionKind kind)
{
    return kind == ActionKind::Move || kind == ActionKind::Trash || kind == ActionKind::Delete;
}

} // namespace

ActionRunner::ActionRunner(Surroundings surroundings, QObject* parent) : QObject(parent), m_s(std::move(surroundings))
{
}

ActionRunner::~ActionRunner()
{
    shutDown();
}

void ActionRunner::shutDown()
{
    // The window cancels its job and waits for it.
    m_development.reset();
}

actions::ActionExecutor ActionRunner::executor()
{
    return actions::ActionExecutor(
        m_s.controller.session().list(), m_counters,
        {[this](const fs::path& existing) { return askReplace(existing); },
         [this](const fs::path& folder) { return askCreateFolder(folder); }},
        m_s.state.settings.get(settings::kKeepTimeOnRotate) == 1, &m_ledger);
}

actions::ActionStep ActionRunner::makeStep(std::u16string destination, const actions::ActionRecord* record)
{
    const settings::SettingsRecord& settings = m_s.state.settings;
    return actions::ActionStep(
        m_s.controller.session().list(), m_counters,
        {[this](const fs::path& existing) { return askReplace(existing); },
         [this](const fs::path& folder) { return askCreateFolder(folder); }},
        m_ledger,
        {std::move(destination),
         record ? actions::effectiveRenameSettings(*record, settings) : actions::renameSettingsOf(settings),
         settings.get(settings::kKeepTimeOnRotate) == 1});
}

bool ActionRunner::askReplace(const fs::path& existing)
{
    return askYesNo(shell::kProductName,
                    u16View(fill(imagelist::messages::kReplaceFileQuestion, pathToQString(existing.filename()))),
                    &m_s.window, true);
}

bool ActionRunner::askCreateFolder(const fs::path& folder)
{
    return askYesNo(shell::kProductName, u16View(fill(msg::kCreateFolderQuestion, pathToQString(folder))),
                    &m_s.window, true);
}

std::vector<ActionRunner::Target> ActionRunner::targets(bool sameNameJpeg, bool listMode) const
{
    const imagelist::ImageList& list = m_s.controller.list();
    std::vector<std::size_t> chosen;
    if (listMode) {
        chosen = m_s.list.selectedEntries();
    } else if (const auto shown = m_s.shownEntry()) {
        chosen.push_back(*shown);
    }
    std::vector<Target> result;
    for (const std::size_t entry : chosen) {
        if (sameNameJpeg) {
            if (const auto partner = actions::findJpegPartner(list, entry))
                result.push_back({*partner, true});
        }
        result.push_back({entry, false});
    }
    return result;
}

int ActionRunner::run(std::size_t position, bool listMode)
{
    actions::ActionTable table(m_s.state.settings);
    if (m_running || position >= table.count() || m_s.controller.list().empty())
        return 0;
    const actions::ActionRecord record = table.at(position);
    const auto kind = static_cast<ActionKind>(record.kind());
    if (kind == ActionKind::DevelopTiff || kind == ActionKind::DevelopJpeg) {
        startDevelopment(record, kind, listMode);
        return 0;
    }
    if (!listMode && !m_s.shownEntry()) {
        showErrorBox(shell::kProductName, msg::kNoImageShown, &m_s.window);
        return 0;
    }
    return runOverTargets(record, kind, listMode);
}

int ActionRunner::runOverTargets(const actions::ActionRecord& record, ActionKind kind, bool listMode)
{
    RunGuard blocking(m_s.controller, m_running, &m_renamedInPlace);
    WaitCursor cursor;
    if (listMode && kind == ActionKind::HandOver && record.transferAsOne()) {
        handOverAsOne(record);
        return 1;
    }
    actions::ActionStep step = makeStep(record.path(), &record);
    InputHold hold;
    const std::vector<Target> files = targets(record.sameNameJpeg(), listMode);
    const std::optional<std::size_t> shown = listMode ? std::nullopt : m_s.shownEntry();
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (listMode && i > 0 && hold.escapePressed()
            && askYesNo(shell::kProductName, msg::kAbortActionQuestion, &m_s.window, true))
            break;
        const actions::StepResult result = step.run(files[i].entry, kind, files[i].partner);
        show(files[i].entry, result);
        // In the main view a failure stops the run (the partner's too).
        if (!listMode && result.result == Result::Failed)
            return 0;
    }
    if (!listMode && shown) {
        const imagelist::ImageEntry& entry = m_s.controller.list().entry(*shown);
        const bool advance = (takesFileAway(kind) && !entry.isPresent())
                             || (kind == ActionKind::Copy && entry.isPresent()
                                 && m_s.state.settings.get(settings::kAdvanceAfterCopy) == 1);
        if (advance)
            m_s.showNext();
    }
    return 1;
}

void ActionRunner::handOverAsOne(const actions::ActionRecord& record)
{
    const std::vector<Target> files = targets(record.sameNameJpeg(), true);
    const imagelist::ImageList& list = m_s.controller.list();
    std::vector<fs::path> paths;
    for (const Target& target : files)
        paths.emplace_back(list.entry(target.entry).path());
    const bool started = !paths.empty() && actions::handOver(fs::path(record.path()), paths);
    if (!started)
        showErrorBox(shell::kProductName, msg::kHandOverFailed, &m_s.window);
    const int kind = static_cast<int>(ActionKind::HandOver);
    for (const Target& target : files) {
        actions::StepResult step;
        step.result = started ? Result::Done : Result::Failed;
        step.line = actions::logLine(kind, list.entry(target.entry).name(), step.result);
        step.icon = actions::logIcon(kind, step.result);
        show(target.entry, step);
    }
}

void ActionRunner::show(std::size_t entry, const actions::StepResult& step)
{
    if (step.earlier) {
        m_s.log.replaceLogLine(toQString(step.earlier->oldLine), toQString(step.earlier->newLine),
                               actions::logIcon(static_cast<int>(ActionKind::Rename), Result::Done));
        const std::size_t row = step.earlier->entry;
        m_s.list.entriesChanged(std::span(&row, 1));
    }
    m_s.log.addLogLine(toQString(step.line), step.icon);
    if (!step.failureMessage.empty())
        showErrorBox(shell::kProductName, step.failureMessage, &m_s.window);
    if (step.changedInPlace) {
        m_renamedInPlace = true;
        // Its pictures are made again (turned, renamed, or back in place).
        m_s.controller.session().list().entry(entry).setFlag(imagelist::ImageEntry::kFlagReloadPicture, true);
    }
    if (step.fileLeft || step.changedInPlace) {
        m_s.releaseEntry(entry);
        m_s.controller.noteEntryChangedByAction(entry, step.changedInPlace);
    }
    // What the history and the entries say now reaches the cache file.
    m_s.controller.session().markEntriesChanged();
    m_s.list.entriesChanged(std::span(&entry, 1));
    if (step.folderCreated)
        m_s.folderTreeChanged();
    updateCounters(step.statusParts);
}

void ActionRunner::updateCounters(int parts)
{
    if (parts & actions::kStatusCopies)
        m_s.status.setPartText(kPartCopies, QStringLiteral("\tCOPY:%1").arg(m_counters.copies));
    if (parts & actions::kStatusMoves)
        m_s.status.setPartText(kPartMoves, QStringLiteral("\tMOVE:%1").arg(m_counters.moves));
    if (parts & actions::kStatusDeletions)
        m_s.status.setPartText(kPartDeletions, QStringLiteral("\tDEL:%1").arg(m_counters.deletions));
    if (parts & actions::kStatusListTotals)
        Q_EMIT listTotalsChanged();
}

void ActionRunner::startDevelopment(const actions::ActionRecord& record, ActionKind kind, bool listMode)
{
    if (m_development && m_development->running())
        return;
    const imagelist::ImageList& list = m_s.controller.list();
    // One folder for the whole job: the destination as seen from the list's
    // first file.
    const fs::path folder = actions::resolveDestination(fs::path(list.entry(0).path()), record.path());
    std::vector<raw::DevelopmentItem> items;
    if (!listMode && !m_s.shownEntry()) {
        showErrorBox(shell::kProductName, msg::kNoImageShown, &m_s.window);
        return;
    }
    for (const Target& target : targets(false, listMode)) {
        const imagelist::ListItem& item = list.item(target.entry);
        if (imagelist::isRawKind(item.entry->kind()) && item.entry->isPresent() && imagelist::mayAct(item))
            items.push_back({target.entry, std::make_shared<const imagelist::ImageEntry>(*item.entry)});
    }
    if (items.empty())
        return;
    std::error_code error;
    const bool existed = fs::is_directory(folder, error);
    if (!existed && (!askCreateFolder(folder) || !actions::ensureFolder(folder)))
        return;
    const std::u16string historyText = folder.u16string();
    DevelopmentDialog::Surroundings around{m_s.window, m_s.showTitlePrefix, m_s.log, m_s.list,
                                           m_s.state.settings.get(settings::kDrawingPriority),
                                           [this, kind, historyText](const raw::DevelopmentReport& report) {
        if (report.result != Result::Done || report.entryIndex >= m_s.controller.list().size())
            return;
        imagelist::ListItem& item = m_s.controller.session().list().item(report.entryIndex);
        imagelist::pushHistory(item, static_cast<std::int8_t>(kind), historyText);
        // Undo deletes the developed file only while it is this one.
        if (const auto facts = actions::factsOf(report.output))
            m_ledger.remember(*item.entry, item.entry->historyPosition(), static_cast<std::int8_t>(kind), *facts);
        m_s.controller.session().markEntriesChanged();
    }};
    const auto outputKind = kind == ActionKind::DevelopTiff ? raw::OutputKind::Tiff : raw::OutputKind::Jpeg;
    m_development = std::make_unique<DevelopmentDialog>(around, std::move(items),
                                                        raw::developmentSettingsFrom(m_s.state.settings, outputKind, folder));
    // The job's reports name entries of this list: no load may replace it
    // before the job ends.
    m_s.controller.beginBlockingOperation();
    connect(m_development.get(), &DevelopmentDialog::ended, this, [this] { m_s.controller.endBlockingOperation(); });
    m_development->start();
    if (!existed)
        m_s.folderTreeChanged();
}

void ActionRunner::trashByDeleteKey()
{
    if (m_running || m_s.controller.list().empty())
        return;
    const bool listMode = m_s.listHasFocus();
    if (!listMode && !m_s.shownEntry())
        return;
    const settings::SettingsRecord& settings = m_s.state.settings;
    if (settings.get(settings::kConfirmFirstUse) == 1 && !m_deleteKeyConfirmed) {
        const bool reask = settings.get(settings::kReaskAfterCancel) == 1;
        if (!reask)
            m_deleteKeyConfirmed = true;
        std::u16string text(msg::kDeleteKeyQuestion);
        text += reask ? msg::kSkippedOnceRun : msg::kSkippedFromNowOn;
        if (!askYesNo(shell::kProductName, text, &m_s.window))
            return;
        m_deleteKeyConfirmed = true;
    }
    runWithoutAction(ActionKind::Trash, listMode);
}

void ActionRunner::renameWholeList(bool replace)
{
    constexpr int kRenamePage = 9;
    if (m_running || m_s.controller.list().empty())
        return;
    const actions::RenameSettings settings = actions::renameSettingsOf(m_s.state.settings);
    if (replace && settings.oldText.empty()) {
        showErrorBox(shell::kProductName, msg::kBatchReplaceTextsMissing, &m_s.window);
        m_s.openSettings(kRenamePage);
        return;
    }
    std::u16string question(replace ? msg::kBatchReplaceQuestion : msg::kBatchRenameQuestion);
    const auto fillNext = [&question](std::u16string_view value) {
        if (const std::size_t at = question.find(u"%s"); at != std::u16string::npos)
            question.replace(at, 2, value);
    };
    if (replace) {
        fillNext(settings.oldText);
        fillNext(settings.newText);
    } else {
        fillNext(actions::describeRename(settings));
    }
    switch (askWithSettings(shell::kProductName, question, &m_s.window)) {
    case SettingsAnswer::CheckSettings:
        m_s.openSettings(kRenamePage);
        return;
    case SettingsAnswer::No:
        return;
    case SettingsAnswer::Yes:
        break;
    }
    RunGuard blocking(m_s.controller, m_running, &m_renamedInPlace);
    WaitCursor cursor;
    actions::ActionStep step = makeStep({}, nullptr);
    const auto kind = replace ? ActionKind::ReplaceRename : ActionKind::Rename;
    // The order is a copy: a rename changes no position, but the loop must
    // not depend on it.
    const auto order = m_s.controller.list().order();
    const std::vector<std::uint16_t> entries(order.begin(), order.end());
    for (const std::uint16_t entry : entries) {
        const actions::StepResult result = step.run(entry, kind);
        show(entry, result);
        // An invalid new name stops a replace-rename: it would be invalid
        // for every file.
        if (replace && !result.failureMessage.empty())
            break;
    }
}

void ActionRunner::renameLabel(std::size_t entry, const QString& stem)
{
    if (m_running || entry >= m_s.controller.list().size())
        return;
    RunGuard blocking(m_s.controller, m_running, &m_renamedInPlace);
    const actions::RenameEntryResult renamed =
        actions::renameLabel(m_s.controller.session().list(), entry, toU16(stem));
    actions::StepResult step;
    step.result = renamed.result;
    step.line = renamed.logLine;
    step.icon = actions::logIcon(static_cast<int>(ActionKind::Rename), renamed.result);
    step.changedInPlace = renamed.result == Result::Done;
    show(entry, step);
    // Told as information: the name is refused or taken, nothing is broken.
    if (!renamed.failureMessage.empty())
        showInformationBox(shell::kProductName, renamed.failureMessage, &m_s.window);
}

void ActionRunner::undoSelection()
{
    if (m_running || m_s.controller.list().empty())
        return;
    const bool listMode = m_s.listHasFocus();
    if (listMode || m_s.shownEntry())
        runWithoutAction(ActionKind::Undo, listMode);
}

void ActionRunner::rotateLosslessly()
{
    if (m_running || m_s.controller.list().empty())
        return;
    const bool listMode = m_s.listHasFocus();
    if (listMode || m_s.shownEntry())
        runWithoutAction(ActionKind::LosslessRotation, listMode);
}

void ActionRunner::runWithoutAction(ActionKind kind, bool listMode)
{
    RunGuard blocking(m_s.controller, m_running, &m_renamedInPlace);
    WaitCursor cursor;
    actions::ActionStep step = makeStep({}, nullptr);
    const std::optional<std::size_t> shown = listMode ? std::nullopt : m_s.shownEntry();
    for (const Target& target : targets(false, listMode))
        show(target.entry, step.run(target.entry, kind, target.partner));
    if (shown && !m_s.controller.list().entry(*shown).isPresent())
        m_s.showNext();
}

void ActionRunner::emptyTrash()
{
    if (m_running || !askYesNo(shell::kProductName, msg::kEmptyTrashQuestion, &m_s.window))
        return;
    WaitCursor cursor;
    const actions::TrashEmptyingResult result = actions::emptyTrashFolders(actions::userTrashFolders());
    if (result.failed > 0)
        showErrorBox(shell::kProductName,
                     u16View(toQString(msg::kEmptyTrashIncomplete).replace(QStringLiteral("%d"), QString::number(result.failed))),
                     &m_s.window);
}

void ActionRunner::reportTransfer(const QString& source, const QString& folder, bool moved, bool done)
{
    imagelist::ImageList& list = m_s.controller.session().list();
    std::optional<std::size_t> entry;
    const std::u16string path = toU16(source);
    const std::u16string name = toU16(QFileInfo(source).fileName());
    for (std::size_t i = 0; i < list.size(); ++i) {
        // The name is read in place; only a match builds the whole path.
        if (list.entry(i).hasName(name) && list.entry(i).path() == path) {
            entry = i;
            break;
        }
    }
    actions::ExecutionResult result;
    result.result = done ? Result::Done : Result::Failed;
    result.historyText = toU16(folder);
    const ActionKind kind = moved ? ActionKind::Move : ActionKind::Copy;
    if (done) {
        if (moved) {
            ++m_counters.moves;
            if (entry)
                list.entry(*entry).setPresence(0);
            result.statusParts = actions::kStatusMoves | actions::kStatusListTotals;
        } else {
            ++m_counters.copies;
            result.statusParts = actions::kStatusCopies;
        }
    }
    actions::StepResult step;
    step.result = result.result;
    step.icon = actions::logIcon(static_cast<int>(kind), result.result);
    step.statusParts = result.statusParts;
    if (!entry) {
        step.line = actions::logLine(static_cast<int>(kind), toU16(QFileInfo(source).fileName()), result.result);
        m_s.log.addLogLine(toQString(step.line), step.icon);
        updateCounters(step.statusParts);
        return;
    }
    // The history record, as an action's.
    step.line = executor().report(entry, static_cast<int>(kind), result);
    step.fileLeft = done && moved;
    show(*entry, step);
}

} // namespace qlx::gui
