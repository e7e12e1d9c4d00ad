#pragma once
// Runs a registered action over its targets in the window: the selected
// rows of the list from the top when the list has the focus, else the
// picture the main view shows. Each file goes through the core's executor
// (actions/action_executor.h); here are the questions it asks, the RAW
// file's JPEG partner, the action log's lines, the counters of the status
// bar, the rows drawn again, and the step to the next picture after a file
// left.
//
// While an action runs, the window's input waits (Escape asks whether to
// stop), loads of other folders wait as the pending request, and the folder
// watcher is followed afterwards: nothing frees an entry under the loop.
//
// GUI thread only.

#include "actions/action_executor.h"
#include "actions/action_record.h"
#include "actions/action_step.h"
#include "actions/media_distribution.h"
#include "actions/undo_ledger.h"

#include <QObject>
#include <QString>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace qlx::gui {

class DevelopmentDialog;
class ListController;
class ListPane;
class Rebar;
class StatusBar;
struct SharedState;

class ActionRunner : public QObject {
    Q_OBJECT
public:
    struct Surroundings {
        SharedState& state;
        ListController& controller;
        ListPane& list;
        Rebar& log;
        StatusBar& status;
        QWidget& window;
        // Whether the list has the focus (the selection is the target).
        std::function<bool()> listHasFocus;
        // The entry the main view shows; none when it shows nothing.
        std::function<std::optional<std::size_t>()> shownEntry;
        std::function<void()> showNext;
        // The folder tree learns of a folder an action made.
        std::function<void()> folderTreeChanged;
        // The views let go of an entry's pictures (its file went away).
        std::function<void(std::size_t entry)> releaseEntry;
        // The window's caption with a prefix ("" for none).
        std::function<void(std::u16string_view prefix)> showTitlePrefix;
        // Opens the settings window on a page.
        std::function<void(int page)> openSettings;
    };

    ActionRunner(Surroundings surroundings, QObject* parent = nullptr);
    ~ActionRunner() override;

    // Whether the list is the target (it has the focus, or is alone on
    // screen); asked when the key is pressed, before any question moves
    // the focus.
    bool listIsTarget() const { return m_s.listHasFocus(); }
    // Runs the action at `position` of the table on the list's selection
    // (`listMode`) or the shown picture: 0 nothing was done (or the run
    // stopped), 1 done.
    int run(std::size_t position, bool listMode);
    // The Delete key: the selection (or the shown picture) to the trash,
    // after the first-use question.
    void trashByDeleteKey();
    // "フォルダ一括リネーム" (or, `replace`, "フォルダ一括置換リネーム"): every
    // file of the list from the top, after the three-button question.
    void renameWholeList(bool replace);
    // "メディア容量分割計算(F6)": which files go on which medium, marked in
    // the list and told in a box; "メディア容量に振分け実行(F7)": each file
    // moved into its medium's folder; "サブフォルダ画像統合(F8)": the
    // subfolders' pictures moved up into the folder. Folders only.
    void calculateMedia();
    void distributeMedia();
    void mergeSubfolders();
    // "選択ファイルのアクション復帰(UNDO)": the newest action on each file
    // of the selection (or the shown picture) taken back.
    void undoSelection();
    // The list is about to be replaced: what undo kept of this one goes.
    void listChanging()
    {
        m_ledger.clear();
        m_mediaPlan.reset();
    }
    // The user renamed an entry's label in the list to `stem` (the name
    // before its extension).
    void renameLabel(std::size_t entry, const QString& stem);
    // "表示の方向でロスレス回転": the quarter turns given in the view
    // written into the files of the selection (or the shown picture).
    void rotateLosslessly();
    // "ゴミ箱を空にする", after its question.
    void emptyTrash();
    // The folder pane copied or moved a file into `folder`.
    void reportTransfer(const QString& source, const QString& folder, bool moved, bool done);

    bool running() const { return m_running; }
    // The development window under way, if any.
    DevelopmentDialog* development() const { return m_development.get(); }
    // Stops a development under way (leaving the program).
    void shutDown();
    const actions::ActionCounters& counters() const { return m_counters; }

Q_SIGNALS:
    // The list's totals may have changed (a file left, a size changed).
    void listTotalsChanged();

private:
    struct Target {
        std::size_t entry;
        bool partner; // the JPEG taken along with a RAW file
    };
    // The files the action works on, partners first, in display order.
    std::vector<Target> targets(bool sameNameJpeg, bool listMode) const;
    int runOverTargets(const actions::ActionRecord& record, actions::ActionKind kind, bool listMode);
    void handOverAsOne(const actions::ActionRecord& record);
    actions::ActionStep makeStep(std::u16string destination, const actions::ActionRecord* record);
    // Shows one file's result: the log line (and a collision's fix-up), a
    // failure's box, the row, the counters.
    void show(std::size_t entry, const actions::StepResult& step);
    void startDevelopment(const actions::ActionRecord& record, actions::ActionKind kind, bool listMode);
    void updateCounters(int parts);
    bool mediaCommandsAllowed() const;
    // One kind over the targets without an action (the Delete key, the
    // rotation command).
    void runWithoutAction(actions::ActionKind kind, bool listMode);
    actions::ActionExecutor executor();
    bool askReplace(const std::filesystem::path& existing);
    bool askCreateFolder(const std::filesystem::path& folder);

    Surroundings m_s;
    actions::ActionCounters m_counters;
    actions::UndoLedger m_ledger;
    // The last calculation, until its distribution or the next list.
    std::optional<actions::DistributionPlan> m_mediaPlan;
    std::unique_ptr<DevelopmentDialog> m_development;
    bool m_running = false;
    // A file of the run changed its name or content in place (see RunGuard).
    bool m_renamedInPlace = false;
    bool m_deleteKeyConfirmed = false;
};

} // namespace qlx::gui
