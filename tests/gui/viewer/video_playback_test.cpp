// Playing the sample clips in the real program, driven through the control
// bar under the views: play, pause, the step commands, enlarging, a clip
// under one second, an Indeo clip, a file that does not play, two views
// playing at once, and the playbacks let go when their entry leaves the
// views or the list changes. Expected numbers are the clips' own (earth.mov
// lasts 30.0 s at 480 × 270, flame.avi 256 × 240, christmas.mp4 0.81 s).
// Where no media back end plays H.264 the test skips and says why.

#include "gui/shell/shell_test_support.h"

#include "imagelist/list_controller.h"
#include "imagelist/list_pane.h"
#include "shell/application.h"
#include "shell/browser.h"
#include "shell/command_table.h"
#include "shell/main_window.h"
#include "viewer/image_view.h"
#include "viewer/video_control_bar.h"
#include "viewer/video_controller.h"
#include "viewer/video_playback.h"

#include <QLabel>
#include <QMediaPlayer>
#include <QSlider>
#include <QToolButton>

using namespace qlx;
using imagelist::ImageEntry;
using qlx::test::ProgramFolder;
using qlx::test::qpath;
using viewer::VideoControl;
namespace fs = std::filesystem;

namespace {

const char* const kClips[] = {"video/christmas.mp4", "video/earth.mov", "video/flame.avi", "video/stubs/QuickTime.mov"};

class Program {
public:
    explicit Program(const fs::path& folder) : app(std::nullopt, {program.executable(), {qpath(folder)}}) {}
    ProgramFolder program;
    gui::Application app;
    gui::Browser& browser() { return *app.browser(); }
    gui::VideoController& video() { return *browser().video(); }
    gui::VideoControlBar& bar() { return video().bar(); }
    const gui::VideoPlayback& playback() { return video().playback(); }
    QList<gui::ImageView*> views() { return app.mainWindow()->findChildren<gui::ImageView*>(); }

    // Makes the file `name` current; its entry index.
    int show(const QString& name)
    {
        const imagelist::ImageList& list = browser().controller().list();
        for (int position = 0; position < static_cast<int>(list.size()); ++position) {
            const auto entry = list.entryAt(position);
            if (entry && QString::fromStdU16String(list.entry(*entry).path()).endsWith(u'/' + name)) {
                browser().listPane()->setCurrentPosition(position);
                return static_cast<int>(*entry);
            }
        }
        return -1;
    }
    ImageEntry& entry(int index) { return browser().controller().session().list().entry(static_cast<std::size_t>(index)); }
    void click(VideoControl control) { QTest::mouseClick(bar().button(control), Qt::LeftButton); }
    // Waits for the playback of `index` to open (true) or to fail (false).
    bool opened(int index)
    {
        static_cast<void>(QTest::qWaitFor([&] {
            return (entry(index).flags() & ImageEntry::kFlagPlaybackOpen) != 0 || !playback().holds(index);
        }, 15000));
        return (entry(index).flags() & ImageEntry::kFlagPlaybackOpen) != 0;
    }
};

} // namespace

class VideoPlaybackTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void playingPausingSteppingAndLettingGo();
    void twoViewsAClipUnderASecondAndFilesThatDoNotPlay();

private:
    fs::path makeFolder(ProgramFolder& folder);
};

void VideoPlaybackTest::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
    if (const std::string missing = test::missingSamples({kClips[0], kClips[1], kClips[2], kClips[3]}); !missing.empty()) {
        if (test::samplesRequired())
            QFAIL(missing.c_str());
        QSKIP(missing.c_str());
    }
    QMediaPlayer probe;
    if (!probe.isAvailable())
        QSKIP("Qt Multimedia has no media back end here: video does not play");
}

fs::path VideoPlaybackTest::makeFolder(ProgramFolder& program)
{
    const fs::path folder = program.makeFolder("clips");
    for (const char* clip : kClips)
        fs::copy_file(test::samplesDir() / clip, folder / fs::path(clip).filename());
    fs::rename(folder / "QuickTime.mov", folder / "stub.mov");
    for (const auto& file : fs::directory_iterator(folder))
        fs::permissions(file.path(), fs::perms::owner_read | fs::perms::owner_write);
    return folder;
}

