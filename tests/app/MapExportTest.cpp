// corvane-export --map and the band columns of --analysis, run as a process: the grid against the
// analysis at each point's conditions, its options and refusals, and a project with uncertainties.
#include "model/Analysis.h"
#include "project/ProjectFile.h"
#include "tests/TempFolder.h"
#include "tests/app/CsvTable.h"
#include "tests/app/RunProgram.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

TRun Export(const std::vector<std::string>& Args)
{
    return RunProgram(CORVANE_EXPORT_PROGRAM, Args);
}

// Two dependencies without the pH model, the second with the pH model on, reals with Separator.
std::string Project(char Separator = '.', const std::string& Extra = "")
{
    std::string text = "[General]\r\nDecSep=" + std::to_string(int(Separator)) + "\r\nCount=2\r\n";
    for (int i = 0; i < 2; ++i)
        text += "[Dependency" + std::to_string(i) + "]\r\nname=dep " + std::to_string(i + 1) +
                "\r\ncMin=0\r\ncMax=40\r\npoints=20\r\nVoltage=25000\r\nCapillary=0.485\r\nDetector=0.4\r\n"
                "EOF=4E-8\r\nu01=2E-8\r\nu02=2.1E-8\r\nu1=5E-9\r\nu2=5E-9\r\nK1=0.2\r\nK2=0.3\r\n"
                "D01=5E-10\r\nD02=5E-10\r\nD1=3E-10\r\nD2=3E-10\r\n";
    text += Extra;
    std::replace(text.begin(), text.end(), '.', Separator);
    return text;
}


const char* const MapHeader =
    "#,Name,Analyte 1,Analyte 2,Selector,c [mM],Voltage [V],Rs [-],t1 [s],t2 [s],dt [s],longest run [s],"
    "dt [s],du [m^2/(V s)],mobility factor [-],mobility factor EOF [-],selectivity [-],selectivity EOF [-],"
    "Within limit\r\n";

}  // namespace

TEST(MapExport, GridHoldsTheAnalysisAtEveryPointsConditions)
{
    TTempFolder folder{"corvane-map-export"};
    for (const char decimal : {'.', ','}) {
        SCOPED_TRACE(std::string("separator ") + decimal);
        const std::string project = folder.Path("map.ini"), out = folder.Path("map.csv");
        WriteFileBytes(project, Project(decimal));
        const TRun run = Export({project, "--map", out, "--map-y", "VOLTAGE", "--map-from", "10000", "--map-to=25000",
                                 "--map-size", "5x3"});
        ASSERT_EQ(run.ExitCode, 0) << run.Err;
        const std::string text = ReadFileBytes(out);
        const char sep = decimal == ',' ? ';' : ',';
        std::string header = std::string("\xEF\xBB\xBF") + MapHeader;
        std::replace(header.begin(), header.end(), ',', sep);
        EXPECT_EQ(text.substr(0, header.size()), header);
        const auto rows = Rows(text, sep);
        ASSERT_EQ(rows.size(), 1u + 2 * 15);
        const std::vector<DependencyRecord> records = ReadProjectFile(project).Records;
        const double voltages[] = {10000, 17500, 25000};
        for (size_t k = 1; k < rows.size(); ++k) {
            const auto& r = rows[k];
            ASSERT_EQ(r.size(), 19u);
            const size_t dep = (k - 1) / 15, at = (k - 1) % 15;
            EXPECT_EQ(r[0], std::to_string(dep + 1));
            EXPECT_EQ(r[1], "dep " + std::to_string(dep + 1));
            // Along c first (0 to 40 mM in 4 steps), then along the voltage.
            const double c = Number(r[5], decimal), y = Number(r[6], decimal);
            EXPECT_NEAR(c, 10.0 * (at % 5), 1e-12);
            EXPECT_EQ(y, voltages[at / 5]);
            Params p = records[dep].Params;
            p.phys.Voltage = y;
            p.Derive();
            const PeakFigures f = AnalyseAt(p, c, {});
            ASSERT_TRUE(f.Rs && f.t1 && f.t2);
            EXPECT_NEAR(Number(r[7], decimal), *f.Rs, 5e-15 * *f.Rs);
            EXPECT_NEAR(Number(r[8], decimal), *f.t1, 5e-15 * *f.t1);
            EXPECT_NEAR(Number(r[11], decimal), std::max(*f.t1, *f.t2), 5e-15 * *f.t2);
            EXPECT_EQ(r[18], "1");
        }
    }
}

