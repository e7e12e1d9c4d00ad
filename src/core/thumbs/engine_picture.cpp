#include "thumbs/engine_picture.h"

#include "raw/raw_engine.h"

namespace qlx::thumbs {

bool engineDevelops(const imagelist::ImageEntry& entry, const metadata::CameraRecord& record)
{
    if (!record.developable || record.id == metadata::kUnknownCameraId)
        return false;
    if (record.id == metadata::kCameraIdX3f)
        return raw::decodesX3f();
    return (entry.kind() & kEngineThumbnailKinds) != 0;
}

} // namespace qlx::thumbs
