// corvane-export --map-png, --map-svg, --map-pdf and --map-of, run as a process: the pictures are
// the design-space window's chart of the chosen dependency, at every scale; refusals write nothing.
#include "model/DesignSpace.h"
#include "platform/Forms.h"
#include "project/DesignMapChart.h"
#include "project/ProjectFile.h"
#include "tests/TempFolder.h"
#include "tests/app/RunProgram.h"
#include "tests/app/SamePicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace {

TRun Export(const std::vector<std::string>& Args) { return RunProgram(CORVANE_EXPORT_PROGRAM, Args); }

// Two dependencies that differ in K2 (0.3 and 0.36 per mM).
std::string TwoDependencies()
{
    std::string text = "[General]\r\nDecSep=46\r\nCount=2\r\n";
    const char* k2[2] = {"0.3", "0.36"};
    for (int i = 0; i < 2; ++i)
        text += "[Dependency" + std::to_string(i) + "]\r\nname=dep " + std::to_string(i + 1) +
                "\r\ncMin=0\r\ncMax=40\r\npoints=20\r\nVoltage=25000\r\nCapillary=0.485\r\nDetector=0.4\r\n"
                "EOF=4E-8\r\nu01=2E-8\r\nu02=2.1E-8\r\nu1=5E-9\r\nu2=5E-9\r\nK1=0.2\r\nK2=" + k2[i] +
                "\r\nD01=5E-10\r\nD02=5E-10\r\nD1=3E-10\r\nD2=3E-10\r\n";
    return text;
}

}  // namespace

TEST(MapPictureExport, PicturesAreTheWindowsChartOfTheChosenDependency)
{
    TTempFolder folder{"corvane-map-picture"};
    const std::string project = folder.Path("map.ini"), png = folder.Path("map.png"), svg = folder.Path("map.svg"),
                      pdf = folder.Path("map.pdf");
    WriteFileBytes(project, TwoDependencies());
    const TRun run = Export({project, "--map-png", png, "--map-svg", svg, "--map-pdf", pdf, "--map-of", "2",
                             "--map-y", "voltage", "--map-from", "10000", "--map-to", "30000", "--map-size", "41x31"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;

    // The same map drawn here, as the window draws it.
    const std::vector<DependencyRecord> records = ReadProjectFile(project).Records;
    DesignSpaceSettings s = DefaultDesignSpace(records[1].Params, TMapCondition::Voltage);
    s.yFrom = 10000;
    s.yTo = 30000;
    s.nx = 41;
    s.ny = 31;
    const DesignMap map = ComputeDesignMap(records[1].Params, s);
    const GoodRegion region = FindGoodRegion(map);
    TChart chart(nullptr);
    chart.SetBounds(0, 0, DesignMapChartWidth, DesignMapChartHeight);
    DressDesignMapChart(&chart);
    ShowDesignMap(&chart, {&map, &region, nullptr, mvRs});
    EXPECT_EQ(RowsThatDiffer(png, chart), 0) << "rows that differ";
    EXPECT_TRUE(ReadFileBytes(svg) == chart.SvgText()) << "the SVG differs from the window's";
    EXPECT_EQ(ReadFileBytes(pdf).rfind("%PDF", 0), 0u);
    // The first dependency's map is another picture.
    ASSERT_EQ(Export({project, "--map-png", png, "--map-y", "voltage", "--map-from", "10000", "--map-to", "30000",
                      "--map-size", "41x31"})
                  .ExitCode,
              0);
    TBitmap first, shown;
    first.LoadFromFile(png);
    chart.DrawImage(&shown);
    EXPECT_NE(std::memcmp(first.ScanLine(DesignMapChartHeight / 2), shown.ScanLine(DesignMapChartHeight / 2),
                          4 * size_t(shown.GetWidth())),
              0);

    for (int scale : {2, 3}) {
        ASSERT_EQ(Export({project, "--map-png", png, "--map-size", "11x11", "--scale", std::to_string(scale)}).ExitCode, 0);
        TBitmap b;
        b.LoadFromFile(png);
        EXPECT_EQ(b.GetWidth(), DesignMapChartWidth * scale) << scale;
        EXPECT_EQ(b.GetHeight(), DesignMapChartHeight * scale) << scale;
    }
    DestroyApplicationForms();
}

TEST(MapPictureExport, RefusalsWriteNothing)
{
    TTempFolder folder{"corvane-map-picture"};
    const std::string project = folder.Path("map.ini"), png = folder.Path("map.png"), csv = folder.Path("map.csv");
    WriteFileBytes(project, TwoDependencies());
    const struct {
        std::vector<std::string> Args;
        int Exit;
        const char* Says;
    } rows[] = {
        {{"--map-png", png, "--map-of", "3"}, 1, "--map-of 3: the project has 2 dependencies"},
        {{"--map-png", png, "--map-of", "0"}, 2, "bad dependency '0' for --map-of"},
        {{"--map-png", png, "--map-of", "two"}, 2, "bad dependency 'two' for --map-of"},
        {{"--map-png", "-"}, 2, "needs a file name"},
        {{"--csv", csv, "--map-of", "2"}, 2, "the --map-... options need --map or a map picture"},
        {{"--map-png", png, "--map-csv", csv}, 2, "unknown option '--map-csv'"},
        {{"--map-png", png, "--map-size", "1x5"}, 2, "bad map size"},
        {{"--map-png", project}, 2, ""},  // the project itself
    };
    for (const auto& r : rows) {
        std::vector<std::string> args{project};
        args.insert(args.end(), r.Args.begin(), r.Args.end());
        const TRun run = Export(args);
        EXPECT_EQ(run.ExitCode, r.Exit) << args[1] << " " << args[2] << "\n" << run.Err;
        EXPECT_NE(run.Err.find(r.Says), std::string::npos) << run.Err;
        EXPECT_FALSE(std::filesystem::exists(png));
        EXPECT_FALSE(std::filesystem::exists(csv));
        EXPECT_EQ(ReadFileBytes(project), TwoDependencies());
    }
}
