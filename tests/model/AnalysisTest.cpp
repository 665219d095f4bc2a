// Peak figures, optima, intervals and warnings of the separation analysis,
// against hand calculations in the textbook forms, independent of the model's code.
#include "model/Analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

// The realistic set: 40 cm to the detector, 48.5 cm, 25 kV, D 5e-10 free and
// 3e-10 complexed, K 0.2 and 0.3 per mM, mobilities 20 free and 5 complexed,
// EOF 40 (1e-9 m^2/(V s)), 0 to 50 mM.
struct Set {
    double u01 = 20e-9, u02 = 20e-9, u1 = 5e-9, u2 = 5e-9, K1 = 0.2, K2 = 0.3;
    double D01 = 5e-10, D02 = 5e-10, D1 = 3e-10, D2 = 3e-10, EOF = 40e-9;
    double Pressure = 0, Radius = 5e-5, cMin = 0, cMax = 50;

    Params ToParams() const
    {
        Params p;
        p.cMin = cMin, p.cMax = cMax, p.points = 101;
        PhysParams& f = p.phys;
        f.u01 = u01, f.u02 = u02, f.u1 = u1, f.u2 = u2, f.K1 = K1, f.K2 = K2;
        f.D01 = D01, f.D02 = D02, f.D1 = D1, f.D2 = D2, f.EOF = EOF;
        f.Pressure = Pressure, f.Radius = Radius;
        p.Derive();
        return p;
    }
};

struct Hand {
    double t1, t2, s1, s2, N1, N2, Rs, Dtot1;
};

// Weighted means (a + Kc b) / (1 + Kc), Poiseuille flow at 0.9229 mPa s,
// Taylor-Aris dispersion, variances that add.
Hand HandAt(const Set& s, double c, double l = 0, double w = 0)
{
    const double E = 25000 / 0.485, U = s.Pressure * s.Radius * s.Radius / (8 * 0.0009229 * 0.485);
    auto mean = [c](double a, double b, double K) { return (a + K * c * b) / (1 + K * c); };
    auto dtot = [&](double D) { return D + s.Radius * s.Radius * U * U / (48 * D); };
    const double v1 = (s.EOF + mean(s.u01, s.u1, s.K1)) * E + U;
    const double v2 = (s.EOF + mean(s.u02, s.u2, s.K2)) * E + U;
    Hand h;
    h.t1 = 0.4 / v1, h.t2 = 0.4 / v2;
    h.Dtot1 = dtot(mean(s.D01, s.D1, s.K1));
    const double var1 = 2 * h.Dtot1 * h.t1 + (l * l + w * w) / 12;
    const double var2 = 2 * dtot(mean(s.D02, s.D2, s.K2)) * h.t2 + (l * l + w * w) / 12;
    h.s1 = std::sqrt(var1) / v1, h.s2 = std::sqrt(var2) / v2;
    h.N1 = 0.16 / var1, h.N2 = 0.16 / var2;
    h.Rs = std::fabs(h.t2 - h.t1) / (2 * (h.s1 + h.s2));
    return h;
}

// The concentration of the largest Rs on a grid of a million steps.
double DenseRsOptimum(const Set& s)
{
    double best = s.cMin, bestRs = -1;
    for (int k = 0, n = 1000000; k <= n; ++k) {
        const double c = s.cMin + (s.cMax - s.cMin) * k / n, rs = HandAt(s, c).Rs;
        if (rs > bestRs) bestRs = rs, best = c;
    }
    return best;
}

const AnalysisWarning* Find(const SeparationAnalysis& a, AnalysisWarning::Kind kind, int analyte = 0)
{
    for (const auto& w : a.Warnings)
        if (w.kind == kind && w.Analyte == analyte) return &w;
    return nullptr;
}

// Nothing the analysis hands out is a NaN or an infinity.
void ExpectAllFinite(const SeparationAnalysis& a)
{
    auto fig = [](const Figure& f) { return !f || std::isfinite(*f); };
    auto peaks = [&](const PeakFigures& f) {
        for (const Figure* g : {&f.t1, &f.t2, &f.dt, &f.du, &f.Deff1, &f.Deff2, &f.Dtot1, &f.Dtot2,
                                &f.sigmaL1, &f.sigmaL2, &f.sigmaT1, &f.sigmaT2, &f.N1, &f.N2, &f.Rs})
            if (!fig(*g)) return false;
        return std::isfinite(f.c);
    };
    for (const auto& q : a.Curve) EXPECT_TRUE(std::isfinite(q.c) && fig(q.Rs));
    EXPECT_TRUE(fig(a.WrenRowe) && (!a.AtWrenRowe || peaks(*a.AtWrenRowe)));
    EXPECT_TRUE(!a.DuOptimum || peaks(a.DuOptimum->Figures));
    EXPECT_TRUE(!a.RsOptimum || peaks(a.RsOptimum->Figures));
    for (const auto& r : a.BaselineIntervals) EXPECT_TRUE(std::isfinite(r.c0) && std::isfinite(r.c1));
    for (const auto& w : a.Warnings) {
        EXPECT_TRUE(std::isfinite(w.c0) && std::isfinite(w.c1)) << w.Text;
        EXPECT_TRUE(w.Text.find("NAN") == w.Text.npos && w.Text.find("INF") == w.Text.npos) << w.Text;
    }
}

// Warning texts are compared with the invariant decimal point.
class Analysis : public ::testing::Test {
protected:
    void SetUp() override { saved = FormatSettings, FormatSettings = TFormatSettings::Invariant(); }
    void TearDown() override { FormatSettings = saved; }
    TFormatSettings saved;
};

