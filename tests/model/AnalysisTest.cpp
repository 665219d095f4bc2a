// Peak figures, optima, intervals and warnings of the separation analysis,
// against hand calculations written in the textbook forms, independent of the
// model's code.
#include "model/Analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

// One analyte pair and its run in the units of the record. The defaults are the
// realistic set: 40 cm to the detector, 48.5 cm, 25 kV, D 5e-10 free and 3e-10
// complexed, K 0.2 and 0.3 per mM, mobilities 20 free and 5 complexed, EOF 40
// (1e-9 m^2/(V s)), 0 to 50 mM.
struct Set {
    double u01 = 20e-9, u02 = 20e-9, u1 = 5e-9, u2 = 5e-9;
    double K1 = 0.2, K2 = 0.3;
    double D01 = 5e-10, D02 = 5e-10, D1 = 3e-10, D2 = 3e-10;
    double EOF = 40e-9;
    double Pressure = 0, Radius = 5e-5;
    double cMin = 0, cMax = 50;

    Params ToParams() const
    {
        Params p;
        p.cMin = cMin;
        p.cMax = cMax;
        p.points = 101;
        p.phys.u01 = u01, p.phys.u02 = u02, p.phys.u1 = u1, p.phys.u2 = u2;
        p.phys.K1 = K1, p.phys.K2 = K2;
        p.phys.D01 = D01, p.phys.D02 = D02, p.phys.D1 = D1, p.phys.D2 = D2;
        p.phys.EOF = EOF;
        p.phys.Pressure = Pressure;
        p.phys.Radius = Radius;
        p.Derive();
        return p;
    }
};

struct Hand {
    double t1, t2, var1, var2, s1, s2, N1, N2, Rs, Dtot1;
};

// Poiseuille flow with the electrolyte's viscosity 0.9229 mPa s.
double HandFlow(const Set& s) { return s.Pressure * s.Radius * s.Radius / (8 * 0.0009229 * 0.485); }

// The figures at c from the textbook forms: weighted means (a + Kc b) / (1 + Kc),
// Taylor-Aris dispersion, variances that add.
Hand HandAt(const Set& s, double c, double l = 0, double w = 0)
{
    const double E = 25000 / 0.485, U = HandFlow(s);
    auto mean = [c](double a, double b, double K) { return (a + K * c * b) / (1 + K * c); };
    Hand h;
    const double v1 = (s.EOF + mean(s.u01, s.u1, s.K1)) * E + U;
    const double v2 = (s.EOF + mean(s.u02, s.u2, s.K2)) * E + U;
    h.t1 = 0.4 / v1;
    h.t2 = 0.4 / v2;
    const double D1 = mean(s.D01, s.D1, s.K1), D2 = mean(s.D02, s.D2, s.K2);
    h.Dtot1 = D1 + s.Radius * s.Radius * U * U / (48 * D1);
    const double Dtot2 = D2 + s.Radius * s.Radius * U * U / (48 * D2);
    h.var1 = 2 * h.Dtot1 * h.t1 + l * l / 12 + w * w / 12;
    h.var2 = 2 * Dtot2 * h.t2 + l * l / 12 + w * w / 12;
    h.s1 = std::sqrt(h.var1) / v1;
    h.s2 = std::sqrt(h.var2) / v2;
    h.N1 = 0.16 / h.var1;
    h.N2 = 0.16 / h.var2;
    h.Rs = std::fabs(h.t2 - h.t1) / (2 * (h.s1 + h.s2));
    return h;
}

// The concentration of the largest Rs on a grid of a million steps.
double DenseRsOptimum(const Set& s)
{
    double best = s.cMin, bestRs = -1;
    const int n = 1000000;
    for (int k = 0; k <= n; ++k) {
        const double c = s.cMin + (s.cMax - s.cMin) * k / n;
        const double rs = HandAt(s, c).Rs;
        if (rs > bestRs) bestRs = rs, best = c;
    }
    return best;
}

