#include "shell/message_box.h"

#include "shell/shell_messages.h"
#include "shell/qt_text.h"

#include <QAbstractButton>
#include <QPushButton>

#include <QFile>

namespace qlx::gui {

namespace {

QString escapedForLog(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else
            out += c;
    }
    return out;
}

// The test hook described in the header. Failure to write is ignored: the
// box itself is what the user sees.
void appendToMessageLog(const QString& caption, const QString& text)
{
    const QString logPath = qEnvironmentVariable("QLX_MESSAGE_LOG");
    if (logPath.isEmpty())
        return;
    QFile log(logPath);
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    log.write((messageLogLine(caption, text) + u'\n').toUtf8());
}

} // namespace

QString messageLogLine(const QString& caption, const QString& text)
{
    return escapedForLog(caption) + u'\t' + escapedForLog(text);
}

void showErrorBox(std::u16string_view caption, std::u16string_view text, QWidget* parent)
{
    QMessageBox box(QMessageBox::Critical, toQString(caption), toQString(text), QMessageBox::Ok, parent);
    box.setDefaultButton(QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText(toQString(shell::messages::kButtonOk));
    appendToMessageLog(box.windowTitle(), box.text());
    box.exec();
}

bool askYesNo(std::u16string_view caption, std::u16string_view text, QWidget* parent, bool topmost)
{
    QMessageBox box(QMessageBox::Question, toQString(caption), toQString(text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    // The user interface is Japanese whatever the desktop's language.
    box.button(QMessageBox::Yes)->setText(toQString(shell::messages::kButtonYes));
    box.button(QMessageBox::No)->setText(toQString(shell::messages::kButtonNo));
    if (topmost)
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    appendToMessageLog(box.windowTitle(), box.text());
    return box.exec() == QMessageBox::Yes;
}

void showWarningBox(std::u16string_view caption, std::u16string_view text, QWidget* parent)
{
    QMessageBox box(QMessageBox::Warning, toQString(caption), toQString(text), QMessageBox::Ok, parent);
    box.setDefaultButton(QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText(toQString(shell::messages::kButtonOk));
    appendToMessageLog(box.windowTitle(), box.text());
    box.exec();
}

void showInformationBox(std::u16string_view caption, std::u16string_view text, QWidget* parent)
{
    QMessageBox box(QMessageBox::Information, toQString(caption), toQString(text), QMessageBox::Ok, parent);
    box.setDefaultButton(QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText(toQString(shell::messages::kButtonOk));
    appendToMessageLog(box.windowTitle(), box.text());
    box.exec();
}

SettingsAnswer askWithSettings(std::u16string_view caption, std::u16string_view text, QWidget* parent,
                               bool settingsButton)
{
    QMessageBox box(QMessageBox::Question, toQString(caption), toQString(text), QMessageBox::NoButton, parent);
    QAbstractButton* settings = settingsButton
                                    ? box.addButton(toQString(shell::messages::kButtonCheckSettings),
                                                    QMessageBox::ActionRole)
                                    : nullptr;
    QAbstractButton* yes = box.addButton(toQString(shell::messages::kButtonYes), QMessageBox::YesRole);
    QPushButton* no = box.addButton(toQString(shell::messages::kButtonNo), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    appendToMessageLog(box.windowTitle(), box.text());
    box.exec();
    if (settings != nullptr && box.clickedButton() == settings)
        return SettingsAnswer::CheckSettings;
    if (box.clickedButton() == yes)
        return SettingsAnswer::Yes;
    return SettingsAnswer::No;
}

} // namespace qlx::gui
