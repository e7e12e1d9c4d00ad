#pragma once
// The kinds of file the image list shows, and how a file name is classified.
//
// Each kind is one bit of a 32-bit mask. The same bits form the target-format
// mask of the settings (the kinds the user has switched on, one menu command
// each) and an image entry's kind field holds exactly one of them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "imagelist/video_extensions.h"

namespace qlx::imagelist {

inline constexpr std::uint32_t kKindBmp = 0x1;
inline constexpr std::uint32_t kKindJpeg = 0x2;
inline constexpr std::uint32_t kKindPng = 0x4;
inline constexpr std::uint32_t kKindGif = 0x8;
inline constexpr std::uint32_t kKindTiff = 0x10;
inline constexpr std::uint32_t kKindCrw = 0x20;
inline constexpr std::uint32_t kKindCr2 = 0x40;
inline constexpr std::uint32_t kKindNef = 0x80;
inline constexpr std::uint32_t kKindMrw = 0x100;
inline constexpr std::uint32_t kKindPef = 0x200;
inline constexpr std::uint32_t kKindOrf = 0x400;
inline constexpr std::uint32_t kKindRaf = 0x800;
inline constexpr std::uint32_t kKindSr2 = 0x1000;
inline constexpr std::uint32_t kKindArw = 0x2000;
inline constexpr std::uint32_t kKindDng = 0x4000;
inline constexpr std::uint32_t kKindNrw = 0x8000;
inline constexpr std::uint32_t kKindRaw = 0x10000;
inline constexpr std::uint32_t kKindRw2 = 0x20000;
inline constexpr std::uint32_t kKindRwl = 0x40000;
inline constexpr std::uint32_t kKindMef = 0x80000;
inline constexpr std::uint32_t kKindX3f = 0x100000;
inline constexpr std::uint32_t kKindPsd = 0x200000;
inline constexpr std::uint32_t kKindSrw = 0x400000;
inline constexpr std::uint32_t kKind3fr = 0x800000;
inline constexpr std::uint32_t kKindVideo = 0x1000000;
inline constexpr std::uint32_t kKindCr3 = 0x2000000;
// Bits 0x4000000 to 0x40000000 are not kinds.
inline constexpr std::uint32_t kKindDcr = 0x80000000;

inline constexpr std::uint32_t kRawKindMask = 0x82DFFFE0;
// Every kind switched on.
inline constexpr std::uint32_t kDefaultTargetMask = 0x83FFFFFF;

struct FileKindRecord {
    std::uint32_t bit;
    // Lower-case extensions without the dot; video files are recognised by
    // the video extension list instead and have none here.
    std::array<std::u16string_view, 2> extensions;
    // The Format column's three letters; every video shows "MPG".
    std::string_view formatName;
    // The label of the kind's command in the target-format menu (UTF-8).
    std::string_view menuLabel;
    bool raw;
    int menuCommand;
};

inline constexpr std::array<FileKindRecord, 27> kFileKinds{{
    {kKindBmp, {u"bmp"}, "BMP", "BMP", false, 140},
    {kKindJpeg, {u"jpg", u"jpeg"}, "JPG", "JPG", false, 141},
    {kKindPng, {u"png"}, "PNG", "PNG", false, 142},
    {kKindGif, {u"gif"}, "GIF", "GIF", false, 143},
    {kKindTiff, {u"tif", u"tiff"}, "TIF", "TIFF", false, 144},
    {kKindCrw, {u"crw"}, "CRW", "Canon CRW", true, 146},
    {kKindCr2, {u"cr2"}, "CR2", "Canon CR2", true, 147},
    {kKindNef, {u"nef"}, "NEF", "Nikon NEF", true, 148},
    {kKindMrw, {u"mrw"}, "MRW", "KONICA MINOLTA MRW", true, 154},
    {kKindPef, {u"pef"}, "PEF", "PENTAX PEF", true, 149},
    {kKindOrf, {u"orf"}, "ORF", "OLYMPUS ORF", true, 150},
    {kKindRaf, {u"raf"}, "RAF", "FUJIFILM RAF", true, 151},
    {kKindSr2, {u"sr2"}, "SR2", "SONY SR2", true, 152},
    {kKindArw, {u"arw"}, "ARW", "SONY ARW", true, 153},
    {kKindDng, {u"dng"}, "DNG", "Adobe DNG", true, 145},
    {kKindNrw, {u"nrw"}, "NRW", "Nikon NRW", true, 233},
    {kKindRaw, {u"raw"}, "RAW", "Panasonic/Leica RAW", true, 235},
    {kKindRw2, {u"rw2"}, "RW2", "Panasonic RW2", true, 237},
    {kKindRwl, {u"rwl"}, "RWL", "Leica RWL", true, 239},
    {kKindMef, {u"mef"}, "MEF", "Mamiya MEF", true, 238},
    {kKindX3f, {u"x3f"}, "X3F", "Sigma X3F", true, 236},
    {kKindPsd, {u"psd"}, "PSD", "Adobe PSD", false, 242},
    {kKindSrw, {u"srw"}, "SRW", "Samsung SRW", true, 261},
    {kKind3fr, {u"3fr", u"fff"}, "3FR", "HasselBlad 3F Raw", true, 274},
    {kKindVideo, {}, "MPG", "動画", false, 309},
    {kKindCr3, {u"cr3"}, "CR3", "Canon CR3", true, 558},
    {kKindDcr, {u"dcr"}, "DCR", "Kodak DCR", true, 278},
}};

// The index in kFileKinds of one kind bit; -1 for 0, several bits or a bit
// that is not a kind.
constexpr int kindIndex(std::uint32_t bit)
{
    for (std::size_t i = 0; i < kFileKinds.size(); ++i) {
        if (kFileKinds[i].bit == bit)
            return static_cast<int>(i);
    }
    return -1;
}

// The row of one kind bit, or nullptr as kindIndex gives -1.
constexpr const FileKindRecord* findKind(std::uint32_t bit)
{
    const int index = kindIndex(bit);
    return index < 0 ? nullptr : &kFileKinds[static_cast<std::size_t>(index)];
}

constexpr bool isRawKind(std::uint32_t kind)
{
    return (kind & kRawKindMask) != 0;
}

// The kind bit of a file name, or 0 when the file is not listed: the
// extension kinds switched on in `targetMask`, then the four-letter "jpeg"
// and "tiff" endings (always on), then the video list when the video kind is
// switched on.
std::uint32_t classify(std::u16string_view fileName, std::uint32_t targetMask,
                       const VideoExtensions& video);

// kKindVideo when the text after the file name's last '.' is in the video
// list, else 0.
std::uint32_t isVideo(std::u16string_view fileName, const VideoExtensions& video);

// The Format column's name of a kind: the name of its lowest set bit; empty
// when that bit is not a kind (or kind is 0).
std::string_view formatName(std::uint32_t kind);

// The target-format menu's label of one kind bit (UTF-8); empty when the bit
// is not a kind.
std::string_view menuLabel(std::uint32_t bit);

// The kind bit a target-format menu command toggles; 0 for other commands.
std::uint32_t kindOfMenuCommand(int command);

} // namespace qlx::imagelist
