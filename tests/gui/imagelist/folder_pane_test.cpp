// The folder pane: its tabs and modes, the folder tree walked to a deep
// folder, favourites, the folder commands with the cache file following the
// folder, copy and move of the selected files, drops, the collection tree
// and its commands, the menus' routing and the width.
//
// Every question goes to the pane's hooks, which answer as each test says
// and record what was asked, so no box ever opens.

#include "imagelist/folder_pane.h"

#include "imagelist/folder_commands.h"
#include "imagelist/folder_pane_dialogs.h"
#include "imagelist/folder_tree_view.h"
#include "imagelist/pane_sizing_bar.h"
#include "library/collection_store.h"
#include "shell/menu_builder.h"
#include "shell/settings_record.h"
#include "support/test_paths.h"
#include "cache/cache_name.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QMimeData>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>

#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>

using qlx::gui::FolderPane;
using qlx::gui::FolderPaneHooks;
using qlx::gui::FolderTreeView;
using qlx::gui::MenuBuilder;
using qlx::gui::SettingsAnswer;
using qlx::shell::Availability;
using qlx::shell::MenuId;

namespace fs = std::filesystem;

namespace {

QString qpath(const fs::path& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

void writeFile(const fs::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

std::string readFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What the hooks were asked, and how they answer.
struct Answers {
    QStringList asked;     // Yes/No questions
    QStringList settings;  // three-button questions
    QStringList notices;
    QStringList errors;
    QStringList names;     // titles of name dialogs
    QList<QUrl> opened;
    QStringList properties;
    bool yes = true;
    std::deque<bool> nextYes; // answers before `yes` applies
    SettingsAnswer settingsAnswer = SettingsAnswer::Yes;
    std::optional<QString> name;

    FolderPaneHooks hooks()
    {
        FolderPaneHooks hooks;
        hooks.askYesNo = [this](const QString& text) {
            asked.append(text);
            if (!nextYes.empty()) {
                const bool answer = nextYes.front();
                nextYes.pop_front();
                return answer;
            }
            return yes;
        };
        hooks.askWithSettings = [this](const QString& text) {
            settings.append(text);
            return settingsAnswer;
        };
        hooks.inform = [this](const QString& text) { notices.append(text); };
        hooks.showError = [this](const QString& text) { errors.append(text); };
        hooks.askName = [this](const QString& title, const QString&, FolderPaneHooks::NameKind) {
            names.append(title);
            return name;
        };
        hooks.openUrl = [this](const QUrl& url) {
            opened.append(url);
            return true;
        };
        hooks.showProperties = [this](const QString& folder) { properties.append(folder); };
        return hooks;
    }
};

QTreeWidgetItem* childNamed(QTreeWidgetItem* parent, const QString& label)
{
    for (int i = 0; i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0) == label)
            return parent->child(i);
    }
    return nullptr;
}

} // namespace

class FolderPaneTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void tabsSwitchTheMode();
    void showFolderWalksTheTreePath();
    void showFolderStopsAtTheDeepestFolderFound();
    void listingsFillTheTreeAndKeepThePath();
    void choosingAFolderReportsIt();
    void favouritesAreNewestFirstAndUnique();
    void favouritesHoldAtMost128();
    void favouriteQuestionOffersTheSettings();
    void createRenameDeleteTakeTheCacheAlong();
    void renamingByEditingTheLabel();
    void topLevelFoldersAreNeverRenamedOrDeleted();
    void openAndPropertiesUseTheCurrentFolder();
    void clearCacheAsksFirst();
    void copyAndMoveSelectedFilesHere();
    void anExistingFileIsReplacedOnlyAfterAsking();
    void escapeBetweenFilesOffersToStop();
    void droppedFolderIsShown();
    void droppedFilesJoinTheCurrentCollection();
    void collectionTreeListsTheCollections();
    void collectionCommands();
    void deletingAllSearchResults();
    void menusRouteTheirCommandsToThePane();
    void widthIsClampedAndStored();
    void propertiesDialogShowsTheFolder();
    void withoutHooksTheProgramsOwnBoxesAsk();

private:
    fs::path root() const { return m_temp->path(); }
    fs::path photos() const { return root() / "photos"; }
    fs::path cacheDir() const { return root() / "cache"; }
    fs::path cacheOf(const fs::path& folder) const
    {
        return qlx::imagelist::folderCacheFile(cacheDir(), qlx::cache::utf16FromFileName(folder));
    }
    // A pane whose home item is the temporary folder, its hooks answering
    // from m_answers.
    std::unique_ptr<FolderPane> makePane()
    {
        auto pane = std::make_unique<FolderPane>();
        pane->setHomeFolder(qpath(root()));
        pane->setHooks(m_answers.hooks());
        pane->setSettings(&m_settings);
        pane->setCacheDirectory(cacheDir());
        return pane;
    }

    std::unique_ptr<qlx::test::TempDir> m_temp;
    qlx::settings::SettingsRecord m_settings;
    Answers m_answers;
};

