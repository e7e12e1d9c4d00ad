// The view's read-ahead with real decoders on JPEGs the test writes: the
// panes first and then the window ring by ring, forward before backward;
// pictures outside the window let go; nothing read ahead while the user
// flips fast, and the whole window once the steps pause.

#include "imagelist/file_kind.h"
#include "imagelist/image_entry.h"
#include "support/test_paths.h"
#include "support/test_pictures.h"
#include "viewer/view_read_ahead.h"

#include <QSignalSpy>
#include <QtTest>

#include <filesystem>

using qlx::gui::PreviewDecoder;
using qlx::gui::PreviewRequest;
using qlx::gui::ViewPicture;
using qlx::gui::ViewReadAhead;

namespace {

constexpr int kTimeoutMs = 20000;
constexpr int kCount = 12;

std::vector<int> positionsOf(const QSignalSpy& spy)
{
    std::vector<int> positions;
    for (const QList<QVariant>& signal : spy)
        positions.push_back(signal.at(0).value<ViewPicture>().position);
    return positions;
}

} // namespace

class ViewReadAheadTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void panesFirstThenRingByRingAndTheRestLetGo();
    void nothingIsReadAheadWhileTheUserFlipsFast();

private:
    std::optional<PreviewRequest> requestFor(quint64 generation, int position) const
    {
        const std::u16string path = (m_dir.path() / ("P" + std::to_string(position) + ".jpg")).u16string();
        qlx::imagelist::ImageEntry::FreshFacts facts;
        facts.path = path;
        facts.kind = qlx::imagelist::kKindJpeg;
        const auto entry = qlx::imagelist::ImageEntry::createFresh(facts);
        return PreviewRequest::forEntry(generation, position, *entry, {}, {160, 120});
    }

    // Real decoders for both levels and the read-ahead over them, asking for
    // the test's JPEGs of folder load 1.
    struct Rig {
        explicit Rig(const ViewReadAheadTest& test)
            : readAhead(previews, developments, reserve,
                        [&test](int position, int) { return test.requestFor(1, position); }, {.readAheadLevel = 2})
        {
        }
        PreviewDecoder previews{{}, 3, qlx::raw::DevelopMode::Quick, nullptr};
        PreviewDecoder developments{{}, 3, qlx::raw::DevelopMode::Quick, nullptr};
        qlx::imagelist::MemoryReserve reserve;
        ViewReadAhead readAhead;
    };

    qlx::test::TempDir m_dir;
};

void ViewReadAheadTest::initTestCase()
{
    for (int position = 0; position < kCount; ++position)
        qlx::test::writeTestJpeg(m_dir.path() / ("P" + std::to_string(position) + ".jpg"), {320, 240});
}

void ViewReadAheadTest::panesFirstThenRingByRingAndTheRestLetGo()
{
    Rig rig(*this);
    PreviewDecoder& previews = rig.previews;
    ViewReadAhead& readAhead = rig.readAhead;
    QSignalSpy ready(&previews, &PreviewDecoder::previewReady);
    // Two panes from position 6: 6 and 7 first, then the window of radius
    // 2 (the first step grows it from 1 when memory is plentiful, as on any
    // test machine) around 6: 7 and 5, 8 and 4, without 7 again.
    readAhead.show({.generation = 1, .current = 6, .count = kCount, .panes = 2});
    QCOMPARE(readAhead.radius(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 5, kTimeoutMs);
    QCOMPARE(positionsOf(ready), (std::vector<int>{6, 7, 5, 8, 4}));
    QCOMPARE(previews.keptCount(), std::size_t{5});

    // One step on, after a pause: the window moves with it, what left it
    // is let go and only what entered it is decoded.
    ready.clear();
    QTest::qWait(ViewReadAhead::kFlipPauseMs + 50);
    readAhead.show({.generation = 1, .current = 7, .count = kCount, .panes = 2});
    QCOMPARE(readAhead.radius(), 3);
    // 7 answers from what is kept (it is the current one: the pane is
    // told again); of the window 4 … 10 only 9 and 10 are new.
    QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 3, kTimeoutMs);
    QCOMPARE(positionsOf(ready), (std::vector<int>{7, 9, 10}));
    QCOMPARE(previews.keptCount(), std::size_t{7});
}

void ViewReadAheadTest::nothingIsReadAheadWhileTheUserFlipsFast()
{
    Rig rig(*this);
    PreviewDecoder& previews = rig.previews;
    ViewReadAhead& readAhead = rig.readAhead;
    QSignalSpy ready(&previews, &PreviewDecoder::previewReady);
    QSignalSpy quick(&readAhead, &ViewReadAhead::quickPathChanged);
    // Three steps at once: from the second one on the user flips fast.
    for (int position = 0; position < 3; ++position)
        readAhead.show({.generation = 1, .current = position, .count = kCount, .panes = 1});
    QVERIFY(readAhead.flippingFast());
    QCOMPARE(quick.count(), 1);
    QCOMPARE(quick.at(0).at(0).toBool(), true);
    // Only the current entries were asked for, the latest last.
    QTRY_VERIFY_WITH_TIMEOUT(!ready.isEmpty() && positionsOf(ready).back() == 2, kTimeoutMs);
    const std::vector<int> whileFlipping = positionsOf(ready);
    QVERIFY(std::all_of(whileFlipping.begin(), whileFlipping.end(), [](int p) { return p <= 2; }));
    // The steps pause: the quick path ends and the window around 2 fills.
    QTRY_COMPARE_WITH_TIMEOUT(quick.count(), 2, kTimeoutMs);
    QCOMPARE(quick.at(1).at(0).toBool(), false);
    QTRY_VERIFY_WITH_TIMEOUT(std::find(positionsOf(ready).begin(), positionsOf(ready).end(), 3) != positionsOf(ready).end(),
                             kTimeoutMs);
}

QTEST_MAIN(ViewReadAheadTest)
#include "view_read_ahead_test.moc"
