#pragma once
// The settings record: one fixed block of 375,096 bytes that is the settings
// file, byte for byte (scrambled on disk). Every field has its offset here
// and nowhere else; the table at the end lists them all by name for the
// dump command and is checked at compile time for overlaps and bounds.
//
// Offsets marked "fixed" are part of the file format that other readers of
// "Quenderluxium.cfg" rely on. Fields without that mark are placed by us in
// free space of the record; each such choice is commented. Bytes that no
// field covers are zero when we write the file and are kept as read.

#include "io/record_bytes.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qlx::settings {

using io::ArrayField;
using io::ScalarField;
using io::Utf16Field;

inline constexpr std::size_t kRecordSize = 375'096;
inline constexpr std::uint32_t kSectionDone = 1234;

// ---- Versions, formats, view basics ---------------------------------------------------------
inline constexpr Utf16Field kVersion{0, 360};                         // fixed
inline constexpr ScalarField<std::uint32_t> kTargetFormatMask{720};   // fixed
inline constexpr ScalarField<std::uint8_t> kKeepZoomWhileFlipping{724};
inline constexpr ScalarField<std::uint8_t> kShowHistogramOverlay{725};
inline constexpr ScalarField<std::uint8_t> kShowFileNameOverlay{726};
inline constexpr ArrayField<std::int32_t> kThumbnailSize{728, 2};     // width, height
inline constexpr ArrayField<std::int32_t> kSmallThumbnailSize{736, 2};
inline constexpr ScalarField<std::int32_t> kActionCount{744};
// Action table of older files: 39 entries of 1,048 bytes, read only to migrate.
inline constexpr std::size_t kOldActionSize = 1048;
inline constexpr std::size_t kActionSlots = 39;
inline constexpr std::size_t kOldActionTable = 748;
inline constexpr Utf16Field kLastOpenedFolder{41712, 260};
// The settings page lets the user type up to 256 characters into a field
// older layouts sized at 12 bytes; it is laid out for 256 characters and a terminator, which
// still reads correctly where only the first 12 bytes are looked at.
inline constexpr Utf16Field kMediaFolderName{43794, 257};

// ---- Colours and performance ------------------------------------------------------------------
// Base colour of the histogram background (0x00BBGGRR); the overlay colour
// at 119816 starts as this colour with opacity 128.
inline constexpr ScalarField<std::uint32_t> kHistogramBaseColour{44384};
inline constexpr ScalarField<std::uint32_t> kViewBackgroundColour{44420};
inline constexpr ScalarField<std::int32_t> kDrawingPriority{44424};   // 0..3
inline constexpr ScalarField<std::int32_t> kReadAheadLevel{44428};    // 0..9
inline constexpr ScalarField<std::uint8_t> kReverseWheelBrowse{44435};
inline constexpr ScalarField<std::uint8_t> kReverseWheelZoom{44436};

// ---- Index print (44448 to 44567 and 119955 to 120004) -------------------------------------
inline constexpr ScalarField<std::int32_t> kPrintPaper{44448};
inline constexpr ScalarField<std::int32_t> kPrintPreviewScale{44452};
inline constexpr ScalarField<std::int32_t> kPrintSpacing{44464};
inline constexpr ArrayField<std::int32_t> kPrintMarginsTopBottom{44468, 2};
inline constexpr ArrayField<std::int32_t> kPrintMarginsLeftRight{44476, 2};
inline constexpr ScalarField<std::int32_t> kPrintCaptionSpace{44484};
inline constexpr ArrayField<std::int32_t> kPrintFreeTextCorrection{44488, 2};
inline constexpr ArrayField<std::int32_t> kPrintPageNumberCorrection{44496, 2};
inline constexpr ScalarField<std::int32_t> kPrintColumns{44504};
inline constexpr ScalarField<std::int32_t> kPrintRows{44508};
inline constexpr ScalarField<std::uint8_t> kPrintFileName{44512};
inline constexpr ScalarField<std::uint8_t> kPrintPageNumber{44513};
inline constexpr ScalarField<std::uint8_t> kPrintFreeText{44514};
inline constexpr ScalarField<std::uint8_t> kPrintLandscape{44515};
inline constexpr ArrayField<std::int32_t> kPrintLayoutValues{44516, 2};
inline constexpr ScalarField<std::int32_t> kPrintResolution{44524};
inline constexpr ScalarField<float> kPrintLayoutFactor{44528};
inline constexpr ScalarField<std::uint8_t> kPrintKeepAspect{44532};
inline constexpr ScalarField<std::uint8_t> kPrintDetailedPreview{44533};
inline constexpr ScalarField<std::uint8_t> kPrintFileNameOption{44534};
inline constexpr ScalarField<std::int32_t> kPrintFreeTextSize{44536};
inline constexpr ScalarField<std::int32_t> kPrintPageNumberSize{44540};
inline constexpr ScalarField<std::int32_t> kPrintFileNameSize{44544};
inline constexpr ScalarField<std::int32_t> kPrintFreeTextBase{44548};
inline constexpr ScalarField<std::int32_t> kPrintPageNumberBase{44552};
inline constexpr ScalarField<std::uint32_t> kPrintSheetColour{44556};
inline constexpr ScalarField<std::uint32_t> kPrintTextColour{44560};
// The free text runs from 44564 to the end of the print block (44567) and on
// into the free space up to the rename settings: 256 characters.
inline constexpr Utf16Field kPrintFreeTextValue{44564, 256};

