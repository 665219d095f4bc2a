#include "platform/ChartAxis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(ChartScale, EndsOfTheRangeLandOnTheEndPixels)
{
    const TAxisScale h(0, 50, 100, 899, true);
    EXPECT_EQ(h.CalcPosValue(0), 100);
    EXPECT_EQ(h.CalcPosValue(50), 899);
    // Vertical axes grow upwards: the minimum is at the bottom pixel.
    const TAxisScale v(-2, 6, 20, 419, false);
    EXPECT_EQ(v.CalcPosValue(-2), 419);
    EXPECT_EQ(v.CalcPosValue(6), 20);
    EXPECT_DOUBLE_EQ(v.CalcPosPoint(419), -2);
    EXPECT_DOUBLE_EQ(v.CalcPosPoint(20), 6);
}

TEST(ChartScale, ValueToPixelAndBackStaysWithinAPixel)
{
    for (bool horizontal : {true, false}) {
        const TAxisScale s(3.27, 7.91, 37, 811, horizontal);
        const double valuePerPixel = (7.91 - 3.27) / (811 - 37);
        for (double v = 3.27; v <= 7.91; v += 0.0137) {
            const int p = s.CalcPosValue(v);
            EXPECT_NEAR(s.CalcPosPoint(p), v, valuePerPixel / 2 + 1e-12) << v;
        }
        for (int p = 37; p <= 811; ++p) EXPECT_EQ(s.CalcPosValue(s.CalcPosPoint(p)), p);
    }
}

TEST(ChartScale, FarAndInvalidValuesDoNotOverflow)
{
    const TAxisScale s(0, 1, 0, 100, true);
    EXPECT_EQ(s.CalcPosValue(1e300), 100000000);
    EXPECT_EQ(s.CalcPosValue(-1e300), -100000000);
    EXPECT_EQ(s.CalcPosValue(std::numeric_limits<double>::quiet_NaN()), -100000000);
    // A degenerate scale maps everything to its middle and reads back its minimum.
    const TAxisScale flat(5, 5, 0, 100, true);
    EXPECT_EQ(flat.CalcPosValue(5), 50);
    EXPECT_DOUBLE_EQ(flat.CalcPosPoint(10), 5);
}

TEST(ChartScale, FlatAndEmptyRangesAreWidened)
{
    double a = 0, b = 0;
    TAxisScale::WidenFlat(a, b);
    EXPECT_EQ(a, -1);
    EXPECT_EQ(b, 1);
    a = b = 5;
    TAxisScale::WidenFlat(a, b);
    EXPECT_DOUBLE_EQ(a, 4.5);
    EXPECT_DOUBLE_EQ(b, 5.5);
    a = b = -20;
    TAxisScale::WidenFlat(a, b);
    EXPECT_DOUBLE_EQ(a, -22);
    EXPECT_DOUBLE_EQ(b, -18);
    // No data at all: min +inf, max -inf.
    a = std::numeric_limits<double>::infinity();
    b = -a;
    TAxisScale::WidenFlat(a, b);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 1);
    a = 1;
    b = 3;
    TAxisScale::WidenFlat(a, b);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 3);
}

TEST(ChartScale, TidyIncrementsAreOneTwoOrFiveTimesAPowerOfTen)
{
    EXPECT_DOUBLE_EQ(TAxisScale::TidyIncrement(50, 10), 5);
    EXPECT_DOUBLE_EQ(TAxisScale::TidyIncrement(50, 9), 10);
    EXPECT_DOUBLE_EQ(TAxisScale::TidyIncrement(4.64, 8), 1);
    EXPECT_DOUBLE_EQ(TAxisScale::TidyIncrement(0.0042, 10), 0.0005);
    EXPECT_DOUBLE_EQ(TAxisScale::TidyIncrement(2, 10), 0.2);
    EXPECT_DOUBLE_EQ(TAxisScale::TidyIncrement(1e-12, 5), 2e-13);
    EXPECT_DOUBLE_EQ(TAxisScale::TidyIncrement(0, 5), 1);
}

TEST(ChartScale, TickValuesIncludeBothEndsAndAnExactZero)
{
    const auto t = TAxisScale::TickValues(-1, 1, 0.2);
    ASSERT_EQ(t.size(), 11u);
    EXPECT_DOUBLE_EQ(t.front(), -1);
    EXPECT_DOUBLE_EQ(t.back(), 1);
    EXPECT_EQ(t[5], 0.0);
    EXPECT_FALSE(std::signbit(t[5]));
    const auto u = TAxisScale::TickValues(3.27, 7.91, 1);
    EXPECT_EQ(u, (std::vector<double>{4, 5, 6, 7}));
    // An increment far too small for the range gives no ticks rather than millions.
    EXPECT_TRUE(TAxisScale::TickValues(0, 1e6, 1e-6).empty());
}

TEST(ChartScale, LabelsShowTheDecimalsTheIncrementNeeds)
{
    EXPECT_EQ(TAxisScale::FormatLabel(0.1 * 3, 0.1), "0.3");
    EXPECT_EQ(TAxisScale::FormatLabel(20, 5), "20");
    EXPECT_EQ(TAxisScale::FormatLabel(2.5, 0.5), "2.5");
    EXPECT_EQ(TAxisScale::FormatLabel(0.75, 0.25), "0.75");
    EXPECT_EQ(TAxisScale::FormatLabel(-1e-17, 0.2), "0");
    EXPECT_EQ(TAxisScale::FormatLabel(-0.4, 0.2), "-0.4");
    EXPECT_EQ(TAxisScale::FormatLabel(1.5, 0.5, ','), "1,5");
    EXPECT_EQ(TAxisScale::FormatLabel(3e-7, 1e-7), "3E-7");
    EXPECT_EQ(TAxisScale::FormatLabel(2.5e10, 5e9), "2.5E10");
}

TEST(ChartScale, MinorTicksDivideStepsIntoTidyParts)
{
    TChartAxis axis(nullptr, false, false);
    EXPECT_EQ(axis.MinorTicksFor(1), 4);
    EXPECT_EQ(axis.MinorTicksFor(0.5), 4);
    EXPECT_EQ(axis.MinorTicksFor(20), 3);
    EXPECT_EQ(axis.MinorTicksFor(0.002), 3);
    axis.SetMinorTickCount(2);
    EXPECT_EQ(axis.MinorTicksFor(20), 2);
    axis.SetMinorTickCount(0);
    EXPECT_EQ(axis.MinorTicksFor(1), 0);
}
