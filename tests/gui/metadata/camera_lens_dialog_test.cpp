// The camera and lens list "対応カメラ＆レンズ表" over the generated tables.

#include "metadata/camera_lens_dialog.h"

#include "metadata/camera_table.h"
#include "metadata/lens_tables.h"
#include "shell/data_tables.h"

#include <QApplication>
#include <QHeaderView>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

using qlx::gui::CameraLensDialog;

class CameraLensDialogTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<qlx::metadata::CameraTable> m_cameras;
    std::unique_ptr<qlx::metadata::LensTables> m_lenses;

    static QStringList headers(const QTreeWidget* list)
    {
        QStringList texts;
        for (int column = 0; column < list->columnCount(); ++column)
            texts << list->headerItem()->text(column);
        return texts;
    }

    static QStringList rowTexts(const QTreeWidgetItem* item)
    {
        QStringList texts;
        for (int column = 0; column < item->columnCount(); ++column)
            texts << item->text(column);
        return texts;
    }

    static int findRow(const QTreeWidget* list, const QString& maker, const QString& name)
    {
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = list->topLevelItem(row);
            if (item->text(0) == maker && item->text(1) == name)
                return row;
        }
        return -1;
    }

private Q_SLOTS:
    void initTestCase()
    {
        qlx::shell::DataTables tables;
        QCOMPARE(qlx::shell::loadDataTables(std::filesystem::path(QLX_BUILD_DIR) / "bin", tables),
                 qlx::shell::TablesStatus::Loaded);
        m_cameras = std::make_unique<qlx::metadata::CameraTable>(tables.camera);
        m_lenses = std::make_unique<qlx::metadata::LensTables>(tables.lenses);
    }

    void titleTabsAndHeaders()
    {
        CameraLensDialog dialog(*m_cameras, *m_lenses);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("対応カメラ＆レンズ表"));
        QCOMPARE(dialog.tabs()->count(), 7);
        QCOMPARE(dialog.tabs()->tabText(0), QStringLiteral("カメラ"));
        QCOMPARE(dialog.tabs()->tabText(1), QStringLiteral("Canon レンズ"));
        QCOMPARE(dialog.tabs()->tabText(5), QStringLiteral("Olympus エクステンダー"));
        QCOMPARE(headers(dialog.list(0)), (QStringList{QStringLiteral("メーカー"), QStringLiteral("製品名"),
                                                       QStringLiteral("換算倍率"), QStringLiteral("RAW現像")}));
        for (int tab = 1; tab < 7; ++tab)
            QCOMPARE(headers(dialog.list(tab)), (QStringList{QStringLiteral("メーカー"), QStringLiteral("製品名")}));
        QCOMPARE(dialog.list(7), nullptr);
    }

    void cameraTabListsRowsFrom18On()
    {
        CameraLensDialog dialog(*m_cameras, *m_lenses);
        const QTreeWidget* cameras = dialog.list(0);
        QCOMPARE(static_cast<std::size_t>(cameras->topLevelItemCount()),
                 m_cameras->rowCount() - qlx::metadata::kFirstMakerRow);
        // Crop "%0.1f", RAW development "○" or "×".
        const int fiveD = findRow(cameras, QStringLiteral("Canon"), QStringLiteral("Canon EOS 5D Mark IV"));
        QVERIFY(fiveD >= 0);
        QCOMPARE(rowTexts(cameras->topLevelItem(fiveD)),
                 (QStringList{QStringLiteral("Canon"), QStringLiteral("Canon EOS 5D Mark IV"), QStringLiteral("1.0"),
                              QStringLiteral("○")}));
        const int d70 = findRow(cameras, QStringLiteral("Nikon"), QStringLiteral("NIKON D70"));
        QVERIFY(d70 >= 0);
        QCOMPARE(cameras->topLevelItem(d70)->text(2), QStringLiteral("1.5"));
        // Sigma's X3F cameras: the RAW engine does not develop X3F.
        const int sd10 = findRow(cameras, QStringLiteral("Sigma"), QStringLiteral("SIGMA SD10"));
        QVERIFY(sd10 >= 0);
        QCOMPARE(cameras->topLevelItem(sd10)->text(3), QStringLiteral("×"));
        // The reserved rows (fixed records, empty models) are not listed.
        for (int row = 0; row < cameras->topLevelItemCount(); ++row)
            QVERIFY(!cameras->topLevelItem(row)->text(1).isEmpty());
    }

    void rowsAreSortedByMakerThenNaturalName()
    {
        CameraLensDialog dialog(*m_cameras, *m_lenses);
        for (int tab = 0; tab < dialog.tabs()->count(); ++tab) {
            const QTreeWidget* list = dialog.list(tab);
            QVERIFY(list->topLevelItemCount() > 0);
            for (int row = 1; row < list->topLevelItemCount(); ++row) {
                const QTreeWidgetItem* a = list->topLevelItem(row - 1);
                const QTreeWidgetItem* b = list->topLevelItem(row);
                const int maker = CameraLensDialog::compareNatural(a->text(0).toStdU16String(),
                                                                   b->text(0).toStdU16String());
                QVERIFY2(maker < 0 || (maker == 0 && CameraLensDialog::compareNatural(
                                                         a->text(1).toStdU16String(), b->text(1).toStdU16String())
                                                         <= 0),
                         qPrintable(a->text(1) + QStringLiteral(" / ") + b->text(1)));
            }
        }
        // Numbers by value: the 5D before the 10D before the 40D.
        const QTreeWidget* cameras = dialog.list(0);
        const int fiveD = findRow(cameras, QStringLiteral("Canon"), QStringLiteral("Canon EOS 5D"));
        const int tenD = findRow(cameras, QStringLiteral("Canon"), QStringLiteral("Canon EOS 10D"));
        const int fortyD = findRow(cameras, QStringLiteral("Canon"), QStringLiteral("Canon EOS 40D"));
        QVERIFY(fiveD >= 0 && tenD >= 0 && fortyD >= 0);
        QVERIFY(fiveD < tenD && tenD < fortyD);
    }

    void naturalOrder()
    {
        QVERIFY(CameraLensDialog::compareNatural(u"EOS 5D", u"EOS 10D") < 0);
        QVERIFY(CameraLensDialog::compareNatural(u"E-M10", u"E-M5") > 0);
        QVERIFY(CameraLensDialog::compareNatural(u"nikon", u"Nikon") != 0);
        QVERIFY(CameraLensDialog::compareNatural(u"a", u"B") < 0); // letters case-folded
        QCOMPARE(CameraLensDialog::compareNatural(u"X100", u"X100"), 0);
        QVERIFY(CameraLensDialog::compareNatural(u"X100", u"X100F") < 0);
    }

    void lensTabsShowMakerAndName()
    {
        CameraLensDialog dialog(*m_cameras, *m_lenses);
        QCOMPARE(static_cast<std::size_t>(dialog.list(1)->topLevelItemCount()),
                 m_lenses->rowCount(qlx::metadata::LensTableId::Canon));
        QVERIFY(findRow(dialog.list(1), QStringLiteral("Canon"), QStringLiteral("Canon EF 24-105mm f/4L IS USM")) >= 0);
        QVERIFY(findRow(dialog.list(2), QStringLiteral("Nikon"), QStringLiteral("AF-S Nikkor 50mm f/1.4G")) >= 0);
        QVERIFY(findRow(dialog.list(5), QStringLiteral("Olympus"),
                        QStringLiteral("Olympus Zuiko Digital EC-14 1.4x Teleconverter"))
                >= 0);
        QVERIFY(findRow(dialog.list(6), QStringLiteral("Minolta"), QStringLiteral("Minolta AF 85mm F1.4G")) >= 0);
    }
};

QTEST_MAIN(CameraLensDialogTest)
#include "camera_lens_dialog_test.moc"
