// One view pane painted offscreen: the placeholder texts, where fitted
// pictures land, the overlays of each level, and the browsing keys and
// wheel. The pane is 400 x 300 throughout; rectangles are worked out by
// hand from the fit rule.

#include "shell/startup_resources.h"
#include "viewer/image_view.h"

#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest>

using qlx::gui::ImageView;
using qlx::gui::ViewSubject;
using qlx::viewer::PaintResult;
using qlx::viewer::ViewSettings;

namespace {

constexpr QSize kPane{400, 300};
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kMagenta = qRgb(255, 0, 255);

QImage solid(QSize size, QRgb colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

ViewSubject entrySubject(int position = 4, int count = 120)
{
    ViewSubject s;
    s.generation = 7;
    s.position = position;
    s.count = count;
    s.path = QStringLiteral("/photos/IMG_0005.JPG");
    s.name = QStringLiteral("IMG_0005.JPG");
    s.presence = 1;
    s.kind = 0x2;
    s.infoText = QStringLiteral("File : IMG_0005.JPG\nCanon EOS 40D\nLens : EF-S 17-85");
    return s;
}

QImage paint(ImageView& view)
{
    QImage image(view.size(), QImage::Format_RGB32);
    image.fill(Qt::gray);
    view.render(&image);
    return image;
}

// Pixels in `area` that are not `background`.
int marked(const QImage& image, const QRect& area, QRgb background)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) != background ? 1 : 0;
    }
    return count;
}

// The columns that hold anything but `background`: how wide a text is.
int markedWidth(const QImage& image, QRgb background)
{
    int left = image.width();
    int right = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return right < left ? 0 : right - left + 1;
}

void sendWheel(ImageView& view, int delta)
{
    QWheelEvent event(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&view, &event);
}

} // namespace

class ImageViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qlx::gui::installJapaneseFontSubstitutions(); }
    void placeholderTexts();
    void goneFileIsBlank();
    void widePictureFillsTheWidth();
    void tallPictureFillsTheHeight();
    void rotationTurnsThePicture();
    void thumbnailKeepsThePictureShape();
    void overlaysFollowTheLevel();
    void previewsBelongToTheirSubject();
    void keysRequestSteps();
    void wheelRequestsSteps();
};

void ImageViewTest::placeholderTexts()
{
    ImageView view;
    view.resize(kPane);
    QImage image = paint(view);
    QCOMPARE(view.lastPaintResult(), PaintResult::Nothing);
    // "?" in the middle, nothing in the corners.
    QVERIFY(marked(image, QRect(150, 100, 100, 100), kBlack) > 0);
    QCOMPARE(marked(image, QRect(0, 0, 40, 40), kBlack), 0);
    QCOMPARE(marked(image, QRect(360, 260, 40, 40), kBlack), 0);
    const int questionWidth = markedWidth(image, kBlack);

    ViewSubject subject = entrySubject();
    subject.flags = 0x1000;
    subject.thumbnail = solid({88, 60}, kRed);
    view.showSubject(subject);
    image = paint(view);
    QCOMPARE(view.lastPaintResult(), PaintResult::Nothing);
    // "NO CODEC" is several letters wide, and no picture was drawn.
    QVERIFY2(markedWidth(image, kBlack) > 3 * questionWidth, qPrintable(QString::number(questionWidth)));
    QCOMPARE(marked(image, QRect(0, 0, 40, 40), kBlack), 0);

    // On a white background the text is still there (dark).
    ViewSettings white;
    white.backgroundColour = 0x00FF'FFFF;
    view.setSettings(white);
    view.showSubject(ViewSubject());
    image = paint(view);
    QCOMPARE(image.pixel(5, 5), qRgb(255, 255, 255));
    QVERIFY(marked(image, QRect(150, 100, 100, 100), qRgb(255, 255, 255)) > 0);
}

void ImageViewTest::goneFileIsBlank()
{
    ImageView view;
    view.resize(kPane);
    ViewSettings settings;
    settings.backgroundColour = 0x0000'8000;  // 0x00BBGGRR: green 0x80
    view.setSettings(settings);
    ViewSubject subject = entrySubject();
    subject.presence = 0;
    subject.thumbnail = solid({88, 60}, kRed);
    subject.histogram = solid({32, 16}, kMagenta);
    view.showSubject(subject);
    const QImage image = paint(view);
    QCOMPARE(marked(image, image.rect(), qRgb(0, 0x80, 0)), 0);
}