TEST_F(Analysis, FiguresAtAConcentrationMatchTheHandCalculation)
{
    Set pressure;  // 50 mbar through 25 um
    pressure.Pressure = 5000, pressure.Radius = 25e-6;
    Set unequal;
    unequal.u2 = 3e-9, unequal.D02 = 6e-10;
    const struct {
        const char* name;
        Set set;
        double c, l, w;
    } cases[] = {
        {"no selector", Set{}, 0, 0, 0},  {"low", Set{}, 1, 0, 0},
        {"c_opt", Set{}, 1 / std::sqrt(0.06), 0, 0},
        {"high", Set{}, 50, 0, 0},        {"flow, no selector", pressure, 0, 0, 0},
        {"flow", pressure, 10, 0, 0},     {"plug and window", Set{}, 10, 2e-3, 1e-3},
        {"unequal", unequal, 7, 1e-3, 0},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        const PeakFigures f = AnalyseAt(k.set.ToParams(), k.c, {k.l, k.w});
        const Hand h = HandAt(k.set, k.c, k.l, k.w);
        const std::pair<Figure, double> pairs[] = {{f.t1, h.t1},       {f.t2, h.t2},       {f.Dtot1, h.Dtot1},
                                                   {f.sigmaT1, h.s1},  {f.sigmaT2, h.s2},  {f.N1, h.N1},
                                                   {f.N2, h.N2},       {f.dt, std::fabs(h.t2 - h.t1)}};
        for (const auto& [got, want] : pairs) {
            ASSERT_TRUE(got);
            EXPECT_NEAR(*got, want, 1e-12 * std::fabs(want) + 1e-20);
        }
        ASSERT_TRUE(f.Rs);
        EXPECT_NEAR(*f.Rs, h.Rs, 1e-12 * std::max(1.0, h.Rs));
    }
    // The flow adds R^2 U^2 / (48 D) = 6.25e-10 * (0.8727 mm/s)^2 / 2.4e-8, about 40 times D;
    // without it Dtot is Deff.
    EXPECT_NEAR(*AnalyseAt(pressure.ToParams(), 0).Dtot1, 2.034e-8, 0.001e-8);
    const PeakFigures still = AnalyseAt(Set{}.ToParams(), 0);
    EXPECT_EQ(*still.Dtot1, *still.Deff1);
}

TEST_F(Analysis, PlugAndWindowAddTheirVariance)
{
    const Params p = Set{}.ToParams();
    const PeakFigures bare = AnalyseAt(p, 5);
    const struct {
        double l, w;
    } cases[] = {{1e-3, 0}, {0, 2e-3}, {1e-3, 2e-3}, {-1e-3, 0}};
    for (const auto& k : cases) {
        const PeakFigures f = AnalyseAt(p, 5, {k.l, k.w});
        const double grown = (k.l * k.l + k.w * k.w) / 12;
        EXPECT_LT(*f.N1, *bare.N1);
        EXPECT_LT(*f.Rs, *bare.Rs);
        EXPECT_NEAR(0.16 / *f.N1 - 0.16 / *bare.N1, grown, 1e-18) << k.l << " " << k.w;
        EXPECT_NEAR(*f.sigmaL2 * *f.sigmaL2 - *bare.sigmaL2 * *bare.sigmaL2, grown, 1e-18);
    }
}

TEST_F(Analysis, RealisticSet)
{
    const Set s;
    const SeparationAnalysis a = Analyse(s.ToParams());
    ExpectAllFinite(a);
    const double cOpt = 1 / std::sqrt(0.06);  // 4.0825 mM
    ASSERT_TRUE(a.WrenRowe && a.AtWrenRowe && a.DuOptimum && a.RsOptimum);
    EXPECT_NEAR(*a.WrenRowe, cOpt, 1e-12);
    EXPECT_TRUE(a.WrenRoweInRange);
    EXPECT_NEAR(*a.AtWrenRowe->Rs, HandAt(s, cOpt).Rs, 1e-9);
    // Equal mobilities: du is largest at c_opt.
    EXPECT_NEAR(a.DuOptimum->c, cOpt, 1e-5);
    const double x1 = 0.2 * cOpt / (1 + 0.2 * cOpt), x2 = 0.3 * cOpt / (1 + 0.3 * cOpt);
    EXPECT_NEAR(*a.DuOptimum->Figures.du, 15e-9 * (x2 - x1), 1e-20);
    // Rs is largest where a dense scan finds it, not at c_opt: the mean
    // mobility falls with c, so the migration time and the widths grow.
    const double dense = DenseRsOptimum(s);
    EXPECT_NEAR(a.RsOptimum->c, dense, 1e-3);
    EXPECT_GT(std::fabs(a.RsOptimum->c - cOpt), 0.1);
    EXPECT_GE(*a.RsOptimum->Figures.Rs, HandAt(s, dense).Rs - 1e-12);
    // The curve spans the range.
    ASSERT_EQ(a.Curve.size(), 201u);
    EXPECT_EQ(a.Curve.front().c, 0);
    EXPECT_EQ(a.Curve.back().c, 50);
    EXPECT_EQ(*a.Curve.front().Rs, 0);
    EXPECT_NEAR(*a.Curve[100].Rs, HandAt(s, 25).Rs, 1e-9);
    // Baseline separation from where Rs crosses 1.5, a few tenths of a mM, to the end.
    ASSERT_EQ(a.BaselineIntervals.size(), 1u);
    const ConcentrationInterval r = a.BaselineIntervals[0];
    EXPECT_NEAR(HandAt(s, r.c0).Rs, 1.5, 1e-9);
    EXPECT_TRUE(r.c0 > 0.05 && r.c0 < 1) << r.c0;
    EXPECT_EQ(r.c1, 50);
    EXPECT_TRUE(a.Warnings.empty());
}

