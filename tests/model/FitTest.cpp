#include "model/Fit.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double U = 1e-9;  // mobilities in the tests' data are in 1e-9 m^2/(V s)

double Isotherm(double u0, double uCS, double K, double c)
{
    return (u0 + uCS * K * c) / (1 + K * c);
}

// Rows measured as mobilities: analyte 1 from u1, analyte 2 from u2 (empty vectors: not measured).
Measurements Mobilities(const std::vector<double>& c, const std::vector<double>& u1, const std::vector<double>& u2 = {})
{
    Measurements m;
    for (size_t j = 0; j < c.size(); ++j) {
        MeasuredRow row;
        row.c = c[j];
        if (j < u1.size())
            row.u[0] = u1[j] * U;
        if (j < u2.size())
            row.u[1] = u2[j] * U;
        m.Rows.push_back(row);
    }
    return m;
}

// Fourteen rows (duplicates at 7 concentrations) of u0 20, uCS 5, K 0.2 (analyte 1) and u0 20,
// uCS 6, K 0.3 (analyte 2) with Gaussian noise of 0.15 (python's random, seed 26).
const std::vector<double> NoisyC = {0, 0, 1, 1, 2, 2, 5, 5, 10, 10, 20, 20, 50, 50};
const std::vector<double> Noisy1 = {19.998281, 19.899037, 17.556516, 17.695254, 15.95755, 15.804913, 12.503961,
                                    12.456379, 9.927944,  9.837992,  7.754846,  7.72036,  6.516981, 6.350848};
const std::vector<double> Noisy2 = {20.146947, 19.781252, 16.804919, 16.76283, 14.848365, 14.709541, 11.739067,
                                    11.746998, 9.699104,  9.181233,  7.81493,  8.211848, 7.262113, 6.950841};

// Expected figures: value, standard error, interval ends (1e-9 units for mobilities).
struct Expected {
    int Analyte;
    const char* Name;
    double Value, Se, Low, High;
};

void ExpectNear4(double Actual, double Expected, const char* What)
{
    EXPECT_NEAR(Actual, Expected, std::abs(Expected) * 1e-4 + 1e-15) << What;
}

void ExpectEstimates(const FitResult& R, const std::vector<Expected>& Rows)
{
    ASSERT_TRUE(R.HasValues()) << R.Message;
    for (const Expected& x : Rows) {
        const FitEstimate* e = R.Find(x.Analyte, x.Name);
        ASSERT_NE(e, nullptr) << x.Name;
        const double unit = std::string(x.Name).starts_with("K") ? 1 : U;
        SCOPED_TRACE(std::string(x.Name) + " of analyte " + std::to_string(x.Analyte));
        ExpectNear4(e->Value / unit, x.Value, "value");
        ASSERT_TRUE(e->StdError && e->Low && e->High);
        ExpectNear4(*e->StdError / unit, x.Se, "standard error");
        ExpectNear4(*e->Low / unit, x.Low, "low");
        ExpectNear4(*e->High / unit, x.High, "high");
    }
}

} // namespace

TEST(FitTest, StudentQuantilesAreTheTablesOnes)
{
    EXPECT_NEAR(StudentQuantile(11, 0.975), 2.200985160, 1e-8);
    EXPECT_NEAR(StudentQuantile(3, 0.975), 3.182446305, 1e-8);
    EXPECT_NEAR(StudentQuantile(100, 0.975), 1.983971519, 1e-8);
}

