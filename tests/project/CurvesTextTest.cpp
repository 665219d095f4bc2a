// The curves as text, read back with a CSV reader of the test's own: numbers, quoting,
// encodings and separators of both layouts, hidden records, the failures of sweeps and files.
#include "project/CurvesText.h"

#include "model/Sweep.h"
#include "platform/Chart.h"
#include "platform/Graphics.h"

#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Rows = std::vector<std::vector<std::string>>;

// Fields separated by Sep, rows ended by LineEnd alone (any other CR or LF outside quotes
// stays in its field), quoted fields with doubled quotes inside.
Rows ReadCsv(std::string_view text, char sep, std::string_view lineEnd)
{
    Rows rows(1);
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted && c == '"' && text.substr(i + 1, 1) == "\"") {
            field += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == sep || text.substr(i, lineEnd.size()) == lineEnd)) {
            rows.back().push_back(std::move(field));
            field.clear();
            if (c != sep) {
                rows.emplace_back();
                i += lineEnd.size() - 1;
            }
        } else {
            field += c;
        }
    }
    EXPECT_TRUE(rows.back().empty() && field.empty()) << "the text does not end with a line end";
    rows.pop_back();
    return rows;
}

double Read(std::string field, const std::string& decimal)
{
    if (const size_t at = field.find(decimal); at != std::string::npos) field.replace(at, decimal.size(), ".");
    double v = std::nan("");
    const auto r = std::from_chars(field.data(), field.data() + field.size(), v);
    EXPECT_TRUE(r.ec == std::errc() && r.ptr == field.data() + field.size()) << "not a number: " << field;
    return v;
}

// The field holds the value to 15 significant digits.
void ExpectNumber(const std::string& field, double value, const std::string& decimal)
{
    EXPECT_LE(std::fabs(Read(field, decimal) - value), 5e-15 * std::fabs(value)) << field << " for " << value;
}

// An undefined figure is an empty field.
void ExpectFigure(const std::string& field, const Figure& value, const std::string& decimal)
{
    if (value)
        ExpectNumber(field, *value, decimal);
    else
        EXPECT_EQ(field, "");
}

DependencyRecord Realistic(double K2, std::int32_t points)
{
    DependencyRecord r;
    r.Params.cMax = 50, r.Params.points = points;
    PhysParams& f = r.Params.phys;
    f.u01 = f.u02 = 20e-9, f.u1 = f.u2 = 5e-9, f.K1 = 0.2, f.K2 = K2, f.EOF = 40e-9;
    f.D01 = f.D02 = 5e-10, f.D1 = f.D2 = 3e-10;
    r.Params.Derive();
    return r;
}

// The rows of a text in the default layout: BOM, commas, CRLF.
Rows Csv(const std::string& text)
{
    EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    return ReadCsv(std::string_view(text).substr(3), ',', "\r\n");
}

struct Layout {
    const char* name;
    CurvesLayout layout;
    WideChar decimal;
    char field;
    const char* lineEnd;
};

class CurvesTextLayouts : public ::testing::TestWithParam<Layout> {};