void FolderPaneTest::initTestCase()
{
    // The trash of these tests, never the user's.
    static qlx::test::TempDir data;
    qputenv("XDG_DATA_HOME", QFile::encodeName(qpath(data.path())));
}

void FolderPaneTest::init()
{
    m_temp = std::make_unique<qlx::test::TempDir>();
    fs::create_directories(photos());
    fs::create_directories(cacheDir());
    m_settings.clear();
    m_answers = Answers{};
}

void FolderPaneTest::cleanup()
{
    m_temp.reset();
}

void FolderPaneTest::tabsSwitchTheMode()
{
    auto pane = makePane();
    QTabWidget* tabs = pane->tabs();
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), QStringLiteral("フォルダ"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("コレクション"));
    QVERIFY(!pane->collectionMode());

    QSignalSpy mode(pane.get(), &FolderPane::modeChanged);
    tabs->setCurrentIndex(1);
    QCOMPARE(mode.size(), 1);
    QCOMPARE(mode.front().at(0).toBool(), true);
    QVERIFY(pane->collectionMode());
    QCOMPARE(tabs->currentWidget(), static_cast<QWidget*>(pane->collectionTree()));

    // Following the list switches silently.
    pane->showFolder(qpath(photos()));
    QVERIFY(!pane->collectionMode());
    pane->showCollection(QStringLiteral("none"));
    QVERIFY(pane->collectionMode());
    QCOMPARE(mode.size(), 1);
    tabs->setCurrentIndex(0);
    QCOMPARE(mode.size(), 2);
    QCOMPARE(mode.back().at(0).toBool(), false);
}

void FolderPaneTest::showFolderWalksTheTreePath()
{
    const fs::path deep = photos() / "2024" / "旅行" / "京都" / "day 1" / "raw";
    fs::create_directories(deep);
    auto pane = makePane();
    QSignalSpy chosen(pane.get(), &FolderPane::folderChosen);
    pane->showFolder(qpath(deep) + QStringLiteral("/"));

    FolderTreeView* tree = pane->folderTree();
    QCOMPARE(tree->selectedFolder(), qpath(deep));
    QCOMPARE(pane->currentFolder(), qpath(deep));
    QVERIFY(chosen.isEmpty());
    // Every item on the way is expanded, from the home item down.
    QTreeWidgetItem* item = tree->currentItem();
    QStringList labels;
    for (; item != nullptr; item = item->parent()) {
        labels.prepend(item->text(0));
        QVERIFY(item->isExpanded());
    }
    QCOMPARE(labels, (QStringList{qpath(root().filename()), QStringLiteral("photos"), QStringLiteral("2024"),
                                  QStringLiteral("旅行"), QStringLiteral("京都"), QStringLiteral("day 1"),
                                  QStringLiteral("raw")}));

    // Outside the home folder the walk goes through "/".
    pane->setHomeFolder(qpath(deep));
    pane->showFolder(qpath(photos()));
    QTreeWidgetItem* top = tree->currentItem();
    while (top->parent() != nullptr)
        top = top->parent();
    QCOMPARE(top->text(0), QStringLiteral("/"));
    QCOMPARE(tree->selectedFolder(), qpath(photos()));
    QVERIFY(chosen.isEmpty());
}

void FolderPaneTest::showFolderStopsAtTheDeepestFolderFound()
{
    fs::create_directories(photos() / "a");
    auto pane = makePane();
    pane->showFolder(qpath(photos() / "a" / "missing" / "more"));
    QCOMPARE(pane->folderTree()->selectedFolder(), qpath(photos() / "a"));
    // A path without a tree path changes nothing.
    pane->showFolder(QStringLiteral("relative/path"));
    QCOMPARE(pane->folderTree()->selectedFolder(), qpath(photos() / "a"));
}

void FolderPaneTest::listingsFillTheTreeAndKeepThePath()
{
    fs::create_directories(photos() / ".hidden" / "inner");
    fs::create_directories(photos() / "b10");
    fs::create_directories(photos() / "b2");
    writeFile(photos() / "not a folder.jpg", "x");
    auto pane = makePane();
    FolderTreeView* tree = pane->folderTree();
    pane->showFolder(qpath(photos() / ".hidden" / "inner"));
    QTRY_COMPARE(tree->pendingListings(), 0);

    QTreeWidgetItem* photosItem = tree->itemOf(qpath(photos()));
    QVERIFY(photosItem);
    QStringList children;
    for (int i = 0; i < photosItem->childCount(); ++i)
        children.append(photosItem->child(i)->text(0));
    // Digit-aware order; the hidden folder stays because the path leads
    // through it; files are not folders.
    QCOMPARE(children, (QStringList{QStringLiteral(".hidden"), QStringLiteral("b2"), QStringLiteral("b10")}));
    QCOMPARE(tree->selectedFolder(), qpath(photos() / ".hidden" / "inner"));
    QVERIFY(childNamed(photosItem, QStringLiteral(".hidden"))->isExpanded());

    // Expanding a folder lists it.
    QTreeWidgetItem* b2 = childNamed(photosItem, QStringLiteral("b2"));
    fs::create_directories(photos() / "b2" / "sub");
    b2->setExpanded(true);
    QTRY_COMPARE(b2->childCount(), 1);
    QCOMPARE(b2->child(0)->text(0), QStringLiteral("sub"));
}

