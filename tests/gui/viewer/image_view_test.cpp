// One view pane painted offscreen: the placeholder texts, where fitted
// pictures land, the overlays of each level, which previews it takes, the
// steps its browsing keys and wheel ask for, and the zoom, the loupe and
// the brightness driven by real key and mouse events through the zoom
// control the panes share. The pane is 400 x 300 throughout; rectangles and
// picture points are worked out by hand from the fit and zoom rules.

#include "shell/menu_builder.h"
#include "shell/settings_layout.h"
#include "shell/settings_record.h"
#include "shell/startup_resources.h"
#include "viewer/image_view.h"
#include "viewer/zoom_control.h"

#include <QPainter>
#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest>

using qlx::gui::ImageView;
using qlx::gui::MenuBuilder;
using qlx::gui::ZoomControl;
using qlx::gui::ViewSubject;
using qlx::viewer::PaintResult;
using qlx::viewer::ViewSettings;

namespace {

constexpr QSize kPane{400, 300};
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);

// Red in its left half, green in its right half.
QImage halves(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(kGreen);
    QPainter(&image).fillRect(0, 0, size.width() / 2, size.height(), QColor(kRed));
    return image;
}

ViewSubject entrySubject(int position = 4)
{
    return {.generation = 7, .position = position, .count = 120, .path = QStringLiteral("/photos/IMG_0005.JPG"),
            .name = QStringLiteral("IMG_0005.JPG"), .presence = 1, .pictureSize = {},
            .infoText = QStringLiteral("File : IMG_0005.JPG\nCanon EOS 40D\nLens : EF-S 17-85"), .thumbnail = {},
            .histogram = {}};
}

// A pane as the program makes one: in a window, with the zoom control the
// panes share.
struct Pane {
    QWidget window;
    qlx::settings::SettingsRecord settings;
    MenuBuilder menus;
    ZoomControl zoom{window, settings, menus};
    ImageView view{zoom, &window};
    QString status; // the last mode text

    Pane()
    {
        window.resize(kPane);
        view.resize(kPane);
        QObject::connect(&view, &ImageView::statusTextChanged, &view,
                         [this](int, const QString& text) { status = text; });
    }
    // The entry of entrySubject() with `picture` as its preview and no
    // overlays, so that only the picture marks the pane.
    void showPicture(const QImage& picture, QSize fullSize = {})
    {
        view.setOverlayLevel(0);
        view.showSubject(entrySubject());
        view.setPreview(7, 4, picture, fullSize);
    }
    // Shown, with the pointer at `at`: the zoom opens around it.
    bool showWithPointerAt(QPoint at)
    {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            return false;
        QTest::mouseMove(&view, at);
        return true;
    }
};

// Every pixel names its place: red and green the low bytes of x and y,
// blue their high nibbles. `block` pixels share one name.
QRgb nameOf(int x, int y)
{
    return qRgb(x & 0xFF, y & 0xFF, ((x >> 8) << 4) | (y >> 8));
}
QImage namedPicture(QSize size, int block = 1)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, nameOf(x / block, y / block));
    return image;
}

QImage paint(ImageView& view)
{
    QImage image(view.size(), QImage::Format_RGB32);
    image.fill(Qt::gray);
    view.render(&image);
    return image;
}

// Pixels in `area` that are not `background`.
int marked(const QImage& image, const QRect& area, QRgb background = kBlack)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) != background ? 1 : 0;
    return count;
}

} // namespace

class ImageViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qlx::gui::installJapaneseFontSubstitutions(); }
    void placeholderTextsAndTheGoneFile();
    void fitsThePicture_data();
    void fitsThePicture();
    void overlaysFollowTheLevel();
    void previewsComeInAndStepsGoOut();
    void zoomFollowsTheTriggersAndTheWheel();
    void theLoupeShowsActualPixels();
    void aScaledPreviewZoomsLikeTheFullPicture();
    void latchedZoomAndTheKeysItIsAModifierOf();
    void brightnessFromTheKeypad();
    void quickPathFocusMarkAndWhatWasPainted();
};

