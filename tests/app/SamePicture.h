// A chart written to a PNG file by a program against the same chart drawn in this process.
#pragma once

#include "platform/Chart.h"
#include "platform/Graphics.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

// The rows of Png that differ from Chart's own drawing (same size asserted); 0 for the same picture.
inline int RowsThatDiffer(const std::string& Png, TChart& Chart)
{
    TBitmap written, shown;
    written.LoadFromFile(Png);
    Chart.DrawImage(&shown);
    EXPECT_EQ(written.GetWidth(), shown.GetWidth());
    EXPECT_EQ(written.GetHeight(), shown.GetHeight());
    if (written.GetWidth() != shown.GetWidth() || written.GetHeight() != shown.GetHeight())
        return shown.GetHeight();
    int differ = 0;
    for (int y = 0; y < shown.GetHeight(); ++y)
        differ += std::memcmp(shown.ScanLine(y), written.ScanLine(y), 4 * size_t(shown.GetWidth())) != 0;
    return differ;
}
