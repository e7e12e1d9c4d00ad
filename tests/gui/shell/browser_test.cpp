// The browser end to end: the program opens a folder of camera files, reads
// every file, shows it in the list, and leaves the cache and the settings
// behind when it closes; the next start is served from the cache.

#include "shell_test_support.h"

#include "imagelist/list_controller.h"
#include "imagelist/list_pane.h"
#include "shell/application.h"
#include "shell/browser.h"
#include "shell/main_window.h"
#include "shell/settings_layout.h"
#include "shell/status_bar.h"
#include "cache/cache_file.h"

#include <QSignalSpy>
#include <QtTest>

#include <csignal>
#include <fstream>

using namespace qlx;
using qlx::gui::Application;
using qlx::test::ProgramFolder;
using qlx::test::qpath;
namespace fs = std::filesystem;

namespace {

// The camera samples the test copies, and what exiftool reads from them.
struct Sample {
    const char* folder;
    const char* name;
    const char16_t* model;
};
constexpr Sample kSamples[] = {
    {"exif-samples", "Canon_40D.jpg", u"Canon EOS 40D"},
    {"exif-samples", "Nikon_D70.jpg", u"NIKON D70"},
    {"exif-samples", "Fujifilm_FinePix_E500.jpg", u"FinePix E500"},
    {"exiftool", "Nikon.nef", u"NIKON D70"},
    {"exiftool", "PNG.png", u""},
};

fs::path copySamples(const ProgramFolder& program)
{
    const fs::path card = program.makeFolder("DCIM/100CANON");
    for (const Sample& sample : kSamples)
        fs::copy_file(test::samplesDir() / sample.folder / sample.name, card / sample.name);
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
    void opensTheFolderReadsEveryFileAndLeavesItsCache();
    void theRealProgramWritesCacheAndSettingsWhenTerminated();
};

void BrowserTest::opensTheFolderReadsEveryFileAndLeavesItsCache()
{
    ProgramFolder program;
    const fs::path card = copySamples(program);
    const QString cardText = qpath(card);
    // A collection of two of the files, as the program writes it (UTF-16LE
    // lines, then one zero character).
    const std::u16string collectionText = card.u16string() + u"/Nikon_D70.jpg\n" + card.u16string()
                                          + u"/Canon_40D.jpg\n" + std::u16string(1, u'\0');
    fs::create_directories(program.folder() / "user" / "collection");
    std::ofstream(program.folder() / "user" / "collection" / "\xE6\x97\x85.co", std::ios::binary)
        .write(reinterpret_cast<const char*>(collectionText.data()),
               static_cast<std::streamsize>(collectionText.size() * 2));
    {
        Application app(std::nullopt, {program.executable(), {cardText}});
        QSignalSpy firstSave(&app, &Application::firstSaveDone);
        QVERIFY(app.start());
        QTRY_COMPARE_WITH_TIMEOUT(firstSave.count(), 1, 10000);
        gui::Browser* browser = app.browser();
        QVERIFY(browser);
        QTRY_VERIFY_WITH_TIMEOUT(browser->controller().listReady(), 20000);

        const imagelist::ImageList& list = browser->controller().list();
        QCOMPARE(list.size(), std::size(kSamples));
        for (const Sample& sample : kSamples) {
            const std::u16string name(sample.name, sample.name + std::strlen(sample.name));
            const auto entry = list.findByName(name);
            QVERIFY2(entry.has_value(), sample.name);
            QCOMPARE(QString::fromStdU16String(list.entry(*entry).itemText(imagelist::ImageEntry::kItemModel)),
                     QString::fromStdU16String(sample.model));
        }
        QCOMPARE(browser->listPane()->model().rowCount(), static_cast<int>(std::size(kSamples)));
        QVERIFY(app.mainWindow()->windowTitle().contains(cardText));
        // Every file read: "%03d/%03d" of the entries read and listed.
        QCOMPARE(browser->statusBar()->partText(5), QStringLiteral("005/005"));
        QCOMPARE(browser->statusBar()->partText(8), QStringLiteral("\tFILE:1/5"));
        QCOMPARE(browser->statusBar()->partText(6), QStringLiteral("\tSEL:1"));
        QCOMPARE(browser->listPane()->currentPosition(), 0);

        // The collection written before the start, in its order.
        browser->openCollection(u"旅");
        QCOMPARE(list.size(), 2u);
        QCOMPARE(list.entry(list.order()[0]).name(), u"Nikon_D70.jpg");
        QCOMPARE(list.entry(list.order()[1]).name(), u"Canon_40D.jpg");
        QVERIFY(app.mainWindow()->windowTitle().endsWith(QStringLiteral("コレクション [ 旅 ]")));
        browser->openFolder(card.u16string());
        QCOMPARE(list.size(), std::size(kSamples));
        app.mainWindow()->close();
    }
    const fs::path cache = cacheFileIn(program);
    QVERIFY(!cache.empty());
    const auto file = cache::CacheFile::load(cache);
    QVERIFY(file.has_value());
    QCOMPARE(file->recordCount(), static_cast<std::uint32_t>(std::size(kSamples)));
    QCOMPARE(QString::fromStdU16String(file->folder()), cardText + u'/');
    auto settings = test::readSettingsRecord(program.settingsFile());
    QVERIFY(settings);
    QCOMPARE(QString::fromStdU16String(settings->text(settings::kLastOpenedFolder)), cardText);
    QCOMPARE(settings->get(settings::kNormalExit), std::uint8_t{1});

    // The next start opens the last folder from its cache: nothing is read
    // afresh.
    Application again(std::nullopt, {program.executable(), {}});
    QSignalSpy firstSave(&again, &Application::firstSaveDone);
    QVERIFY(again.start());
    QTRY_COMPARE_WITH_TIMEOUT(firstSave.count(), 1, 10000);
    const imagelist::FolderReadResult& read = again.browser()->controller().session().lastRead();
    QCOMPARE(read.fromCache, std::size(kSamples));
    QCOMPARE(read.unchanged, std::size(kSamples));
    again.mainWindow()->close();
}

void BrowserTest::theRealProgramWritesCacheAndSettingsWhenTerminated()
{
    ProgramFolder program("Quenderluxium", ProgramFolder::Executable::Copy);
    const fs::path card = copySamples(program);
    QProcess process;
    program.startProgram(process, {qpath(card)});
    QVERIFY(process.waitForStarted(10000));
    // The first save after start-up puts the settings on disk.
    QTRY_VERIFY_WITH_TIMEOUT(fs::exists(program.settingsFile()), 15000);
    QTest::qWait(1500);
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    QVERIFY(process.waitForFinished(15000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    const fs::path cache = cacheFileIn(program);
    QVERIFY(!cache.empty());
    const auto file = cache::CacheFile::load(cache);
    QVERIFY(file.has_value());
    QCOMPARE(file->recordCount(), static_cast<std::uint32_t>(std::size(kSamples)));
    auto settings = test::readSettingsRecord(program.settingsFile());
    QVERIFY(settings);
    QCOMPARE(settings->get(settings::kNormalExit), std::uint8_t{1});
    QCOMPARE(QString::fromStdU16String(settings->text(settings::kLastOpenedFolder)), qpath(card));
}

QTEST_MAIN(BrowserTest)
#include "browser_test.moc"
