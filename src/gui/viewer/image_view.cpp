#include "viewer/image_view.h"

#include "imagelist/file_kind.h"
#include "shell/qt_text.h"
#include "viewer/video_slots.h"
#include "viewer/zoom_control.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QRegion>
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
// The focus mark: 14 x 14, 4 pixels below the top edge, its right side 10
// pixels from the right edge, as the histogram keeps 10 pixels.
constexpr int kFocusMarkSide = 14;
constexpr int kFocusMarkTop = 4;
constexpr int kFocusMarkRight = 24;
constexpr QRgb kFocusMarkColour = 0xFFFF'9900;

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

ImageView::ImageView(ZoomControl& zoom, QWidget* parent)
    : QWidget(parent)
    , m_zoom(zoom)
{
    setFocusPolicy(Qt::StrongFocus);
    // Every pixel is painted on each paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The loupe and a latched zoom follow the pointer without a button.
    setMouseTracking(true);
    m_zoom.addView(*this);
    connect(&m_zoom, &ZoomControl::zoomChanged, this, &ImageView::onZoomChanged);
    connect(&m_zoom, &ZoomControl::dragStarted, this, &ImageView::takePointerAsLast);
    connect(&m_zoom, &ZoomControl::pointerChanged, this, qOverload<>(&QWidget::update));
    connect(&m_zoom, &ZoomControl::viewChanged, this, [this] {
        askForFullPicture();
        update();
    });
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
        m_fullSize = {};
        m_histogram = QImage();
        m_videoFrame = QImage();
        m_fullAsked = false;
    }
    m_subject = subject;
    update();
}

void ImageView::setPreview(quint64 generation, int position, const QImage& picture, QSize fullSize)
{
    if (!m_subject.hasEntry() || generation != m_subject.generation || position != m_subject.position)
        return;
    m_preview = picture;
    m_fullSize = fullSize;
    askForFullPicture();
    update();
}

void ImageView::setVideoFrame(quint64 generation, int position, const QImage& frame)
{
    if (!m_subject.hasEntry() || generation != m_subject.generation || position != m_subject.position)
        return;
    m_videoFrame = frame;
    update();
}

bool ImageView::drawVideoFrame(QPainter& painter)
{
    if (m_videoFrame.isNull() || m_subject.kind != imagelist::kKindVideo
        || (m_subject.flags & imagelist::ImageEntry::kFlagPlaybackMode) == 0)
        return false;
    const bool enlarged = (m_subject.flags & imagelist::ImageEntry::kFlagEnlargedVideo) != 0;
    m_pictureRect = viewer::videoRect(m_videoFrame.size(), size(), enlarged);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, m_pictureRect.size() != m_videoFrame.size());
    painter.drawImage(m_pictureRect, m_videoFrame);
    return true;
}

void ImageView::setHistogram(quint64 generation, int position, const QImage& histogram)
{
    if (!m_subject.hasEntry() || generation != m_subject.generation || position != m_subject.position)
        return;
    m_histogram = histogram;
    update();
}

void ImageView::setQuickPath(bool on)
{
    if (m_quick == on)
        return;
    m_quick = on;
    update();
}

void ImageView::setFocusMark(bool on)
{
    if (m_focusMark == on)
        return;
    m_focusMark = on;
    update();
}

bool ImageView::wantsFullPicture() const
{
    return m_zoom.isActive() || m_zoom.loupe();
}

void ImageView::askForFullPicture()
{
    const bool wanted = wantsFullPicture();
    if (wanted && !m_fullWanted)
        m_fullAsked = false; // a new zoom: ask again
    m_fullWanted = wanted;
    if (!wanted || m_fullAsked || m_preview.isNull() || m_fullSize.isEmpty())
        return;
    if (m_preview.width() >= m_fullSize.width() && m_preview.height() >= m_fullSize.height())
        return;
    m_fullAsked = true;
    Q_EMIT fullPictureWanted();
}

void ImageView::onZoomChanged(bool on)
{
    if (on) {
        // Centred on the picture point under the pointer, placed at the
        // next paint of the picture.
        m_centreShape = {};
        takePointerAsLast();
    }
    askForFullPicture();
    update();
}

