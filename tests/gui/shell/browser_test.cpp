// The browser end to end: the program opens a folder of camera pictures,
// reads every file, shows it in the list and its preview in the views (which
// zoom while Ctrl is held, or latched by "/"), and
// leaves the cache, the settings and the collections made in it behind when
// it closes or is asked to end by a signal; the next start is served from
// the cache. A large folder is read while the window goes on; a file whose
// thumbnail fails stays listed with its preview tried; a list left unchanged
// keeps its cache file as it was. RAW files without a usable embedded
// picture get theirs from the RAW engine, and its failure is told once per
// load.

#include "shell_test_support.h"

#include "imagelist/folder_pane.h"
#include "imagelist/folder_pane_dialogs.h"
#include "imagelist/list_controller.h"
#include "imagelist/list_pane.h"
#include "shell/application.h"
#include "shell/termination_signals.h"
#include "shell/browser.h"
#include "shell/main_window.h"
#include "shell/shared_state.h"
#include "shell/rebar.h"
#include "shell/settings_layout.h"
#include "shell/status_bar.h"
#include "cache/cache_file.h"
#include "support/samples_qtest.h"
#include "support/test_pictures.h"
#include "viewer/image_view.h"

#include <QAction>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QTreeView>
#include <QSignalSpy>
#include <QTabBar>
#include <QtTest>

#include <sys/stat.h>

#include <csignal>
#include <fstream>
#include <thread>

using namespace qlx;
using qlx::gui::Application;
using qlx::test::ProgramFolder;
using qlx::test::qpath;
namespace fs = std::filesystem;

namespace {

// The card the tests make: camera JPEGs with their Exif make and model, a
// PNG without Exif, and a file that is no picture.
struct Picture {
    const char* name;
    const char* make;
    const char* model;
};
constexpr Picture kPictures[] = {
    {"IMG_0001.JPG", "Canon", "Canon EOS 40D"},
    {"DSC_0002.JPG", "NIKON CORPORATION", "NIKON D70"},
    {"DSCF0003.JPG", "FUJIFILM", "FinePix E500"},
    {"plain.png", "", ""},
};
constexpr std::size_t kCount = std::size(kPictures);

fs::path makeCard(const ProgramFolder& program)
{
    const fs::path card = program.makeFolder("DCIM/100CANON");
    for (const Picture& picture : kPictures) {
        if (fs::path(picture.name).extension() == ".png")
            QImage(64, 48, QImage::Format_RGB32).save(qpath(card / picture.name));
        else
            test::writeTestJpeg(card / picture.name, {640, 480, picture.make, picture.model, 0});
    }
    std::ofstream(card / "readme.txt") << "not a picture";
    return card;
}

fs::path cacheFileIn(const ProgramFolder& program)
{
    for (const auto& item : fs::recursive_directory_iterator(program.folder()))
        if (item.path().extension() == ".cac" && !item.path().filename().string().starts_with("Lib"))
            return item.path(); // the folder's, not a collection's
    return {};
}

} // namespace

class BrowserTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void opensTheFolderReadsEveryFileShowsItAndLeavesItsCache();
    void theRealProgramWritesCacheAndSettingsOnAPoliteSignal_data();
    void theRealProgramWritesCacheAndSettingsOnAPoliteSignal();
    void aCollectionMadeInTheProgramOutlivesATermination();
    void aLargeFolderIsReadWhileTheWindowGoesOn();
    void failedThumbnailsWaitingVideosAndSizes();
    void rawFilesGetEnginePicturesAndItsFailureIsToldOncePerLoad();
    void aFlipStormWhileTheFolderReloadsShowsNoStalePicture();
    void memoryShortageIsToldOncePerLoad();
};

