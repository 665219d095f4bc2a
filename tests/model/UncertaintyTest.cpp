// The uncertainty of a plan: the generator against an independent implementation, correlated
// draws, quantiles, the Monte Carlo band against linear propagation computed here by a central
// difference, repeatability, and the uncertainties a fit gives.
#include "model/Uncertainty.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

Params Pair()
{
    Params p;
    p.cMin = 0, p.cMax = 50, p.points = 101;
    PhysParams& f = p.phys;
    f.u01 = f.u02 = 20e-9, f.u1 = f.u2 = 5e-9, f.K1 = 0.2, f.K2 = 0.3;
    f.D01 = f.D02 = 5e-10, f.D1 = f.D2 = 3e-10, f.EOF = 40e-9;
    p.Derive();
    return p;
}

double Phi(double z)
{
    return 0.5 * std::erfc(-z / std::sqrt(2.0));
}

TEST(Random, SameDrawsAsAnIndependentImplementation)
{
    // splitmix64 seeding, xoshiro256** and the polar method, written out in plain python.
    TRandom r(20261210);
    EXPECT_EQ(r.Next(), 0x5d30b846fec4256eull);
    EXPECT_EQ(r.Next(), 0xeea56fe96747935full);
    EXPECT_EQ(r.Next(), 0x952d64c488632e5aull);
    const double normals[] = {-1.449581569040475, -0.1830723591349395, -2.1956909094918657, 0.26360794183500214};
    for (double z : normals) EXPECT_NEAR(r.Normal(), z, 1e-15);
}

TEST(Quantile, Type7)
{
    const struct {
        std::vector<double> sorted;
        double p, q;
    } cases[] = {
        {{1, 2, 3, 4}, 0.5, 2.5}, {{1, 2, 3, 4}, 0.05, 1.15}, {{1, 2, 3, 4}, 0.95, 3.85},
        {{1, 2, 3, 4}, 0, 1},     {{1, 2, 3, 4}, 1, 4},       {{5}, 0.3, 5},
        {{0, 10}, 0.25, 2.5},
    };
    for (const auto& k : cases) EXPECT_NEAR(Quantile(k.sorted, k.p), k.q, 1e-12);
    // The lowest values undefined: a quantile on them is not finite.
    EXPECT_FALSE(std::isfinite(Quantile({-INFINITY, -INFINITY, 1, 2}, 0.2)));
}

Uncertainties Only(int parameter, double u)
{
    Uncertainties x;
    x.u[static_cast<size_t>(parameter)] = u;
    return x;
}

TEST(Draws, CorrelationsAreHonoured)
{
    const struct {
        double rho;
        double sampleRho, tolerance;
    } cases[] = {{1, 1, 1e-12}, {-1, -1, 1e-12}, {0, 0, 0.1}, {0.6, 0.6, 0.06}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.rho);
        Uncertainties u;
        u.u[unU01] = 1e-9;
        u.u[unK2] = 0.02;
        u.SetRho(unU01, unK2, k.rho);
        ASSERT_EQ(UncertaintyRefusal(u), "");
        const std::vector<double> d = DrawDeviations(u, {});
        ASSERT_EQ(d.size(), size_t(DefaultDraws) * UncertainCount);
        double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
        const int n = DefaultDraws;
        for (int i = 0; i < n; ++i) {
            const double a = d[size_t(i) * UncertainCount + unU01] / 1e-9, b = d[size_t(i) * UncertainCount + unK2] / 0.02;
            sa += a, sb += b, saa += a * a, sbb += b * b, sab += a * b;
            for (int other : {unU1, unK1, unU02, unU2}) EXPECT_EQ(d[size_t(i) * UncertainCount + size_t(other)], 0);
        }
        const double va = saa / n - sa / n * sa / n, vb = sbb / n - sb / n * sb / n;
        EXPECT_NEAR((sab / n - sa / n * sb / n) / std::sqrt(va * vb), k.sampleRho, k.tolerance);
        EXPECT_NEAR(std::sqrt(va), 1, 0.06);
        EXPECT_NEAR(std::sqrt(vb), 1, 0.06);
    }
}

