// The folder pane as the browser builds it (settings, collection store,
// cache folder, menu builder, the list's selection), driven like a user:
// tabs and tree items clicked, commands chosen from the context menus with
// the keyboard, the program's own boxes answered by clicking their buttons,
// and the files on disk checked afterwards.

#include "imagelist/folder_pane.h"

#include "cache/cache_name.h"
#include "imagelist/collection_tree_view.h"
#include "imagelist/folder_commands.h"
#include "imagelist/folder_pane_dialogs.h"
#include "imagelist/folder_tree_view.h"
#include "imagelist/pane_sizing_bar.h"
#include "library/collection_store.h"
#include "shell/menu_builder.h"
#include "shell/qt_text.h"
#include "shell/settings_layout.h"
#include "shell/settings_record.h"
#include "support/test_paths.h"

#include <QApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <memory>

using qlx::gui::FolderPane;
using qlx::shell::MenuId;
namespace fs = std::filesystem;

namespace {

const auto qpath = qlx::gui::pathToQString;

void writeFile(const fs::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

std::string readFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Answers the program's boxes and dialogs as they open, in order: a reply is
// the label of the button to click, or for a name dialog the name to type
// before OK. What each box said (a dialog: its title and labels) goes to
// `seen`; a box with no reply left gets its default button.
class Boxes : public QObject {
public:
    Boxes()
    {
        m_timer.callOnTimeout(this, &Boxes::answer);
        m_timer.start(5);
    }
    QStringList replies;
    QStringList seen;

private:
    void answer()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible())
            return;
        const QString reply = replies.isEmpty() ? QString() : replies.takeFirst();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen.append(box->text());
            QAbstractButton* chosen = box->defaultButton();
            for (QAbstractButton* button : box->buttons())
                chosen = button->text() == reply ? button : chosen;
            chosen->click();
        } else if (auto* name = qobject_cast<qlx::gui::NameDialog*>(modal)) {
            seen.append(name->windowTitle());
            name->field()->setText(reply);
            reply.isEmpty() ? name->reject() : name->okButton()->click();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            QStringList texts{dialog->windowTitle()};
            for (const QLabel* label : dialog->findChildren<QLabel*>())
                texts.append(label->text());
            seen.append(texts.join(u'|'));
            dialog->reject();
        }
    }
    QTimer m_timer;
};

// Takes the URLs the program hands to the desktop.
class Desktop : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl& url) { opened.append(url); }
};

// The label editor open in `tree`, if any.
QLineEdit* editorOf(const QTreeWidget* tree)
{
    for (QLineEdit* editor : tree->findChildren<QLineEdit*>()) {
        if (editor->isVisible())
            return editor;
    }
    return nullptr;
}

} // namespace

class FolderPaneTest : public QObject {
    Q_OBJECT
    fs::path root() const { return m_temp->path(); }
    fs::path photos() const { return root() / "photos"; }
    fs::path cacheDir() const { return root() / "cache"; }
    fs::path cacheOf(const fs::path& folder) const
    {
        return qlx::imagelist::folderCacheFile(cacheDir(), qlx::cache::utf16FromFileName(folder));
    }
    QTreeWidgetItem* folderItem(const fs::path& folder) const { return m_pane->folderTree()->itemOf(qpath(folder)); }
    // Right-clicks `item` and chooses the entry that carries `command` in the
    // menu that opens, with the keyboard.
    bool choose(QTreeWidget* tree, QTreeWidgetItem* item, MenuId id, int command)
    {
        tree->scrollToItem(item);
        const QPoint at = tree->visualItemRect(item).center();
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, tree->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(tree->viewport(), &click);
        QMenu* menu = m_menus->menu(id);
        for (QAction* action : menu->actions()) {
            if (menu->isVisible() && action->isEnabled() && action->data().toInt() == command) {
                menu->setActiveAction(action);
                QTest::keyClick(menu, Qt::Key_Return);
                return true;
            }
        }
        menu->close();
        return false;
    }

    std::unique_ptr<qlx::test::TempDir> m_temp;
    qlx::settings::SettingsRecord m_settings;
    std::unique_ptr<qlx::library::CollectionStore> m_store;
    std::unique_ptr<qlx::gui::MenuBuilder> m_menus;
    std::unique_ptr<QWidget> m_window;
    FolderPane* m_pane = nullptr;
    QStringList m_selected;
    std::unique_ptr<Boxes> m_boxes;

private Q_SLOTS:
    void initTestCase()
    {
        // The trash of these tests, never the user's.
        static qlx::test::TempDir data;
        qputenv("XDG_DATA_HOME", QFile::encodeName(qpath(data.path())));
    }