void ImageViewTest::placeholderTextsAndTheGoneFile()
{
    Pane pane;
    ImageView& view = pane.view;
    view.resize(kPane);
    // No entry: "?" in the middle, nothing in the corners.
    QImage image = paint(view);
    QCOMPARE(view.lastPaintResult(), PaintResult::Nothing);
    const int question = marked(image, image.rect());
    QVERIFY(question > 0 && question == marked(image, QRect(150, 100, 100, 100)));
    // A file that does not render: "NO CODEC", several letters, no picture.
    ViewSubject subject = entrySubject();
    subject.flags = 0x1000;
    subject.thumbnail = halves({88, 60});
    view.showSubject(subject);
    image = paint(view);
    QCOMPARE(view.lastPaintResult(), PaintResult::Nothing);
    QVERIFY(marked(image, image.rect()) > 3 * question);
    // A file that is gone: the background alone, even with a thumbnail.
    ViewSettings green;
    green.backgroundColour = 0x0000'8000; // 0x00BBGGRR: green 0x80
    view.setSettings(green);
    subject.flags = 0;
    subject.presence = 0;
    view.showSubject(subject);
    image = paint(view);
    QCOMPARE(marked(image, image.rect(), qRgb(0, 0x80, 0)), 0);
}

void ImageViewTest::fitsThePicture_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<bool>("thumbnailOnly"); // an 88 x 60 thumbnail stands for the picture
    QTest::addColumn<QRect>("drawn");
    QTest::addColumn<QPoint>("redAt");
    QTest::addColumn<QPoint>("greenAt");
    // 800 x 200: rw = 2, rh = 2/3; dh = trunc(300 x (2/3) / 2) = 100 at y = 100.
    QTest::newRow("wide") << QSize(800, 200) << 0 << false << QRect(0, 100, 400, 100) << QPoint(100, 150)
                          << QPoint(300, 150);
    // 25 x 75: rw = 0.0625, rh = 0.25; dw = trunc(400 x 0.0625 / 0.25) = 100 at x = 150.
    QTest::newRow("tall, enlarged") << QSize(25, 75) << 0 << false << QRect(150, 0, 100, 300)
                                     << QPoint(175, 150) << QPoint(225, 150);
    // 600 x 200 a quarter turn clockwise is 200 x 600, its left half on top.
    QTest::newRow("turned") << QSize(600, 200) << 1 << false << QRect(150, 0, 100, 300) << QPoint(200, 50)
                            << QPoint(200, 250);
    QTest::newRow("thumbnail only") << QSize(800, 200) << 0 << true << QRect(0, 100, 400, 100)
                                    << QPoint(100, 150) << QPoint(300, 150);
}

void ImageViewTest::fitsThePicture()
{
    QFETCH(QSize, picture);
    QFETCH(int, rotation);
    QFETCH(bool, thumbnailOnly);
    QFETCH(QRect, drawn);
    QFETCH(QPoint, redAt);
    QFETCH(QPoint, greenAt);
    Pane pane;
    ImageView& view = pane.view;
    view.resize(kPane);
    view.setOverlayLevel(0);
    ViewSubject subject = entrySubject();
    subject.rotation = rotation;
    subject.pictureSize = picture;
    subject.thumbnail = thumbnailOnly ? halves({88, 60}) : QImage();
    view.showSubject(subject);
    if (!thumbnailOnly)
        view.setPreview(7, 4, halves(picture));
    QSignalSpy status(&view, &ImageView::statusTextChanged);
    const QImage image = paint(view);
    QCOMPARE(view.lastPaintResult(), thumbnailOnly ? PaintResult::ThumbnailOnly : PaintResult::Drawn);
    QCOMPARE(view.pictureRect(), drawn);
    QCOMPARE(image.pixel(redAt), kRed);
    QCOMPARE(image.pixel(greenAt), kGreen);
    QCOMPARE(marked(image, image.rect()), drawn.width() * drawn.height()); // nothing beside it
    QCOMPARE(status.count(), 1);
    QCOMPARE(status.at(0).at(1).toString(), QStringLiteral("\tFIT MODE"));
}

