#pragma once
// The window of the development actions: "RAW現像" while a development job
// (raw/development_job.h) writes its files, "[done/total] RAW現像" once files
// are done, a line that names the file under way with dots that move every
// 333 ms, a progress bar, and Close. Close (or Escape) cancels: the
// development in work stops and is logged as skipped, nothing more is
// written, and the window closes when the worker has ended.
//
// While the job runs the main window is disabled and its caption starts with
// "[done/total] ". Each file's result goes to the action log and its row of
// the list is drawn again.
//
// The worker hands each file's progress over and waits until the window
// has taken it, so that the window names a file before its development
// starts and a Close seen then cancels that very file. Results and the end
// arrive as queued calls.

#include "raw/development_job.h"

#include <QDialog>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;

namespace qlx::gui {

class ListPane;
class Rebar;

class DevelopmentDialog : public QDialog {
    Q_OBJECT
public:
    // What the window works with around it.
    struct Surroundings {
        QWidget& mainWindow; // disabled while the job runs
        // Shows the main window's caption with this prefix ("" for none).
        std::function<void(std::u16string_view prefix)> showTitlePrefix;
        Rebar& log;     // the action log's band
        ListPane& list; // rows drawn again after their file
        int drawingPriority = 2;
        // Each file's result, after its log line (the file history).
        std::function<void(const raw::DevelopmentReport&)> reported;
    };

    DevelopmentDialog(Surroundings surroundings, std::vector<raw::DevelopmentItem> items,
                      raw::DevelopmentSettings settings);
    ~DevelopmentDialog() override;

    // Shows the window and starts the job.
    void start();
    bool running() const { return m_running; }
    QPushButton* closeButton() const { return m_close; }
    QString statusText() const;

Q_SIGNALS:
    // A file is under way (`current` its name) or, with `current` empty,
    // `done` files are finished; on the user-interface thread.
    void progressed(int done, int total, const QString& current);
    // The job has ended and the window closed.
    void ended();

protected:
    void reject() override; // Close and Escape

private:
    bool askReplace(const std::filesystem::path& existing);
    void onProgress(const raw::DevelopmentProgress& progress);
    void onReport(const raw::DevelopmentReport& report);
    void onEnded();
    void showStatus();

    Surroundings m_surroundings;
    raw::OutputKind m_kind;
    std::unique_ptr<raw::DevelopmentJob> m_job;
    QLabel* m_status = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_close = nullptr;
    QTimer m_ticker;
    int m_ticks = 0;
    int m_done = 0;
    QString m_current;
    bool m_running = false;
    bool m_cancelling = false;
};

} // namespace qlx::gui
