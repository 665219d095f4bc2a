#include "project/CurvesText.h"

#include "model/Sweep.h"
#include "model/Uncertainty.h"
#include "platform/Graphics.h"
#include "platform/IniFilesDisk.h"
#include "project/CsvRows.h"
#include "project/ProjectFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace {

// More rows than any spreadsheet or window holds, about 20 sweeps of the most points (some
// 1.6 GB of text): refused before the text is built rather than exhausting memory.
constexpr std::int64_t MaxTextRows = 20000000;

bool Shown(const DependencyRecord& R)
{
    return R.SeriesSet.t1Series == nullptr || R.SeriesSet.IsVisible();
}

// Runs F for the record, raising its failure with the record named.
template <class F>
void ForRecord(size_t Index, const DependencyRecord& R, F&& f)
{
    try {
        f();
    } catch (const Exception& e) {
        throw Exception(DependencyTitle(Index, R.name) + ": " + e.Message());
    }
}

// The number of concentrations of a sweep; raises where the sweep cannot run.
std::int64_t RowCount(const Params& P)
{
    std::int64_t n = 0;
    SweepRange(P.cMin, P.cMax, P.points).ForEach([&n](double) { ++n; });
    return n;
}

// The Monte Carlo band of a dependency with uncertainties over the analysis' curve, the
// concentration of the largest Rs among its points.
struct TPlanBand {
    RsBand Band;
    std::optional<BandPoint> AtOptimum;
};

std::optional<TPlanBand> PlanBand(const DependencyRecord& R, const SeparationAnalysis& A, const AnalysisOptions& O)
{
    if (!R.Uncertainty.Any()) return std::nullopt;
    std::vector<double> c;
    for (const ResolutionPoint& p : A.Curve) c.push_back(p.c);
    if (A.RsOptimum) {
        const double opt = A.RsOptimum->c;
        c.insert(std::lower_bound(c.begin(), c.end(), opt), opt);
    }
    if (c.empty()) return std::nullopt;
    TPlanBand b;
    try {
        b.Band = ComputeRsBand(R.Params, R.Uncertainty, O, c);
    } catch (const Exception&) {
        return std::nullopt;  // uncertainties that cannot be drawn: no band
    }
    if (A.RsOptimum)
        for (const BandPoint& p : b.Band.Points)
            if (p.c == A.RsOptimum->c) b.AtOptimum = p;
    return b;
}

}  // namespace