TEST_P(CurvesTextLayouts, ReadBackGivesTheModelsNumbersAndTheNames)
{
    const Layout l = GetParam();
    std::vector<DependencyRecord> records = {Realistic(0.3, 10), Realistic(0.5, 4)};
    records[0].name = "Run 1, \"best\"; \xB5M";
    records[0].analyte1 = "Naprox\xE8ne";
    records[0].selector = "\xDF-CD\r\n\t25 mM";
    records[1].name = " padded ";
    records[1].analyte1 = "=HYPERLINK(\"x\")";
    records[1].analyte2 = "-ol";
    records[1].Params.cMin = 1;
    CurvesTextOptions o;
    o.GraphChoice = gcMobilityDifference;
    o.DecimalSeparator = l.decimal;
    o.Layout = l.layout;
    const std::string text = CurvesText(records, o);

    const bool csv = l.layout == CurvesLayout::Csv;
    EXPECT_EQ(text.rfind("\xEF\xBB\xBF", 0) == 0, csv);
    EXPECT_NE(text.find("Naprox\xC3\xA8ne"), std::string::npos);
    EXPECT_NE(text.find("\xC2\xB5M"), std::string::npos);
    const Rows rows = ReadCsv(std::string_view(text).substr(csv ? 3 : 0), l.field, l.lineEnd);
    ASSERT_EQ(rows.size(), 1u + 11 + 5);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"#", "Name", "Analyte 1", "Analyte 2", "Selector", "c [mM]", "t1 [min]",
                                                 "t2 [min]", "Mobility dif. / 1E-9 m.m/V/s"}));
    const std::string decimal = WideCharToUtf8(l.decimal);
    size_t row = 1;
    for (size_t i = 0; i < records.size(); ++i)
        ForEachPoint(records[i].Params, [&](double c, const PointValues& v) {
            const std::vector<std::string>& f = rows.at(row++);
            ASSERT_EQ(f.size(), 9u);
            EXPECT_EQ(f[0], std::to_string(i + 1));
            for (int k = 0; k < 4; ++k) {
                const AnsiString* names[] = {&records[i].name, &records[i].analyte1, &records[i].analyte2, &records[i].selector};
                const std::string want = AnsiToUtf8(*names[k]);
                // A formula's start is kept from the spreadsheet by an apostrophe.
                EXPECT_EQ(f[1 + k], (want[0] == '=' || want[0] == '-' ? "'" : "") + want);
            }
            ExpectNumber(f[5], c, decimal);
            ExpectNumber(f[6], v.t1 / 60, decimal);
            ExpectNumber(f[7], v.t2 / 60, decimal);
            ExpectNumber(f[8], v.du * 1e9, decimal);
        });
}

INSTANTIATE_TEST_SUITE_P(
    All, CurvesTextLayouts,
    ::testing::Values(Layout{"CsvPoint", CurvesLayout::Csv, L'.', ',', "\r\n"},
                      Layout{"CsvComma", CurvesLayout::Csv, L',', ';', "\r\n"},
                      Layout{"TabsComma", CurvesLayout::Tabs, L',', '\t', "\n"},
                      Layout{"TabsPoint", CurvesLayout::Tabs, L'.', '\t', "\n"},
                      // Separators that need quotes around the numbers, and one beyond ASCII.
                      Layout{"CsvQuote", CurvesLayout::Csv, L'"', ',', "\r\n"},
                      Layout{"TabsTab", CurvesLayout::Tabs, L'\t', '\t', "\n"},
                      Layout{"CsvArabic", CurvesLayout::Csv, L'\u066B', ',', "\r\n"}),
    [](const ::testing::TestParamInfo<Layout>& info) { return std::string(info.param.name); });

TEST(CurvesText, HiddenRecordsAreLeftOutAndTheOthersKeepTheirIndex)
{
    auto chart = std::make_unique<TChart>(nullptr);
    std::vector<DependencyRecord> records(4, Realistic(0.3, 2));
    for (int i = 0; i < 3; ++i) records[static_cast<size_t>(i)].SeriesSet.Create(chart.get(), clRed, true);
    records[1].SeriesSet.SetVisible(false);
    records[1].Params.points = 0;  // a hidden record is not even swept
    records[3].name = "no chart";  // without series: shown
    CurvesTextOptions o;
    o.GraphChoice = -1;  // no measure drawn, no measure column
    Rows rows = Csv(CurvesText(records, o));
    ASSERT_EQ(rows.size(), 1u + 3 * 3);
    EXPECT_EQ(rows[0].size(), 8u);
    EXPECT_EQ(rows[1][0], "1");
    EXPECT_EQ(rows[4][0], "3");
    EXPECT_EQ(rows[7][0], "4");
    EXPECT_EQ(rows[7][1], "no chart");

    for (DependencyRecord& r : records) r.SeriesSet.SetVisible(false);
    EXPECT_EQ(Csv(CurvesText(records, o)).size(), 4u);  // the header and "no chart"
}