void ExpectRel(double actual, double expected, double rel, const char* what)
{
    EXPECT_NEAR(actual, expected, rel * std::fabs(expected)) << what;
}

const AnalysisWarning* Find(const SeparationAnalysis& a, AnalysisWarning::Kind kind, int analyte = 0)
{
    for (const auto& w : a.Warnings)
        if (w.kind == kind && w.Analyte == analyte) return &w;
    return nullptr;
}

// Every value the analysis hands out is finite (a Figure holds only finite
// values by construction; this checks the plain doubles and the Figures alike).
void ExpectAllFinite(const SeparationAnalysis& a)
{
    auto fig = [](const Figure& f) { return !f || std::isfinite(*f); };
    auto peaks = [&](const PeakFigures& f) {
        return std::isfinite(f.c) && fig(f.t1) && fig(f.t2) && fig(f.dt) && fig(f.du) && fig(f.Deff1) &&
               fig(f.Deff2) && fig(f.Dtot1) && fig(f.Dtot2) && fig(f.sigmaL1) && fig(f.sigmaL2) &&
               fig(f.sigmaT1) && fig(f.sigmaT2) && fig(f.N1) && fig(f.N2) && fig(f.Rs);
    };
    for (const auto& q : a.Curve) EXPECT_TRUE(std::isfinite(q.c) && fig(q.Rs));
    EXPECT_TRUE(fig(a.WrenRowe));
    EXPECT_TRUE(!a.AtWrenRowe || peaks(*a.AtWrenRowe));
    EXPECT_TRUE(!a.DuOptimum || (peaks(a.DuOptimum->Figures) && std::isfinite(a.DuOptimum->c)));
    EXPECT_TRUE(!a.RsOptimum || (peaks(a.RsOptimum->Figures) && std::isfinite(a.RsOptimum->c)));
    for (const auto& r : a.BaselineIntervals) EXPECT_TRUE(std::isfinite(r.c0) && std::isfinite(r.c1));
    for (const auto& w : a.Warnings) {
        EXPECT_TRUE(std::isfinite(w.c0) && std::isfinite(w.c1)) << w.Text;
        EXPECT_EQ(w.Text.find("NAN"), std::string::npos) << w.Text;
        EXPECT_EQ(w.Text.find("INF"), std::string::npos) << w.Text;
    }
}

// Warning texts are compared with the invariant decimal point.
class Analysis : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = FormatSettings;
        FormatSettings = TFormatSettings::Invariant();
    }
    void TearDown() override { FormatSettings = saved; }
    TFormatSettings saved;
};

TEST_F(Analysis, FiguresAtAConcentrationMatchTheHandCalculation)
{
    struct Case {
        const char* name;
        Set set;
        double c, l, w;
    };
    Set pressure;
    pressure.Pressure = 5000;  // 50 mbar
    pressure.Radius = 25e-6;
    Set unequal;
    unequal.u2 = 3e-9;
    unequal.D02 = 6e-10;
    const Case cases[] = {
        {"no selector", Set{}, 0, 0, 0},       {"low", Set{}, 1, 0, 0},
        {"Wren-Rowe", Set{}, 1 / std::sqrt(0.06), 0, 0},
        {"high", Set{}, 50, 0, 0},             {"pressure, no selector", pressure, 0, 0, 0},
        {"pressure", pressure, 10, 0, 0},      {"plug and window", Set{}, 10, 2e-3, 1e-3},
        {"unequal", unequal, 7, 1e-3, 0},
    };
    for (const Case& k : cases) {
        const PeakFigures f = AnalyseAt(k.set.ToParams(), k.c, {k.l, k.w});
        const Hand h = HandAt(k.set, k.c, k.l, k.w);
        ASSERT_TRUE(f.Computed && f.t1 && f.t2 && f.sigmaT1 && f.sigmaT2 && f.N1 && f.N2 && f.Dtot1)
            << k.name;
        ExpectRel(*f.t1, h.t1, 1e-12, k.name);
        ExpectRel(*f.t2, h.t2, 1e-12, k.name);
        ExpectRel(*f.Dtot1, h.Dtot1, 1e-12, k.name);
        ExpectRel(*f.sigmaT1, h.s1, 1e-12, k.name);
        ExpectRel(*f.sigmaT2, h.s2, 1e-12, k.name);
        ExpectRel(*f.N1, h.N1, 1e-12, k.name);
        ExpectRel(*f.N2, h.N2, 1e-12, k.name);
        ASSERT_TRUE(f.Rs) << k.name;
        EXPECT_NEAR(*f.Rs, h.Rs, 1e-12 * std::max(1.0, h.Rs)) << k.name;
        EXPECT_NEAR(*f.dt, std::fabs(h.t2 - h.t1), 1e-12 * h.t1) << k.name;
    }
}

