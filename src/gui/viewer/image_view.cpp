#include "viewer/image_view.h"

#include "shell/qt_text.h"

#include <QKeyEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTransform>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cstddef>

namespace qlx::gui {
namespace {

// Keys that browse while the view has the focus. The arrows are the
// previous/next keys of the key functions; BackSpace goes back as well.
// PageUp and PageDown move the view focus and Space changes the display
// type: those belong to the main window and pass through.
struct StepKey {
    int key;
    int delta;
};
constexpr std::array<StepKey, 5> kStepKeys{{
    {Qt::Key_Left, -1},
    {Qt::Key_Up, -1},
    {Qt::Key_Backspace, -1},
    {Qt::Key_Right, +1},
    {Qt::Key_Down, +1},
}};

// The overlay texts keep this far from the pane's edges, as the histogram
// keeps 10 pixels from the right and bottom edges.
constexpr int kOverlayMargin = 10;
// The first overlay size is for the centred texts and the file line, the
// second for the longer shooting-data lines.
constexpr int kFileLineFont = 0;
constexpr int kInfoTextFont = 1;

int stepOfKey(const QKeyEvent& event)
{
    // With NumLock off the keypad's 2, 4, 6 and 8 arrive as arrows; they
    // scroll the zoomed picture, they do not browse.
    if (event.modifiers().testFlag(Qt::KeypadModifier))
        return 0;
    for (const StepKey& k : kStepKeys) {
        if (k.key == event.key())
            return k.delta;
    }
    return 0;
}

} // namespace

const QImage& ImageView::TurnedCopy::of(const QImage& source, int quarterTurns)
{
    if (quarterTurns % 4 == 0)
        return source;
    if (key != source.cacheKey() || turns != quarterTurns) {
        image = source.transformed(QTransform().rotate(90.0 * quarterTurns));
        key = source.cacheKey();
        turns = quarterTurns;
    }
    return image;
}

const QImage& ImageView::ScaledCopy::of(const QImage& source, QSize drawnSize, bool smoothly)
{
    if (source.size() == drawnSize)
        return source;
    if (key != source.cacheKey() || size != drawnSize || smooth != smoothly) {
        image = source.scaled(drawnSize, Qt::IgnoreAspectRatio,
                              smoothly ? Qt::SmoothTransformation : Qt::FastTransformation);
        key = source.cacheKey();
        size = drawnSize;
        smooth = smoothly;
    }
    return image;
}

ImageView::ImageView(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    // Every pixel is painted on each paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ImageView::setSettings(const viewer::ViewSettings& settings)
{
    m_settings = settings;
    update();
}

void ImageView::showSubject(const ViewSubject& subject)
{
    if (!subject.samePicture(m_subject)) {
        m_preview = QImage();
        m_histogram = QImage();
    }
    m_subject = subject;
    update();
}

void ImageView::setHistogram(quint64 generation, int position, const QImage& histogram)
{
    if (!m_subject.hasEntry() || generation != m_subject.generation || position != m_subject.position)
        return;
    m_histogram = histogram;
    update();
}

void ImageView::setPreview(quint64 generation, int position, const QImage& picture, QSize)
{
    if (!m_subject.hasEntry() || generation != m_subject.generation || position != m_subject.position)
        return;
    m_preview = picture;
    update();
}

void ImageView::setOverlayLevel(int level)
{
    m_overlayLevel = std::clamp(level, 0, kMaxOverlayLevel);
    update();
}

void ImageView::cycleOverlayLevel()
{
    setOverlayLevel(m_overlayLevel == kMaxOverlayLevel ? 0 : m_overlayLevel + 1);
}

QSize ImageView::previewCover() const
{
    return viewer::turnedSize(size(), m_subject.rotation) * devicePixelRatioF();
}

viewer::PaneContent ImageView::currentContent() const
{
    viewer::PaneFacts facts;
    facts.hasEntry = m_subject.hasEntry();
    facts.unrenderable = (m_subject.flags & imagelist::ImageEntry::kFlagUnrenderable) != 0;
    facts.present = m_subject.presence != 0;
    facts.hasPreview = !m_preview.isNull();
    facts.hasThumbnail = !m_subject.thumbnail.isNull();
    return viewer::paneContent(facts);
}

void ImageView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgb(viewer::opaqueArgb(m_settings.backgroundColour)));
    m_pictureRect = {};
    const viewer::PaneContent content = currentContent();
    const int turns = m_subject.rotation;
    switch (content) {
    case viewer::PaneContent::Question:
        drawCentredText(painter, QStringLiteral("?"));
        break;
    case viewer::PaneContent::NoCodec:
        drawCentredText(painter, QStringLiteral("NO CODEC"));
        break;
    case viewer::PaneContent::Preview: {
        const QImage& picture = m_turnedPreview.of(m_preview, turns);
        drawFitted(painter, picture, picture.size());
        break;
    }
    case viewer::PaneContent::Thumbnail: {
        // The thumbnail is stretched over 88 × 60; the picture's own shape
        // is the entry's picture size.
        const QSize own = m_subject.pictureSize.isEmpty() ? m_subject.thumbnail.size() : m_subject.pictureSize;
        drawFitted(painter, m_turnedThumbnail.of(m_subject.thumbnail, turns), viewer::turnedSize(own, turns));
        break;
    }
    case viewer::PaneContent::Blank:
    case viewer::PaneContent::NotReady:
        break;
    }
    m_lastResult = viewer::paintResultOf(content);
    if (content == viewer::PaneContent::Preview || content == viewer::PaneContent::Thumbnail) {
        drawOverlays(painter);
        Q_EMIT statusTextChanged(kStatusPart, viewer::fitModeStatusText());
    }
}

