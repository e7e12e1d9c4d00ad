#pragma once
// ImageEntry: the record the image list keeps for each listed file.
//
// The record is 1,624 bytes. Its first 1,612 bytes are plain little-endian
// data and are the record format of the thumbnail cache, written and read as
// they stand; the last 12 bytes belonged to in-memory stream references and
// mean nothing on disk. The entry is kept as that byte array and read and
// written only through the field table below, so the stored layout lives in
// one place and is checked at compile time.
//
// Pointer-sized fields of the layout (the file-name pointer at 532, the
// history pointer at 1560, the image buffers and pictures at 1568..1591 and
// the streams at 1612..1623) are never filled with pointers: those bytes stay
// zero in memory and on disk. The file-name part is computed from the path;
// the history, image levels and streams will be ordinary C++ members of this
// class, next to the byte array, when their subsystems arrive.
//
// Entries are big; owners keep them on the heap (std::unique_ptr<ImageEntry>).

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "io/record_bytes.h"

namespace qlx::imagelist {

class ImageEntry {
public:
    static constexpr std::size_t kRecordSize = 1624;
    static constexpr std::size_t kPersistentSize = 1612;
    static constexpr std::size_t kPathUnits = 260;

    // ---- Field table -----------------------------------------------------
    static constexpr io::ScalarField<std::int32_t> kCacheIndex{0};
    static constexpr io::ScalarField<std::int32_t> kPictureWidth{4};
    static constexpr io::ScalarField<std::int32_t> kPictureHeight{8};
    static constexpr io::Utf16Field kPath{12, kPathUnits};
    // In-memory name pointer of the layout; always zero here.
    static constexpr io::ScalarField<std::uint32_t> kNamePointer{532};
    static constexpr io::ScalarField<std::uint16_t> kCameraIndex{536};
    static constexpr io::ScalarField<std::uint8_t> kOrientation{542};
    static constexpr io::ScalarField<std::uint8_t> kOrientationByteOrder{543};
    // File offset of the orientation value's two bytes (0 unknown), which
    // lossless rotation rewrites in place. Kept in the free bytes right after
    // the orientation so the three orientation facts sit together.
    static constexpr io::ScalarField<std::uint32_t> kOrientationOffset{544};
    static constexpr io::ScalarField<std::uint32_t> kKind{548};
    static constexpr io::ScalarField<std::uint32_t> kFileSize{552};
    static constexpr io::ScalarField<std::uint32_t> kLastWriteLow{556};
    static constexpr io::ScalarField<std::uint32_t> kLastWriteHigh{560};
    static constexpr io::ScalarField<std::uint32_t> kPreviewOffset{564};
    static constexpr io::ScalarField<std::uint32_t> kPreviewSize{568};
    static constexpr io::ScalarField<std::uint32_t> kThumbOffset{572};
    static constexpr io::ScalarField<std::uint32_t> kThumbSize{576};

    // Shooting-data texts, capacities in UTF-16 units with the terminator.
    static constexpr io::Utf16Field kStatus{580, 16};
    static constexpr io::Utf16Field kFormat{612, 4};
    static constexpr io::Utf16Field kFileSizeText{620, 16};
    static constexpr io::Utf16Field kUpdateTime{652, 20};
    static constexpr io::Utf16Field kImageSize{692, 16};
    static constexpr io::Utf16Field kMaker{724, 32};
    static constexpr io::Utf16Field kModel{788, 32};
    static constexpr io::Utf16Field kOrientationText{852, 2};
    static constexpr io::Utf16Field kDateTime{856, 20};
    static constexpr io::Utf16Field kShutterSpeed{896, 8};
    static constexpr io::Utf16Field kFNumber{912, 8};
    static constexpr io::Utf16Field kExposureProgram{928, 16};
    static constexpr io::Utf16Field kIso{960, 8};
    static constexpr io::Utf16Field kExposureBias{976, 8};
    static constexpr io::Utf16Field kMeteringMode{992, 16};
    static constexpr io::Utf16Field kLens{1024, 128};
    // The histogram item has no text; its slot holds the raw 35 mm focal
    // length instead.
    static constexpr io::Utf16Field kFl35mm{1280, 16};
    static constexpr io::Utf16Field kFocalLength{1312, 16};
    static constexpr io::Utf16Field kExposureMode{1344, 16};
    static constexpr io::Utf16Field kWhiteBalance{1376, 16};
    static constexpr io::Utf16Field kFlash{1408, 4};
    static constexpr io::Utf16Field kExifVersion{1416, 4};
    static constexpr io::Utf16Field kMediaNumber{1424, 16};

