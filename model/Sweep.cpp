#include "model/Sweep.h"

#include "model/CheckedFloat.h"

#include <cmath>
#include <string>

using checked::Add;
using checked::Div;
using checked::Mul;
using checked::Sub;

UnicodeString GraphText(int choice)
{
    static const char* const texts[GraphChoiceCount] = {
        "Time difference / min", "Mobility dif. / 1E-9 m.m/V/s", "Mobility factor",
        "Mobility factor (EOF)", "Selectivity",           "Selectivity (EOF)"};
    return choice >= 0 && choice < GraphChoiceCount ? UnicodeString(texts[choice]) : UnicodeString();
}

namespace {

// Complexed fraction cK / (cK + 1).
inline double Fraction(double c, double K)
{
    const double cK = Mul(c, K);
    return Div(cK, Add(cK, 1.0));
}

// (1 - x) u0 + x uCS.
inline double Effective(double x, double u0, double uCS)
{
    return Add(Mul(Sub(1.0, x), u0), Mul(x, uCS));
}

// Time to cover length at velocity; 0 for a standing analyte.
inline double Time(double length, double velocity)
{
    return velocity != 0 ? Div(length, velocity) : 0.0;
}

// max(a, b) / min(a, b) on the signed values; 0 when the minimum is 0.
inline double Ratio(double a, double b)
{
    const double lo = a < b ? a : b;
    const double hi = a < b ? b : a;
    return lo != 0 ? Div(hi, lo) : 0.0;
}

}  // namespace

PointValues::PointValues(const PhysParams& p, double c)
{
    x1 = Fraction(c, p.K1);
    x2 = Fraction(c, p.K2);
    ueff1 = Effective(x1, p.u01, p.u1);
    ueff2 = Effective(x2, p.u02, p.u2);
    // The electro-osmotic mobility grows with the selector concentration.
    const double eof = Add(Mul(p.EOFSlope, c), p.EOF);
    vel1 = Add(Mul(Add(eof, ueff1), p.FieldStrength), p.FlowVelocity);
    vel2 = Add(Mul(Add(eof, ueff2), p.FieldStrength), p.FlowVelocity);
    t1 = Time(p.Detector, vel1);
    t2 = Time(p.Detector, vel2);
    dt = std::fabs(Sub(t2, t1));
    du = std::fabs(Sub(ueff2, ueff1));
    const double sum = Add(ueff1, ueff2);
    const double twice = Mul(2.0, du);
    mobilityFactor = sum != 0 ? Div(twice, sum) : 0.0;
    // The measures with EOF add the constant EOF alone, without the slope term.
    const double sumEOF = Add(sum, Mul(2.0, p.EOF));
    mobilityFactorEOF = sumEOF != 0 ? Div(twice, sumEOF) : 0.0;
    selectivity = Ratio(ueff1, ueff2);
    selectivityEOF = Ratio(Add(ueff1, p.EOF), Add(ueff2, p.EOF));
}

double PointValues::Measure(int choice) const
{
    switch (choice) {
    case gcTimeDifference: return dt * MinutesPerSecond;
    case gcMobilityDifference: return Mul(du, 1e9);
    case gcMobilityFactor: return mobilityFactor;
    case gcMobilityFactorEOF: return mobilityFactorEOF;
    case gcSelectivity: return selectivity;
    case gcSelectivityEOF: return selectivityEOF;
    default: return 0;
    }
}

SweepRange::SweepRange(double cMin, double cMax, std::int32_t points)
    : FMin(cMin), FMax(cMax), FPoints(points), FStep(0)
{
    if (points > MaxSweepPoints)
        throw Exception("Too many data points: " + std::to_string(points) + " (at most 1000000).");
    FStep = Div(Sub(cMax, cMin), static_cast<double>(points));
}
