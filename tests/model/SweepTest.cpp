// Values of one concentration and the concentration loop, without a chart.
#include "model/Sweep.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct Collect {
    std::vector<double> c, t1, t2, mc, y;
    void AddTimes(double x, double a, double b)
    {
        c.push_back(x);
        t1.push_back(a);
        t2.push_back(b);
    }
    void AddMeasure(double x, double v)
    {
        mc.push_back(x);
        y.push_back(v);
    }
};

Collect Collected(const Params& p, int choice)
{
    Collect s;
    RunSweep(p, choice, s);
    return s;
}

// The hand-check set: two analytes with equal free (20) and complex (10)
// mobilities, constants 200 and 500 per M, 48.5 cm capillary, 40 cm to the
// detector, 25 kV, EOF 30 (mobilities in 1e-9 m^2/(V s)).
Params HandCheck()
{
    Params p;
    p.phys.u01 = p.phys.u02 = 20e-9;
    p.phys.u1 = p.phys.u2 = 10e-9;
    p.phys.K1 = 0.2;
    p.phys.K2 = 0.5;
    p.phys.EOF = 30e-9;
    p.Derive();
    return p;
}

// Migration time in minutes from the textbook form of the effective mobility,
// (u0 + K c uCS) / (1 + K c), independent of the model's code.
double TextbookMinutes(double c, double K)
{
    const double ueff = (20e-9 + K * c * 10e-9) / (1 + K * c);
    const double velocity = (30e-9 + ueff) * 25000 / 0.485;
    return 0.4 / velocity / 60;
}

TEST(GraphChoices, TextsInComboOrder)
{
    EXPECT_EQ(GraphText(gcTimeDifference), "Time difference / min");
    EXPECT_EQ(GraphText(gcMobilityDifference), "Mobility dif. / 1E-9 m.m/V/s");
    EXPECT_EQ(GraphText(gcMobilityFactor), "Mobility factor");
    EXPECT_EQ(GraphText(gcMobilityFactorEOF), "Mobility factor (EOF)");
    EXPECT_EQ(GraphText(gcSelectivity), "Selectivity");
    EXPECT_EQ(GraphText(gcSelectivityEOF), "Selectivity (EOF)");
    EXPECT_EQ(GraphText(-1), "");
    EXPECT_EQ(GraphText(6), "");
}

TEST(HandCheck, MigrationTimesMatchTheTextbookForm)
{
    const Params p = HandCheck();
    const Collect s = Collected(p, gcTimeDifference);
    ASSERT_EQ(s.c.size(), 22u);
    EXPECT_NEAR(s.t1[0], 2.586666666666667, 1e-12);  // 155.2 s with no selector
    for (std::size_t i = 0; i < s.c.size(); i += 3) {
        EXPECT_NEAR(s.t1[i], TextbookMinutes(s.c[i], 0.2), 1e-12) << s.c[i];
        EXPECT_NEAR(s.t2[i], TextbookMinutes(s.c[i], 0.5), 1e-12) << s.c[i];
        EXPECT_NEAR(s.y[i], std::fabs(s.t2[i] - s.t1[i]), 1e-12);
    }
    const PointValues v(p, 10);
    EXPECT_NEAR(v.t1 / 60, 38.8 / 13, 1e-12);  // ueff1 = 40/3
}

TEST(HandCheck, MobilityDifferencePeaksAtInverseRootOfTheConstants)
{
    Params p = HandCheck();
    p.cMax = 20;
    p.points = 20000;
    const Collect s = Collected(p, gcMobilityDifference);
    std::size_t best = 0;
    for (std::size_t i = 1; i < s.y.size(); ++i)
        if (s.y[i] > s.y[best]) best = i;
    EXPECT_NEAR(s.mc[best], 1 / std::sqrt(0.2 * 0.5), 0.002);  // 3.162 mM
    // du = (u0 - uCS) |x2 - x1| in 1e-9 units at the peak.
    const double x1 = 0.2 * s.mc[best] / (0.2 * s.mc[best] + 1);
    const double x2 = 0.5 * s.mc[best] / (0.5 * s.mc[best] + 1);
    EXPECT_NEAR(s.y[best], 10 * (x2 - x1), 1e-9);
}