void FolderPaneTest::choosingAFolderReportsIt()
{
    fs::create_directories(photos() / "a");
    fs::create_directories(photos() / "b");
    auto pane = makePane();
    pane->showFolder(qpath(photos() / "a"));
    QSignalSpy chosen(pane.get(), &FolderPane::folderChosen);
    FolderTreeView* tree = pane->folderTree();
    QTreeWidgetItem* photosItem = tree->itemOf(qpath(photos()));
    QTRY_VERIFY(childNamed(photosItem, QStringLiteral("b")) != nullptr);
    tree->setCurrentItem(childNamed(photosItem, QStringLiteral("b")));
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.front().at(0).toString(), qpath(photos() / "b"));
    QCOMPARE(pane->currentFolder(), qpath(photos() / "b"));
}

void FolderPaneTest::favouritesAreNewestFirstAndUnique()
{
    fs::create_directories(photos() / "Kyoto");
    fs::create_directories(photos() / "nara");
    auto pane = makePane();
    QSignalSpy changed(pane.get(), &FolderPane::favouritesChanged);
    const QString kyoto = qpath(photos() / "Kyoto");
    const QString nara = qpath(photos() / "nara");
    QVERIFY(pane->registerFavourite(kyoto));
    QVERIFY(pane->registerFavourite(nara));
    QCOMPARE(pane->favourites(), (QStringList{nara, kyoto}));
    QCOMPARE(m_answers.settings.front(),
             QStringLiteral("お気に入りフォルダに登録します。\n") + kyoto
                 + QStringLiteral("　　\n\n登録してよろしいですか？"));

    // The same folder in other letters moves to the top, once.
    const QString kyotoLower = qpath(photos() / "kyoto");
    QVERIFY(pane->registerFavourite(kyotoLower));
    QCOMPARE(pane->favourites(), (QStringList{kyotoLower, nara}));
    QCOMPARE(changed.size(), 3);
    // Stored in the settings record, newest first.
    QCOMPARE(QString::fromStdU16String(m_settings.favourite(0)), kyotoLower);

    // Choosing an entry opens that folder.
    QSignalSpy chosen(pane.get(), &FolderPane::folderChosen);
    pane->chooseListEntry(MenuId::Favourites, 1);
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.front().at(0).toString(), nara);
    QCOMPARE(pane->folderTree()->selectedFolder(), nara);
    pane->chooseListEntry(MenuId::Favourites, 7); // no such entry
    QCOMPARE(chosen.size(), 1);
}

void FolderPaneTest::favouritesHoldAtMost128()
{
    auto pane = makePane();
    for (int n = 1; n <= 129; ++n)
        QVERIFY(pane->registerFavourite(QStringLiteral("/photos/%1").arg(n)));
    const QStringList favourites = pane->favourites();
    QCOMPARE(favourites.size(), 128);
    QCOMPARE(favourites.front(), QStringLiteral("/photos/129"));
    QCOMPARE(favourites.back(), QStringLiteral("/photos/2"));
}

void FolderPaneTest::favouriteQuestionOffersTheSettings()
{
    auto pane = makePane();
    QSignalSpy page(pane.get(), &FolderPane::settingsPageRequested);
    m_answers.settingsAnswer = SettingsAnswer::CheckSettings;
    QVERIFY(!pane->registerFavourite(QStringLiteral("/a")));
    QCOMPARE(page.size(), 1);
    QCOMPARE(page.front().at(0).toInt(), 11);
    m_answers.settingsAnswer = SettingsAnswer::No;
    QVERIFY(!pane->registerFavourite(QStringLiteral("/a")));
    QVERIFY(pane->favourites().isEmpty());
    QCOMPARE(page.size(), 1);
}

