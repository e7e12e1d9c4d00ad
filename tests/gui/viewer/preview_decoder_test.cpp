// The preview decoder: real sample JPEGs decoded on its worker and handed
// back on the user-interface thread, newer requests ahead of older ones,
// results of an older folder load dropped, and a clean stop.
//
// Picture sizes are those `file` reports for the samples: Canon_40D.jpg is
// 100 x 68, tests/28-hex_value.jpg is 1704 x 2272.

#include "imagelist/file_kind.h"
#include "imagelist/image_entry.h"
#include "support/test_paths.h"
#include "thumbs/thumbnail_maker.h"
#include "viewer/preview_decoder.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <filesystem>
#include <memory>

using qlx::gui::PreviewDecoder;
using qlx::gui::PreviewRequest;

namespace {

constexpr int kTimeoutMs = 20000;

std::filesystem::path sample(const char* name)
{
    return qlx::test::samplesDir() / "exif-samples" / name;
}

// A JPEG entry as the folder reader makes it: no preview slot chosen, so the
// whole file is the preview.
PreviewRequest requestFor(const std::filesystem::path& path, quint64 generation, int position, QSize cover = {})
{
    const std::u16string text = path.u16string();
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    qlx::imagelist::ImageEntry::FreshFacts facts;
    facts.path = text;
    facts.kind = qlx::imagelist::kKindJpeg;
    facts.fileSize = error ? 0 : size;
    const auto entry = qlx::imagelist::ImageEntry::createFresh(facts);
    return PreviewRequest::forEntry(generation, position, *entry, {}, cover);
}

quint64 generationOf(const QList<QVariant>& signal)
{
    return signal.at(0).value<quint64>();
}

} // namespace

class PreviewDecoderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void decodesOnTheWorkerAndAnswersOnTheUiThread();
    void coverChoosesASmallerScale();
    void newestRequestGoesFirst();
    void olderGenerationsAreDropped();
    void keptPicturesAnswerAgain();
    void unreadableFileFails();
    void stopEndsTheWorker();
};

void PreviewDecoderTest::decodesOnTheWorkerAndAnswersOnTheUiThread()
{
    PreviewDecoder decoder;
    QSignalSpy ready(&decoder, &PreviewDecoder::previewReady);
    QThread* answeredOn = nullptr;
    connect(&decoder, &PreviewDecoder::previewReady, this,
            [&answeredOn] { answeredOn = QThread::currentThread(); });
    decoder.request(requestFor(sample("Canon_40D.jpg"), 1, 0));
    // The answer never comes within the call: the picture is decoded elsewhere.
    QCOMPARE(ready.count(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 1, kTimeoutMs);
    QCOMPARE(generationOf(ready.at(0)), quint64{1});
    QCOMPARE(ready.at(0).at(1).toInt(), 0);
    const auto picture = ready.at(0).at(2).value<QImage>();
    QCOMPARE(picture.size(), QSize(100, 68));
    QCOMPARE(answeredOn, QThread::currentThread());
}

void PreviewDecoderTest::coverChoosesASmallerScale()
{
    // 1704 x 2272 at 1/8 is exactly 213 x 284, which still covers 200 x 280.
    PreviewDecoder decoder;
    QSignalSpy ready(&decoder, &PreviewDecoder::previewReady);
    decoder.request(requestFor(sample("tests/28-hex_value.jpg"), 1, 3, {200, 280}));
    QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 1, kTimeoutMs);
    QCOMPARE(ready.at(0).at(2).value<QImage>().size(), QSize(213, 284));
}

void PreviewDecoderTest::newestRequestGoesFirst()
{
    // Fifty requests in a row for a large picture: each drops the ones not
    // yet started, so only a few are decoded and the last one always is.
    PreviewDecoder decoder;
    QSignalSpy ready(&decoder, &PreviewDecoder::previewReady);
    const auto path = sample("tests/28-hex_value.jpg");
    for (int position = 0; position < 50; ++position)
        decoder.request(requestFor(path, 1, position));
    QTRY_VERIFY_WITH_TIMEOUT(!ready.isEmpty() && ready.last().at(1).toInt() == 49, kTimeoutMs);
    QVERIFY2(ready.count() < 10, qPrintable(QString::number(ready.count())));
    QCOMPARE(ready.last().at(2).value<QImage>().size(), QSize(1704, 2272));
}

