// First-start defaults, the defaults-when-zero pass that repairs damaged
// values, the sections that move old data, and where fields sit in the file.

#include "shell/settings_defaults.h"

#include <gtest/gtest.h>

namespace qlx::settings {
namespace {

class FirstStart : public ::testing::Test {
protected:
    void SetUp() override
    {
        applyFirstStartDefaults(record, u"5.96");
        applyDefaultsWhenZero(record);
    }
    SettingsRecord record;
};

// What the first start derives rather than copies: the version it is given,
// every section marked done, the identity column order, and the histogram
// background made from the base colour at half opacity.
TEST_F(FirstStart, DerivedValuesAndSectionMarkers)
{
    EXPECT_EQ(record.text(kVersion), u"5.96");
    for (auto marker : {kSectionA, kSectionB, kSectionC, kSectionD, kSectionE, kSectionF})
        EXPECT_EQ(record.get(marker), 1234u);
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        EXPECT_EQ(record.get(kColumnOrder, i), static_cast<std::int32_t>(i));
        EXPECT_EQ(record.get(kColumnVisible, i), 1);
        EXPECT_GT(record.get(kColumnWidths, i), 0);
    }
    for (std::size_t band = 0; band < kRebarBandCount; ++band)
        EXPECT_EQ(record.get(kRebarBands, 3 * band), static_cast<std::int32_t>(band));
    EXPECT_EQ(record.get(kHistogramBackground) >> 24, 128u);
    EXPECT_EQ(record.get(kHistogramBackground) & 0xFFFFFFu, record.get(kHistogramBaseColour) & 0xFFFFFFu);
}

TEST(SettingsDefaultsWhenZero, RepairsZeroFieldsAndRoundsThumbnailWidths)
{
    SettingsRecord record;
    applyFirstStartDefaults(record, u"5.96");
    record.set(kThumbnailSize, 0, 90);
    record.set(kSmallThumbnailSize, 0, 31);
    record.set(kMailLongSide, 0);
    record.set(kMailQuality, 55);
    record.set(kToolBoxCount, 0);
    record.set(kPrintFolderNameSize, 0);
    record.set(kPrintCaptionSize, 0);
    record.set(kListFontSize, 0);
    record.set(kOverlayTextSize, 5);
    record.set(kColumnWidths, 0, 0);
    record.set(kColumnOrder, 0, 7);
    applyDefaultsWhenZero(record);
    EXPECT_EQ(record.get(kThumbnailSize, 0), 88);
    EXPECT_EQ(record.get(kSmallThumbnailSize, 0), 28);
    EXPECT_EQ(record.get(kMailLongSide), 640);
    EXPECT_EQ(record.get(kMailQuality), 90);
    EXPECT_EQ(record.get(kMailResize), 1);
    EXPECT_EQ(record.get(kToolBoxCount), 33);
    EXPECT_EQ(record.get(kPrintFolderNameSize), 20);
    EXPECT_EQ(record.get(kPrintCaptionCorrection, 0), 0);
    EXPECT_EQ(record.get(kPrintCaptionCorrection, 1), 6);
    EXPECT_EQ(record.get(kListFontSize), 12);
    EXPECT_EQ(record.get(kOverlayTextSize), 20);
    EXPECT_EQ(record.get(kColumnOrder, 0), 0);
    EXPECT_GT(record.get(kColumnWidths, 0), 0);
}

TEST(SettingsDefaultsWhenZero, KeepsUserValuesAndSectionsThatAreDone)
{
    SettingsRecord record;
    applyFirstStartDefaults(record, u"5.96");
    record.set(kOverlayTextSize, 6);
    record.set(kGpsUtcOffsetHours, -5);
    record.setText(kVideoExtensions, u"mkv;");
    applyDefaultsWhenZero(record);
    EXPECT_EQ(record.get(kOverlayTextSize), 6);
    EXPECT_EQ(record.get(kGpsUtcOffsetHours), -5);
    EXPECT_EQ(record.text(kVideoExtensions), u"mkv;");
}

TEST(SettingsSections, OldActionsMoveIntoTheCurrentTable)
{
    SettingsRecord record;
    applyFirstStartDefaults(record, u"5.96");
    record.set(kSectionB, 0u);
    record.set(kActionCount, 2);
    auto bytes = record.bytes();
    for (std::size_t i = 0; i < 2 * kOldActionSize; ++i)
        bytes[kOldActionTable + i] = static_cast<std::byte>(1 + i % 251);
    // Leftovers in the current table and the areas B clears must go.
    bytes[kActionTable + 1500] = std::byte{9};
    bytes[kActionTable + 2 * kActionSize] = std::byte{9};
    bytes[kAreaSpare + 100] = std::byte{9};
    applySectionDefaults(record);
    EXPECT_EQ(record.get(kSectionB), 1234u);
    for (std::size_t a = 0; a < 2; ++a) {
        const auto action = record.action(a);
        for (std::size_t i = 0; i < kOldActionSize; ++i)
            ASSERT_EQ(action[i], static_cast<std::byte>(1 + (a * kOldActionSize + i) % 251)) << a << ":" << i;
        for (std::size_t i = kOldActionSize; i < kActionSize; ++i)
            ASSERT_EQ(action[i], std::byte{0});
    }
    EXPECT_EQ(record.action(2)[0], std::byte{0});
    EXPECT_EQ(bytes[kAreaSpare + 100], std::byte{0});
    EXPECT_EQ(record.get(kGpsMaxGapSeconds), 180);
}

TEST(SettingsSections, DamagedActionCountIsBounded)
{
    SettingsRecord record;
    applyFirstStartDefaults(record, u"5.96");
    record.set(kSectionB, 0u);
    record.set(kActionCount, 100000);
    applyDefaultsWhenZero(record);
    EXPECT_EQ(record.get(kActionCount), 39);
    record.set(kActionCount, -3);
    applyDefaultsWhenZero(record);
    EXPECT_EQ(record.get(kActionCount), 0);
}

TEST(SettingsLayout, FieldsSitAtTheirFileOffsets)
{
    SettingsRecord record;
    const auto bytes = record.bytes();
    record.set(kNormalExit, std::uint8_t{1});
    EXPECT_EQ(bytes[119'997], std::byte{1});
    record.set(kTargetFormatMask, 0x83FFFFFFu);
    EXPECT_EQ(bytes[720], std::byte{0xFF});
    EXPECT_EQ(bytes[723], std::byte{0x83});
    record.set(kSectionD, 1234u);
    EXPECT_EQ(bytes[268'316], std::byte{0xD2});
    EXPECT_EQ(bytes[268'317], std::byte{0x04});
    record.setColumnTitle(1, u"A");
    EXPECT_EQ(bytes[118'160 + 64], std::byte{'A'});
    record.set(kExtraWindowWasOpen, std::uint8_t{1});
    EXPECT_EQ(bytes[366'908], std::byte{1});
    record.setText(kLastOpenedFolder, u"/x");
    EXPECT_EQ(bytes[41'712], std::byte{'/'});
    EXPECT_EQ(bytes[41'714], std::byte{'x'});
    EXPECT_EQ(record.bytes().size(), 375'096u);
    // A text that does not fit with its terminator is refused, not cut.
    EXPECT_FALSE(record.setText(kLastOpenedFolder, std::u16string(260, u'a')));
    EXPECT_EQ(record.text(kLastOpenedFolder), u"/x");
    EXPECT_TRUE(record.setText(kLastOpenedFolder, std::u16string(259, u'a')));
}

} // namespace
} // namespace qlx::settings
