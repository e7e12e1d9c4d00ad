// Culling a card with the keys, in the real program: actions registered on
// K (copy to a folder of the user's), X (trash), R (move to "../rejects"),
// N (the built-in "next picture") and D (a trash action switched off) run
// on the picture the main view shows or on the list's selection, ask their
// first-use question, their folder and replace questions, write their
// lines into the action log, count in the status bar and step on after a
// file left. The trash is the desktop's (XDG_DATA_HOME of the test).
// Expected texts are the program's messages as the user reads them.

#include "gui/shell/shell_test_support.h"

#include "actions/action_kinds.h"
#include "actions/action_record.h"
#include "imagelist/folder_pane.h"
#include "imagelist/list_controller.h"
#include "imagelist/list_pane.h"
#include "shell/application.h"
#include "shell/browser.h"
#include "shell/main_window.h"
#include "shell/rebar.h"
#include "shell/shared_state.h"
#include "shell/status_bar.h"
#include "support/data_home.h"
#include "support/run_command.h"
#include "viewer/image_view.h"

#include <QComboBox>
#include <QLineEdit>
#include <QAbstractItemView>

#include <deque>
#include <fstream>

using namespace qlx;
using qlx::test::ProgramFolder;
using qlx::test::qpath;
namespace fs = std::filesystem;

namespace {

// The buttons of a Yes/No question.
const QString kYes = QStringLiteral("Yes");
const QString kNo = QStringLiteral("No");

// Answers the message boxes as they come, each with the button whose label
// is next in line, and keeps their texts.
class Answers : public QObject {
public:
    Answers()
    {
        connect(&m_timer, &QTimer::timeout, this, &Answers::poll);
        m_timer.start(5);
    }
    void push(const QString& button) { m_buttons.push_back(button); }
    bool allGiven() const { return m_buttons.empty(); }
    const QStringList& texts() const { return m_texts; }

private:
    void poll()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        m_texts << box->text();
        const QString wanted = m_buttons.empty() ? QString() : m_buttons.front();
        // A Yes/No box labels its buttons in the desktop's language.
        const QMessageBox::StandardButton standard = wanted == kYes ? QMessageBox::Yes
                                                     : wanted == kNo ? QMessageBox::No
                                                                     : QMessageBox::NoButton;
        if (QAbstractButton* button = box->button(standard)) {
            m_buttons.pop_front();
            button->click();
            return;
        }
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == wanted) {
                m_buttons.pop_front();
                button->click();
                return;
            }
        }
        box->defaultButton()->click(); // not expected: the safe answer
    }

    QTimer m_timer;
    std::deque<QString> m_buttons;
    QStringList m_texts;
};

const QString kYesKey = QStringLiteral("はい(&Y)");
const QString kNoKey = QStringLiteral("いいえ(&N)");

void addAction(settings::SettingsRecord& record, std::int32_t key, actions::ActionKind kind, std::u16string_view path,
               bool enabled = true, std::int32_t function = 0)
{
    actions::ActionTable table(record);
    auto action = table.append();
    QVERIFY(action);
    action->setKey(key);
    action->setKind(static_cast<std::int32_t>(kind));
    action->setPath(path);
    action->setFunction(function);
    action->setEnabled(enabled);
}

// Target keys: A is 4, so K is 14, N 17, R 21, X 27, D 7.
constexpr std::int32_t kKeyD = 7, kKeyK = 14, kKeyN = 17, kKeyR = 21, kKeyX = 27;

QString topLogLine(gui::Browser& browser)
{
    return browser.rebar()->log()->count() > 0 ? browser.rebar()->log()->itemText(0) : QString();
}

// The program started on its folder: the list shows `count` files and the
// window is active.
bool started(gui::Application& app, std::size_t count)
{
    return app.start() && test::listShown(*app.browser(), count) && QTest::qWaitForWindowActive(app.mainWindow());
}

// The list with the focus (the window active again: a box takes the
// activation), every row selected when `selectAll`; null when the focus
// cannot be had.
QAbstractItemView* focusedList(gui::Application& app, bool selectAll)
{
    app.mainWindow()->activateWindow();
    QAbstractItemView* rows = app.browser()->listPane()->currentView();
    rows->setFocus();
    if (!QTest::qWaitForWindowActive(app.mainWindow()) || !QTest::qWaitFor([rows] { return rows->hasFocus(); }))
        return nullptr;
    if (selectAll)
        QTest::keyClick(rows, Qt::Key_A, Qt::ControlModifier);
    return rows;
}

} // namespace

class ActionKeysTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void cullingACardWithTheKeys();
    void handingFilesToAnotherProgram();
    void turningAPictureAndWritingItsOrientation();
    void escapeStopsARunOverTheSelection();
    void renamingAndTakingActionsBack();
    void renamingALabelInTheList();
    void splittingAFolderOverMediaAndMergingItBack();
};

void ActionKeysTest::cullingACardWithTheKeys()
{
    ProgramFolder program;
    const fs::path card = test::makePictureFolder(program, "DCIM/100CANON", 6);
    const fs::path keep = program.folder() / "keep";
    const fs::path data = program.folder() / "data";
    const test::DataHome dataHome(data);
    QVERIFY(test::writeSettings(program, true, qpath(card), [&](settings::SettingsRecord& record) {
        addAction(record, kKeyK, actions::ActionKind::Copy, (keep.u16string() + u"/"));
        addAction(record, kKeyX, actions::ActionKind::Trash, u"");
        addAction(record, kKeyR, actions::ActionKind::Move, u"../rejects/");
        addAction(record, kKeyN, actions::ActionKind::KeyAssignment, u"", true, 1);
        addAction(record, kKeyD, actions::ActionKind::Trash, u"", false);
        addAction(record, 1, actions::ActionKind::KeyAssignment, u"", true, 0); // the middle button: back
        record.set(settings::kMultipleSelection, std::uint8_t{1});
    }));
    gui::Application app(std::nullopt, {program.executable(), {qpath(card)}});
    QVERIFY(started(app, 6));
    gui::Browser& browser = *app.browser();
    auto* view = app.mainWindow()->findChild<gui::ImageView*>();
    QTRY_VERIFY(view->isVisible());
    view->setFocus();
    gui::ListPane& list = *browser.listPane();
    const imagelist::ImageList& entries = browser.controller().list();
    const auto nameAt = [&](int position) {
        return QString::fromStdU16String(entries.entry(*entries.entryAt(position)).name());
    };
    Answers answers;

    // K on the shown picture: the first-use question; "no" leaves the card
    // alone and asks again next time, "yes" copies.
    answers.push(kNoKey);
    QTest::keyClick(view, Qt::Key_K);
    QVERIFY(answers.allGiven());
    QVERIFY(!fs::exists(keep));
    QVERIFY(answers.texts().last().startsWith(QStringLiteral("Kキー　[ コピー ]　アクションが押されました。\n")));
    answers.push(kYesKey);                  // the first-use question again
    answers.push(kYes);  // create the folder
    QTest::keyClick(view, Qt::Key_K);
    QTRY_VERIFY(answers.allGiven());
    QVERIFY(answers.texts().last().startsWith(QStringLiteral("フォルダ ")));
    QVERIFY(fs::exists(keep / "IMG_0001.JPG"));
    QCOMPARE(topLogLine(browser), QStringLiteral("ｺﾋﾟｰ:IMG_0001.JPG->OK!"));
    QCOMPARE(browser.statusBar()->partText(1), QStringLiteral("\tCOPY:1"));
    QCOMPARE(list.currentPosition(), 0); // a copy stays on the picture

    // Again: no question now; the copy exists, and "no" to replacing it is NG!.
    answers.push(kNo);
    QTest::keyClick(view, Qt::Key_K);
    QVERIFY(answers.allGiven());
    QCOMPARE(topLogLine(browser), QStringLiteral("ｺﾋﾟｰ:IMG_0001.JPG->NG!"));

    // X: to the desktop's trash, and on to the next picture.
    answers.push(kYesKey);
    QTest::keyClick(view, Qt::Key_X);
    QVERIFY(answers.allGiven());
    QVERIFY(!fs::exists(card / "IMG_0001.JPG"));
    QVERIFY(fs::exists(data / "Trash/files/IMG_0001.JPG"));
    std::ifstream info(data / "Trash/info/IMG_0001.JPG.trashinfo");
    std::string infoText((std::istreambuf_iterator<char>(info)), std::istreambuf_iterator<char>());
    QVERIFY(infoText.find("Path=" + (card / "IMG_0001.JPG").string() + "\n") != std::string::npos);
    QCOMPARE(topLogLine(browser), QStringLiteral("ｺﾞﾐ箱:IMG_0001.JPG->OK!"));
    QCOMPARE(browser.statusBar()->partText(3), QStringLiteral("\tDEL:1"));
    QCOMPARE(list.currentPosition(), 1);

    // D is bound to a trash action that is switched off: nothing happens.
    QTest::keyClick(view, Qt::Key_D);
    QVERIFY(fs::exists(card / nameAt(1).toStdString()));

    // R: moved beside the card into "rejects", made on the way.
    const QString second = nameAt(1);
    answers.push(kYesKey);
    answers.push(kYes);
    QTest::keyClick(view, Qt::Key_R);
    QVERIFY(answers.allGiven());
    QVERIFY(fs::exists(card.parent_path() / "rejects" / second.toStdString()));
    QVERIFY(!fs::exists(card / second.toStdString()));
    QCOMPARE(topLogLine(browser), QStringLiteral("移動:%1->OK!").arg(second));
    QCOMPARE(browser.statusBar()->partText(2), QStringLiteral("\tMOVE:1"));
    QCOMPARE(list.currentPosition(), 2);

    // N runs the built-in "next picture" without a question, the middle
    // button "previous picture".
    QTest::keyClick(view, Qt::Key_N);
    QCOMPARE(list.currentPosition(), 3);
    QTest::mouseClick(view, Qt::MiddleButton);
    QCOMPARE(list.currentPosition(), 2);
    QTest::keyClick(view, Qt::Key_N);
    QCOMPARE(list.currentPosition(), 3);

    // In the list: the selected rows, top to bottom.
    QAbstractItemView* rows = list.currentView();
    const auto rowCentre = [rows](int row) { return rows->visualRect(rows->model()->index(row, 0)).center(); };
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, Qt::NoModifier, rowCentre(3));
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, Qt::ShiftModifier, rowCentre(4));
    QCOMPARE(list.selectedEntries().size(), std::size_t{2});
    QVERIFY(focusedList(app, false));
    QTest::keyClick(rows, Qt::Key_K);
    QVERIFY(fs::exists(keep / nameAt(3).toStdString()));
    QVERIFY(fs::exists(keep / nameAt(4).toStdString()));
    QCOMPARE(topLogLine(browser), QStringLiteral("ｺﾋﾟｰ:%1->OK!").arg(nameAt(4)));
    QCOMPARE(browser.statusBar()->partText(1), QStringLiteral("\tCOPY:3"));

    // The Delete key: its own first-use question, then the trash.
    const QString fifth = nameAt(4);
    answers.push(kYes);
    QTest::keyClick(rows, Qt::Key_Delete);
    QVERIFY(answers.allGiven());
    QVERIFY(answers.texts().last().startsWith(QStringLiteral("DELキー [ ファイル削除 ] が押されました\n")));
    QVERIFY(fs::exists(data / "Trash/files" / fifth.toStdString()));
    QCOMPARE(browser.statusBar()->partText(3), QStringLiteral("\tDEL:3"));

    // The folder pane's "copy / move the selected files here" count and log
    // as a copy and a move.
    const fs::path album = program.makeFolder("album");
    list.setCurrentPosition(5);
    const QString sixth = nameAt(5);
    gui::FolderPane& pane = *browser.folderPane();
    pane.showFolder(qpath(album));
    QVERIFY(pane.runCommand(162));
    QCOMPARE(topLogLine(browser), QStringLiteral("ｺﾋﾟｰ:%1->OK!").arg(sixth));
    QCOMPARE(browser.statusBar()->partText(1), QStringLiteral("\tCOPY:4"));
    fs::create_directory(album / "moved");
    pane.showFolder(qpath(album / "moved"));
    QVERIFY(pane.runCommand(163));
    QCOMPARE(topLogLine(browser), QStringLiteral("移動:%1->OK!").arg(sixth));
    QVERIFY(fs::exists(album / "moved" / sixth.toStdString()));
    QCOMPARE(browser.statusBar()->partText(2), QStringLiteral("\tMOVE:2"));

    // The main menu's "ゴミ箱を空にする" asks first and empties the trash.
    answers.push(kYes);
    browser.runCommand(32775);
    QVERIFY(answers.allGiven());
    QVERIFY(fs::is_empty(data / "Trash/files"));
}