TEST(PointValuesTest, ZeroConstantsGiveFreeMobilitiesAndFlatCurves)
{
    Params p;
    p.phys.u01 = 25e-9;
    p.phys.u02 = 15e-9;
    p.phys.u1 = p.phys.u2 = 5e-9;
    p.Derive();
    const Collect s = Collected(p, gcSelectivity);
    for (std::size_t i = 0; i < s.c.size(); ++i) {
        EXPECT_EQ(s.t1[i], s.t1[0]);
        EXPECT_EQ(s.t2[i], s.t2[0]);
        EXPECT_DOUBLE_EQ(s.y[i], 25.0 / 15.0);
    }
    const PointValues v(p.phys, 7);
    EXPECT_EQ(v.x1, 0);
    EXPECT_EQ(v.ueff1, 25e-9);
    EXPECT_EQ(v.ueff2, 15e-9);
}

TEST(PointValuesTest, DefaultsGiveZeroEverywhere)
{
    const Params p;
    for (int choice = 0; choice < GraphChoiceCount; ++choice) {
        const Collect s = Collected(p, choice);
        ASSERT_EQ(s.c.size(), 22u);
        ASSERT_EQ(s.y.size(), 22u);
        for (std::size_t i = 0; i < s.c.size(); ++i) {
            EXPECT_EQ(s.t1[i], 0);
            EXPECT_EQ(s.t2[i], 0);
            EXPECT_EQ(s.y[i], 0);
        }
    }
}

TEST(PointValuesTest, OppositeDirectionsGiveOppositeTimes)
{
    PhysParams p;
    p.u01 = 20e-9;
    p.u02 = -20e-9;
    p.EOF = 0;
    p.Derive();
    const PointValues v(p, 0);
    EXPECT_GT(v.t1, 0);
    EXPECT_LT(v.t2, 0);
    EXPECT_DOUBLE_EQ(v.t2, -v.t1);
    EXPECT_DOUBLE_EQ(v.dt, v.t1 - v.t2);
    EXPECT_DOUBLE_EQ(v.du, 40e-9);
    EXPECT_EQ(v.mobilityFactor, 0);  // ueff1 + ueff2 = 0
    EXPECT_DOUBLE_EQ(v.Measure(gcTimeDifference), v.dt / 60);
    EXPECT_DOUBLE_EQ(v.Measure(gcMobilityDifference), 40);
}

TEST(PointValuesTest, StandingAnalyteHasTimeZero)
{
    PhysParams p;
    p.u01 = -10e-9;
    p.EOF = 10e-9;
    p.u02 = 5e-9;
    p.Derive();
    const PointValues v(p, 3);
    EXPECT_EQ(v.vel1, 0);
    EXPECT_EQ(v.t1, 0);
    EXPECT_GT(v.t2, 0);
    EXPECT_EQ(v.dt, v.t2);
}

TEST(PointValuesTest, SlopeOfTheEofEntersTheVelocityButNotTheMeasures)
{
    PhysParams p;
    p.u01 = 10e-9;
    p.u02 = 20e-9;
    p.EOF = 5e-9;
    p.EOFSlope = 1e-9;
    p.Pressure = 1000;
    p.Derive();
    const PointValues v(p, 4);
    EXPECT_DOUBLE_EQ(v.vel1, (4e-9 + 5e-9 + 10e-9) * p.FieldStrength + p.FlowVelocity);
    EXPECT_DOUBLE_EQ(v.mobilityFactorEOF, 2 * 10e-9 / (30e-9 + 10e-9));
    EXPECT_DOUBLE_EQ(v.selectivityEOF, 25.0 / 15.0);
}

TEST(PointValuesTest, MeasuresKeepTheSignsOfTheirDenominators)
{
    PhysParams p;
    p.u01 = -10e-9;
    p.u02 = -30e-9;
    p.EOF = -5e-9;
    p.Derive();
    const PointValues v(p, 0);
    EXPECT_DOUBLE_EQ(v.du, 20e-9);
    EXPECT_DOUBLE_EQ(v.mobilityFactor, -1);  // 40 / -40
    EXPECT_DOUBLE_EQ(v.mobilityFactorEOF, 40.0 / -50);
    // Signed maximum over signed minimum: below 1 for two negative mobilities.
    EXPECT_DOUBLE_EQ(v.selectivity, 1.0 / 3);
    EXPECT_DOUBLE_EQ(v.selectivityEOF, 15.0 / 35);
    EXPECT_GE(v.dt, 0);
}

