#include "imagelist/natural_compare.h"

#include <gtest/gtest.h>

namespace qlx::imagelist {
namespace {

TEST(NaturalCompare, DigitRunsCompareByValueLettersCaseFolded)
{
    EXPECT_LT(compareNatural(u"EOS 5D", u"EOS 10D"), 0);
    EXPECT_GT(compareNatural(u"E-M10", u"E-M5"), 0);
    EXPECT_LT(compareNatural(u"a", u"B"), 0);
    EXPECT_LT(compareNatural(u"X100", u"X100F"), 0);
    EXPECT_EQ(compareNatural(u"X100", u"X100"), 0);
    // Equal when folded, still a total order.
    EXPECT_NE(compareNatural(u"nikon", u"Nikon"), 0);
    EXPECT_EQ(compareNatural(u"nikon", u"Nikon"), -compareNatural(u"Nikon", u"nikon"));
    // Leading zeros and runs far longer than any integer type.
    EXPECT_NE(compareNatural(u"f007", u"f7"), 0);
    EXPECT_LT(compareNatural(u"99999999999999999999999", u"100000000000000000000000"), 0);
}

} // namespace
} // namespace qlx::imagelist