    void init()
    {
        m_temp = std::make_unique<qlx::test::TempDir>();
        fs::create_directories(photos());
        fs::create_directories(cacheDir());
        m_settings.clear();
        m_selected.clear();
        m_boxes = std::make_unique<Boxes>();
        m_store = std::make_unique<qlx::library::CollectionStore>(root() / "collection",
                                                                  qlx::library::collectionCacheLocator(cacheDir()));
        using enum qlx::shell::Availability; // what the browser offers
        m_menus = std::make_unique<qlx::gui::MenuBuilder>(
            qlx::shell::kAvailableNow.with(Folders).with(Collections).with(Cache));
        m_window = std::make_unique<QWidget>();
        m_window->resize(500, 300);
        auto* layout = new QHBoxLayout(m_window.get());
        m_pane = new FolderPane(m_settings, m_store.get(), cacheDir(), *m_menus, [this] { return m_selected; },
                                m_window.get());
        m_pane->setHomeFolder(qpath(root()));
        layout->addWidget(m_pane);
        layout->addWidget(new QWidget(m_window.get()), 1);
        m_window->show();
        // An editor loses its edit when the window takes the focus after it.
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void cleanup()
    {
        m_window.reset(); // the pane before what it was built with
    }

    void tabsSwitchTheModeAndFollowingTheListIsSilent()
    {
        QSignalSpy mode(m_pane, &FolderPane::modeChanged);
        QTabBar* bar = m_pane->tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        QCOMPARE(mode.size(), 1);
        QCOMPARE(mode.front().at(0).toBool(), true);
        QVERIFY(m_pane->collectionMode());
        QVERIFY(m_pane->collectionTree()->isVisible());

        m_pane->showFolder(qpath(photos()));
        QVERIFY(!m_pane->collectionMode());
        m_pane->showCollection(QStringLiteral("none"));
        QVERIFY(m_pane->collectionMode());
        QCOMPARE(mode.size(), 1);
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
        QCOMPARE(mode.size(), 2);
        QCOMPARE(mode.back().at(0).toBool(), false);
    }

    void showFolderWalksTheTreePath()
    {
        const fs::path deep = photos() / "2024" / "旅行" / "京都" / "day 1" / "raw";
        fs::create_directories(deep);
        QSignalSpy chosen(m_pane, &FolderPane::folderChosen);
        m_pane->showFolder(qpath(deep) + QStringLiteral("/"));
        QCOMPARE(m_pane->folderTree()->selectedFolder(), qpath(deep));
        // Every item on the way is expanded, from the home item down.
        QStringList labels;
        for (QTreeWidgetItem* item = m_pane->folderTree()->currentItem(); item != nullptr; item = item->parent()) {
            labels.prepend(item->text(0));
            QVERIFY(item->isExpanded());
        }
        QCOMPARE(labels, (QStringList{qpath(root().filename()), "photos", "2024", "旅行", "京都", "day 1", "raw"}));

        // A path that goes on below what exists stops at the deepest folder.
        m_pane->showFolder(qpath(photos() / "2024" / "missing" / "more"));
        QCOMPARE(m_pane->folderTree()->selectedFolder(), qpath(photos() / "2024"));
        // Outside the home folder the walk goes through "/".
        m_pane->showFolder(qpath(root().parent_path()));
        QCOMPARE(m_pane->folderTree()->selectedFolder(), qpath(root().parent_path()));
        QVERIFY(chosen.isEmpty());
    }

    void listingsFillTheTreeAndKeepThePath()
    {
        fs::create_directories(photos() / ".hidden" / "inner");
        fs::create_directories(photos() / "b10");
        fs::create_directories(photos() / "b2");
        writeFile(photos() / "not a folder.jpg", "x");
        m_pane->showFolder(qpath(photos() / ".hidden" / "inner"));
        QTRY_COMPARE(m_pane->folderTree()->pendingListings(), 0);

        // Digit-aware order; the hidden folder stays because the path leads
        // through it; files are not folders.
        QTreeWidgetItem* photosItem = folderItem(photos());
        QStringList children;
        for (int i = 0; i < photosItem->childCount(); ++i)
            children.append(photosItem->child(i)->text(0));
        QCOMPARE(children, (QStringList{".hidden", "b2", "b10"}));
        QCOMPARE(m_pane->folderTree()->selectedFolder(), qpath(photos() / ".hidden" / "inner"));

        // Expanding a folder lists it.
        fs::create_directories(photos() / "b2" / "sub");
        QTreeWidgetItem* b2 = folderItem(photos() / "b2");
        b2->setExpanded(true);
        QTRY_COMPARE(b2->childCount(), 1);
        QCOMPARE(b2->child(0)->text(0), QStringLiteral("sub"));
    }

    void clickingAFolderChoosesIt()
    {
        fs::create_directories(photos() / "a");
        fs::create_directories(photos() / "b");
        m_pane->showFolder(qpath(photos() / "a"));
        QTRY_VERIFY(folderItem(photos() / "b") != nullptr);
        QSignalSpy chosen(m_pane, &FolderPane::folderChosen);
        QTreeWidget* tree = m_pane->folderTree();
        const QPoint b = tree->visualItemRect(folderItem(photos() / "b")).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, b);
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.front().at(0).toString(), qpath(photos() / "b"));
        QCOMPARE(m_pane->currentFolder(), qpath(photos() / "b"));
    }

    void favouriteQuestion_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("registered");
        QTest::addColumn<int>("settingsPage");
        QTest::newRow("yes") << "はい(&Y)" << true << -1;
        QTest::newRow("no") << "いいえ(&N)" << false << -1;
        // No settings page exists to check: the box leaves that button out,
        // and the reply falls to the default button, いいえ.
        QTest::newRow("check the settings") << "設定確認(&E)" << false << -1;
    }

    void favouriteQuestion()
    {
        QFETCH(QString, answer);
        QFETCH(bool, registered);
        QFETCH(int, settingsPage);
        fs::create_directories(photos() / "Kyoto");
        const QString kyoto = qpath(photos() / "Kyoto");
        m_pane->showFolder(kyoto);
        QSignalSpy page(m_pane, &FolderPane::settingsPageRequested);
        m_boxes->replies = {answer};
        QVERIFY(choose(m_pane->folderTree(), folderItem(photos() / "Kyoto"), MenuId::Folder, 164));
        QCOMPARE(m_boxes->seen, QStringList{"お気に入りフォルダに登録します。\n" + kyoto + "　　\n\n登録してよろしいですか？"});
        QCOMPARE(page.isEmpty() ? -1 : page.front().at(0).toInt(), settingsPage);
        QCOMPARE(m_settings.favourite(0) == kyoto.toStdU16String(), registered);

        // The favourites sub-menu lists what the settings hold; an entry opens
        // its folder.
        const QList<QAction*> entries = m_menus->menu(MenuId::Favourites)->actions();
        QCOMPARE(entries.size(), registered ? 1 : 0);
        if (registered) {
            m_pane->showFolder(qpath(photos()));
            QSignalSpy chosen(m_pane, &FolderPane::folderChosen);
            entries.front()->trigger();
            QCOMPARE(chosen.size(), 1);
            QCOMPARE(m_pane->folderTree()->selectedFolder(), kyoto);
        }
    }

    void listMenuCommandsAreNotThePanes()
    {
        // The list menu's 164 is routed by the window, which hands it to the
        // pane through runCommand; the pane does not take it from the menu.
        m_pane->showFolder(qpath(photos()));
        Q_EMIT m_menus->menu(MenuId::List)->aboutToShow();
        m_menus->actionsFor(164).front()->trigger();
        QVERIFY(m_boxes->seen.isEmpty());
        QVERIFY(m_pane->runCommand(164));
        QCOMPARE(m_boxes->seen.size(), 1);
        QVERIFY(!m_pane->runCommand(118));
    }

    void folderCommandsChangeTheDiskAndTakeTheCacheAlong()
    {
        m_pane->showFolder(qpath(photos()));
        // Create: the name dialog, then the folder inside the current one.
        m_boxes->replies = {"新しい"};
        QVERIFY(choose(m_pane->folderTree(), folderItem(photos()), MenuId::Folder, 160));
        QCOMPARE(m_boxes->seen, QStringList{"新規フォルダ作成"});
        QVERIFY(fs::is_directory(photos() / "新しい"));
        QTRY_VERIFY(folderItem(photos() / "新しい") != nullptr);

        // Rename by editing the label: the cache file and the list follow.
        writeFile(cacheOf(photos() / "新しい"), "thumbs");
        fs::create_directories(photos() / "taken");
        QSignalSpy renamed(m_pane, &FolderPane::folderRenamed);
        for (const char* name : {"taken", "renamed"}) { // an existing name is ignored silently
            QVERIFY(choose(m_pane->folderTree(), folderItem(photos() / "新しい"), MenuId::Folder, 161));
            QLineEdit* editor = editorOf(m_pane->folderTree());
            QVERIFY(editor);
            editor->selectAll();
            QTest::keyClicks(editor, QString::fromUtf8(name));
            QTest::keyClick(editor, Qt::Key_Return);
            QTRY_VERIFY(editorOf(m_pane->folderTree()) == nullptr);
        }
        QTRY_COMPARE(renamed.size(), 1);
        QVERIFY(fs::is_directory(photos() / "renamed"));
        QVERIFY(fs::is_directory(photos() / "taken"));
        QVERIFY(!fs::exists(photos() / "新しい"));
        QCOMPARE(readFile(cacheOf(photos() / "renamed")), std::string("thumbs"));
        QCOMPARE(m_pane->currentFolder(), qpath(photos() / "renamed"));
        QCOMPARE(m_pane->folderTree()->selectedFolder(), qpath(photos() / "renamed"));

        // Trash: asked first; the cache file goes, the list goes up.
        QSignalSpy deleted(m_pane, &FolderPane::folderDeleted);
        QSignalSpy chosen(m_pane, &FolderPane::folderChosen);
        m_boxes->seen.clear();
        m_boxes->replies = {"いいえ(&N)", "はい(&Y)"};
        QVERIFY(choose(m_pane->folderTree(), m_pane->folderTree()->currentItem(), MenuId::Folder, 159));
        QVERIFY(fs::is_directory(photos() / "renamed"));
        QVERIFY(choose(m_pane->folderTree(), m_pane->folderTree()->currentItem(), MenuId::Folder, 159));
        QCOMPARE(m_boxes->seen.back(), QStringLiteral("フォルダ 'renamed' とその内容をすべてごみ箱に移動しますか？"));
        QVERIFY(!fs::exists(photos() / "renamed"));
        QVERIFY(!fs::exists(cacheOf(photos() / "renamed")));
        QCOMPARE(deleted.size(), 1);
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.front().at(0).toString(), qpath(photos()));
        QVERIFY(folderItem(photos() / "renamed") == nullptr);
    }

    void topLevelFoldersAreNeverRenamedOrDeleted()
    {
        m_pane->showFolder(qpath(root()));
        QTreeWidgetItem* home = m_pane->folderTree()->topLevelItem(0);
        QVERIFY(choose(m_pane->folderTree(), home, MenuId::Folder, 161));
        QVERIFY(editorOf(m_pane->folderTree()) == nullptr);
        QVERIFY(choose(m_pane->folderTree(), home, MenuId::Folder, 159));
        QVERIFY(m_boxes->seen.isEmpty());
        QVERIFY(fs::is_directory(root()));
    }

    void openAndPropertiesUseTheCurrentFolder()
    {
        Desktop desktop;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &desktop, "open");
        writeFile(photos() / "a.jpg", "a");
        fs::create_directories(photos() / "sub");
        m_pane->showFolder(qpath(photos()));
        QVERIFY(choose(m_pane->folderTree(), folderItem(photos()), MenuId::Folder, 156));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(desktop.opened, QList<QUrl>{QUrl::fromLocalFile(qpath(photos()))});

        QVERIFY(choose(m_pane->folderTree(), folderItem(photos()), MenuId::Folder, 157));
        QCOMPARE(m_boxes->seen.size(), 1);
        QVERIFY2(m_boxes->seen.front().startsWith("photos のプロパティ|"), qPrintable(m_boxes->seen.front()));
        QVERIFY(m_boxes->seen.front().contains("|ファイル数 1、フォルダ数 1|"));
    }

    void clearCacheAsksFirstAndEmptiesTheHistory()
    {
        writeFile(cacheOf(photos()), "c");
        writeFile(cacheOf(root()), "c");
        // The cache history lists the folders with a cache file when it opens.
        QMenu* history = m_menus->menu(MenuId::CacheHistory);
        Q_EMIT history->aboutToShow();
        QCOMPARE(history->actions().size(), 2);

        m_pane->showFolder(qpath(photos()));
        QSignalSpy cleared(m_pane, &FolderPane::cachesCleared);
        m_boxes->replies = {"いいえ(&N)", "はい(&Y)"};
        QVERIFY(choose(m_pane->folderTree(), folderItem(photos()), MenuId::Folder, 185));
        QVERIFY(fs::exists(cacheOf(photos())));
        QVERIFY(choose(m_pane->folderTree(), folderItem(photos()), MenuId::Folder, 185));
        QCOMPARE(m_boxes->seen.back(), QStringLiteral("キャッシュデータを全て削除します。\n実行しますか？"));
        QVERIFY(!fs::exists(cacheOf(photos())));
        QVERIFY(!fs::exists(cacheOf(root())));
        QCOMPARE(cleared.size(), 1);
        QVERIFY(history->actions().isEmpty());
    }

    void transfers_data()
    {
        // Each file of the card holds its name; "gone.jpg" is selected but
        // missing. The target folder holds "old" files of the names in
        // `existing`. With `escape`, Escape is pressed during the first file.
        QTest::addColumn<int>("command");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<bool>("escape");
        QTest::addColumn<QStringList>("replies");
        QTest::addColumn<QStringList>("seen");
        QTest::addColumn<QStringList>("arrived");
        const QStringList two{"a.jpg", "b.cr2"}, three{"f0.jpg", "f1.jpg", "f2.jpg"}, a{"a.jpg"}, none;
        const QString replace = "このフォルダには既にファイル 'a.jpg' が存在します。\n\n既存のファイルを置き換えますか？";
        const QString yes = "はい(&Y)", no = "いいえ(&N)";
        QTest::newRow("copy") << 162 << two << none << false << none << none << two;
        QTest::newRow("move") << 163 << two << none << false << none << none << two;
        QTest::newRow("keep the old file") << 163 << a << a << false << QStringList{no} << QStringList{replace} << none;
        QTest::newRow("replace it") << 163 << a << a << false << QStringList{yes} << QStringList{replace} << a;
        QTest::newRow("a failure, then the next")
            << 162 << QStringList{"gone.jpg", "c.jpg"} << none << false << QStringList{"OK"}
            << QStringList{"ファイル 'gone.jpg' をコピーできませんでした。"} << QStringList{"c.jpg"};
        QTest::newRow("escape, go on") << 162 << three << none << true << QStringList{no}
                                       << QStringList{"コピーを中断しますか？"} << three;
        QTest::newRow("escape, stop") << 163 << three << none << true << QStringList{yes}
                                      << QStringList{"移動を中断しますか？"} << QStringList{"f0.jpg"};
    }

    void transfers()
    {
        QFETCH(int, command);
        QFETCH(QStringList, selected);
        QFETCH(QStringList, existing);
        QFETCH(bool, escape);
        QFETCH(QStringList, replies);
        QFETCH(QStringList, seen);
        QFETCH(QStringList, arrived);
        const fs::path card = root() / "card";
        const fs::path target = photos() / "target";
        fs::create_directories(card);
        fs::create_directories(target);
        for (const QString& name : selected) {
            if (name != "gone.jpg")
                writeFile(card / name.toStdString(), name.toStdString());
            m_selected.append(qpath(card / name.toStdString()));
        }
        for (const QString& name : existing)
            writeFile(target / name.toStdString(), "old");
        m_pane->showFolder(qpath(target));
        QSignalSpy transferred(m_pane, &FolderPane::fileTransferred);
        m_boxes->replies = replies;
        if (escape) // handled between the first file and the second
            QCoreApplication::postEvent(m_pane, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        QVERIFY(choose(m_pane->folderTree(), folderItem(target), MenuId::Folder, command));
        QCOMPARE(m_boxes->seen, seen);
        QCOMPARE(transferred.size(), arrived.size());
        for (const QString& name : selected) {
            const bool came = arrived.contains(name);
            const std::string old = existing.contains(name) ? "old" : "";
            QCOMPARE(readFile(target / name.toStdString()), came ? name.toStdString() : old);
            QCOMPARE(fs::exists(card / name.toStdString()), name != "gone.jpg" && !(came && command == 163));
        }
    }

    void drops()
    {
        const fs::path deep = photos() / "x" / "y";
        fs::create_directories(deep);
        writeFile(deep / "a.jpg", "a");
        writeFile(deep / "b.txt", "b");
        auto drop = [this](const QStringList& paths) {
            QMimeData mime;
            QList<QUrl> urls;
            for (const QString& path : paths)
                urls.append(path.startsWith(u'/') ? QUrl::fromLocalFile(path) : QUrl(path));
            mime.setUrls(urls);
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(m_pane, &enter);
            QDropEvent event(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(m_pane, &event);
            return enter.isAccepted() && event.isAccepted();
        };
        // Folder mode: the first path counts, a file standing for its folder.
        QSignalSpy chosen(m_pane, &FolderPane::folderChosen);
        QVERIFY(drop({qpath(deep / "a.jpg"), qpath(photos())}));
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.front().at(0).toString(), qpath(deep));
        QCOMPARE(m_pane->folderTree()->selectedFolder(), qpath(deep));
        QVERIFY(!drop({"https://example.org/a.jpg"})); // no local file: refused
        QCOMPARE(chosen.size(), 1);

        // Collection mode: the shown kinds join the current collection.
        QVERIFY(m_store->create(u"旅行").created());
        QVERIFY(m_store->showCollection(0));
        m_pane->showCollection("旅行");
        QSignalSpy content(m_pane, &FolderPane::collectionContentChanged);
        QVERIFY(drop({qpath(deep / "a.jpg"), qpath(deep / "b.txt")}));
        QCOMPARE(content.size(), 1);
        QVERIFY(m_store->at(0).contains(qlx::cache::utf16FromFileName(deep / "a.jpg")));
        QVERIFY(!m_store->at(0).contains(qlx::cache::utf16FromFileName(deep / "b.txt")));
        QVERIFY(drop({qpath(deep / "a.jpg")})); // nothing new: no refresh
        QCOMPARE(content.size(), 1);
    }

    void collectionTreeChoosesCollections()
    {
        for (const char16_t* name : {u"b", u"a10", u"a2"})
            QVERIFY(m_store->create(name).created());
        QVERIFY(m_pane->runCommand(268));
        QTreeWidget* tree = m_pane->collectionTree();
        QTreeWidgetItem* top = tree->topLevelItem(0);
        QCOMPARE(tree->topLevelItemCount(), 1);
            QStringList names;
        for (int i = 0; i < top->childCount(); ++i)
            names.append(top->child(i)->text(0));
        QCOMPARE(names, (QStringList{"a2", "a10", "b"}));

        QTest::mouseClick(m_pane->tabs()->tabBar(), Qt::LeftButton, {}, m_pane->tabs()->tabBar()->tabRect(1).center());
        auto click = [tree](QTreeWidgetItem* item) {
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
        };
        QSignalSpy chosen(m_pane, &FolderPane::collectionChosen);
        QSignalSpy cleared(m_pane, &FolderPane::listClearRequested);
        click(top->child(1));
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.front().at(0).toString(), QStringLiteral("a10"));
        // The root with no current collection empties the list; with one, it
        // shows that one again.
        click(top);
        QCOMPARE(cleared.size(), 1);
        QVERIFY(m_store->showCollection(2));
        click(top->child(2));
        click(top);
        QCOMPARE(chosen.size(), 3);
        QCOMPARE(chosen.back().at(0).toString(), QStringLiteral("a2"));
        QCOMPARE(tree->currentItem(), top->child(0));
        // Following the list selects without reporting.
        m_pane->showCollection("b");
        QCOMPARE(tree->currentItem()->text(0), QStringLiteral("b"));
        QCOMPARE(chosen.size(), 3);
    }

    void collectionCommands()
    {
        QTreeWidget* tree = m_pane->collectionTree();
        m_pane->showCollection(QString());
        auto chooseOn = [&](QTreeWidgetItem* item, int id) { return choose(tree, item, MenuId::Collections, id); };

        m_boxes->replies = {"コレクション"};
        QVERIFY(chooseOn(tree->topLevelItem(0), 267));
        QCOMPARE(m_store->count(), 1u);
        QSignalSpy renamed(m_pane, &FolderPane::collectionRenamed);
        m_boxes->replies = {"京都"};
        QVERIFY(chooseOn(tree->topLevelItem(0)->child(0), 272));
        QCOMPARE(QString::fromStdU16String(m_store->at(0).name()), QStringLiteral("京都"));
        QCOMPARE(renamed.size(), 1);
        QCOMPARE(tree->topLevelItem(0)->child(0)->text(0), QStringLiteral("京都"));

        // Deleting the shown collection: asked, deleted, the list emptied.
        QVERIFY(m_store->showCollection(0));
        QSignalSpy cleared(m_pane, &FolderPane::listClearRequested);
        m_boxes->replies = {"いいえ(&N)", "はい(&Y)"};
        QVERIFY(chooseOn(tree->topLevelItem(0)->child(0), 271));
        QCOMPARE(m_store->count(), 1u);
        QVERIFY(chooseOn(tree->topLevelItem(0)->child(0), 271));
        QCOMPARE(m_store->count(), 0u);
        QCOMPARE(cleared.size(), 1);
        QCOMPARE(m_boxes->seen, (QStringList{"新規コレクション作成", "コレクション名変更",
                                             "コレクション[ 京都 ]を削除します。\n\n削除してよろしいですか？",
                                             "コレクション[ 京都 ]を削除します。\n\n削除してよろしいですか？"}));

        // Deleting all search results: none is a notice, two are asked for.
        m_boxes->seen.clear();
        QVERIFY(chooseOn(tree->topLevelItem(0), 299));
        QCOMPARE(m_boxes->seen, QStringList{"削除該当の項目はありません。"});
        QVERIFY(m_store->create(u"旅行").created());
        QVERIFY(m_store->createSearchResult().created());
        QVERIFY(m_store->createSearchResult().created());
        QVERIFY(m_pane->runCommand(268));
        m_boxes->replies = {"いいえ(&N)", "はい(&Y)"};
        QVERIFY(chooseOn(tree->topLevelItem(0), 299));
        QCOMPARE(m_store->count(), 3u);
        QVERIFY(chooseOn(tree->topLevelItem(0), 299));
        QCOMPARE(m_boxes->seen.back(), QStringLiteral("検索結果 2項目を一括削除します。\n\n削除してよろしいですか？"));
        QCOMPARE(m_store->count(), 1u);
        QCOMPARE(tree->topLevelItem(0)->childCount(), 1);
    }

    void widthIsClampedStoredAndDragged()
    {
        QCOMPARE(m_pane->paneWidth(), 200); // no width in the settings yet
        QCOMPARE(m_settings.get(qlx::settings::kFolderPaneWidth), 200);
        QCOMPARE(m_pane->width(), 200);
        QSignalSpy changed(m_pane, &FolderPane::paneWidthChanged);
        QWidget* bar = m_pane->sizingBar();
        QCOMPARE(bar->width(), 4);
        QCOMPARE(bar->cursor().shape(), Qt::SplitHCursor);
        auto dragTo = [bar](int x) {
            QMouseEvent move(QEvent::MouseMove, QPointF(x, 10), bar->mapToGlobal(QPointF(x, 10)), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(bar, &move);
        };
        QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, QPoint(2, 10));
        dragTo(52);
        QCOMPARE(m_pane->paneWidth(), 250);
        QTRY_COMPARE(m_pane->width(), 250);
        dragTo(1000); // the window is 500 wide: 436 at the most
        QCOMPARE(m_pane->paneWidth(), 436);
        dragTo(-500); // 64 at the least
        QCOMPARE(m_pane->paneWidth(), 64);
        QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, QPoint(2, 10));
        QCOMPARE(m_settings.get(qlx::settings::kFolderPaneWidth), 64);
        QTRY_COMPARE(m_pane->width(), 64);
        QCOMPARE(changed.size(), 3);

        // A window that places the pane itself hides the bar and sizes it freely.
        m_pane->setSizingBarShown(false);
        QVERIFY(!bar->isVisible());
        m_window->layout()->removeWidget(m_pane);
        m_pane->resize(300, 200);
        QCOMPARE(m_pane->width(), 300);
    }
};

QTEST_MAIN(FolderPaneTest)
#include "folder_pane_test.moc"