// ---- Rename settings (45076 to 45147 fixed; the rest in the first area that
//      section B clears, at 183016) -----------------------------------------------------------
inline constexpr ScalarField<std::int32_t> kRenamePrefixType{45076};
inline constexpr ScalarField<std::int32_t> kRenameType{45080};
inline constexpr Utf16Field kRenamePrefixText{45084, 32};

// ---- Colour management -------------------------------------------------------------------------
inline constexpr Utf16Field kViewColourProfile{45148, 260};
inline constexpr Utf16Field kDisplayColourProfile{45668, 260};

// ---- Settings placed by us in the free block 46188 to 49535 ---------------------------------
// One byte each (0 or 1) unless typed otherwise.
inline constexpr ScalarField<std::uint8_t> kAskBeforeRefresh{46188};      // list command 118
inline constexpr ScalarField<std::uint8_t> kMultipleSelection{46189};
inline constexpr ScalarField<std::uint8_t> kKeepNumLockOn{46190};
inline constexpr ScalarField<std::uint8_t> kFocalLength35mm{46191};        // 35 mm display
inline constexpr ScalarField<std::uint8_t> kConfirmFirstUse{46192};
inline constexpr ScalarField<std::uint8_t> kReaskAfterCancel{46193};
inline constexpr ScalarField<std::uint8_t> kNoConfirmForKeyAssign{46194};
inline constexpr ScalarField<std::uint8_t> kAdvanceAfterCopy{46195};
inline constexpr ScalarField<std::uint8_t> kExifOnDevelop{46196};
inline constexpr ScalarField<std::uint8_t> kKeepTimeOnRotate{46197};
inline constexpr ScalarField<std::uint8_t> kCacheAutoDelete{46198};
inline constexpr ScalarField<std::uint8_t> kCacheKeepCollections{46199};
inline constexpr ScalarField<std::uint8_t> kCacheResetCursor{46200};
inline constexpr ScalarField<std::uint8_t> kFollowExifOrientation{46201};
inline constexpr ScalarField<std::uint8_t> kMamiyaThumbnailByDevelopment{46202};
inline constexpr ScalarField<std::uint8_t> kMediaAddParentName{46203};
inline constexpr ScalarField<std::uint8_t> kMediaBalance{46204};
inline constexpr ScalarField<std::uint8_t> kMergeAllLevels{46205};
inline constexpr ScalarField<std::uint8_t> kMergeDeleteEmpty{46206};
inline constexpr ScalarField<std::uint8_t> kSmallThumbnailWindow{46207};
inline constexpr ScalarField<std::uint8_t> kSmallThumbnailWindowShown{46208};
inline constexpr ScalarField<std::uint8_t> kFolderTreeHidden{46209};
inline constexpr ArrayField<std::uint8_t> kThumbnailFill{46210, 2};        // per icon size
inline constexpr ScalarField<std::int32_t> kCacheSizeLimitMiB{46212};      // 0..999,999
inline constexpr ScalarField<std::int32_t> kIconSharpness{46216};
inline constexpr ScalarField<std::int32_t> kPrefetchCount{46220};
inline constexpr ScalarField<std::int32_t> kRawPreviewType{46224};
inline constexpr ArrayField<std::int32_t> kRawQuality{46228, 3};           // browsing, key, output
inline constexpr ScalarField<std::int32_t> kVideoThumbnailSeconds{46240};
inline constexpr ScalarField<std::int32_t> kSplitPosition{46244};          // 0..3
inline constexpr ScalarField<std::int32_t> kMediaDigits{46248};            // index 0..3
inline constexpr ScalarField<std::int64_t> kMediaSplitSize{46256};
inline constexpr ArrayField<std::int32_t> kActionPageColumnOrder{46264, 8};
inline constexpr ArrayField<std::int32_t> kActionPageColumnWidths{46296, 8};
// Colour-class switches of the action kinds (copy, move, delete, develop
// TIFF, develop JPEG, thumbnail save, rename, and spares).
inline constexpr ArrayField<std::uint8_t> kActionColourClassOn{46328, 16};
// Row colours of the image list (colour settings page), 0x00BBGGRR: one per
// action colour class in the order of kActionColourClassOn ("コピーアクション行の色"
// … "ロスレス回転アクション行の色"), and "エラー色" for entries whose file is
// gone. A stored 0 was never set (a file written before these fields) and
// stands for the list's default tint of that row kind.
inline constexpr ArrayField<std::int32_t> kActionRowColours{46344, 8};
inline constexpr ScalarField<std::uint32_t> kErrorRowColour{46376};
// 1 when the main screen shows the views alone, 0 (the first start) when the
// list of thumbnails stands beside them at kSplitPosition (key F11).
inline constexpr ScalarField<std::uint8_t> kThumbnailSplitOff{46380};

