// RAW files without a usable embedded picture in the real window: the colour
// chart gets its list thumbnail and, selected, its preview from the RAW
// engine; trimmed files the engine cannot develop bring the failure message
// once per load, and once more after the folder is opened again.

#include "shell_test_support.h"

#include "imagelist/list_pane.h"
#include "shell/application.h"
#include "shell/main_window.h"
#include "support/samples_qtest.h"
#include "viewer/image_view.h"

#include <QTreeView>
#include <QtTest>

using namespace qlx;
using qlx::test::qpath;
namespace fs = std::filesystem;

class RawDevelopmentTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void theEngineGivesPicturesAndItsFailureIsToldOncePerLoad();
};

namespace {

// Makes the entry `name` the current one with the list's keys.
void goTo(gui::Browser& browser, std::u16string_view name)
{
    const imagelist::ImageList& list = browser.controller().list();
    const auto position = static_cast<int>(*list.positionOf(*list.findByName(name)));
    QTreeView* keys = browser.listPane()->detailsView();
    QTest::keyClick(keys, Qt::Key_Home);
    for (int i = 0; i < position; ++i)
        QTest::keyClick(keys, Qt::Key_Down);
    QCOMPARE(browser.listPane()->currentPosition(), position);
}

} // namespace

void RawDevelopmentTest::theEngineGivesPicturesAndItsFailureIsToldOncePerLoad()
{
    QLX_NEED_SAMPLES("raw-full/colorchart.dng", "exiftool/KyoceraRaw.raw", "exiftool/CanonRaw.crw");
    test::ProgramFolder program;
    const fs::path folder = program.makeFolder("raw");
    for (const char* sample : {"raw-full/colorchart.dng", "exiftool/KyoceraRaw.raw", "exiftool/CanonRaw.crw"})
        fs::copy_file(test::samplesDir() / sample, folder / fs::path(sample).filename());
    test::MessageBoxWatcher boxes;
    gui::Application app(std::nullopt, {program.executable(), {qpath(folder)}});
    QVERIFY(app.start());
    gui::Browser& browser = *app.browser();
    QVERIFY(test::listShown(browser, 3));
    const imagelist::ImageList& list = browser.controller().list();
    QVERIFY(!list.item(*list.findByName(u"colorchart.dng")).thumbnail().empty());

    // The box of this load comes and goes first; the window is active again.
    QTRY_COMPARE_WITH_TIMEOUT(boxes.boxes().size(), 1u, 20000);
    app.mainWindow()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(app.mainWindow()));
    goTo(browser, u"colorchart.dng");
    auto* view = app.mainWindow()->findChild<gui::ImageView*>();
    QTRY_VERIFY_WITH_TIMEOUT(view->hasPreview() && view->subject().name == u"colorchart.dng", 20000);
    QVERIFY(list.entry(*list.findByName(u"colorchart.dng")).hasFlag(imagelist::ImageEntry::kFlagPreviewIsEngineOutput));
    // Both trimmed files failed in the list (and one in the view as well):
    // one box.
    QCOMPARE(boxes.boxes().size(), 1u);
    QCOMPARE(boxes.boxes().front().text, QStringLiteral("RAW現像に失敗しました。"));
    QCOMPARE(boxes.boxes().front().icon, QMessageBox::Critical);

    // Opened again: the thumbnails that failed wait for their files to
    // change, and the preview of one that fails tells it again.
    browser.openFolder(folder.u16string(), true);
    QVERIFY(test::listShown(browser, 3));
    goTo(browser, u"KyoceraRaw.raw");
    QTRY_COMPARE_WITH_TIMEOUT(boxes.boxes().size(), 2u, 20000);
    app.mainWindow()->close();
}

QTEST_MAIN(RawDevelopmentTest)
#include "raw_development_test.moc"
