#pragma once
// One view pane of the main view. It paints the subject the main window
// hands it: "?" where there is no entry, "NO CODEC" for a file that does
// not render, a blank pane for a file that is gone, otherwise the best
// picture it has (the decoded preview, else the list thumbnail) turned by
// the entry's rotation: fitted to the pane, or, while the shared
// ZoomControl zooms, magnified around the zoom centre or under the loupe.
// Over it go the brightness adjustment, the overlays of the current overlay
// level (the file line and the histogram at level 1, the file line and the
// shooting data at level 2) and, in the multi-screen modes, the focus mark
// of the pane that shows the current entry.
//
// It decides nothing about the list: keys and the wheel that browse are
// reported as stepRequested, and the main window moves the current entry
// and hands in the next subject. Previews come from the preview decoder
// through setPreview; one that belongs to another subject is ignored. A
// preview may be smaller than the picture (a scaled decode): the zoom works
// in the picture's full pixels and magnifies the preview by the ratio until
// a full one arrives, and fullPictureWanted asks for it.
//
// Thread model: user-interface thread only.

#include "viewer/view_geometry.h"
#include "viewer/view_settings.h"
#include "viewer/view_subject.h"

#include <QImage>
#include <QWidget>

class QPainter;

namespace qlx::gui {

class ZoomControl;

class ImageView : public QWidget {
    Q_OBJECT
public:
    // The status bar part that receives the view's mode text.
    static constexpr int kStatusPart = 4;
    static constexpr int kMaxOverlayLevel = 2;

    // Registers with `zoom`, which must outlive the pane.
    explicit ImageView(ZoomControl& zoom, QWidget* parent = nullptr);

    void setSettings(const viewer::ViewSettings& settings);
    const viewer::ViewSettings& settings() const { return m_settings; }

    // A new subject. The preview is kept when the subject is the same
    // picture as before (the same load, position and path), else dropped.
    void showSubject(const ViewSubject& subject);
    const ViewSubject& subject() const { return m_subject; }

    // A decoded preview, in the file's own orientation. Taken only when it
    // belongs to the subject shown; a null picture clears the preview.
    // `fullSize` is the picture's full size in the same orientation when
    // the preview is smaller (empty: the preview is the full picture).
    void setPreview(quint64 generation, int position, const QImage& picture, QSize fullSize = {});
    bool hasPreview() const { return !m_preview.isNull(); }
    // The preview is the picture at full resolution, not a smaller decode.
    bool holdsWholePicture() const
    {
        return !m_preview.isNull()
            && (m_fullSize.isEmpty()
                || (m_preview.width() >= m_fullSize.width() && m_preview.height() >= m_fullSize.height()));
    }

    // A frame of the subject's video playback; drawn instead of the picture
    // while the subject is in playback mode (at its own size, or fitted when
    // the entry is enlarged). Taken only for the subject shown.
    void setVideoFrame(quint64 generation, int position, const QImage& frame);
    const QImage& videoFrame() const { return m_videoFrame; }

    // The subject's 262 x 70 histogram picture, drawn unscaled at overlay
    // level 1; none is drawn until it arrives.
    void setHistogram(quint64 generation, int position, const QImage& histogram);

    // While on, the pane draws the thumbnail (else the preview) with fast
    // scaling: the user is flipping through pictures.
    void setQuickPath(bool on);
    // The mark of the pane showing the current entry, in the multi-screen modes.
    void setFocusMark(bool on);

    // The zoom or the loupe is on: a preview smaller than the picture will not do.
    bool wantsFullPicture() const;

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
    // Home (false) or End (true): the first or the last picture.
    void endRequested(bool last);
    // The mode text for the status bar (part kStatusPart) after each paint
    // of a picture.
    void statusTextChanged(int part, const QString& text);
    // The zoom or the loupe turned on, or a preview came while it was on,
    // and the preview held is smaller than the picture; at most once per
    // subject while it stays on.
    void fullPictureWanted();
    // At the end of every paint of an entry; `paintResult` is a
    // viewer::PaintResult, `quick` whether the quick path drew it.
    void painted(quint64 generation, int position, int paintResult, bool quick);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

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

    // The picture a paint draws: turned, with the shape of the full picture
    // it stands for (turned too).
    struct Source {
        const QImage* image = nullptr;
        QSize shape;
        bool thumbnail = false;
    };

    viewer::PaneContent currentContent() const;
    Source source(viewer::PaneContent content, bool quick);
    QString drawPicture(QPainter& painter, const Source& picture, bool zoomed, bool smooth);
    void drawFitted(QPainter& painter, const QImage& picture, QSize shape, bool smooth);
    void drawZoomed(QPainter& painter, const QImage& picture, QSize shape, bool smooth);
    void drawLoupe(QPainter& painter, const QImage& picture, QSize shape, bool smooth);
    void drawBrightness(QPainter& painter, const QRect& area);
    void drawFocusMark(QPainter& painter);
    // Draws the playback's frame when the subject plays; false otherwise.
    bool drawVideoFrame(QPainter& painter);
    // The zoom centres refer to a picture of this shape: put them under the
    // pointer when there is none yet, scale them when the shape changed.
    void placeCentre(QSize shape);
    void onZoomChanged(bool on);
    void takePointerAsLast();
    void askForFullPicture();
    void drawCentredText(QPainter& painter, const QString& text);
    void drawOverlays(QPainter& painter);
    void drawOverlayText(QPainter& painter, const QRect& area, int alignment, const QString& text, int sizeIndex);
    QFont overlayFont(int sizeIndex) const;
    QColor textColour() const;
    QPoint devicePoint(QPoint at) const;

    ZoomControl& m_zoom;
    viewer::ViewSettings m_settings;
    ViewSubject m_subject;
    QImage m_preview;
    QSize m_fullSize;
    QImage m_histogram;
    QImage m_videoFrame;
    int m_overlayLevel = 1;
    bool m_quick = false;
    bool m_focusMark = false;
    // The full picture was asked for this subject; whether it was wanted
    // when last looked at.
    bool m_fullAsked = false;
    bool m_fullWanted = false;
    viewer::ZoomAxis m_axisX;
    viewer::ZoomAxis m_axisY;
    QSize m_centreShape;
    TurnedCopy m_turnedPreview;
    TurnedCopy m_turnedThumbnail;
    ScaledCopy m_scaled;

    viewer::PaintResult m_lastResult = viewer::PaintResult::Nothing;
    QRect m_pictureRect;
};

} // namespace qlx::gui