void ImageViewTest::widePictureFillsTheWidth()
{
    // 800 x 200 in 400 x 300: rw = 2, rh = 2/3; dh = trunc(300 x (2/3) / 2) = 100 at y = 100.
    ImageView view;
    view.resize(kPane);
    view.setOverlayLevel(0);
    view.showSubject(entrySubject());
    view.setPreview(7, 4, solid({800, 200}, kRed));
    QSignalSpy status(&view, &ImageView::statusTextChanged);
    const QImage image = paint(view);
    QCOMPARE(view.lastPaintResult(), PaintResult::Drawn);
    QCOMPARE(view.pictureRect(), QRect(0, 100, 400, 100));
    QCOMPARE(image.pixel(200, 99), kBlack);
    QCOMPARE(image.pixel(200, 100), kRed);
    QCOMPARE(image.pixel(0, 150), kRed);
    QCOMPARE(image.pixel(399, 150), kRed);
    QCOMPARE(image.pixel(200, 199), kRed);
    QCOMPARE(image.pixel(200, 200), kBlack);
    QCOMPARE(status.count(), 1);
    QCOMPARE(status.at(0).at(0).toInt(), 4);
    QCOMPARE(status.at(0).at(1).toString(), QStringLiteral("\tFIT MODE"));
}

void ImageViewTest::tallPictureFillsTheHeight()
{
    // 100 x 300 in 400 x 300: rw = 0.25, rh = 1; dw = trunc(400 x 0.25) = 100 at x = 150.
    // A 25 x 75 picture has the same shape and is enlarged to the same place.
    for (const QSize size : {QSize(100, 300), QSize(25, 75)}) {
        ImageView view;
        view.resize(kPane);
        view.setOverlayLevel(0);
        view.showSubject(entrySubject());
        view.setPreview(7, 4, solid(size, kBlue));
        const QImage image = paint(view);
        QCOMPARE(view.pictureRect(), QRect(150, 0, 100, 300));
        QCOMPARE(image.pixel(149, 150), kBlack);
        QCOMPARE(image.pixel(150, 150), kBlue);
        QCOMPARE(image.pixel(249, 0), kBlue);
        QCOMPARE(image.pixel(249, 299), kBlue);
        QCOMPARE(image.pixel(250, 150), kBlack);
    }
}

void ImageViewTest::rotationTurnsThePicture()
{
    // 600 x 200, red left and green right, a quarter turn clockwise: 200 x 600
    // with red on top. rw = 0.5, rh = 2: dw = trunc(400 x 0.5 / 2) = 100 at x = 150.
    QImage picture = solid({600, 200}, kGreen);
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 300; ++x)
            picture.setPixel(x, y, kRed);
    }
    ImageView view;
    view.resize(kPane);
    view.setOverlayLevel(0);
    ViewSubject subject = entrySubject();
    subject.rotation = 1;
    view.showSubject(subject);
    view.setPreview(7, 4, picture);
    const QImage image = paint(view);
    QCOMPARE(view.pictureRect(), QRect(150, 0, 100, 300));
    QCOMPARE(image.pixel(200, 50), kRed);
    QCOMPARE(image.pixel(200, 250), kGreen);
    QCOMPARE(image.pixel(140, 150), kBlack);
}

void ImageViewTest::thumbnailKeepsThePictureShape()
{
    // The 88 x 60 thumbnail stands for an 800 x 200 picture: fitted as the
    // picture would be, (0, 100, 400, 100).
    ImageView view;
    view.resize(kPane);
    view.setOverlayLevel(0);
    ViewSubject subject = entrySubject();
    subject.thumbnail = solid({88, 60}, kGreen);
    subject.pictureSize = {800, 200};
    view.showSubject(subject);
    QSignalSpy status(&view, &ImageView::statusTextChanged);
    const QImage image = paint(view);
    QCOMPARE(view.lastPaintResult(), PaintResult::ThumbnailOnly);
    QCOMPARE(view.pictureRect(), QRect(0, 100, 400, 100));
    QCOMPARE(image.pixel(200, 150), kGreen);
    QCOMPARE(image.pixel(200, 90), kBlack);
    QCOMPARE(status.count(), 1);

    // Without any picture the pane waits for one.
    view.showSubject(entrySubject(5));
    paint(view);
    QCOMPARE(view.lastPaintResult(), PaintResult::NotReady);
}

