#pragma once
// "Copy / move the selected files here": the files selected in the image
// list go into a folder one by one through actions/file_operations.h. The
// files are those selected when the folder menu opened (rememberSelection):
// the right-clicked folder becomes current as the menu opens, and the list
// then shows that folder. A
// file of the same name in the folder is replaced only when the user says
// so; a failure is reported and the walk goes on with the next file.
//
// The walk runs on the GUI thread. Between files it lets queued events
// through to see whether Escape was pressed, and then asks whether to stop;
// every other key and mouse input (a context menu, another folder, another
// command) is held back until the walk ends. The wait cursor shows
// meanwhile.

#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>

namespace qlx::gui {

class FolderPaneDialogs;

class FileTransfer : public QObject {
    Q_OBJECT
public:
    // `selectedPaths` gives the full paths of the files selected in the list.
    FileTransfer(std::function<QStringList()> selectedPaths, FolderPaneDialogs& dialogs, QObject* parent = nullptr);

    // Notes the list's selection for the next transfer.
    void rememberSelection();
    // Copies or moves the files selected when rememberSelection was last
    // called (the list's selection now, without it) into `folder`; returns
    // how many arrived there.
    int transferSelected(const QString& folder, bool move);

Q_SIGNALS:
    // One file arrived.
    void fileTransferred(const QString& source, const QString& target, bool moved);
    // A file did not get there (refused, declined or failed).
    void transferFailed(const QString& source, const QString& folder, bool moved);

private:
    bool transferOne(const QString& file, const QString& folder, bool move);

    std::function<QStringList()> m_selectedPaths;
    std::optional<QStringList> m_remembered;
    FolderPaneDialogs& m_dialogs;
};

} // namespace qlx::gui
