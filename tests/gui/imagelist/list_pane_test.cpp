// The list pane over a folder of real camera files: rows, column titles and
// texts, the ISO header click, check marks, display styles, icon sizes,
// greyed and coloured rows, selection across a sort, the commands, and a
// list of 10,000 entries.
//
// Expected texts are the files' values as exiftool reports them, written the
// way the list shows them.

#include "imagelist/list_pane.h"

#include "imagelist/file_kind.h"
#include "imagelist/folder_session.h"
#include "imagelist/list_settings.h"
#include "metadata/camera_table.h"
#include "metadata/lens_tables.h"
#include "shell/data_tables.h"
#include "shell/menu_builder.h"
#include "shell/program_info.h"
#include "shell/settings_defaults.h"
#include "shell/settings_record.h"
#include "support/samples_qtest.h"
#include "cache/cache_store.h"
#include "thumbs/list_information.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QListView>
#include <QSignalSpy>
#include <QTreeView>
#include <QtTest>

#include <memory>

using namespace qlx;
using gui::ListPane;
using imagelist::ImageEntry;

namespace {

// Copies of these files make the folder; exiftool reads them as:
//   Canon_40D.jpg               Canon EOS 40D, ISO 100, 1/160, F7.1, 135 mm, 100 × 68, 7,958 bytes
//   Fujifilm_FinePix_E500.jpg   FinePix E500, ISO 100
//   Nikon_D70.jpg               NIKON D70, ISO 200, 100 mm (150 mm in 35 mm terms)
//   Pentax_K10D.jpg             PENTAX K10D, ISO 200
//   portrait_6.jpg              no camera model, no ISO, 600 × 450, orientation 6 (a quarter
//                               turn, followed whatever the camera)
const char* const kSamples[] = {
    "Canon_40D.jpg", "Fujifilm_FinePix_E500.jpg", "Nikon_D70.jpg", "Pentax_K10D.jpg", "orientation/portrait_6.jpg"};

struct Tables {
    std::unique_ptr<metadata::CameraTable> cameras;
    std::unique_ptr<metadata::LensTables> lenses;
};

// A loaded folder with its metadata read and thumbnails made.
struct Folder {
    explicit Folder(const Tables& tables)
        : cache(cache::CacheSettings{cacheDir.path(), 0, false, false, false}),
          session(cache, reserve, [this] {
              imagelist::FolderReadOptions options = imagelist::folderReadOptionsOf(record, videos);
              options.lastFileWait = {2, std::chrono::milliseconds(5)};
              return options;
          })
    {
        settings::applyFirstStartDefaults(record, shell::kProgramVersion);
        settings::applyDefaultsWhenZero(record);
        videos = imagelist::videoExtensionsOf(record);
        for (const char* sample : kSamples) {
            const std::filesystem::path from = test::samplesDir() / "exif-samples" / sample;
            std::filesystem::copy_file(from, folder.path() / from.filename());
        }
        session.load({folder.path().u16string(), true});
        const thumbs::ListInformationTables passTables{*tables.cameras, *tables.lenses};
        const thumbs::ListInformationSettings pass = thumbs::listInformationSettingsOf(record);
        for (std::size_t index = 0; index < session.list().size(); ++index) {
            thumbs::readEntryMetadata(session.list().item(index), passTables, pass);
            thumbs::makeEntryThumbnail(session.list().item(index), passTables, pass, nullptr, nullptr);
        }
    }

    test::TempDir folder;
    test::TempDir cacheDir;
    settings::SettingsRecord record;
    imagelist::VideoExtensions videos;
    cache::ThumbnailCache cache;
    imagelist::MemoryReserve reserve;
    imagelist::FolderSession session;
};

QStringList names(const gui::ImageListModel& model)
{
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row)
        shown << model.index(row, 0).data().toString();
    return shown;
}

int rowOf(const gui::ImageListModel& model, const QString& name)
{
    return static_cast<int>(names(model).indexOf(name));
}

QSize iconSize(const QModelIndex& index)
{
    return index.data(Qt::DecorationRole).value<QPixmap>().size();
}

void clickHeader(ListPane& pane, int column)
{
    QHeaderView* header = pane.detailsView()->header();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

} // namespace

class ListPaneTest : public QObject {
    Q_OBJECT
private:
    Tables m_tables;
    std::unique_ptr<Folder> m_folder;
    gui::MenuBuilder m_menus;
    std::unique_ptr<ListPane> m_pane;

