#include "raw/development_dialog.h"

#include "imagelist/imagelist_messages.h"
#include "imagelist/list_pane.h"
#include "raw/raw_messages.h"
#include "shell/message_box.h"
#include "shell/program_info.h"
#include "shell/pump.h"
#include "shell/qt_text.h"
#include "shell/rebar.h"
#include "shell/shell_messages.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace qlx::gui {

namespace {

namespace msg = raw::messages;
using shell::messages::fillText;
using shell::messages::numberText;

constexpr int kTickMilliseconds = 333;

std::u16string counted(std::u16string_view text, int done, int total)
{
    return fillText(fillText(text, u"%d", numberText(static_cast<std::size_t>(done))), u"%d",
                    numberText(static_cast<std::size_t>(total)));
}

} // namespace

DevelopmentDialog::DevelopmentDialog(Surroundings surroundings, std::vector<raw::DevelopmentItem> items,
                                     raw::DevelopmentSettings settings)
    // No parent: disabling the main window disables its child windows too,
    // and Close must stay usable.
    : QDialog(nullptr, Qt::Window)
    , m_surroundings(std::move(surroundings))
    , m_kind(settings.kind)
{
    setObjectName(QStringLiteral("developmentDialog"));
    setWindowTitle(toQString(msg::kDevelopmentTitle));
    setWindowModality(Qt::NonModal);
    m_status = new QLabel(this);
    m_bar = new QProgressBar(this);
    m_close = new QPushButton(toQString(shell::messages::kButtonClose), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_bar);
    layout->addLayout(buttons);
    connect(m_close, &QPushButton::clicked, this, &DevelopmentDialog::reject);
    m_ticker.setInterval(kTickMilliseconds);
    connect(&m_ticker, &QTimer::timeout, this, [this] {
        ++m_ticks;
        showStatus();
    });

    raw::DevelopmentJob::Callbacks callbacks;
    callbacks.replace = [this](const std::filesystem::path& existing) { return askReplace(existing); };
    callbacks.progress = [this](const raw::DevelopmentProgress& p) {
        QMetaObject::invokeMethod(this, [this, p] { onProgress(p); }, Qt::BlockingQueuedConnection);
    };
    callbacks.report = [this](const raw::DevelopmentReport& r) {
        QMetaObject::invokeMethod(this, [this, r] { onReport(r); }, Qt::QueuedConnection);
    };
    callbacks.ended = [this] { QMetaObject::invokeMethod(this, [this] { onEnded(); }, Qt::QueuedConnection); };
    m_job = std::make_unique<raw::DevelopmentJob>(std::move(items), std::move(settings), std::move(callbacks));
    m_bar->setRange(0, m_job->total());
    m_bar->setValue(0);
}

DevelopmentDialog::~DevelopmentDialog()
{
    if (m_running) {
        m_job->cancel();
        // The worker may be waiting for this thread to take its progress.
        m_job->wait(pumpEvents);
    }
}

void DevelopmentDialog::start()
{
    m_running = true;
    m_surroundings.mainWindow.setEnabled(false);
    m_surroundings.showTitlePrefix(counted(msg::kCaptionPrefix, 0, m_job->total()));
    show();
    m_ticker.start();
    m_job->start(m_surroundings.drawingPriority);
}

QString DevelopmentDialog::statusText() const
{
    return m_status->text();
}

void DevelopmentDialog::reject()
{
    if (!m_running) {
        QDialog::reject();
        return;
    }
    // The window closes once the worker has ended (onEnded).
    m_cancelling = true;
    m_job->cancel();
    showStatus();
}

bool DevelopmentDialog::askReplace(const std::filesystem::path& existing)
{
    bool replace = false;
    const QString name = QFileInfo(pathToQString(existing)).fileName();
    QMetaObject::invokeMethod(
        this,
        [this, name] {
            return askYesNo(shell::kProductName, fillText(imagelist::messages::kReplaceFileQuestion, u"%s", u16View(name)),
                            this);
        },
        Qt::BlockingQueuedConnection, &replace);
    return replace;
}

void DevelopmentDialog::onProgress(const raw::DevelopmentProgress& progress)
{
    m_done = progress.done;
    m_current = toQString(progress.current);
    if (progress.current.empty() || progress.done > 0)
        setWindowTitle(toQString(counted(msg::kDevelopmentCountTitle, progress.done, progress.total)));
    m_surroundings.showTitlePrefix(counted(msg::kCaptionPrefix, progress.done, progress.total));
    m_bar->setValue(progress.done);
    showStatus();
    Q_EMIT progressed(progress.done, progress.total, m_current);
}

void DevelopmentDialog::onReport(const raw::DevelopmentReport& report)
{
    m_surroundings.log.addLogLine(
        toQString(actions::logLine(static_cast<int>(m_kind), report.fileName, report.result)));
    if (m_surroundings.reported)
        m_surroundings.reported(report);
    const std::size_t row = report.entryIndex;
    m_surroundings.list.entriesChanged(std::span(&row, 1));
}

void DevelopmentDialog::onEnded()
{
    m_job->wait(); // joins the thread, which has finished
    m_running = false;
    m_ticker.stop();
    m_surroundings.showTitlePrefix({});
    m_surroundings.mainWindow.setEnabled(true);
    QDialog::reject();
    Q_EMIT ended();
}

void DevelopmentDialog::showStatus()
{
    const std::u16string_view dots = msg::kDots[static_cast<std::size_t>(m_ticks % 4)];
    if (m_cancelling)
        m_status->setText(toQString(fillText(msg::kCancelling, u"%s", dots)));
    else if (!m_current.isEmpty())
        m_status->setText(toQString(fillText(fillText(msg::kDevelopingFile, u"%s", u16View(m_current)), u"%s", dots)));
}

} // namespace qlx::gui