TEST(FitTest, NoiseFreeDataGiveTheParametersBack)
{
    struct Case {
        double u0, uCS, K;
        std::vector<double> c;
    } cases[] = {
        {20, 5, 0.2, {0, 1, 2, 5, 10, 20, 50}},
        {-15, -30, 0.05, {0, 2, 5, 10, 20, 40, 80, 120}},
        {18, 2, 1.5, {0.1, 0.3, 1, 3, 10}},        // no row at c = 0: the scan over K starts it
        {-25, 3, 0.01, {0, 10, 30, 100, 300, 1000}},
    };
    for (const Case& k : cases) {
        std::vector<double> u;
        for (double c : k.c)
            u.push_back(Isotherm(k.u0, k.uCS, k.K, c));
        const auto results = FitMeasurements(Mobilities(k.c, u), PhysParams());
        ASSERT_EQ(results.size(), 1u);
        const FitResult& r = results[0];
        ASSERT_TRUE(r.HasValues()) << r.Message;
        EXPECT_EQ(r.n, static_cast<int>(k.c.size()));
        EXPECT_NEAR(r.Find(0, "u0")->Value, k.u0 * U, std::abs(k.u0 * U) * 1e-8);
        EXPECT_NEAR(r.Find(0, "uCS")->Value, k.uCS * U, std::abs(k.uCS * U) * 1e-8);
        EXPECT_NEAR(r.Find(0, "K")->Value, k.K, k.K * 1e-8);
        EXPECT_NEAR(*r.R2, 1, 1e-12);
    }
}

// Reference figures from an independent fit in python (Gauss-Newton on the normal equations,
// profiles by bisection, t quantiles from the incomplete beta function).
TEST(FitTest, NoisyDataGiveTheReferenceValuesErrorsAndProfileIntervals)
{
    const auto results = FitMeasurements(Mobilities(NoisyC, Noisy1), PhysParams());
    ASSERT_EQ(results.size(), 1u);
    const FitResult& r = results[0];
    ExpectEstimates(r, {{0, "u0", 20.05334214, 0.09700994959, 19.842636474535922, 20.26559475960469},
                        {0, "uCS", 4.8595062, 0.1328991703, 4.566980878213938, 5.143437491640242},
                        {0, "K", 0.1977213549, 0.007067067394, 0.18304418166822622, 0.21342721122104302}});
    EXPECT_EQ(r.n, 14);
    ExpectNear4(*r.RSS / (U * U), 0.2649734517, "RSS");
    ExpectNear4(*r.s / U, 0.1552046894, "s");
    EXPECT_NEAR(*r.R2, 0.9991649322, 1e-8);
    // The interval of K is asymmetric, as the profile is.
    const FitEstimate& K = *r.Find(0, "K");
    EXPECT_GT(*K.High - K.Value, K.Value - *K.Low);
}

TEST(FitTest, AFixedParameterKeepsTheDependencysValue)
{
    PhysParams phys;
    phys.u01 = 20 * U;
    Measurements m = Mobilities(NoisyC, Noisy1);
    m.Options.Fixed[0][fpU0] = true;
    const auto results = FitMeasurements(m, phys);
    ASSERT_EQ(results.size(), 1u);
    const FitResult& r = results[0];
    ExpectEstimates(r, {{0, "uCS", 4.83927428, 0.1239870644, 4.569059400279542, 5.103615425536438},
                        {0, "K", 0.1953483961, 0.005278573493, 0.18437190972609757, 0.20701962173225402}});
    const FitEstimate& u0 = *r.Find(0, "u0");
    EXPECT_TRUE(u0.Fixed);
    EXPECT_EQ(u0.Value, 20 * U);
    EXPECT_FALSE(u0.StdError || u0.Low || u0.High);
    EXPECT_EQ(r.Free, 2);
    ExpectNear4(*r.s / U, 0.150668278, "s");
}