TEST_F(Analysis, UnequalComplexMobilitiesMoveTheDuOptimum)
{
    Set s;
    s.u2 = 3e-9;
    const SeparationAnalysis a = Analyse(s.ToParams());
    // du = (17 x2 - 15 x1) 1e-9 is largest where 5.1 / (1 + 0.3c)^2 = 3 / (1 + 0.2c)^2.
    const double r = std::sqrt(1.7), hand = (r - 1) / (0.3 - 0.2 * r);  // 7.745 mM
    ASSERT_TRUE(a.DuOptimum && a.RsOptimum);
    EXPECT_NEAR(a.DuOptimum->c, hand, 1e-5);
    EXPECT_GT(a.DuOptimum->c - *a.WrenRowe, 3);
    EXPECT_NEAR(a.RsOptimum->c, DenseRsOptimum(s), 1e-3);
}

TEST_F(Analysis, MigrationOrderReversal)
{
    // 20 - 15 x1 = 18 - 13 x2 with K1 0.3, K2 0.1 solves to 2.4 c = 2: c = 5/6 mM.
    Set s;
    s.u02 = 18e-9, s.K1 = 0.3, s.K2 = 0.1;
    const SeparationAnalysis a = Analyse(s.ToParams());
    ExpectAllFinite(a);
    const AnalysisWarning* w = Find(a, AnalysisWarning::awOrderReversal);
    ASSERT_NE(w, nullptr);
    EXPECT_NEAR(w->c0, 5.0 / 6, 1e-9);
    EXPECT_EQ(w->c0, w->c1);
    EXPECT_EQ(w->Text, "The migration order reverses at 0.8333 mM; the peaks co-migrate there.");
    EXPECT_LT(*AnalyseAt(s.ToParams(), w->c0).Rs, 1e-6);
    EXPECT_EQ(a.Warnings.size(), 1u);
    // Baseline separation before and after the crossing, not across it.
    ASSERT_EQ(a.BaselineIntervals.size(), 2u);
    EXPECT_EQ(a.BaselineIntervals[0].c0, 0);
    EXPECT_LT(a.BaselineIntervals[0].c1, 5.0 / 6);
    EXPECT_GT(a.BaselineIntervals[1].c0, 5.0 / 6);
    EXPECT_NEAR(HandAt(s, a.BaselineIntervals[1].c0).Rs, 1.5, 1e-9);
    // Peaks that start together at c = 0 and part, either way round, do not reverse.
    for (double K1 : {0.2, 0.4}) {
        Set apart;
        apart.K1 = K1;
        EXPECT_EQ(Find(Analyse(apart.ToParams()), AnalysisWarning::awOrderReversal), nullptr) << K1;
    }
}

TEST_F(Analysis, AnalyteThatDoesNotArrive)
{
    // With u2 = 0 the velocity is positive once 60 (1 - x2) < 40, x2 > 1/3, c > 5/3 mM.
    const struct {
        double u2, c1;  // analyte 2 does not arrive from 0 to c1
        const char* text;
    } cases[] = {
        {0, 5.0 / 3, "Analyte 2 does not reach the detector from 0 to 1.667 mM (its velocity is zero or "
                     "negative); Rs is undefined there."},
        {-60e-9, 50, "Analyte 2 does not reach the detector from 0 to 50 mM (its velocity is zero or "
                     "negative); Rs is undefined there."},
    };
    for (const auto& k : cases) {
        Set s;
        s.u02 = -60e-9, s.u2 = k.u2;
        const Params p = s.ToParams();
        const SeparationAnalysis a = Analyse(p);
        ExpectAllFinite(a);
        const AnalysisWarning* w = Find(a, AnalysisWarning::awNotArriving, 2);
        ASSERT_NE(w, nullptr) << k.c1;
        EXPECT_EQ(w->c0, 0);
        EXPECT_NEAR(w->c1, k.c1, 1e-9);
        EXPECT_EQ(w->Text, k.text);
        EXPECT_EQ(Find(a, AnalysisWarning::awNotArriving, 1), nullptr);
        for (const auto& q : a.Curve) EXPECT_TRUE(q.c >= k.c1 - 1e-9 || !q.Rs) << q.c;
        const PeakFigures f = AnalyseAt(p, 1);
        EXPECT_TRUE(f.t1 && f.N1 && f.sigmaT1 && f.du);
        EXPECT_FALSE(f.t2 || f.N2 || f.sigmaT2 || f.dt || f.Rs);
        EXPECT_FALSE(Electropherogram(f).empty());  // the peak that arrives
    }
    Set never;
    never.u02 = never.u2 = -60e-9;
    const SeparationAnalysis a = Analyse(never.ToParams());
    EXPECT_FALSE(a.RsOptimum);
    EXPECT_TRUE(a.BaselineIntervals.empty());
    ASSERT_NE(Find(a, AnalysisWarning::awNoBaseline), nullptr);
    EXPECT_EQ(Find(a, AnalysisWarning::awNoBaseline)->Text,
              "Rs is undefined or zero over the whole range: the peaks are never separated.");
}