    ListPane& pane() { return *m_pane; }
    gui::ImageListModel& model() { return m_pane->model(); }
    imagelist::ImageList& list() { return m_folder->session.list(); }
    ImageEntry& entryAt(int row) { return list().entry(*model().entryAtRow(row)); }

private Q_SLOTS:
    void initTestCase()
    {
        shell::DataTables tables;
        QCOMPARE(shell::loadDataTables(std::filesystem::path(QLX_BUILD_DIR) / "bin", tables),
                 shell::TablesStatus::Loaded);
        m_tables.cameras = std::make_unique<metadata::CameraTable>(tables.camera);
        m_tables.lenses = std::make_unique<metadata::LensTables>(tables.lenses);
    }

    void init()
    {
        const std::filesystem::path samples = test::samplesDir() / "exif-samples";
        QLX_NEED_SAMPLES(samples / kSamples[0], samples / kSamples[1], samples / kSamples[2], samples / kSamples[3],
                         samples / kSamples[4]);
        m_folder = std::make_unique<Folder>(m_tables);
        m_pane = std::make_unique<ListPane>(m_folder->session, m_folder->record, *m_tables.cameras, m_menus);
        m_pane->resize(1800, 500);
        m_pane->resetList();
    }

    void cleanup()
    {
        m_pane.reset();
        m_folder.reset();
    }

    void rowsAndColumnTitles()
    {
        QCOMPARE(model().rowCount(), 5);
        QCOMPARE(model().columnCount(), 24);
        // The titles the settings hold, in column order.
        const auto title = [this](int column) {
            return model().headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        };
        QCOMPARE((QStringList{title(0), title(14), title(23)}), (QStringList{"ﾌｧｲﾙ名", "ISO感度", "ﾒﾃﾞｨｱ分割#"}));
        // A renamed column shows the user's title.
        m_folder->record.setColumnTitle(14, u"感度");
        pane().applySettings();
        QCOMPARE(title(14), QStringLiteral("感度"));
    }

    void textsOfAKnownCamera()
    {
        const int canon = rowOf(model(), "Canon_40D.jpg");
        QVERIFY(canon >= 0);
        const auto text = [&](int column) { return model().index(canon, column).data().toString(); };
        QCOMPARE(text(1), QString());
        QCOMPARE(text(3), QStringLiteral("JPG"));
        QCOMPARE(text(4), QStringLiteral("7KB"));
        QCOMPARE(text(6), QStringLiteral("100*68"));
        QCOMPARE(text(7), QStringLiteral("Canon"));
        QCOMPARE(text(8), QStringLiteral("Canon EOS 40D"));
        QCOMPARE(text(10), QStringLiteral("2008/05/30 15:56:01"));
        QCOMPARE(text(11), QStringLiteral("1/160"));
        QCOMPARE(text(12), QStringLiteral("F7.1"));
        QCOMPARE(text(14), QStringLiteral("100"));
        QCOMPARE(text(18), QStringLiteral("135mm"));
        const QString tip = model().index(canon, 8).data(Qt::ToolTipRole).toString();
        QVERIFY2(tip.startsWith("File : Canon_40D.jpg\n100*68 Pixel\nDate : 2008/05/30 15:56:01\n"
                                "Canon EOS 40D\n1/160\nF7.1\n"), qPrintable(tip));
        QVERIFY(tip.contains("\nISO100\n"));

        // The 35 mm setting shows the file's own 35 mm focal length.
        const int nikon = rowOf(model(), "Nikon_D70.jpg");
        QCOMPARE(model().index(nikon, 18).data().toString(), QStringLiteral("100mm"));
        m_folder->record.set(settings::kFocalLength35mm, std::uint8_t{1});
        QCOMPARE(model().index(nikon, 18).data().toString(), QStringLiteral("150mm"));
    }

