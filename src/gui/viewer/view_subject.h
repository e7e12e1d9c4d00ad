#pragma once
// What one view pane shows, handed in by the main window as a plain value:
// the entry's place in the list, the facts of its record that painting
// looks at, its overlay text, and the two small pictures of its thumbnail
// block. The pane keeps no pointer into the image list, so the list may
// change under it; a new subject replaces the old one whole.

#include "imagelist/image_entry.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QtGlobal>

#include <cstdint>

namespace qlx::gui {

struct ViewSubject {
    quint64 generation = 0;   // the folder load the position belongs to
    int position = -1;        // list position; -1 when there is no entry
    int count = 0;            // entries in the list
    QString path;
    QString name;
    std::uint16_t flags = 0;
    std::uint8_t presence = 0;
    std::uint32_t kind = 0;
    int rotation = 0;         // quarter turns clockwise, 0..3
    QSize pictureSize;        // after the crop, in the file's own orientation
    QString infoText;         // the shooting-data overlay
    QImage thumbnail;         // 88 × 60, the file's own orientation; may be null
    QImage histogram;         // 32 × 16; null until it is made

    bool hasEntry() const { return position >= 0; }
    bool samePicture(const ViewSubject& other) const
    {
        return generation == other.generation && position == other.position && path == other.path;
    }

    // The subject of an entry at `position` of a list of `count` entries.
    static ViewSubject fromEntry(quint64 generation, int position, int count, const imagelist::ImageEntry& entry,
                                 const QImage& thumbnail, const QImage& histogram);
};

} // namespace qlx::gui
