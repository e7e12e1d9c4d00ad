// The placeholder picture and the Japanese font names of the settings.

#include "shell/startup_resources.h"

#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QtTest>

class StartupResourcesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void placeholderIsA640By480Png()
    {
        const QByteArray png = qlx::gui::makePlaceholderPicture();
        QVERIFY(png.startsWith("\x89PNG"));
        QImage image;
        QVERIFY(image.loadFromData(png, "PNG"));
        QCOMPARE(image.size(), QSize(640, 480));
    }

    void settingsFontNameResolvesToAJapaneseFace()
    {
        qlx::gui::installJapaneseFontSubstitutions();
        const QFont font(QStringLiteral("ＭＳ Ｐゴシック"), 12);
        const QFontInfo info(font);
        QVERIFY2(info.family().contains(QStringLiteral("CJK")) || info.family().contains(QStringLiteral("Gothic")),
                 qPrintable(info.family()));
        // The face has the glyphs of the labels.
        QVERIFY(QFontMetrics(font).inFontUcs4(U'写'));
    }
};

QTEST_MAIN(StartupResourcesTest)
#include "startup_resources_test.moc"