void ImageViewTest::overlaysFollowTheLevel()
{
    // The histogram overlay of a 400 x 300 pane: 262 x 70 at (128, 220).
    const QRect histogram(128, 220, 262, 70);
    const QRect fileLine(0, 0, 300, 40);
    Pane pane;
    ImageView& view = pane.view;
    view.resize(kPane);
    ViewSubject subject = entrySubject();
    // The list's small histogram is no overlay: only the 262 x 70 picture
    // made for the subject is, unscaled.
    subject.histogram = QImage(32, 16, QImage::Format_RGB32);
    subject.histogram.fill(kRed);
    view.showSubject(subject);
    // A black preview on the black background: only the overlays mark the pane.
    QImage black(100, 100, QImage::Format_RGB32);
    black.fill(kBlack);
    view.setPreview(7, 4, black);
    QCOMPARE(marked(paint(view), histogram), 0);
    QImage bars(262, 70, QImage::Format_RGB32);
    bars.fill(kRed);
    view.setHistogram(7, 5, bars); // another entry's
    QCOMPARE(marked(paint(view), histogram), 0);
    view.setHistogram(7, 4, bars);
    QImage image = paint(view); // level 1 at first
    QCOMPARE(marked(image, histogram, kRed), 0);
    QCOMPARE(marked(image, histogram.adjusted(-1, -1, 1, 1), kRed), 2 * (262 + 70) + 4);
    QVERIFY(marked(image, fileLine) > 0);
    // Level 2: the shooting data at the bottom left, no histogram.
    view.cycleOverlayLevel();
    image = paint(view);
    QCOMPARE(marked(image, histogram.adjusted(100, 0, 0, 0)), 0);
    QVERIFY(marked(image, QRect(0, 200, 200, 100)) > 0);
    QVERIFY(marked(image, fileLine) > 0);
    // Level 0: the picture alone; so is level 1 with both overlays off.
    view.cycleOverlayLevel();
    QCOMPARE(marked(paint(view), view.rect()), 0);
    view.cycleOverlayLevel();
    ViewSettings off;
    off.showHistogram = off.showFileName = false;
    view.setSettings(off);
    QCOMPARE(marked(paint(view), view.rect()), 0);
}

void ImageViewTest::previewsComeInAndStepsGoOut()
{
    Pane pane;
    ImageView& view = pane.view;
    view.resize(kPane);
    view.showSubject(entrySubject(4));
    view.setPreview(7, 5, halves({10, 10})); // another position
    view.setPreview(6, 4, halves({10, 10})); // an older folder load
    QVERIFY(!view.hasPreview());
    view.setPreview(7, 4, halves({10, 10}));
    QVERIFY(view.hasPreview());
    // The same picture again (new texts, say) keeps the preview; the next
    // picture drops it.
    ViewSubject same = entrySubject(4);
    same.infoText = QStringLiteral("File : IMG_0005.JPG");
    view.showSubject(same);
    QVERIFY(view.hasPreview());
    ViewSubject turned = entrySubject(5);
    turned.rotation = 3;
    view.showSubject(turned);
    QVERIFY(!view.hasPreview());
    // The cover of a quarter-turned picture is the pane turned.
    QCOMPARE(view.previewCover(), QSize(300, 400));

    // Keys and the wheel go out as steps.
    QSignalSpy steps(&view, &ImageView::stepRequested);
    // Page down and space are the main window's keys: they do not browse,
    // nor do the keypad's scroll keys.
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up, Qt::Key_Backspace,
                              Qt::Key_PageDown, Qt::Key_Space})
        QTest::keyClick(&view, key);
    QTest::keyClick(&view, Qt::Key_Right, Qt::KeypadModifier);
    const auto wheel = [&view](int delta) {
        QWheelEvent event(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&view, &event);
    };
    wheel(-120); // towards the user: next
    wheel(120);  // away: previous
    wheel(19);   // 19 / 20 = 0: nothing
    ViewSettings reversed;
    reversed.wheel.reverseBrowse = true;
    view.setSettings(reversed);
    wheel(-120);
    QList<int> got;
    for (const auto& step : steps)
        got << step.at(0).toInt();
    QCOMPARE(got, (QList<int>{1, 1, -1, -1, -1, 1, -1, -1}));
}

