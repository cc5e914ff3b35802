#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <limits>

#include "platform/date_time.h"
#include "platform/rounding.h"

namespace qrp {
namespace {

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(Round(0.5L), 0);
    EXPECT_EQ(Round(1.5L), 2);
    EXPECT_EQ(Round(2.5L), 2);
    EXPECT_EQ(Round(-2.5L), -2);
    EXPECT_EQ(Round(-3.5L), -4);
    EXPECT_EQ(Round(2.4999L), 2);
    EXPECT_EQ(Round(2.5001L), 3);
    // 1123 pixels of paper length: 297 mm at 96 per inch, exactly 1122.519...
    EXPECT_EQ(Round(2970.0L * 96 / 254), 1123);
    EXPECT_EQ(Round(std::numeric_limits<long double>::quiet_NaN()), 0);
    EXPECT_EQ(Round(1e30L), std::numeric_limits<std::int64_t>::max());
}

TEST(Rounding, TruncationAndMulDiv)
{
    EXPECT_EQ(Trunc(2.9L), 2);
    EXPECT_EQ(Trunc(-2.9L), -2);
    EXPECT_EQ(MulDiv(21008, 96, 2540), 794);
    EXPECT_EQ(MulDiv(5, 1, 2), 3) << "halves away from zero";
    EXPECT_EQ(MulDiv(-5, 1, 2), -3);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(std::numeric_limits<std::int32_t>::max(), 4, 1), -1) << "overflow";
}

TEST(DateTime, CountsDaysFromTheEndOf1899)
{
    EXPECT_DOUBLE_EQ(EncodeDateTime({2001, 1, 1, 12, 0, 0, 0}), 36892.5);
    EXPECT_DOUBLE_EQ(EncodeDateTime({1899, 12, 30, 0, 0, 0, 0}), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime({1900, 3, 1, 6, 0, 0, 0}), 61.25);

    EXPECT_EQ(FormatIso8601(36892.5).value(), "2001-01-01T12:00:00");
    EXPECT_EQ(FormatIso8601(EncodeDateTime({2024, 2, 29, 23, 59, 59, 400})).value(), "2024-02-29T23:59:59");
    // Before the epoch the day counts back and the fraction still counts forward.
    EXPECT_EQ(FormatIso8601(-1.25).value(), "1899-12-29T06:00:00");

    EXPECT_FALSE(FormatIso8601(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(FormatIso8601(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(FormatIso8601(1e300));
    EXPECT_FALSE(FormatIso8601(-1e9));
}

TEST(DateTime, NowIsTheLocalTime)
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    const double expected = EncodeDateTime({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                            local.tm_min, local.tm_sec, 0});
    EXPECT_NEAR(Now(), expected, 5.0 / 86400);
}

}  // namespace
}  // namespace qrp
