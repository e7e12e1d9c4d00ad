#include "shell/settings_defaults.h"

#include <algorithm>

namespace qlx::settings {

const std::array<std::int32_t, kColumnCount> kDefaultColumnWidths{
    160, 40, 60, 50, 70, 130, 80, 90, 110, 40, 130, 60,
    50, 80, 50, 50, 80, 160, 60, 80, 80, 50, 50, 60};

const std::array<std::u16string_view, kColumnCount> kDefaultColumnTitles{
    u"ﾌｧｲﾙ名", u"ﾋｽﾄｸﾞﾗﾑ", u"ｽﾃｰﾀｽ", u"ﾌｫｰﾏｯﾄ", u"ﾌｧｲﾙｻｲｽﾞ", u"更新日時",
    u"画像ｻｲｽﾞ", u"ﾒｰｶｰ", u"機種", u"縦横", u"撮影日時", u"ｼｬｯﾀｰｽﾋﾟｰﾄﾞ",
    u"F値", u"露出ﾌﾟﾛｸﾞﾗﾑ", u"ISO感度", u"露出補正", u"測光ﾓｰﾄﾞ", u"レンズ",
    u"焦点距離", u"露出ﾓｰﾄﾞ", u"ﾎﾜｲﾄﾊﾞﾗﾝｽ", u"ﾌﾗｯｼｭ", u"Exifﾊﾞｰｼﾞｮﾝ", u"ﾒﾃﾞｨｱ分割#"};

// Menu toolbar, the two combo boxes, slider, log, progress, tool box.
const std::array<std::int32_t, kRebarBandCount> kDefaultBandWidths{120, 240, 240, 200, 300, 150, 400};
// The band style's line-break bit: the tool box begins a second line, as its
// buttons do not fit beside the other bands on a usual screen.
const std::array<std::int32_t, kRebarBandCount> kDefaultBandStyles{0, 0, 0, 0, 0, 0, 1};

// Buttons grouped by what they do: screen, display, zoom, RAW, rotation,
// slide show, check marks, refresh, media, settings, split views.
const std::array<std::int32_t, 33> kDefaultToolBox{
    0, 1, 2, -1, 3, 4, -1, 5, 6, -1, 7, -1, 8, 9, 10, -1, 11,
    -1, 12, 13, 14, -1, 15, -1, 16, 17, 18, -1, 19, 20, -1, 21, 22};

namespace {

constexpr std::int32_t kDefaultPaneSize = 200;

void setColumnDefaults(SettingsRecord& r)
{
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        r.set(kColumnWidths, i, kDefaultColumnWidths[i]);
        r.set(kColumnOrder, i, static_cast<std::int32_t>(i));
    }
}

void setFontDefaults(SettingsRecord& r)
{
    r.set(kListFontSize, 12);
    r.set(kOverlayFontSizes, 0, 12);
    r.set(kOverlayFontSizes, 1, 10);
    r.setText(kListFontFace, kDefaultFontFace);
    r.setText(kOverlayFontFace, kDefaultFontFace);
}

void setToolBoxDefaults(SettingsRecord& r)
{
    for (std::size_t i = 0; i < kToolBoxSlots; ++i)
        r.set(kToolBoxButtons, i, i < kDefaultToolBox.size() ? kDefaultToolBox[i] : 0);
    r.set(kToolBoxCount, static_cast<std::int32_t>(kDefaultToolBox.size()));
}

void setMailDefaults(SettingsRecord& r)
{
    r.set(kMailLongSide, 640);
    r.set(kMailQuality, 90);
    r.set(kMailResize, std::uint8_t{1});
}

void setIndexPrintDefaults(SettingsRecord& r)
{
    r.set(kPrintPaper, 1);
    r.set(kPrintPreviewScale, 3);
    r.set(kPrintSpacing, 2);
    for (std::size_t i = 0; i < 2; ++i) {
        r.set(kPrintMarginsTopBottom, i, 4);
        r.set(kPrintMarginsLeftRight, i, 4);
        r.set(kPrintFreeTextCorrection, i, 2);
        r.set(kPrintPageNumberCorrection, i, 2);
        r.set(kPrintFolderNameCorrection, i, 2);
    }
    r.set(kPrintCaptionSpace, 5);
    r.set(kPrintColumns, 5);
    r.set(kPrintRows, 7);
    r.set(kPrintFileName, std::uint8_t{1});
    r.set(kPrintLayoutValues, 0, 300);
    r.set(kPrintLayoutValues, 1, 400);
    r.set(kPrintResolution, 100);
    r.set(kPrintLayoutFactor, 3.0f);
    r.set(kPrintKeepAspect, std::uint8_t{1});
    r.set(kPrintFileNameOption, std::uint8_t{1});
    r.set(kPrintFreeTextSize, 20);
    r.set(kPrintPageNumberSize, 8);
    r.set(kPrintFileNameSize, 8);
    r.set(kPrintFreeTextBase, 1);
    r.set(kPrintPageNumberBase, 4);
    r.set(kPrintSheetColour, 0xFFFFFFu);
    r.setText(kPrintFreeTextValue, u"文字列を入力してください。");
    r.set(kPrintFolderNameBase, 1);
    r.set(kPrintFolderNameSize, 20);
    r.set(kPrintCaptionCorrection, 0, 0);
    r.set(kPrintCaptionCorrection, 1, 6);
    r.set(kPrintCaptionSize, 8);
}

// Settings of the action, cache, thumbnail, RAW, media and layout pages.
void setPageDefaults(SettingsRecord& r)
{
    r.set(kAskBeforeRefresh, std::uint8_t{1});
    r.set(kMultipleSelection, std::uint8_t{1});
    r.set(kConfirmFirstUse, std::uint8_t{1});
    r.set(kReaskAfterCancel, std::uint8_t{1});
    r.set(kNoConfirmForKeyAssign, std::uint8_t{1});
    r.set(kExifOnDevelop, std::uint8_t{1});
    r.set(kCacheAutoDelete, std::uint8_t{1});
    r.set(kCacheKeepCollections, std::uint8_t{1});
    r.set(kCacheSizeLimitMiB, 1024);
    r.set(kFollowExifOrientation, std::uint8_t{1});
    r.set(kMergeDeleteEmpty, std::uint8_t{1});
    r.set(kMediaDigits, 1);
    r.set(kMediaSplitSize, std::int64_t{4'700'000'000});
    r.setText(kMediaFolderName, u"media");
    r.set(kPrefetchCount, 2);
    r.set(kRawQuality, 0, 0);
    r.set(kRawQuality, 1, 1);
    r.set(kRawQuality, 2, 2);
    r.set(kVideoThumbnailSeconds, 1);
    for (std::size_t i = 0; i < kActionPageColumnOrder.count; ++i) {
        r.set(kActionPageColumnOrder, i, static_cast<std::int32_t>(i));
        r.set(kActionPageColumnWidths, i, i == 2 || i == 6 ? 200 : 70);
    }
    for (std::size_t i = 0; i < kActionColourClassOn.count; ++i)
        r.set(kActionColourClassOn, i, std::uint8_t{1});
    r.set(kRenamePrefixType, 0);
    r.set(kRenameType, 0);
    r.setText(kRenamePrefixText, u"IMG");
}

void setViewDefaults(SettingsRecord& r)
{
    r.set(kShowHistogramOverlay, std::uint8_t{1});
    r.set(kShowFileNameOverlay, std::uint8_t{1});
    r.set(kFastDrawing, std::uint8_t{1});
    r.set(kLoupeRadius, 100);
    r.set(kHistogramOpacity, 128);
    r.set(kHistogramBackground, (r.get(kHistogramBaseColour) & 0x00FFFFFFu) | (128u << 24));
    r.set(kOverlayTextSize, 20);
}

void setWindowDefaults(SettingsRecord& r)
{
    r.set(kListPaneMode, 1);
    r.set(kFolderPaneWidth, kDefaultPaneSize);
    r.set(kListPaneSize, kDefaultPaneSize);
    r.set(kInfoPaneSize, kDefaultPaneSize);
    r.set(kDisplayStyle, 3);
    for (std::size_t band = 0; band < kRebarBandCount; ++band) {
        r.set(kRebarBands, 3 * band, static_cast<std::int32_t>(band));
        r.set(kRebarBands, 3 * band + 1, kDefaultBandStyles[band]);
        r.set(kRebarBands, 3 * band + 2, kDefaultBandWidths[band]);
    }
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        r.set(kColumnVisible, i, std::uint8_t{1});
        r.setColumnTitle(i, kDefaultColumnTitles[i]);
    }
    setColumnDefaults(r);
    setFontDefaults(r);
}

void sectionA(SettingsRecord& r)
{
    io::fillBytes(r.bytes(), kSectionA.offset + 4, kSearchHistoriesEnd - kSectionA.offset - 4, std::byte{0});
    r.set(kSearchCollection, -1);
    r.set(kSearchSubfolders, std::uint8_t{1});
    // The first search root is the file system's root (where a drive root
    // would be on a system with drive letters).
    r.setText(kSearchRootPath, u"/");
    const std::u16string_view formats[] = {u"JPG JPEG", u"TIF TIFF", u"BMP", u"PNG", u"GIF", u"DNG",
                                           u"CRW", u"CR2", u"CR3", u"NEF", u"NRW", u"PEF",
                                           u"ORF", u"RAF", u"SR2", u"ARW"};
    for (std::size_t i = 0; i < std::size(formats); ++i)
        r.setSearchHistory(SearchHistory::ImageFormat, i, formats[i]);
    const std::u16string_view makers[] = {u"Canon", u"NIKON", u"SONY", u"FUJIFILM",
                                          u"OLYMPUS", u"PENTAX", u"Panasonic"};
    for (std::size_t i = 0; i < std::size(makers); ++i)
        r.setSearchHistory(SearchHistory::Maker, i, makers[i]);
    r.setSearchHistory(SearchHistory::Model, 0, u"model");
    r.setSearchHistory(SearchHistory::Lens, 0, u"lens");
    r.setSearchHistory(SearchHistory::ShutterFrom, 0, u"1/100");
    r.setSearchHistory(SearchHistory::ShutterTo, 0, u"1/500");
    r.setSearchHistory(SearchHistory::ApertureFrom, 0, u"F2.8");
    r.setSearchHistory(SearchHistory::ApertureTo, 0, u"F8");
    r.setSearchHistory(SearchHistory::IsoFrom, 0, u"100");
    r.setSearchHistory(SearchHistory::IsoTo, 0, u"800");
    r.setSearchHistory(SearchHistory::FocalFrom, 0, u"50mm");
    r.setSearchHistory(SearchHistory::FocalTo, 0, u"300mm");
    r.setSearchHistory(SearchHistory::RootPath, 0, u"/");
}

void sectionB(SettingsRecord& r)
{
    auto bytes = r.bytes();
    io::fillBytes(bytes, kActionTable, kActionSlots * kActionSize, std::byte{0});
    // Older files keep their actions in 1,048-byte records: carry each over
    // into the front of the current record of the same index.
    const auto count = static_cast<std::size_t>(std::clamp<std::int32_t>(r.get(kActionCount), 0, kActionSlots));
    for (std::size_t i = 0; i < count; ++i)
        io::copyBytes(bytes, kActionTable + i * kActionSize, bytes, kOldActionTable + i * kOldActionSize,
                      kOldActionSize);
    for (const auto& [offset, size] : kSectionBAreas)
        io::fillBytes(bytes, offset, size, std::byte{0});
    for (std::size_t i = 0; i < 3; ++i)
        r.set(kGpsLogTypes, i, std::uint8_t{1});
    r.set(kGpsUtcOffsetHours, 9);
    r.set(kGpsMaxGapSeconds, 180);
    r.set(kGpsMapService, 1);
    r.set(kGpsFlags, 0, std::uint8_t{0});
    r.set(kGpsFlags, 1, std::uint8_t{0});
    r.set(kGpsFlags, 2, std::uint8_t{0});
    r.set(kGpsFlags, 3, std::uint8_t{1});
    r.set(kGpsValue, 0);
    // The rename settings that live in the cleared area.
    r.set(kRenameDateJoiner, 0);
    r.set(kRenamePrefixJoiner, 0);
    r.set(kRenameStartNumber, 1);
}

void sectionC(SettingsRecord& r)
{
    r.setText(kVideoExtensions, kDefaultVideoExtensions);
}

void sectionD(SettingsRecord& r)
{
    io::fillBytes(r.bytes(), kSectionD.offset + 4, kSectionE.offset - kSectionD.offset - 4, std::byte{0});
    r.setEditSlotName(0, u"comment");
    r.setEditSlotName(1, u"file name");
    for (std::size_t slot = 2; slot < kEditSlotCount; ++slot)
        r.setEditSlotName(slot, u"iptc");
}

void sectionE(SettingsRecord& r)
{
    const std::int32_t placement[] = {120, 120, 540, 540};
    for (std::size_t i = 0; i < 4; ++i)
        r.set(kAuxWindowPlacement, i, placement[i]);
}

void sectionF(SettingsRecord& r)
{
    const std::int32_t placement[] = {120, 120, 600, 400};
    for (std::size_t i = 0; i < 4; ++i)
        r.set(kExtraWindowPlacement, i, placement[i]);
    r.set(kExtraWindowWasOpen, std::uint8_t{0});
    r.set(kExtraWindowMode, std::uint8_t{0});
}

} // namespace

void applySectionDefaults(SettingsRecord& record)
{
    struct Section {
        ScalarField<std::uint32_t> marker;
        void (*defaults)(SettingsRecord&);
    };
    const Section sections[] = {{kSectionA, sectionA}, {kSectionB, sectionB}, {kSectionC, sectionC},
                                {kSectionD, sectionD}, {kSectionE, sectionE}, {kSectionF, sectionF}};
    for (const auto& section : sections) {
        if (record.get(section.marker) == kSectionDone)
            continue;
        record.set(section.marker, kSectionDone);
        section.defaults(record);
    }
}

void applyFirstStartDefaults(SettingsRecord& record, std::u16string_view version)
{
    record.clear();
    record.setText(kVersion, version);
    record.set(kTargetFormatMask, kDefaultTargetFormatMask);
    record.set(kThumbnailSize, 0, 88);
    record.set(kThumbnailSize, 1, 60);
    record.set(kSmallThumbnailSize, 0, 28);
    record.set(kSmallThumbnailSize, 1, 20);
    record.set(kDrawingPriority, 3);
    record.set(kReadAheadLevel, 2);
    record.setText(kUserFolder, kDefaultUserFolder);
    record.set(kWatchFolder, std::uint8_t{1});
    record.set(kNewVideoVolume, -40);
    setIndexPrintDefaults(record);
    setPageDefaults(record);
    setViewDefaults(record);
    setWindowDefaults(record);
    setToolBoxDefaults(record);
    setMailDefaults(record);
    applySectionDefaults(record);
}

void applyDefaultsWhenZero(SettingsRecord& r)
{
    for (auto size : {kThumbnailSize, kSmallThumbnailSize})
        r.set(size, 0, r.get(size, 0) / 4 * 4);
    if (r.get(kMailLongSide) == 0)
        setMailDefaults(r);
    if (r.get(kToolBoxCount) == 0)
        setToolBoxDefaults(r);
    // An action count outside 0..39 can only come from a damaged file; the
    // action code indexes the 39 slots with it, so it is bounded here.
    r.set(kActionCount, std::clamp<std::int32_t>(r.get(kActionCount), 0, kActionSlots));
    if (r.get(kToolBoxCount) < 0 || r.get(kToolBoxCount) > static_cast<std::int32_t>(kToolBoxSlots))
        setToolBoxDefaults(r);
    if (r.get(kPrintFolderNameSize) == 0)
        r.set(kPrintFolderNameSize, 20);
    if (r.get(kPrintCaptionSize) == 0) {
        r.set(kPrintCaptionSize, 8);
        r.set(kPrintCaptionCorrection, 0, 0);
        r.set(kPrintCaptionCorrection, 1, 6);
    }
    if (r.get(kListFontSize) == 0)
        setFontDefaults(r);
    if (r.get(kOverlayTextSize) < 6)
        r.set(kOverlayTextSize, 20);
    if (r.get(kColumnWidths, 0) == 0)
        setColumnDefaults(r);
    applySectionDefaults(r);
}

} // namespace qlx::settings
