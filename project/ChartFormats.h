// The files the dependency chart is written as: PNG at the chart's size or two or three times it,
// SVG and PDF. The window's "Save chart as..." and corvane-export both write through this table.
#pragma once

#include "platform/Chart.h"
#include "platform/SysUtils.h"

#include <string>

struct TChartFormat {
    const char* Extension;   // lower case, without the dot
    const char* Filter;      // the save dialog's entry, "description|pattern"
    int Scale;               // picture pixels per chart pixel (PNG); 1 for the drawings
    // The file's bytes: Chart as shown (without the overlay), drawn at Scale.
    std::string (*Render)(TChart& Chart, int Scale);
};

inline constexpr int ChartFormatCount = 5;
// PNG at 1x, 2x and 3x, SVG, PDF: the order of the save dialog's filters.
extern const TChartFormat ChartFormats[ChartFormatCount];

// The save dialog's filter: every format's entry, in order.
UnicodeString ChartFormatsFilter();
// The first format that writes files with Extension (lower case, without the dot), or nullptr.
const TChartFormat* ChartFormatOfExtension(const UnicodeString& Extension);
// The format a file is saved in: the one its extension names (with the chosen filter's scale when
// that filter is of the same extension), or else the chosen filter's (FilterIndex counts from 1;
// PNG at the chart's size outside the list).
const TChartFormat& ChartFormatFor(const UnicodeString& FileName, int FilterIndex);
// Writes Chart in Format to FileName at once; EFCreateError "Cannot create file \"%s\"" when it
// cannot be written, and an old file stays as it was.
void SaveChartAs(TChart& Chart, const TChartFormat& Format, const UnicodeString& FileName);