void ActionKeysTest::handingFilesToAnotherProgram()
{
    ProgramFolder program;
    const fs::path card = test::makePictureFolder(program, "card", 2);
    // A name a shell would take apart: the program is never given one.
    fs::copy_file(card / "IMG_0002.JPG", card / "a;b $(touch x).JPG");
    const fs::path received = program.folder() / "received.txt";
    const fs::path receiver = program.folder() / "receiver";
    std::ofstream(receiver) << "#!/bin/sh\nfor f in \"$@\"; do printf '%s\\n' \"$f\"; done >> \"" << received.string()
                            << ".part\"\nmv \"" << received.string() << ".part\" \"" << received.string() << "\"\n";
    fs::permissions(receiver, fs::perms::owner_all);
    const fs::path notRunnable = program.folder() / "notes.txt";
    std::ofstream(notRunnable) << "not a program";
    QVERIFY(test::writeSettings(program, true, qpath(card), [&](settings::SettingsRecord& record) {
        addAction(record, 11, actions::ActionKind::HandOver, receiver.u16string()); // H
        actions::ActionTable(record).at(0).setTransferAsOne(true);
        addAction(record, 10, actions::ActionKind::HandOver, notRunnable.u16string()); // G
        record.set(settings::kConfirmFirstUse, std::uint8_t{0});
        record.set(settings::kMultipleSelection, std::uint8_t{1});
    }));
    gui::Application app(std::nullopt, {program.executable(), {qpath(card)}});
    QVERIFY(started(app, 3));
    gui::Browser& browser = *app.browser();
    QAbstractItemView* rows = focusedList(app, true);
    QVERIFY(rows);

    // All three in one call, each name one argument as it stands.
    QTest::keyClick(rows, Qt::Key_H);
    QTRY_VERIFY_WITH_TIMEOUT(fs::exists(received), 10000);
    std::ifstream in(received);
    QStringList lines;
    for (std::string line; std::getline(in, line);)
        lines << QString::fromStdString(line);
    lines.sort();
    QCOMPARE(lines, (QStringList{qpath(card / "IMG_0001.JPG"), qpath(card / "IMG_0002.JPG"),
                                 qpath(card / "a;b $(touch x).JPG")}));
    QVERIFY(!fs::exists(card / "x"));
    QCOMPARE(topLogLine(browser), QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝ転送:%1->OK!")
                                      .arg(QString::fromStdU16String(browser.controller().list().entry(
                                          *browser.controller().list().entryAt(2)).name())));

    // A file that is no program: the failure is said, and the log says NG!.
    Answers answers;
    answers.push(QStringLiteral("OK"));
    QTest::keyClick(rows, Qt::Key_G);
    QVERIFY(!answers.texts().isEmpty());
    QCOMPARE(answers.texts().first(), QStringLiteral("アプリケーション転送に失敗しました。"));
    QVERIFY(topLogLine(browser).endsWith(QStringLiteral("->NG!")));
}

