#pragma once
// Every message box of the program opens through these helpers, so that the
// texts, captions, icons and default buttons of the program's boxes are
// chosen in one place: failures are modal boxes with an OK button; questions
// are Yes/No boxes whose second button (No) is the default.
//
// Test hook: when the environment variable QLX_MESSAGE_LOG names a file,
// every box appends one line "caption<TAB>text" to it just before it opens
// (in the text a line break is written as \n, a tab as \t and a backslash as
// \\). The program never reads the variable otherwise and writes no log of
// its own; the hook only lets tests that run the real program see which box
// it is showing.

#include <QMessageBox>

#include <string_view>

class QWidget;

namespace qlx::gui {

// A failure: error icon, OK button; `parent` may be null (before the main
// window exists the boxes have no owner).
void showErrorBox(std::u16string_view caption, std::u16string_view text, QWidget* parent = nullptr);

// A question with Yes and No, No as the default button and the question
// icon. `topmost` keeps the box above every other window. True for Yes.
bool askYesNo(std::u16string_view caption, std::u16string_view text, QWidget* parent = nullptr,
              bool topmost = false);

// A warning: warning icon, OK button.
void showWarningBox(std::u16string_view caption, std::u16string_view text, QWidget* parent = nullptr);

// A notice: information icon, OK button.
void showInformationBox(std::u16string_view caption, std::u16string_view text, QWidget* parent = nullptr);

// The question with a way into the settings: three buttons reading
// "設定確認(&E)" (check the settings), "はい(&Y)" and "いいえ(&N)", the
// third the default, question icon, above every other window. Without
// `settingsButton` (the settings page it would open is not there) the box
// has the last two buttons alone.
enum class SettingsAnswer { CheckSettings, Yes, No };
SettingsAnswer askWithSettings(std::u16string_view caption, std::u16string_view text, QWidget* parent = nullptr,
                               bool settingsButton = true);

// The line the test hook writes for a box (without the line feed).
QString messageLogLine(const QString& caption, const QString& text);

} // namespace qlx::gui