void ImageViewTest::overlaysFollowTheLevel()
{
    // The histogram overlay of a 400 x 300 pane: 262 x 70 at (128, 220).
    const QRect histogram(128, 220, 262, 70);
    ImageView view;
    view.resize(kPane);
    ViewSubject subject = entrySubject();
    subject.histogram = solid({32, 16}, kMagenta);
    view.showSubject(subject);
    // A black preview on the black background: only the overlays mark the pane.
    view.setPreview(7, 4, solid({100, 100}, kBlack));

    QCOMPARE(view.overlayLevel(), 1);
    QImage image = paint(view);
    QCOMPARE(image.pixel(histogram.topLeft()), kMagenta);
    QCOMPARE(image.pixel(histogram.bottomRight()), kMagenta);
    QCOMPARE(image.pixel(histogram.left() - 1, histogram.top()), kBlack);
    QCOMPARE(image.pixel(histogram.left(), histogram.top() - 1), kBlack);
    QCOMPARE(image.pixel(histogram.right() + 1, histogram.bottom()), kBlack);
    QCOMPARE(image.pixel(histogram.right(), histogram.bottom() + 1), kBlack);
    // The file line at the top left.
    const QRect fileLine(0, 0, 300, 40);
    QVERIFY(marked(image, fileLine, kBlack) > 0);

    // Level 2: the shooting data at the bottom left and no histogram.
    view.cycleOverlayLevel();
    QCOMPARE(view.overlayLevel(), 2);
    image = paint(view);
    QCOMPARE(marked(image, histogram.adjusted(100, 0, 0, 0), kBlack), 0);
    QVERIFY(marked(image, QRect(0, 200, 200, 100), kBlack) > 0);
    QVERIFY(marked(image, fileLine, kBlack) > 0);

    // Level 0: the picture alone.
    view.cycleOverlayLevel();
    QCOMPARE(view.overlayLevel(), 0);
    image = paint(view);
    QCOMPARE(marked(image, image.rect(), kBlack), 0);

    // Level 1 with both overlays switched off in the settings.
    view.cycleOverlayLevel();
    ViewSettings off;
    off.showHistogram = false;
    off.showFileName = false;
    view.setSettings(off);
    image = paint(view);
    QCOMPARE(marked(image, image.rect(), kBlack), 0);
}

void ImageViewTest::previewsBelongToTheirSubject()
{
    ImageView view;
    view.resize(kPane);
    view.showSubject(entrySubject(4));
    view.setPreview(7, 5, solid({10, 10}, kRed));  // another position
    view.setPreview(6, 4, solid({10, 10}, kRed));  // an older folder load
    QVERIFY(!view.hasPreview());
    view.setPreview(7, 4, solid({10, 10}, kRed));
    QVERIFY(view.hasPreview());
    // The same picture again (new texts, say) keeps the preview; the next
    // picture drops it.
    ViewSubject same = entrySubject(4);
    same.infoText = QStringLiteral("File : IMG_0005.JPG");
    view.showSubject(same);
    QVERIFY(view.hasPreview());
    view.showSubject(entrySubject(5));
    QVERIFY(!view.hasPreview());
    // The cover of a quarter-turned picture is the pane turned.
    ViewSubject turned = entrySubject(5);
    turned.rotation = 3;
    view.showSubject(turned);
    QCOMPARE(view.previewCover(), QSize(300, 400));
}

void ImageViewTest::keysRequestSteps()
{
    ImageView view;
    view.resize(kPane);
    QSignalSpy steps(&view, &ImageView::stepRequested);
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Down);
    QTest::keyClick(&view, Qt::Key_Left);
    QTest::keyClick(&view, Qt::Key_Up);
    QTest::keyClick(&view, Qt::Key_Backspace);
    // Keys of the main window and the keypad's scroll keys do not browse.
    QTest::keyClick(&view, Qt::Key_PageDown);
    QTest::keyClick(&view, Qt::Key_Space);
    QTest::keyClick(&view, Qt::Key_Right, Qt::KeypadModifier);
    QCOMPARE(steps.count(), 5);
    const QList<int> expected{1, 1, -1, -1, -1};
    for (int i = 0; i < steps.count(); ++i)
        QCOMPARE(steps.at(i).at(0).toInt(), expected[i]);
}

void ImageViewTest::wheelRequestsSteps()
{
    ImageView view;
    view.resize(kPane);
    QSignalSpy steps(&view, &ImageView::stepRequested);
    sendWheel(view, -120);  // towards the user: next
    sendWheel(view, 120);   // away: previous
    sendWheel(view, 19);    // 19 / 20 = 0: nothing
    QCOMPARE(steps.count(), 2);
    QCOMPARE(steps.at(0).at(0).toInt(), 1);
    QCOMPARE(steps.at(1).at(0).toInt(), -1);

    ViewSettings reversed;
    reversed.wheel.reverseBrowse = true;
    view.setSettings(reversed);
    sendWheel(view, -120);
    QCOMPARE(steps.count(), 3);
    QCOMPARE(steps.at(2).at(0).toInt(), -1);
}

QTEST_MAIN(ImageViewTest)
#include "image_view_test.moc"
