#include "viewer/video_control_bar.h"

#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>

namespace qlx::gui {
namespace {

constexpr int kTop = 3;
constexpr int kRowHeight = 17;
constexpr int kButtonWidth = 12;
constexpr int kLabelWidth = 40;

struct ButtonRow {
    viewer::VideoControl control;
    const char16_t* label;
};
// In their order along the bar.
constexpr ButtonRow kButtonRows[] = {
    {viewer::VideoControl::Shrink, u"-"},  {viewer::VideoControl::Enlarge, u"+"},
    {viewer::VideoControl::Pause, u"▲"},   {viewer::VideoControl::Play, u"||"},
    {viewer::VideoControl::Leave, u"⇔"},
};

} // namespace

VideoControlBar::VideoControlBar(QWidget* parent) : QWidget(parent)
{
    setFixedHeight(kHeight);
    // "0:00:00" has to fit the 40-pixel labels and a button's text its 12 pixels.
    QFont small = font();
    small.setPixelSize(10);
    setFont(small);
    for (std::size_t i = 0; i < std::size(kButtonRows); ++i) {
        auto* button = new QToolButton(this);
        button->setText(QString::fromUtf16(kButtonRows[i].label));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        const viewer::VideoControl control = kButtonRows[i].control;
        connect(button, &QToolButton::clicked, this, [this, control] { Q_EMIT controlClicked(control); });
        m_buttons[i] = button;
    }
    m_elapsed = new QLabel(QStringLiteral("01:01:01"), this);
    m_total = new QLabel(QStringLiteral("01:01:01"), this);
    for (QLabel* label : {m_elapsed, m_total})
        label->setAlignment(Qt::AlignCenter);
    m_position = new QSlider(Qt::Horizontal, this);
    m_position->setFocusPolicy(Qt::NoFocus);
    m_volumeIcon = new QLabel(QStringLiteral("♪"), this);
    m_volume = new QSlider(Qt::Horizontal, this);
    m_volume->setFocusPolicy(Qt::NoFocus);
    m_volume->setRange(viewer::kSilentVolume, 0);
    m_volume->setValue(0);

    connect(m_position, &QSlider::sliderPressed, this, [this] {
        m_seeking = true;
        Q_EMIT seekStarted();
    });
    connect(m_position, &QSlider::sliderMoved, this,
            [this](int value) { Q_EMIT seekMoved(m_scale.secondsOf(value)); });
    connect(m_position, &QSlider::sliderReleased, this, [this] {
        Q_EMIT seekEnded(m_scale.secondsOf(m_position->value()));
        m_seeking = false;
    });
    // A click beside the thumb pages the slider: a seek of its own.
    connect(m_position, &QSlider::valueChanged, this, [this](int value) {
        if (m_position->isSliderDown())
            return;
        m_seeking = true;
        Q_EMIT seekStarted();
        Q_EMIT seekEnded(m_scale.secondsOf(value));
        m_seeking = false;
    });
    connect(m_volume, &QSlider::valueChanged, this, [this](int level) { Q_EMIT volumeChosen(level); });
    showLength(0);
}

QToolButton* VideoControlBar::button(viewer::VideoControl control) const
{
    for (std::size_t i = 0; i < std::size(kButtonRows); ++i)
        if (kButtonRows[i].control == control)
            return m_buttons[i];
    return nullptr;
}

void VideoControlBar::setTextIfChanged(QLabel& label, const QString& text)
{
    if (label.text() != text)
        label.setText(text);
}

void VideoControlBar::showLength(int lengthSeconds)
{
    m_scale = viewer::sliderScale(lengthSeconds);
    const QSignalBlocker blocker(m_position);
    m_position->setRange(0, m_scale.maximum);
    m_position->setPageStep(std::max(1, m_scale.maximum / 10));
    m_position->setEnabled(m_scale.enabled);
    setTextIfChanged(*m_total, QString::fromStdString(viewer::timeLabel(lengthSeconds)));
}

void VideoControlBar::showPosition(double seconds)
{
    setTextIfChanged(*m_elapsed, QString::fromStdString(viewer::timeLabel(seconds)));
    if (m_seeking || m_position->isSliderDown())
        return;
    const QSignalBlocker blocker(m_position);
    m_position->setValue(m_scale.positionOf(seconds));
}

void VideoControlBar::showVolume(int level)
{
    const QSignalBlocker blocker(m_volume);
    m_volume->setValue(std::clamp(level, viewer::kSilentVolume, 0));
}

void VideoControlBar::resizeEvent(QResizeEvent*)
{
    const int w = width();
    for (std::size_t i = 0; i < std::size(kButtonRows); ++i)
        m_buttons[i]->setGeometry(static_cast<int>(i) * kButtonWidth, kTop, kButtonWidth, kRowHeight);
    m_elapsed->setGeometry(static_cast<int>(std::size(kButtonRows)) * kButtonWidth, kTop, kLabelWidth, kRowHeight);
    m_position->setGeometry(102, kTop, std::max(0, w - 249), kRowHeight);
    m_total->setGeometry(w - 149, kTop, kLabelWidth, kRowHeight);
    m_volumeIcon->setGeometry(w - 105, kTop, 14, 14);
    m_volume->setGeometry(w - 91, kTop, 91, kRowHeight);
}

} // namespace qlx::gui