namespace {

void wheel(ImageView& view, int delta)
{
    QWheelEvent event(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&view, &event);
}

} // namespace

void ImageViewTest::zoomFollowsTheTriggersAndTheWheel()
{
    // A 1600 x 1200 picture fits the pane at a quarter; the pointer in the
    // middle is over its point (800, 600), so at 1.0 x the pane shows the
    // window (600, 450) … (999, 749) and at 2.0 x (700, 525) … (899, 674).
    Pane pane;
    ImageView& view = pane.view;
    pane.showPicture(namedPicture({1600, 1200}));
    QVERIFY(pane.showWithPointerAt({200, 150}));
    const auto firstShown = [&view] { return paint(view).pixel(0, 0); };
    const QImage fitted = paint(view);

    QTest::keyPress(&view, Qt::Key_Control);
    QCOMPARE(firstShown(), nameOf(600, 450));
    QCOMPARE(pane.status, QStringLiteral("\tZOOM ×1.00"));
    // Two notches away from the user: level 8.
    wheel(view, 120);
    wheel(view, 120);
    paint(view);
    QCOMPARE(pane.status, QStringLiteral("\tZOOM ×0.80"));
    QTest::keyRelease(&view, Qt::Key_Control);
    QCOMPARE(paint(view), fitted);
    QCOMPARE(pane.status, QStringLiteral("\tFIT MODE"));
    // Shift doubles the factor, and its press forgets the wheel's offset.
    QTest::keyPress(&view, Qt::Key_Shift);
    QCOMPARE(firstShown(), nameOf(700, 525));
    QCOMPARE(pane.status, QStringLiteral("\tZOOM ×2.00"));
    // The window losing the focus lets go of every trigger; the late
    // release changes nothing.
    QEvent deactivate(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(&pane.window, &deactivate);
    paint(view);
    QCOMPARE(pane.status, QStringLiteral("\tFIT MODE"));
    QTest::keyRelease(&view, Qt::Key_Shift);
    QVERIFY(!pane.zoom.isActive());

    // The left button zooms where it is pressed and drags: ten pixels to
    // the right show the picture ten pixels further left.
    QTest::mousePress(&view, Qt::LeftButton, {}, {200, 150});
    QCOMPARE(firstShown(), nameOf(600, 450));
    QTest::mouseMove(&view, {210, 150});
    QCOMPARE(firstShown(), nameOf(590, 450));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, {210, 150});
    paint(view);
    QCOMPARE(pane.status, QStringLiteral("\tFIT MODE"));
}

void ImageViewTest::theLoupeShowsActualPixels()
{
    // A 2000 x 1500 picture fits the pane at a fifth. With the loupe at
    // level 10 and radius 100 the circle around the pointer (200, 150)
    // shows the picture's own pixels around its point (1000, 750).
    Pane pane;
    ImageView& view = pane.view;
    pane.showPicture(namedPicture({2000, 1500}));
    QVERIFY(pane.showWithPointerAt({200, 150}));
    const QImage fitted = paint(view);
    QVERIFY(pane.zoom.runCommand(206));
    QCOMPARE(pane.settings.get(qlx::settings::kLoupeMode), 1);
    QCOMPARE(paint(view), fitted); // the loupe waits for a zoom trigger
    QTest::keyPress(&view, Qt::Key_Control);
    const QImage loupe = paint(view);
    QCOMPARE(pane.status, QStringLiteral("\tLOOPE MODE"));
    for (const QPoint offset : {QPoint(0, 0), QPoint(-60, 40), QPoint(60, -60), QPoint(0, 95), QPoint(-95, 0)})
        QCOMPARE(loupe.pixel(QPoint(200, 150) + offset), nameOf(1000 + offset.x(), 750 + offset.y()));
    // Outside the circle the fitted picture stays.
    for (const QPoint at : {QPoint(5, 5), QPoint(330, 150), QPoint(273, 223)})
        QCOMPARE(loupe.pixel(at), fitted.pixel(at));
    QTest::keyRelease(&view, Qt::Key_Control);
    QCOMPARE(paint(view), fitted);
}

