// The preview decoder: JPEGs the test makes, decoded on the worker (at the
// smallest scale that covers the view) and handed back on the
// user-interface thread, newer requests ahead of older ones, results of an
// older folder load dropped, failures reported, and a clean stop.

#include "imagelist/file_kind.h"
#include "imagelist/image_entry.h"
#include "support/test_paths.h"
#include "support/test_pictures.h"
#include "thumbs/thumbnail_maker.h"
#include "viewer/preview_decoder.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <filesystem>

using qlx::gui::PreviewDecoder;
using qlx::gui::PreviewRequest;

namespace {

constexpr int kTimeoutMs = 20000;

qlx::gui::ViewPicture pictureOf(const QList<QVariant>& signal)
{
    return signal.at(0).value<qlx::gui::ViewPicture>();
}

QSize sizeOf(const QList<QVariant>& signal)
{
    return pictureOf(signal).picture.size();
}

// The generation and position a picture answers.
std::pair<quint64, int> placeOf(const QList<QVariant>& signal)
{
    return {pictureOf(signal).generation, pictureOf(signal).position};
}

} // namespace

class PreviewDecoderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void decodesOnTheWorkerAndKeepsWhatItDecoded();
    void newestRequestGoesFirstAndAStopEndsTheWorker();
    void olderGenerationsAreDroppedAndFailuresReported();

private:
    // A JPEG entry as the folder reader makes it: no preview slot chosen, so
    // the whole file is the preview.
    PreviewRequest requestFor(const char* name, quint64 generation, int position, QSize cover = {}) const
    {
        const std::filesystem::path path = m_dir.path() / name;
        const std::u16string text = path.u16string();
        qlx::imagelist::ImageEntry::FreshFacts facts;
        facts.path = text;
        facts.kind = qlx::imagelist::kKindJpeg;
        const auto entry = qlx::imagelist::ImageEntry::createFresh(facts);
        return PreviewRequest::forEntry(generation, position, *entry, {}, cover);
    }

    qlx::test::TempDir m_dir;
};

void PreviewDecoderTest::initTestCase()
{
    qlx::test::writeTestJpeg(m_dir.path() / "small.jpg", {100, 68, "", "", 0});
    qlx::test::writeTestJpeg(m_dir.path() / "other.jpg", {100, 66, "", "", 0});
    qlx::test::writeTestJpeg(m_dir.path() / "large.jpg", {1704, 2272, "", "", 0});
}

void PreviewDecoderTest::decodesOnTheWorkerAndKeepsWhatItDecoded()
{
    PreviewDecoder decoder({}, 3, qlx::raw::DevelopMode::Quick, nullptr);
    QSignalSpy ready(&decoder, &PreviewDecoder::previewReady);
    QThread* answeredOn = nullptr;
    connect(&decoder, &PreviewDecoder::previewReady, this, [&answeredOn] { answeredOn = QThread::currentThread(); });
    decoder.request(requestFor("small.jpg", 1, 0));
    // 1704 x 2272 at 1/8 is exactly 213 x 284, which still covers 200 x 280.
    decoder.prefetch(requestFor("large.jpg", 1, 1, {200, 280}));
    // The answer never comes within the call: the picture is decoded elsewhere.
    QCOMPARE(ready.count(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 2, kTimeoutMs);
    QCOMPARE(placeOf(ready.at(0)), std::make_pair(quint64{1}, 0));
    QCOMPARE(sizeOf(ready.at(0)), QSize(100, 68));
    QCOMPARE(sizeOf(ready.at(1)), QSize(213, 284));
    // The zoom counts in the picture's full size, not in what was decoded.
    QCOMPARE(pictureOf(ready.at(1)).fullSize, QSize(1704, 2272));
    QCOMPARE(answeredOn, QThread::currentThread());
    // Back to the first: answered from what is kept, later, with the same picture.
    decoder.request(requestFor("small.jpg", 1, 0));
    QCOMPARE(ready.count(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 3, kTimeoutMs);
    QCOMPARE(pictureOf(ready.at(2)).picture, pictureOf(ready.at(0)).picture);
    // A neighbour that is kept is not decoded or answered again, and
    // pictures outside the read-ahead window are let go.
    decoder.prefetch(requestFor("large.jpg", 1, 1, {200, 280}));
    QCOMPARE(decoder.keptCount(), std::size_t{2});
    decoder.keepOnly(1, {1, 2});
    QCOMPARE(decoder.keptCount(), std::size_t{1});
    QCoreApplication::processEvents();
    QCOMPARE(ready.count(), 3);
}

void PreviewDecoderTest::newestRequestGoesFirstAndAStopEndsTheWorker()
{
    // Fifty requests in a row for a large picture: each drops the ones not
    // yet started, so only a few are decoded and the last one always is.
    PreviewDecoder decoder({}, 3, qlx::raw::DevelopMode::Quick, nullptr);
    QSignalSpy ready(&decoder, &PreviewDecoder::previewReady);
    for (int position = 0; position < 50; ++position)
        decoder.request(requestFor("large.jpg", 1, position));
    QTRY_VERIFY_WITH_TIMEOUT(!ready.isEmpty() && pictureOf(ready.last()).position == 49, kTimeoutMs);
    QVERIFY2(ready.count() < 10, qPrintable(QString::number(ready.count())));
    QCOMPARE(sizeOf(ready.last()), QSize(1704, 2272));
    // A stop waits for the picture in work only; the rest is dropped, and
    // requests after it are ignored.
    ready.clear();
    for (int position = 50; position < 55; ++position)
        decoder.prefetch(requestFor("large.jpg", 1, position));
    decoder.stop();
    decoder.request(requestFor("small.jpg", 1, 60));
    QCoreApplication::processEvents();
    QVERIFY(ready.count() <= 1);
    // A decoder with requests queued is destroyed at once.
    PreviewDecoder busy({}, 3, qlx::raw::DevelopMode::Quick, nullptr);
    for (int position = 0; position < 5; ++position)
        busy.prefetch(requestFor("large.jpg", 1, position));
}

void PreviewDecoderTest::olderGenerationsAreDroppedAndFailuresReported()
{
    PreviewDecoder decoder({}, 3, qlx::raw::DevelopMode::Quick, nullptr);
    QSignalSpy ready(&decoder, &PreviewDecoder::previewReady);
    decoder.request(requestFor("small.jpg", 1, 0));
    // A prefetch of the old load behind the new load's request.
    decoder.request(requestFor("other.jpg", 2, 5));
    decoder.prefetch(requestFor("small.jpg", 1, 1));
    QTRY_VERIFY_WITH_TIMEOUT(!ready.isEmpty(), kTimeoutMs);
    // Whatever of load 1 was decoded arrived before load 2's picture and
    // was dropped; load 1's prefetch comes after and is dropped as well.
    QCOMPARE(ready.count(), 1);
    QCOMPARE(placeOf(ready.at(0)), std::make_pair(quint64{2}, 5));
    QCOMPARE(sizeOf(ready.at(0)), QSize(100, 66));
    // A file that does not read fails, and the worker goes on.
    QSignalSpy failed(&decoder, &PreviewDecoder::previewFailed);
    decoder.request(requestFor("gone.jpg", 2, 6));
    decoder.prefetch(requestFor("small.jpg", 2, 7));
    QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 2, kTimeoutMs);
    QCOMPARE(failed, (QList<QList<QVariant>>{{quint64{2}, 6, int(qlx::thumbs::PictureStatus::Failed)}}));
}

QTEST_MAIN(PreviewDecoderTest)
#include "preview_decoder_test.moc"