void BrowserTest::opensTheFolderReadsEveryFileShowsItAndLeavesItsCache()
{
    ProgramFolder program;
    const fs::path card = makeCard(program);
    const QString cardText = qpath(card);
    // A collection of two of the files, as the program writes it (UTF-16LE
    // lines, then one zero character).
    const std::u16string collectionText = card.u16string() + u"/DSC_0002.JPG\n" + card.u16string()
                                          + u"/IMG_0001.JPG\n" + std::u16string(1, u'\0');
    fs::create_directories(program.folder() / "user" / "collection");
    std::ofstream(program.folder() / "user" / "collection" / "\xE6\x97\x85.co", std::ios::binary)
        .write(reinterpret_cast<const char*>(collectionText.data()),
               static_cast<std::streamsize>(collectionText.size() * 2));
    {
        Application app(std::nullopt, {program.executable(), {cardText}});
        QVERIFY(app.start());
        gui::Browser* browser = app.browser();
        QTRY_VERIFY_WITH_TIMEOUT(browser->controller().listReady(), 20000);
        const imagelist::ImageList& list = browser->controller().list();
        QCOMPARE(list.size(), kCount);
        for (const Picture& picture : kPictures) {
            const auto entry = list.findByName(QString::fromLatin1(picture.name).toStdU16String());
            QVERIFY2(entry.has_value(), picture.name);
            QCOMPARE(QString::fromStdU16String(list.entry(*entry).itemText(imagelist::ImageEntry::kItemModel)),
                     QString::fromLatin1(picture.model));
        }
        QCOMPARE(browser->listPane()->model().rowCount(), static_cast<int>(kCount));
        QVERIFY(app.mainWindow()->windowTitle().contains(cardText));
        // Every file read: "%03d/%03d" of the entries read and listed, unless
        // the shown picture's text has taken the part since.
        const QString activity = browser->statusBar()->partText(5);
        QVERIFY2(activity == QStringLiteral("004/004") || activity.startsWith(u'\t'), qPrintable(activity));
        QCOMPARE(browser->statusBar()->partText(8), QStringLiteral("\tFILE:1/4"));
        QCOMPARE(browser->statusBar()->partText(6), QStringLiteral("\tSEL:1"));

        // The main screen of a first start: the views beside the list, with
        // the current entry's decoded preview; the next picture by a key of
        // the view, and the decoder follows.
        QVERIFY(QTest::qWaitForWindowActive(app.mainWindow()));
        auto* view = app.mainWindow()->findChild<gui::ImageView*>();
        QTRY_VERIFY(view->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(view->hasPreview() && view->subject().position == 0, 20000);
        QCOMPARE(view->subject().name, QString::fromStdU16String(list.entry(list.order()[0]).name()));
        // The shown picture's text: an embedded preview, or the whole file.
        QTRY_COMPARE(browser->statusBar()->partText(5), list.entry(list.order()[0]).previewSize() != 0
                                                            ? QStringLiteral("\tThumbnail")
                                                            : QStringLiteral("\tOriginal"));
        QTest::keyClick(view, Qt::Key_Right);
        QCOMPARE(browser->listPane()->currentPosition(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(view->hasPreview() && view->subject().position == 1, 20000);

        // Ctrl held over the view zooms it to 1:1 and letting go fits it
        // again. "/" latches the zoom: a Ctrl press turns it on and it
        // stays; the tool box's button reads how to undo it and does.
        QTest::mouseMove(view, view->rect().center());
        QTest::keyPress(view, Qt::Key_Control);
        QTRY_COMPARE(browser->statusBar()->partText(4), QStringLiteral("\tZOOM ×1.00"));
        QTest::keyRelease(view, Qt::Key_Control);
        QTRY_COMPARE(browser->statusBar()->partText(4), QStringLiteral("\tFIT MODE"));
        QTest::keyClick(view, Qt::Key_Slash);
        QCOMPARE(app.state()->settings.get(settings::kLatchedZoom), 1);
        QTest::keyClick(view, Qt::Key_Control);
        QTRY_COMPARE(browser->statusBar()->partText(4), QStringLiteral("\tZOOM ×1.00"));
        QAction* latch = nullptr;
        for (QAction* action : app.mainWindow()->findChildren<QAction*>())
            latch = action->data() == QVariant(5) ? action : latch; // the "/" button
        QVERIFY(latch && latch->isEnabled());
        QCOMPARE(latch->toolTip(), QStringLiteral("等倍、拡大保持モード解除('/'ｷｰ)"));
        latch->trigger();
        QTRY_COMPARE(browser->statusBar()->partText(4), QStringLiteral("\tFIT MODE"));
        QCOMPARE(latch->toolTip(), QStringLiteral("等倍、拡大保持モード('/'ｷｰ)"));
        QCOMPARE(app.state()->settings.get(settings::kLatchedZoom), 0);

        // The collection written before the start, in its order.
        // Both are read on a thread: the list fills once the read is done.
        browser->openCollection(u"旅");
        QTRY_COMPARE(list.size(), 2u);
        QVERIFY(list.entry(list.order()[0]).name() == u"DSC_0002.JPG" && list.entry(list.order()[1]).name() == u"IMG_0001.JPG");
        QVERIFY(app.mainWindow()->windowTitle().endsWith(QStringLiteral("コレクション [ 旅 ]")));
        browser->openFolder(card.u16string());
        QTRY_COMPARE(list.size(), kCount);
        app.mainWindow()->close();
    }
    const auto file = cache::CacheFile::load(cacheFileIn(program));
    QVERIFY(file.has_value());
    QCOMPARE(file->recordCount(), static_cast<std::uint32_t>(kCount));
    QCOMPARE(QString::fromStdU16String(file->folder()), cardText + u'/');

    // The next start opens the last folder from its cache: nothing is read
    // afresh.
    Application again(std::nullopt, {program.executable(), {}});
    QSignalSpy firstSave(&again, &Application::firstSaveDone);
    QVERIFY(again.start());
    QTRY_COMPARE_WITH_TIMEOUT(firstSave.count(), 1, 10000);
    const imagelist::FolderReadResult& read = again.browser()->controller().session().lastRead();
    QCOMPARE(read.fromCache, kCount);
    QCOMPARE(read.unchanged, kCount);
    again.mainWindow()->close();
}

void BrowserTest::theRealProgramWritesCacheAndSettingsOnAPoliteSignal_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void BrowserTest::theRealProgramWritesCacheAndSettingsOnAPoliteSignal()
{
    QFETCH(int, signalNumber);
    ProgramFolder program("Quenderluxium", ProgramFolder::Executable::Copy);
    const fs::path card = makeCard(program);
    QProcess process;
    program.startProgram(process, {qpath(card)});
    // The first save comes once the folder is shown, while the
    // list-information worker reads it: the signal stops the worker.
    QTRY_VERIFY_WITH_TIMEOUT(fs::exists(program.settingsFile()), 20000);
    ::kill(static_cast<pid_t>(process.processId()), signalNumber);
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    const auto file = cache::CacheFile::load(cacheFileIn(program));
    QVERIFY(file.has_value());
    QCOMPARE(file->recordCount(), static_cast<std::uint32_t>(kCount));
    auto settings = test::readSettingsRecord(program.settingsFile());
    QVERIFY(settings);
    QCOMPARE(settings->get(settings::kNormalExit), std::uint8_t{1});
    QCOMPARE(QString::fromStdU16String(settings->text(settings::kLastOpenedFolder)), qpath(card));
}

void BrowserTest::aCollectionMadeInTheProgramOutlivesATermination()
{
    ProgramFolder program;
    const fs::path card = makeCard(program);
    const std::u16string first = (card / "IMG_0001.JPG").u16string();
    const std::u16string second = (card / "DSC_0002.JPG").u16string();
    {
        Application app(std::nullopt, {program.executable(), {qpath(card)}});
        QVERIFY(app.start());
        gui::TerminationSignals termination;
        connect(&termination, &gui::TerminationSignals::terminationRequested, &app, &Application::requestTermination);
        QSignalSpy finished(&app, &Application::finished);
        gui::Browser& browser = *app.browser();
        QVERIFY(test::listShown(browser, kCount));
        // A new collection, named in its dialog; files dropped on the pane
        // join it.
        QTimer namer;
        namer.callOnTimeout([] {
            if (auto* dialog = qobject_cast<gui::NameDialog*>(QApplication::activeModalWidget())) {
                dialog->field()->setText(QStringLiteral("旅行"));
                dialog->okButton()->click();
            }
        });
        namer.start(5);
        gui::FolderPane& pane = *browser.folderPane();
        QVERIFY(pane.runCommand(267));
        QTest::mouseClick(pane.tabs()->tabBar(), Qt::LeftButton, {}, pane.tabs()->tabBar()->tabRect(1).center());
        browser.openCollection(u"旅行");
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(QString::fromStdU16String(first)), QUrl::fromLocalFile(QString::fromStdU16String(second))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QVERIFY(QCoreApplication::sendEvent(&pane, &enter) && QCoreApplication::sendEvent(&pane, &drop));
        QVERIFY(test::listShown(browser, 2));
        ::raise(SIGTERM);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
    }
    // The next start has it, in the order the files were dropped.
    Application again(std::nullopt, {program.executable(), {qpath(card)}});
    QVERIFY(again.start());
    QVERIFY(test::listShown(*again.browser(), kCount));
    again.browser()->openCollection(u"旅行");
    QVERIFY(test::listShown(*again.browser(), 2));
    const imagelist::ImageList& list = again.browser()->controller().list();
    QVERIFY(list.entry(list.order()[0]).path() == first && list.entry(list.order()[1]).path() == second);
}

void BrowserTest::aLargeFolderIsReadWhileTheWindowGoesOn()
{
    ProgramFolder program;
    const fs::path card = makeCard(program);
    const fs::path many = program.makeFolder("many");
    for (int i = 0; i < 3000; ++i)
        std::ofstream(many / ("P" + std::to_string(i) + ".jpg")); // empty: never a picture
    Application app(std::nullopt, {program.executable(), {qpath(card)}});
    QVERIFY(app.start());
    gui::Browser& browser = *app.browser();
    QVERIFY(test::listShown(browser, kCount));
    QSignalSpy band(app.mainWindow()->findChild<gui::Rebar*>()->progress(), &QProgressBar::valueChanged);
    QSignalSpy loaded(&browser.controller(), &gui::ListController::listLoaded);
    qsizetype bandMovesWhileReading = -1;
    connect(&browser.controller(), &gui::ListController::listLoaded, this,
            [&] { bandMovesWhileReading = bandMovesWhileReading < 0 ? band.count() : bandMovesWhileReading; });
    // The call comes back before the folder is read; the band moves meanwhile.
    browser.openFolder(many.u16string());
    QCOMPARE(browser.controller().list().size(), 0u);
    QVERIFY(test::listShown(browser, 3000));
    QVERIFY(bandMovesWhileReading > 0);
    // A request while a read runs supersedes it: only its own list shows.
    browser.openFolder(many.u16string(), true);
    browser.openFolder(card.u16string());
    QVERIFY(test::listShown(browser, kCount));
    QCOMPARE(loaded.count(), 2);
}

void BrowserTest::failedThumbnailsWaitingVideosAndSizes()
{
    ProgramFolder program;
    const fs::path card = program.makeFolder("card");
    const fs::path other = program.makeFolder("other");
    test::writeTestJpeg(card / "good.jpg", {64, 48});
    fs::resize_file(card / "good.jpg", 12'800);               // the picture, then zero bytes
    std::ofstream(card / "late.jpg") << std::string(500, 'x'); // being copied: no picture yet
    std::ofstream(card / "clip.mpg") << std::string(700, 'v'); // no clip: no frame, ever
    Application app(std::nullopt, {program.executable(), {qpath(card)}});
    QVERIFY(app.start());
    gui::Browser& browser = *app.browser();
    QVERIFY(test::listShown(browser, 3));
    const imagelist::ImageList& list = browser.controller().list();
    const auto late = static_cast<int>(*list.positionOf(*list.findByName(u"late.jpg")));
    for (int i = 0; i < late; ++i)
        QTest::keyClick(browser.listPane()->detailsView(), Qt::Key_Down);
    // 500 bytes selected; 14,000 bytes in all, in units of 1,024.
    QCOMPARE(browser.statusBar()->partText(7), QStringLiteral("\tSIZE:500Byte"));
    QCOMPARE(browser.statusBar()->partText(9), QStringLiteral("\tTOTAL:13.67KB"));

    // Whole now: the view still asks for its picture, and once its size has
    // changed the next read makes its thumbnail.
    test::writeTestJpeg(card / "late.jpg", {64, 48});
    QVERIFY(QTest::qWaitForWindowActive(app.mainWindow()));
    // Stepping away and back, the view beside the list asks again.
    QTest::keyClick(browser.listPane()->detailsView(), Qt::Key_Up);
    QTest::keyClick(browser.listPane()->detailsView(), Qt::Key_Down);
    auto* view = app.mainWindow()->findChild<gui::ImageView*>();
    QTRY_VERIFY_WITH_TIMEOUT(view->hasPreview() && view->subject().position == late, 20000);
    {
        test::MessageBoxWatcher refreshQuestion(QMessageBox::Yes);
        QTest::keyClick(app.mainWindow(), Qt::Key_F5);
    }
    QVERIFY(test::listShown(browser, 3) && !list.item(*list.findByName(u"late.jpg")).thumbnail().empty());

    // Left, visited again (the broken clip is not tried again), left: the cache
    // file's time is renewed in place, nothing is rewritten.
    const std::string cacheFile = program.folder() / "user" / "cache" / QString(qpath(card) + ".cac").replace(u'/', QChar(0xFFE5)).toStdString();
    struct stat first{}, last{};
    for (const fs::path& folder : {other, card, other}) {
        browser.openFolder(folder.u16string());
        QVERIFY(test::listShown(browser, folder == card ? 3 : 0));
        ::stat(cacheFile.c_str(), first.st_ino == 0 ? &first : &last);
    }
    QVERIFY(first.st_ino != 0 && last.st_ino == first.st_ino);
}

void BrowserTest::rawFilesGetEnginePicturesAndItsFailureIsToldOncePerLoad()
{
    QLX_NEED_SAMPLES("raw-full/colorchart.dng", "exiftool/KyoceraRaw.raw", "exiftool/CanonRaw.crw");
    ProgramFolder program;
    const fs::path folder = program.makeFolder("raw");
    // The colour chart has no usable embedded picture; the engine cannot
    // develop the two trimmed files (`dcraw` cannot unpack them either).
    for (const char* sample : {"raw-full/colorchart.dng", "exiftool/KyoceraRaw.raw", "exiftool/CanonRaw.crw"})
        fs::copy_file(test::samplesDir() / sample, folder / fs::path(sample).filename());
    test::MessageBoxWatcher boxes;
    Application app(std::nullopt, {program.executable(), {qpath(folder)}});
    QVERIFY(app.start());
    gui::Browser& browser = *app.browser();
    QVERIFY(test::listShown(browser, 3));
    const imagelist::ImageList& list = browser.controller().list();
    QVERIFY(!list.item(*list.findByName(u"colorchart.dng")).thumbnail().empty());
    const auto select = [&](std::u16string_view name) {
        QTest::keyClick(browser.listPane()->detailsView(), Qt::Key_Home);
        for (std::size_t i = *list.positionOf(*list.findByName(name)); i > 0; --i)
            QTest::keyClick(browser.listPane()->detailsView(), Qt::Key_Down);
    };
    // The box of this load comes and goes first.
    QTRY_COMPARE_WITH_TIMEOUT(boxes.boxes().size(), 1u, 20000);
    app.mainWindow()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(app.mainWindow()));
    select(u"colorchart.dng");
    auto* view = app.mainWindow()->findChild<gui::ImageView*>();
    QTRY_VERIFY_WITH_TIMEOUT(view->hasPreview() && view->subject().name == u"colorchart.dng", 20000);
    QVERIFY(list.entry(*list.findByName(u"colorchart.dng")).hasFlag(imagelist::ImageEntry::kFlagPreviewIsEngineOutput));
    // The conversion key develops the shown file at its own quality, with
    // the busy pointer meanwhile, and lets the development go again.
    QTest::sendKeyEvent(QTest::Click, app.mainWindow(), Qt::Key_Henkan, QString(), Qt::NoModifier);
    QCOMPARE(browser.statusBar()->partText(5), QStringLiteral("\tNow Processing..."));
    QCOMPARE(view->cursor().shape(), Qt::BusyCursor);
    QTRY_COMPARE_WITH_TIMEOUT(browser.statusBar()->partText(5), QStringLiteral("\tOriginal RAW"), 30000);
    QCOMPARE(view->cursor().shape(), Qt::ArrowCursor);
    QTest::sendKeyEvent(QTest::Click, app.mainWindow(), Qt::Key_Henkan, QString(), Qt::NoModifier);
    QTRY_COMPARE_WITH_TIMEOUT(browser.statusBar()->partText(5), QStringLiteral("\tOriginal"), 20000);
    // Both trimmed files failed in the list, one in the view too: one box.
    QCOMPARE(boxes.boxes().size(), 1u);
    QCOMPARE(boxes.boxes().front().text, QStringLiteral("RAW現像に失敗しました。"));
    QCOMPARE(boxes.boxes().front().icon, QMessageBox::Critical);

    // Opened again: the failed thumbnails wait for their files to change;
    // the preview of a failing file tells it once more.
    browser.openFolder(folder.u16string(), true);
    QVERIFY(test::listShown(browser, 3));
    select(u"KyoceraRaw.raw");
    QTRY_COMPARE_WITH_TIMEOUT(boxes.boxes().size(), 2u, 20000);
    app.mainWindow()->close();
}

void BrowserTest::aFlipStormWhileTheFolderReloadsShowsNoStalePicture()
{
    ProgramFolder program;
    const fs::path folder = program.makeFolder("storm");
    // Each picture one flat colour: the pane shows whose picture it drew.
    constexpr int kPictures = 24;
    const auto colourOf = [](int i) { return QColor::fromHsv(i * 15, 255, 255); };
    for (int i = 0; i < kPictures; ++i) {
        QImage picture(640, 480, QImage::Format_RGB32);
        picture.fill(colourOf(i));
        const auto bytes = test::encodePicture(picture, "jpeg", 95);
        std::ofstream(folder / QString::asprintf("S%02d.jpg", i).toStdString(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    Application app(std::nullopt, {program.executable(), {qpath(folder)}});
    QVERIFY(app.start());
    gui::Browser& browser = *app.browser();
    QVERIFY(test::listShown(browser, kPictures));
    auto* view = app.mainWindow()->findChild<gui::ImageView*>();
    QTRY_VERIFY(view->isVisible());
    // Steps both ways faster than any picture decodes, the folder read
    // again in the middle of them.
    for (int round = 0; round < 6; ++round) {
        for (int step = 0; step < 7; ++step)
            QTest::keyClick(view, round % 2 == 0 ? Qt::Key_Right : Qt::Key_Left);
        browser.controller().refresh();
        QTest::keyClick(view, Qt::Key_Right);
    }
    QVERIFY(test::listShown(browser, kPictures));
    const int current = browser.listPane()->currentPosition();
    QTRY_VERIFY_WITH_TIMEOUT(view->hasPreview() && view->subject().position == current
                                 && view->lastPaintResult() == viewer::PaintResult::Drawn,
                             20000);
    // Whatever came back late, the pane shows the current entry's picture.
    const QString name = view->subject().name;
    const QColor expected = colourOf(name.mid(1, 2).toInt());
    const QImage shown = view->grab().toImage();
    const QColor centre = shown.pixelColor(shown.rect().center());
    QVERIFY2(std::abs(centre.red() - expected.red()) < 8 && std::abs(centre.green() - expected.green()) < 8
                 && std::abs(centre.blue() - expected.blue()) < 8,
             qPrintable(name + u' ' + centre.name() + u' ' + expected.name()));
    app.mainWindow()->close();
}

void BrowserTest::memoryShortageIsToldOncePerLoad()
{
    ProgramFolder program;
    const fs::path card = makeCard(program);
    test::MessageBoxWatcher boxes;
    Application app(std::nullopt, {program.executable(), {qpath(card)}});
    QVERIFY(app.start());
    gui::Browser& browser = *app.browser();
    QVERIFY(test::listShown(browser, kCount));
    QSignalSpy shrinks(&browser.controller(), &gui::ListController::readAheadShrinkRequested);
    // Six pictures that cannot be had, on a worker as the loaders' are: the
    // reserve doubles four times to 1 GiB and then says so.
    const auto failSixTimes = [&] {
        std::thread worker([&] {
            for (int i = 0; i < 6; ++i)
                browser.controller().memoryReserve().raiseAfterFailure();
        });
        worker.join();
    };
    failSixTimes();
    QTRY_COMPARE_WITH_TIMEOUT(boxes.boxes().size(), 1u, 5000);
    QCOMPARE(boxes.boxes().front().text, QStringLiteral("メモリ不足です。"));
    QCOMPARE(boxes.boxes().front().caption, QStringLiteral("Quenderluxium"));
    QCOMPARE(shrinks.count(), 4);

    // The next load starts from 64 MiB again, and tells it again.
    browser.openFolder(card.u16string(), true);
    QVERIFY(test::listShown(browser, kCount));
    failSixTimes();
    QTRY_COMPARE_WITH_TIMEOUT(boxes.boxes().size(), 2u, 5000);
    QCOMPARE(shrinks.count(), 8);
    app.mainWindow()->close();
}

QTEST_MAIN(BrowserTest)
#include "browser_test.moc"