std::string CurvesText(const std::vector<DependencyRecord>& Records, const CurvesTextOptions& Options)
{
    const int choice = Options.GraphChoice;
    const bool measure = choice >= 0 && choice < GraphChoiceCount;

    // First the size: the rows of every shown record, and a sweep that cannot run at all.
    std::int64_t rows = 0;
    size_t bytes = 0;
    for (size_t i = 0; i < Records.size(); ++i) {
        const DependencyRecord& r = Records[i];
        if (!Shown(r)) continue;
        std::int64_t n = 0;
        ForRecord(i, r, [&] { n = RowCount(r.Params); });
        rows += n;
        if (rows > MaxTextRows)
            throw Exception("Too many points for one text: " + IntToStr(rows) + " or more (at most " +
                            IntToStr(MaxTextRows) + ").");
        const size_t names = static_cast<size_t>(r.name.Length() + r.analyte1.Length() + r.analyte2.Length() +
                                                 r.selector.Length());
        // A number takes about 20 bytes with its separator; a text grows by half in UTF-8.
        const size_t numbers = (measure ? 4 : 3) + (Options.AllValues ? 17 : 0);
        bytes += static_cast<size_t>(n) * (8 + names * 3 / 2 + numbers * 20);
    }

    std::string out;
    out.reserve(bytes + 512);
    RowWriter w(Options, out);
    StartText(Options, out, true);
    RecordHeader(w);
    for (const char* h : {"c [mM]", "t1 [min]", "t2 [min]"})
        w.Text(h);
    if (measure) w.Text(GraphText(choice));
    if (Options.AllValues) {
        for (const char* h : {"x1 [-]", "x2 [-]", "ueff1 [m^2/(V s)]", "ueff2 [m^2/(V s)]", "vel1 [m/s]", "vel2 [m/s]",
                              "t1 [s]", "t2 [s]"})
            w.Text(h);
        for (const TMeasure& m : Measures)
            w.Text(m.ValueHeading);
        for (const char* h : {"Rs [-]", "N1 [-]", "N2 [-]"})
            w.Text(h);
    }
    w.EndRow();

    std::string own;
    for (size_t i = 0; i < Records.size(); ++i) {
        const DependencyRecord& r = Records[i];
        if (!Shown(r)) continue;
        // The record's own fields once, repeated on each of its rows.
        own.clear();
        RowWriter ownWriter(Options, own);
        RecordFields(ownWriter, i, r);
        ForRecord(i, r, [&] {
            ForEachPoint(r.Params, [&](double c, const PointValues& v) {
                w.Fields(own);
                w.Number(c);
                w.Number(v.t1 * MinutesPerSecond);
                w.Number(v.t2 * MinutesPerSecond);
                if (measure) w.Number(v.Measure(choice));
                if (Options.AllValues) {
                    for (const double x : {v.x1, v.x2, v.ueff1, v.ueff2, v.vel1, v.vel2, v.t1, v.t2})
                        w.Number(x);
                    for (const TMeasure& m : Measures)
                        w.Number(v.*m.Value);
                    const PeakFigures f = AnalyseAt(r.Params, c, Options.Analysis);
                    w.Number(f.Rs);
                    w.Number(f.N1);
                    w.Number(f.N2);
                }
                w.EndRow();
            });
        });
    }
    return out;
}

void SaveCurvesCsv(const UnicodeString& FileName, const std::vector<DependencyRecord>& Records,
                   const CurvesTextOptions& Options)
{
    CurvesTextOptions csv = Options;
    csv.Layout = CurvesLayout::Csv;
    const std::string text = CurvesText(Records, csv);
    WriteFileAtOnce(FileName, text);
}

std::string AnalysisTable(const std::vector<DependencyRecord>& Records, const CurvesTextOptions& Options,
                          bool ByteOrderMark)
{
    std::string out;
    RowWriter w(Options, out);
    StartText(Options, out, ByteOrderMark);
    RecordHeader(w);
    for (const char* h : {"c_opt Wren-Rowe [mM]", "Rs at c_opt [-]", "c of largest du [mM]", "c of largest Rs [mM]",
                          "largest Rs [-]", "t1 at largest Rs [min]", "t2 at largest Rs [min]",
                          "N1 at largest Rs [-]", "N2 at largest Rs [-]", "Rs >= 1.5 from [mM]",
                          "Rs >= 1.5 to [mM]", "Warnings"})
        w.Text(h);
    // The band of the plan, when any dependency has uncertainties.
    const bool uncertain = std::any_of(Records.begin(), Records.end(),
                                       [](const DependencyRecord& r) { return Shown(r) && r.Uncertainty.Any(); });
    if (uncertain)
        for (const char* h : {"Rs 5% at largest Rs [-]", "Rs 50% at largest Rs [-]", "Rs 95% at largest Rs [-]",
                              "P(Rs >= 1.5) at largest Rs [-]", "c of largest Rs 5% [mM]", "c of largest Rs 50% [mM]",
                              "c of largest Rs 95% [mM]"})
            w.Text(h);
    w.EndRow();

    for (size_t i = 0; i < Records.size(); ++i) {
        const DependencyRecord& r = Records[i];
        if (!Shown(r)) continue;
        const SeparationAnalysis a = Analyse(r.Params, Options.Analysis);
        const std::optional<TPlanBand> band = uncertain ? PlanBand(r, a, Options.Analysis) : std::nullopt;
        std::string warnings;
        for (const AnalysisWarning& warning : a.Warnings)
            warnings += (warnings.empty() ? "" : " ") + warning.Text;
        // One row per interval of baseline separation, the other columns repeated; one row
        // with empty interval fields when there is none.
        const size_t rows = std::max<size_t>(a.BaselineIntervals.size(), 1);
        for (size_t k = 0; k < rows; ++k) {
            RecordFields(w, i, r);
            w.Number(a.WrenRowe);
            w.Number(a.WrenRoweInRange && a.AtWrenRowe ? a.AtWrenRowe->Rs : Figure());
            w.Number(a.DuOptimum ? Figure(a.DuOptimum->c) : Figure());
            if (a.RsOptimum) {
                const PeakFigures& f = a.RsOptimum->Figures;
                w.Number(a.RsOptimum->c);
                w.Number(f.Rs);
                w.Number(f.t1 ? Figure(*f.t1 * MinutesPerSecond) : Figure());
                w.Number(f.t2 ? Figure(*f.t2 * MinutesPerSecond) : Figure());
                w.Number(f.N1);
                w.Number(f.N2);
            } else {
                for (int n = 0; n < 6; ++n) w.Number(Figure());
            }
            const bool interval = k < a.BaselineIntervals.size();
            w.Number(interval ? Figure(a.BaselineIntervals[k].c0) : Figure());
            w.Number(interval ? Figure(a.BaselineIntervals[k].c1) : Figure());
            w.Text(warnings);
            if (uncertain) {
                const bool at = band && band->AtOptimum;
                w.Number(at ? band->AtOptimum->Rs05 : Figure());
                w.Number(at ? band->AtOptimum->Rs50 : Figure());
                w.Number(at ? band->AtOptimum->Rs95 : Figure());
                w.Number(at ? Figure(band->AtOptimum->PGood) : Figure());
                w.Number(band ? band->Band.Optimum.c05 : Figure());
                w.Number(band ? band->Band.Optimum.c50 : Figure());
                w.Number(band ? band->Band.Optimum.c95 : Figure());
            }
            w.EndRow();
        }
    }
    return out;
}