TEST(MapExport, DefaultsImpossibleRowsAndStandardOutput)
{
    TTempFolder folder{"corvane-map-defaults"};
    const std::string project = folder.Path("map.ini");
    WriteFileBytes(project, Project());
    // Without the pH model: the voltage from 5 to 30 kV on 101 x 101 points.
    const TRun run = Export({project, "--map", "-"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const auto rows = Rows(run.Out, ',');
    ASSERT_EQ(rows.size(), 1u + 2 * 101 * 101);
    EXPECT_EQ(rows[1][6], "5000");
    EXPECT_EQ(rows.back()[6], "30000");
    EXPECT_EQ(rows.back()[5], "40");

    // A detector beyond the capillary's end: its rows are empty, said on standard error.
    const TRun beyond = Export({project, "--map", "-", "--map-y", "detector", "--map-from", "0.3", "--map-to", "0.6",
                                "--map-size", "3x4"});
    ASSERT_EQ(beyond.ExitCode, 0) << beyond.Err;
    EXPECT_NE(beyond.Err.find("Dependency 1 (dep 1): From 50 cm to 60 cm: the detector does not lie on the capillary"),
              std::string::npos)
        << beyond.Err;
    const auto grid = Rows(beyond.Out, ',');
    ASSERT_EQ(grid.size(), 1u + 2 * 12);
    for (size_t k = 1; k <= 12; ++k) {
        const bool off = k > 6;  // the rows at 0.5 and 0.6 m
        EXPECT_EQ(grid[k][7].empty(), off) << k;
        EXPECT_EQ(grid[k][18], off ? "0" : "1");
    }
}

TEST(MapExport, RefusalsWriteNothing)
{
    TTempFolder folder{"corvane-map-refusals"};
    const std::string project = folder.Path("map.ini"), out = folder.Path("map.csv");
    WriteFileBytes(project, Project());
    const struct {
        std::vector<std::string> args;
        int exit;
        const char* message;
    } cases[] = {
        {{"--map", out, "--map-size", "1x5"}, 2, "bad map size '1x5'"},
        {{"--map", out, "--map-size", "1002x2"}, 2, "bad map size"},
        {{"--map", out, "--map-size", "20"}, 2, "bad map size"},
        {{"--map", out, "--map-y", "temperature"}, 2, "unknown map condition 'temperature'"},
        {{"--map", out, "--map-from", "7,5"}, 2, "needs a number, not '7,5'"},
        {{"--map", out, "--map-to", "nan"}, 2, "needs a number"},
        {{"--csv", out, "--map-y", "pH"}, 2, "the --map-... options need --map"},
        {{"--map", "-", "--csv", "-"}, 2, "--map and --csv cannot both go to standard output"},
        {{"--map", "-", "--fit", "-"}, 2, "--map and --fit cannot both go to standard output"},
        {{"--map", out, "--map-y", "pH"}, 1, "Dependency 1 (dep 1): The pH can only vary with the pH model on."},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.message);
        std::vector<std::string> args{project};
        args.insert(args.end(), k.args.begin(), k.args.end());
        const TRun run = Export(args);
        EXPECT_EQ(run.ExitCode, k.exit);
        EXPECT_NE(run.Err.find(k.message), std::string::npos) << run.Err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

TEST(MapExport, AnalysisGainsTheBandOnlyWithUncertainties)
{
    TTempFolder folder{"corvane-analysis-band"};
    const std::string plain = folder.Path("plain.ini"), uncertain = folder.Path("uncertain.ini");
    WriteFileBytes(plain, Project());
    WriteFileBytes(uncertain, Project('.', "[Uncertainty1]\r\nK1=0.004\r\nK2=0.004\r\nr_K1_K2=0.5\r\nFromFit=0\r\n"));
    const TRun a = Export({plain, "--csv", "-", "--analysis"});
    const TRun b = Export({uncertain, "--csv", "-", "--analysis"});
    ASSERT_EQ(a.ExitCode, 0) << a.Err;
    ASSERT_EQ(b.ExitCode, 0) << b.Err;
    // The table after the curves and one empty line.
    auto table = [](const std::string& Out) { return Out.substr(Out.find("\r\n\r\n") + 4); };
    const std::string ta = table(a.Out), tb = table(b.Out);
    EXPECT_EQ(ta.find("P(Rs >= 1.5)"), std::string::npos);
    EXPECT_EQ(ta.substr(0, ta.find("\r\n")) + ",Rs 5% at largest Rs [-],Rs 50% at largest Rs [-],Rs 95% at largest Rs [-],"
                                              "P(Rs >= 1.5) at largest Rs [-],c of largest Rs 5% [mM],"
                                              "c of largest Rs 50% [mM],c of largest Rs 95% [mM]",
              tb.substr(0, tb.find("\r\n")));
    // Dependency 1 has no uncertainties: empty band fields; dependency 2 has its band around its Rs.
    std::vector<std::vector<std::string>> rows;
    for (size_t at = 0, end; at < tb.size(); at = end + 2) {
        end = std::min(tb.find("\r\n", at), tb.size());
        const std::string line = tb.substr(at, end - at);
        // The warnings' text may hold commas: the band fields are the last seven.
        std::vector<std::string> fields;
        for (size_t from = 0, s = 0; s != std::string::npos; from = s + 1)
            fields.push_back(line.substr(from, (s = line.find(',', from)) - from));
        rows.push_back(fields);
    }
    ASSERT_GE(rows.size(), 3u);
    auto last = [](const std::vector<std::string>& r, size_t k) { return r[r.size() - 7 + k]; };
    for (size_t k = 0; k < 7; ++k) EXPECT_EQ(last(rows[1], k), "") << k;
    const auto& r = rows.back();
    EXPECT_EQ(r[0], "2");
    const double rs = std::stod(r[9]), lo = std::stod(last(r, 0)), mid = std::stod(last(r, 1)), hi = std::stod(last(r, 2));
    EXPECT_LT(lo, rs);
    EXPECT_GT(hi, rs);
    EXPECT_NEAR(mid, rs, 0.1 * (hi - lo));
    const double p = std::stod(last(r, 3));
    EXPECT_GE(p, 0);
    EXPECT_LE(p, 1);
    const double c05 = std::stod(last(r, 4)), c50 = std::stod(last(r, 5)), c95 = std::stod(last(r, 6));
    EXPECT_LE(c05, c50);
    EXPECT_LE(c50, c95);
    EXPECT_LT(c05, std::stod(r[8]) * 1.5);
}
