#pragma once
// The list icons of an entry, drawn from its 88 × 60 thumbnail: one of the
// thumbnail list's size (W × H) and one of the Exif list's (W2 × H2), each
// with its own fill setting; the rotation total is applied here, since the
// stored thumbnail keeps the file's own orientation. Also the unsharp mask
// that the icon-sharpness setting applies to them, and the histogram icon.
//
// Fitting: with the fill setting on, the thumbnail covers the whole icon.
// Otherwise, with w × h the entry's picture size (swapped when the rotation
// total is odd), sx = W / w and sy = H / h: when sx > sy the picture is
// trunc(W × (sy / sx + 0.01)) wide, at full height, centred at
// trunc((W − width) × 0.5); else trunc(H × (sx / sy + 0.01)) high, at full
// width, centred the same way. The width (height) is clamped to 0..W (0..H)
// before it is centred. An entry without a picture size is fitted by its
// thumbnail's own proportions.
//
// Icons are Format_ARGB32_Premultiplied; the part the picture does not cover
// is transparent.
//
// Thread model: pure functions on the values handed in; QPainter on QImage
// only, so any thread may draw.

#include <QImage>
#include <QRect>
#include <QSize>

namespace qlx::thumbs {

// The sharpening radius of list icons, and the radii the unsharp mask takes.
inline constexpr int kIconSharpenRadius = 1;
inline constexpr int kMinSharpenRadius = 1;
inline constexpr int kMaxSharpenRadius = 30;

// A picture turned by `quarterTurns` quarter turns clockwise (any integer;
// taken modulo 4).
QImage rotatedQuarterTurns(const QImage& picture, int quarterTurns);

// Where the picture goes in an icon of size `icon`. `pictureSize` is the
// entry's (unrotated) picture size, `thumbnailSize` the stored thumbnail's
// (unrotated), used when the picture size is unknown.
QRect iconPictureRect(QSize icon, QSize pictureSize, QSize thumbnailSize, int rotationTotal, bool fill);

// The amount of the unsharp mask for the icon-sharpness setting s:
// (s × 10) / 100.
double iconSharpenAmount(int sharpness);

struct IconRequest {
    QSize size;           // W × H
    bool fill = false;    // the fill setting of this size
    int sharpness = 0;    // the icon-sharpness setting; 0 leaves the icon as drawn
};

// The icon of `thumbnail` (null: a transparent icon) for an entry of picture
// size `pictureSize` and rotation total `rotationTotal`, drawn with bilinear
// interpolation and then sharpened when the request says so.
QImage drawListIcon(const QImage& thumbnail, QSize pictureSize, int rotationTotal, const IconRequest& request);

// The histogram picture stretched into an icon of size `icon`.
QImage drawHistogramIcon(const QImage& histogram, QSize icon);

// Unsharp mask on the colour channels of a Format_RGB32,
// Format_ARGB32_Premultiplied or Format_RGB888 picture (alpha is kept; other
// formats and radii outside 1..30 leave the picture unchanged).
//
// Blur: a separable kernel, first along rows, then along columns, of
// weights exp(q) for distances |d| ≤ 3r, where q = −d² / (2r²) is an integer
// quotient truncated toward zero (for r = 1: 1, 1, e^−2, e^−4 at d = 0..3).
// Each pass divides by the sum of the weights that fall inside the picture,
// clamps to 0..255 and truncates to a whole value. Then every channel
// becomes source + trunc((source − blurred) × amount), clamped to 0..255
// (and, premultiplied, to the pixel's alpha).
void unsharpMask(QImage& picture, int radius, double amount);

} // namespace qlx::thumbs