void ActionKeysTest::turningAPictureAndWritingItsOrientation()
{
    ProgramFolder program;
    const fs::path card = program.makeFolder("card");
    test::writeTestJpeg(card / "IMG_0001.JPG", {640, 480, "Canon", "Canon EOS 40D", 1});
    QVERIFY(test::writeSettings(program, true, qpath(card)));
    gui::Application app(std::nullopt, {program.executable(), {qpath(card)}});
    QVERIFY(started(app, 1));
    gui::Browser& browser = *app.browser();
    auto* view = app.mainWindow()->findChild<gui::ImageView*>();
    QTRY_VERIFY(view->isVisible() && view->subject().position == 0);
    view->setFocus();

    // '>' turns the view a quarter clockwise; the file is not touched yet.
    QTest::keyClick(view, Qt::Key_Greater);
    QTRY_COMPARE(view->subject().rotation % 4, 1);
    const imagelist::ImageEntry& entry = browser.controller().list().entry(0);
    QCOMPARE(entry.userRotation(), 1);
    // "表示の方向でロスレス回転" writes it: upright 1 turned once is 6.
    browser.runCommand(197);
    QCOMPARE(topLogLine(browser), QStringLiteral("ﾛｽﾚｽ回転:IMG_0001.JPG->OK!"));
    QCOMPARE(entry.orientation(), 6);
    QCOMPARE(entry.userRotation(), 0);
    const test::CommandOutcome exif = test::runCommand("exiftool -n -s3 -Orientation '" + (card / "IMG_0001.JPG").string() + "'");
    if (exif.exitCode == 0)
        QCOMPARE(QString::fromStdString(exif.out).trimmed(), QStringLiteral("6"));
    else
        qInfo("exiftool is missing: the file's orientation is not read back");
    // The picture stays as the user turned it.
    QTRY_COMPARE(view->subject().rotation % 4, 1);
}

