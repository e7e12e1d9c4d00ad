#pragma once
// The arithmetic of one view pane, apart from any widget: what a pane shows
// for an entry, where a fitted picture lands, the zoom levels and the zoom
// view's source window, the loupe, the wheel, the brightness adjustment, the
// histogram overlay's place and the texts the view writes (the file line and
// the status-bar mode texts).
//
// Thread model: pure functions of plain values; the view calls them on the
// user-interface thread while it paints.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>

namespace qlx::viewer {

// ---- What a pane shows ------------------------------------------------------

// The answer of painting a pane: the main window paints again later when it
// gets NotReady.
enum class PaintResult : int {
    Drawn = 1,          // a picture drawn zoomed or fitted
    ThumbnailOnly = 0,  // only the list thumbnail, fitted
    NotReady = -1,      // the entry has no picture yet
    Nothing = -2,       // no entry, or a file that does not render
};

enum class PaneContent {
    Question,   // no entry at this position: "?"
    NoCodec,    // the file does not render: "NO CODEC"
    Blank,      // the file is gone: the background alone
    Preview,    // the decoded preview
    Thumbnail,  // the list thumbnail, fitted
    NotReady,   // nothing to draw yet
};

struct PaneFacts {
    bool hasEntry = false;
    bool unrenderable = false;  // the entry's flag 0x1000
    bool present = true;        // the presence byte is not 0
    bool hasPreview = false;
    bool hasThumbnail = false;
};

// The checks in the order painting makes them: no entry, no codec, gone,
// then the best picture there is.
PaneContent paneContent(const PaneFacts& facts);
PaintResult paintResultOf(PaneContent content);

// ---- Fit view -------------------------------------------------------------------

// The rectangle a W × H picture is drawn into in a w × h pane: the whole
// height when the picture is relatively taller (rh = H ÷ h > rw = W ÷ w),
// else the whole width, centred the other way. Pictures smaller than the
// pane are enlarged as well. Empty when either size is empty.
QRect fitRect(QSize picture, QSize pane);

// A size turned by quarter turns: width and height swap for odd turns.
QSize turnedSize(QSize size, int quarterTurns);

// ---- Zoom -----------------------------------------------------------------------------

inline constexpr int kZoomBaseLevel = 10;  // the level zooming starts from: 1.0 ×
inline constexpr int kMinZoomLevel = 1;
inline constexpr int kMaxZoomLevel = 80;

// The offset limited so that base + offset stays within 1 … 80.
int limitZoomOffset(int base, int offset);
// The level of a base and an offset, offset limited first and the sum then
// limited to 1 … 80.
int zoomLevel(int base, int offset);
// Level × 0.1, doubled while the second zoom key (Shift) is the active one.
double zoomFactor(int level, bool doubled);

// One axis of the zoom view's source window. The centre is the picture point
// in the middle of the pane; the last mouse position is what a drag moves
// it from.
struct ZoomAxis {
    float centre = 0.0f;
    int lastMouse = 0;
};

// The source window's extent along one axis: trunc(pane ÷ (d × z)) picture
// pixels for divisor d and factor z.
int zoomWindowExtent(int paneExtent, int divisor, double factor);

// The first picture pixel of the source window along one axis for a
// picture extent W and a window extent sw. When W ≥ sw a drag moves the
// centre by (last − current) ÷ d, the centre is kept within sw ÷ 2 …
// W − sw ÷ 2, the current mouse position becomes the last one, and the
// answer is trunc(centre − sw ÷ 2) limited to 0 … W − sw. When W < sw the
// answer is (W − sw) ÷ 2, a negative start that centres the picture.
int zoomWindowStart(int pictureExtent, int windowExtent, int divisor, bool dragging, int mouse, ZoomAxis& axis);

// Where a picture smaller than the source window lands in the pane along
// one axis: from trunc(−start × z) with extent trunc(pane + start × z × 2);
// the whole pane when the start is not negative.
struct Span {
    int start = 0;
    int extent = 0;
};
Span zoomDrawnSpan(int paneExtent, int windowStart, double factor);

// ---- Loupe -----------------------------------------------------------------------------

// The extra radius at a zoom level: 4 × L − 40, plus half the loupe radius
// setting while the factor is doubled.
int loupeExtraRadius(int level, bool doubled, int radiusSetting);
// The picture pixel under the mouse of a fitted picture:
// trunc((mouse − fit origin) × picture ÷ fit size), per axis. The origin
// when the fit rectangle is empty.
QPoint loupePicturePoint(QPoint mouse, QRect fit, QSize picture);

// ---- Wheel -----------------------------------------------------------------------------

struct WheelSettings {
    bool reverseBrowse = false;  // settings 44435
    bool reverseZoom = false;    // settings 44436
    bool neverZooms = false;     // settings 119954
};

struct WheelOutcome {
    int step = 0;        // +1 next picture, −1 previous, 0 none
    int zoomOffset = 0;  // +1 or −1 to the zoom offset, 0 none
};

// One wheel message of `delta` (120 a notch, positive away from the user).
// A delta that divided by 20 gives 0 does nothing. While zooming (and the
// wheel may zoom) the offset changes by one: away from the user lowers it,
// or raises it with the reverse-zoom setting. Otherwise the wheel browses:
// towards the user is the next picture, away the previous one, swapped by
// the reverse-browse setting.
WheelOutcome wheelOutcome(int delta, bool zoomActive, const WheelSettings& settings);

// ---- Brightness ---------------------------------------------------------------------------

inline constexpr int kBrightnessStep = 16;
inline constexpr int kBrightnessLimit = 192;

// The adjustment after one keypad "+" (+1) or "−" (−1) press, kept within
// −192 … 192.
int stepBrightness(int adjustment, int direction);
// "Ev:+%1.1f" or "Ev:%1.1f" of adjustment ÷ 96; empty for no adjustment.
QString brightnessText(int adjustment);

// ---- Overlays and texts -------------------------------------------------------------------

inline constexpr QSize kHistogramOverlaySize{262, 70};

// The histogram overlay's rectangle: 262 × 70 at (w − 272, h − 80).
QRect histogramOverlayRect(QSize pane);

// "File:%s　(%d/%d)": the file name, the list position + 1 and the entry
// count, with a full-width blank before the bracket.
QString fileLineText(const QString& fileName, int position, int count);

// The mode text the status bar shows (its fourth part) after a paint.
QString fitModeStatusText();                 // "\tFIT MODE"
QString zoomStatusText(double factor);       // "\tZOOM ×%0.2f"
QString loupeStatusText();                   // "\tLOOPE MODE"

} // namespace qlx::viewer
