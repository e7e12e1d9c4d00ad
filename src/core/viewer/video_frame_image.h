#pragma once
// One decoded video frame made into a picture the view can draw. The media
// library hands planar YUV frames; its own conversion of 4:2:2 frames reads
// past the planes it was given (Qt 6.4 crashes on the Indeo clips that
// GStreamer's libav decoder gives as YUV422P), so the planes are converted
// here, each one checked against the size the frame claims before a byte
// is read. A frame that does not add up gives a null picture: the view
// keeps what it showed.
//
// Thread model: a pure function of the planes it is given.

#include <QImage>

#include <cstddef>
#include <span>

namespace qlx::viewer {

enum class FramePlanes {
    Yuv420,   // Y, then U and V at half width and half height (also YV12 with U and V swapped)
    Yuv422,   // Y, then U and V at half width and full height
    Xrgb32,   // one plane of 32-bit pixels, QImage::Format_RGB32 byte order
};

struct FramePlane {
    std::span<const std::byte> bytes;
    int stride = 0; // bytes per line
};

// BT.601 limited range, as camera clips are encoded.
QImage frameImage(FramePlanes layout, int width, int height, std::span<const FramePlane> planes);

} // namespace qlx::viewer