TEST(FitTest, TheSharedFreeMobilityGivesTheDifferenceOfTheConstants)
{
    Measurements m = Mobilities(NoisyC, Noisy1, Noisy2);
    m.Options.SharedU0 = true;
    const auto results = FitMeasurements(m, PhysParams());
    ASSERT_EQ(results.size(), 1u);
    const FitResult& r = results[0];
    EXPECT_EQ(r.Analyte, -1);
    ExpectEstimates(r, {{-1, "u0", 20.02086551, 0.07959756385, 19.857709202502832, 20.184816790916557},
                        {0, "uCS", 4.847202207, 0.1475238827, 4.541707860364916, 5.144142790754287},
                        {0, "K", 0.1962742561, 0.007160006532, 0.1822622521962416, 0.21128221227072996},
                        {1, "uCS", 6.140989347, 0.121021198, 5.888646478694561, 6.387684269261214},
                        {1, "K", 0.3046657054, 0.01108804517, 0.28268241702278163, 0.3282699602152944},
                        {-1, "K2-K1", 0.1083914493, 0.01166133397, 0.08487990877101301, 0.1328735555369457}});
    EXPECT_EQ(r.n, 28);
    ExpectNear4(*r.RSS / (U * U), 0.7067126845, "RSS");
    ExpectNear4(*r.s / U, 0.175290155, "s");
    EXPECT_NEAR(*r.R2, 0.9988111326, 1e-8);

    // Without the option each analyte has its own fit.
    m.Options.SharedU0 = false;
    const auto apart = FitMeasurements(m, PhysParams());
    ASSERT_EQ(apart.size(), 2u);
    EXPECT_EQ(apart[0].Analyte, 0);
    EXPECT_EQ(apart[1].Analyte, 1);
}

TEST(FitTest, TimesGiveMobilitiesUnderTheRunConditionsWithTheViscositySlope)
{
    PhysParams phys;  // 48.5 cm, 40 cm to the detector, 25 kV
    MeasuredRow row;
    row.c = 10;
    row.t[0] = 3.0;
    row.tEOF = 2.0;
    row.u[1] = 12 * U;
    // (0.485 * 0.4 / 25000) * (1/180 - 1/120) = -2.155555...e-8
    EXPECT_NEAR(*MeasuredMobility(row, 0, phys, 0), -2.1555555555555556e-8, 1e-20);
    EXPECT_NEAR(*MeasuredMobility(row, 0, phys, 0.01), -2.3711111111111111e-8, 1e-20);
    EXPECT_NEAR(*MeasuredMobility(row, 1, phys, 0.01), 13.2e-9, 1e-20);
    // A time without tEOF is no measurement; a mobility entered beside it is.
    row.tEOF.reset();
    EXPECT_FALSE(MeasuredMobility(row, 0, phys, 0));
    EXPECT_FALSE(MeasuredTime(row, 0));
    row.u[0] = 7 * U;
    EXPECT_NEAR(*MeasuredMobility(row, 0, phys, 0), 7e-9, 1e-22);

    // Times made from a known isotherm fit back to it.
    Measurements m;
    m.ViscositySlope = 0.002;
    const double tEOF = 2.5, lengths = 0.485 * 0.4 / 25000;
    for (double c : {0.0, 1.0, 3.0, 8.0, 20.0, 45.0}) {
        MeasuredRow r;
        r.c = c;
        r.tEOF = tEOF;
        const double u = Isotherm(-20, -5, 0.2, c) * U / (1 + m.ViscositySlope * c);
        r.t[0] = 1 / (u / lengths + 1 / (tEOF * 60)) / 60;
        m.Rows.push_back(r);
    }
    const auto results = FitMeasurements(m, phys);
    ASSERT_EQ(results.size(), 1u);
    ASSERT_TRUE(results[0].HasValues()) << results[0].Message;
    EXPECT_NEAR(results[0].Find(0, "K")->Value, 0.2, 0.2 * 1e-8);
    EXPECT_NEAR(results[0].Find(0, "u0")->Value, -20 * U, 20 * U * 1e-8);
}

