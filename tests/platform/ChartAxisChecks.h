// Ranges of every kind that a chart axis may be asked to show, and what must hold of an axis
// whatever the range: finite ends, a bounded number of ticks strictly increasing inside them,
// one distinct label per tick.
#pragma once

#include "platform/Chart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

// Ranges of data, of a zoom or fixed by program.
inline const struct TChartRangeCase {
    const char* Name;
    double Min, Max;
} ChartRangeCases[] = {
    {"ordinary", 3.27, 7.91},
    {"empty at zero", 0, 0},
    {"empty", -20, -20},
    {"one ulp wide", 1, 1.0000000000000002},
    {"flat to the last bits of a time", 2.1555555555555554, 2.155555555555556},
    {"last bits beyond 2^53 increments", 1e17, 1e17 + 64},
    {"just narrower than readable", 25, 25 + 2e-11},
    {"just readable", 25, 25 + 3e-11},
    {"tiny", 1e-300, 3e-300},
    {"one denormal", 0, std::numeric_limits<double>::denorm_min()},
    {"denormals", 1e-310, 3e-310},
    {"around zero, tiny", -1e-300, 1e-300},
    {"huge, both signs", -1e308, 1e308},
    {"huge, one sign", 1e308, std::numeric_limits<double>::max()},
    {"largest, empty", std::numeric_limits<double>::max(), std::numeric_limits<double>::max()},
    {"reversed", 3, 1},
    {"signed zeros", -0.0, 0.0},
    {"NaN", std::numeric_limits<double>::quiet_NaN(), 1},
    {"infinite", -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()},
    {"no data", std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()},
};

// At least two and at most MaxCount ticks, strictly increasing inside the readable [Min, Max],
// each with a distinct label.
inline void ExpectReadableTicks(double Min, double Max, const std::vector<double>& Ticks,
                                std::vector<UnicodeString> Labels, std::size_t MaxCount)
{
    ASSERT_TRUE(std::isfinite(Min) && std::isfinite(Max));
    ASSERT_LT(Min, Max);
    EXPECT_FALSE(TAxisScale::IsFlat(Min, Max));
    EXPECT_GE(Ticks.size(), 2u);
    EXPECT_LE(Ticks.size(), MaxCount);
    for (std::size_t i = 0; i < Ticks.size(); ++i) {
        EXPECT_TRUE(Ticks[i] >= Min && Ticks[i] <= Max) << Ticks[i];
        EXPECT_TRUE(i == 0 || Ticks[i] > Ticks[i - 1]) << Ticks[i];
    }
    EXPECT_EQ(Labels.size(), Ticks.size());
    std::sort(Labels.begin(), Labels.end());
    EXPECT_EQ(std::adjacent_find(Labels.begin(), Labels.end()), Labels.end()) << "labels repeat";
}

inline void ExpectReadableAxes(TChart* Chart)
{
    for (TChartAxis* a : {Chart->GetBottomAxis(), Chart->GetLeftAxis(), Chart->GetRightAxis()}) {
        SCOPED_TRACE(a == Chart->GetBottomAxis() ? "bottom axis" : a == Chart->GetLeftAxis() ? "left axis" : "right axis");
        ExpectReadableTicks(a->GetMinimum(), a->GetMaximum(), a->GetTickValues(), a->GetTickLabels(), 40);
    }
}