TEST_F(Analysis, RsNeverReachingBaseline)
{
    Set s;
    s.K2 = 0.21;  // nearly equal constants: little selectivity anywhere
    const SeparationAnalysis a = Analyse(s.ToParams());
    EXPECT_TRUE(a.BaselineIntervals.empty());
    const AnalysisWarning* w = Find(a, AnalysisWarning::awNoBaseline);
    ASSERT_TRUE(w && a.RsOptimum);
    EXPECT_TRUE(w->c0 == 0 && w->c1 == 50);
    EXPECT_EQ(w->Text, "Rs stays below 1.5 in the range: at most " +
                           FloatToStrF(*a.RsOptimum->Figures.Rs, ffFixed, 15, 2) + ", at " +
                           FloatToStrF(a.RsOptimum->c, ffGeneral, 4, 0) + " mM.");
    // The program's decimal separator reaches the texts.
    FormatSettings.DecimalSeparator = L',';
    const SeparationAnalysis b = Analyse(s.ToParams());
    EXPECT_NE(Find(b, AnalysisWarning::awNoBaseline)->Text.find("1,5"), std::string::npos);
}

// Values a project file may hold or the window may pass: nothing raises, nothing
// that leaves the analysis is a NaN or an infinity.
TEST_F(Analysis, DegenerateInputs)
{
    using W = AnalysisWarning;
    const struct {
        const char* name;
        void (*change)(Params&);
        void (*check)(const SeparationAnalysis&);
    } cases[] = {
        {"no diffusion of analyte 1", [](Params& p) { p.phys.D01 = p.phys.D1 = 0; },
         [](const SeparationAnalysis& a) {
             EXPECT_TRUE(!a.RsOptimum && a.DuOptimum && Find(a, W::awNoBaseline));
             ASSERT_NE(Find(a, W::awNoDiffusion, 1), nullptr);
             EXPECT_TRUE(Find(a, W::awNoDiffusion, 1)->c0 == 0 && Find(a, W::awNoDiffusion, 1)->c1 == 50);
         }},
        {"no diffusion under a flow (Taylor term divides by D)",
         [](Params& p) { p.phys.D01 = p.phys.D1 = 0, p.phys.Pressure = 5000, p.phys.Derive(); },
         [](const SeparationAnalysis& a) { EXPECT_TRUE(!a.RsOptimum && Find(a, W::awNoDiffusion, 1)); }},
        {"Taylor term overflowing",
         [](Params& p) {
             p.phys.D01 = p.phys.D1 = 1e-320, p.phys.Pressure = 5000, p.phys.Radius = 1e-3;
             p.phys.Derive();
         },
         [](const SeparationAnalysis& a) { EXPECT_TRUE(!a.RsOptimum && Find(a, W::awNoDiffusion, 1)); }},
        {"a negative coefficient: no figure rests on it", [](Params& p) { p.phys.D1 = -5e-10; },
         [](const SeparationAnalysis& a) {
             // Deff = (5 - 10 x1) 1e-10 would be positive below 5 mM, but a negative D is impossible.
             ASSERT_NE(Find(a, W::awNoDiffusion, 1), nullptr);
             EXPECT_EQ(Find(a, W::awNoDiffusion, 1)->c0, 0);
             EXPECT_EQ(Find(a, W::awNoDiffusion, 1)->c1, 50);
             EXPECT_EQ(Find(a, W::awNoDiffusion, 1)->Text,
                       "Analyte 1 has a negative diffusion coefficient (D1 = -5E-10 m\u00b2/s), which is "
                       "impossible; its peak width, plate number and Rs are undefined.");
             EXPECT_TRUE(!a.RsOptimum && a.BaselineIntervals.empty());
             for (const auto& q : a.Curve) EXPECT_FALSE(q.Rs) << q.c;
         }},
        {"single concentration", [](Params& p) { p.cMin = p.cMax = 4; },
         [](const SeparationAnalysis& a) {
             ASSERT_TRUE(a.Curve.size() == 1 && a.RsOptimum && a.DuOptimum);
             EXPECT_TRUE(a.Curve[0].c == 4 && a.RsOptimum->c == 4 && a.DuOptimum->c == 4);
             EXPECT_FALSE(a.WrenRoweInRange);
         }},
        {"empty range", [](Params& p) { p.cMin = 10, p.cMax = 5; },
         [](const SeparationAnalysis& a) {
             EXPECT_TRUE(a.Curve.empty() && !a.RsOptimum && !a.DuOptimum && a.WrenRowe && !a.WrenRoweInRange);
             ASSERT_EQ(a.Warnings.size(), 1u);
             EXPECT_EQ(a.Warnings[0].kind, W::awEmptyRange);
         }},
        {"record defaults: nothing moves", [](Params& p) { p = Params(); },
         [](const SeparationAnalysis& a) {
             EXPECT_FALSE(a.RsOptimum || a.DuOptimum || a.WrenRowe);
             EXPECT_TRUE(Find(a, W::awNotArriving, 1) && Find(a, W::awNotArriving, 2));
         }},
        {"singular constant: c K1 = -1 at 10 mM, a scan point", [](Params& p) { p.phys.K1 = -0.1; },
         [](const SeparationAnalysis& a) {
             EXPECT_FALSE(a.WrenRowe);
             ASSERT_NE(Find(a, W::awUndefined, 1), nullptr);
             EXPECT_NEAR(Find(a, W::awUndefined, 1)->c0, 10, 1e-9);
             EXPECT_NEAR(Find(a, W::awUndefined, 1)->c1, 10, 1e-9);
             // Below the pole the complexed fraction is negative: no optimum there either.
             EXPECT_EQ(Find(a, W::awUndefined, 1)->Text,
                       "K1 = -0.1 per mM is negative, which is impossible: the complexed fraction c K1 / (1 + "
                       "c K1) leaves 0 to 1 and 1 + c K1 reaches 0 at 10 mM; no figure is computed.");
             EXPECT_TRUE(!a.RsOptimum && !a.DuOptimum && a.BaselineIntervals.empty());
             EXPECT_EQ(a.Warnings.size(), 1u);
         }},
        {"negative concentrations", [](Params& p) { p.cMin = -5; },
         [](const SeparationAnalysis& a) {
             ASSERT_NE(Find(a, W::awUndefined), nullptr);
             EXPECT_TRUE(!a.RsOptimum && !a.DuOptimum && a.Warnings.size() == 1);
         }},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        Params p = Set{}.ToParams();
        k.change(p);
        SeparationAnalysis a;
        ASSERT_NO_THROW(a = Analyse(p));
        ExpectAllFinite(a);
        k.check(a);
    }
    // The curve has its two ends at least, and a bounded size.
    EXPECT_EQ(Analyse(Set{}.ToParams(), {}, 1).Curve.size(), 2u);
    EXPECT_EQ(Analyse(Set{}.ToParams(), {}, 1 << 30).Curve.size(), std::size_t(MaxCurvePoints));
    // An infinite plug leaves the widths undefined rather than infinite.
    const PeakFigures f = AnalyseAt(Set{}.ToParams(), 5, {std::numeric_limits<double>::infinity(), 0});
    EXPECT_FALSE(f.N1 || f.sigmaT1 || f.Rs);
}