void VideoPlaybackTest::playingPausingSteppingAndLettingGo()
{
    ProgramFolder files;
    const fs::path folder = makeFolder(files);
    Program p(folder);
    QVERIFY(test::writeSettings(p.program, true, qpath(folder)));
    QVERIFY(p.app.start() && test::listShown(p.browser(), 4));
    gui::ImageView* view = p.views().front();

    // A video is current: the bar stands right under the views.
    const int earth = p.show(QStringLiteral("earth.mov"));
    QVERIFY(earth >= 0);
    QTRY_VERIFY(p.bar().isVisible());
    QCOMPARE(p.bar().geometry().top(), view->geometry().bottom() + 1);
    QCOMPARE(p.entry(earth).videoVolume(), -40); // new entries start at −40

    p.click(VideoControl::Pause); // "▲" enters playback mode and plays
    if (!p.opened(earth))
        QSKIP("the media back end does not play earth.mov (H.264): no decoder for it here");
    QCOMPARE(p.entry(earth).videoSlot(), 0);
    QCOMPARE(p.playback().slots().used(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(view->videoFrame().size(), QSize(480, 270), 10000);
    QCOMPARE(p.bar().totalLabel().text(), QStringLiteral("0:00:30"));
    QCOMPARE(p.bar().positionSlider().maximum(), 30000); // 30 s at 1000 steps each
    QVERIFY(p.bar().positionSlider().isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(p.entry(earth).videoPosition() >= 1.0, 10000);
    QTRY_COMPARE(p.bar().elapsedLabel().text(), QStringLiteral("0:00:01"));

    // Own size in the middle of the pane; "+" fits it to the pane, "-" back.
    const QRect own = view->pictureRect();
    QCOMPARE(own.size(), QSize(480, 270));
    p.click(VideoControl::Enlarge);
    QVERIFY((p.entry(earth).flags() & ImageEntry::kFlagEnlargedVideo) != 0);
    QTRY_VERIFY(view->pictureRect().width() == view->width() || view->pictureRect().height() == view->height());
    p.click(VideoControl::Shrink);
    QTRY_COMPARE(view->pictureRect(), own);

    // "▲" again pauses; 297 steps one thirtieth (1 s) on, 298 back.
    p.click(VideoControl::Pause);
    QVERIFY((p.entry(earth).flags() & ImageEntry::kFlagPaused) != 0);
    QTRY_VERIFY(!p.playback().isRunning(earth));
    const double paused = p.entry(earth).videoPosition();
    p.browser().runCommand(gui::VideoController::kStepForwardCommand);
    QVERIFY(std::abs(p.entry(earth).videoPosition() - (paused + 1.0)) < 0.1);
    p.browser().runCommand(gui::VideoController::kStepBackCommand);
    p.browser().runCommand(gui::VideoController::kStepBackCommand);
    QVERIFY(std::abs(p.entry(earth).videoPosition() - std::max(0.0, paused - 1.0)) < 0.1);
    QVERIFY(!p.playback().isRunning(earth)); // a step keeps it paused
    // "||" runs it again; the volume slider sets the entry's level.
    p.click(VideoControl::Play);
    QTRY_VERIFY(p.playback().isRunning(earth));
    // Holding the position slider pauses, letting it go at the middle runs on from 15 s.
    QSlider& slider = p.bar().positionSlider();
    slider.setSliderDown(true);
    QTRY_VERIFY(!p.playback().isRunning(earth));
    slider.setSliderPosition(15000);
    slider.setSliderDown(false);
    QTRY_VERIFY(p.playback().isRunning(earth));
    QTRY_VERIFY_WITH_TIMEOUT(p.entry(earth).videoPosition() >= 15.0 && p.entry(earth).videoPosition() < 20.0, 10000);
    QCOMPARE(p.bar().elapsedLabel().text().left(6), QStringLiteral("0:00:1"));
    const double paused2 = p.entry(earth).videoPosition();
    p.bar().volumeSlider().setValue(-127);
    QCOMPARE(p.entry(earth).videoVolume(), -127);

    // Another entry in the only pane: earth's playback closes where it was.
    QTRY_VERIFY_WITH_TIMEOUT(p.entry(earth).videoPosition() > paused2, 10000);
    p.show(QStringLiteral("stub.mov"));
    QCOMPARE(p.playback().slots().used(), 0);
    QCOMPARE(p.entry(earth).videoSlot(), -1);
    QCOMPARE(p.entry(earth).flags() & (ImageEntry::kFlagPlaybackOpen | ImageEntry::kFlagPaused), 0);
    const double left = p.entry(earth).videoPosition();
    QVERIFY(left > 0.0);
    // Back on it, it opens again (still in playback mode) from there.
    p.show(QStringLiteral("earth.mov"));
    QVERIFY(p.opened(earth));
    QTRY_VERIFY_WITH_TIMEOUT(p.entry(earth).videoPosition() >= left, 10000);

    // "⇔" leaves playback mode and closes; the still frame is shown again.
    p.click(VideoControl::Leave);
    QCOMPARE(p.entry(earth).flags() & (ImageEntry::kFlagPlaybackMode | ImageEntry::kFlagPlaybackOpen), 0);
    QCOMPARE(p.playback().slots().used(), 0);
    QTRY_VERIFY(view->pictureRect().size() != own.size() || view->videoFrame().isNull());

    // Playing when the folder changes: every playback goes before the list does.
    p.click(VideoControl::Pause);
    QVERIFY(p.opened(earth));
    p.browser().openFolder(qpath(files.makeFolder("empty")).toStdU16String());
    QTRY_VERIFY(p.browser().controller().listReady() && p.browser().controller().list().size() == 0);
    QCOMPARE(p.playback().slots().used(), 0);
    QVERIFY(!p.bar().isVisible());
}

void VideoPlaybackTest::twoViewsAClipUnderASecondAndFilesThatDoNotPlay()
{
    ProgramFolder files;
    const fs::path folder = makeFolder(files);
    Program p(folder);
    QVERIFY(test::writeSettings(p.program, true, qpath(folder)));
    QVERIFY(p.app.start() && test::listShown(p.browser(), 4));

    // Under a second: length 0, so a disabled slider and "0:00:00".
    const int christmas = p.show(QStringLiteral("christmas.mp4"));
    p.click(VideoControl::Pause);
    if (!p.opened(christmas))
        QSKIP("the media back end does not play christmas.mp4 (H.264): no decoder for it here");
    QTRY_VERIFY(!p.views().front()->videoFrame().isNull());
    QCOMPARE(p.entry(christmas).videoLength(), 0);
    QVERIFY(!p.bar().positionSlider().isEnabled());
    QCOMPARE(p.bar().totalLabel().text(), QStringLiteral("0:00:00"));
    p.browser().runCommand(gui::VideoController::kStepForwardCommand); // nothing to step through
    QVERIFY(p.entry(christmas).videoPosition() <= 0.81);

    // A file that does not play gives its slot back whole, as often as it is tried.
    const int stub = p.show(QStringLiteral("stub.mov"));
    for (int attempt = 0; attempt < 3; ++attempt) {
        p.click(VideoControl::Pause);
        QVERIFY(!p.opened(stub));
        QCOMPARE(p.entry(stub).videoSlot(), -1);
        QCOMPARE(p.entry(stub).flags() & (ImageEntry::kFlagPlaybackOpen | ImageEntry::kFlagPlaybackMode), 0);
        QCOMPARE(p.playback().slots().used(), 0);
    }

    // Two views: flame.avi (Indeo, converted by the program) plays in the
    // second pane while earth.mov plays in the first.
    p.browser().runCommand(shell::command::kFirstMultiScreen + 1);
    const int flame = p.show(QStringLiteral("flame.avi"));
    p.click(VideoControl::Pause);
    if (!p.opened(flame))
        QSKIP("the media back end does not play flame.avi (Indeo 4): no decoder for it here");
    const int earth = p.show(QStringLiteral("earth.mov"));
    p.click(VideoControl::Pause);
    QVERIFY(p.opened(earth));
    QCOMPARE(p.playback().slots().used(), 2);
    const auto views = p.views();
    QTRY_VERIFY_WITH_TIMEOUT(views[0]->videoFrame().size() == QSize(480, 270)
                                 && views[1]->videoFrame().size() == QSize(256, 240), 10000);
    QVERIFY(p.playback().isRunning(flame) && p.playback().isRunning(earth));
    // The key assignment's "ムービー　再生/ポーズ" (function 88) pauses and runs the current one.
    const std::function<void()> playPause = p.browser().builtinFunction(88);
    QVERIFY(playPause);
    playPause();
    QTRY_VERIFY(!p.playback().isRunning(earth));
    QVERIFY(p.playback().isRunning(flame));
    playPause();
    QTRY_VERIFY(p.playback().isRunning(earth));
}

QTEST_MAIN(VideoPlaybackTest)
#include "video_playback_test.moc"