void ImageViewTest::aScaledPreviewZoomsLikeTheFullPicture()
{
    // A preview decoded at a quarter of a 1600 x 1200 picture shows at
    // 1.0 x the same window (600, 450) … as the full picture would, each of
    // its pixels four pane pixels wide, and asks for the full picture once.
    Pane pane;
    ImageView& view = pane.view;
    view.setOverlayLevel(0);
    view.showSubject(entrySubject());
    QSignalSpy wanted(&view, &ImageView::fullPictureWanted);
    view.setPreview(7, 4, namedPicture({400, 300}), QSize(1600, 1200));
    QVERIFY(pane.showWithPointerAt({200, 150}));
    QVERIFY(!view.wantsFullPicture());
    QCOMPARE(wanted.count(), 0);
    QTest::keyPress(&view, Qt::Key_Control);
    QVERIFY(view.wantsFullPicture());
    QCOMPARE(wanted.count(), 1);
    const QImage scaled = paint(view);
    // The full picture, in blocks of four pixels named as the preview's.
    view.setPreview(7, 4, namedPicture({1600, 1200}, 4), QSize(1600, 1200));
    const QImage full = paint(view);
    QCOMPARE(wanted.count(), 1);
    // Pane pixels well inside a block: (600 + x) / 4, (450 + y) / 4.
    for (const QPoint at : {QPoint(1, 3), QPoint(102, 148), QPoint(397, 296)}) {
        const QRgb expected = nameOf((600 + at.x()) / 4, (450 + at.y()) / 4);
        QCOMPARE(scaled.pixel(at), expected);
        QCOMPARE(full.pixel(at), expected);
    }
}

void ImageViewTest::latchedZoomAndTheKeysItIsAModifierOf()
{
    Pane pane;
    ImageView& view = pane.view;
    pane.showPicture(namedPicture({1600, 1200}));
    QVERIFY(pane.showWithPointerAt({200, 150}));
    const auto firstShown = [&view] { return paint(view).pixel(0, 0); };
    QVERIFY(pane.zoom.runCommand(227));
    QCOMPARE(pane.settings.get(qlx::settings::kLatchedZoom), 1);
    // A Ctrl press latches the zoom on; the pointer alone drags it.
    QTest::keyClick(&view, Qt::Key_Control);
    QCOMPARE(firstShown(), nameOf(600, 450));
    QTest::mouseMove(&view, {190, 150});
    QCOMPARE(firstShown(), nameOf(610, 450));
    // Shift switches to the doubled factor. As the modifier of "_" it
    // toggles nothing.
    QTest::keyClick(&view, Qt::Key_Shift);
    paint(view);
    QCOMPARE(pane.status, QStringLiteral("\tZOOM ×2.00"));
    QTest::keyClick(&view, Qt::Key_Underscore, Qt::ShiftModifier);
    paint(view);
    QCOMPARE(pane.status, QStringLiteral("\tZOOM ×2.00"));
    // Ctrl goes back to the normal factor, and again turns the zoom off.
    QTest::keyClick(&view, Qt::Key_Control);
    paint(view);
    QCOMPARE(pane.status, QStringLiteral("\tZOOM ×1.00"));
    QTest::keyClick(&view, Qt::Key_Control);
    paint(view);
    QCOMPARE(pane.status, QStringLiteral("\tFIT MODE"));
    // Latched off while zoomed: nothing holds the zoom, so it ends.
    QTest::keyClick(&view, Qt::Key_Control);
    QVERIFY(pane.zoom.isActive());
    QVERIFY(pane.zoom.runCommand(227));
    QVERIFY(!pane.zoom.isActive());
    QCOMPARE(pane.settings.get(qlx::settings::kLatchedZoom), 0);
}