TEST(FitTest, FailuresGiveAMessageAndNoNumbers)
{
    MeasuredRow faulty;
    faulty.c = 1;
    faulty.t[0] = 0;
    faulty.tEOF = 2;
    Measurements zeroTime;
    zeroTime.Rows = {faulty};
    struct Case {
        const char* What;
        Measurements Data;
        const char* Message;
        int n;
    } cases[] = {
        {"two rows, three parameters", Mobilities({0, 5}, {20, 10}), "2 measured rows for 3 free parameters", 2},
        {"K far too small for the range", Mobilities({0, 0.1, 0.2, 0.3, 0.5}, {20, 19.9985, 19.997, 19.9955, 19.9925}),
         "K cannot be determined", 5},
        {"one concentration only", Mobilities({4, 4, 4, 4}, {12, 12.1, 11.9, 12.05}), "cannot be determined", 4},
        {"a time of 0", zeroTime, "row 1: Floating point division by zero", 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.What);
        const auto results = FitMeasurements(k.Data, PhysParams());
        ASSERT_EQ(results.size(), 1u);
        EXPECT_FALSE(results[0].HasValues());
        EXPECT_NE(results[0].Message.find(k.Message), std::string::npos) << results[0].Message;
        EXPECT_TRUE(results[0].Estimates.empty());
        EXPECT_FALSE(results[0].RSS || results[0].s || results[0].R2);
        EXPECT_EQ(results[0].n, k.n);
    }
    // Nothing measured: no fit at all.
    EXPECT_TRUE(FitMeasurements(Measurements(), PhysParams()).empty());
}

TEST(FitTest, AsManyRowsAsParametersGiveValuesOnly)
{
    const auto results = FitMeasurements(Mobilities({0, 5, 20}, {Isotherm(20, 5, 0.2, 0), Isotherm(20, 5, 0.2, 5),
                                                                 Isotherm(20, 5, 0.2, 20)}),
                                         PhysParams());
    ASSERT_EQ(results.size(), 1u);
    const FitResult& r = results[0];
    ASSERT_TRUE(r.HasValues()) << r.Message;
    EXPECT_NEAR(r.Find(0, "K")->Value, 0.2, 1e-9);
    for (const FitEstimate& e : r.Estimates)
        EXPECT_FALSE(e.StdError || e.Low || e.High) << e.Name;
    EXPECT_FALSE(r.s);
    EXPECT_TRUE(r.RSS);
}

TEST(FitTest, WeightingNeedsReplicatesThatScatter)
{
    Measurements m = Mobilities(NoisyC, Noisy1);
    m.Options.Weighted = true;
    auto results = FitMeasurements(m, PhysParams());
    ASSERT_EQ(results.size(), 1u);
    ASSERT_TRUE(results[0].HasValues()) << results[0].Message;
    EXPECT_NEAR(results[0].Find(0, "K")->Value, 0.2, 0.02);
    m.Rows.pop_back();  // c = 50 now has one row
    results = FitMeasurements(m, PhysParams());
    ASSERT_EQ(results.size(), 1u);
    EXPECT_NE(results[0].Message.find("c = 50 mM has one"), std::string::npos) << results[0].Message;
}

// Four rows, one degree of freedom (t = 12.706): the profile of K reaches K = 0 below the level,
// so the interval starts at 0, and the upper end is never reached.
TEST(FitTest, AnIntervalEndsAtTheBoundOrNowhere)
{
    const std::vector<double> c = {0, 1, 2, 4}, u = {20, 18.2, 17.4, 15.1};
    const auto results = FitMeasurements(Mobilities(c, u), PhysParams());
    ASSERT_EQ(results.size(), 1u);
    const FitResult& r = results[0];
    ASSERT_TRUE(r.HasValues()) << r.Message;
    const FitEstimate& K = *r.Find(0, "K");
    // At K = 0 the isotherm is the constant u0 whatever uCS: the profile there is the scatter
    // about the mean, which lies below RSS + t^2 s^2.
    double mean = 0, total = 0;
    for (double x : u)
        mean += x / u.size();
    for (double x : u)
        total += (x - mean) * (x - mean);
    const double rss = *r.RSS / (U * U), t = 12.7062047361747;
    ASSERT_LT(total, rss + t * t * rss);
    ASSERT_TRUE(K.Low);
    EXPECT_EQ(*K.Low, 0);
    EXPECT_FALSE(K.High);
}