// ---- Window, fonts, list columns -----------------------------------------------------------
inline constexpr ArrayField<std::int32_t> kWindowPlacement{49536, 4};      // left, top, width, height
inline constexpr ScalarField<std::int32_t> kListPaneMode{49552};        // fixed: 1 main screen, else thumbnails
inline constexpr ScalarField<std::uint8_t> kFastDrawing{49557};
inline constexpr ScalarField<std::int32_t> kListFontSize{49560};
inline constexpr ArrayField<std::int32_t> kOverlayFontSizes{49564, 2};
inline constexpr Utf16Field kListFontFace{49572, 128};
inline constexpr Utf16Field kOverlayFontFace{49828, 128};
inline constexpr ScalarField<std::uint8_t> kOverlayFontBold{50085};
inline constexpr std::size_t kColumnCount = 24;
inline constexpr ArrayField<std::int32_t> kColumnWidths{50088, kColumnCount};
inline constexpr ArrayField<std::int32_t> kColumnOrder{50184, kColumnCount};
inline constexpr Utf16Field kUserFolder{50280, 260};
// Favourite folders, newest first: 128 slots of 261 characters, filling the
// space between the user folder and the column visibility exactly.
inline constexpr std::size_t kFavouriteSlots = 128;
inline constexpr std::size_t kFavouriteUnits = 261;
inline constexpr std::size_t kFavourites = 50800;
inline constexpr ArrayField<std::uint8_t> kColumnVisible{118136, kColumnCount};
inline constexpr std::size_t kColumnTitles = 118160;                          // 24 x 32 units
inline constexpr std::size_t kColumnTitleUnits = 32;
inline constexpr ScalarField<std::int32_t> kMultiScreenMode{119704};
inline constexpr ScalarField<std::int32_t> kFolderPaneWidth{119708};       // first pane size
inline constexpr ScalarField<std::int32_t> kListPaneSize{119712};          // second pane size
inline constexpr ScalarField<std::int32_t> kDisplayStyle{119716};          // 1, 2 or 3
inline constexpr std::size_t kRebarBandCount = 7;
inline constexpr ArrayField<std::int32_t> kRebarBands{119720, 3 * kRebarBandCount}; // id, break, width
inline constexpr ScalarField<std::uint8_t> kLoupeMode{119804};
inline constexpr ScalarField<std::int32_t> kLoupeRadius{119808};
inline constexpr ScalarField<std::int32_t> kHistogramOpacity{119812};
inline constexpr ScalarField<std::uint32_t> kHistogramBackground{119816};
inline constexpr ScalarField<std::uint8_t> kLatchedZoom{119829};
inline constexpr ScalarField<std::uint8_t> kWatchFolder{119833};
inline constexpr ScalarField<std::int32_t> kInfoPaneSize{119888};          // third pane size
inline constexpr ScalarField<std::uint8_t> kWheelNeverZooms{119954};
inline constexpr ScalarField<std::uint8_t> kPrintFolderName{119955};
inline constexpr ScalarField<std::int32_t> kPrintFolderNameBase{119956};
inline constexpr ScalarField<std::int32_t> kPrintFolderNameSize{119960};
inline constexpr ArrayField<std::int32_t> kPrintFolderNameCorrection{119964, 2};
inline constexpr ArrayField<std::int32_t> kPrintCaptionCorrection{119972, 2};
inline constexpr ScalarField<std::uint32_t> kPrintFileNameColour{119980};
inline constexpr ScalarField<std::uint32_t> kPrintCaptionColour{119984};
inline constexpr ScalarField<std::int32_t> kPrintCaptionSize{119992};
inline constexpr ScalarField<std::uint8_t> kCheckCachedFilesExist{119996};
inline constexpr ScalarField<std::uint8_t> kNormalExit{119997};
inline constexpr ScalarField<std::int32_t> kOverlayTextSize{120000};
inline constexpr ScalarField<std::uint8_t> kPrintFullPath{120004};
inline constexpr ScalarField<std::int32_t> kNewVideoVolume{120012};
inline constexpr ScalarField<std::uint8_t> kNewVideoEnlarged{120016};

