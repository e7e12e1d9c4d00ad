#include "viewer/zoom_control.h"

#include "shell/menu_builder.h"
#include "shell/settings_layout.h"
#include "shell/settings_record.h"
#include "viewer/image_view.h"
#include "viewer/view_geometry.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>

#include <algorithm>

namespace qlx::gui {
namespace {

ZoomControl::Trigger triggerOfKey(int key)
{
    switch (key) {
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
        return ZoomControl::Trigger::Key;
    case Qt::Key_Shift:
        return ZoomControl::Trigger::DoublingKey;
    default:
        return ZoomControl::Trigger::None;
    }
}

// Keys that only ever accompany another key: none of them makes a latched
// trigger a chord.
bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return true;
    default:
        return false;
    }
}

bool isKeypadZoomKey(const QKeyEvent& event)
{
    const int key = event.key();
    return event.modifiers().testFlag(Qt::KeypadModifier)
           && (key == Qt::Key_Plus || key == Qt::Key_Minus || key == Qt::Key_Asterisk);
}

} // namespace

ZoomControl::ZoomControl(QWidget& window, settings::SettingsRecord& settings, MenuBuilder& menus, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_settings(settings)
    , m_menus(menus)
    , m_base(viewer::kZoomBaseLevel)
    , m_latched(settings.get(settings::kLatchedZoom) != 0)
    , m_loupe(settings.get(settings::kLoupeMode) != 0)
{
    m_menus.setToolButtonState(shell::ToolKey::Slash, m_latched);
    m_menus.setToolButtonState(shell::ToolKey::Underscore, m_loupe);
    qApp->installEventFilter(this);
}

ZoomControl::~ZoomControl()
{
    qApp->removeEventFilter(this);
}

int ZoomControl::level() const
{
    return viewer::zoomLevel(m_base, m_offset);
}

double ZoomControl::factor() const
{
    return viewer::zoomFactor(level(), doubled());
}

void ZoomControl::changeOffset(int delta)
{
    m_offset = viewer::limitZoomOffset(m_base, m_offset + delta);
    Q_EMIT viewChanged();
}

void ZoomControl::setLatched(bool on)
{
    const Snapshot before = snapshot();
    m_latched = on;
    m_settings.set(settings::kLatchedZoom, static_cast<std::uint8_t>(on ? 1 : 0));
    m_menus.setToolButtonState(shell::ToolKey::Slash, on);
    // Held again: a zoom nothing holds ends.
    if (!on && m_active && !m_control && !m_alt && !m_shift && !m_button)
        turn(false);
    settle(before);
}

void ZoomControl::setLoupe(bool on)
{
    m_loupe = on;
    m_settings.set(settings::kLoupeMode, static_cast<std::uint8_t>(on ? 1 : 0));
    m_menus.setToolButtonState(shell::ToolKey::Underscore, on);
    Q_EMIT viewChanged();
}

bool ZoomControl::runCommand(int command)
{
    if (command == kLatchedZoomCommand)
        setLatched(!m_latched);
    else if (command == kLoupeCommand)
        setLoupe(!m_loupe);
    else
        return false;
    return true;
}

void ZoomControl::addView(ImageView& view)
{
    m_views.emplace_back(&view);
}

void ZoomControl::pointerMoved(ImageView& view, QPoint at)
{
    if (!m_button && m_zoomPane && m_zoomPane != &view && m_active)
        return; // another pane's pointer does not move a zoom opened elsewhere
    m_pointer = at;
    if (m_active && (dragging() || m_loupe))
        Q_EMIT pointerChanged();
}

void ZoomControl::buttonPressed(ImageView& view, QPoint at)
{
    if (m_button)
        return;
    m_button = true;
    m_pointer = at;
    if (!m_active)
        m_zoomPane = &view;
    press(Trigger::Button);
}

void ZoomControl::buttonReleased()
{
    if (!m_button)
        return;
    m_button = false;
    release(Trigger::Button);
}

void ZoomControl::releaseAll()
{
    const Snapshot before = snapshot();
    m_control = m_alt = m_shift = m_button = false;
    m_toggle = {};
    if (!m_latched && m_active)
        turn(false);
    settle(before);
}

bool ZoomControl::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride: {
        if (!watched->isWidgetType())
            break;
        const auto* widget = static_cast<QWidget*>(watched);
        // Text fields keep their keys: Ctrl+V and "+" there are typing.
        if (widget->window() != &m_window || widget->testAttribute(Qt::WA_InputMethodEnabled))
            break;
        return keyEvent(*static_cast<QKeyEvent*>(event));
    }
    case QEvent::WindowDeactivate:
        if (watched == &m_window)
            releaseAll();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool ZoomControl::keyEvent(QKeyEvent& event)
{
    const int key = event.key();
    if (triggerOfKey(key) != Trigger::None) {
        // A key press unanswered by a widget travels up to its parents and
        // passes here again; the held state makes that harmless.
        if (event.type() != QEvent::ShortcutOverride && !event.isAutoRepeat())
            keyHeld(key, event.type() == QEvent::KeyPress);
        return false;
    }
    if (isKeypadZoomKey(event)) {
        // Taken before any shortcut or widget sees it.
        if (event.type() == QEvent::ShortcutOverride)
            event.accept();
        else if (event.type() == QEvent::KeyPress)
            keypad(key, event.modifiers());
        return true;
    }
    if (event.type() != QEvent::KeyRelease && !isModifierKey(key) && m_toggle.trigger != Trigger::None) {
        // The latched key was the modifier of this one: undo what it toggled.
        const Snapshot before = snapshot();
        m_offset = m_toggle.offset;
        m_trigger = m_toggle.previous;
        if (m_toggle.wasActive != m_active)
            turn(m_toggle.wasActive);
        m_toggle = {};
        settle(before);
    }
    return false;
}

void ZoomControl::keyHeld(int key, bool down)
{
    bool& state = key == Qt::Key_Shift ? m_shift : key == Qt::Key_Control ? m_control : m_alt;
    if (state == down)
        return;
    const Trigger trigger = triggerOfKey(key);
    const bool wasHeld = held(trigger);
    state = down;
    if (down && !wasHeld)
        press(trigger);
    else if (!down && !held(trigger))
        release(trigger);
}

void ZoomControl::keypad(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_Asterisk) {
        m_brightness = 0;
        Q_EMIT viewChanged();
        return;
    }
    const int direction = key == Qt::Key_Plus ? 1 : -1;
    const bool zoomKeys = m_control || m_shift || m_button
                          || (modifiers & (Qt::ControlModifier | Qt::ShiftModifier)) != Qt::NoModifier;
    if (zoomKeys) {
        changeOffset(direction);
        return;
    }
    m_brightness = viewer::stepBrightness(m_brightness, direction);
    Q_EMIT viewChanged();
}