TEST(PointValuesTest, EveryMeasureIsGuardedAgainstZero)
{
    PhysParams p;
    p.u01 = 10e-9;
    p.u02 = -10e-9;  // sum 0
    p.EOF = 0;
    p.Derive();
    PointValues v(p, 0);
    EXPECT_EQ(v.mobilityFactor, 0);
    EXPECT_EQ(v.mobilityFactorEOF, 0);
    EXPECT_DOUBLE_EQ(v.selectivity, -1);

    p.EOF = 10e-9;  // ueff2 + EOF = 0 is the minimum; the sum with EOF is not 0
    v = PointValues(p, 0);
    EXPECT_EQ(v.selectivityEOF, 0);
    EXPECT_DOUBLE_EQ(v.mobilityFactorEOF, 2);  // 40 / 20

    p.u01 = 0;
    p.u02 = 0;
    p.EOF = 0;
    v = PointValues(p, 0);
    EXPECT_EQ(v.selectivity, 0);  // both zero
    p.u01 = p.u02 = 7e-9;
    v = PointValues(p, 0);
    EXPECT_EQ(v.selectivity, 1);  // equal
    p.u01 = 0;
    v = PointValues(p, 0);
    EXPECT_EQ(v.selectivity, 0);  // minimum zero
}

TEST(PointValuesTest, UnguardedFaultsAreRaised)
{
    PhysParams p;
    p.K1 = -0.5;  // cK + 1 = 0 at c = 2
    EXPECT_THROW(PointValues(p, 2), EZeroDivide);
    p.K1 = 0;
    p.u01 = 1e-300;
    p.Detector = 1e300;
    p.Derive();
    EXPECT_THROW(PointValues(p, 0), EOverflow);
}

TEST(SweepLoop, AccumulatedStepDecidesTheLastPoint)
{
    Params p;
    Collect s = Collected(p, -1);
    ASSERT_EQ(s.c.size(), 22u);
    EXPECT_EQ(s.c.front(), 0);
    EXPECT_DOUBLE_EQ(s.c.back(), 20);
    EXPECT_TRUE(s.y.empty());  // no graph chosen: no third curve

    p.cMin = 5;
    p.cMax = 50;
    p.points = 100;
    s = Collected(p, gcSelectivity);
    ASSERT_EQ(s.c.size(), 100u);
    EXPECT_NEAR(s.c.back(), 49.55, 1e-9);
    EXPECT_EQ(s.mc, s.c);
    // The step is accumulated, not multiplied.
    double c = 5;
    for (int i = 0; i < 57; ++i) c += 0.45;
    EXPECT_EQ(s.c[57], c);
}

TEST(SweepLoop, EndCases)
{
    Params p;
    p.cMin = p.cMax = 3;  // zero step: one point at cMin
    Collect s = Collected(p, gcMobilityFactor);
    EXPECT_EQ(s.c, std::vector<double>{3});
    EXPECT_EQ(s.y.size(), 1u);

    p.cMin = 2;
    p.cMax = 10;
    p.points = -4;  // negative step
    s = Collected(p, gcMobilityFactor);
    EXPECT_EQ(s.c, std::vector<double>{2});

    p.cMin = 12;  // above cMax: nothing, whatever the sign of the step
    EXPECT_TRUE(Collected(p, 0).c.empty());
    p.points = 4;
    EXPECT_TRUE(Collected(p, 0).c.empty());

    p.points = 0;
    EXPECT_THROW(Collected(p, 0), EZeroDivide);
    p.cMin = p.cMax;  // 0 / 0 steps: still no steps at all
    EXPECT_THROW(Collected(p, 0), EZeroDivide);
    p.cMin = 12;

    p.points = MaxSweepPoints + 1;
    try {
        Collected(p, 0);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Too many data points: 1000001 (at most 1000000).");
    }
    p.points = 2147483647;
    EXPECT_THROW(Collected(p, 0), Exception);
}

TEST(SweepLoop, AtMostPointsPlusOneWhateverTheRounding)
{
    Params p;
    p.cMin = 1e15;
    p.cMax = 1e15 + 1;
    p.points = 100;  // the step is far below the spacing of doubles near 1e15
    const Collect s = Collected(p, -1);
    EXPECT_EQ(s.c.size(), 101u);
    p.points = MaxSweepPoints;
    p.cMin = 0;
    p.cMax = 1;
    EXPECT_LE(Collected(p, -1).c.size(), 1000001u);
}

}  // namespace
