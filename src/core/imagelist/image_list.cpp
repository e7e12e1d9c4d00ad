#include "imagelist/image_list.h"

#include "cache/cache_file.h"
#include "cache/cache_writer.h"

#include <numeric>

namespace qlx::imagelist {

ImageList::ImageList() = default;
ImageList::~ImageList() = default;
ImageList::ImageList(ImageList&&) noexcept = default;
ImageList& ImageList::operator=(ImageList&&) noexcept = default;

ListItem* ImageList::append(std::unique_ptr<ImageEntry> entry)
{
    if (full() || !entry)
        return nullptr;
    m_items.push_back(ListItem{std::move(entry), {}, {}, {}});
    return &m_items.back();
}

void ImageList::clear()
{
    m_items.clear();
    m_items.shrink_to_fit();
    m_order.clear();
    m_current = -1;
    m_cacheSource.reset();
}

void ImageList::resetOrder()
{
    m_order.resize(m_items.size());
    std::iota(m_order.begin(), m_order.end(), std::uint16_t{0});
}

void ImageList::extendOrder()
{
    std::vector<bool> shown(m_items.size(), false);
    for (const std::uint16_t index : m_order)
        if (index < shown.size())
            shown[index] = true;
    for (std::size_t index = 0; index < m_items.size(); ++index)
        if (!shown[index])
            m_order.push_back(static_cast<std::uint16_t>(index));
}

std::optional<std::size_t> ImageList::entryAt(std::int64_t position) const
{
    if (position < 0 || static_cast<std::uint64_t>(position) >= m_order.size())
        return std::nullopt;
    const std::size_t index = m_order[static_cast<std::size_t>(position)];
    if (index >= m_items.size())
        return std::nullopt;
    return index;
}

std::optional<std::size_t> ImageList::positionOf(std::size_t index) const
{
    for (std::size_t position = 0; position < m_order.size(); ++position)
        if (m_order[position] == index)
            return position;
    return std::nullopt;
}

std::optional<std::size_t> ImageList::findByName(std::u16string_view name) const
{
    for (std::size_t index = 0; index < m_items.size(); ++index)
        if (m_items[index].entry->hasName(name))
            return index;
    return std::nullopt;
}

void ImageList::setCacheSource(std::shared_ptr<const cache::CacheFile> cache)
{
    m_cacheSource = std::move(cache);
}

std::vector<cache::CacheEntryImage> ImageList::cacheImages() const
{
    std::vector<cache::CacheEntryImage> images;
    images.reserve(m_order.size());
    for (const std::uint16_t index : m_order) {
        if (index >= m_items.size())
            continue;
        const ListItem& item = m_items[index];
        images.push_back({item.entry->recordBytes(), item.history, item.thumbnail()});
    }
    return images;
}

} // namespace qlx::imagelist
