#pragma once
// Pictures allocated through the memory reserve (imagelist/memory_reserve.h).
//
// A decoded picture is the largest block a loader asks for: a 24-megapixel
// preview is 96 MiB. Asking the reserve first keeps the read-ahead from
// pushing the system into swap; a picture that cannot be had is a failure
// of that picture (the caller skips it), and the reserve is raised as for
// any failed allocation. A null reserve asks nothing (the tests and the
// command-line tool).
//
// Thread model: any thread; the reserve is safe to share.

#include "imagelist/memory_reserve.h"

#include <QImage>
#include <QSize>

#include <cstdint>

namespace qlx::thumbs {

// The bytes a picture of `size` takes at `bytesPerPixel`.
std::uint64_t pictureBytes(QSize size, int bytesPerPixel);

// Whether the reserve lets a picture of that many bytes be allocated;
// always true without a reserve.
bool reserveAffords(imagelist::MemoryReserve* reserve, std::uint64_t bytes);

// A new picture of `size` and `format`, or a null picture when the reserve
// refuses it or the allocation fails (which raises the reserve too).
QImage allocatePicture(QSize size, QImage::Format format, imagelist::MemoryReserve* reserve);

} // namespace qlx::thumbs