// ---- Section A: the search dialog ------------------------------------------------------------
inline constexpr ScalarField<std::uint32_t> kSectionA{120020};
inline constexpr std::size_t kSearchCriteria = 16;
// Conditions of file name, modification date, modification time, file size,
// image format, shooting date, shooting time, maker, model, lens, shutter
// speed, aperture, ISO, focal length, comment (and one spare); 0 = off.
inline constexpr ArrayField<std::int32_t> kSearchConditions{120024, kSearchCriteria};
inline constexpr ArrayField<std::int32_t> kSearchIptcConditions{120088, 10};
inline constexpr ArrayField<std::int32_t> kSearchIptcTags{120128, 10};
inline constexpr ScalarField<std::int32_t> kSearchSizeUnit{120168};       // 0 Byte, 1 KByte, 2 MByte
inline constexpr ScalarField<std::int32_t> kSearchScope{120172};          // 0 folder, 1 collections
inline constexpr ScalarField<std::uint8_t> kSearchSubfolders{120176};
inline constexpr ScalarField<std::int32_t> kSearchCollection{120180};     // -1 all collections
inline constexpr Utf16Field kSearchRootPath{120216, 260};
// Entry histories of the dialog's text combos: 16 entries of 128 units each,
// most recent first.
inline constexpr std::size_t kHistoryEntries = 16;
inline constexpr std::size_t kHistoryUnits = 128;
inline constexpr std::size_t kHistoryBytes = kHistoryEntries * kHistoryUnits * 2;
enum class SearchHistory : std::size_t {
    FileName, ImageFormat, Maker, Model, Lens, ShutterFrom, ShutterTo, ApertureFrom, ApertureTo,
    IsoFrom, IsoTo, FocalFrom, FocalTo, Keywords, RootPath, Count
};
inline constexpr std::size_t kSearchHistories = 120736;
inline constexpr std::size_t kSearchHistoriesEnd =
    kSearchHistories + static_cast<std::size_t>(SearchHistory::Count) * kHistoryBytes;

// ---- Tool box, icons, window state, mail ------------------------------------------------------
inline constexpr std::size_t kToolBoxSlots = 64;
inline constexpr ArrayField<std::int32_t> kToolBoxButtons{182176, kToolBoxSlots}; // -1 separator
inline constexpr ScalarField<std::int32_t> kToolBoxCount{182432};
inline constexpr ScalarField<std::uint8_t> kLargeIcons{182436};
inline constexpr ScalarField<std::uint8_t> kWasMaximised{182437};
inline constexpr ScalarField<std::uint8_t> kWasFullScreen{182438};
inline constexpr ScalarField<std::uint8_t> kMailResize{182440};
inline constexpr ScalarField<std::int32_t> kMailLongSide{182444};
inline constexpr ScalarField<std::int32_t> kMailQuality{182448};
inline constexpr ScalarField<std::int32_t> kMailSharpness{182452};        // placed by us

// ---- Section B: actions and the GPS position estimate ----------------------------------------
inline constexpr ScalarField<std::uint32_t> kSectionB{182976};
inline constexpr ArrayField<std::uint8_t> kGpsLogTypes{182988, 3};        // txt, csv, gpx
inline constexpr ScalarField<std::int32_t> kGpsUtcOffsetHours{182992};
inline constexpr ScalarField<std::int32_t> kGpsMaxGapSeconds{182996};
inline constexpr ScalarField<std::int32_t> kGpsMapService{183000};
inline constexpr ArrayField<std::uint8_t> kGpsFlags{183004, 4};
inline constexpr ScalarField<std::int32_t> kGpsValue{183008};

// ---- Section C: video extensions -------------------------------------------------------------
inline constexpr ScalarField<std::uint32_t> kSectionC{183012};

