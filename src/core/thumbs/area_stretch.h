#pragma once
// Stretching a rectangle of a picture over a whole smaller (or larger) one by
// area averaging: every target pixel is the mean of the source area it
// covers, each source pixel weighted by the part of it that lies inside.
//
// This is how the list thumbnail is drawn from the decoded picture and how
// the histogram samples the thumbnail. It is exact integer arithmetic, so
// the same input gives the same bytes on every machine (the cache stores
// them), and it needs no pre-filter: whatever the ratio, no source pixel is
// skipped. The picture is stretched, not fitted; the aspect ratio is the
// caller's business.

#include <QImage>
#include <QRect>

namespace qlx::thumbs {

// Draws `rect` of `source` over the whole of `target`. `source` is
// Format_RGB32, Format_ARGB32 (alpha ignored) or Format_RGB888; `target` is
// Format_RGB32 and keeps its size. Returns false, leaving `target` as it
// was, when `rect` is empty or not inside `source`, or a format is another.
bool stretchArea(const QImage& source, const QRect& rect, QImage& target);

} // namespace qlx::thumbs