void ActionKeysTest::escapeStopsARunOverTheSelection()
{
    ProgramFolder program;
    const fs::path card = test::makePictureFolder(program, "card", 3);
    const fs::path keep = program.folder() / "keep";
    fs::create_directory(keep);
    QVERIFY(test::writeSettings(program, true, qpath(card), [&](settings::SettingsRecord& record) {
        addAction(record, kKeyK, actions::ActionKind::Copy, keep.u16string() + u"/");
        record.set(settings::kConfirmFirstUse, std::uint8_t{0});
        record.set(settings::kMultipleSelection, std::uint8_t{1});
    }));
    gui::Application app(std::nullopt, {program.executable(), {qpath(card)}});
    QVERIFY(started(app, 3));
    gui::Browser& browser = *app.browser();
    QAbstractItemView* rows = focusedList(app, true);
    QVERIFY(rows);

    // Escape pressed once the first file is copied (its log line is there):
    // the run sees it before the second and asks.
    Answers answers;
    answers.push(kYes);
    bool pressed = false;
    connect(browser.rebar()->log()->model(), &QAbstractItemModel::rowsInserted, this, [&] {
        if (!std::exchange(pressed, true))
            QTest::keyClick(rows, Qt::Key_Escape);
    });
    QTest::keyClick(rows, Qt::Key_K);
    QVERIFY(answers.allGiven());
    QCOMPARE(answers.texts(), QStringList{QStringLiteral("アクションを中断しますか？")});
    QCOMPARE(std::distance(fs::directory_iterator(keep), fs::directory_iterator()), 1);
    QCOMPARE(browser.statusBar()->partText(1), QStringLiteral("\tCOPY:1"));
    // The Escape went to the run, not to the window: no full screen.
    QVERIFY(!app.mainWindow()->isFullScreen());
}

