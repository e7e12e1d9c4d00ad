#include "imagelist/list_icon_cache.h"

#include "shell/settings_record.h"
#include "thumbs/list_icon.h"
#include "cache/thumbnail_block.h"
#include "thumbs/thumbnail_maker.h"

#include <algorithm>

namespace qlx::gui {

namespace {

QSize sizeSetting(const settings::SettingsRecord& record, io::ArrayField<std::int32_t> field)
{
    return {std::max(record.get(field, 0), 1), std::max(record.get(field, 1), 1)};
}

// Three icons per entry: the key keeps them apart.
quint64 keyOf(std::size_t index, ListIconKind kind)
{
    return (static_cast<quint64>(index) << 2) | static_cast<quint64>(kind);
}

qsizetype costOf(const QPixmap& pixmap)
{
    return static_cast<qsizetype>(pixmap.width()) * pixmap.height() * 4;
}

} // namespace

ListIconSettings listIconSettingsOf(const settings::SettingsRecord& record)
{
    ListIconSettings icons;
    icons.thumbnailSize = sizeSetting(record, settings::kThumbnailSize);
    icons.exifSize = sizeSetting(record, settings::kSmallThumbnailSize);
    icons.thumbnailFill = record.get(settings::kThumbnailFill, 0) != 0;
    icons.exifFill = record.get(settings::kThumbnailFill, 1) != 0;
    icons.sharpness = record.get(settings::kIconSharpness);
    return icons;
}

ListIconCache::ListIconCache(qint64 budgetBytes) : m_pixmaps(static_cast<qsizetype>(budgetBytes))
{
}

void ListIconCache::setSettings(const ListIconSettings& settings)
{
    if (settings == m_settings)
        return;
    m_settings = settings;
    m_pixmaps.clear();
}

QPixmap ListIconCache::icon(const imagelist::ListItem& item, std::size_t index, ListIconKind kind)
{
    const quint64 key = keyOf(index, kind);
    if (const QPixmap* kept = m_pixmaps.object(key))
        return *kept;
    QPixmap made = make(item, kind);
    if (made.isNull())
        return made;
    ++m_made;
    const qsizetype cost = costOf(made);
    // QCache refuses (and deletes) an object dearer than its whole budget;
    // the pixmap is still shown, only not kept.
    m_pixmaps.insert(key, new QPixmap(made), cost);
    return made;
}

void ListIconCache::invalidate(std::size_t index)
{
    for (const ListIconKind kind : {ListIconKind::Thumbnail, ListIconKind::Exif, ListIconKind::Histogram})
        m_pixmaps.remove(keyOf(index, kind));
}

void ListIconCache::clear()
{
    m_pixmaps.clear();
}

QPixmap ListIconCache::make(const imagelist::ListItem& item, ListIconKind kind) const
{
    const std::span<const std::byte> block = item.thumbnail();
    if (block.size() != cache::ThumbnailBlockLayout::kSize || !item.entry)
        return {};
    const cache::BlockPictures pictures = cache::readThumbnailBlock(
        std::span<const std::byte, cache::ThumbnailBlockLayout::kSize>(block.data(), block.size()));
    if (kind == ListIconKind::Histogram)
        return QPixmap::fromImage(thumbs::drawHistogramIcon(pictures.histogram, m_settings.exifSize));

    const imagelist::ImageEntry& entry = *item.entry;
    thumbs::IconRequest request;
    request.size = m_settings.sizeOf(kind);
    request.fill = kind == ListIconKind::Thumbnail ? m_settings.thumbnailFill : m_settings.exifFill;
    request.sharpness = m_settings.sharpness;
    const QSize pictureSize(entry.pictureWidth(), entry.pictureHeight());
    return QPixmap::fromImage(
        thumbs::drawListIcon(pictures.thumbnail, pictureSize, thumbs::rotationTotal(entry), request));
}

} // namespace qlx::gui
