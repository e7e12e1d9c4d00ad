#include "imagelist/file_transfer.h"

#include "actions/file_operations.h"
#include "imagelist/folder_pane_dialogs.h"
#include "imagelist/imagelist_messages.h"
#include "imagelist/pane_text.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>

#include <utility>

namespace qlx::gui {

namespace {

namespace msg = imagelist::messages;

// Holds back the application's key and mouse input while it is installed,
// noting whether Escape was pressed. The questions the walk asks run as
// modal boxes and get their input as usual.
class EscapeWatch : public QObject {
public:
    EscapeWatch() { qApp->installEventFilter(this); }
    ~EscapeWatch() override { qApp->removeEventFilter(this); }
    EscapeWatch(const EscapeWatch&) = delete;
    EscapeWatch& operator=(const EscapeWatch&) = delete;

    bool takePressed() { return std::exchange(m_pressed, false); }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        if (QApplication::activeModalWidget() != nullptr)
            return false;
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
                m_pressed = true;
            return true;
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::Drop:
            return true;
        default:
            return false;
        }
    }

private:
    bool m_pressed = false;
};

} // namespace

FileTransfer::FileTransfer(std::function<QStringList()> selectedPaths, FolderPaneDialogs& dialogs, QObject* parent)
    : QObject(parent)
    , m_selectedPaths(std::move(selectedPaths))
    , m_dialogs(dialogs)
{
}

void FileTransfer::rememberSelection()
{
    m_remembered = m_selectedPaths();
}

int FileTransfer::transferSelected(const QString& folder, bool move)
{
    const QStringList files = m_remembered ? *std::exchange(m_remembered, std::nullopt) : m_selectedPaths();
    if (folder.isEmpty())
        return 0;
    if (files.isEmpty())
        return 0;
    EscapeWatch escape;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    int transferred = 0;
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (i > 0) {
            QCoreApplication::processEvents();
            if (escape.takePressed()
                && m_dialogs.ask(toQString(move ? msg::kAbortMoveQuestion : msg::kAbortCopyQuestion)))
                break;
        }
        if (transferOne(files[i], folder, move))
            ++transferred;
    }
    QGuiApplication::restoreOverrideCursor();
    return transferred;
}

bool FileTransfer::transferOne(const QString& file, const QString& folder, bool move)
{
    const std::filesystem::path source = pathFromQString(file);
    const std::filesystem::path target = pathFromQString(folder);
    auto run = [&](actions::TransferOptions options) {
        return move ? actions::moveFile(source, target, options) : actions::copyFile(source, target, options);
    };
    const QString name = QFileInfo(file).fileName();
    actions::TransferResult result = run({});
    if (result.outcome == actions::TransferOutcome::TargetExists) {
        if (!m_dialogs.ask(fill(msg::kReplaceFileQuestion, name)))
            return false;
        result = run({actions::ExistingTarget::Replace});
    }
    if (result.outcome == actions::TransferOutcome::SameFile)
        return false; // already where it is to go
    if (!result.done()) {
        m_dialogs.showError(fill(move ? msg::kMoveFailed : msg::kCopyFailed, name));
        return false;
    }
    Q_EMIT fileTransferred(file, pathToQString(result.target), move);
    return true;
}

} // namespace qlx::gui