void FolderPaneTest::createRenameDeleteTakeTheCacheAlong()
{
    auto pane = makePane();
    pane->showFolder(qpath(photos()));

    // Create: the name dialog, then the folder in the current folder.
    m_answers.name = QStringLiteral("新しい");
    QVERIFY(pane->runCommand(160));
    QCOMPARE(m_answers.names, QStringList{QStringLiteral("新規フォルダ作成")});
    QVERIFY(fs::is_directory(photos() / "新しい"));
    // The rebuilt tree lists the current folder again.
    QTRY_VERIFY(pane->folderTree()->itemOf(qpath(photos() / "新しい")) != nullptr);

    // Rename: the cache file follows; the list's folder follows too.
    writeFile(cacheOf(photos() / "新しい"), "thumbs");
    pane->showFolder(qpath(photos() / "新しい"));
    QSignalSpy renamed(pane.get(), &FolderPane::folderRenamed);
    QVERIFY(pane->renameFolder(qpath(photos() / "新しい"), QStringLiteral("renamed")));
    QVERIFY(fs::is_directory(photos() / "renamed"));
    QVERIFY(!fs::exists(cacheOf(photos() / "新しい")));
    QCOMPARE(readFile(cacheOf(photos() / "renamed")), std::string("thumbs"));
    QCOMPARE(renamed.size(), 1);
    QCOMPARE(renamed.front().at(1).toString(), qpath(photos() / "renamed"));
    QCOMPARE(pane->currentFolder(), qpath(photos() / "renamed"));
    QCOMPARE(pane->folderTree()->selectedFolder(), qpath(photos() / "renamed"));

    // A target that exists is ignored silently.
    fs::create_directories(photos() / "taken");
    QVERIFY(!pane->renameFolder(qpath(photos() / "renamed"), QStringLiteral("taken")));
    QVERIFY(fs::is_directory(photos() / "renamed"));
    QVERIFY(m_answers.errors.isEmpty());

    // Delete: asked, to the trash, its cache file deleted, the list goes up.
    QSignalSpy deleted(pane.get(), &FolderPane::folderDeleted);
    QSignalSpy chosen(pane.get(), &FolderPane::folderChosen);
    m_answers.nextYes = {false};
    QVERIFY(pane->runCommand(159));
    QVERIFY(fs::is_directory(photos() / "renamed"));
    QVERIFY(pane->runCommand(159));
    QCOMPARE(m_answers.asked.back(), QStringLiteral("フォルダ 'renamed' とその内容をすべてごみ箱に移動しますか？"));
    QVERIFY(!fs::exists(photos() / "renamed"));
    QVERIFY(!fs::exists(cacheOf(photos() / "renamed")));
    QCOMPARE(deleted.size(), 1);
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.front().at(0).toString(), qpath(photos()));
    QCOMPARE(pane->currentFolder(), qpath(photos()));
    QVERIFY(pane->folderTree()->itemOf(qpath(photos() / "renamed")) == nullptr);
}

