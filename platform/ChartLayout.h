// The chart's private layout: where the plot, the titles, the legend and the axes' labels stand
// at a size, computed by TChart::Layout (Chart.cpp) and drawn by the chart's drawing
// (ChartDraw.cpp).
#pragma once

#include "platform/Chart.h"

#include <vector>

namespace ChartMetrics {
inline constexpr int kMargin = 6;
inline constexpr int kTitlePadH = 8;  // inside a framed axis title, along the text
inline constexpr int kTitlePadV = 3;  // across the text
inline constexpr int kLegendSample = 22;

enum { axBottom, axLeft, axRight };
}  // namespace ChartMetrics

struct TChart::TLayout {
    int Width = 0;
    int Height = 0;
    TRect Plot;
    int TitleLineHeight = 0;
    std::vector<int> TitleY;
    struct TLegendItem {
        TChartSeries* Series;
        TRect Sample;
        int TextX, TextY;
    };
    bool LegendShown = false;
    TRect LegendRect;
    std::vector<TLegendItem> LegendItems;
    struct TAxisBox {
        bool Shown = false;
        std::vector<UnicodeString> Labels;
        std::vector<int> LabelWidths;
        int LabelHeight = 0;
        int LabelWidth = 0;
        bool HasTitle = false;
        TRect TitleBox;  // in chart pixels, turned for vertical axes
    } Axes[3];
    struct TScaleBox {
        bool Shown = false;
        TRect Bar;
        TAxisScale Scale;
        std::vector<double> Ticks;
        std::vector<UnicodeString> Labels;
        int LabelHeight = 0;
        int TitleWidth = 0;  // along the text
        TRect TitleBox;
    } ColorScale;
};
