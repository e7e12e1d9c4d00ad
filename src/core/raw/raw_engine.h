#pragma once
// The RAW engine: a camera file's sensor data developed into an 8-bit RGB
// picture in memory, on LibRaw.
//
// Every call starts from the same options, whatever the call before it did:
// bilinear interpolation; the camera's white balance, or the automatic one
// when the camera recorded none; highlights clipped; automatic brightness
// with at most 1 % of the pixels above the white point; sRGB with gamma
// 0.45 and toe slope 4.5; 8 bits; the camera's colour matrix where LibRaw's
// rule takes it; no median passes; and no lowering of the data maximum, so
// that the result is the classic decoder's. The picture is not turned by the
// camera's flip: it comes out in the sensor's orientation, and callers turn
// it once, by the entry's rotation total.
//
// Developments never overlap (development_gate.h). The time zone is left as
// it is.
//
// Thread model: any thread; the call blocks until its development is done.

#include "imagelist/memory_reserve.h"
#include "raw/cancel_flag.h"

#include <QImage>

#include <cstdint>
#include <filesystem>
#include <string>

namespace qlx::raw {

enum class DevelopMode : std::uint8_t {
    Quick = 0,         // half size, four colours
    High = 1,          // full size, three colours
    Best = 2,          // full size, four colours, then greens averaged
    // One eighth of each dimension: for 2 × 2 colour-filter data binned
    // from the sensor data (8 × 8 samples a pixel), otherwise the half size
    // averaged 4 × 4.
    ListThumbnail = 3,
};

// A quality setting's value (0, 1 or 2) as a mode; anything else is Quick.
DevelopMode modeFromQuality(std::uint8_t quality);

enum class DevelopFailure : std::uint8_t {
    None,
    Cancelled,     // the caller asked it to stop: not an error
    Unreadable,    // the file could not be opened or read
    NotRecognised, // no decoder knows the file
    Unsupported,   // a format this build of the library does not decode
    OutOfMemory,   // the development does not fit in the memory there is
    DecodeFailed,  // the data were damaged or the library gave up
};

struct Development {
    // Format_RGB888, top row first; null when the development failed. Its
    // size is the real one: data that are not colour-filtered (linear DNG,
    // small RAW) come back at full size even in the half-size modes.
    QImage picture;
    // The picture's size at full resolution: twice the picture's own in the
    // half-size modes for colour-filter data, the picture's own otherwise.
    // The view zooms by it.
    QSize fullSize;
    DevelopFailure failure = DevelopFailure::None;
    // The library's words, for logs and `qlx develop`, with its complaint
    // about damaged data where it had one (also beside a picture: LibRaw
    // goes on past some damage).
    std::string reason;

    bool ok() const { return failure == DevelopFailure::None; }
    bool cancelled() const { return failure == DevelopFailure::Cancelled; }
};

struct DevelopOptions {
    DevelopMode mode = DevelopMode::Quick;
    const CancelFlag* cancel = nullptr;
    // Told when a development does not fit; its bytes are kept free.
    imagelist::MemoryReserve* reserve = nullptr;
};

Development develop(const std::filesystem::path& path, const DevelopOptions& options);

// Whether this build of LibRaw decodes Sigma X3F files (Debian's does not:
// those files keep their embedded pictures and never reach the engine).
bool decodesX3f();

} // namespace qlx::raw