// Reversals are the simple roots of (ueff1 - ueff2)(1 + K1 c)(1 + K2 c), found wherever they lie;
// the roots of the hand cases were computed at 50 digits from the exact binary inputs.
TEST_F(Analysis, ReversalsAreFoundWhereverTheyLieAndNeverFromRounding)
{
    using W = AnalysisWarning;
    // Two reversals within the scan's first step (50 mM / 400 = 0.125 mM).
    Set narrow;
    narrow.u01 = 2.4559933e-8, narrow.u02 = 2.456e-8, narrow.u1 = 5e-9, narrow.u2 = 1e-8;
    narrow.K1 = 10, narrow.K2 = 20;
    const SeparationAnalysis a = Analyse(narrow.ToParams());
    ExpectAllFinite(a);
    std::vector<double> found;
    for (const auto& w : a.Warnings)
        if (w.kind == W::awOrderReversal) found.push_back(w.c0);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_NEAR(found[0], 7.0085178172389177680572e-7, 1e-12 * 7e-7);
    EXPECT_NEAR(found[1], 0.095597959148218302646765, 1e-12 * 0.0956);
    for (double c : found) EXPECT_LT(*AnalyseAt(narrow.ToParams(), c).Rs, 1e-6) << c;

    // Analytes that differ by one unit in the last place, or by one each way in two
    // mobilities, migrate together to rounding: no reversal.
    const struct {
        const char* name;
        void (*change)(Set&);
    } twins[] = {
        {"u02", [](Set& s) { s.u02 = std::nextafter(s.u01, 1.0); }},
        {"K2", [](Set& s) { s.K2 = std::nextafter(s.K1, 1.0); }},
        {"u2", [](Set& s) { s.u2 = std::nextafter(s.u1, 1.0); }},
        {"u02 up, u2 down", [](Set& s) { s.u02 = std::nextafter(s.u01, 1.0), s.u2 = std::nextafter(s.u1, 0.0); }},
        {"K2 up, u2 down", [](Set& s) { s.K2 = std::nextafter(s.K1, 1.0), s.u2 = std::nextafter(s.u1, 0.0); }},
    };
    for (const auto& k : twins) {
        SCOPED_TRACE(k.name);
        Set s;
        s.K1 = 0.2, s.K2 = 0.2;
        k.change(s);
        const SeparationAnalysis b = Analyse(s.ToParams());
        ExpectAllFinite(b);
        EXPECT_EQ(Find(b, W::awOrderReversal), nullptr);
    }
}

TEST_F(Analysis, AStandingAnalyteGivesOneWarningAndNoFigures)
{
    // The electro-osmotic flow just cancels analyte 2's mobility: (1 - x) u0 + x u - 0.3e-9
    // is rounding noise of either sign, never a time of 1e16 minutes.
    Set s;
    s.EOF = 0.3e-9, s.u02 = -(0.1e-9 + 0.2e-9), s.u2 = -0.3e-9;
    const Params p = s.ToParams();
    const SeparationAnalysis a = Analyse(p);
    ExpectAllFinite(a);
    int about2 = 0;
    for (const auto& w : a.Warnings) about2 += w.Analyte == 2;
    ASSERT_EQ(about2, 1);
    const AnalysisWarning* w = Find(a, AnalysisWarning::awNotArriving, 2);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Text, "Analyte 2 does not move at any concentration (its velocity is zero); it never "
                       "reaches the detector and Rs is undefined.");
    EXPECT_TRUE(w->c0 == 0 && w->c1 == 50);
    EXPECT_FALSE(a.RsOptimum);
    for (double c : {0.0, 0.37, 5.0, 49.9}) {
        const PeakFigures f = AnalyseAt(p, c);
        EXPECT_TRUE(f.Standing2 && !f.Standing1 && !f.t2 && !f.Rs && f.t1) << c;
    }
}

