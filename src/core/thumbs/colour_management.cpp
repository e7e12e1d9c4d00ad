#include "thumbs/colour_management.h"

namespace qlx::thumbs {

QColorSpace colourSpaceFromIcc(const QByteArray& profile)
{
    if (profile.isEmpty() || static_cast<std::size_t>(profile.size()) > kMaxIccProfileBytes)
        return {};
    return QColorSpace::fromIccProfile(profile);
}

void convertToSrgb(QImage& picture, const QColorSpace& space)
{
    if (picture.isNull() || !space.isValid())
        return;
    const QColorSpace srgb(QColorSpace::SRgb);
    if (space == srgb)
        return;
    picture.setColorSpace(space);
    picture.convertToColorSpace(srgb);
}

} // namespace qlx::thumbs
