// corvane-export run as a process, as a script runs it: its CSV against the model and the window,
// its pictures, its refusals and exit codes, and what it leaves on disk when it fails.
#include "model/Sweep.h"
#include "platform/Graphics.h"
#include "project/ProjectFile.h"
#include "tests/SampleProjects.h"
#include "tests/TempFolder.h"
#include "ui/DependencyChart.h"
#include "ui/FCorvane.h"
#include "ui/FormLook.h"
#include "ui/FpHSetup.h"
#include "tests/app/RunProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Runs the exporter with Args; standard output goes to OutputFile when one is given.
TRun Export(const std::vector<std::string>& Args, const std::string& OutputFile = "")
{
    return RunProgram(CORVANE_EXPORT_PROGRAM, Args, OutputFile);
}

// The rows of a CSV text of the exporter (after its byte-order mark), fields split at Sep; the
// sample projects have no field that needs quotes.
std::vector<std::vector<std::string>> Rows(const std::string& Text, char Sep)
{
    std::vector<std::vector<std::string>> rows;
    EXPECT_EQ(Text.rfind("\xEF\xBB\xBF", 0), 0u) << "no byte-order mark";
    size_t at = 3;
    while (at < Text.size()) {
        size_t end = Text.find("\r\n", at);
        if (end == std::string::npos) {
            ADD_FAILURE() << "a row without CRLF";
            end = Text.size();
        }
        std::vector<std::string> fields;
        const std::string line = Text.substr(at, end - at);
        size_t from = 0;
        for (size_t s; (s = line.find(Sep, from)) != std::string::npos; from = s + 1)
            fields.push_back(line.substr(from, s - from));
        fields.push_back(line.substr(from));
        rows.push_back(fields);
        at = end + 2;
    }
    return rows;
}

double Number(std::string Field, char Decimal)
{
    for (char& ch : Field)
        if (ch == Decimal) ch = '.';
    return std::stod(Field);
}

// Equal to 15 significant digits.
::testing::AssertionResult Same15(double Written, double Expected)
{
    if (std::fabs(Written - Expected) <= 5e-15 * std::fabs(Expected) + 1e-300)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << Written << " against " << Expected;
}

// Every file in Folder, by name.
std::vector<std::string> Files(const fs::path& Folder)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(Folder))
        names.push_back(e.path().filename().string());
    return names;
}

const std::string BadUsageHead = "Usage: corvane-export PROJECT.ini";

}  // namespace

class Exporter : public ::testing::Test {
protected:
    void SetUp() override
    {
        Project = Folder.Path("three.ini");
        WriteFileBytes(Project, ThreeDependencyProject());
    }
    TTempFolder Folder{"corvane-export"};
    std::string Project;
};

// The CSV holds the model's values of every point of the three dependencies, and the values the
// window's chart shows after loading the same file, for both decimal separators.
TEST_F(Exporter, CsvHoldsTheModelsAndTheWindowsValues)
{
    const WideChar savedSeparator = FormatSettings.DecimalSeparator;
    for (char decimal : {'.', ','}) {
        for (int choice : {gcTimeDifference, gcMobilityDifference, gcSelectivityEOF}) {
            SCOPED_TRACE(std::string("separator ") + decimal + ", graph " + std::to_string(choice));
            WriteFileBytes(Project, ThreeDependencyProject(decimal));
            const std::string csv = Folder.Path("curves.csv");
            const TRun run = Export({Project, "--csv", csv, "--graph", std::to_string(choice)});
            ASSERT_EQ(run.ExitCode, 0) << run.Err;
            const auto rows = Rows(ReadFileBytes(csv), decimal == ',' ? ';' : ',');
            ASSERT_FALSE(rows.empty());
            ASSERT_EQ(rows[0].size(), 9u);
            EXPECT_EQ(rows[0][8], GraphText(choice));

            // The model: the file read as Load reads it, swept point by point.
            const ProjectContents project = ReadProjectFile(Project);
            ASSERT_EQ(project.Records.size(), 3u);
            // The window: the same file loaded through Load's work, with the same graph choice.
            Application->CreateForm(FrmCorvane);
            Application->CreateForm(FrmpHSetup);
            FrmCorvane->Show();
            FrmCorvane->CbxGraph->SetItemIndex(choice);
            FrmCorvane->LoadFile(Project);
            ASSERT_EQ(FrmCorvane->Records.size(), 3u);

            size_t row = 1;
            for (size_t i = 0; i < project.Records.size(); ++i) {
                const Params& params = project.Records[i].Params;
                const SeriesSet& shown = FrmCorvane->Records[i].SeriesSet;
                int point = 0;
                SweepRange(params.cMin, params.cMax, params.points).ForEach([&](double c) {
                    ASSERT_LT(row, rows.size());
                    const auto& f = rows[row++];
                    ASSERT_EQ(f.size(), 9u);
                    EXPECT_EQ(f[0], std::to_string(i + 1));
                    EXPECT_EQ(f[1], AnsiToUtf8(project.Records[i].name));
                    const PointValues v(params.phys, c);
                    const double written[4] = {Number(f[5], decimal), Number(f[6], decimal), Number(f[7], decimal),
                                               Number(f[8], decimal)};
                    const double model[4] = {c, v.t1 * MinutesPerSecond, v.t2 * MinutesPerSecond, v.Measure(choice)};
                    const double window[4] = {shown.t1Series->XValue(point), shown.t1Series->YValue(point),
                                              shown.t2Series->YValue(point), shown.MeasureSeries->YValue(point)};
                    for (int k = 0; k < 4; ++k) {
                        EXPECT_TRUE(Same15(written[k], model[k])) << "column " << k + 5 << ", row " << row;
                        EXPECT_TRUE(Same15(written[k], window[k])) << "column " << k + 5 << ", row " << row;
                    }
                    ++point;
                });
                EXPECT_EQ(point, shown.t1Series->Count());
            }
            EXPECT_EQ(row, rows.size());
            DestroyApplicationForms();
        }
    }
    FormatSettings.DecimalSeparator = savedSeparator;
}