TEST_F(Analysis, ShortRunsUnderAFlowAreWarnedOf)
{
    // R^2 / D = (50 um)^2 / 9e-10 = 2.78 s; 50 mbar and EOF 300 bring the peaks in about 20 s,
    // less than ten times that; with EOF 40 they take about a minute.
    const struct {
        double EOF, Radius;
        bool warned;
    } cases[] = {{300e-9, 50e-6, true}, {40e-9, 50e-6, false}, {300e-9, 25e-6, false}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.EOF);
        Set s;
        s.D01 = s.D02 = s.D1 = s.D2 = 9e-10, s.Pressure = 5000, s.Radius = k.Radius, s.EOF = k.EOF;
        const SeparationAnalysis a = Analyse(s.ToParams());
        const double t = HandAt(s, 0).t1, radial = k.Radius * k.Radius / 9e-10;
        EXPECT_EQ(t < 10 * radial, k.warned) << t << " " << radial;
        const AnalysisWarning* w = Find(a, AnalysisWarning::awShortRun, 1);
        ASSERT_EQ(w != nullptr, k.warned);
        if (w) {
            EXPECT_TRUE(w->c0 == 0 && w->c1 == 50);
            EXPECT_NE(w->Text.find("R\u00b2/D = 2.778 s"), std::string::npos) << w->Text;
        }
    }
    Set still;  // no flow: no such warning however short the run
    still.EOF = 300e-9;
    EXPECT_EQ(Find(Analyse(still.ToParams()), AnalysisWarning::awShortRun, 1), nullptr);
}

// The realistic set under a limit of 150 s: analyte 2, the slower, takes exactly 150 s where
// ueff2 = 0.4 * 0.485 / (150 * 25000) - 40e-9, c = 4.0924092409240946 mM (50 digits).
TEST_F(Analysis, ALimitOnTheRunBoundsTheOptimumAndTheIntervals)
{
    const double limit = 4.0924092409240946;
    const Params p = Set{}.ToParams();
    AnalysisOptions o;
    o.LongestRun = 150;
    const SeparationAnalysis a = Analyse(p, o);
    ExpectAllFinite(a);
    // Without the limit Rs is largest beyond it; with it, at its edge.
    ASSERT_GT(DenseRsOptimum(Set{}), limit + 0.1);
    ASSERT_TRUE(a.RsOptimum && a.DuOptimum);
    EXPECT_NEAR(a.RsOptimum->c, limit, 1e-6);
    EXPECT_LE(*a.RsOptimum->Figures.t2, 150);
    ASSERT_EQ(a.BaselineIntervals.size(), 1u);
    EXPECT_NEAR(a.BaselineIntervals[0].c1, limit, 1e-9);
    const AnalysisWarning* w = Find(a, AnalysisWarning::awTimeLimit);
    ASSERT_NE(w, nullptr);
    EXPECT_NEAR(w->c0, limit, 1e-9);
    EXPECT_EQ(w->c1, 50);
    EXPECT_EQ(w->Text.substr(0, 43), "A run takes longer than 2.5 min from 4.092 ");
    for (const auto& q : a.Curve) EXPECT_EQ(q.TooLong, q.c > limit) << q.c;
    // The du optimum, 1 / sqrt(K1 K2) = 4.0825 mM, lies within the limit and stays.
    EXPECT_NEAR(a.DuOptimum->c, 1 / std::sqrt(0.06), 1e-5);
    // No limit, or one no run reaches, changes nothing.
    for (double none : {0.0, -1.0, 1e6}) {
        o.LongestRun = none;
        const SeparationAnalysis b = Analyse(p, o);
        EXPECT_EQ(Find(b, AnalysisWarning::awTimeLimit), nullptr);
        EXPECT_EQ(b.BaselineIntervals[0].c1, 50);
    }
}

TEST_F(Analysis, OptimaAtAnEndOfTheRangeSaySo)
{
    const struct {
        double cMin, cMax;
        std::vector<std::string> texts;
    } cases[] = {
        // Below both optima: Rs and du still grow at 2 mM.
        {0, 2,
         {"The largest Rs lies at the end of the range: the optimum may lie beyond 2 mM.",
          "The largest mobility difference lies at the end of the range: the optimum may lie beyond 2 mM."}},
        // Above both optima (4.98 and 4.08 mM) Rs and du fall all the way.
        {10, 50,
         {"The largest Rs lies at the start of the range: the optimum may lie below 10 mM.",
          "The largest mobility difference lies at the start of the range: the optimum may lie below 10 mM."}},
        // From 0 nothing lies below.
        {0, 50, {}},
    };
    for (const auto& k : cases) {
        Set s;
        s.cMin = k.cMin, s.cMax = k.cMax;
        std::vector<std::string> texts;
        for (const auto& w : Analyse(s.ToParams()).Warnings)
            if (w.kind == AnalysisWarning::awRangeEnd) texts.push_back(w.Text);
        EXPECT_EQ(texts, k.texts) << k.cMin << " " << k.cMax;
    }
}

TEST_F(Analysis, ClosedFormOptimumOfTheMobilityDifference)
{
    // Complex mobilities 5 and 5.5: c* = 3.4504983058725922 mM (50 digits), 18.3 % below
    // 1 / sqrt(K1 K2) = 4.0825.
    Set s;
    s.u2 = 5.5e-9;
    const SeparationAnalysis a = Analyse(s.ToParams());
    ASSERT_TRUE(a.DuClosedForm && a.DuOptimum && a.WrenRowe);
    EXPECT_NEAR(*a.DuClosedForm, 3.4504983058725922, 1e-13);
    EXPECT_NEAR(a.DuOptimum->c, *a.DuClosedForm, 1e-5);
    EXPECT_NEAR((*a.WrenRowe - *a.DuClosedForm) / *a.DuClosedForm, 0.18316, 1e-5);
    const struct {
        const char* name;
        double u1, u2, K2;
        Figure want;
    } cases[] = {
        {"equal mobilities: Wren-Rowe", 5e-9, 5e-9, 0.3, 1 / std::sqrt(0.06)},
        {"complexation speeds one and slows the other", 5e-9, 30e-9, 0.3, std::nullopt},
        {"one complex as mobile as its free form", 5e-9, 20e-9, 0.3, std::nullopt},
        {"equal constants: du grows all the way", 5e-9, 5.5e-9, 0.2, std::nullopt},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        Set t;
        t.u1 = k.u1, t.u2 = k.u2, t.K2 = k.K2;
        const Figure c = Analyse(t.ToParams()).DuClosedForm;
        ASSERT_EQ(bool(c), bool(k.want));
        if (c) {
            EXPECT_NEAR(*c, *k.want, 1e-12);
        }
    }
}

