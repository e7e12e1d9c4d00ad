#include "thumbs/picture_memory.h"

namespace qlx::thumbs {

std::uint64_t pictureBytes(QSize size, int bytesPerPixel)
{
    if (size.isEmpty() || bytesPerPixel <= 0)
        return 0;
    return static_cast<std::uint64_t>(size.width()) * static_cast<std::uint64_t>(size.height())
           * static_cast<std::uint64_t>(bytesPerPixel);
}

bool reserveAffords(imagelist::MemoryReserve* reserve, std::uint64_t bytes)
{
    return reserve == nullptr || reserve->affords(bytes);
}

QImage allocatePicture(QSize size, QImage::Format format, imagelist::MemoryReserve* reserve)
{
    const int bytesPerPixel = (QImage::toPixelFormat(format).bitsPerPixel() + 7) / 8;
    if (!reserveAffords(reserve, pictureBytes(size, bytesPerPixel)))
        return {};
    QImage picture(size, format);
    if (picture.isNull() && reserve != nullptr)
        reserve->raiseAfterFailure();
    return picture;
}

} // namespace qlx::thumbs