    void isoHeaderSortsAscendingThenDescendingOnlyWhenReady()
    {
        pane().show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane()));
        const QStringList loaded = names(model());
        QHeaderView* header = pane().detailsView()->header();

        clickHeader(pane(), 14); // not ready yet
        QCOMPARE(names(model()), loaded);
        QCOMPARE(header->sortIndicatorSection(), -1);

        pane().setListReady(true);
        clickHeader(pane(), 14);
        // No ISO first, then 100 and 200, equal values by name.
        QCOMPARE(names(model()), (QStringList{"portrait_6.jpg", "Canon_40D.jpg", "Fujifilm_FinePix_E500.jpg",
                                              "Nikon_D70.jpg", "Pentax_K10D.jpg"}));
        QCOMPARE(header->sortIndicatorSection(), 14);
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);

        pane().clickColumn(14);
        QCOMPARE(names(model()), (QStringList{"Pentax_K10D.jpg", "Nikon_D70.jpg", "Fujifilm_FinePix_E500.jpg",
                                              "Canon_40D.jpg", "portrait_6.jpg"}));
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);

        // A reload (the list-information pass starts again) ignores clicks.
        pane().resetList();
        pane().clickColumn(0);
        QCOMPARE(names(model()).first(), QStringLiteral("Pentax_K10D.jpg"));
    }

    void selectionAndCurrentEntrySurviveASort()
    {
        pane().setListReady(true);
        const int nikon = rowOf(model(), "Nikon_D70.jpg");
        const int canon = rowOf(model(), "Canon_40D.jpg");
        const std::size_t nikonEntry = *model().entryAtRow(nikon);
        const std::size_t canonEntry = *model().entryAtRow(canon);
        pane().setCurrentPosition(canon);
        pane().detailsView()->selectionModel()->select(
            model().index(nikon, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QSignalSpy current(&pane(), &ListPane::currentChanged);

        pane().clickColumn(14);
        pane().clickColumn(14); // descending: Pentax, Nikon, Fujifilm, Canon, portrait
        auto selected = pane().selectedEntries();
        std::sort(selected.begin(), selected.end());
        QCOMPARE(selected, (std::vector<std::size_t>{std::min(nikonEntry, canonEntry),
                                                     std::max(nikonEntry, canonEntry)}));
        QCOMPARE(pane().currentPosition(), 3);
        QCOMPARE(*model().entryAtRow(3), canonEntry);
        QVERIFY(!current.isEmpty());
        QCOMPARE(current.last().at(0).toInt(), 3);

        // A block of rows is taken apart by the sort and still selected.
        QItemSelectionModel* selection = pane().detailsView()->selectionModel();
        selection->select(QItemSelection(model().index(1, 0), model().index(3, 23)),
                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        auto block = pane().selectedEntries();
        std::sort(block.begin(), block.end());
        pane().clickColumn(0);
        auto afterSort = pane().selectedEntries();
        std::sort(afterSort.begin(), afterSort.end());
        QCOMPARE(afterSort, block);
    }

    void checkMarksAreTheEntryByte()
    {
        const int canon = rowOf(model(), "Canon_40D.jpg");
        QVERIFY(model().setData(model().index(canon, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(std::to_integer<int>(entryAt(canon).recordBytes()[1546]), 1);
        QCOMPARE(model().index(canon, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QVERIFY(m_folder->session.cacheChanges() & cache::kCacheEntriesChanged);
        QVERIFY(model().setData(model().index(canon, 0), Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(std::to_integer<int>(entryAt(canon).recordBytes()[1546]), 0);

        // F2, F3 and the inversion work on the selected rows.
        pane().setCurrentPosition(0);
        pane().detailsView()->selectionModel()->select(model().index(2, 0),
                                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QVERIFY(pane().executeCommand(182));
        QCOMPARE(pane().checkedEntries(), (std::vector<std::size_t>{*model().entryAtRow(0), *model().entryAtRow(2)}));
        pane().setCurrentPosition(2);
        QVERIFY(pane().executeCommand(183));
        QCOMPARE(pane().checkedEntries(), (std::vector<std::size_t>{*model().entryAtRow(0)}));
        pane().selectAll();
        QVERIFY(pane().executeCommand(200));
        QCOMPARE(pane().checkedEntries().size(), std::size_t{4});
        QVERIFY(!entryAt(0).checked());

        // Selecting by check mark.
        QVERIFY(pane().executeCommand(137));
        QCOMPARE(pane().selectedEntries(), pane().checkedEntries());
        QCOMPARE(pane().currentPosition(), 4);
        QVERIFY(pane().executeCommand(138));
        QCOMPARE(pane().selectedEntries(), (std::vector<std::size_t>{*model().entryAtRow(0)}));
        QVERIFY(!pane().executeCommand(118));
    }

    void checkMarkCommandsWithoutMultipleSelectionTakeTheCurrentEntry()
    {
        m_folder->record.set(settings::kMultipleSelection, std::uint8_t{0});
        pane().applySettings();
        QCOMPARE(pane().detailsView()->selectionMode(), QAbstractItemView::SingleSelection);
        pane().setCurrentPosition(1);
        QVERIFY(pane().executeCommand(182));
        QCOMPARE(pane().checkedEntries(), (std::vector<std::size_t>{*model().entryAtRow(1)}));
        QVERIFY(pane().executeCommand(137)); // needs multiple selection: nothing changes
        QCOMPARE(pane().currentPosition(), 1);
    }

    void jumpToTheNextCheckedEntry()
    {
        entryAt(1).setChecked(true);
        entryAt(3).setChecked(true);
        pane().setCurrentPosition(1);
        QVERIFY(pane().jumpToNextChecked(false));
        QCOMPARE(pane().currentPosition(), 3);
        QVERIFY(pane().jumpToNextChecked(false)); // wraps round
        QCOMPARE(pane().currentPosition(), 1);
        entryAt(3).setPresence(0);
        QVERIFY(pane().jumpToNextChecked(true)); // only itself is left to show
        QCOMPARE(pane().currentPosition(), 1);
        entryAt(1).setChecked(false);
        QVERIFY(!pane().jumpToNextChecked(true));
    }

    void anAppendedFileBecomesTheCurrentLastRow()
    {
        ImageEntry::FreshFacts facts;
        const std::u16string path = m_folder->folder.path().u16string() + u"/IMG_0100.JPG";
        facts.path = path;
        facts.kind = imagelist::kKindJpeg;
        QVERIFY(list().append(ImageEntry::createFresh(facts)));
        list().extendOrder();
        QSignalSpy current(&pane(), &ListPane::currentChanged);
        pane().rowsAppended();
        QCOMPARE(model().rowCount(), 6);
        QCOMPARE(model().index(5, 0).data().toString(), QStringLiteral("IMG_0100.JPG"));
        QCOMPARE(pane().currentPosition(), 5);
        QCOMPARE(current.size(), 1);
    }

    void displayStylesSwitch()
    {
        QCOMPARE(pane().displayStyle(), 3); // the default
        QCOMPARE(pane().currentView(), static_cast<QAbstractItemView*>(pane().detailsView()));
        QVERIFY(pane().executeCommand(119));
        QCOMPARE(pane().displayStyle(), 1);
        QCOMPARE(pane().currentView(), static_cast<QAbstractItemView*>(pane().iconView()));
        QCOMPARE(pane().iconView()->viewMode(), QListView::IconMode);
        QCOMPARE(m_folder->record.get(settings::kDisplayStyle), 1);
        QVERIFY(pane().executeCommand(119));
        QCOMPARE(pane().displayStyle(), 2);
        QCOMPARE(pane().iconView()->viewMode(), QListView::ListMode);
        QVERIFY(pane().executeCommand(119));
        QCOMPARE(pane().displayStyle(), 3);
        pane().setDisplayStyle(7);
        QCOMPARE(pane().displayStyle(), 3);
    }

    void iconsHaveTheirSizes()
    {
        const int canon = rowOf(model(), "Canon_40D.jpg");
        // Details: the Exif list's icon and the histogram, W2 × H2 = 28 × 20.
        QCOMPARE(iconSize(model().index(canon, 0)), QSize(28, 20));
        QCOMPARE(iconSize(model().index(canon, 1)), QSize(28, 20));
        QVERIFY(model().index(canon, 2).data(Qt::DecorationRole).isNull());
        // Thumbnails and list: W × H = 88 × 60.
        pane().setDisplayStyle(1);
        QCOMPARE(iconSize(model().index(canon, 0)), QSize(88, 60));
        pane().setDisplayStyle(2);
        QCOMPARE(iconSize(model().index(canon, 0)), QSize(88, 60));

        // 600 × 450 turned a quarter by its orientation is 450 × 600: in
        // 88 × 60 it is trunc(88 × (0.1 / 0.1956 + 0.01)) = 45 wide at x = 21.
        const int portraitRow = rowOf(model(), "portrait_6.jpg");
        QCOMPARE(entryAt(portraitRow).pictureWidth(), 600);
        QCOMPARE(iconSize(model().index(portraitRow, 0)), QSize(88, 60));
        const QImage portrait = model().index(portraitRow, 0).data(Qt::DecorationRole).value<QPixmap>().toImage();
        QCOMPARE(qAlpha(portrait.pixel(19, 30)), 0);
        QCOMPARE(qAlpha(portrait.pixel(22, 30)), 255);
        QCOMPARE(qAlpha(portrait.pixel(64, 30)), 255);
        QCOMPARE(qAlpha(portrait.pixel(67, 30)), 0);

        // The fill setting covers the whole icon.
        m_folder->record.set(settings::kThumbnailFill, 0, std::uint8_t{1});
        pane().applySettings();
        const QImage filled = model().index(portraitRow, 0).data(Qt::DecorationRole).value<QPixmap>().toImage();
        QCOMPARE(qAlpha(filled.pixel(1, 30)), 255);
    }

    void goneAndActedOnEntriesAreMarked()
    {
        m_folder->record.set(settings::kErrorRowColour, std::uint32_t{0x000000FF});          // red
        m_folder->record.set(settings::kActionRowColours, 0, std::int32_t{0x0000FF00});      // copy: green
        const int gone = rowOf(model(), "Pentax_K10D.jpg");
        const int copied = rowOf(model(), "Nikon_D70.jpg");
        const std::size_t goneEntry = *model().entryAtRow(gone);
        list().entry(goneEntry).setPresence(0);
        pane().entriesChanged(std::span<const std::size_t>(&goneEntry, 1));

        QVERIFY(model().index(gone, 8).data(Qt::ForegroundRole).isValid());
        QCOMPARE(model().index(gone, 8).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 0, 0));
        QVERIFY(!model().index(copied, 8).data(Qt::ForegroundRole).isValid());
        QVERIFY(!model().index(copied, 8).data(Qt::BackgroundRole).isValid());

        // A copy recorded in the file history colours the row while the
        // copy class is switched on.
        imagelist::ListItem& item = list().item(*model().entryAtRow(copied));
        item.history.assign(522, std::byte{0});
        item.history[0] = std::byte{3};
        item.entry->setHistoryCount(1);
        item.entry->setHistoryPosition(0);
        QCOMPARE(model().index(copied, 8).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(0, 255, 0));
        m_folder->record.set(settings::kActionColourClassOn, 0, std::uint8_t{0});
        QVERIFY(!model().index(copied, 8).data(Qt::BackgroundRole).isValid());
    }

    void copyInformationPutsTheRowTextsOnTheClipboard()
    {
        m_folder->record.set(settings::kMultipleSelection, std::uint8_t{0});
        pane().applySettings();
        pane().setCurrentPosition(rowOf(model(), "Canon_40D.jpg"));
        QVERIFY(pane().executeCommand(136));
        const QString text = QGuiApplication::clipboard()->text();
        QVERIFY2(text.startsWith("\tCanon_40D.jpg\tJPG\t7KB\t"), qPrintable(text));
        QVERIFY(text.endsWith('\n'));
        QCOMPARE(text.count('\t'), 21); // all columns but histogram, Status and Media#
        QVERIFY(text.contains("\tCanon EOS 40D\t"));
    }

    void enterAndDoubleClickActivate()
    {
        pane().show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane()));
        QSignalSpy activated(&pane(), &ListPane::activated);
        pane().setCurrentPosition(2);
        pane().detailsView()->setFocus();
        QTest::keyClick(pane().detailsView(), Qt::Key_Return);
        QCOMPARE(activated.size(), 1);
        QCOMPARE(activated.at(0).at(0).toInt(), 2);
        const QRect row = pane().detailsView()->visualRect(model().index(1, 8));
        // The first click of a double click, then the second as the
        // platform reports it.
        QTest::mouseClick(pane().detailsView()->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(pane().detailsView()->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(activated.size(), 2);
        QCOMPARE(activated.at(1).at(0).toInt(), 1);
    }

    void tenThousandEntriesMakeOnlyTheShownIcons()
    {
        // One real thumbnail block shared by every entry.
        const std::vector<std::byte> block(list().item(0).thumbnail().begin(), list().item(0).thumbnail().end());
        QVERIFY(!block.empty());
        list().clear();
        for (int i = 0; i < 10'000; ++i) {
            ImageEntry::FreshFacts facts;
            const std::u16string path = u"/photos/IMG_" + QString::number(i).toStdU16String() + u".JPG";
            facts.path = path;
            facts.kind = imagelist::kKindJpeg;
            imagelist::ListItem* item = list().append(ImageEntry::createFresh(facts));
            QVERIFY(item);
            item->cachedThumbnail = block;
        }
        list().resetOrder();
        list().setCurrentPosition(0);
        pane().resetList();
        pane().show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane()));
        QCOMPARE(model().rowCount(), 10'000);
        QTRY_VERIFY(model().iconCache().madeCount() > 0);
        QVERIFY(model().iconCache().madeCount() < 200);
        const std::size_t inDetails = model().iconCache().madeCount();
        pane().setDisplayStyle(1);
        QTRY_VERIFY(model().iconCache().madeCount() > inDetails);
        QVERIFY(model().iconCache().madeCount() < 400);
        pane().setCurrentPosition(9'999);
        QCOMPARE(list().currentPosition(), 9'999);
        QVERIFY(model().iconCache().madeCount() < 600);
        // The entries view `block`, which ends with this function.
        list().clear();
        pane().resetList();
    }
};

QTEST_MAIN(ListPaneTest)
#include "list_pane_test.moc"