TEST(Draws, RefusesImpossibleUncertainties)
{
    Uncertainties negative = Only(unK1, -0.1);
    Uncertainties notANumber = Only(unU2, std::nan(""));
    Uncertainties tooStrong = Only(unK1, 0.1);
    tooStrong.SetRho(unK1, unK2, 1.5);
    // Three correlations that cannot hold together.
    Uncertainties contradictory;
    contradictory.SetRho(unU01, unU02, 0.9);
    contradictory.SetRho(unU01, unK1, 0.9);
    contradictory.SetRho(unU02, unK1, -0.9);
    Uncertainties wrongSize;
    wrongSize.Correlation = {1, 0, 0, 1};
    Uncertainties asymmetric;
    asymmetric.SetRho(unU1, unU2, 0.3);
    asymmetric.Correlation[unU1 * UncertainCount + unU2] = 0.2;
    for (const Uncertainties* u : {&negative, &notANumber, &tooStrong, &contradictory, &wrongSize, &asymmetric}) {
        EXPECT_NE(UncertaintyRefusal(*u), "");
        EXPECT_THROW(DrawDeviations(*u, {}), Exception);
    }
    // Setting every correlation back to 0 drops the matrix: the same as never set.
    Uncertainties back = Only(unK1, 0.1);
    back.SetRho(unK1, unK2, 0.5);
    back.SetRho(unK1, unK2, 0);
    EXPECT_EQ(back, Only(unK1, 0.1));
}

// Rs at c of the parameters with one of them moved by delta.
double RsMoved(const Params& base, int parameter, double delta, double c)
{
    PhysParams p = base.phys;
    double deviation[UncertainCount] = {};
    deviation[parameter] = delta;
    ApplyDraw(p, deviation);
    return *AnalyseAt(p, c, {}).Rs;
}

TEST(Band, LinearRegimeMatchesPropagation)
{
    // One parameter at a time with a small uncertainty: the band is Rs -+ 1.645 |dRs/dp| u(p),
    // the median Rs, and P(Rs >= 1.5) = Phi((Rs - 1.5) / (|dRs/dp| u(p))).
    const Params p = Pair();
    const struct {
        int parameter;
        double u;
    } cases[] = {{unK2, 0.003}, {unU2, 0.05e-9}, {unU01, 0.05e-9}, {unK1, 0.002}};
    const std::vector<double> c = {1, 2, 5, 10, 30};
    MonteCarloOptions mc;
    mc.Draws = 20000;
    for (const auto& k : cases) {
        SCOPED_TRACE(UncertainKey(k.parameter));
        const RsBand band = ComputeRsBand(p, Only(k.parameter, k.u), {}, c, mc);
        ASSERT_EQ(band.Points.size(), c.size());
        EXPECT_EQ(band.Draws, 20000);
        EXPECT_EQ(band.ClippedK, 0);
        for (size_t i = 0; i < c.size(); ++i) {
            SCOPED_TRACE(c[i]);
            const double h = k.u * 1e-3;
            const double slope = (RsMoved(p, k.parameter, h, c[i]) - RsMoved(p, k.parameter, -h, c[i])) / (2 * h);
            const double rs = *AnalyseAt(p, c[i], {}).Rs, sigma = std::fabs(slope) * k.u;
            const BandPoint& b = band.Points[i];
            ASSERT_TRUE(b.Rs05 && b.Rs50 && b.Rs95);
            EXPECT_DOUBLE_EQ(*b.Rs, rs);
            // The quantiles of 20,000 draws scatter by about 0.015 sigma.
            EXPECT_NEAR(*b.Rs05, rs - 1.6448536269514722 * sigma, 0.07 * sigma + 1e-12);
            EXPECT_NEAR(*b.Rs95, rs + 1.6448536269514722 * sigma, 0.07 * sigma + 1e-12);
            EXPECT_NEAR(*b.Rs50, rs, 0.04 * sigma + 1e-12);
            EXPECT_NEAR(b.PGood, Phi((rs - 1.5) / sigma), 0.012);
        }
    }
}

TEST(Band, RepeatsWithTheSeed)
{
    const Params p = Pair();
    Uncertainties u = Only(unK1, 0.01);
    u.u[unK2] = 0.01;
    u.SetRho(unK1, unK2, 0.5);
    const std::vector<double> c = ScaleConcentrations(AnalysisScale(p), 41);
    const RsBand a = ComputeRsBand(p, u, {}, c), b = ComputeRsBand(p, u, {}, c);
    MonteCarloOptions other;
    other.Seed = 99;
    const RsBand d = ComputeRsBand(p, u, {}, c, other);
    bool differs = false;
    for (size_t i = 0; i < c.size(); ++i) {
        EXPECT_EQ(a.Points[i].Rs05, b.Points[i].Rs05);
        EXPECT_EQ(a.Points[i].Rs95, b.Points[i].Rs95);
        EXPECT_EQ(a.Points[i].PGood, b.Points[i].PGood);
        differs = differs || a.Points[i].Rs05 != d.Points[i].Rs05;
    }
    EXPECT_EQ(a.Optimum.c05, b.Optimum.c05);
    EXPECT_TRUE(differs);
    // Fewer draws than the least are raised to it.
    MonteCarloOptions few;
    few.Draws = 10;
    EXPECT_EQ(ComputeRsBand(p, u, {}, c, few).Draws, MinDraws);
}

