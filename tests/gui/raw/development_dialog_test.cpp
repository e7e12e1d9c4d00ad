// The development window in the running program: a key-bound action
// develops the five RAW files selected in the list into a folder, and
// Close is clicked while the third develops.
// Two files are written and logged "OK!", the third is logged "Skip!" and
// nothing is written for it, the last two get no line; the main window is
// disabled with its caption counted while the job runs, and back as it was
// afterwards.

#include "gui/shell/shell_test_support.h"

#include "actions/action_kinds.h"
#include "actions/action_record.h"
#include "imagelist/file_history.h"
#include "imagelist/list_controller.h"
#include "imagelist/list_pane.h"
#include "raw/development_dialog.h"
#include "shell/application.h"
#include "actions/action_runner.h"
#include "shell/browser.h"
#include "shell/main_window.h"
#include "shell/rebar.h"
#include "shell/shared_state.h"
#include "support/samples_qtest.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPushButton>

using namespace qlx;
using test::qpath;
namespace fs = std::filesystem;

namespace {

const QStringList kCard{"c1.dng", "c2.dng", "c3.dng", "c4.dng", "c5.dng"};

class DevelopmentDialogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void closeWhileTheThirdDevelops()
    {
        QLX_NEED_SAMPLES("raw-full/colorchart.dng");
        test::ProgramFolder program;
        const fs::path card = program.makeFolder("card");
        const fs::path out = program.makeFolder("out");
        for (const QString& name : kCard)
            fs::copy_file(test::samplesDir() / "raw-full/colorchart.dng", card / name.toStdString());
        // J develops to JPEG into "../out" beside the card; the first-use
        // question is switched off.
        QVERIFY(test::writeSettings(program, true, qpath(card), [](settings::SettingsRecord& record) {
            actions::ActionTable table(record);
            auto action = table.append();
            action->setKey(13); // J
            action->setKind(static_cast<std::int32_t>(actions::ActionKind::DevelopJpeg));
            action->setPath(u"../out/");
            record.set(settings::kConfirmFirstUse, std::uint8_t{0});
            record.set(settings::kMultipleSelection, std::uint8_t{1});
        }));
        gui::Application app(std::nullopt, gui::StartupOptions{program.executable(), {qpath(card)}});
        QVERIFY(app.start());
        gui::MainWindow& window = *app.mainWindow();
        gui::Browser& browser = *app.browser();
        QTRY_VERIFY_WITH_TIMEOUT(browser.controller().listReady(), 20000);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const QString titleBefore = window.windowTitle();

        // The whole list selected in the list, and J pressed there.
        QAbstractItemView* rows = browser.listPane()->currentView();
        rows->setFocus();
        QTRY_VERIFY(rows->hasFocus());
        QTest::keyClick(rows, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(browser.listPane()->selectedEntries().size(), std::size_t(kCard.size()));
        const int logBefore = browser.rebar()->log()->count();
        QTest::keyClick(rows, Qt::Key_J);
        gui::DevelopmentDialog* found = browser.actionRunner()->development();
        QVERIFY(found && found->running());
        gui::DevelopmentDialog& dialog = *found;
        QString titleWhile;
        bool enabledWhile = true;
        QString status;
        QString statusAfterClose;
        connect(&dialog, &gui::DevelopmentDialog::progressed, this, [&](int done, int, const QString& current) {
            if (done != 2 || current != "c3.dng")
                return;
            titleWhile = window.windowTitle();
            enabledWhile = window.isEnabled();
            status = dialog.statusText();
            QTest::mouseClick(dialog.closeButton(), Qt::LeftButton);
            statusAfterClose = dialog.statusText();
        });
        QSignalSpy ended(&dialog, &gui::DevelopmentDialog::ended);
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 60000);

        QCOMPARE(titleWhile, "[2/5] " + titleBefore);
        QVERIFY(!enabledWhile);
        // The dots move with the 333 ms ticks.
        const QStringList dots{"   ", ".  ", ".. ", "..."};
        QVERIFY(status.startsWith(" RAW現像 c3.dng 処理中") && dots.contains(status.right(3)));
        QVERIFY(statusAfterClose.startsWith(" RAW現像 中断処理中") && dots.contains(statusAfterClose.right(3)));
        QCOMPARE(dialog.windowTitle(), "[2/5] RAW現像");
        QVERIFY(!dialog.isVisible());
        QVERIFY(window.isEnabled());
        QCOMPARE(window.windowTitle(), titleBefore);
        QStringList written;
        for (const auto& item : fs::directory_iterator(out))
            written << QString::fromStdString(item.path().filename().string());
        written.sort();
        QCOMPARE(written, (QStringList{"c1.jpg", "c2.jpg"}));
        QComboBox* log = browser.rebar()->log();
        QCOMPARE(log->count() - logBefore, 3);
        // Newest on top.
        QCOMPARE(log->itemText(0), "RAW現像(JPEG保存):c3.dng->Skip!");
        QCOMPARE(log->itemText(1), "RAW現像(JPEG保存):c2.dng->OK!");
        QCOMPARE(log->itemText(2), "RAW現像(JPEG保存):c1.dng->OK!");
        // What undo will need: the developed files' history says where.
        const imagelist::ImageList& list = browser.controller().list();
        QCOMPARE(imagelist::currentHistoryKind(list.item(*list.findByName(u"c1.dng"))), std::int8_t{8});
        QCOMPARE(imagelist::currentHistoryKind(list.item(*list.findByName(u"c3.dng"))), std::nullopt);
    }
};

} // namespace

QTEST_MAIN(DevelopmentDialogTest)
#include "development_dialog_test.moc"