void ActionKeysTest::renamingAndTakingActionsBack()
{
    ProgramFolder program;
    const fs::path card = test::makePictureFolder(program, "card", 3);
    const fs::path keep = program.folder() / "keep";
    const fs::path data = program.folder() / "data";
    fs::create_directory(keep);
    const test::DataHome dataHome(data);
    constexpr std::int32_t kKeyM = 16, kKeyU = 24;
    QVERIFY(test::writeSettings(program, true, qpath(card), [&](settings::SettingsRecord& record) {
        addAction(record, kKeyM, actions::ActionKind::Rename, u""); // the current rename settings: numbers, 3 digits
        addAction(record, kKeyU, actions::ActionKind::Undo, u"");
        addAction(record, kKeyK, actions::ActionKind::Copy, keep.u16string() + u"/");
        addAction(record, kKeyX, actions::ActionKind::Trash, u"");
        record.set(settings::kConfirmFirstUse, std::uint8_t{0});
        record.set(settings::kMultipleSelection, std::uint8_t{1});
    }));
    gui::Application app(std::nullopt, {program.executable(), {qpath(card)}});
    QVERIFY(started(app, 3));
    gui::Browser& browser = *app.browser();
    QAbstractItemView* rows = focusedList(app, true);
    QVERIFY(rows);
    const auto names = [&card] {
        QStringList found;
        for (const auto& item : fs::directory_iterator(card))
            found << QString::fromStdString(item.path().filename().string());
        found.sort();
        return found;
    };

    // M renames the selection by number; U takes every rename back.
    QTest::keyClick(rows, Qt::Key_M);
    QCOMPARE(names(), (QStringList{"001.JPG", "002.JPG", "003.JPG"}));
    QCOMPARE(topLogLine(browser), QStringLiteral("ﾘﾈｰﾑ:003.JPG->OK!")); // the name it has now
    QTest::keyClick(rows, Qt::Key_U);
    QCOMPARE(names(), (QStringList{"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"}));
    QCOMPARE(topLogLine(browser), QStringLiteral("復帰(UNDO):IMG_0003.JPG->OK!"));

    // The main menu's "フォルダ一括リネーム" asks with the three buttons and
    // renames the whole list; the list's undo command takes it back.
    Answers answers;
    answers.push(kYesKey);
    browser.runCommand(127);
    QVERIFY(answers.allGiven());
    QCOMPARE(answers.texts().last(),
             QStringLiteral("フォルダ内の画像ファイルを一括リネームしますがよろしいですか？\n\n リネーム設定 : [ 連番 (3桁) ]"));
    QCOMPARE(names(), (QStringList{"001.JPG", "002.JPG", "003.JPG"}));
    QVERIFY(focusedList(app, true));
    browser.runCommand(122);
    QCOMPARE(names(), (QStringList{"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"}));

    // On the shown picture: a copy taken back deletes the copy; a picture
    // sent to the trash comes back out of it.
    auto* view = app.mainWindow()->findChild<gui::ImageView*>();
    browser.listPane()->setCurrentPosition(0);
    view->setFocus();
    QTRY_VERIFY(view->hasFocus());
    QTest::keyClick(view, Qt::Key_K);
    QVERIFY(fs::exists(keep / "IMG_0001.JPG"));
    QTest::keyClick(view, Qt::Key_U);
    QVERIFY(!fs::exists(keep / "IMG_0001.JPG"));
    QTest::keyClick(view, Qt::Key_X);
    QVERIFY(!fs::exists(card / "IMG_0001.JPG"));
    QCOMPARE(browser.listPane()->currentPosition(), 1);
    QTest::keyClick(view, Qt::Key_Left);
    QTest::keyClick(view, Qt::Key_U);
    QVERIFY(fs::exists(card / "IMG_0001.JPG"));
    QVERIFY(fs::is_empty(data / "Trash/files"));
    QVERIFY(fs::is_empty(data / "Trash/info"));
    QCOMPARE(topLogLine(browser), QStringLiteral("復帰(UNDO):IMG_0001.JPG->OK!"));
    QVERIFY(browser.controller().list().entry(*browser.controller().list().entryAt(0)).isPresent());
}

// A click on the label of the selected row opens its editor, as in a file
// manager; `stem` is typed over the name and Enter ends the editing. False
// when no editor came.
bool typeNewLabel(QAbstractItemView* rows, int row, const QString& expectedStem, const QString& stem)
{
    const QRect cell = rows->visualRect(rows->model()->index(row, 0));
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, QPoint(cell.right() - 4, cell.center().y()));
    QLineEdit* editor = nullptr;
    if (!QTest::qWaitFor([&] {
            editor = rows->viewport()->findChild<QLineEdit*>();
            return editor && editor->isVisible() && editor->hasFocus();
        }))
        return false;
    if (editor->text() != expectedStem) // the name without its extension
        return false;
    editor->selectAll();
    QTest::keyClicks(editor, stem);
    QTest::keyClick(editor, Qt::Key_Return);
    return true;
}

