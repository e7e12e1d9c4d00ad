#include "actions/action_keys.h"

#include "actions/action_kinds.h"
#include "actions/action_record.h"
#include "actions/action_runner.h"
#include "actions/action_texts.h"
#include "actions/builtin_functions.h"
#include "actions/target_keys.h"
#include "shell/message_box.h"
#include "shell/program_info.h"
#include "shell/settings_layout.h"
#include "shell/shared_state.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace qlx::gui {

namespace {

using actions::ActionKind;
using actions::KeyState;

constexpr int kActionSettingsPage = 8;

bool isTextInput(const QWidget* widget)
{
    if (!widget)
        return false;
    if (qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QTextEdit*>(widget)
        || qobject_cast<const QPlainTextEdit*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget))
        return true;
    const auto* combo = qobject_cast<const QComboBox*>(widget);
    return combo && combo->isEditable();
}

bool firesOnRepeat(const actions::ActionRecord& record)
{
    if (static_cast<ActionKind>(record.kind()) != ActionKind::KeyAssignment)
        return false;
    const actions::BuiltinFunction* function = actions::builtinFunction(record.function());
    return function && static_cast<actions::Repeat>(function->repeat) != actions::Repeat::OncePerPress;
}

} // namespace

ActionKeys::ActionKeys(Surroundings surroundings, QObject* parent) : QObject(parent), m_s(std::move(surroundings))
{
    qApp->installEventFilter(this);
}

ActionKeys::~ActionKeys()
{
    qApp->removeEventFilter(this);
}

bool ActionKeys::takesInput(QObject* watched) const
{
    // Only input meant for the main window itself, not for a dialog, a menu
    // or a box it opened, nor typing in one of its text fields.
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != &m_s.window)
        return false;
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget() || m_s.runner.running())
        return false;
    return !isTextInput(QApplication::focusWidget());
}

bool ActionKeys::eventFilter(QObject* watched, QEvent* event)
{
    std::optional<std::int32_t> key;
    bool autoRepeat = false;
    if (event->type() == QEvent::KeyPress) {
        const auto* press = static_cast<QKeyEvent*>(event);
        key = actions::targetKeyOfKey(press->key(), press->modifiers());
        autoRepeat = press->isAutoRepeat();
    } else if (event->type() == QEvent::MouseButtonPress) {
        key = actions::targetKeyOfButton(static_cast<QMouseEvent*>(event)->button());
    } else {
        return false;
    }
    if (!key || !takesInput(watched))
        return false;
    return press(*key, autoRepeat);
}

bool ActionKeys::press(std::int32_t key, bool autoRepeat)
{
    actions::ActionTable table(m_s.state.settings);
    const bool listMode = m_s.runner.listIsTarget();
    // The settings may reorder the actions; the key is looked up again after
    // them.
    for (;;) {
        const auto position = table.findKey(key);
        if (!position || !table.at(*position).enabled())
            return false;
        const actions::ActionRecord record = table.at(*position);
        if (autoRepeat && !firesOnRepeat(record))
            return true;
        const auto kind = static_cast<ActionKind>(record.kind());
        const actions::BuiltinFunction* function = actions::builtinFunction(record.function());
        if (!m_s.imageTargeted() && !(kind == ActionKind::KeyAssignment && function && function->withoutTarget))
            return true;
        switch (confirm(*position)) {
        case Confirmation::Stop:
            return true;
        case Confirmation::SettingsOpened:
            continue;
        case Confirmation::Run:
            break;
        }
        const actions::ActionKindInfo* info = actions::actionKind(record.kind());
        if (info && info->pathAtRunTime && record.pathAtRunTime() && !m_s.askRunTimePath(*position))
            return true;
        if (kind == ActionKind::KeyAssignment)
            m_s.runFunction(record.function());
        else
            m_s.runner.run(*position, listMode);
        return true;
    }
}

ActionKeys::Confirmation ActionKeys::confirm(std::size_t position)
{
    settings::SettingsRecord& settings = m_s.state.settings;
    const actions::ActionRecord record = actions::ActionTable(settings).at(position);
    const bool keyAssignment = static_cast<ActionKind>(record.kind()) == ActionKind::KeyAssignment;
    if (settings.get(settings::kConfirmFirstUse) != 1
        || (keyAssignment && settings.get(settings::kNoConfirmForKeyAssign) == 1))
        return Confirmation::Run;
    const auto key = static_cast<std::size_t>(record.key());
    if (key >= m_s.state.keyStates.size() || m_s.state.keyStates[key] == KeyState::Confirmed)
        return Confirmation::Run;
    const bool reask = settings.get(settings::kReaskAfterCancel) == 1;
    const std::u16string text = actions::firstUseQuestion(record, settings, m_s.state.keyStates[key], reask);
    if (!reask)
        m_s.state.keyStates[key] = KeyState::Confirmed;
    switch (askWithSettings(shell::kProductName, text, &m_s.window)) {
    case SettingsAnswer::CheckSettings:
        m_s.openSettings(kActionSettingsPage);
        return Confirmation::SettingsOpened;
    case SettingsAnswer::No:
        return Confirmation::Stop;
    case SettingsAnswer::Yes:
        break;
    }
    m_s.state.keyStates[key] = KeyState::Confirmed;
    return Confirmation::Run;
}

} // namespace qlx::gui