// The five areas that section B clears. The first holds the rest of the
// rename settings, the next three the rename histories, the last is kept
// for later use.
inline constexpr std::size_t kAreaRenameRest = 183016;      // 546 bytes
inline constexpr std::size_t kAreaPrefixHistory = 247836;   // 2,048 bytes
inline constexpr std::size_t kAreaOldTextHistory = 249884;  // 8,192 bytes
inline constexpr std::size_t kAreaNewTextHistory = 258076;  // 8,192 bytes
inline constexpr std::size_t kAreaSpare = 366912;           // 8,184 bytes, to the end
inline constexpr std::array<std::array<std::size_t, 2>, 5> kSectionBAreas{{
    {kAreaRenameRest, 546}, {kAreaPrefixHistory, 2048}, {kAreaOldTextHistory, 8192},
    {kAreaNewTextHistory, 8192}, {kAreaSpare, 8184}}};

inline constexpr ScalarField<std::int32_t> kRenameDateJoiner{183016};
inline constexpr ScalarField<std::int32_t> kRenamePrefixJoiner{183020};
inline constexpr ScalarField<std::int32_t> kRenameStartNumber{183024};
inline constexpr Utf16Field kRenameOldText{183028, 128};
inline constexpr Utf16Field kRenameNewText{183284, 128};
inline constexpr std::size_t kRenameHistorySlots = 32;

// Current action table: 39 records of 1,648 bytes.
inline constexpr std::size_t kActionSize = 1648;
inline constexpr std::size_t kActionTable = 183564;

// The video extension list (1,024 characters) sits right before section D's
// marker, after the rename histories.
inline constexpr Utf16Field kVideoExtensions{266268, 1024};

// ---- Section D: comment and IPTC editing -------------------------------------------------------
inline constexpr ScalarField<std::uint32_t> kSectionD{268316};
// Twelve slots of 4,100 bytes: a 50-unit name followed by 4,000 bytes of
// content. Slot 0 is the comment area, slot 1 the file-name area, slots 2
// to 11 the IPTC templates.
inline constexpr std::size_t kEditSlots = 268320;
inline constexpr std::size_t kEditSlotSize = 4100;
inline constexpr std::size_t kEditSlotCount = 12;
inline constexpr std::size_t kEditSlotNameUnits = 50;

// ---- Section E: auxiliary window ---------------------------------------------------------------
inline constexpr ScalarField<std::uint32_t> kSectionE{366808};
inline constexpr ArrayField<std::int32_t> kAuxWindowPlacement{366812, 4};

// ---- Section F: additional image window --------------------------------------------------------
inline constexpr ScalarField<std::uint32_t> kSectionF{366888};
inline constexpr ArrayField<std::int32_t> kExtraWindowPlacement{366892, 4};
inline constexpr ScalarField<std::uint8_t> kExtraWindowWasOpen{366908};
inline constexpr ScalarField<std::uint8_t> kExtraWindowMode{366909};

// ---- The field table -----------------------------------------------------------------------------

enum class FieldType : std::uint8_t { U8, I32, U32, I64, F32, Utf16, U8Array, I32Array, Utf16Array, Bytes };

struct FieldInfo {
    std::string_view name;
    std::size_t offset;
    std::size_t size;   // bytes
    FieldType type;
    std::size_t count;  // array elements, or UTF-16 units per text
};

constexpr FieldInfo describe(std::string_view name, ScalarField<std::uint8_t> f) { return {name, f.offset, 1, FieldType::U8, 1}; }
constexpr FieldInfo describe(std::string_view name, ScalarField<std::int32_t> f) { return {name, f.offset, 4, FieldType::I32, 1}; }
constexpr FieldInfo describe(std::string_view name, ScalarField<std::uint32_t> f) { return {name, f.offset, 4, FieldType::U32, 1}; }
constexpr FieldInfo describe(std::string_view name, ScalarField<std::int64_t> f) { return {name, f.offset, 8, FieldType::I64, 1}; }
constexpr FieldInfo describe(std::string_view name, ScalarField<float> f) { return {name, f.offset, 4, FieldType::F32, 1}; }
constexpr FieldInfo describe(std::string_view name, Utf16Field f) { return {name, f.offset, f.size(), FieldType::Utf16, f.units}; }
constexpr FieldInfo describe(std::string_view name, ArrayField<std::uint8_t> f) { return {name, f.offset, f.size(), FieldType::U8Array, f.count}; }
constexpr FieldInfo describe(std::string_view name, ArrayField<std::int32_t> f) { return {name, f.offset, f.size(), FieldType::I32Array, f.count}; }
constexpr FieldInfo texts(std::string_view name, std::size_t offset, std::size_t count, std::size_t units)
{
    return {name, offset, count * units * 2, FieldType::Utf16Array, units};
}
constexpr FieldInfo bytes(std::string_view name, std::size_t offset, std::size_t size)
{
    return {name, offset, size, FieldType::Bytes, size};
}