void ImageView::takePointerAsLast()
{
    const QPoint at = devicePoint(m_zoom.pointer());
    m_axisX.lastMouse = at.x();
    m_axisY.lastMouse = at.y();
}

QPoint ImageView::devicePoint(QPoint at) const
{
    return (QPointF(at) * devicePixelRatioF()).toPoint();
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

ImageView::Source ImageView::source(viewer::PaneContent content, bool quick)
{
    const int turns = m_subject.rotation;
    const bool thumbnail = content == viewer::PaneContent::Thumbnail
                           || (quick && !m_subject.thumbnail.isNull());
    if (!thumbnail) {
        const QImage& picture = m_turnedPreview.of(m_preview, turns);
        const QSize full = m_fullSize.isEmpty() ? m_preview.size() : m_fullSize;
        return {&picture, viewer::turnedSize(full, turns), false};
    }
    // The thumbnail is stretched over 88 x 60; the picture's own shape is
    // the entry's picture size.
    QSize own = m_subject.pictureSize.isEmpty() ? m_fullSize : m_subject.pictureSize;
    if (own.isEmpty())
        own = m_subject.thumbnail.size();
    return {&m_turnedThumbnail.of(m_subject.thumbnail, turns), viewer::turnedSize(own, turns), true};
}

void ImageView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgb(viewer::opaqueArgb(m_settings.backgroundColour)));
    m_pictureRect = {};
    const viewer::PaneContent content = currentContent();
    viewer::PaintResult result = viewer::paintResultOf(content);
    bool quick = false;
    if (drawVideoFrame(painter)) {
        result = viewer::PaintResult::Drawn;
    } else {
        switch (content) {
        case viewer::PaneContent::Question:
            drawCentredText(painter, QStringLiteral("?"));
            break;
        case viewer::PaneContent::NoCodec:
            drawCentredText(painter, QStringLiteral("NO CODEC"));
            break;
        case viewer::PaneContent::Preview:
        case viewer::PaneContent::Thumbnail: {
            quick = m_quick;
            const Source picture = source(content, quick);
            result = picture.thumbnail ? viewer::PaintResult::ThumbnailOnly : viewer::PaintResult::Drawn;
            const bool zoomed = m_zoom.isActive() || (quick && m_settings.keepZoomWhileFlipping);
            const bool smooth = !m_settings.fastDrawing && !quick;
            const QString status = drawPicture(painter, picture, zoomed, smooth);
            Q_EMIT statusTextChanged(kStatusPart, status);
            break;
        }
        case viewer::PaneContent::Blank:
        case viewer::PaneContent::NotReady:
            break;
        }
    }
    if (m_focusMark)
        drawFocusMark(painter);
    m_lastResult = result;
    if (m_subject.hasEntry())
        Q_EMIT painted(m_subject.generation, m_subject.position, static_cast<int>(result), quick);
}

QString ImageView::drawPicture(QPainter& painter, const Source& picture, bool zoomed, bool smooth)
{
    if (zoomed && m_zoom.loupe()) {
        // The loupe draws the overlays itself, outside its circle.
        drawLoupe(painter, *picture.image, picture.shape, smooth);
        return viewer::loupeStatusText();
    }
    QString status;
    if (zoomed) {
        drawZoomed(painter, *picture.image, picture.shape, smooth);
        status = viewer::zoomStatusText(m_zoom.factor());
    } else {
        drawFitted(painter, *picture.image, picture.shape, smooth);
        status = viewer::fitModeStatusText();
    }
    drawBrightness(painter, m_pictureRect);
    drawOverlays(painter);
    return status;
}

void ImageView::drawFitted(QPainter& painter, const QImage& picture, QSize shape, bool smooth)
{
    m_pictureRect = viewer::fitRect(shape, size());
    if (m_pictureRect.isEmpty() || picture.isNull())
        return;
    const QSize drawn = m_pictureRect.size() * devicePixelRatioF();
    painter.drawImage(m_pictureRect, m_scaled.of(picture, drawn, smooth));
}

