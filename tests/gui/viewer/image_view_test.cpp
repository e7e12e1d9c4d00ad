// One view pane painted offscreen: the placeholder texts, where fitted
// pictures land, the overlays of each level, which previews it takes, and
// the steps its browsing keys and wheel ask for. The pane is 400 x 300 throughout; rectangles
// are worked out by hand from the fit rule.

#include "shell/startup_resources.h"
#include "viewer/image_view.h"

#include <QPainter>
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
};

void ImageViewTest::placeholderTextsAndTheGoneFile()
{
    ImageView view;
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
    ImageView view;
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
    ImageView view;
    view.resize(kPane);
    view.showSubject(entrySubject());
    // A black preview on the black background: only the overlays mark the pane.
    QImage black(100, 100, QImage::Format_RGB32);
    black.fill(kBlack);
    view.setPreview(7, 4, black);
    QImage red(262, 70, QImage::Format_RGB32);
    red.fill(kRed);
    view.setHistogram(7, 4, red);
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
    ImageView view;
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

QTEST_MAIN(ImageViewTest)
#include "image_view_test.moc"