// A graph choice by its number in the combo box (0-based) and by its text, in any case, give
// the same output; "-" writes to standard output exactly what a file receives.
TEST_F(Exporter, GraphByNumberOrTextAndStandardOutput)
{
    const TRun byText = Export({Project, "--graph", "Selectivity", "--csv", "-"});
    const TRun byNumber = Export({Project, "--graph", "4", "--csv", "-"});
    const TRun byLower = Export({Project, "--graph=selectivity", "--csv=-"});
    const TRun first = Export({Project, "--csv", "-"});
    for (const TRun* r : {&byText, &byNumber, &byLower, &first}) {
        EXPECT_EQ(r->ExitCode, 0) << r->Err;
    }
    EXPECT_NE(byText.Out.find(",Selectivity\r\n"), std::string::npos);
    EXPECT_EQ(byNumber.Out, byText.Out);
    EXPECT_EQ(byLower.Out, byText.Out);
    EXPECT_NE(first.Out, byText.Out);
    EXPECT_NE(first.Out.find(",Time difference / min\r\n"), std::string::npos);

    const std::string file = Folder.Path("curves.csv");
    ASSERT_EQ(Export({Project, "--graph", "4", "--csv", file}).ExitCode, 0);
    EXPECT_EQ(ReadFileBytes(file), byText.Out);

    // The analysis table follows the curves after one empty line, without a second mark.
    const TRun analysis = Export({Project, "--analysis", "--csv", "-", "--all-values"});
    ASSERT_EQ(analysis.ExitCode, 0) << analysis.Err;
    const size_t gap = analysis.Out.find("\r\n\r\n");
    ASSERT_NE(gap, std::string::npos);
    EXPECT_EQ(analysis.Out.compare(gap + 4, 14, "#,Name,Analyte"), 0);
    EXPECT_EQ(analysis.Out.find("\xEF\xBB\xBF", 1), std::string::npos);
    // The last curve row's end, the empty line, the header and one row per dependency.
    EXPECT_EQ(std::count(analysis.Out.begin() + gap, analysis.Out.end(), '\n'), 1 + 1 + 1 + 3);
    EXPECT_NE(analysis.Out.find("x1 [-]"), std::string::npos);
}