TEST(Band, PerfectlyCorrelatedMobilitiesMoveTogether)
{
    // Both free mobilities uncertain: moved together they shift both peaks alike, moved
    // independently they change the separation itself.
    const Params p = Pair();
    Uncertainties independent;
    independent.u[unU01] = independent.u[unU02] = 0.2e-9;
    Uncertainties together = independent;
    together.SetRho(unU01, unU02, 1);
    const std::vector<double> c = {2, 5, 10};
    const RsBand a = ComputeRsBand(p, independent, {}, c), b = ComputeRsBand(p, together, {}, c);
    for (size_t i = 0; i < c.size(); ++i) {
        const double wide = *a.Points[i].Rs95 - *a.Points[i].Rs05, narrow = *b.Points[i].Rs95 - *b.Points[i].Rs05;
        EXPECT_LT(narrow, 0.3 * wide) << c[i];
    }
}

TEST(Band, NoUncertaintyGivesAZeroWidthBand)
{
    const Params p = Pair();
    const std::vector<double> c = ScaleConcentrations(AnalysisScale(p), 21);
    AnalysisOptions o;
    o.LongestRun = 500;
    const RsBand band = ComputeRsBand(p, Uncertainties(), o, c);
    for (const BandPoint& b : band.Points) {
        EXPECT_EQ(b.Rs05, b.Rs);
        EXPECT_EQ(b.Rs50, b.Rs);
        EXPECT_EQ(b.Rs95, b.Rs);
        const PeakFigures f = AnalyseAt(p, b.c, o);
        EXPECT_EQ(b.PGood, f.Rs && *f.Rs >= 1.5 && !f.TooLong ? 1.0 : 0.0) << b.c;
    }
    // Every draw's optimum is the analysis' own.
    ASSERT_EQ(band.Optimum.Draws, band.Draws);
    EXPECT_EQ(band.Optimum.c05, band.Optimum.c95);
    const SeparationAnalysis a = Analyse(p, o);
    ASSERT_TRUE(a.RsOptimum);
    EXPECT_NEAR(*band.Optimum.c50, a.RsOptimum->c, 1e-6 * a.RsOptimum->c);
}

TEST(Band, NegativeConstantsAreClippedAndCounted)
{
    // K1 = 0.2 +- 0.5: P(K1 < 0) = Phi(-0.4) = 0.3446.
    const RsBand band = ComputeRsBand(Pair(), Only(unK1, 0.5), {}, {1, 10});
    EXPECT_NEAR(double(band.ClippedK) / band.Draws, 0.3446, 0.05);
    for (const BandPoint& b : band.Points) {
        ASSERT_TRUE(b.Rs05 && b.Rs95);
        EXPECT_TRUE(std::isfinite(*b.Rs05) && std::isfinite(*b.Rs95));
    }
}

TEST(Band, CancelledBandHasNoPoints)
{
    const RsBand band = ComputeRsBand(Pair(), Only(unK1, 0.01), {}, {1, 2, 3}, {}, [](int done, int) { return done < 10; });
    EXPECT_TRUE(band.Cancelled);
    EXPECT_TRUE(band.Points.empty());
}

TEST(ProbabilityMap, SameDrawsAsTheBandAtEveryPoint)
{
    // At the dependency's own voltage a map row is the band's P(Rs >= 1.5) at the same concentrations.
    const Params p = Pair();
    Uncertainties u = Only(unK2, 0.02);
    DesignSpaceSettings s;
    s.Y = TMapCondition::Voltage, s.yFrom = 15000, s.yTo = 25000, s.nx = 11, s.ny = 3;
    const ProbabilityMap one = ComputeProbabilityMap(p, s, u, {}, {}, 1);
    const ProbabilityMap two = ComputeProbabilityMap(p, s, u, {}, {}, 2);
    ASSERT_EQ(one.P.size(), 33u);
    EXPECT_EQ(one.P, two.P);
    ConcentrationScale scale;
    std::vector<double> x, y;
    MapAxes(p, s, scale, x, y);
    const RsBand band = ComputeRsBand(p, u, {}, x);
    for (size_t i = 0; i < x.size(); ++i) {
        ASSERT_TRUE(one.P[22 + i]);
        EXPECT_EQ(*one.P[22 + i], band.Points[i].PGood) << x[i];
    }
    const ProbabilityMap cancelled = ComputeProbabilityMap(p, s, u, {}, [](int, int) { return false; }, 1);
    EXPECT_TRUE(cancelled.Cancelled);
    EXPECT_TRUE(cancelled.P.empty());
}