inline constexpr auto kFields = std::to_array<FieldInfo>({
    describe("version", kVersion),
    describe("targetFormatMask", kTargetFormatMask),
    describe("keepZoomWhileFlipping", kKeepZoomWhileFlipping),
    describe("showHistogramOverlay", kShowHistogramOverlay),
    describe("showFileNameOverlay", kShowFileNameOverlay),
    describe("thumbnailSize", kThumbnailSize),
    describe("smallThumbnailSize", kSmallThumbnailSize),
    describe("actionCount", kActionCount),
    bytes("oldActionTable", kOldActionTable, kActionSlots * kOldActionSize),
    describe("lastOpenedFolder", kLastOpenedFolder),
    describe("mediaFolderName", kMediaFolderName),
    describe("histogramBaseColour", kHistogramBaseColour),
    describe("viewBackgroundColour", kViewBackgroundColour),
    describe("drawingPriority", kDrawingPriority),
    describe("readAheadLevel", kReadAheadLevel),
    describe("reverseWheelBrowse", kReverseWheelBrowse),
    describe("reverseWheelZoom", kReverseWheelZoom),
    describe("printPaper", kPrintPaper),
    describe("printPreviewScale", kPrintPreviewScale),
    describe("printSpacing", kPrintSpacing),
    describe("printMarginsTopBottom", kPrintMarginsTopBottom),
    describe("printMarginsLeftRight", kPrintMarginsLeftRight),
    describe("printCaptionSpace", kPrintCaptionSpace),
    describe("printFreeTextCorrection", kPrintFreeTextCorrection),
    describe("printPageNumberCorrection", kPrintPageNumberCorrection),
    describe("printColumns", kPrintColumns),
    describe("printRows", kPrintRows),
    describe("printFileName", kPrintFileName),
    describe("printPageNumber", kPrintPageNumber),
    describe("printFreeText", kPrintFreeText),
    describe("printLandscape", kPrintLandscape),
    describe("printLayoutValues", kPrintLayoutValues),
    describe("printResolution", kPrintResolution),
    describe("printLayoutFactor", kPrintLayoutFactor),
    describe("printKeepAspect", kPrintKeepAspect),
    describe("printDetailedPreview", kPrintDetailedPreview),
    describe("printFileNameOption", kPrintFileNameOption),
    describe("printFreeTextSize", kPrintFreeTextSize),
    describe("printPageNumberSize", kPrintPageNumberSize),
    describe("printFileNameSize", kPrintFileNameSize),
    describe("printFreeTextBase", kPrintFreeTextBase),
    describe("printPageNumberBase", kPrintPageNumberBase),
    describe("printSheetColour", kPrintSheetColour),
    describe("printTextColour", kPrintTextColour),
    describe("printFreeTextValue", kPrintFreeTextValue),
    describe("renamePrefixType", kRenamePrefixType),
    describe("renameType", kRenameType),
    describe("renamePrefixText", kRenamePrefixText),
    describe("viewColourProfile", kViewColourProfile),
    describe("displayColourProfile", kDisplayColourProfile),
    describe("askBeforeRefresh", kAskBeforeRefresh),
    describe("multipleSelection", kMultipleSelection),
    describe("keepNumLockOn", kKeepNumLockOn),
    describe("focalLength35mm", kFocalLength35mm),
    describe("confirmFirstUse", kConfirmFirstUse),
    describe("reaskAfterCancel", kReaskAfterCancel),
    describe("noConfirmForKeyAssign", kNoConfirmForKeyAssign),
    describe("advanceAfterCopy", kAdvanceAfterCopy),
    describe("exifOnDevelop", kExifOnDevelop),
    describe("keepTimeOnRotate", kKeepTimeOnRotate),
    describe("cacheAutoDelete", kCacheAutoDelete),
    describe("cacheKeepCollections", kCacheKeepCollections),
    describe("cacheResetCursor", kCacheResetCursor),
    describe("followExifOrientation", kFollowExifOrientation),
    describe("mamiyaThumbnailByDevelopment", kMamiyaThumbnailByDevelopment),
    describe("mediaAddParentName", kMediaAddParentName),
    describe("mediaBalance", kMediaBalance),
    describe("mergeAllLevels", kMergeAllLevels),
    describe("mergeDeleteEmpty", kMergeDeleteEmpty),
    describe("smallThumbnailWindow", kSmallThumbnailWindow),
    describe("smallThumbnailWindowShown", kSmallThumbnailWindowShown),
    describe("folderTreeHidden", kFolderTreeHidden),
    describe("thumbnailFill", kThumbnailFill),
    describe("cacheSizeLimitMiB", kCacheSizeLimitMiB),
    describe("iconSharpness", kIconSharpness),
    describe("prefetchCount", kPrefetchCount),
    describe("rawPreviewType", kRawPreviewType),
    describe("rawQuality", kRawQuality),
    describe("videoThumbnailSeconds", kVideoThumbnailSeconds),
    describe("splitPosition", kSplitPosition),
    describe("mediaDigits", kMediaDigits),
    describe("mediaSplitSize", kMediaSplitSize),
    describe("actionPageColumnOrder", kActionPageColumnOrder),
    describe("actionPageColumnWidths", kActionPageColumnWidths),
    describe("actionColourClassOn", kActionColourClassOn),
    describe("actionRowColours", kActionRowColours),
    describe("errorRowColour", kErrorRowColour),
    describe("thumbnailSplitOff", kThumbnailSplitOff),
    describe("windowPlacement", kWindowPlacement),
    describe("listPaneMode", kListPaneMode),
    describe("fastDrawing", kFastDrawing),
    describe("listFontSize", kListFontSize),
    describe("overlayFontSizes", kOverlayFontSizes),
    describe("listFontFace", kListFontFace),
    describe("overlayFontFace", kOverlayFontFace),
    describe("overlayFontBold", kOverlayFontBold),
    describe("columnWidths", kColumnWidths),
    describe("columnOrder", kColumnOrder),
    describe("userFolder", kUserFolder),
    texts("favourites", kFavourites, kFavouriteSlots, kFavouriteUnits),
    describe("columnVisible", kColumnVisible),
    texts("columnTitles", kColumnTitles, kColumnCount, kColumnTitleUnits),
    describe("multiScreenMode", kMultiScreenMode),
    describe("folderPaneWidth", kFolderPaneWidth),
    describe("listPaneSize", kListPaneSize),
    describe("displayStyle", kDisplayStyle),
    describe("rebarBands", kRebarBands),
    describe("loupeMode", kLoupeMode),
    describe("loupeRadius", kLoupeRadius),
    describe("histogramOpacity", kHistogramOpacity),
    describe("histogramBackground", kHistogramBackground),
    describe("latchedZoom", kLatchedZoom),
    describe("watchFolder", kWatchFolder),
    describe("infoPaneSize", kInfoPaneSize),
    describe("wheelNeverZooms", kWheelNeverZooms),
    describe("printFolderName", kPrintFolderName),
    describe("printFolderNameBase", kPrintFolderNameBase),
    describe("printFolderNameSize", kPrintFolderNameSize),
    describe("printFolderNameCorrection", kPrintFolderNameCorrection),
    describe("printCaptionCorrection", kPrintCaptionCorrection),
    describe("printFileNameColour", kPrintFileNameColour),
    describe("printCaptionColour", kPrintCaptionColour),
    describe("printCaptionSize", kPrintCaptionSize),
    describe("checkCachedFilesExist", kCheckCachedFilesExist),
    describe("normalExit", kNormalExit),
    describe("overlayTextSize", kOverlayTextSize),
    describe("printFullPath", kPrintFullPath),
    describe("newVideoVolume", kNewVideoVolume),
    describe("newVideoEnlarged", kNewVideoEnlarged),
    describe("sectionA", kSectionA),
    describe("searchConditions", kSearchConditions),
    describe("searchIptcConditions", kSearchIptcConditions),
    describe("searchIptcTags", kSearchIptcTags),
    describe("searchSizeUnit", kSearchSizeUnit),
    describe("searchScope", kSearchScope),
    describe("searchSubfolders", kSearchSubfolders),
    describe("searchCollection", kSearchCollection),
    describe("searchRootPath", kSearchRootPath),
    texts("searchHistories", kSearchHistories,
          static_cast<std::size_t>(SearchHistory::Count) * kHistoryEntries, kHistoryUnits),
    describe("toolBoxButtons", kToolBoxButtons),
    describe("toolBoxCount", kToolBoxCount),
    describe("largeIcons", kLargeIcons),
    describe("wasMaximised", kWasMaximised),
    describe("wasFullScreen", kWasFullScreen),
    describe("mailResize", kMailResize),
    describe("mailLongSide", kMailLongSide),
    describe("mailQuality", kMailQuality),
    describe("mailSharpness", kMailSharpness),
    describe("sectionB", kSectionB),
    describe("gpsLogTypes", kGpsLogTypes),
    describe("gpsUtcOffsetHours", kGpsUtcOffsetHours),
    describe("gpsMaxGapSeconds", kGpsMaxGapSeconds),
    describe("gpsMapService", kGpsMapService),
    describe("gpsFlags", kGpsFlags),
    describe("gpsValue", kGpsValue),
    describe("sectionC", kSectionC),
    describe("renameDateJoiner", kRenameDateJoiner),
    describe("renamePrefixJoiner", kRenamePrefixJoiner),
    describe("renameStartNumber", kRenameStartNumber),
    describe("renameOldText", kRenameOldText),
    describe("renameNewText", kRenameNewText),
    bytes("actionTable", kActionTable, kActionSlots * kActionSize),
    texts("renamePrefixHistory", kAreaPrefixHistory, kRenameHistorySlots, 32),
    texts("renameOldTextHistory", kAreaOldTextHistory, kRenameHistorySlots, 128),
    texts("renameNewTextHistory", kAreaNewTextHistory, kRenameHistorySlots, 128),
    describe("videoExtensions", kVideoExtensions),
    describe("sectionD", kSectionD),
    bytes("editSlots", kEditSlots, kEditSlotCount * kEditSlotSize),
    describe("sectionE", kSectionE),
    describe("auxWindowPlacement", kAuxWindowPlacement),
    describe("sectionF", kSectionF),
    describe("extraWindowPlacement", kExtraWindowPlacement),
    describe("extraWindowWasOpen", kExtraWindowWasOpen),
    describe("extraWindowMode", kExtraWindowMode),
    bytes("spareArea", kAreaSpare, 8184),
});