TEST(CurvesText, AllValuesInSiUnitsWithTheAnalysisAtEachPoint)
{
    std::vector<DependencyRecord> records = {Realistic(0.3, 5), Realistic(0.3, 1)};
    records[1].Params.phys.D01 = records[1].Params.phys.D1 = 0;  // no width: N1 and Rs undefined
    CurvesTextOptions o;
    o.GraphChoice = gcSelectivityEOF;
    o.AllValues = true;
    o.Analysis = {1e-3, 2e-3};
    const Rows rows = Csv(CurvesText(records, o));
    const std::vector<std::string> header(rows.at(0).begin() + 8, rows.at(0).end());
    EXPECT_EQ(header, (std::vector<std::string>{"Selectivity (EOF)", "x1 [-]", "x2 [-]", "ueff1 [m^2/(V s)]",
                                                "ueff2 [m^2/(V s)]", "vel1 [m/s]", "vel2 [m/s]", "t1 [s]", "t2 [s]",
                                                "dt [s]", "du [m^2/(V s)]", "mobility factor [-]",
                                                "mobility factor EOF [-]", "selectivity [-]", "selectivity EOF [-]",
                                                "Rs [-]", "N1 [-]", "N2 [-]"}));
    size_t row = 1;
    for (const DependencyRecord& r : records)
        ForEachPoint(r.Params, [&](double c, const PointValues& v) {
            const std::vector<std::string>& f = rows.at(row++);
            ASSERT_EQ(f.size(), 26u);
            const PeakFigures a = AnalyseAt(r.Params, c, o.Analysis);
            const double want[] = {v.selectivityEOF, v.x1, v.x2, v.ueff1, v.ueff2, v.vel1, v.vel2, v.t1, v.t2,
                                   v.dt, v.du, v.mobilityFactor, v.mobilityFactorEOF, v.selectivity,
                                   v.selectivityEOF};
            for (size_t k = 0; k < std::size(want); ++k) ExpectNumber(f[8 + k], want[k], ".");
            const Figure figures[] = {a.Rs, a.N1, a.N2};
            for (size_t k = 0; k < 3; ++k) ExpectFigure(f[23 + k], figures[k], ".");
        });
    EXPECT_EQ(rows.back()[24], "");  // the undefined N1 of the last record
}

TEST(CurvesText, AFailingSweepRaisesWithTheDependencyNamed)
{
    struct Case {
        std::int32_t points;
        double K1;
        const char* message;
    };
    for (const Case& c : {Case{0, 0.2, "Floating point division by zero"},
                          Case{1000001, 0.2, "Too many data points: 1000001 (at most 1000000)."},
                          Case{100, -0.5, "Floating point division by zero"}}) {  // c K1 = -1 at 2 mM
        std::vector<DependencyRecord> records(2, Realistic(0.3, 10));
        records[1].name = "bad";
        records[1].Params.points = c.points;
        records[1].Params.phys.K1 = c.K1;
        try {
            CurvesText(records, CurvesTextOptions());
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), std::string("Dependency 2 (bad): ") + c.message);
        }
    }
    // More rows than memory should be asked for are refused before any is written.
    std::vector<DependencyRecord> huge(21, Realistic(0.3, MaxSweepPoints));
    try {
        CurvesText(huge, CurvesTextOptions());
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message().rfind("Too many points for one text: ", 0), 0u) << e.Message();
        EXPECT_TRUE(e.Message().ends_with(" or more (at most 20000000).")) << e.Message();
    }
}

TEST(CurvesText, SaveWritesTheCsvAtOnceOrKeepsTheOldFile)
{
    TTempFolder temp("corvane-curves");
    std::vector<DependencyRecord> records = {Realistic(0.3, 3)};
    CurvesTextOptions o;
    o.Layout = CurvesLayout::Tabs;  // a file is always CSV
    SaveCurvesCsv(temp.Path("c.csv"), records, o);
    o.Layout = CurvesLayout::Csv;
    EXPECT_EQ(ReadFileBytes(temp.Path("c.csv")), CurvesText(records, o));

    const std::string old = "old bytes\n";
    WriteFileBytes(temp.Path("file"), old);
    fs::create_directory(temp.Path("locked"));
    WriteFileBytes(temp.Path("locked/c.csv"), old);
    fs::permissions(temp.Path("locked"), fs::perms::owner_read | fs::perms::owner_exec);
    WriteFileBytes(temp.Path("readonly.csv"), old);
    fs::permissions(temp.Path("readonly.csv"), fs::perms::owner_read);
    struct Case {
        std::string path, kept;
    };
    std::vector<Case> cases = {{temp.Path("missing/c.csv"), ""}, {temp.Path("file/c.csv"), ""},
                               {temp.Path("readonly.csv"), temp.Path("readonly.csv")}, {temp.Path("locked"), ""}};
    // The superuser writes into any folder whatever its permission bits.
    if (geteuid() != 0) cases.push_back({temp.Path("locked/c.csv"), temp.Path("locked/c.csv")});
    for (const Case& c : cases) {
        try {
            SaveCurvesCsv(c.path, records, o);
            ADD_FAILURE() << "no error for " << c.path;
        } catch (const EFCreateError& e) {
            EXPECT_EQ(e.Message(), "Cannot create file \"" + c.path + "\"");
        }
        EXPECT_EQ(c.kept.empty() ? old : ReadFileBytes(c.kept), old) << c.path;
    }
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.Dir()), fs::directory_iterator()), 4);
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path("locked")), fs::directory_iterator()), 1);
}