void FolderPaneTest::renamingByEditingTheLabel()
{
    fs::create_directories(photos() / "before");
    auto pane = makePane();
    pane->show();
    // An editor loses its edit when the window takes the focus after it.
    QVERIFY(QTest::qWaitForWindowActive(pane.get()));
    pane->showFolder(qpath(photos() / "before"));
    QVERIFY(pane->runCommand(161));
    auto* editor = pane->folderTree()->findChild<QLineEdit*>();
    QVERIFY(editor);
    QCOMPARE(editor->text(), QStringLiteral("before"));
    editor->setText(QStringLiteral("after"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(fs::is_directory(photos() / "after"));
    QVERIFY(!fs::exists(photos() / "before"));
    QTRY_COMPARE(pane->folderTree()->selectedFolder(), qpath(photos() / "after"));
}

void FolderPaneTest::topLevelFoldersAreNeverRenamedOrDeleted()
{
    auto pane = makePane();
    pane->showFolder(qpath(root()));
    QVERIFY(!pane->startRename(qpath(root())));
    QVERIFY(!pane->startRename(QStringLiteral("/")));
    QVERIFY(!pane->renameFolder(qpath(root()), QStringLiteral("x")));
    QVERIFY(!pane->deleteFolder(qpath(root())));
    QVERIFY(!pane->deleteFolder(QStringLiteral("/")));
    QVERIFY(m_answers.asked.isEmpty());
    QVERIFY(fs::is_directory(root()));
}

void FolderPaneTest::openAndPropertiesUseTheCurrentFolder()
{
    auto pane = makePane();
    pane->showFolder(qpath(photos()));
    QVERIFY(pane->runCommand(156));
    QCOMPARE(m_answers.opened, QList<QUrl>{QUrl::fromLocalFile(qpath(photos()))});
    QVERIFY(pane->runCommand(157));
    QCOMPARE(m_answers.properties, QStringList{qpath(photos())});
    QVERIFY(!pane->runCommand(118)); // not the pane's
}

void FolderPaneTest::clearCacheAsksFirst()
{
    writeFile(cacheDir() / "a.cac", "a");
    writeFile(cacheDir() / "b.cac", "b");
    auto pane = makePane();
    QSignalSpy cleared(pane.get(), &FolderPane::cachesCleared);
    m_answers.yes = false;
    QVERIFY(pane->runCommand(185));
    QVERIFY(fs::exists(cacheDir() / "a.cac"));
    m_answers.yes = true;
    QVERIFY(pane->runCommand(185));
    QCOMPARE(m_answers.asked.back(), QStringLiteral("キャッシュデータを全て削除します。\n実行しますか？"));
    QVERIFY(!fs::exists(cacheDir() / "a.cac"));
    QVERIFY(!fs::exists(cacheDir() / "b.cac"));
    QCOMPARE(cleared.size(), 1);
}

void FolderPaneTest::copyAndMoveSelectedFilesHere()
{
    const fs::path source = root() / "card";
    const fs::path target = photos() / "target";
    fs::create_directories(source);
    fs::create_directories(target);
    writeFile(source / "a.jpg", "AAAA");
    writeFile(source / "b.cr2", "BBBBBB");
    auto pane = makePane();
    QStringList selected{qpath(source / "a.jpg"), qpath(source / "b.cr2")};
    pane->setSelectionSource([&selected] { return selected; });
    pane->showFolder(qpath(target));
    QSignalSpy transferred(pane.get(), &FolderPane::fileTransferred);

    QVERIFY(pane->runCommand(162));
    QCOMPARE(transferred.size(), 2);
    QCOMPARE(readFile(target / "a.jpg"), std::string("AAAA"));
    QCOMPARE(readFile(target / "b.cr2"), std::string("BBBBBB"));
    QVERIFY(fs::exists(source / "a.jpg"));
    QCOMPARE(transferred.front().at(1).toString(), qpath(target / "a.jpg"));
    QCOMPARE(transferred.front().at(2).toBool(), false);

    fs::remove(target / "a.jpg");
    fs::remove(target / "b.cr2");
    QVERIFY(pane->runCommand(163));
    QCOMPARE(transferred.size(), 4);
    QVERIFY(!fs::exists(source / "a.jpg"));
    QVERIFY(!fs::exists(source / "b.cr2"));
    QCOMPARE(readFile(target / "b.cr2"), std::string("BBBBBB"));
    QCOMPARE(transferred.back().at(2).toBool(), true);

    // A file that is gone is reported, and the walk goes on.
    writeFile(source / "c.jpg", "C");
    selected = {qpath(source / "gone.jpg"), qpath(source / "c.jpg")};
    QCOMPARE(pane->transferSelectedFiles(false), 1);
    QCOMPARE(m_answers.errors, QStringList{QStringLiteral("ファイル 'gone.jpg' をコピーできませんでした。")});
    QVERIFY(m_answers.asked.isEmpty());
}

void FolderPaneTest::anExistingFileIsReplacedOnlyAfterAsking()
{
    const fs::path source = root() / "card";
    fs::create_directories(source);
    writeFile(source / "a.jpg", "new");
    writeFile(photos() / "a.jpg", "old");
    auto pane = makePane();
    pane->setSelectionSource([&] { return QStringList{qpath(source / "a.jpg")}; });
    pane->showFolder(qpath(photos()));

    m_answers.yes = false;
    QCOMPARE(pane->transferSelectedFiles(true), 0);
    QCOMPARE(m_answers.asked,
             QStringList{QStringLiteral("このフォルダには既にファイル 'a.jpg' が存在します。\n\n既存のファイルを置き換えますか？")});
    QCOMPARE(readFile(photos() / "a.jpg"), std::string("old"));
    QVERIFY(fs::exists(source / "a.jpg"));

    m_answers.yes = true;
    QCOMPARE(pane->transferSelectedFiles(true), 1);
    QCOMPARE(readFile(photos() / "a.jpg"), std::string("new"));
    QVERIFY(!fs::exists(source / "a.jpg"));
}

void FolderPaneTest::escapeBetweenFilesOffersToStop()
{
    const fs::path source = root() / "card";
    fs::create_directories(source);
    QStringList selected;
    for (int i = 0; i < 3; ++i) {
        writeFile(source / ("f" + std::to_string(i) + ".jpg"), "x");
        selected.append(qpath(source / ("f" + std::to_string(i) + ".jpg")));
    }
    auto pane = makePane();
    pane->showFolder(qpath(photos()));
    // Escape arrives while the first file is copied.
    FolderPane* receiver = pane.get();
    pane->setSelectionSource([&selected, receiver] {
        QCoreApplication::postEvent(receiver, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        return selected;
    });
    m_answers.nextYes = {false};
    m_answers.yes = true;
    // "No" goes on; the walk ends at the next Escape, which never comes.
    QCOMPARE(pane->transferSelectedFiles(false), 3);
    QCOMPARE(m_answers.asked, QStringList{QStringLiteral("コピーを中断しますか？")});

    // "Yes" stops after the file in hand.
    for (const auto& entry : fs::directory_iterator(photos()))
        fs::remove(entry.path());
    m_answers.asked.clear();
    QCOMPARE(pane->transferSelectedFiles(true), 1);
    QCOMPARE(m_answers.asked, QStringList{QStringLiteral("移動を中断しますか？")});
    QVERIFY(fs::exists(photos() / "f0.jpg"));
    QVERIFY(fs::exists(source / "f1.jpg"));
}

void FolderPaneTest::droppedFolderIsShown()
{
    const fs::path deep = photos() / "x" / "y";
    fs::create_directories(deep);
    writeFile(deep / "a.jpg", "a");
    auto pane = makePane();
    QSignalSpy chosen(pane.get(), &FolderPane::folderChosen);

    // A dropped file stands for its folder; only the first path counts.
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(qpath(deep / "a.jpg")), QUrl::fromLocalFile(qpath(photos()))});
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    // Straight to the pane: the application delivers drops only while a
    // drag of its own is under way.
    static_cast<QObject*>(pane.get())->event(&drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.front().at(0).toString(), qpath(deep));
    QCOMPARE(pane->folderTree()->selectedFolder(), qpath(deep));

    pane->dropPaths({QStringLiteral("not/absolute")});
    QCOMPARE(chosen.size(), 1);
}

void FolderPaneTest::droppedFilesJoinTheCurrentCollection()
{
    qlx::library::CollectionStore store(root() / "collection");
    QVERIFY(store.create(u"旅行").created());
    QVERIFY(store.showCollection(0));
    writeFile(photos() / "a.jpg", "a");
    writeFile(photos() / "b.txt", "b");
    auto pane = makePane();
    pane->setCollectionStore(&store);
    pane->tabs()->setCurrentIndex(1);
    QSignalSpy content(pane.get(), &FolderPane::collectionContentChanged);

    pane->dropPaths({qpath(photos() / "a.jpg"), qpath(photos() / "b.txt"), QStringLiteral("relative.jpg")});
    QCOMPARE(content.size(), 1);
    QVERIFY(store.at(0).contains(qlx::cache::utf16FromFileName(photos() / "a.jpg")));
    QVERIFY(!store.at(0).contains(qlx::cache::utf16FromFileName(photos() / "b.txt")));
    // Nothing new: no refresh.
    pane->dropPaths({qpath(photos() / "a.jpg")});
    QCOMPARE(content.size(), 1);
}

void FolderPaneTest::collectionTreeListsTheCollections()
{
    qlx::library::CollectionStore store(root() / "collection");
    for (const char16_t* name : {u"b", u"a10", u"a2"})
        QVERIFY(store.create(name).created());
    auto pane = makePane();
    pane->setCollectionStore(&store);
    QTreeWidget* tree = pane->collectionTree();
    QCOMPARE(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* rootItem = tree->topLevelItem(0);
    QCOMPARE(rootItem->text(0), QStringLiteral("コレクション"));
    QCOMPARE(rootItem->data(0, Qt::UserRole).toInt(), -1);
    QCOMPARE(rootItem->childCount(), 3);
    QCOMPARE(rootItem->child(0)->text(0), QStringLiteral("a2"));
    QCOMPARE(rootItem->child(0)->data(0, Qt::UserRole).toInt(), 2);
    QCOMPARE(rootItem->child(1)->text(0), QStringLiteral("a10"));
    QCOMPARE(rootItem->child(2)->text(0), QStringLiteral("b"));
    QCOMPARE(rootItem->child(2)->data(0, Qt::UserRole).toInt(), 0);

    QSignalSpy chosen(pane.get(), &FolderPane::collectionChosen);
    QSignalSpy cleared(pane.get(), &FolderPane::listClearRequested);
    tree->setCurrentItem(rootItem->child(1));
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.front().at(0).toString(), QStringLiteral("a10"));
    // The root with no current collection empties the list...
    tree->setCurrentItem(rootItem);
    QCOMPARE(cleared.size(), 1);
    // ...and with one, shows it again.
    QVERIFY(store.showCollection(2));
    tree->setCurrentItem(rootItem->child(2));
    tree->setCurrentItem(rootItem);
    QCOMPARE(chosen.size(), 3);
    QCOMPARE(chosen.back().at(0).toString(), QStringLiteral("a2"));
    QCOMPARE(tree->currentItem(), rootItem->child(0));

    // showCollection selects without reporting.
    pane->showCollection(QStringLiteral("b"));
    QCOMPARE(tree->currentItem()->text(0), QStringLiteral("b"));
    QCOMPARE(chosen.size(), 3);
}

void FolderPaneTest::collectionCommands()
{
    qlx::library::CollectionStore store(root() / "collection", qlx::library::collectionCacheLocator(cacheDir()));
    auto pane = makePane();
    pane->setCollectionStore(&store);
    QTreeWidget* tree = pane->collectionTree();

    m_answers.name = QStringLiteral("コレクション");
    QVERIFY(pane->runCommand(267));
    QCOMPARE(m_answers.names, QStringList{QStringLiteral("新規コレクション作成")});
    QCOMPARE(store.count(), 1u);
    QCOMPARE(tree->topLevelItem(0)->childCount(), 1);

    tree->setCurrentItem(tree->topLevelItem(0)->child(0));
    QSignalSpy renamed(pane.get(), &FolderPane::collectionRenamed);
    m_answers.name = QStringLiteral("京都");
    QVERIFY(pane->runCommand(272));
    QCOMPARE(m_answers.names.back(), QStringLiteral("コレクション名変更"));
    QCOMPARE(QString::fromStdU16String(store.at(0).name()), QStringLiteral("京都"));
    QCOMPARE(renamed.size(), 1);
    QCOMPARE(tree->topLevelItem(0)->child(0)->text(0), QStringLiteral("京都"));

    // Delete the shown collection: asked, deleted, the list emptied.
    QVERIFY(store.showCollection(0));
    pane->showCollection(QStringLiteral("京都"));
    QSignalSpy cleared(pane.get(), &FolderPane::listClearRequested);
    m_answers.nextYes = {false};
    QVERIFY(pane->runCommand(271));
    QCOMPARE(store.count(), 1u);
    QVERIFY(pane->runCommand(271));
    QCOMPARE(m_answers.asked.back(), QStringLiteral("コレクション[ 京都 ]を削除します。\n\n削除してよろしいですか？"));
    QCOMPARE(store.count(), 0u);
    QCOMPARE(tree->topLevelItem(0)->childCount(), 0);
    QCOMPARE(cleared.size(), 1);
}

void FolderPaneTest::deletingAllSearchResults()
{
    qlx::library::CollectionStore store(root() / "collection");
    QVERIFY(store.create(u"旅行").created());
    auto pane = makePane();
    pane->setCollectionStore(&store);

    QCOMPARE(pane->deleteAllSearchResults(), 0);
    QCOMPARE(m_answers.notices, QStringList{QStringLiteral("削除該当の項目はありません。")});
    QVERIFY(m_answers.asked.isEmpty());
    QCOMPARE(store.count(), 1u);

    QVERIFY(store.createSearchResult().created());
    QVERIFY(store.createSearchResult().created());
    pane->rebuildCollectionTree();
    QCOMPARE(pane->collectionTree()->topLevelItem(0)->childCount(), 3);
    m_answers.yes = false;
    QVERIFY(pane->runCommand(299));
    QCOMPARE(store.count(), 3u);
    m_answers.yes = true;
    QCOMPARE(pane->deleteAllSearchResults(), 2);
    QCOMPARE(m_answers.asked.back(), QStringLiteral("検索結果 2項目を一括削除します。\n\n削除してよろしいですか？"));
    QCOMPARE(store.count(), 1u);
    QCOMPARE(pane->collectionTree()->topLevelItem(0)->childCount(), 1);
}

void FolderPaneTest::menusRouteTheirCommandsToThePane()
{
    MenuBuilder builder(qlx::shell::kAvailableNow.with(Availability::Folders)
                            .with(Availability::Collections)
                            .with(Availability::Cache));
    qlx::library::CollectionStore store(root() / "collection");
    auto pane = makePane();
    pane->setCollectionStore(&store);
    pane->setMenuBuilder(&builder);
    pane->showFolder(qpath(photos()));

    // From the folder menu: 164 registers the current folder.
    QMenu* folderMenu = builder.menu(MenuId::Folder);
    QVERIFY(folderMenu);
    Q_EMIT folderMenu->aboutToShow();
    QAction* favourite = builder.actionsFor(164).front();
    QVERIFY(favourite->isEnabled());
    favourite->trigger();
    QCOMPARE(pane->favourites(), QStringList{qpath(photos())});
    // The favourites sub-menu shows it, and choosing it opens it.
    QMenu* favourites = builder.menu(MenuId::Favourites);
    QCOMPARE(favourites->actions().size(), 1);
    QCOMPARE(favourites->actions().front()->text(), qpath(photos()));
    QSignalSpy chosen(pane.get(), &FolderPane::folderChosen);
    favourites->actions().front()->trigger();
    QCOMPARE(chosen.size(), 1);

    // The same command from the list menu is not the pane's to hear.
    Q_EMIT builder.menu(MenuId::List)->aboutToShow();
    favourite->trigger();
    QCOMPARE(m_answers.settings.size(), 1);

    // From the collection menu: 299 with no search results.
    Q_EMIT builder.menu(MenuId::Collections)->aboutToShow();
    builder.actionsFor(299).front()->trigger();
    QCOMPARE(m_answers.notices, QStringList{QStringLiteral("削除該当の項目はありません。")});

    // The cache history lists the folders with a cache file.
    writeFile(cacheOf(photos()), "c");
    Q_EMIT builder.menu(MenuId::CacheHistory)->aboutToShow();
    QMenu* history = builder.menu(MenuId::CacheHistory);
    QCOMPARE(history->actions().size(), 1);
    QCOMPARE(history->actions().front()->text(), qpath(photos()));
}

void FolderPaneTest::widthIsClampedAndStored()
{
    m_settings.set(qlx::settings::kFolderPaneWidth, std::int32_t{0});
    QWidget window;
    window.resize(500, 300);
    auto* layout = new QHBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* pane = new FolderPane(&window);
    layout->addWidget(pane);
    layout->addWidget(new QWidget(&window), 1);
    pane->setSettings(&m_settings);
    QCOMPARE(pane->paneWidth(), 200);
    QCOMPARE(m_settings.get(qlx::settings::kFolderPaneWidth), 200);
    QSignalSpy changed(pane, &FolderPane::paneWidthChanged);
    pane->setPaneWidth(10);
    QCOMPARE(pane->paneWidth(), 64);
    layout->activate();
    QCOMPARE(pane->width(), 64);
    pane->setPaneWidth(1000);
    QCOMPARE(pane->paneWidth(), 436);
    QCOMPARE(m_settings.get(qlx::settings::kFolderPaneWidth), 436);
    QCOMPARE(changed.size(), 2);

    // Dragging the sizing bar to the far left stops at 64.
    pane->setPaneWidth(200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(pane->width(), 200);
    QWidget* bar = pane->sizingBar();
    QCOMPARE(bar->width(), 4);
    QCOMPARE(bar->cursor().shape(), Qt::SplitHCursor);
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, QPoint(2, 10));
    QMouseEvent moveRight(QEvent::MouseMove, QPointF(52, 10), bar->mapToGlobal(QPointF(52, 10)), Qt::NoButton,
                          Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(bar, &moveRight);
    QCOMPARE(pane->paneWidth(), 250);
    QTRY_COMPARE(pane->width(), 250);
    QMouseEvent moveLeft(QEvent::MouseMove, QPointF(-500, 10), bar->mapToGlobal(QPointF(-500, 10)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(bar, &moveLeft);
    QCOMPARE(pane->paneWidth(), 64);
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, QPoint(2, 10));
    QCOMPARE(m_settings.get(qlx::settings::kFolderPaneWidth), 64);
    QTRY_COMPARE(pane->width(), 64);

    // A window that places the pane itself hides the bar and sizes it freely.
    pane->setSizingBarShown(false);
    QVERIFY(!bar->isVisible());
    layout->removeWidget(pane);
    pane->resize(300, 200);
    QCOMPARE(pane->width(), 300);
}

void FolderPaneTest::propertiesDialogShowsTheFolder()
{
    writeFile(photos() / "a.jpg", "a");
    fs::create_directories(photos() / "sub");
    qlx::gui::FolderPropertiesDialog dialog(qpath(photos()));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("photos のプロパティ"));
    bool sawContents = false;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        sawContents = sawContents || label->text() == QStringLiteral("ファイル数 1、フォルダ数 1");
    QVERIFY(sawContents);
}

namespace {

// Answers the next box that opens with the button labelled `label`, and
// records the box's text and buttons.
void answerNextBox(const QString& label, QStringList* seenButtons, QString* seenText)
{
    QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            answerNextBox(label, seenButtons, seenText);
            return;
        }
        *seenText = box->text();
        for (QAbstractButton* button : box->buttons())
            seenButtons->append(button->text());
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == label) {
                button->click();
                return;
            }
        }
        box->reject();
    });
}

} // namespace

void FolderPaneTest::withoutHooksTheProgramsOwnBoxesAsk()
{
    auto pane = std::make_unique<FolderPane>();
    pane->setHomeFolder(qpath(root()));
    pane->setSettings(&m_settings);
    QStringList buttons;
    QString text;
    answerNextBox(QStringLiteral("はい(&Y)"), &buttons, &text);
    QVERIFY(pane->registerFavourite(qpath(photos())));
    buttons.sort();
    QCOMPARE(buttons, (QStringList{QStringLiteral("いいえ(&N)"), QStringLiteral("はい(&Y)"),
                                   QStringLiteral("設定確認(&E)")}));
    QVERIFY(text.startsWith(QStringLiteral("お気に入りフォルダに登録します。")));

    qlx::library::CollectionStore store(root() / "collection");
    pane->setCollectionStore(&store);
    buttons.clear();
    answerNextBox(QStringLiteral("OK"), &buttons, &text);
    QCOMPARE(pane->deleteAllSearchResults(), 0);
    QCOMPARE(text, QStringLiteral("削除該当の項目はありません。"));
    QCOMPARE(buttons, QStringList{QStringLiteral("OK")});
}

QTEST_MAIN(FolderPaneTest)
#include "folder_pane_test.moc"