// True when no two fields of the table share a byte and all lie inside the record.
constexpr bool fieldsAreDisjoint()
{
    auto sorted = kFields;
    std::sort(sorted.begin(), sorted.end(),
              [](const FieldInfo& a, const FieldInfo& b) { return a.offset < b.offset; });
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (sorted[i].offset + sorted[i].size > kRecordSize)
            return false;
        if (i + 1 < sorted.size() && sorted[i].offset + sorted[i].size > sorted[i + 1].offset)
            return false;
    }
    return true;
}
static_assert(fieldsAreDisjoint(), "settings fields overlap or run past the record");

// Offsets that other readers of the file rely on.
static_assert(kTargetFormatMask.offset == 720 && kThumbnailSize.offset == 728 && kActionCount.offset == 744);
static_assert(kOldActionTable + kActionSlots * kOldActionSize <= kLastOpenedFolder.offset);
static_assert(kLastOpenedFolder.offset == 41712 && kLastOpenedFolder.size() == 520);
static_assert(kPrintPaper.offset == 44448 && kPrintTextColour.offset + 4 == 44564);
static_assert(kRenamePrefixText.offset + kRenamePrefixText.size() == 45148);
static_assert(kColumnWidths.offset + kColumnWidths.size() == kColumnOrder.offset);
static_assert(kUserFolder.offset + kUserFolder.size() == kFavourites);
static_assert(kFavourites + kFavouriteSlots * kFavouriteUnits * 2 <= kColumnVisible.offset);
static_assert(kColumnTitles + kColumnCount * kColumnTitleUnits * 2 == 119696);
static_assert(kRebarBands.offset + kRebarBands.size() == kLoupeMode.offset);
static_assert(kSearchHistoriesEnd == kToolBoxButtons.offset);
static_assert(kToolBoxButtons.offset + kToolBoxButtons.size() == kToolBoxCount.offset);
static_assert(kGpsValue.offset + 4 == kSectionC.offset);
static_assert(kAreaRenameRest + 546 <= kActionTable);
static_assert(kActionTable + kActionSlots * kActionSize == kAreaPrefixHistory);
static_assert(kAreaNewTextHistory + 8192 == kVideoExtensions.offset);
static_assert(kVideoExtensions.offset + kVideoExtensions.size() == kSectionD.offset);
static_assert(kEditSlots + kEditSlotCount * kEditSlotSize <= kSectionE.offset);
static_assert(kAuxWindowPlacement.offset == 366812 && kExtraWindowPlacement.offset == 366892);
static_assert(kAreaSpare + 8184 == kRecordSize);

} // namespace qlx::settings