TEST_F(Analysis, PressureAddsTaylorDispersion)
{
    Set s;
    s.Pressure = 5000;
    s.Radius = 25e-6;
    const PeakFigures f = AnalyseAt(s.ToParams(), 0);
    // U = 5000 Pa * (25 um)^2 / (8 * 0.9229 mPa s * 0.485 m) = 0.8727 mm/s, and
    // R^2 U^2 / (48 D) = 6.25e-10 * 7.617e-7 / 2.4e-8 = 1.984e-8 m^2/s, 40 times D.
    const double U = 5000 * 6.25e-10 / (8 * 0.0009229 * 0.485);
    ASSERT_TRUE(f.Dtot1 && f.Deff1);
    EXPECT_NEAR(*f.Deff1, 5e-10, 1e-24);
    EXPECT_NEAR(*f.Dtot1, 5e-10 + 6.25e-10 * U * U / (48 * 5e-10), 1e-20);
    EXPECT_NEAR(*f.Dtot1, 2.034e-8, 0.001e-8);
    // Without the flow the coefficients are the diffusion alone.
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

TEST_F(Analysis, RealisticSetOptima)
{
    const Set s;
    const SeparationAnalysis a = Analyse(s.ToParams());
    ExpectAllFinite(a);
    const double cOpt = 1 / std::sqrt(0.06);  // 4.0825 mM
    ASSERT_TRUE(a.WrenRowe);
    EXPECT_NEAR(*a.WrenRowe, cOpt, 1e-12);
    EXPECT_TRUE(a.WrenRoweInRange);
    ASSERT_TRUE(a.AtWrenRowe);
    EXPECT_NEAR(*a.AtWrenRowe->Rs, HandAt(s, cOpt).Rs, 1e-9);
    // Equal mobilities: du is largest at c_opt.
    ASSERT_TRUE(a.DuOptimum);
    EXPECT_NEAR(a.DuOptimum->c, cOpt, 1e-5);
    const double x1 = 0.2 * cOpt / (1 + 0.2 * cOpt), x2 = 0.3 * cOpt / (1 + 0.3 * cOpt);
    EXPECT_NEAR(*a.DuOptimum->Figures.du, 15e-9 * (x2 - x1), 1e-20);
    // Rs is largest where a dense scan finds it, not at c_opt: the mean
    // mobility falls with c, so the migration time and the widths grow.
    ASSERT_TRUE(a.RsOptimum);
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
}

TEST_F(Analysis, RealisticSetBaselineFromAFewTenthsOfAMillimolar)
{
    const Set s;
    const SeparationAnalysis a = Analyse(s.ToParams());
    ASSERT_EQ(a.BaselineIntervals.size(), 1u);
    const ConcentrationInterval r = a.BaselineIntervals[0];
    EXPECT_NEAR(HandAt(s, r.c0).Rs, 1.5, 1e-9);
    EXPECT_GT(r.c0, 0.05);
    EXPECT_LT(r.c0, 1);
    EXPECT_EQ(r.c1, 50);
    EXPECT_GT(HandAt(s, 50).Rs, 1.5);
    EXPECT_TRUE(a.Warnings.empty());
}

TEST_F(Analysis, UnequalComplexMobilitiesMoveTheDuOptimum)
{
    Set s;
    s.u2 = 3e-9;
    const SeparationAnalysis a = Analyse(s.ToParams());
    // du = (17 x2 - 15 x1) 1e-9 is largest where 5.1 / (1 + 0.3c)^2 = 3 / (1 + 0.2c)^2.
    const double r = std::sqrt(1.7);
    const double hand = (r - 1) / (0.3 - 0.2 * r);  // 7.745 mM
    ASSERT_TRUE(a.DuOptimum);
    EXPECT_NEAR(a.DuOptimum->c, hand, 1e-5);
    EXPECT_GT(a.DuOptimum->c - *a.WrenRowe, 3);
    ASSERT_TRUE(a.RsOptimum);
    EXPECT_NEAR(a.RsOptimum->c, DenseRsOptimum(s), 1e-3);
    ExpectAllFinite(a);
}

TEST_F(Analysis, MigrationOrderReversal)
{
    // 20 - 15 x1 = 18 - 13 x2 with K1 0.3, K2 0.1 solves to 2.4 c = 2: c = 5/6 mM.
    Set s;
    s.u02 = 18e-9;
    s.K1 = 0.3;
    s.K2 = 0.1;
    const SeparationAnalysis a = Analyse(s.ToParams());
    ExpectAllFinite(a);
    const AnalysisWarning* w = Find(a, AnalysisWarning::awOrderReversal);
    ASSERT_NE(w, nullptr);
    EXPECT_NEAR(w->c0, 5.0 / 6, 1e-9);
    EXPECT_EQ(w->c0, w->c1);
    EXPECT_EQ(w->Text, "The migration order reverses at 0.8333 mM; the peaks co-migrate there.");
    EXPECT_LT(*AnalyseAt(s.ToParams(), w->c0).Rs, 1e-6);
    // Baseline separation before and after the crossing, not across it.
    ASSERT_EQ(a.BaselineIntervals.size(), 2u);
    EXPECT_EQ(a.BaselineIntervals[0].c0, 0);
    EXPECT_LT(a.BaselineIntervals[0].c1, 5.0 / 6);
    EXPECT_GT(a.BaselineIntervals[1].c0, 5.0 / 6);
    EXPECT_NEAR(HandAt(s, a.BaselineIntervals[1].c0).Rs, 1.5, 1e-9);
    EXPECT_EQ(a.Warnings.size(), 1u);
}

TEST_F(Analysis, AnalyteThatDoesNotArrive)
{
    struct Case {
        const char* name;
        double u02, u2;
        double c0, c1;  // where analyte 2 does not arrive
        const char* text;
    };
    // With u2 = 0 the velocity is positive once 60 (1 - x2) < 40, x2 > 1/3, c > 5/3 mM.
    const Case cases[] = {
        {"part of the range", -60e-9, 0, 0, 5.0 / 3,
         "Analyte 2 does not reach the detector from 0 to 1.667 mM (its velocity is zero or negative); "
         "Rs is undefined there."},
        {"never", -60e-9, -60e-9, 0, 50,
         "Analyte 2 does not reach the detector from 0 to 50 mM (its velocity is zero or negative); "
         "Rs is undefined there."},
    };
    for (const Case& k : cases) {
        Set s;
        s.u02 = k.u02;
        s.u2 = k.u2;
        const Params p = s.ToParams();
        const SeparationAnalysis a = Analyse(p);
        ExpectAllFinite(a);
        const AnalysisWarning* w = Find(a, AnalysisWarning::awNotArriving, 2);
        ASSERT_NE(w, nullptr) << k.name;
        EXPECT_NEAR(w->c0, k.c0, 1e-9) << k.name;
        EXPECT_NEAR(w->c1, k.c1, 1e-9) << k.name;
        EXPECT_EQ(w->Text, k.text);
        EXPECT_EQ(Find(a, AnalysisWarning::awNotArriving, 1), nullptr);
        for (const auto& q : a.Curve)
            EXPECT_TRUE(q.c >= k.c1 - 1e-9 || !q.Rs) << k.name << " " << q.c;
        const PeakFigures f = AnalyseAt(p, 1);
        EXPECT_TRUE(f.t1 && f.N1 && f.sigmaT1);
        EXPECT_FALSE(f.t2 || f.N2 || f.sigmaT2 || f.dt || f.Rs) << k.name;
        EXPECT_TRUE(f.du);
        EXPECT_TRUE(Electropherogram(f).size() > 0);
    }
    Set never;
    never.u02 = never.u2 = -60e-9;
    const SeparationAnalysis a = Analyse(never.ToParams());
    EXPECT_FALSE(a.RsOptimum);
    EXPECT_TRUE(a.BaselineIntervals.empty());
    const AnalysisWarning* w = Find(a, AnalysisWarning::awNoBaseline);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Text, "Rs is undefined or zero over the whole range: the peaks are never separated.");
}

