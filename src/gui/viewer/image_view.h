#pragma once
// One view pane of the main view. It paints the subject the main window
// hands it: "?" where there is no entry, "NO CODEC" for a file that does
// not render, a blank pane for a file that is gone, otherwise the best
// picture it has (the decoded preview, else the list thumbnail) turned by
// the entry's rotation and fitted to the pane, and over it the overlays of
// the current overlay level: the file line and the histogram (level 1) or
// the file line and the shooting data (level 2).
//
// It decides nothing about the list: keys and the wheel that browse are
// reported as stepRequested, and the main window moves the current entry
// and hands in the next subject. Previews come from the preview decoder
// through setPreview; one that belongs to another subject is ignored.
//
// Thread model: user-interface thread only.

#include "viewer/view_geometry.h"
#include "viewer/view_settings.h"
#include "viewer/view_subject.h"

#include <QImage>
#include <QWidget>

class QPainter;

namespace qlx::gui {

class ImageView : public QWidget {
    Q_OBJECT
public:
    // The status bar part that receives the view's mode text.
    static constexpr int kStatusPart = 4;
    static constexpr int kMaxOverlayLevel = 2;

    explicit ImageView(QWidget* parent = nullptr);

    void setSettings(const viewer::ViewSettings& settings);
    const viewer::ViewSettings& settings() const { return m_settings; }

    // A new subject. The preview is kept when the subject is the same
    // picture as before (the same load, position and path), else dropped.
    void showSubject(const ViewSubject& subject);
    const ViewSubject& subject() const { return m_subject; }

    // A decoded preview, in the file's own orientation. Taken only when it
    // belongs to the subject shown; a null picture clears the preview.
    void setPreview(quint64 generation, int position, const QImage& picture, QSize fullSize = {});
    // The view's 262 × 70 histogram of the subject's picture.
    void setHistogram(quint64 generation, int position, const QImage& histogram);
    void setQuickPath(bool on) { m_quickPath = on; update(); }
    void setFocusMark(bool on) { m_focusMark = on; update(); }
    bool wantsFullPicture() const { return false; }
    bool hasPreview() const { return !m_preview.isNull(); }

    // 0 no overlays, 1 file line and histogram, 2 file line and shooting data.
    void setOverlayLevel(int level);
    int overlayLevel() const { return m_overlayLevel; }
    // 0 → 1 → 2 → 0, for the key that changes the display type.
    void cycleOverlayLevel();

    // The size a preview must cover to fill this pane, in the picture's own
    // orientation and in device pixels: what the decoder is asked for.
    QSize previewCover() const;

    // What the last paint drew, and where the picture landed (empty when no
    // picture was drawn); kept for hit-testing and the loupe.
    viewer::PaintResult lastPaintResult() const { return m_lastResult; }
    QRect pictureRect() const { return m_pictureRect; }

Q_SIGNALS:
    // Next (+1) or previous (−1) picture, by a key or the wheel.
    void stepRequested(int delta);
    // The mode text for the status bar (part kStatusPart) after each paint
    // of a picture.
    void statusTextChanged(int part, const QString& text);
    void fullPictureWanted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // A picture turned by quarter turns, made once per picture and rotation
    // instead of on every paint.
    struct TurnedCopy {
        qint64 key = 0;
        int turns = -1;
        QImage image;
        const QImage& of(const QImage& source, int quarterTurns);
    };
    // The last fitted picture at its drawn size: repaints for overlays and
    // exposes do not scale a large preview again.
    struct ScaledCopy {
        qint64 key = 0;
        QSize size;
        bool smooth = false;
        QImage image;
        const QImage& of(const QImage& source, QSize drawnSize, bool smoothly);
    };

    viewer::PaneContent currentContent() const;
    void drawFitted(QPainter& painter, const QImage& picture, QSize shape);
    void drawCentredText(QPainter& painter, const QString& text);
    void drawOverlays(QPainter& painter);
    void drawOverlayText(QPainter& painter, const QRect& area, int alignment, const QString& text, int sizeIndex);
    QFont overlayFont(int sizeIndex) const;
    QColor textColour() const;

    viewer::ViewSettings m_settings;
    ViewSubject m_subject;
    QImage m_preview;
    QImage m_histogram;
    bool m_quickPath = false;
    bool m_focusMark = false;
    int m_overlayLevel = 1;
    // Zooming comes with the zoom keys; until then the wheel always browses.
    bool m_zoomActive = false;
    TurnedCopy m_turnedPreview;
    TurnedCopy m_turnedThumbnail;
    ScaledCopy m_scaled;

    viewer::PaintResult m_lastResult = viewer::PaintResult::Nothing;
    QRect m_pictureRect;
};

} // namespace qlx::gui