    static constexpr io::ScalarField<std::uint16_t> kFlags{1544};
    static constexpr io::ScalarField<std::uint8_t> kCheckMark{1546};
    static constexpr io::ScalarField<std::uint8_t> kPresence{1548};
    static constexpr io::ScalarField<std::uint8_t> kUserRotation{1549};
    static constexpr io::ScalarField<std::uint8_t> kOrientationRotation{1550};
    static constexpr io::ScalarField<std::uint8_t> kViewDevelopRequest{1551};
    static constexpr io::ScalarField<std::uint32_t> kHistoryCount{1552};
    static constexpr io::ScalarField<std::int32_t> kHistoryPosition{1556};
    // In-memory areas of the layout; always zero here.
    static constexpr io::ScalarField<std::uint32_t> kHistoryPointer{1560};
    static constexpr io::ArrayField<std::uint32_t> kImageBuffers{1568, 3};
    static constexpr io::ArrayField<std::uint32_t> kPictures{1580, 3};
    static constexpr io::ScalarField<double> kVideoPosition{1596};
    static constexpr io::ScalarField<std::int8_t> kVideoSlot{1604};
    static constexpr io::ScalarField<std::int8_t> kVideoVolume{1605};
    // The second a video's thumbnail frame was grabbed at, plus one (0: not
    // grabbed), kept in the two free bytes before the length so that the
    // cache remembers it: a changed thumbnail time grabs the frame again.
    static constexpr io::ScalarField<std::uint16_t> kVideoGrabSecond{1606};
    static constexpr io::ScalarField<std::int32_t> kVideoLength{1608};
    static constexpr io::ArrayField<std::uint32_t> kStreams{1612, 3};

    // ---- Values --------------------------------------------------------
    // Shooting-data item numbers (the list columns).
    enum Item : int {
        kItemFileName = 0, kItemHistogram = 1, kItemStatus = 2, kItemFormat = 3,
        kItemFileSize = 4, kItemUpdateTime = 5, kItemImageSize = 6, kItemMaker = 7,
        kItemModel = 8, kItemOrientation = 9, kItemDateTime = 10, kItemShutterSpeed = 11,
        kItemFNumber = 12, kItemExposureProgram = 13, kItemIso = 14, kItemExposureBias = 15,
        kItemMeteringMode = 16, kItemLens = 17, kItemFocalLength = 18, kItemExposureMode = 19,
        kItemWhiteBalance = 20, kItemFlash = 21, kItemExifVersion = 22, kItemMediaNumber = 23,
    };
    static constexpr int kItemCount = 24;

    // Flag word bits.
    static constexpr std::uint16_t kFlagHalfSize = 0x1;           // developed at half size
    static constexpr std::uint16_t kFlagMetadataRead = 0x2;
    static constexpr std::uint16_t kFlagListIconRedo = 0x4;
    static constexpr std::uint16_t kFlagThumbInvalid = 0x8;       // thumbnail to be rebuilt
    static constexpr std::uint16_t kFlagReloadPicture = 0x10;
    static constexpr std::uint16_t kFlagDevelopForView = 0x20;
    static constexpr std::uint16_t kFlagPreviewIsEngineOutput = 0x80;
    static constexpr std::uint16_t kFlagPlaybackOpen = 0x100;
    static constexpr std::uint16_t kFlagPaused = 0x200;
    static constexpr std::uint16_t kFlagEnlargedVideo = 0x400;
    static constexpr std::uint16_t kFlagPlaybackMode = 0x800;     // view in playback mode
    static constexpr std::uint16_t kFlagUnrenderable = 0x1000;    // file known not to render

    // Presence byte: 0 when the file is gone from its place.
    static constexpr std::uint8_t kPresenceCounted = 0x1;   // counts in the totals
    static constexpr std::uint8_t kPresenceSeenAtEnd = 0x2; // present at the end of a folder read

    enum class OrientationByteOrder : std::uint8_t { Unknown = 0, Little = 1, Big = 2 };
    enum class ViewDevelopRequest : std::uint8_t { None = 0, Automatic = 1, ThisPane = 2, Always = 3 };