void PreviewDecoderTest::olderGenerationsAreDropped()
{
    PreviewDecoder decoder;
    QSignalSpy ready(&decoder, &PreviewDecoder::previewReady);
    decoder.request(requestFor(sample("Canon_40D.jpg"), 1, 0));
    // A prefetch of the old load behind the new load's request.
    decoder.request(requestFor(sample("Nikon_D70.jpg"), 2, 5));
    decoder.prefetch(requestFor(sample("Canon_40D.jpg"), 1, 1));
    QTRY_VERIFY_WITH_TIMEOUT(!ready.isEmpty(), kTimeoutMs);
    // Whatever of load 1 was decoded arrived before load 2's picture and
    // was dropped; load 1's prefetch comes after and is dropped as well.
    QCOMPARE(ready.count(), 1);
    QCOMPARE(generationOf(ready.at(0)), quint64{2});
    QCOMPARE(ready.at(0).at(1).toInt(), 5);
    QCOMPARE(ready.at(0).at(2).value<QImage>().size(), QSize(100, 66));
    decoder.request(requestFor(sample("Pentax_K10D.jpg"), 2, 6));
    QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 2, kTimeoutMs);
    QCOMPARE(ready.at(1).at(1).toInt(), 6);
}

void PreviewDecoderTest::keptPicturesAnswerAgain()
{
    PreviewDecoder decoder;
    QSignalSpy ready(&decoder, &PreviewDecoder::previewReady);
    decoder.request(requestFor(sample("Canon_40D.jpg"), 1, 0));
    decoder.prefetch(requestFor(sample("Nikon_D70.jpg"), 1, 1));
    QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 2, kTimeoutMs);
    // Back to the first: answered from what is kept, with the same picture.
    decoder.request(requestFor(sample("Canon_40D.jpg"), 1, 0));
    QCOMPARE(ready.count(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 3, kTimeoutMs);
    QCOMPARE(ready.at(2).at(1).toInt(), 0);
    QCOMPARE(ready.at(2).at(2).value<QImage>(), ready.at(0).at(2).value<QImage>());
}

void PreviewDecoderTest::unreadableFileFails()
{
    qlx::test::TempDir dir;
    PreviewDecoder decoder;
    QSignalSpy ready(&decoder, &PreviewDecoder::previewReady);
    QSignalSpy failed(&decoder, &PreviewDecoder::previewFailed);
    decoder.request(requestFor(dir.path() / "gone.jpg", 1, 2));
    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, kTimeoutMs);
    QCOMPARE(failed.at(0).at(1).toInt(), 2);
    QCOMPARE(failed.at(0).at(2).toInt(), static_cast<int>(qlx::thumbs::PictureStatus::Failed));
    QCOMPARE(ready.count(), 0);
}

void PreviewDecoderTest::stopEndsTheWorker()
{
    auto decoder = std::make_unique<PreviewDecoder>();
    QSignalSpy ready(decoder.get(), &PreviewDecoder::previewReady);
    const auto path = sample("tests/28-hex_value.jpg");
    for (int position = 0; position < 5; ++position)
        decoder->prefetch(requestFor(path, 1, position));
    // Waits for the picture in work only; the rest is dropped.
    decoder->stop();
    decoder->request(requestFor(sample("Canon_40D.jpg"), 1, 9));
    QCoreApplication::processEvents();
    QVERIFY(ready.count() <= 1);
    // Destroying a stopped decoder, or one with requests queued, returns.
    decoder.reset();
    PreviewDecoder busy;
    for (int position = 0; position < 5; ++position)
        busy.prefetch(requestFor(path, 1, position));
}

QTEST_MAIN(PreviewDecoderTest)
#include "preview_decoder_test.moc"
