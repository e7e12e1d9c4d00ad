#pragma once
// The RAW engine as the source of a list thumbnail or a view's preview: which
// files it may develop, and what a development is handed besides its mode.
//
// A file goes to the engine only when it has no usable embedded picture
// (thumbnail_maker.h plans that) and this rule allows it: the camera record
// has the RAW-development flag, is not the unknown camera's, and the file is
// of a kind the engine is trusted with (kEngineThumbnailKinds), or carries
// the X3F record while this build of LibRaw decodes X3F (Debian's does not:
// those files keep their embedded pictures).
//
// Thread model: the list-information worker and the preview decoder develop
// on their own threads, never on the user-interface thread and never while
// holding a lock that thread waits for: a development takes seconds.
// Developments never overlap and are served in the order they asked
// (raw/development_gate.h); the list worker asks for one thumbnail at a
// time, so a preview for the view waits for one thumbnail at most.

#include "imagelist/image_entry.h"
#include "imagelist/memory_reserve.h"
#include "metadata/camera_table.h"
#include "raw/cancel_flag.h"

#include <cstdint>
#include <filesystem>

namespace qlx::thumbs {

// Kinds whose files without an embedded thumbnail are developed by the RAW
// engine when their camera is developable: CRW, DNG, Panasonic/Leica RAW,
// MEF and DCR.
inline constexpr std::uint32_t kEngineThumbnailKinds = 0x8009'4020;

// What a development is handed besides its mode.
struct EngineAccess {
    std::filesystem::path path;
    const raw::CancelFlag* cancel = nullptr; // the owner's stop request; may be null
    // Asked before the development and every decoded picture of the entry
    // is allocated, and told when memory is short; may be null.
    imagelist::MemoryReserve* reserve = nullptr;
};

// Whether the engine may develop this entry's file (the rule above).
bool engineDevelops(const imagelist::ImageEntry& entry, const metadata::CameraRecord& record);

} // namespace qlx::thumbs
