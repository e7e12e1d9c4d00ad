#pragma once
// The image list: the entries of the open folder or collection, what each
// entry owns besides its record (history records, thumbnail block), the
// display order and the current position.
//
// Entries are created and freed only on the user-interface thread while the
// workers are stopped (the folder loader stops them first); workers later
// change entries in place but never add or remove them, except the folder
// watcher's appends, which the list pane is told about.

#include "imagelist/image_entry.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace qlx::cache {
class CacheFile;
struct CacheEntryImage;
}

namespace qlx::imagelist {

// The display order is a table of 16-bit entry numbers, and 0xFFFF is kept
// free as "no entry": a list never holds more than 65,534 entries.
inline constexpr std::size_t kMaxListEntries = 65'534;

// One entry with what it owns.
struct ListItem {
    std::unique_ptr<ImageEntry> entry;
    // The entry's history records: its history count × 522 bytes.
    std::vector<std::byte> history;
    // The 17,376-byte thumbnail block taken from the loaded cache (a view
    // into the cache the list keeps alive), or one made since.
    std::span<const std::byte> cachedThumbnail;
    std::vector<std::byte> madeThumbnail;

    std::span<const std::byte> thumbnail() const
    {
        return madeThumbnail.empty() ? cachedThumbnail : std::span<const std::byte>(madeThumbnail);
    }
    void dropThumbnail()
    {
        cachedThumbnail = {};
        madeThumbnail.clear();
        madeThumbnail.shrink_to_fit();
    }
};

class ImageList {
public:
    ImageList();
    ~ImageList();
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;
    // A list read on another thread is handed over whole.
    ImageList(ImageList&&) noexcept;
    ImageList& operator=(ImageList&&) noexcept;

    std::size_t size() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    bool full() const { return m_items.size() >= kMaxListEntries; }

    ListItem& item(std::size_t index) { return m_items[index]; }
    const ListItem& item(std::size_t index) const { return m_items[index]; }
    ImageEntry& entry(std::size_t index) { return *m_items[index].entry; }
    const ImageEntry& entry(std::size_t index) const { return *m_items[index].entry; }

    // Adds an entry at the end; nullptr (and the entry dropped) when the list
    // is full. The display order is not touched: callers reset or extend it.
    ListItem* append(std::unique_ptr<ImageEntry> entry);
    // Frees every entry, the order, the position and the cache view.
    void clear();

    // ---- Display order -----------------------------------------------------
    // order()[p] is the entry shown at position p.
    std::span<std::uint16_t> order() { return m_order; }
    std::span<const std::uint16_t> order() const { return m_order; }
    // Position p shows entry p.
    void resetOrder();
    // Appends the entries not yet in the order (after appends).
    void extendOrder();
    // The entry shown at `position`; nullopt outside the list.
    std::optional<std::size_t> entryAt(std::int64_t position) const;
    // The position that shows `index`; nullopt when it is not in the order.
    std::optional<std::size_t> positionOf(std::size_t index) const;

    std::int64_t currentPosition() const { return m_current; }
    void setCurrentPosition(std::int64_t position) { m_current = position; }

    // ---- Lookups -----------------------------------------------------------
    // The entry whose file name is exactly `name`; nullopt when none.
    std::optional<std::size_t> findByName(std::u16string_view name) const;

    // ---- The cache the thumbnails come from ---------------------------------
    void setCacheSource(std::shared_ptr<const cache::CacheFile> cache);
    const std::shared_ptr<const cache::CacheFile>& cacheSource() const { return m_cacheSource; }

    // The entries in display order as the cache stores them (views into the
    // list: valid while the list is unchanged).
    std::vector<cache::CacheEntryImage> cacheImages() const;

private:
    std::vector<ListItem> m_items;
    std::vector<std::uint16_t> m_order;
    std::int64_t m_current = -1;
    std::shared_ptr<const cache::CacheFile> m_cacheSource;
};

} // namespace qlx::imagelist