std::string FitText(const std::vector<DependencyRecord>& Records, const CurvesTextOptions& Options,
                    std::vector<UnicodeString>& Messages)
{
    std::string out;
    RowWriter w(Options, out);
    StartText(Options, out, true);
    for (const char* h : {"#", "Name", "Analyte", "Parameter", "Value", "Standard error", "CI 95% low", "CI 95% high"})
        w.Text(h);
    w.EndRow();
    auto analyte = [](int Index) { return Index < 0 ? std::string("1+2") : std::to_string(Index + 1); };
    auto optional = [&w](const std::optional<double>& Value) {
        if (Value)
            w.Number(*Value);
        else
            w.Number(Figure());
    };
    for (size_t i = 0; i < Records.size(); ++i) {
        const DependencyRecord& r = Records[i];
        if (!Shown(r) || r.Measured.Rows.empty()) continue;
        auto lead = [&](int Analyte, const char* Parameter) {
            w.Number(static_cast<double>(i + 1));
            w.Text(AnsiToUtf8(r.name));
            w.Text(analyte(Analyte));
            w.Text(Parameter);
        };
        for (const FitResult& f : FitMeasurements(r.Measured, r.Params.phys)) {
            if (f.HasValues()) {
                for (const FitEstimate& e : f.Estimates) {
                    lead(e.Analyte, e.Name.c_str());
                    w.Number(e.Value);
                    optional(e.StdError);
                    optional(e.Low);
                    optional(e.High);
                    w.EndRow();
                }
            } else {
                Messages.push_back(DependencyTitle(i, r.name) + ": " + f.Message);
            }
            // The figures of the fit: the value alone, the uncertainty fields empty.
            auto figure = [&](const char* Name, const std::optional<double>& Value) {
                lead(f.Analyte, Name);
                optional(Value);
                for (int k = 0; k < 3; ++k)
                    w.Number(Figure());
                w.EndRow();
            };
            figure("n", static_cast<double>(f.n));
            if (!f.HasValues()) continue;
            figure("RSS", f.RSS);
            figure("s", f.s);
            figure("R2", f.R2);
        }
    }
    return out;
}
