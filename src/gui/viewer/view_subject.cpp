#include "viewer/view_subject.h"

#include "metadata/shooting_text.h"
#include "shell/qt_text.h"
#include "thumbs/thumbnail_maker.h"

namespace qlx::gui {

ViewSubject ViewSubject::fromEntry(quint64 generation, int position, int count, const imagelist::ImageEntry& entry,
                                   const QImage& thumbnail, const QImage& histogram)
{
    ViewSubject s;
    s.generation = generation;
    s.position = position;
    s.count = count;
    s.path = toQString(entry.path());
    s.name = toQString(entry.name());
    s.flags = entry.flags();
    s.presence = entry.presence();
    s.kind = entry.kind();
    s.rotation = thumbs::rotationTotal(entry);
    s.pictureSize = QSize(entry.pictureWidth(), entry.pictureHeight());
    s.infoText = toQString(metadata::overlayInfoText(entry));
    s.thumbnail = thumbnail;
    s.histogram = histogram;
    return s;
}

} // namespace qlx::gui