bool ZoomControl::held(Trigger trigger) const
{
    switch (trigger) {
    case Trigger::Key:
        return m_control || m_alt;
    case Trigger::DoublingKey:
        return m_shift;
    case Trigger::Button:
        return m_button;
    case Trigger::None:
        break;
    }
    return false;
}

void ZoomControl::press(Trigger trigger)
{
    const Snapshot before = snapshot();
    const Toggle undo{trigger, m_active, m_trigger, m_offset};
    if (trigger != Trigger::Button)
        m_offset = 0;
    if (!m_latched) {
        m_trigger = trigger;
        turn(true);
    } else if (!m_active) {
        m_trigger = trigger;
        turn(true);
    } else if (trigger != m_trigger && trigger != Trigger::Button && m_trigger != Trigger::Button) {
        // Latched on: the other key switches between normal and doubled.
        m_trigger = trigger;
    } else {
        turn(false);
    }
    m_toggle = m_latched && trigger != Trigger::Button ? undo : Toggle{};
    settle(before);
}

void ZoomControl::release(Trigger trigger)
{
    if (m_toggle.trigger == trigger)
        m_toggle = {};
    if (m_latched || !m_active)
        return;
    const Snapshot before = snapshot();
    if (!held(Trigger::Key) && !held(Trigger::DoublingKey) && !held(Trigger::Button)) {
        turn(false);
    } else if (trigger == m_trigger) {
        // The trigger still held the longest takes over.
        for (const Trigger next : {Trigger::Key, Trigger::DoublingKey, Trigger::Button}) {
            if (held(next)) {
                m_trigger = next;
                break;
            }
        }
    }
    settle(before);
}

void ZoomControl::turn(bool on)
{
    if (on == m_active)
        return;
    m_active = on;
    if (on) {
        takePaneUnderCursor();
    } else {
        m_base = viewer::kZoomBaseLevel;
        m_zoomPane = nullptr;
    }
}

void ZoomControl::takePaneUnderCursor()
{
    if (m_button)
        return; // the pane pressed is the zoom pane, the press its point
    const QPoint cursor = QCursor::pos();
    for (const QPointer<ImageView>& view : m_views) {
        if (!view || !view->isVisible())
            continue;
        const QPoint local = view->mapFromGlobal(cursor);
        if (view->rect().contains(local)) {
            m_zoomPane = view;
            m_pointer = local;
            return;
        }
    }
    // Not over a pane: the zoom opens where the pointer last was.
    m_zoomPane = nullptr;
}

void ZoomControl::settle(Snapshot before)
{
    if (before.active != m_active)
        Q_EMIT zoomChanged(m_active);
    else if (m_active && dragging() && !before.dragging)
        Q_EMIT dragStarted();
    Q_EMIT viewChanged();
}

} // namespace qlx::gui