    static constexpr std::int8_t kDefaultVideoVolume = -40;

    // What the folder reader knows of a file when it makes a fresh entry.
    struct FreshFacts {
        std::u16string_view path;
        std::uint32_t kind = 0;
        std::uint64_t fileSize = 0;      // only the low 32 bits are kept
        std::uint64_t lastWriteTime = 0; // FILETIME
        // The initial-video-volume setting; its low byte is the volume.
        std::int32_t videoVolumeSetting = kDefaultVideoVolume;
        // The setting that makes new entries start with an enlarged video.
        bool startEnlargedVideo = false;
    };

    // ---- Construction --------------------------------------------------
    // An all-zero record.
    ImageEntry() = default;

    // A fresh entry for a file found on disk; nullptr when the path and its
    // terminator do not fit the 260-unit field (such a file is not listed).
    static std::unique_ptr<ImageEntry> createFresh(const FreshFacts& facts);
    // Clears this entry and fills it as createFresh does. Returns false, and
    // leaves the entry as it was, when the path does not fit.
    bool fillFresh(const FreshFacts& facts);

    // An entry from a cached record: the first 1,612 bytes are taken as they
    // stand and the in-memory areas are zeroed. `record` may be the whole
    // 1,624-byte record of the cache file; nullptr when it is shorter than
    // 1,612 bytes. Rules for taking a record over (flags kept, presence,
    // cache index) are the folder reader's.
    static std::unique_ptr<ImageEntry> fromCacheRecord(std::span<const std::byte> record);

    // ---- Bytes -----------------------------------------------------------
    std::span<const std::byte, kPersistentSize> persistentBytes() const;
    // The whole record, as the cache file and development jobs store it.
    std::span<const std::byte, kRecordSize> recordBytes() const { return m_bytes; }
    // Copies `size` bytes at `offset` from another entry's record (both
    // clamped to the record).
    void copyBytesFrom(const ImageEntry& other, std::size_t offset, std::size_t size);

    // ---- Fields --------------------------------------------------------
    std::int32_t cacheIndex() const { return get(kCacheIndex); }
    void setCacheIndex(std::int32_t index) { set(kCacheIndex, index); }

    std::int32_t pictureWidth() const { return get(kPictureWidth); }
    std::int32_t pictureHeight() const { return get(kPictureHeight); }
    void setPictureSize(std::int32_t width, std::int32_t height);

    std::u16string path() const { return io::loadUtf16(m_bytes, kPath); }
    // Returns false, and keeps the old path, when `path` and its terminator
    // do not fit: a path is never cut.
    bool setPath(std::u16string_view path) { return io::storeUtf16(m_bytes, kPath, path); }
    // The file-name part: the text after the path's last '/' (the whole path
    // when it has none).
    std::u16string name() const;
    // Whether the file-name part is exactly `fileName`, read in place (the
    // folder watcher asks this of every entry for every change).
    bool hasName(std::u16string_view fileName) const;

    std::uint16_t cameraIndex() const { return get(kCameraIndex); }
    void setCameraIndex(std::uint16_t index) { set(kCameraIndex, index); }

    std::uint8_t orientation() const { return get(kOrientation); }
    void setOrientation(std::uint8_t orientation) { set(kOrientation, orientation); }
    OrientationByteOrder orientationByteOrder() const;
    void setOrientationByteOrder(OrientationByteOrder order);
    std::uint32_t orientationOffset() const { return get(kOrientationOffset); }
    void setOrientationOffset(std::uint32_t offset) { set(kOrientationOffset, offset); }

    std::uint32_t kind() const { return get(kKind); }
    void setKind(std::uint32_t kind) { set(kKind, kind); }

