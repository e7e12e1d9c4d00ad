#pragma once
// Texts of the metadata subsystem, kept in one place: the camera and lens
// list. The buttons every dialog shares are in shell/shell_messages.h.

#include "metadata/lens_tables.h"

#include <array>
#include <string_view>

namespace qlx::metadata::messages {

inline constexpr std::u16string_view kCameraLensTitle = u"対応カメラ＆レンズ表";
inline constexpr std::u16string_view kCameraTab = u"カメラ";
inline constexpr std::u16string_view kMakerHeader = u"メーカー";
inline constexpr std::u16string_view kProductHeader = u"製品名";
inline constexpr std::u16string_view kCropFactorHeader = u"換算倍率";
inline constexpr std::u16string_view kRawDevelopmentHeader = u"RAW現像";
// Whether the RAW engine develops a camera's files.
inline constexpr std::u16string_view kDevelopable = u"○";
inline constexpr std::u16string_view kNotDevelopable = u"×";

// The tab of each lens table, in file order.
struct LensTabTitle {
    LensTableId table;
    std::u16string_view title;
};
inline constexpr std::array<LensTabTitle, kLensTableCount> kLensTabTitles{{
    {LensTableId::Canon, u"Canon レンズ"},
    {LensTableId::Nikon, u"Nikon レンズ"},
    {LensTableId::Pentax, u"Pentax レンズ"},
    {LensTableId::Olympus, u"Olympus レンズ"},
    {LensTableId::OlympusExtender, u"Olympus エクステンダー"},
    {LensTableId::Sony, u"Sony レンズ"},
}};

} // namespace qlx::metadata::messages