// Fourteen rows of each analyte (u0 20, uCS 5, K 0.2 and u0 20, uCS 6, K 0.3, noise 0.15), as in
// the fit's tests.
Measurements Noisy()
{
    const double c[] = {0, 0, 1, 1, 2, 2, 5, 5, 10, 10, 20, 20, 50, 50};
    const double u1[] = {19.998281, 19.899037, 17.556516, 17.695254, 15.95755, 15.804913, 12.503961,
                         12.456379, 9.927944,  9.837992,  7.754846,  7.72036,  6.516981, 6.350848};
    const double u2[] = {20.146947, 19.781252, 16.804919, 16.76283, 14.848365, 14.709541, 11.739067,
                         11.746998, 9.699104,  9.181233,  7.81493,  8.211848, 7.262113, 6.950841};
    Measurements m;
    for (int j = 0; j < 14; ++j) {
        MeasuredRow row;
        row.c = c[j];
        row.u[0] = u1[j] * 1e-9;
        row.u[1] = u2[j] * 1e-9;
        m.Rows.push_back(row);
    }
    return m;
}

TEST(FromFit, SeparateAndJointFits)
{
    const Params p = Pair();
    Measurements m = Noisy();
    const std::vector<FitResult> separate = FitMeasurements(m, p.phys);
    ASSERT_EQ(separate.size(), 2u);
    const Uncertainties a = UncertaintiesFromFit(separate);
    EXPECT_TRUE(a.FromFit);
    EXPECT_EQ(UncertaintyRefusal(a), "");
    const struct {
        int analyte;
        const char* name;
        int parameter;
    } rows[] = {{0, "u0", unU01}, {0, "uCS", unU1}, {0, "K", unK1}, {1, "u0", unU02}, {1, "uCS", unU2}, {1, "K", unK2}};
    for (const auto& r : rows) {
        const FitEstimate* e = separate[size_t(r.analyte)].Find(r.analyte, r.name);
        ASSERT_TRUE(e && e->StdError);
        EXPECT_NEAR(a.u[size_t(r.parameter)], *e->StdError, 1e-12 * *e->StdError);
    }
    // Separate fits: the analytes are independent; within one, K and uCS are correlated.
    EXPECT_EQ(a.Rho(unK1, unK2), 0);
    EXPECT_NE(a.Rho(unK1, unU1), 0);

    m.Options.SharedU0 = true;
    const std::vector<FitResult> joint = FitMeasurements(m, p.phys);
    ASSERT_EQ(joint.size(), 1u);
    const Uncertainties b = UncertaintiesFromFit(joint);
    EXPECT_EQ(UncertaintyRefusal(b), "");
    const FitEstimate* u0 = joint[0].Find(-1, "u0");
    ASSERT_TRUE(u0 && u0->StdError);
    EXPECT_NEAR(b.u[unU01], *u0->StdError, 1e-12 * *u0->StdError);
    EXPECT_EQ(b.u[unU01], b.u[unU02]);
    EXPECT_EQ(b.Rho(unU01, unU02), 1);
    EXPECT_EQ(b.Rho(unU01, unK1), b.Rho(unU02, unK1));
    // The covariance gives the fit's own standard error of K2 - K1.
    const FitEstimate* diff = joint[0].Find(-1, "K2-K1");
    ASSERT_TRUE(diff && diff->StdError);
    const double var = b.Covariance(unK1, unK1) + b.Covariance(unK2, unK2) - 2 * b.Covariance(unK1, unK2);
    EXPECT_NEAR(std::sqrt(var), *diff->StdError, 1e-9 * *diff->StdError);
    // Draws from it: u01 and u02 move as one.
    const std::vector<double> d = DrawDeviations(b, {});
    for (int k = 0; k < 50; ++k)
        EXPECT_NEAR(d[size_t(k) * UncertainCount + unU01], d[size_t(k) * UncertainCount + unU02], 1e-6 * b.u[unU01]);
}

TEST(FromFit, HeldParametersAndFailedFitsGiveNone)
{
    Measurements m = Noisy();
    m.Options.Fixed[0][fpK] = true;
    for (MeasuredRow& r : m.Rows) r.u[1].reset();  // analyte 2 not measured
    const Uncertainties u = UncertaintiesFromFit(FitMeasurements(m, Pair().phys));
    EXPECT_GT(u.u[unU01], 0);
    EXPECT_GT(u.u[unU1], 0);
    EXPECT_EQ(u.u[unK1], 0);
    EXPECT_EQ(u.Rho(unK1, unU1), 0);
    for (int k : {unU02, unU2, unK2}) EXPECT_EQ(u.u[size_t(k)], 0);
    // Two rows for three parameters: no values, no uncertainties.
    Measurements few = Noisy();
    few.Rows.resize(2);
    EXPECT_FALSE(UncertaintiesFromFit(FitMeasurements(few, Pair().phys)).Any());
}

}  // namespace