    // Low 32 bits of the file size.
    std::uint32_t fileSize() const { return get(kFileSize); }
    void setFileSize(std::uint64_t size) { set(kFileSize, static_cast<std::uint32_t>(size & 0xFFFF'FFFFu)); }

    std::uint64_t lastWriteTime() const;
    void setLastWriteTime(std::uint64_t fileTime);

    std::uint32_t previewOffset() const { return get(kPreviewOffset); }
    void setPreviewOffset(std::uint32_t offset) { set(kPreviewOffset, offset); }
    std::uint32_t previewSize() const { return get(kPreviewSize); }
    void setPreviewSize(std::uint32_t size) { set(kPreviewSize, size); }
    std::uint32_t thumbOffset() const { return get(kThumbOffset); }
    void setThumbOffset(std::uint32_t offset) { set(kThumbOffset, offset); }
    std::uint32_t thumbSize() const { return get(kThumbSize); }
    void setThumbSize(std::uint32_t size) { set(kThumbSize, size); }

    // The text field of a shooting-data item 1..23 (item 1 is the 35 mm
    // focal-length slot); nullopt for item 0, whose text is name(), and for
    // numbers outside the list.
    static std::optional<io::Utf16Field> itemField(int item);
    // Item 0 gives name(); unknown items give an empty text.
    std::u16string itemText(int item) const;
    // Stores a text cut to the item's capacity. Returns false for item 0 and
    // unknown items.
    bool setItemText(int item, std::u16string_view text);

    std::uint16_t flags() const { return get(kFlags); }
    void setFlags(std::uint16_t flags) { set(kFlags, flags); }
    bool hasFlag(std::uint16_t flag) const { return (flags() & flag) != 0; }
    void setFlag(std::uint16_t flag, bool on);

    bool checked() const { return get(kCheckMark) == 1; }
    void setChecked(bool checked) { set(kCheckMark, static_cast<std::uint8_t>(checked ? 1 : 0)); }

    std::uint8_t presence() const { return get(kPresence); }
    void setPresence(std::uint8_t presence) { set(kPresence, presence); }
    bool isPresent() const { return presence() != 0; }

    std::uint8_t userRotation() const { return get(kUserRotation); }
    void setUserRotation(std::uint8_t quarterTurns) { set(kUserRotation, quarterTurns); }
    std::uint8_t orientationRotation() const { return get(kOrientationRotation); }
    void setOrientationRotation(std::uint8_t quarterTurns) { set(kOrientationRotation, quarterTurns); }

    ViewDevelopRequest viewDevelopRequest() const;
    void setViewDevelopRequest(ViewDevelopRequest request);

    std::uint32_t historyCount() const { return get(kHistoryCount); }
    void setHistoryCount(std::uint32_t count) { set(kHistoryCount, count); }
    std::int32_t historyPosition() const { return get(kHistoryPosition); }
    void setHistoryPosition(std::int32_t position) { set(kHistoryPosition, position); }

    double videoPosition() const { return get(kVideoPosition); }
    void setVideoPosition(double seconds) { set(kVideoPosition, seconds); }
    std::int8_t videoSlot() const { return get(kVideoSlot); }
    void setVideoSlot(std::int8_t slot) { set(kVideoSlot, slot); }
    std::int8_t videoVolume() const { return get(kVideoVolume); }
    void setVideoVolume(std::int8_t volume) { set(kVideoVolume, volume); }
    std::int32_t videoLength() const { return get(kVideoLength); }
    // Nothing when no frame was grabbed for the thumbnail.
    std::optional<std::int32_t> videoGrabbedAt() const
    {
        const std::uint16_t stored = get(kVideoGrabSecond);
        return stored == 0 ? std::nullopt : std::optional<std::int32_t>(stored - 1);
    }
    void setVideoGrabbedAt(std::int32_t second)
    {
        set(kVideoGrabSecond, static_cast<std::uint16_t>(std::clamp(second, 0, 65534) + 1));
    }
    void setVideoLength(std::int32_t seconds) { set(kVideoLength, seconds); }

private:
    template <typename T>
    T get(io::ScalarField<T> field) const { return io::loadLe<T>(m_bytes, field.offset); }
    template <typename T>
    void set(io::ScalarField<T> field, std::type_identity_t<T> value) { io::storeLe<T>(m_bytes, field.offset, value); }

    std::array<std::byte, kRecordSize> m_bytes{};
};

// The second a clip's frame is taken at: `wanted` (the thumbnail-time
// setting) clamped to 0 … max(0, length − 1), so a clip shorter than a
// second gives its first frame.
inline std::int32_t videoGrabSecond(std::int32_t wanted, std::int32_t lengthSeconds)
{
    return std::clamp(wanted, 0, std::max(0, lengthSeconds - 1));
}

} // namespace qlx::imagelist
