// The program on a desktop that is not Japanese: here a German one, whose
// numbers have decimal commas (Debian's locales-all provides de_DE.UTF-8).
// The numbers of the metadata texts and the sort keys keep their points,
// and Qt's own texts are Japanese like the rest of the window.

#include "shell/application.h"

#include "containers/metadata_pass.h"
#include "imagelist/sort_order.h"
#include "io/file_source.h"
#include "support/container_bytes.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include <clocale>

using namespace qlx;

class DesktopLocaleTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (QByteArray(std::setlocale(LC_NUMERIC, nullptr)) != "de_DE.UTF-8")
            QSKIP("the de_DE.UTF-8 locale is not installed (Debian's locales-all)");
        m_application = std::make_unique<gui::Application>(std::nullopt, gui::StartupOptions{});
    }

    // FNumber 28/10, ExposureTime 10/25 and ExposureBias 7/10 as the Exif
    // rules write them; "F2.8" sorts as 280.
    void numbersKeepTheirDecimalPoints()
    {
        test::TiffBuilder tiff(io::ByteOrder::Little);
        const std::uint32_t exif = tiff.directory(
            {test::rational(0x829A, 10, 25), test::rational(0x829D, 28, 10), test::srational(0x9204, 7, 10)});
        tiff.setIfd0(tiff.directory({test::ascii(0x0110, "Cam"), test::link(0x8769, exif)}));
        const std::string file = test::jpegFile(test::exifSegment(tiff.bytes()));
        io::MemorySource source(test::bytesOf(file));
        const std::string text(containers::readMetadata(source, u"/t/a.jpg").text.bytes());
        for (const char* line : {"\nExposureTime\t1/2.5\n", "\nFNumber\tF2.8\n", "\nExposureBias\t+0.7\n"})
            QVERIFY2(text.find(line) != std::string::npos, (line + text).c_str());
        QCOMPARE(imagelist::sortKey(12, u"F2.8"), u"0000000280");
    }

    // The texts of Debian's qtbase_ja.qm (lconvert -i qtbase_ja.qm -o .ts).
    void qtTextsAreJapanese()
    {
        QLineEdit edit;
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QCOMPARE(menu->actions().first()->text().section(u'\t', 0, 0), QStringLiteral("元に戻す(&U)")); // \tCtrl+Z
        QDialogButtonBox buttons(QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
    }

private:
    std::unique_ptr<gui::Application> m_application;
};

int main(int argc, char** argv)
{
    qputenv("LC_ALL", "de_DE.UTF-8");
    QApplication application(argc, argv);
    DesktopLocaleTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "desktop_locale_test.moc"
