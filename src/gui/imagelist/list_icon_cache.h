#pragma once
// The list icons of the image list, made when a view first asks for them and
// kept until their entry changes.
//
// Three icons come from an entry's thumbnail block: the thumbnail list's
// W × H icon (thumbnails and list styles), the Exif list's W2 × H2 icon (the
// file-name column of the details style) and the W2 × H2 histogram icon (the
// histogram column). Each is fitted, turned and sharpened by the rules of
// thumbs/list_icon.h with the settings of its size.
//
// Only the icons of rows a view has painted are ever made, so a list of
// tens of thousands of entries costs no more than the screenful shown. The
// pixmaps are kept in a cache bounded by bytes; the least recently used go
// first and are simply made again when asked for.
//
// GUI thread only (pixmaps). The thumbnail blocks are read as the list holds
// them; whoever fills them from a worker hands them over on this thread.

#include "imagelist/image_list.h"

#include <QCache>
#include <QPixmap>
#include <QSize>

#include <cstddef>
#include <cstdint>

namespace qlx::settings {
class SettingsRecord;
}

namespace qlx::gui {

enum class ListIconKind : std::uint8_t { Thumbnail = 0, Exif = 1, Histogram = 2 };

struct ListIconSettings {
    QSize thumbnailSize{88, 60}; // W × H
    QSize exifSize{28, 20};      // W2 × H2
    bool thumbnailFill = false;
    bool exifFill = false;
    int sharpness = 0;

    bool operator==(const ListIconSettings&) const = default;
    QSize sizeOf(ListIconKind kind) const { return kind == ListIconKind::Thumbnail ? thumbnailSize : exifSize; }
};

// The icon settings of the record: the two thumbnail sizes, their fill
// switches and the icon sharpness. Sizes below 1 pixel become 1.
ListIconSettings listIconSettingsOf(const settings::SettingsRecord& record);

class ListIconCache {
public:
    // Enough for several screenfuls of the largest icons.
    static constexpr qint64 kDefaultBudgetBytes = 64LL * 1024 * 1024;

    explicit ListIconCache(qint64 budgetBytes = kDefaultBudgetBytes);

    // New settings drop every icon made with the old ones.
    void setSettings(const ListIconSettings& settings);
    const ListIconSettings& settings() const { return m_settings; }

    // The icon of entry `index`; a null pixmap while it has no thumbnail
    // block (nothing is kept for it, so it is made once the block arrives).
    QPixmap icon(const imagelist::ListItem& item, std::size_t index, ListIconKind kind);

    // Forgets the icons of one entry (its thumbnail or rotation changed).
    void invalidate(std::size_t index);
    void clear();

    // How many icons are kept now.
    int size() const { return static_cast<int>(m_pixmaps.size()); }
    // How many icons were made since the cache was created.
    std::size_t madeCount() const { return m_made; }

private:
    QPixmap make(const imagelist::ListItem& item, ListIconKind kind) const;

    ListIconSettings m_settings;
    QCache<quint64, QPixmap> m_pixmaps;
    std::size_t m_made = 0;
};

} // namespace qlx::gui
