// corvane-export run as a process, as a script runs it: its CSV and pictures against the model
// and the window, its refusals and exit codes, and what it leaves on disk when it fails.
#include "model/Sweep.h"
#include "project/ProjectFile.h"
#include "tests/TempFolder.h"
#include "tests/app/CsvTable.h"
#include "tests/app/RunProgram.h"
#include "tests/app/SamePicture.h"
#include "tests/platform/ChartAxisChecks.h"
#include "tests/platform/ModalAnswer.h"
#include "project/DependencyChart.h"
#include "ui/FCorvane.h"
#include "ui/FpHSetup.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>

namespace fs = std::filesystem;

namespace {

TRun Export(const std::vector<std::string>& Args, const std::string& OutputFile = "")
{
    return RunProgram(CORVANE_EXPORT_PROGRAM, Args, OutputFile);
}

// Three dependencies (K2 0.3, 0.5 and 0.7 per mM; 50, 20 and 7 points), reals with Separator.
std::string ThreeDependencies(char Separator = '.')
{
    std::string text = "[General]\r\nDecSep=" + std::to_string(int(Separator)) + "\r\nCount=3\r\n";
    const char* k2[3] = {"0.3", "0.5", "0.7"};
    const char* points[3] = {"50", "20", "7"};
    for (int i = 0; i < 3; ++i)
        text += "[Dependency" + std::to_string(i) + "]\r\nname=K2 " + k2[i] + "\r\ncMax=50\r\npoints=" + points[i]
            + "\r\nVoltage=25000\r\nCapillary=0.485\r\nDetector=0.4\r\nEOF=4E-8\r\nu01=2E-8\r\nu02=2.1E-8\r\n"
            + "u1=5E-9\r\nu2=5E-9\r\nK1=0.2\r\nK2=" + k2[i] + "\r\n";
    std::replace(text.begin(), text.end(), '.', Separator);
    return text;
}


bool Same15(double A, double B) { return std::fabs(A - B) <= 5e-15 * std::fabs(B); }

std::vector<std::string> Files(const fs::path& Folder)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(Folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

const std::string UsageHead = "Usage: corvane-export PROJECT.ini";

}  // namespace

class Exporter : public ::testing::Test {
protected:
    void SetUp() override { WriteFileBytes(Project, ThreeDependencies()); }
    void TearDown() override
    {
        DestroyApplicationForms();
        FormatSettings.DecimalSeparator = SavedSeparator;
    }
    // The window with the project loaded through Load's work, for a graph choice.
    TFrmCorvane* Window(int Choice)
    {
        DestroyApplicationForms();
        Application->CreateForm(FrmCorvane);
        Application->CreateForm(FrmpHSetup);
        FrmCorvane->Show();
        FrmCorvane->CbxGraph->SetItemIndex(Choice);
        TBoxAnswerer report;   // the project leaves keys out: the load says so
        FrmCorvane->LoadFile(Project);
        return FrmCorvane;
    }
    TTempFolder Folder{"corvane-export"};
    const std::string Project = Folder.Path("three.ini");
    const WideChar SavedSeparator = FormatSettings.DecimalSeparator;
};

// Every point of the CSV holds the model's values and those of the window's chart series, for
// both decimal separators and several graph choices.
TEST_F(Exporter, CsvHoldsTheModelsAndTheWindowsValues)
{
    for (char decimal : {'.', ','}) {
        for (int choice : {gcTimeDifference, gcMobilityDifference, gcSelectivityEOF}) {
            SCOPED_TRACE(std::string("separator ") + decimal + ", graph " + std::to_string(choice));
            WriteFileBytes(Project, ThreeDependencies(decimal));
            const TRun run = Export({Project, "--csv", "-", "--graph", std::to_string(choice)});
            ASSERT_EQ(run.ExitCode, 0) << run.Err;
            const auto rows = Rows(run.Out, decimal == ',' ? ';' : ',');
            ASSERT_EQ(rows.at(0).size(), 9u);
            EXPECT_EQ(rows[0][8], GraphText(choice));

            const ProjectContents project = ReadProjectFile(Project);
            const TFrmCorvane* window = Window(choice);
            ASSERT_EQ(window->Records.size(), 3u);
            size_t row = 1;
            for (size_t i = 0; i < 3; ++i) {
                const Params& params = project.Records[i].Params;
                const SeriesSet& shown = window->Records[i].SeriesSet;
                int point = 0;
                SweepRange(params.cMin, params.cMax, params.points).ForEach([&](double c) {
                    ASSERT_LT(row, rows.size());
                    const auto& f = rows[row++];
                    EXPECT_EQ(f[0] + " " + f[1], std::to_string(i + 1) + " " + AnsiToUtf8(project.Records[i].name));
                    const PointValues v(params.phys, c);
                    const double model[4] = {c, v.t1 * MinutesPerSecond, v.t2 * MinutesPerSecond, v.Measure(choice)};
                    const double chart[4] = {shown.t1Series->XValue(point), shown.t1Series->YValue(point),
                                             shown.t2Series->YValue(point), shown.MeasureSeries->YValue(point)};
                    for (int k = 0; k < 4; ++k) {
                        const double written = Number(f.at(5 + k), decimal);
                        EXPECT_TRUE(Same15(written, model[k])) << written << " row " << row << " column " << 5 + k;
                        EXPECT_TRUE(Same15(written, chart[k])) << written << " row " << row << " column " << 5 + k;
                    }
                    ++point;
                });
                EXPECT_EQ(point, shown.t1Series->Count());
            }
            EXPECT_EQ(row, rows.size());
        }
    }
}

// A graph by its 0-based number in the combo box or by its text in any case gives the same
// output; "-" writes what a file receives; --analysis appends the table after one empty line.
TEST_F(Exporter, GraphByNumberOrTextStandardOutputAndAnalysis)
{
    const TRun byText = Export({Project, "--graph", "Selectivity", "--csv", "-"});
    EXPECT_NE(byText.Out.find(",Selectivity\r\n"), std::string::npos);
    EXPECT_EQ(Export({Project, "--graph", "4", "--csv", "-"}).Out, byText.Out);
    EXPECT_EQ(Export({Project, "--graph=selectivity", "--csv=-"}).Out, byText.Out);
    EXPECT_NE(Export({Project, "--csv", "-"}).Out, byText.Out);
    const std::string file = Folder.Path("curves.csv");
    ASSERT_EQ(Export({Project, "--graph", "4", "--csv", file}).ExitCode, 0);
    EXPECT_EQ(ReadFileBytes(file), byText.Out);

    const TRun analysis = Export({Project, "--analysis", "--csv", "-", "--all-values"});
    ASSERT_EQ(analysis.ExitCode, 0) << analysis.Err;
    const size_t gap = analysis.Out.find("\r\n\r\n#,Name,");
    ASSERT_NE(gap, std::string::npos);
    EXPECT_EQ(analysis.Out.find("\xEF\xBB\xBF", 1), std::string::npos);
    // The last curve row's end, the empty line, the header and one row per interval of Rs >= 1.5:
    // all three dependencies reverse their order (u02 - u01 = 1e-9 against 15 K2 - 3.2 in the
    // slope, at 1 / 1.3, 1 / 4.3 and 1 / 7.3 mM), so they have two intervals each.
    EXPECT_EQ(std::count(analysis.Out.begin() + gap, analysis.Out.end(), '\n'), 3 + 2 * 3);
}

// A project the window refuses, or whose sweep faults: exit 1, the window's message, no output.
TEST_F(Exporter, RefusedProjectsWriteNothing)
{
    const char* contents[] = {"[General]\r\nCount=-1\r\n", "[General]\r\nDecSep=48\r\nCount=1\r\n",
                              "[General]\r\nCount=1\r\n[Dependency0]\r\nCapillary=0\r\n",
                              "[General]\r\nCount=1\r\n[Dependency0]\r\npoints=0\r\n",
                              // Files that are no projects at all.
                              "", "Dear colleague,\r\nthe buffer is 25 mM borate.\r\n", "\x89PNG\r\n\x1A\n",
                              "[Dependency0]\r\nname=x\r\n"};
    const std::string bad = Folder.Path("bad.ini");
    for (const char* content : contents) {
        SCOPED_TRACE(content);
        WriteFileBytes(bad, content);
        std::string message;
        try {
            for (const DependencyRecord& r : ReadProjectFile(bad).Records)
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
    const TRun text = Export({Folder.Path("bad.ini"), "--csv", "-"});
    EXPECT_EQ(text.Err, "corvane-export: Cannot load " + bad +
                            ": it is not a Corvane project (it has no [General] section with a Count).\n");
    EXPECT_EQ(text.Out, "");
    const TRun missing = Export({Folder.Path("none.ini"), "--csv", "-"});
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_EQ(missing.Err, "corvane-export: Cannot load " + Folder.Path("none.ini") + ": the file does not exist.\n");
}

// A project that had to be guessed is exported as loaded, and the guesses go to standard error.
TEST_F(Exporter, GuessesAreReportedOnStandardError)
{
    const TRun guessed = Export({Project, "--csv", "-"});
    ASSERT_EQ(guessed.ExitCode, 0) << guessed.Err;
    EXPECT_EQ(guessed.Err.rfind("corvane-export: " + Project + " was loaded, but not all of it could be read:\n"
                                "Dependency 1 (K2 0.3): no analyte1, ", 0), 0u) << guessed.Err;
    EXPECT_NE(guessed.Out.find("K2 0.7"), std::string::npos);

    // Saved by the program, the same project says nothing; its comma is no news here.
    ProjectContents read = ReadProjectFile(Project);
    const TFormatSettings saved = FormatSettings;
    FormatSettings.DecimalSeparator = L',';
    WriteProjectFile(Folder.Path("clean.ini"), read.Records);
    FormatSettings = saved;
    const TRun clean = Export({Folder.Path("clean.ini"), "--csv", "-"});
    ASSERT_EQ(clean.ExitCode, 0) << clean.Err;
    EXPECT_EQ(clean.Err, "");
}

TEST_F(Exporter, BadUsageHelpAndVersion)
{
    const std::string png = Folder.Path("c.png");
    const std::vector<std::vector<std::string>> cases = {
        {}, {Project}, {"--csv", "-"}, {Project, "--csv"}, {Project, "--csv", "-", "--bogus"},
        {Project, Project, "--csv", "-"}, {Project, "--csv", "-", "--graph", "6"},
        {Project, "--csv", "-", "--graph", "Selectivity (EOF"}, {Project, "--png", png, "--size", "49x100"},
        {Project, "--png", png, "--size", "100x5000"}, {Project, "--png", png, "--size", "+100x100"},
        {Project, "--png", png, "--scale", "4"}, {Project, "--png", png, "--analysis"}, {Project, "--png", "-"},
        {Project, "--csv", Project}, {Project, "--csv", png, "--png", Folder.Path(".") + "/c.png"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(::testing::PrintToString(args));
        const TRun run = Export(args);
        EXPECT_EQ(run.ExitCode, 2);
        EXPECT_EQ(run.Err.rfind("corvane-export: ", 0), 0u) << run.Err;
        EXPECT_NE(run.Err.find(UsageHead), std::string::npos) << run.Err;
        EXPECT_EQ(run.Out, "");
    }
    EXPECT_EQ(Files(Folder.Dir()), std::vector<std::string>{"three.ini"});
    EXPECT_EQ(ReadFileBytes(Project), ThreeDependencies());

    const TRun help = Export({"--help"});
    EXPECT_EQ(help.ExitCode, 0);
    EXPECT_EQ(help.Out.rfind(UsageHead, 0), 0u);
    EXPECT_NE(help.Out.find("4  Selectivity\n"), std::string::npos);
    const TRun version = Export({"--version"});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Out.rfind("corvane-export (Corvane) " CORVANE_VERSION "\n", 0), 0u) << version.Out;
}

// Exit 3 naming the file; no output of the run written when one cannot be, a file that may not
// be replaced kept, and a standard output that takes nothing reported.
TEST_F(Exporter, UnwritableOutputsLeaveEverythingAsItWas)
{
    const std::string missing = Folder.Path("no-such-folder/out.csv");
    const std::string locked = Folder.Path("locked.png");
    WriteFileBytes(locked, "old picture");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const struct {
        std::vector<std::string> Args;
        std::string Named;
    } cases[] = {
        {{Project, "--csv", missing}, missing},
        {{Project, "--csv", Folder.Path("good.csv"), "--pdf", missing + ".pdf"}, missing + ".pdf"},
        {{Project, "--csv", Folder.Path("good.csv"), "--png", locked}, locked},
        {{Project, "--png", Folder.Path("good.png"), "--svg", Folder.Path("good.svg"), "--csv", missing}, missing},
        {{Project, "--csv", Folder.Dir().string()}, Folder.Dir().string()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Named);
        const TRun run = Export(c.Args);
        EXPECT_EQ(run.ExitCode, 3);
        EXPECT_NE(run.Err.find("corvane-export: Cannot create file \"" + c.Named + "\""), std::string::npos) << run.Err;
        EXPECT_EQ(ReadFileBytes(locked), "old picture");
        EXPECT_EQ(Files(Folder.Dir()), (std::vector<std::string>{"locked.png", "three.ini"}));
    }
    const TRun full = Export({Project, "--csv", "-"}, "/dev/full");
    EXPECT_EQ(full.ExitCode, 3);
    EXPECT_NE(full.Err.find("Cannot write to the standard output"), std::string::npos) << full.Err;
}

// At the default size the PNG and the SVG are the window's chart after Load (a comma project:
// the labels follow its separator); the PNG has the asked size times the scale; the PDF is one.
TEST_F(Exporter, PicturesOfTheWindowsChart)
{
    WriteFileBytes(Project, ThreeDependencies(','));
    const std::string png = Folder.Path("chart.png"), svg = Folder.Path("chart.svg"), pdf = Folder.Path("chart.pdf");
    const TRun run = Export({Project, "--png", png, "--svg", svg, "--pdf", pdf, "--graph", "4"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    TChart* chart = Window(gcSelectivity)->ChrtDependencies;
    ASSERT_EQ(chart->GetWidth(), DependencyChartWidth);
    ASSERT_EQ(chart->GetHeight(), DependencyChartHeight);
    EXPECT_EQ(RowsThatDiffer(png, *chart), 0) << "rows that differ";
    EXPECT_TRUE(ReadFileBytes(svg) == chart->SvgText()) << "the SVG differs from the window's";
    EXPECT_EQ(ReadFileBytes(pdf).rfind("%PDF", 0), 0u);

    for (int scale : {1, 2, 3}) {
        ASSERT_EQ(Export({Project, "--png", png, "--size", "320x200", "--scale", std::to_string(scale)}).ExitCode, 0);
        TBitmap b;
        b.LoadFromFile(png);
        EXPECT_EQ(b.GetWidth(), 320 * scale) << scale;
        EXPECT_EQ(b.GetHeight(), 200 * scale) << scale;
    }
}

// A project whose curves are flat to the last bits (equal analytes, K1 = K2 = 1E-17 per mM): the
// chart is drawn at every scale and as SVG, its axes readable.
TEST_F(Exporter, FlatCurvesGiveAChart)
{
    WriteFileBytes(Project, "[General]\r\nDecSep=46\r\nCount=1\r\n[Dependency0]\r\nu01=2E-8\r\nu02=2E-8\r\n"
                            "u1=5E-9\r\nu2=5E-9\r\nK1=1E-17\r\nK2=1E-17\r\n");
    const std::string png = Folder.Path("flat.png"), svg = Folder.Path("flat.svg");
    for (int graph : {gcTimeDifference, gcSelectivity}) {
        for (int scale : {1, 3}) {
            SCOPED_TRACE(::testing::Message() << "graph " << graph << ", scale " << scale);
            const TRun run = Export({Project, "--png", png, "--svg", svg, "--graph", std::to_string(graph), "--scale",
                                     std::to_string(scale)});
            ASSERT_EQ(run.ExitCode, 0) << run.Err;
            TBitmap b;
            b.LoadFromFile(png);
            EXPECT_EQ(b.GetWidth(), DependencyChartWidth * scale);
            EXPECT_LT(fs::file_size(svg), 400000u);
        }
        ExpectReadableAxes(Window(graph)->ChrtDependencies);
    }
}

// A complete project leaves standard error empty, also where no desktop session set
// XDG_RUNTIME_DIR (a cron job, a container), for every kind of output.
TEST_F(Exporter, SaysNothingOnStandardErrorWhenAllWentWell)
{
    WriteFileBytes(Project, ThreeDependencies());
    WriteProjectFile(Project, ReadProjectFile(Project).Records);  // complete: nothing to report
    const bool had = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("XDG_RUNTIME_DIR");
    const TRun run = Export({Project, "--csv", Folder.Path("c.csv"), "--png", Folder.Path("c.png"), "--svg",
                             Folder.Path("c.svg"), "--pdf", Folder.Path("c.pdf"), "--analysis"});
    if (had)
        qputenv("XDG_RUNTIME_DIR", saved);
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Err, "");
}

// The headless program holds no window code: none of the windows' classes is in it.
TEST(ExportProgram, HoldsNoWindowCode)
{
    const std::string program = ReadFileBytes(CORVANE_EXPORT_PROGRAM);
    ASSERT_GT(program.size(), 100000u);
    ASSERT_NE(program.find("ReadProjectFile"), std::string::npos);   // its symbols are there to look at
    for (const char* window : {"TFrmCorvane", "TFrmAnalysis", "TFrmpHSetup"})
        EXPECT_EQ(program.find(window), std::string::npos) << window;
}

// --- corvane-export --fit: the fits of a project written by another program, the CSV's form for
// both decimal separators, and fits that give no values.

namespace fit {

// Analyte 1 of the model tests' noisy data (u0 20, uCS 5, K 0.2 per mM, in 1e-9 m^2/(V s)).
const char* const NoisyC[] = {"0", "0", "1", "1", "2", "2", "5", "5", "10", "10", "20", "20", "50", "50"};
const char* const Noisy1[] = {"1.9998281E-8", "1.9899037E-8", "1.7556516E-8", "1.7695254E-8", "1.595755E-8",
                              "1.5804913E-8", "1.2503961E-8", "1.2456379E-8", "9.927944E-9",  "9.837992E-9",
                              "7.754846E-9",  "7.72036E-9",   "6.516981E-9",  "6.350848E-9"};

// Dependency 1: the noisy analyte 1, and analyte 2 with u0 held at its u02; dependency 2: no
// measurements; dependency 3: three rows of analyte 1 (as many as parameters) and two of
// analyte 2 (too few).
std::string Project(char Decimal)
{
    std::string t = "[General]\r\nDecSep=" + std::to_string(int(Decimal)) + "\r\nCount=3\r\n";
    for (int i = 0; i < 3; ++i)
        t += "[Dependency" + std::to_string(i) + "]\r\nname=dep " + std::to_string(i + 1) +
             "\r\nu01=2E-8\r\nu02=2E-8\r\nu1=5E-9\r\nu2=5E-9\r\nK1=0.2\r\nK2=0.3\r\n";
    t += "[Measured0]\r\nCount=14\r\n";
    for (int j = 0; j < 14; ++j) {
        const std::string n = std::to_string(j);
        t += "c" + n + "=" + NoisyC[j] + "\r\nu1_" + n + "=" + Noisy1[j] + "\r\n";
        // Analyte 2 as times: tEOF 2 min; 48.5 cm, 40 cm, 25 kV.
        const double c = std::stod(NoisyC[j]);
        const double u = (20 + 6 * 0.3 * c) / (1 + 0.3 * c) * 1e-9 * (1 + 0.01 * ((j % 3) - 1));
        const double t2 = 1 / (u / (0.485 * 0.4 / 25000) + 1 / 120.0) / 60;
        char text[40];
        std::snprintf(text, sizeof text, "%.15g", t2);
        t += "t2_" + n + "=" + text + "\r\ntEOF" + n + "=2\r\n";
    }
    t += "Fix2_u0=1\r\n";
    t += "[Measured2]\r\nCount=3\r\nc0=0\r\nu1_0=2E-8\r\nu2_0=2E-8\r\nc1=5\r\nu1_1=1E-8\r\nu2_1=1E-8\r\n"
         "c2=20\r\nu1_2=6.666666666666667E-9\r\n";
    std::replace(t.begin(), t.end(), '.', Decimal);
    return t;
}

} // namespace fit

TEST(FitExport, WritesEveryFitWithItsUncertaintiesForBothSeparators)
{
    TTempFolder folder{"corvane-fit-export"};
    for (const char decimal : {'.', ','}) {
        SCOPED_TRACE(std::string("separator ") + decimal);
        const std::string project = folder.Path("measured.ini");
        WriteFileBytes(project, fit::Project(decimal));
        const std::string out = folder.Path("fit.csv");
        const TRun run = RunProgram(CORVANE_EXPORT_PROGRAM, {project, "--fit", out});
        ASSERT_EQ(run.ExitCode, 0) << run.Err;
        // Too few rows for analyte 2 of dependency 3: said on standard error.
        EXPECT_NE(run.Err.find("Dependency 3 (dep 3): Analyte 2: 2 measured rows for 3 free parameters"),
                  std::string::npos)
            << run.Err;
        const std::string text = ReadFileBytes(out);
        ASSERT_EQ(text.rfind("\xEF\xBB\xBF", 0), 0u);
        const char sep = decimal == ',' ? ';' : ',';
        std::string header = "\xEF\xBB\xBF#,Name,Analyte,Parameter,Value,Standard error,CI 95% low,CI 95% high\r\n";
        std::replace(header.begin(), header.end(), ',', sep);
        EXPECT_EQ(text.substr(0, header.size()), header);
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n");

        std::map<std::string, std::vector<std::string>> byKey;
        std::vector<std::string> keys;
        for (const auto& r : Rows(text, sep)) {
            ASSERT_EQ(r.size(), 8u) << r[0];
            keys.push_back(r[0] + "/" + r[2] + "/" + r[3]);
            byKey[keys.back()] = r;
        }
        EXPECT_EQ(keys, (std::vector<std::string>{"#/Analyte/Parameter", "1/1/u0",  "1/1/uCS", "1/1/K",   "1/1/n",
                                                  "1/1/RSS",             "1/1/s",   "1/1/R2",  "1/2/u0",  "1/2/uCS",
                                                  "1/2/K",               "1/2/n",   "1/2/RSS", "1/2/s",   "1/2/R2",
                                                  "3/1/u0",              "3/1/uCS", "3/1/K",   "3/1/n",   "3/1/RSS",
                                                  "3/1/s",               "3/1/R2",  "3/2/n"}));
        // The reference figures of the model tests, in stored units.
        const auto& k = byKey["1/1/K"];
        EXPECT_EQ(k[1], "dep 1");
        EXPECT_NEAR(Number(k[4], decimal), 0.1977213549, 2e-5);
        EXPECT_NEAR(Number(k[5], decimal), 0.007067067394, 1e-6);
        EXPECT_NEAR(Number(k[6], decimal), 0.18304418166822622, 2e-5);
        EXPECT_NEAR(Number(k[7], decimal), 0.21342721122104302, 2e-5);
        EXPECT_NEAR(Number(byKey["1/1/u0"][4], decimal), 20.05334214e-9, 2e-13);
        EXPECT_EQ(byKey["1/1/n"][4], "14");
        EXPECT_EQ(byKey["1/1/n"][5] + byKey["1/1/n"][6] + byKey["1/1/n"][7], "");
        EXPECT_NEAR(Number(byKey["1/1/RSS"][4], decimal), 0.2649734517e-18, 1e-22);
        // A held parameter: its value, no uncertainty.
        const auto& held = byKey["1/2/u0"];
        EXPECT_EQ(Number(held[4], decimal), 2e-8);
        EXPECT_EQ(held[5] + held[6] + held[7], "");
        // Times with tEOF give analyte 2 its K (0.3 within the 1 % scatter of the times).
        EXPECT_NEAR(Number(byKey["1/2/K"][4], decimal), 0.3, 0.03);
        // As many rows as parameters: values without s, errors or intervals.
        EXPECT_NEAR(Number(byKey["3/1/K"][4], decimal), 0.4, 1e-6);
        EXPECT_EQ(byKey["3/1/K"][5] + byKey["3/1/K"][6] + byKey["3/1/K"][7], "");
        EXPECT_EQ(byKey["3/1/s"][4], "");
        EXPECT_EQ(byKey["3/2/n"][4], "2");
    }
}

TEST(FitExport, GoesToStandardOutputButNotTogetherWithTheCurves)
{
    TTempFolder folder{"corvane-fit-stdout"};
    const std::string project = folder.Path("measured.ini");
    WriteFileBytes(project, fit::Project('.'));
    const TRun run = RunProgram(CORVANE_EXPORT_PROGRAM, {project, "--fit", "-"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out.rfind("\xEF\xBB\xBF#,Name,Analyte,Parameter,", 0), 0u);
    const TRun both = RunProgram(CORVANE_EXPORT_PROGRAM, {project, "--fit", "-", "--csv", "-"});
    EXPECT_EQ(both.ExitCode, 2);
    EXPECT_NE(both.Err.find("cannot both go to standard output"), std::string::npos) << both.Err;
}
