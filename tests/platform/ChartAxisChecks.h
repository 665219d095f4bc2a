// What must hold of a chart axis after any layout, whatever the data or the zoom: finite ends, a
// bounded number of ticks strictly increasing inside them, one distinct label per tick.
#pragma once

#include "platform/Chart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

inline void ExpectReadableAxis(TChartAxis* Axis, const char* Name)
{
    SCOPED_TRACE(Name);
    const double mn = Axis->GetMinimum(), mx = Axis->GetMaximum();
    ASSERT_TRUE(std::isfinite(mn) && std::isfinite(mx));
    ASSERT_LT(mn, mx);
    EXPECT_FALSE(TAxisScale::IsFlat(mn, mx));
    const std::vector<double> ticks = Axis->GetTickValues();
    EXPECT_GE(ticks.size(), 2u);
    EXPECT_LE(ticks.size(), 40u);
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        EXPECT_TRUE(ticks[i] >= mn && ticks[i] <= mx) << ticks[i];
        if (i > 0) {
            EXPECT_GT(ticks[i], ticks[i - 1]);
        }
    }
    std::vector<UnicodeString> labels = Axis->GetTickLabels();
    EXPECT_EQ(labels.size(), ticks.size());
    std::sort(labels.begin(), labels.end());
    EXPECT_EQ(std::adjacent_find(labels.begin(), labels.end()), labels.end()) << "labels repeat";
}

inline void ExpectReadableAxes(TChart* Chart)
{
    ExpectReadableAxis(Chart->GetBottomAxis(), "bottom axis");
    ExpectReadableAxis(Chart->GetLeftAxis(), "left axis");
    ExpectReadableAxis(Chart->GetRightAxis(), "right axis");
}