TEST_F(Analysis, HighConstantsAreScannedOnALogarithmicScale)
{
    // K1 1E4 and K2 1.2E4 per mM: Rs >= 1.5 only from 1.3668455777e-5 to 9.0863224122e-4 mM
    // (50-digit bisection), far inside the first step of a linear scan of 0 to 20 mM.
    Set s;
    s.K1 = 1e4, s.K2 = 1.2e4, s.cMax = 20;
    const SeparationAnalysis a = Analyse(s.ToParams());
    ExpectAllFinite(a);
    EXPECT_TRUE(a.LogScale);
    EXPECT_NEAR(a.LogStart, 0.001 / 1.2e4, 1e-20);
    ASSERT_EQ(a.Curve.size(), 201u);
    EXPECT_NEAR(a.Curve.front().c, a.LogStart, 1e-20);
    EXPECT_EQ(a.Curve.back().c, 20);
    EXPECT_NEAR(a.Curve[100].c, std::sqrt(a.LogStart * 20), 1e-12);
    ASSERT_EQ(a.BaselineIntervals.size(), 1u);
    EXPECT_NEAR(a.BaselineIntervals[0].c0, 1.36684557742570401e-5, 1e-9 * 1.4e-5);
    EXPECT_NEAR(a.BaselineIntervals[0].c1, 9.0863224121707508e-4, 1e-9 * 9e-4);
    ASSERT_TRUE(a.RsOptimum);
    EXPECT_NEAR(*a.RsOptimum->Figures.Rs, HandAt(s, a.RsOptimum->c).Rs, 1e-9);
    EXPECT_GT(*a.RsOptimum->Figures.Rs, 3.82);
    // Chosen or not: more than two decades of the concentration itself, or fewer.
    const struct {
        double cMin, cMax, K;
        AnalysisOptions::Spacing scale;
        bool log;
    } cases[] = {
        {0, 50, 0.3, AnalysisOptions::asAuto, false},  {0.1, 50, 0.3, AnalysisOptions::asAuto, true},
        {1, 50, 0.3, AnalysisOptions::asAuto, false},  {0, 20, 1e4, AnalysisOptions::asLinear, false},
        {0, 50, 0.3, AnalysisOptions::asLog, true},    {5, 5, 0.3, AnalysisOptions::asLog, false},
        {0, 20, 10, AnalysisOptions::asAuto, true},
    };
    for (const auto& k : cases) {
        Set t;
        t.cMin = k.cMin, t.cMax = k.cMax, t.K1 = k.K, t.K2 = 1.2 * k.K;
        AnalysisOptions o;
        o.Scale = k.scale;
        const SeparationAnalysis b = Analyse(t.ToParams(), o);
        EXPECT_EQ(b.LogScale, k.log) << k.cMin << " " << k.cMax << " " << k.K;
        ExpectAllFinite(b);
    }
}

TEST_F(Analysis, OnCapillaryPeakAreasGrowWithTheMigrationTime)
{
    const PeakFigures f = AnalyseAt(Set{}.ToParams(), 10);
    double area1 = 0, area2 = 0;
    const std::vector<TracePoint> e = Electropherogram(f, 2000, TPeakAreas::paByTime);
    for (std::size_t i = 1; i < e.size(); ++i) {
        const double h = e[i].t - e[i - 1].t;
        area1 += h * (e[i].peak1 + e[i - 1].peak1) / 2;
        area2 += h * (e[i].peak2 + e[i - 1].peak2) / 2;
    }
    // Analyte 1 (K 0.2) migrates first: area 1; analyte 2 its time ratio, 50 / 48.75 = 1.0256.
    const Hand h = HandAt(Set{}, 10);
    ASSERT_LT(h.t1, h.t2);
    EXPECT_NEAR(area1, 1, 1e-4);
    EXPECT_NEAR(area2, h.t2 / h.t1, 1e-4);
    EXPECT_NEAR(h.t2 / h.t1, 50 / 48.75, 1e-12);
}