void ImageView::drawFitted(QPainter& painter, const QImage& picture, QSize shape)
{
    m_pictureRect = viewer::fitRect(shape, size());
    if (m_pictureRect.isEmpty() || picture.isNull())
        return;
    const QSize drawn = m_pictureRect.size() * devicePixelRatioF();
    painter.drawImage(m_pictureRect, m_scaled.of(picture, drawn, !m_settings.fastDrawing));
}

void ImageView::drawCentredText(QPainter& painter, const QString& text)
{
    painter.setFont(overlayFont(kFileLineFont));
    painter.setPen(textColour());
    painter.drawText(rect(), Qt::AlignCenter, text);
}

void ImageView::drawOverlays(QPainter& painter)
{
    if (m_overlayLevel == 0)
        return;
    const QRect inner = rect().adjusted(kOverlayMargin, kOverlayMargin, -kOverlayMargin, -kOverlayMargin);
    if (m_settings.showFileName) {
        drawOverlayText(painter, inner, Qt::AlignLeft | Qt::AlignTop,
                        viewer::fileLineText(m_subject.name, m_subject.position, m_subject.count), kFileLineFont);
    }
    if (m_overlayLevel == 1 && m_settings.showHistogram && !m_histogram.isNull())
        painter.drawImage(viewer::histogramOverlayRect(size()), m_histogram);
    if (m_overlayLevel == 2)
        drawOverlayText(painter, inner, Qt::AlignLeft | Qt::AlignBottom, m_subject.infoText, kInfoTextFont);
}

void ImageView::drawOverlayText(QPainter& painter, const QRect& area, int alignment, const QString& text,
                                int sizeIndex)
{
    if (text.isEmpty())
        return;
    painter.setFont(overlayFont(sizeIndex));
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    // A shadow one pixel down and right keeps the text readable over any
    // picture.
    const QColor colour = textColour();
    painter.setPen(colour.lightness() > 127 ? Qt::black : Qt::white);
    painter.drawText(area.translated(1, 1), alignment, text);
    painter.setPen(colour);
    painter.drawText(area, alignment, text);
}

QFont ImageView::overlayFont(int sizeIndex) const
{
    QFont font(toQString(m_settings.overlayFontFace));
    font.setPointSize(std::max(1, m_settings.overlayFontSizes[static_cast<std::size_t>(sizeIndex)]));
    font.setBold(m_settings.overlayFontBold);
    // Anti-aliased and fitted to the pixel grid.
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QColor ImageView::textColour() const
{
    // Light text on a dark background, dark text on a light one.
    const QColor background = QColor::fromRgb(viewer::opaqueArgb(m_settings.backgroundColour));
    return background.lightness() > 127 ? QColor(Qt::black) : QColor(Qt::white);
}

void ImageView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    update();
}

void ImageView::keyPressEvent(QKeyEvent* event)
{
    const int delta = stepOfKey(*event);
    if (delta == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    Q_EMIT stepRequested(delta);
}

void ImageView::wheelEvent(QWheelEvent* event)
{
    const viewer::WheelOutcome outcome = viewer::wheelOutcome(event->angleDelta().y(), m_zoomActive, m_settings.wheel);
    event->accept();
    if (outcome.step != 0)
        Q_EMIT stepRequested(outcome.step);
}

} // namespace qlx::gui
