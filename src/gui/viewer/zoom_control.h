#pragma once
// The zoom state the view panes share: whether the view is zoomed and by
// which trigger, the zoom level, where the pointer is, the brightness
// adjustment, and the two modes the user switches (latched zoom, loupe).
//
// Three triggers zoom: Ctrl or Alt (normal factor), Shift (the factor
// doubled) and the left mouse button held in a pane. Held, each zooms while
// it is down; with latched zoom (settings 119829) a press toggles the zoom
// instead, and while the zoom is latched on the pointer drags the picture.
// A key trigger going down resets the zoom offset; the base level returns
// to 10 when the zoom ends. The keypad's "+" and "−" change the brightness
// by 16 when neither Ctrl nor Shift nor the button is down, else the zoom
// offset by one; keypad "*" resets the brightness.
//
// Keys come from an application event filter that watches the window's
// widgets (text fields excepted), so the triggers work whichever pane has
// the focus. When the window is deactivated every trigger counts as
// released, so a key let go elsewhere never leaves the view zoomed.
// Commands 227 (latched zoom) and 206 (loupe) switch the modes, keep them
// in the settings and set the tool box's "/" and "_" buttons' labels.
//
// Thread model: user-interface thread only.

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <cstdint>
#include <vector>

class QKeyEvent;
class QWidget;

namespace qlx::settings {
class SettingsRecord;
}

namespace qlx::gui {

class ImageView;
class MenuBuilder;

class ZoomControl : public QObject {
    Q_OBJECT
public:
    enum class Trigger : std::uint8_t { None, Key, DoublingKey, Button };

    static constexpr int kLatchedZoomCommand = 227;
    static constexpr int kLoupeCommand = 206;

    // `window` is the window whose keys zoom; the modes start as the
    // settings keep them.
    ZoomControl(QWidget& window, settings::SettingsRecord& settings, MenuBuilder& menus,
                QObject* parent = nullptr);
    ~ZoomControl() override;

    bool isActive() const { return m_active; }
    Trigger activeTrigger() const { return m_active ? m_trigger : Trigger::None; }
    int level() const;
    // Shift is the trigger in force.
    bool doubled() const { return activeTrigger() == Trigger::DoublingKey; }
    double factor() const;
    // The pointer moves the picture: the button zooms, or the zoom is latched on.
    bool dragging() const { return m_active && (m_trigger == Trigger::Button || m_latched); }
    int brightness() const { return m_brightness; }
    bool latched() const { return m_latched; }
    bool loupe() const { return m_loupe; }
    // The pointer in pane coordinates, the same for every pane: the point
    // the zoom opens around and the loupe's centre.
    QPoint pointer() const { return m_pointer; }
    // The pane under the pointer when the zoom turned on; null when none was.
    ImageView* zoomPane() const { return m_zoomPane; }

    void changeOffset(int delta);
    void setLatched(bool on);
    void setLoupe(bool on);
    // Commands 227 and 206; false for any other command.
    bool runCommand(int command);

    // From the panes.
    void addView(ImageView& view);
    void pointerMoved(ImageView& view, QPoint at);
    void buttonPressed(ImageView& view, QPoint at);
    void buttonReleased();
    // Every trigger let go: the window lost the focus.
    void releaseAll();

Q_SIGNALS:
    // The zoom turned on (the pointer is where it opens) or off.
    void zoomChanged(bool on);
    // The pointer starts dragging a zoom that was already on.
    void dragStarted();
    // The level, the factor, the brightness or a mode changed.
    void viewChanged();
    // The pointer moved while the picture follows it (drag or loupe).
    void pointerChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What a latched key toggled, undone when the key turns out to be the
    // modifier of another key (Shift for "_", Ctrl for a shortcut).
    struct Toggle {
        Trigger trigger = Trigger::None;
        bool wasActive = false;
        Trigger previous = Trigger::None;
        int offset = 0;
    };
    struct Snapshot {
        bool active;
        bool dragging;
    };

    bool keyEvent(QKeyEvent& event);
    void keyHeld(int key, bool down);
    void keypad(int key, Qt::KeyboardModifiers modifiers);
    void press(Trigger trigger);
    void release(Trigger trigger);
    bool held(Trigger trigger) const;
    void turn(bool on);
    void takePaneUnderCursor();
    Snapshot snapshot() const { return {m_active, dragging()}; }
    void settle(Snapshot before);

    QWidget& m_window;
    settings::SettingsRecord& m_settings;
    MenuBuilder& m_menus;
    std::vector<QPointer<ImageView>> m_views;

    bool m_control = false;
    bool m_alt = false;
    bool m_shift = false;
    bool m_button = false;
    bool m_active = false;
    Trigger m_trigger = Trigger::None;
    Toggle m_toggle;
    int m_base;
    int m_offset = 0;
    int m_brightness = 0;
    bool m_latched;
    bool m_loupe;
    QPoint m_pointer;
    QPointer<ImageView> m_zoomPane;
};

} // namespace qlx::gui