// A project the window refuses: exit 1, the window's message after the program's name, and no
// output file.
TEST_F(Exporter, RefusedProjectsWriteNothing)
{
    const struct {
        const char* Content;
    } cases[] = {
        {"[General]\r\nCount=-1\r\n"},
        {"[General]\r\nDecSep=48\r\nCount=1\r\n"},
        {"[General]\r\nCount=1\r\n[Dependency0]\r\nCapillary=0\r\n"},
        // Loaded, but its sweep faults (no steps at all).
        {"[General]\r\nCount=1\r\n[Dependency0]\r\npoints=0\r\n"},
    };
    const std::string bad = Folder.Path("bad.ini");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Content);
        WriteFileBytes(bad, c.Content);
        std::string message;
        try {
            std::vector<DependencyRecord> records = ReadProjectFile(bad).Records;
            for (const DependencyRecord& r : records)
                SweepRange(r.Params.cMin, r.Params.cMax, r.Params.points);
        } catch (const Exception& E) {
            message = E.Message();
        }
        ASSERT_FALSE(message.empty());
        for (const char* output : {"--csv", "--png"}) {
            const TRun run = Export({bad, output, Folder.Path("out")});
            EXPECT_EQ(run.ExitCode, 1);
            EXPECT_NE(run.Err.find("corvane-export: "), std::string::npos) << run.Err;
            EXPECT_NE(run.Err.find(message), std::string::npos) << run.Err;
            EXPECT_FALSE(fs::exists(Folder.Path("out")));
        }
    }
    const TRun missing = Export({Folder.Path("none.ini"), "--csv", "-"});
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_EQ(missing.Err, "corvane-export: Cannot load " + Folder.Path("none.ini") + ": the file does not exist.\n");
    EXPECT_EQ(missing.Out, "");
}

TEST_F(Exporter, BadUsageExitsWithTheUsage)
{
    const std::string csv = Folder.Path("c.csv");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {Project},
        {"--csv", "-"},
        {Project, "--csv"},
        {Project, "--csv", ""},
        {Project, "--csv", "-", "--bogus"},
        {Project, "--csv", "-", "-x"},
        {Project, Project, "--csv", "-"},
        {Project, "--csv", "-", "--graph", "6"},
        {Project, "--csv", "-", "--graph", "-1"},
        {Project, "--csv", "-", "--graph", "Selectivity (EOF"},
        {Project, "--png", csv, "--size", "0x100"},
        {Project, "--png", csv, "--size", "49x100"},
        {Project, "--png", csv, "--size", "100x5000"},
        {Project, "--png", csv, "--size", "100"},
        {Project, "--png", csv, "--size", "100x"},
        {Project, "--png", csv, "--size", "+100x100"},
        {Project, "--png", csv, "--size", "100x100x100"},
        {Project, "--png", csv, "--scale", "0"},
        {Project, "--png", csv, "--scale", "4"},
        {Project, "--png", csv, "--scale", "1.5"},
        {Project, "--png", csv, "--analysis"},
        {Project, "--csv", "-", "--all-values=1"},
        {Project, "--png", "-"},
        {Project, "--csv", Project},
        {Project, "--csv", csv, "--png", csv},
        {Project, "--csv", csv, "--svg", Folder.Path(".") + "/c.csv"},
    };
    for (const auto& args : cases) {
        std::string line;
        for (const std::string& a : args)
            line += "'" + a + "' ";
        SCOPED_TRACE(line);
        const TRun run = Export(args);
        EXPECT_EQ(run.ExitCode, 2);
        EXPECT_EQ(run.Err.rfind("corvane-export: ", 0), 0u) << run.Err;
        EXPECT_NE(run.Err.find(BadUsageHead), std::string::npos) << run.Err;
        EXPECT_EQ(run.Out, "");
    }
    // Nothing was written, and the project is intact.
    EXPECT_EQ(Files(Folder.Dir()), std::vector<std::string>{"three.ini"});
    EXPECT_EQ(ReadFileBytes(Project), ThreeDependencyProject());
}

TEST_F(Exporter, HelpAndVersion)
{
    const TRun help = Export({"--help"});
    EXPECT_EQ(help.ExitCode, 0);
    EXPECT_EQ(help.Out.rfind(BadUsageHead, 0), 0u);
    for (int i = 0; i < GraphChoiceCount; ++i)
        EXPECT_NE(help.Out.find(std::to_string(i) + "  " + GraphText(i) + "\n"), std::string::npos) << i;
    EXPECT_EQ(help.Err, "");
    const TRun version = Export({"--version"});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Out.rfind("corvane-export (Corvane) " CORVANE_VERSION "\n", 0), 0u) << version.Out;
    EXPECT_EQ(version.Err, "");
}

