// The camera and lens list over the generated tables: known cameras and
// lenses in their tabs with their crop factor and RAW mark, the reserved
// camera rows left out, and every tab in maker order, names in natural order.

#include "metadata/camera_lens_dialog.h"

#include "imagelist/natural_compare.h"
#include "shell/data_tables.h"

#include <QTreeWidget>
#include <QtTest>

// Where the row whose first columns read `start` is; -1 when there is none.
static int rowOf(const QTreeWidget* list, const QStringList& start)
{
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        int column = 0;
        while (column < start.size() && list->topLevelItem(row)->text(column) == start[column])
            ++column;
        if (column == start.size())
            return row;
    }
    return -1;
}

class CameraLensDialogTest : public QObject {
    Q_OBJECT
    std::unique_ptr<qlx::gui::CameraLensDialog> m_dialog;

private Q_SLOTS:
    void initTestCase()
    {
        qlx::shell::DataTables tables;
        QCOMPARE(qlx::shell::loadDataTables(std::filesystem::path(QLX_BUILD_DIR) / "bin", tables),
                 qlx::shell::TablesStatus::Loaded);
        const qlx::metadata::CameraTable cameras(tables.camera);
        m_dialog = std::make_unique<qlx::gui::CameraLensDialog>(cameras, qlx::metadata::LensTables(tables.lenses));
        // The 18 reserved rows of the camera table are not cameras.
        QCOMPARE(static_cast<std::size_t>(m_dialog->list(0)->topLevelItemCount()), cameras.rowCount() - 18);
    }

    // Crop factors as the makers publish them; X3F files are not developed.
    void knownRows_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QStringList>("row");
        QTest::newRow("5D Mark IV") << 0 << QStringList{"Canon", "Canon EOS 5D Mark IV", "1.0", "○"};
        QTest::newRow("SD10") << 0 << QStringList{"Sigma", "SIGMA SD10", "1.7", "×"};
        QTest::newRow("Canon lens") << 1 << QStringList{"Canon", "Canon EF 24-105mm f/4L IS USM"};
        QTest::newRow("Nikon lens") << 2 << QStringList{"Nikon", "AF-S Nikkor 50mm f/1.4G"};
        QTest::newRow("extender") << 5 << QStringList{"Olympus", "Olympus Zuiko Digital EC-14 1.4x Teleconverter"};
        QTest::newRow("Sony lens") << 6 << QStringList{"Minolta", "Minolta AF 85mm F1.4G"};
    }
    void knownRows()
    {
        QFETCH(int, tab);
        QFETCH(QStringList, row);
        QVERIFY(rowOf(m_dialog->list(tab), row) >= 0);
    }

    void rowsAreInMakerThenNaturalNameOrder()
    {
        for (int tab = 0; const QTreeWidget* list = m_dialog->list(tab); ++tab) {
            for (int row = 1; row < list->topLevelItemCount(); ++row)
                QVERIFY(qlx::imagelist::compareNatural(list->topLevelItem(row - 1)->text(0).toStdU16String(),
                                                       list->topLevelItem(row)->text(0).toStdU16String()) <= 0);
        }
        const int fiveD = rowOf(m_dialog->list(0), {"Canon", "Canon EOS 5D"});
        QVERIFY(fiveD >= 0 && rowOf(m_dialog->list(0), {"Canon", "Canon EOS 10D"}) > fiveD); // digits by value
    }
};

QTEST_MAIN(CameraLensDialogTest)
#include "camera_lens_dialog_test.moc"