void ActionKeysTest::renamingALabelInTheList()
{
    ProgramFolder program;
    const fs::path card = test::makePictureFolder(program, "card", 2);
    constexpr std::int32_t kKeyU = 24;
    QVERIFY(test::writeSettings(program, true, qpath(card), [&](settings::SettingsRecord& record) {
        addAction(record, kKeyU, actions::ActionKind::Undo, u"");
        record.set(settings::kConfirmFirstUse, std::uint8_t{0});
    }));
    gui::Application app(std::nullopt, {program.executable(), {qpath(card)}});
    QVERIFY(started(app, 2));
    gui::Browser& browser = *app.browser();
    QAbstractItemView* rows = focusedList(app, false);
    QVERIFY(rows);
    browser.listPane()->setCurrentPosition(0);
    const int row = rows->currentIndex().row();
    const QString first = QString::fromUtf16(browser.controller().list().entry(*browser.controller().list().entryAt(row)).name().c_str());
    const QString stem = first.left(first.lastIndexOf(u'.'));

    // A name a file may not take, and a name another file has: told, and
    // nothing moves.
    Answers answers;
    answers.push(QStringLiteral("OK"));
    QVERIFY(typeNewLabel(rows, row, stem, QStringLiteral("a:b")));
    QTRY_VERIFY(answers.allGiven());
    QCOMPARE(answers.texts().last(), QStringLiteral("このファイル名は使用できません。\nファイル名に使用できない文字が含まれている可能性があります。"));
    QVERIFY(focusedList(app, false));
    answers.push(QStringLiteral("OK"));
    const QString other = row == 0 ? QStringLiteral("IMG_0002") : QStringLiteral("IMG_0001");
    QVERIFY(typeNewLabel(rows, row, stem, other));
    QTRY_VERIFY(answers.allGiven());
    QCOMPARE(answers.texts().last(), QStringLiteral("リネームに失敗しました。\n既に同名のファイルがある可能性があります。"));
    QVERIFY(fs::exists(card / (stem.toStdString() + ".JPG")));
    QVERIFY(fs::exists(card / (other.toStdString() + ".JPG")));

    // A free name: the file takes it, keeping its extension; U takes it back.
    QVERIFY(focusedList(app, false));
    QVERIFY(typeNewLabel(rows, row, stem, QStringLiteral("sunset")));
    QTRY_VERIFY(fs::exists(card / "sunset.JPG"));
    QVERIFY(!fs::exists(card / (stem.toStdString() + ".JPG")));
    QCOMPARE(topLogLine(browser), QStringLiteral("ﾘﾈｰﾑ:sunset.JPG->OK!"));
    QTRY_VERIFY(rows->hasFocus());
    QTest::keyClick(rows, Qt::Key_U);
    QVERIFY(fs::exists(card / (stem.toStdString() + ".JPG")));
    QVERIFY(!fs::exists(card / "sunset.JPG"));
}

void ActionKeysTest::splittingAFolderOverMediaAndMergingItBack()
{
    ProgramFolder program;
    const fs::path card = test::makePictureFolder(program, "card", 3);
    QVERIFY(test::writeSettings(program, true, qpath(card)));
    gui::Application app(std::nullopt, {program.executable(), {qpath(card)}});
    QVERIFY(started(app, 3));
    gui::Browser& browser = *app.browser();
    auto* view = app.mainWindow()->findChild<gui::ImageView*>();
    view->setFocus();

    // F6 (the first-start medium holds 4.7 GB): one medium, told in a box.
    Answers answers;
    answers.push(QStringLiteral("OK"));
    QTest::keyClick(view, Qt::Key_F6);
    QVERIFY(answers.texts().last().startsWith(QStringLiteral("メディア 1個分に収まるデータ量( ")));
    // Each file is marked with its medium, the Media# cell tinted.
    const QModelIndex media = browser.listPane()->model().index(0, imagelist::ImageEntry::kItemMediaNumber);
    QCOMPARE(media.data().toString(), QStringLiteral("No.1"));
    QVERIFY(media.data(Qt::BackgroundRole).value<QBrush>().style() != Qt::NoBrush);
    // F7 asks, then moves every file into the medium's folder. (The boxes
    // took the activation; the window's keys need it back.)
    const auto reactivate = [&app, view] {
        app.mainWindow()->activateWindow();
        view->setFocus();
        return QTest::qWaitForWindowActive(app.mainWindow());
    };
    QVERIFY(reactivate());
    answers.push(kYes);
    QTest::keyClick(view, Qt::Key_F7);
    QVERIFY(answers.allGiven());
    QVERIFY(fs::exists(card / "media01" / "IMG_0001.JPG"));
    QVERIFY(fs::exists(card / "media01" / "IMG_0003.JPG"));
    QVERIFY(!fs::exists(card / "IMG_0002.JPG"));
    QCOMPARE(topLogLine(browser), QStringLiteral("振分け移動:IMG_0003.JPG->OK!"));

    // F8 merges the subfolder's pictures back up and removes the emptied
    // folder; the list shows them again.
    QVERIFY(reactivate());
    answers.push(kYes);
    QTest::keyClick(view, Qt::Key_F8);
    QVERIFY(answers.allGiven());
    QVERIFY(fs::exists(card / "IMG_0002.JPG"));
    QVERIFY(!fs::exists(card / "media01"));
    QVERIFY(topLogLine(browser).startsWith(QStringLiteral("ﾌｫﾙﾀﾞ統合:")));
}

QTEST_MAIN(ActionKeysTest)
#include "action_keys_test.moc"