// Outputs that cannot be written: exit 3 with the file's name; nothing half-written, no file of
// the run written when one of them cannot be, and a file that may not be replaced stays.
TEST_F(Exporter, UnwritableOutputsLeaveEverythingAsItWas)
{
    const std::string missing = Folder.Path("no-such-folder/out.csv");
    const std::string good = Folder.Path("good.csv");
    const std::string goodPng = Folder.Path("good.png");
    const std::string locked = Folder.Path("locked.png");
    WriteFileBytes(locked, "old picture");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const struct {
        std::vector<std::string> Args;
        std::string Named;
    } cases[] = {
        {{Project, "--csv", missing}, missing},
        {{Project, "--png", Folder.Path("no-such-folder/out.png")}, Folder.Path("no-such-folder/out.png")},
        {{Project, "--csv", good, "--pdf", missing + ".pdf"}, missing + ".pdf"},
        {{Project, "--csv", good, "--png", locked}, locked},
        {{Project, "--png", goodPng, "--svg", goodPng + ".svg", "--csv", missing}, missing},
        {{Project, "--csv", Folder.Dir().string()}, Folder.Dir().string()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Named);
        const TRun run = Export(c.Args);
        EXPECT_EQ(run.ExitCode, 3);
        EXPECT_NE(run.Err.find("corvane-export: Cannot create file \"" + c.Named + "\""), std::string::npos) << run.Err;
        EXPECT_FALSE(fs::exists(Folder.Path("no-such-folder")));
        EXPECT_EQ(ReadFileBytes(locked), "old picture");
        std::vector<std::string> files = Files(Folder.Dir());
        std::sort(files.begin(), files.end());
        EXPECT_EQ(files, (std::vector<std::string>{"locked.png", "three.ini"}));
    }
    // A standard output that takes nothing is a failure too, not a success.
    const TRun full = Export({Project, "--csv", "-"}, "/dev/full");
    EXPECT_EQ(full.ExitCode, 3);
    EXPECT_NE(full.Err.find("corvane-export: Cannot write to the standard output"), std::string::npos) << full.Err;
}

// The pictures: the PNG at the asked size times the scale and, at the default size and scale 1,
// the window's chart pixel for pixel; the SVG and the PDF as such files begin.
TEST_F(Exporter, PicturesOfTheWindowsChart)
{
    const std::string png = Folder.Path("chart.png");
    const TRun plain = Export({Project, "--png", png});
    ASSERT_EQ(plain.ExitCode, 0) << plain.Err;
    TBitmap written;
    written.LoadFromFile(png);
    ASSERT_EQ(written.GetWidth(), DependencyChartWidth);
    ASSERT_EQ(written.GetHeight(), DependencyChartHeight);
    // The chart the window shows after loading the project (see test_ui), drawn in this
    // process with its classic colours.
    auto windowsChart = [&](int Width, int Height, std::vector<DependencyRecord>& Records) {
        auto chart = std::make_unique<TChart>(nullptr);
        chart->SetBounds(0, 0, Width, Height);
        DressDependencyChart(chart.get());
        Records = ReadProjectFile(Project).Records;
        ShowDependencies(chart.get(), Records, 0, Project);
        return chart;
    };
    {
        std::vector<DependencyRecord> records;
        const auto chart = windowsChart(DependencyChartWidth, DependencyChartHeight, records);
        TBitmap expected;
        chart->DrawImage(&expected);
        int differ = 0;
        for (int y = 0; y < expected.GetHeight(); ++y)
            differ += std::memcmp(expected.ScanLine(y), written.ScanLine(y), sizeof(std::uint32_t) * expected.GetWidth()) != 0;
        EXPECT_EQ(differ, 0) << "rows that differ";
    }
    for (int scale : {1, 2, 3}) {
        SCOPED_TRACE(scale);
        const TRun run = Export({Project, "--png", png, "--size", "320x200", "--scale", std::to_string(scale)});
        ASSERT_EQ(run.ExitCode, 0) << run.Err;
        TBitmap b;
        b.LoadFromFile(png);
        EXPECT_EQ(b.GetWidth(), 320 * scale);
        EXPECT_EQ(b.GetHeight(), 200 * scale);
    }
    const std::string svg = Folder.Path("chart.svg");
    const std::string pdf = Folder.Path("chart.pdf");
    const std::string csv = Folder.Path("chart.csv");
    const TRun all = Export({Project, "--svg", svg, "--pdf", pdf, "--csv", csv, "--size", "640x400"});
    ASSERT_EQ(all.ExitCode, 0) << all.Err;
    const std::string svgText = ReadFileBytes(svg);
    EXPECT_TRUE(svgText.rfind("<?xml", 0) == 0 || svgText.rfind("<svg", 0) == 0) << svgText.substr(0, 40);
    std::vector<DependencyRecord> records;
    EXPECT_EQ(svgText, windowsChart(640, 400, records)->SvgText());
    EXPECT_EQ(ReadFileBytes(pdf).rfind("%PDF", 0), 0u);
    EXPECT_EQ(ReadFileBytes(csv).rfind("\xEF\xBB\xBF#,Name,", 0), 0u);
}
