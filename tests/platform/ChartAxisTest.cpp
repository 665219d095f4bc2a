#include "platform/ChartAxis.h"
#include "tests/platform/ChartAxisChecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

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

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kDenormal = std::numeric_limits<double>::denorm_min();

}  // namespace

// Whatever the range, what the axis shows is finite, readable and labelled by a bounded number of
// distinct ticks inside it, for small and large axes.
TEST(ChartScale, EveryRangeShowsAsAReadableRangeWithFewDistinctTicks)
{
    for (const auto& c : ChartRangeCases) {
        SCOPED_TRACE(c.Name);
        double mn = c.Min, mx = c.Max;
        TAxisScale::WidenFlat(mn, mx);
        // Widening again changes nothing.
        double mn2 = mn, mx2 = mx;
        TAxisScale::WidenFlat(mn2, mx2);
        EXPECT_TRUE(mn2 == mn && mx2 == mx);
        for (int pixels : {400, 4096}) {
            SCOPED_TRACE(pixels);
            const TAxisScale s(mn, mx, 0, pixels - 1, true);
            EXPECT_EQ(s.CalcPosValue(mn), 0);
            EXPECT_EQ(s.CalcPosValue(mx), pixels - 1);
            const double inc = TAxisScale::TidyIncrement(mx - mn, pixels / 40.0);
            const auto ticks = TAxisScale::TickValues(mn, mx, inc);
            std::vector<UnicodeString> labels;
            for (double t : ticks) labels.push_back(TAxisScale::FormatLabel(t, inc));
            ExpectReadableTicks(mn, mx, ticks, labels, pixels / 40 + 2);
        }
    }
}

// A range too narrow to label is shown as a flat one is; a zoom is held at twice the least width.
TEST(ChartScale, NarrowRangesCountAsFlatAndZoomsStopAtTheNarrowestReadable)
{
    const struct {
        double Min, Max, ShownMin, ShownMax;
    } widened[] = {
        {1, 1.0000000000000002, 0.9, 1.1},
        {-40, -40 + 1e-12, -44, -36},
        {-1e-300, 1e-300, -1, 1},
        {kDenormal, kDenormal, -1, 1},
        {1e-280, 1e-280, 0.9e-280, 1.1e-280},
        {-1e308, 1e308, -1e307, 1e307},
        {kMax, kMax, 0.9e307, 1e307},
        {3, 1, 1, 3},
    };
    for (const auto& w : widened) {
        double a = w.Min, b = w.Max;
        TAxisScale::WidenFlat(a, b);
        EXPECT_NEAR(a, w.ShownMin, 1e-12 * std::fabs(w.ShownMin)) << w.Min << " " << w.Max;
        EXPECT_NEAR(b, w.ShownMax, 1e-12 * std::fabs(w.ShownMax)) << w.Min << " " << w.Max;
    }

    for (double centre : {0.0, 1e-300, 2.5e-7, 1.0, -6.4, 25.0, 1e17, -1e300}) {
        SCOPED_TRACE(centre);
        double a = centre, b = centre + TAxisScale::LeastWidth(std::fabs(centre)) / 4;
        ASSERT_TRUE(TAxisScale::IsFlat(a, b));
        EXPECT_TRUE(TAxisScale::HoldZoomWidth(a, b));
        EXPECT_FALSE(TAxisScale::IsFlat(a, b));
        EXPECT_NEAR((a + b) / 2, centre, TAxisScale::LeastWidth(std::fabs(centre)));
        EXPECT_NEAR(b - a, 2 * TAxisScale::LeastWidth(std::fabs(centre)), 1e-3 * (b - a));
        // Shown as it is, and held the same way again.
        double c = a, d = b;
        TAxisScale::WidenFlat(c, d);
        EXPECT_EQ(c, a);
        EXPECT_EQ(d, b);
        EXPECT_FALSE(TAxisScale::HoldZoomWidth(c, d));
    }
    double a = 2, b = 3;
    EXPECT_FALSE(TAxisScale::HoldZoomWidth(a, b));
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 3);
}

// The axis arithmetic itself, given what no layout asks for: never more than MaxTicks ticks,
// always strictly increasing and inside the range, counted whatever the magnitudes.
TEST(ChartScale, TickValuesStayBoundedForAnyIncrement)
{
    const struct {
        double Min, Max, Increment;
        std::size_t Count;
    } cases[] = {
        {1e17, 1e17 + 64, 1, 5},  // multiples of 1 beyond 2^53 are 16 apart
        {9007199254740992.0, 9007199254740992.0 + 8, 1, 5},
        {0, 999, 1, 1000},
        {0, 1000, 1, 0},  // one more than MaxTicks
        {0, 1e6, 1e-6, 0},
        {0, 1, kDenormal, 0},
        {-kMax, kMax, 1e-300, 0},
        {-kMax, kMax, kMax / 4, 9},
        {0, 1e-300, 1e-301, 11},
        {1, 2, kInf, 0},
        {1, 2, kNaN, 0},
        {1, 2, -1, 0},
        {kNaN, 1, 1, 0},
        {2, 1, 1, 0},
        {-kInf, kInf, 1, 0},
        {0.30000000000000004, 0.6, 0.1, 4},
        {1e-20, 1, 0.25, 5},  // the tick at 0 moves onto the minimum
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.Min << " .. " << c.Max << " by " << c.Increment);
        const auto t = TAxisScale::TickValues(c.Min, c.Max, c.Increment);
        EXPECT_EQ(t.size(), c.Count);
        for (std::size_t i = 0; i < t.size(); ++i)
            EXPECT_TRUE(t[i] >= c.Min && t[i] <= c.Max && (i == 0 || t[i] > t[i - 1])) << t[i];
    }
}

TEST(ChartScale, IncrementsAndLabelsAtTheEndsOfTheDoubles)
{
    for (double range : {kDenormal, 1e-310, 1e-300, 1.0, 1e300, kMax}) {
        for (double steps : {1.0, 10.0, 1e9, kInf, kNaN, 0.0}) {
            const double inc = TAxisScale::TidyIncrement(range, steps);
            EXPECT_TRUE(inc > 0 && std::isfinite(inc)) << range << " " << steps;
            // One step at least as long as the range divided into the steps asked for.
            if (steps >= 1) {
                EXPECT_GE(inc, range / std::min(steps, 1e6) * (1 - 1e-9)) << range << " " << steps;
            }
        }
    }
    const struct {
        double Value, Increment;
        const char* Text;
    } labels[] = {
        {1e307, 1e306, "1E307"},
        {-kMax, 1e307, "-1.8E308"},
        {3e-300, 1e-300, "3E-300"},
        {kDenormal, kDenormal, "5E-324"},
        {1.0000000000001, 1e-13, "1.0000000000001E0"},
        {25.000000000005, 5e-12, "2.5000000000005E1"},
        {2.5, kInf, "2"},
        {2.5, kNaN, "2"},
        {1e300, kNaN, "1E300"},
        {kInf, 1, ""},
        {kNaN, 1, ""},
    };
    for (const auto& l : labels)
        EXPECT_EQ(TAxisScale::FormatLabel(l.Value, l.Increment), l.Text) << l.Value << " " << l.Increment;
}
