#include "imagelist/file_transfer.h"

#include "actions/file_operations.h"
#include "imagelist/folder_pane_dialogs.h"
#include "imagelist/imagelist_messages.h"
#include "imagelist/pane_text.h"
#include "shell/input_hold.h"

#include <QApplication>
#include <QFileInfo>

#include <utility>

namespace qlx::gui {

namespace {

namespace msg = imagelist::messages;

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
    InputHold hold;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    int transferred = 0;
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (i > 0) {
            if (hold.escapePressed()
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
        if (!m_dialogs.ask(fill(msg::kReplaceFileQuestion, name))) {
            Q_EMIT transferFailed(file, folder, move);
            return false;
        }
        result = run({actions::ExistingTarget::Replace});
    }
    if (result.outcome == actions::TransferOutcome::SameFile)
        return false; // already where it is to go
    if (!result.done()) {
        m_dialogs.showError(fill(move ? msg::kMoveFailed : msg::kCopyFailed, name));
        Q_EMIT transferFailed(file, folder, move);
        return false;
    }
    Q_EMIT fileTransferred(file, pathToQString(result.target), move);
    return true;
}

} // namespace qlx::gui
