// The chart drawn from a list of records by ShowDependencies (as the exporter draws it) is the
// window's chart after Load, pixel for pixel.
#include "UiTestKit.h"
#include "model/Sweep.h"
#include "project/Palette.h"
#include "project/ProjectFile.h"
#include "tests/SampleProjects.h"
#include "tests/TempFolder.h"
#include "ui/DependencyChart.h"
#include "ui/FormLook.h"

#include <cstring>

namespace {

int CountColour(const TBitmap& Bitmap, TColor Colour)
{
    int n = 0;
    for (int y = 0; y < Bitmap.GetHeight(); ++y)
        for (int x = 0; x < Bitmap.GetWidth(); ++x)
            n += Bitmap.ScanLine(y)[x] == ColorToPixel(Colour);
    return n;
}

bool SamePixels(const TBitmap& A, const TBitmap& B)
{
    if (A.GetWidth() != B.GetWidth() || A.GetHeight() != B.GetHeight())
        return false;
    for (int y = 0; y < A.GetHeight(); ++y)
        if (std::memcmp(A.ScanLine(y), B.ScanLine(y), sizeof(std::uint32_t) * A.GetWidth()) != 0)
            return false;
    return true;
}

}  // namespace

class DependencyChartTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        SavedSeparator = FormatSettings.DecimalSeparator;
        MainWindowTest::SetUp();
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        FormatSettings.DecimalSeparator = SavedSeparator;
    }
    WideChar SavedSeparator = L'.';
};

TEST_F(DependencyChartTest, IsTheWindowsChartAfterLoad)
{
    EXPECT_EQ(F->ChrtDependencies->GetWidth(), DependencyChartWidth);
    EXPECT_EQ(F->ChrtDependencies->GetHeight(), DependencyChartHeight);
    TTempFolder folder("corvane-chart");
    const std::string file = folder.Path("three.ini");
    // A comma project: the axis labels follow the loaded separator.
    WriteFileBytes(file, ThreeDependencyProject(','));
    for (int choice : {gcTimeDifference, gcSelectivity}) {
        SCOPED_TRACE(choice);
        F->CbxGraph->SetItemIndex(choice);
        F->LoadFile(file);
        ASSERT_EQ(F->Records.size(), 3u);
        TBitmap window(DependencyChartWidth, DependencyChartHeight);
        F->ChrtDependencies->PaintTo(window.GetCanvas(), TRect(0, 0, DependencyChartWidth, DependencyChartHeight));

        TChart chart(nullptr);
        chart.SetBounds(0, 0, DependencyChartWidth, DependencyChartHeight);
        DressDependencyChart(&chart);
        std::vector<DependencyRecord> records = ReadProjectFile(file).Records;
        ShowDependencies(&chart, records, choice, file);
        TBitmap own(DependencyChartWidth, DependencyChartHeight);
        chart.PaintTo(own.GetCanvas(), TRect(0, 0, DependencyChartWidth, DependencyChartHeight));

        EXPECT_TRUE(SamePixels(window, own));
        // Not two empty charts: the second dependency's markers are there in its colour.
        EXPECT_GT(CountColour(own, PaletteColor(1, false)), 50);
        EXPECT_EQ(chart.GetRightAxis()->GetTitle()->GetCaption(), GraphText(choice));
        EXPECT_EQ(chart.GetTitle()->GetText()->Get(0), file);
    }
}