// A weak acid (pKa 4, free mobility -20 and complex mobility -10 when ionised, neutral
// below), charge -1: Nernst-Einstein at 298.15 K gives 5.13851408264839e-10 and
// 2.56925704132420e-10 m^2/s for the ionised form whatever the pH, while the record keeps the
// pH-averaged values of its derivation (50 digits: 5.08763770559247e-12 at pH 2,
// 1.23454380081903e-10 at pH 3.5, 5.13338070194644e-10 at pH 7).
TEST_F(Analysis, DiffusionDoesNotFollowTheDegreeOfIonisation)
{
    using S = TDiffusionSource;
    const double free = 5.1385140826483900788e-10, complex = 2.5692570413241950394e-10;
    const struct {
        double pH;
        bool model;
        double stored01;
    } cases[] = {{2, true, 5.0876377055924654246e-12}, {3.5, true, 1.2345438008190252301e-10},
                 {7, true, 5.1333807019464436352e-10}, {2, false, free}, {7, false, free}};
    for (const auto& k : cases) {
        SCOPED_TRACE(std::to_string(k.pH) + (k.model ? " with the pH model" : " without"));
        Params p = Set{}.ToParams();
        p.pH = k.pH, p.applypH = k.model;
        p.a1.pKa = 4, p.a1.lu0 = 0, p.a1.luCS = 0, p.a1.hu0 = -20e-9, p.a1.huCS = -10e-9, p.a1.lK = p.a1.hK = 0.2;
        p.a2 = p.a1, p.a2.hK = p.a2.lK = 0.3;
        p.phys.z01 = p.phys.z02 = -1;
        p.phys.u01 = p.phys.u02 = -20e-9, p.phys.u1 = p.phys.u2 = -10e-9;
        p.phys.EOF = 60e-9;
        p.Derive();
        EXPECT_NEAR(p.phys.D01, k.stored01, 1e-12 * k.stored01);  // the derivation as it was
        const DiffusionUsed d = AnalysisDiffusion(p);
        EXPECT_NEAR(d.D01, free, 1e-12 * free);
        EXPECT_NEAR(d.D2, complex, 1e-12 * complex);
        EXPECT_EQ(d.From01, k.model ? S::ChargedForm : S::Derived);
        EXPECT_EQ(d.From2, k.model ? S::ChargedForm : S::Derived);
        // The figures rest on them: at c = 0 the analyte is all free.
        const PeakFigures f = AnalyseAt(p, 0);
        ASSERT_TRUE(f.Deff1);
        EXPECT_NEAR(*f.Deff1, free, 1e-12 * free);
        const SeparationAnalysis a = Analyse(p);
        EXPECT_EQ(a.Diffusion.D01, d.D01);
        ExpectAllFinite(a);
    }
}

// A selector of charge -7 with an analyte of charge -1: Nernst-Einstein with z = -8 gives the
// complex 4.81735695248287e-11 m^2/s (50 digits); a value entered for the analysis replaces it.
TEST_F(Analysis, AChargedSelectorsComplexTakesAnEnteredCoefficient)
{
    using S = TDiffusionSource;
    Params p = Set{}.ToParams();
    p.phys.z01 = p.phys.z02 = -1, p.phys.zCS = -7;
    p.phys.u01 = p.phys.u02 = -20e-9, p.phys.u1 = p.phys.u2 = -15e-9, p.phys.EOF = 60e-9;
    p.Derive();
    const double derived = 4.8173569524828651676e-11;
    EXPECT_NEAR(p.phys.D1, derived, 1e-12 * derived);
    const SeparationAnalysis guessed = Analyse(p);
    EXPECT_EQ(guessed.Diffusion.From1, S::Derived);
    const AnalysisWarning* w = Find(guessed, AnalysisWarning::awDiffusionGuess, 1);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Text, "The complex of analyte 1 with the charged selector takes D1 = 4.817E-11 m\u00b2/s from "
                       "Nernst-Einstein with z = -8, likely far too small for its size; enter the complex's D "
                       "for the analysis.");
    AnalysisOptions o;
    o.ComplexD1 = 3e-10, o.ComplexD2 = 3.1e-10;
    const SeparationAnalysis entered = Analyse(p, o);
    EXPECT_EQ(entered.Diffusion.D1, 3e-10);
    EXPECT_EQ(entered.Diffusion.D2, 3.1e-10);
    EXPECT_EQ(entered.Diffusion.From1, S::Analysis);
    EXPECT_EQ(Find(entered, AnalysisWarning::awDiffusionGuess, 1), nullptr);
    // Fully complexed (x = 0.9999), Deff is almost the entered value.
    const PeakFigures f = AnalyseAt(p, 5e4, o);
    EXPECT_NEAR(*f.Deff1, (1 - 1e4 / 10001.0) * p.phys.D01 + 1e4 / 10001.0 * 3e-10, 1e-22);
    // An uncharged selector ignores the entries.
    p.phys.zCS = 0;
    p.Derive();
    EXPECT_EQ(Analyse(p, o).Diffusion.From1, S::Derived);
}

TEST_F(Analysis, ElectropherogramHasTwoUnitAreaPeaks)
{
    const PeakFigures f = AnalyseAt(Set{}.ToParams(), 4);
    const std::vector<TracePoint> e = Electropherogram(f, 400);
    ASSERT_GT(e.size(), 400u);
    double area1 = 0, area2 = 0, top1 = 0, top1At = 0;
    for (std::size_t i = 1; i < e.size(); ++i) {
        ASSERT_GT(e[i].t, e[i - 1].t);
        const double h = e[i].t - e[i - 1].t;
        area1 += h * (e[i].peak1 + e[i - 1].peak1) / 2;
        area2 += h * (e[i].peak2 + e[i - 1].peak2) / 2;
        EXPECT_EQ(e[i].signal, e[i].peak1 + e[i].peak2);
        if (e[i].peak1 > top1) top1 = e[i].peak1, top1At = e[i].t;
    }
    EXPECT_NEAR(area1, 1, 1e-4);
    EXPECT_NEAR(area2, 1, 1e-4);
    const double sigma = *f.sigmaT1 / 60;  // minutes
    EXPECT_NEAR(top1At, *f.t1 / 60, 0.05 * sigma);
    EXPECT_NEAR(top1, 1 / (sigma * std::sqrt(2 * 3.141592653589793)), 0.01 * top1);
    EXPECT_NEAR(e.front().t, std::min(*f.t1 - 5 * *f.sigmaT1, *f.t2 - 5 * *f.sigmaT2) / 60, 1e-12);
    EXPECT_NEAR(e.back().t, std::max(*f.t1 + 5 * *f.sigmaT1, *f.t2 + 5 * *f.sigmaT2) / 60, 1e-12);
    EXPECT_TRUE(Electropherogram(f, 1).empty());
    EXPECT_TRUE(Electropherogram(AnalyseAt(Params(), 4)).empty());
}

}  // namespace