void ImageView::placeCentre(QSize shape)
{
    if (m_centreShape.isEmpty()) {
        const QPoint at = viewer::loupePicturePoint(m_zoom.pointer(), viewer::fitRect(shape, size()), shape);
        m_axisX.centre = static_cast<float>(at.x());
        m_axisY.centre = static_cast<float>(at.y());
    } else if (m_centreShape != shape) {
        // The same place on a picture of another size (the next picture
        // while flipping zoomed).
        m_axisX.centre = m_axisX.centre * static_cast<float>(shape.width()) / static_cast<float>(m_centreShape.width());
        m_axisY.centre = m_axisY.centre * static_cast<float>(shape.height()) / static_cast<float>(m_centreShape.height());
    }
    m_centreShape = shape;
}

void ImageView::drawZoomed(QPainter& painter, const QImage& picture, QSize shape, bool smooth)
{
    if (picture.isNull() || shape.isEmpty())
        return;
    placeCentre(shape);
    // Worked out in device pixels and the picture's full pixels, so that
    // 1.0 x shows one pixel of the picture on one pixel of the screen
    // whatever the preview's scale.
    const double ratio = devicePixelRatioF();
    const QSize pane = (QSizeF(size()) * ratio).toSize();
    const QPoint mouse = devicePoint(m_zoom.pointer());
    const double factor = m_zoom.factor();
    const bool dragging = m_zoom.dragging();
    struct Range {
        int from, extent;       // full picture pixels
        int paneFrom, paneExtent; // device pixels
    };
    const auto range = [&](int paneExtent, int pictureExtent, int mouseAt, viewer::ZoomAxis& axis) -> Range {
        const int window = viewer::zoomWindowExtent(paneExtent, 1, factor);
        const int start = viewer::zoomWindowStart(pictureExtent, window, 1, dragging, mouseAt, axis);
        if (start >= 0)
            return {start, window, 0, paneExtent};
        const viewer::Span span = viewer::zoomDrawnSpan(paneExtent, start, factor);
        return {0, pictureExtent, span.start, span.extent};
    };
    const Range x = range(pane.width(), shape.width(), mouse.x(), m_axisX);
    const Range y = range(pane.height(), shape.height(), mouse.y(), m_axisY);
    if (x.extent <= 0 || y.extent <= 0)
        return;
    const QRectF target(x.paneFrom / ratio, y.paneFrom / ratio, x.paneExtent / ratio, y.paneExtent / ratio);
    // Full pixels onto the preview's.
    const double dx = static_cast<double>(shape.width()) / picture.width();
    const double dy = static_cast<double>(shape.height()) / picture.height();
    const QRectF from(x.from / dx, y.from / dy, x.extent / dx, y.extent / dy);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    painter.drawImage(target, picture, from);
    m_pictureRect = target.toAlignedRect();
}

void ImageView::drawLoupe(QPainter& painter, const QImage& picture, QSize shape, bool smooth)
{
    const int level = m_zoom.level();
    const int radius = m_settings.loupeRadius + viewer::loupeExtraRadius(level, m_zoom.doubled(), m_settings.loupeRadius);
    const QPoint mouse = m_zoom.pointer();
    const QRect square(mouse.x() - radius, mouse.y() - radius, 2 * radius, 2 * radius);
    const QRegion circle = radius > 0 ? QRegion(square, QRegion::Ellipse) : QRegion();
    painter.save();
    painter.setClipRegion(QRegion(rect()) - circle);
    drawFitted(painter, picture, shape, smooth);
    drawBrightness(painter, m_pictureRect);
    drawOverlays(painter);
    painter.restore();
    if (circle.isEmpty() || picture.isNull() || m_pictureRect.isEmpty())
        return;
    painter.save();
    painter.setClipRegion(circle);
    painter.fillRect(square, QColor::fromRgb(viewer::opaqueArgb(m_settings.backgroundColour)));
    // Inside the circle one full pixel of the picture on one device pixel,
    // centred on the picture point under the pointer.
    const QPoint at = viewer::loupePicturePoint(mouse, m_pictureRect, shape);
    const double ratio = devicePixelRatioF();
    const double half = radius * ratio;
    const QRectF window(at.x() - half, at.y() - half, 2 * half, 2 * half);
    const QRectF inside = window & QRectF(QPointF(0, 0), QSizeF(shape));
    if (!inside.isEmpty()) {
        const QRectF target(square.x() + (inside.x() - window.x()) / ratio, square.y() + (inside.y() - window.y()) / ratio,
                            inside.width() / ratio, inside.height() / ratio);
        const double dx = static_cast<double>(shape.width()) / picture.width();
        const double dy = static_cast<double>(shape.height()) / picture.height();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
        painter.drawImage(target, picture, QRectF(inside.x() / dx, inside.y() / dy, inside.width() / dx, inside.height() / dy));
        drawBrightness(painter, target.toAlignedRect());
    }
    painter.restore();
}