TEST(CurvesText, AnalysisTableGivesTheWholeRangesFigures)
{
    auto chart = std::make_unique<TChart>(nullptr);
    std::vector<DependencyRecord> records = {Realistic(0.3, 101), Realistic(0.3, 101), Realistic(0, 101)};
    records[1].SeriesSet.Create(chart.get(), clRed, true);
    records[1].SeriesSet.SetVisible(false);
    records[2].Params.phys.K1 = 0;  // two equal analytes that never complex
    CurvesTextOptions o;
    o.DecimalSeparator = L',';
    const std::string text = AnalysisTable(records, o);
    EXPECT_EQ(AnalysisTable(records, o, false), text.substr(3));
    const Rows rows = ReadCsv(text.substr(3), ';', "\r\n");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"#", "Name", "Analyte 1", "Analyte 2", "Selector",
                                                 "c_opt Wren-Rowe [mM]", "Rs at c_opt [-]", "c of largest du [mM]",
                                                 "c of largest Rs [mM]", "largest Rs [-]", "t1 at largest Rs [min]",
                                                 "t2 at largest Rs [min]", "N1 at largest Rs [-]",
                                                 "N2 at largest Rs [-]", "Rs >= 1.5 from [mM]",
                                                 "Rs >= 1.5 to [mM]", "Warnings"}));
    const SeparationAnalysis a = Analyse(records[0].Params);
    ASSERT_TRUE(a.AtWrenRowe && a.DuOptimum && a.RsOptimum && a.RsOptimum->Figures.t1 && a.RsOptimum->Figures.t2);
    const std::vector<std::string>& f = rows[1];
    const PeakFigures& best = a.RsOptimum->Figures;
    const Figure want[] = {a.WrenRowe, a.AtWrenRowe->Rs, a.DuOptimum->c, a.RsOptimum->c, best.Rs,
                           *best.t1 / 60, *best.t2 / 60, best.N1, best.N2};
    for (size_t k = 0; k < std::size(want); ++k) ExpectFigure(f[5 + k], want[k], ",");
    ASSERT_EQ(a.BaselineIntervals.size(), 1u);
    ExpectNumber(f[14], a.BaselineIntervals[0].c0, ",");
    ExpectNumber(f[15], a.BaselineIntervals[0].c1, ",");
    EXPECT_EQ(f[16], "");

    // No Wren-Rowe optimum, no separation, and the warning says so.
    EXPECT_EQ(rows[2][0], "3");
    for (size_t k = 5; k < 16; ++k) EXPECT_EQ(rows[2][k], "") << rows[0][k];
    const SeparationAnalysis none = Analyse(records[2].Params);
    ASSERT_EQ(none.Warnings.size(), 1u);
    EXPECT_EQ(rows[2][16], none.Warnings[0].Text);

    // A reversal at 5/6 mM splits the baseline separation in two: two rows, one per interval,
    // the dependency's other columns repeated.
    std::vector<DependencyRecord> reversing = {Realistic(0.1, 101)};
    reversing[0].Params.phys.u02 = 18e-9, reversing[0].Params.phys.K1 = 0.3;
    const Rows two = ReadCsv(AnalysisTable(reversing, o, false), ';', "\r\n");
    const SeparationAnalysis r = Analyse(reversing[0].Params);
    ASSERT_EQ(r.BaselineIntervals.size(), 2u);
    ASSERT_EQ(two.size(), 3u);
    for (size_t k = 0; k < 2; ++k) {
        ExpectNumber(two[1 + k][14], r.BaselineIntervals[k].c0, ",");
        ExpectNumber(two[1 + k][15], r.BaselineIntervals[k].c1, ",");
    }
    for (size_t k : {0, 1, 5, 9, 13, 16}) EXPECT_EQ(two[1][k], two[2][k]) << two[0][k];
}

}  // namespace
