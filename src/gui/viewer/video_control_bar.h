#pragma once
// The strip under the views while the current entry is a video: the
// buttons "-", "+", "▲", "||", "⇔", the elapsed time, the position slider,
// the total time, the volume icon and the volume slider, placed on every
// resize at the fixed offsets from the right edge that keep the position
// slider as wide as the window allows. It shows what it is told and
// reports what the user does; the video controller decides.
//
// Thread model: user-interface thread only.

#include "viewer/video_slots.h"

#include <QWidget>

class QLabel;
class QSlider;
class QToolButton;

namespace qlx::gui {

class VideoControlBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 23;

    explicit VideoControlBar(QWidget* parent = nullptr);

    // The current entry's length and position; the labels change only when
    // their text does, the slider not while the user holds it.
    void showLength(int lengthSeconds);
    void showPosition(double seconds);
    void showVolume(int level);

    bool seeking() const { return m_seeking; }
    const QLabel& elapsedLabel() const { return *m_elapsed; }
    const QLabel& totalLabel() const { return *m_total; }
    QSlider& positionSlider() const { return *m_position; }
    QSlider& volumeSlider() const { return *m_volume; }
    QToolButton* button(viewer::VideoControl control) const;

Q_SIGNALS:
    void controlClicked(viewer::VideoControl control);
    // The user takes hold of the position slider, moves it, lets it go.
    void seekStarted();
    void seekMoved(double seconds);
    void seekEnded(double seconds);
    void volumeChosen(int level);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    static void setTextIfChanged(QLabel& label, const QString& text);

    QToolButton* m_buttons[5]{};
    QLabel* m_elapsed = nullptr;
    QLabel* m_total = nullptr;
    QSlider* m_position = nullptr;
    QLabel* m_volumeIcon = nullptr;
    QSlider* m_volume = nullptr;
    viewer::SliderScale m_scale;
    bool m_seeking = false;
};

} // namespace qlx::gui