void ImageView::drawBrightness(QPainter& painter, const QRect& area)
{
    const int adjustment = m_zoom.brightness();
    if (adjustment == 0 || area.isEmpty())
        return;
    // Black at opacity −A darkens, white at opacity A brightens.
    const QColor cover = adjustment < 0 ? QColor(0, 0, 0, -adjustment) : QColor(255, 255, 255, adjustment);
    painter.fillRect(area, cover);
}

void ImageView::drawFocusMark(QPainter& painter)
{
    const QRect mark(width() - kFocusMarkRight, kFocusMarkTop, kFocusMarkSide, kFocusMarkSide);
    painter.fillRect(mark, QColor::fromRgb(kFocusMarkColour));
    painter.setPen(textColour());
    painter.drawRect(mark.adjusted(0, 0, -1, -1));
}

void ImageView::drawCentredText(QPainter& painter, const QString& text)
{
    painter.setFont(overlayFont(kFileLineFont));
    painter.setPen(textColour());
    painter.drawText(rect(), Qt::AlignCenter, text);
}

void ImageView::drawOverlays(QPainter& painter)
{
    const QRect inner = rect().adjusted(kOverlayMargin, kOverlayMargin, -kOverlayMargin, -kOverlayMargin);
    // The brightness text stays whatever the level: it tells why the
    // picture looks brighter or darker. It keeps below the focus mark.
    drawOverlayText(painter, inner.adjusted(0, kFocusMarkTop + kFocusMarkSide, 0, 0), Qt::AlignRight | Qt::AlignTop,
                    viewer::brightnessText(m_zoom.brightness()), kFileLineFont);
    if (m_overlayLevel == 0)
        return;
    if (m_settings.showFileName) {
        drawOverlayText(painter, inner, Qt::AlignLeft | Qt::AlignTop,
                        viewer::fileLineText(m_subject.name, m_subject.position, m_subject.count), kFileLineFont);
    }
    if (m_overlayLevel == 1 && m_settings.showHistogram && !m_histogram.isNull())
        painter.drawImage(viewer::histogramOverlayRect(size()).topLeft(), m_histogram);
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
    const bool keypad = event->modifiers().testFlag(Qt::KeypadModifier);
    if (!keypad && (event->key() == Qt::Key_Home || event->key() == Qt::Key_End)) {
        event->accept();
        Q_EMIT endRequested(event->key() == Qt::Key_End);
        return;
    }
    if (delta == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    Q_EMIT stepRequested(delta);
}

void ImageView::wheelEvent(QWheelEvent* event)
{
    // With Alt held some desktops turn the wheel sideways.
    const QPoint delta = event->angleDelta();
    const viewer::WheelOutcome outcome =
        viewer::wheelOutcome(delta.y() != 0 ? delta.y() : delta.x(), m_zoom.isActive(), m_settings.wheel);
    event->accept();
    if (outcome.zoomOffset != 0)
        m_zoom.changeOffset(outcome.zoomOffset);
    if (outcome.step != 0)
        Q_EMIT stepRequested(outcome.step);
}

void ImageView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    m_zoom.buttonPressed(*this, event->position().toPoint());
    event->accept();
}

void ImageView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_zoom.buttonReleased();
    event->accept();
}

void ImageView::mouseMoveEvent(QMouseEvent* event)
{
    m_zoom.pointerMoved(*this, event->position().toPoint());
    QWidget::mouseMoveEvent(event);
}

} // namespace qlx::gui
