#pragma once
// A folder's entries as the cache writer takes them, for the cache file and
// cache store tests.

#include "cache/cache_writer.h"
#include "imagelist/image_entry.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

namespace qlx::test {

// Entry i is /home/u/写真/IMG_<A + i>, with historyCounts[i] history records
// (none past the list) filled with 0xA0 + i and, unless it is entry
// `withoutThumbnail`, a thumbnail block filled with 0xB0 + i: a block read
// from the wrong place shows at its edges. Not to be copied: `images` points
// into the entries and blocks.
struct TestList {
    std::vector<imagelist::ImageEntry> entries;
    std::vector<std::vector<std::byte>> histories, thumbnails;
    std::vector<cache::CacheEntryImage> images;

    explicit TestList(std::size_t count, std::vector<unsigned> historyCounts = {},
                      std::size_t withoutThumbnail = std::numeric_limits<std::size_t>::max())
        : entries(count)
    {
        historyCounts.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            EXPECT_TRUE(entries[i].setPath(u"/home/u/写真/IMG_" + std::u16string(1, static_cast<char16_t>(u'A' + i))));
            entries[i].setHistoryCount(historyCounts[i]);
            histories.emplace_back(historyCounts[i] * 522, std::byte(0xA0 + i));
            thumbnails.emplace_back(i == withoutThumbnail ? 0 : 17376, std::byte(0xB0 + i));
        }
        for (std::size_t i = 0; i < count; ++i)
            images.push_back({entries[i].recordBytes(), histories[i], thumbnails[i]});
    }
    TestList(const TestList&) = delete;
};

} // namespace qlx::test