void ImageViewTest::brightnessFromTheKeypad()
{
    // A grey square fitted at (50, 0, 300, 300).
    Pane pane;
    ImageView& view = pane.view;
    view.setOverlayLevel(0);
    view.showSubject(entrySubject());
    QImage grey(100, 100, QImage::Format_RGB32);
    grey.fill(qRgb(128, 128, 128));
    view.setPreview(7, 4, grey);
    const QRect beside(352, 20, 40, 40); // right of the picture, where the "Ev:" text goes
    const auto middle = [&view] { return qRed(paint(view).pixel(200, 150)); };
    QCOMPARE(marked(paint(view), beside), 0);
    for (int i = 0; i < 13; ++i)
        QTest::keyClick(&view, Qt::Key_Plus, Qt::KeypadModifier);
    // Twelve steps of 16 reach 192 ("Ev:+2.0"); white at opacity 192 over
    // 128 is 128 + 127 × 192 / 255 = 223.6.
    QCOMPARE(pane.zoom.brightness(), 192);
    QVERIFY(qAbs(middle() - 224) <= 1);
    const QImage brightened = paint(view);
    QVERIFY(marked(brightened, beside) > 0);
    QCOMPARE(brightened.pixel(10, 150), kBlack); // the picture alone brightens
    for (int i = 0; i < 26; ++i)
        QTest::keyClick(&view, Qt::Key_Minus, Qt::KeypadModifier);
    // Black at opacity 192: 128 × 63 / 255 = 31.6.
    QCOMPARE(pane.zoom.brightness(), -192);
    QVERIFY(qAbs(middle() - 32) <= 1);
    QTest::keyClick(&view, Qt::Key_Asterisk, Qt::KeypadModifier);
    QCOMPARE(middle(), 128);
    QCOMPARE(marked(paint(view), beside), 0);
    // With Ctrl held the keypad changes the zoom instead.
    QTest::keyPress(&view, Qt::Key_Control);
    QTest::keyClick(&view, Qt::Key_Plus, Qt::KeypadModifier);
    paint(view);
    QCOMPARE(pane.status, QStringLiteral("\tZOOM ×1.10"));
    QCOMPARE(pane.zoom.brightness(), 0);
}

void ImageViewTest::quickPathFocusMarkAndWhatWasPainted()
{
    Pane pane;
    ImageView& view = pane.view;
    view.setOverlayLevel(0);
    ViewSubject subject = entrySubject();
    subject.pictureSize = {800, 200};
    subject.thumbnail = halves({88, 60});
    view.showSubject(subject);
    QImage black(800, 200, QImage::Format_RGB32);
    black.fill(kBlack);
    view.setPreview(7, 4, black);
    QSignalSpy painted(&view, &ImageView::painted);
    QImage image = paint(view);
    QCOMPARE(marked(image, image.rect()), 0); // black on black
    QCOMPARE(painted.last(), (QList<QVariant>{quint64{7}, 4, 1, false}));
    // The focus mark: 14 x 14 at (376, 4), and nothing else.
    view.setFocusMark(true);
    image = paint(view);
    QCOMPARE(marked(image, image.rect()), 14 * 14);
    QCOMPARE(marked(image, QRect(376, 4, 14, 14)), 14 * 14);
    view.setFocusMark(false);
    // Flipping fast: the thumbnail, fitted as the picture.
    view.setQuickPath(true);
    image = paint(view);
    QCOMPARE(image.pixel(100, 150), kRed);
    QCOMPARE(image.pixel(300, 150), kGreen);
    QCOMPARE(painted.last(), (QList<QVariant>{quint64{7}, 4, 0, true}));
    QCOMPARE(pane.status, QStringLiteral("\tFIT MODE"));
    ViewSettings keepZoom;
    keepZoom.keepZoomWhileFlipping = true;
    view.setSettings(keepZoom);
    paint(view);
    QCOMPARE(pane.status, QStringLiteral("\tZOOM ×1.00"));
}

QTEST_MAIN(ImageViewTest)
#include "image_view_test.moc"
