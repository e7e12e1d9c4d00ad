#pragma once
// The folder commands of the folder pane, and the current folder they work
// on: the last folder the list showed or the user chose in the tree.
//
// Creating, renaming and trashing a folder go through
// imagelist/folder_commands.h, which keeps the folder's thumbnail-cache file
// with it; the tree is rebuilt afterwards. The two top-level folders (the
// home folder and "/") are never renamed or trashed. A rename onto an
// existing name, an unchanged name or a name the rules refuse does nothing;
// a failure of the file system is reported.
//
// GUI thread only.

#include <QObject>
#include <QString>

#include <filesystem>

namespace qlx::gui {

class FolderTreeView;
class FolderPaneDialogs;

class FolderTreeCommands : public QObject {
    Q_OBJECT
public:
    FolderTreeCommands(FolderTreeView& tree, std::filesystem::path cacheDirectory, FolderPaneDialogs& dialogs,
                       QObject* parent = nullptr);

    const QString& currentFolder() const { return m_current; }

    // Follows the list: `folder` becomes current and the tree expands to it;
    // nothing is reported.
    void follow(const QString& folder);
    // The user's choice from elsewhere than the tree (a favourite, the cache
    // history, a drop): the tree expands to `folder` (rebuilt first when
    // `rebuild`), and the deepest folder reached becomes current and is
    // reported as folderChosen.
    void choose(const QString& folder, bool rebuild);

    // Rebuilds the tree, expanded to the current folder.
    void reload();
    // Asks for a name and creates that folder in the current folder.
    bool askNewFolder();
    bool create(const QString& parent, const QString& name);
    // Starts editing the folder's label in the tree; the edit ends in rename.
    bool startRename(const QString& folder);
    bool rename(const QString& folder, const QString& newName);
    // Moves the folder to the trash after asking; when it was the current
    // folder (or held it), the folder above it becomes current and chosen.
    bool trash(const QString& folder);
    void openInFileManager(const QString& folder);
    void showProperties(const QString& folder);

Q_SIGNALS:
    void folderChosen(const QString& path);
    void folderRenamed(const QString& oldPath, const QString& newPath);
    void folderDeleted(const QString& path);

private:
    bool isTopLevel(const QString& folder) const;

    FolderTreeView& m_tree;
    std::filesystem::path m_cacheDirectory;
    FolderPaneDialogs& m_dialogs;
    QString m_current;
};

} // namespace qlx::gui
