// The development window in the running program: five RAW files of the
// list developed into a folder, Close clicked while the third develops.
// Two files are written and logged "OK!", the third is logged "Skip!" and
// nothing is written for it, the last two get no line; the main window is
// disabled with its caption counted while the job runs, and back as it was
// afterwards.

#include "gui/shell/shell_test_support.h"

#include "imagelist/list_controller.h"
#include "imagelist/list_pane.h"
#include "raw/development_dialog.h"
#include "shell/application.h"
#include "shell/browser.h"
#include "shell/main_window.h"
#include "shell/rebar.h"
#include "shell/shared_state.h"
#include "support/samples_qtest.h"

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
        gui::Application app(std::nullopt, gui::StartupOptions{program.executable(), {qpath(card)}});
        QVERIFY(app.start());
        gui::MainWindow& window = *app.mainWindow();
        gui::Browser& browser = *app.browser();
        QTRY_VERIFY_WITH_TIMEOUT(browser.controller().listReady(), 20000);
        const QString titleBefore = window.windowTitle();

        // The list's entries by name, as the key-bound action will hand them over.
        const imagelist::ImageList& list = browser.controller().list();
        std::vector<raw::DevelopmentItem> items;
        for (const QString& name : kCard) {
            const auto index = list.findByName(name.toStdU16String());
            QVERIFY(index);
            items.push_back({*index, std::make_shared<imagelist::ImageEntry>(list.entry(*index))});
        }
        gui::DevelopmentDialog dialog({window, [&app](std::u16string_view prefix) { app.updateTitle(prefix); },
                                       *browser.rebar(), *browser.listPane(), 2, {}},
                                      std::move(items),
                                      raw::developmentSettingsFrom(app.state()->settings, raw::OutputKind::Jpeg, out));
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
        const int logBefore = browser.rebar()->log()->count();
        dialog.start();
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
    }
};

} // namespace

QTEST_MAIN(DevelopmentDialogTest)
#include "development_dialog_test.moc"
