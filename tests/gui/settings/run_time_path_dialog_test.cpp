// The run-time path dialog as the key scan will open it: its caption, its
// preset, the checks of "OK" with their messages, and what it keeps.

#include "gui/shell/shell_test_support.h"

#include "actions/action_record.h"
#include "settings/run_time_path_dialog.h"
#include "shell/settings_record.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

using namespace qlx;

class RunTimePathDialogTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void okKeepsTheCheckedFolder()
    {
        auto settings = std::make_unique<settings::SettingsRecord>();
        actions::ActionRecord record = *actions::ActionTable(*settings).append();
        record.setKey(4);
        record.setKind(3);
        record.setPath(u"photo/");
        record.setPathAtRunTime(true);
        gui::RunTimePathDialog dialog(record);
        QCOMPARE(dialog.captionLine()->text(), QStringLiteral("Aキー　[ コピー ]　アクションのコピー先フォルダを入力してください。"));
        QCOMPARE(dialog.pathEdit()->text(), QStringLiteral("photo/"));
        test::MessageBoxWatcher boxes(QMessageBox::Ok);
        int step = 0;
        QTimer driver;
        driver.callOnTimeout([&] {
            if (QApplication::activeModalWidget() != &dialog)
                return;
            if (step == 0) { // a leading backslash: refused, the dialog stays
                dialog.pathEdit()->clear();
                QTest::keyClicks(dialog.pathEdit(), "\\keep");
                QTimer::singleShot(0, &dialog, [&] { QTest::mouseClick(dialog.okButton(), Qt::LeftButton); });
            } else if (step == 1 && boxes.boxes().size() == 1) {
                dialog.pathEdit()->clear();
                QTest::keyClicks(dialog.pathEdit(), "keep");
                QTest::mouseClick(dialog.keepBox(), Qt::LeftButton);
                QTimer::singleShot(0, &dialog, [&] { QTest::mouseClick(dialog.okButton(), Qt::LeftButton); });
            } else {
                return;
            }
            ++step;
        });
        driver.start(5);
        QCOMPARE(dialog.exec(), 1);
        QCOMPARE(boxes.boxes().size(), 1u);
        QCOMPARE(boxes.boxes().front().text, QStringLiteral("フォルダ名が不正です。\n相対パスにする場合先頭に'\\'は必要ありません。"));
        QCOMPARE(QString::fromStdU16String(record.path()), QStringLiteral("keep/"));
        QVERIFY(!record.pathAtRunTime());
    }

    void closingAnswersZero()
    {
        auto settings = std::make_unique<settings::SettingsRecord>();
        actions::ActionRecord record = *actions::ActionTable(*settings).append();
        record.setKey(5);
        record.setKind(9);
        record.setPath(u"/thumbs/");
        record.setPathAtRunTime(true);
        gui::RunTimePathDialog dialog(record);
        QCOMPARE(dialog.captionLine()->text(), QStringLiteral("Bキー　[ サムネイル保存 ]　アクションの保存先フォルダを入力してください。"));
        QTimer::singleShot(0, &dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Escape); });
        QCOMPARE(dialog.exec(), 0);
        QCOMPARE(QString::fromStdU16String(record.path()), QStringLiteral("/thumbs/"));
        QVERIFY(record.pathAtRunTime());
    }
};

QTEST_MAIN(RunTimePathDialogTest)
#include "run_time_path_dialog_test.moc"
