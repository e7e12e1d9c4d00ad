#pragma once
// First-start defaults, the defaults-when-zero pass and the section markers.

#include "shell/settings_record.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace qlx::settings {

// Default widths of the 24 list columns in report view, in pixels.
extern const std::array<std::int32_t, kColumnCount> kDefaultColumnWidths;
// Default titles of the 24 list columns (the Japanese long labels).
extern const std::array<std::u16string_view, kColumnCount> kDefaultColumnTitles;
// Default widths of rebar bands 0 to 6.
extern const std::array<std::int32_t, kRebarBandCount> kDefaultBandWidths;
// The 33 default tool-box slots: button numbers 0..22, -1 for a separator.
extern const std::array<std::int32_t, 33> kDefaultToolBox;

inline constexpr std::u16string_view kDefaultFontFace = u"ＭＳ Ｐゴシック";
inline constexpr std::u16string_view kDefaultUserFolder = u"./user";
inline constexpr std::u16string_view kDefaultVideoExtensions =
    u"avi;wmv;mpg;mpeg;mp4;mov;flv;3gp;3g2;divx;m2ts;mts;";
inline constexpr std::uint32_t kDefaultTargetFormatMask = 0x83FFFFFF;

// Zeroes the record and stores every first-start default, the sections'
// included. `version` is the program's version text.
void applyFirstStartDefaults(SettingsRecord& record, std::u16string_view version);

// After every load or first start: rounds the thumbnail widths down to
// multiples of 4, gives defaults to fields that read zero, then gives each
// section whose marker is not 1234 its defaults.
void applyDefaultsWhenZero(SettingsRecord& record);

// Gives each section A..F whose marker is not 1234 its defaults and sets the
// marker. Called by applyDefaultsWhenZero.
void applySectionDefaults(SettingsRecord& record);

} // namespace qlx::settings