// Values a project file may hold or the window may pass: nothing raises, nothing
// that leaves the analysis is a NaN or an infinity.
TEST_F(Analysis, DegenerateInputs)
{
    struct Case {
        const char* name;
        void (*change)(Params&);
        void (*check)(const SeparationAnalysis&);
    };
    const Case cases[] = {
        {"no diffusion of analyte 1",
         [](Params& p) { p.phys.D01 = p.phys.D1 = 0; },
         [](const SeparationAnalysis& a) {
             EXPECT_FALSE(a.RsOptimum);
             EXPECT_TRUE(a.DuOptimum);
             const AnalysisWarning* w = Find(a, AnalysisWarning::awNoDiffusion, 1);
             ASSERT_NE(w, nullptr);
             EXPECT_EQ(w->c0, 0);
             EXPECT_EQ(w->c1, 50);
             EXPECT_NE(Find(a, AnalysisWarning::awNoBaseline), nullptr);
         }},
        {"no diffusion with a flow",
         [](Params& p) {
             p.phys.D01 = p.phys.D1 = 0;
             p.phys.Pressure = 5000;
             p.phys.Derive();
         },
         [](const SeparationAnalysis& a) {
             EXPECT_FALSE(a.RsOptimum);
             EXPECT_NE(Find(a, AnalysisWarning::awNoDiffusion, 1), nullptr);
         }},
        {"diffusion ceasing inside the range (negative complex coefficient)",
         [](Params& p) { p.phys.D1 = -5e-10; },
         [](const SeparationAnalysis& a) {
             // Deff = (5 - 10 x1) 1e-10 is zero at x1 = 1/2, c = 5 mM.
             const AnalysisWarning* w = Find(a, AnalysisWarning::awNoDiffusion, 1);
             ASSERT_NE(w, nullptr);
             EXPECT_NEAR(w->c0, 5, 1e-9);
             EXPECT_EQ(w->c1, 50);
         }},
        {"single concentration",
         [](Params& p) { p.cMin = p.cMax = 4; },
         [](const SeparationAnalysis& a) {
             ASSERT_EQ(a.Curve.size(), 1u);
             EXPECT_EQ(a.Curve[0].c, 4);
             ASSERT_TRUE(a.RsOptimum && a.DuOptimum);
             EXPECT_EQ(a.RsOptimum->c, 4);
             EXPECT_EQ(a.DuOptimum->c, 4);
             EXPECT_FALSE(a.WrenRoweInRange);
         }},
        {"empty range",
         [](Params& p) { p.cMin = 10, p.cMax = 5; },
         [](const SeparationAnalysis& a) {
             EXPECT_TRUE(a.Curve.empty());
             EXPECT_FALSE(a.RsOptimum || a.DuOptimum);
             EXPECT_TRUE(a.WrenRowe);
             EXPECT_FALSE(a.WrenRoweInRange);
             ASSERT_EQ(a.Warnings.size(), 1u);
             EXPECT_EQ(a.Warnings[0].kind, AnalysisWarning::awEmptyRange);
         }},
        {"record defaults: nothing moves",
         [](Params& p) { p = Params(); },
         [](const SeparationAnalysis& a) {
             EXPECT_FALSE(a.RsOptimum || a.DuOptimum || a.WrenRowe);
             EXPECT_NE(Find(a, AnalysisWarning::awNotArriving, 1), nullptr);
             EXPECT_NE(Find(a, AnalysisWarning::awNotArriving, 2), nullptr);
         }},
        {"singular constant: c K1 = -1 at 10 mM, a scan point",
         [](Params& p) { p.phys.K1 = -0.1; },
         [](const SeparationAnalysis& a) {
             EXPECT_FALSE(a.WrenRowe);
             const AnalysisWarning* w = Find(a, AnalysisWarning::awUndefined);
             ASSERT_NE(w, nullptr);
             EXPECT_NEAR(w->c0, 10, 1e-9);
             EXPECT_NEAR(w->c1, 10, 1e-9);
         }},
        {"figures overflowing: a tiny diffusion coefficient under a flow",
         [](Params& p) {
             p.phys.D01 = p.phys.D1 = 1e-320;
             p.phys.Pressure = 5000;
             p.phys.Radius = 1e-3;
             p.phys.Derive();
         },
         [](const SeparationAnalysis& a) {
             EXPECT_FALSE(a.RsOptimum);
             EXPECT_NE(Find(a, AnalysisWarning::awNoDiffusion, 1), nullptr);
         }},
        {"a zero step count from a file",
         [](Params& p) { p.points = 0; },
         [](const SeparationAnalysis& a) { EXPECT_TRUE(a.RsOptimum); }},
    };
    for (const Case& k : cases) {
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
    // Undefined options leave the widths undefined rather than infinite.
    const PeakFigures f = AnalyseAt(Set{}.ToParams(), 5, {std::numeric_limits<double>::infinity(), 0});
    EXPECT_FALSE(f.N1 || f.sigmaT1 || f.Rs);
}

TEST_F(Analysis, RsNeverReachingBaseline)
{
    Set s;
    s.K2 = 0.21;  // nearly equal constants: little selectivity anywhere
    const SeparationAnalysis a = Analyse(s.ToParams());
    EXPECT_TRUE(a.BaselineIntervals.empty());
    const AnalysisWarning* w = Find(a, AnalysisWarning::awNoBaseline);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->c0, 0);
    EXPECT_EQ(w->c1, 50);
    ASSERT_TRUE(a.RsOptimum);
    const std::string at = FloatToStrF(a.RsOptimum->c, ffGeneral, 4, 0);
    EXPECT_EQ(w->Text, "Rs stays below 1.5 in the range: at most " +
                           FloatToStrF(*a.RsOptimum->Figures.Rs, ffFixed, 15, 2) + ", at " + at + " mM.");
    // The program's decimal separator reaches the texts.
    FormatSettings.DecimalSeparator = L',';
    const SeparationAnalysis b = Analyse(s.ToParams());
    EXPECT_NE(Find(b, AnalysisWarning::awNoBaseline)->Text.find("1,5"), std::string::npos);
}

TEST_F(Analysis, ElectropherogramHasTwoUnitAreaPeaks)
{
    const Params p = Set{}.ToParams();
    const PeakFigures f = AnalyseAt(p, 4);
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
    const double sigma = *f.sigmaT1 / 60;
    EXPECT_NEAR(top1At, *f.t1 / 60, 0.05 * sigma);
    EXPECT_NEAR(top1, 1 / (sigma * std::sqrt(2 * 3.141592653589793)), 0.01 * top1);
    EXPECT_NEAR(e.front().t, std::min(*f.t1 - 5 * *f.sigmaT1, *f.t2 - 5 * *f.sigmaT2) / 60, 1e-12);
    EXPECT_NEAR(e.back().t, std::max(*f.t1 + 5 * *f.sigmaT1, *f.t2 + 5 * *f.sigmaT2) / 60, 1e-12);

    EXPECT_TRUE(Electropherogram(f, 1).empty());
    EXPECT_TRUE(Electropherogram(AnalyseAt(Params(), 4)).empty());
}

}  // namespace
