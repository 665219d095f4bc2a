#include "model/Sweep.h"

#include <cmath>

const TMeasure Measures[GraphChoiceCount] = {
    {"Time difference / min", "dt [s]", &PointValues::dt, MinutesPerSecond},
    {"Mobility dif. / 1E-9 m.m/V/s", "du [m^2/(V s)]", &PointValues::du, 1e9},
    {"Mobility factor", "mobility factor [-]", &PointValues::mobilityFactor, 1},
    {"Mobility factor (EOF)", "mobility factor EOF [-]", &PointValues::mobilityFactorEOF, 1},
    {"Selectivity", "selectivity [-]", &PointValues::selectivity, 1},
    {"Selectivity (EOF)", "selectivity EOF [-]", &PointValues::selectivityEOF, 1},
};

UnicodeString GraphText(int choice)
{
    return choice >= 0 && choice < GraphChoiceCount ? UnicodeString(Measures[choice].Text) : UnicodeString();
}

namespace {

// The arithmetic of one point, written once for two kinds of operations: the
// plain ones of the fast path, and the checked ones that raise a fault.
struct PlainOps {
    static double Add(double a, double b) { return a + b; }
    static double Sub(double a, double b) { return a - b; }
    static double Mul(double a, double b) { return a * b; }
    static double Div(double a, double b) { return a / b; }
};

struct CheckedOps {
    static double Add(double a, double b) { return FAdd(a, b); }
    static double Sub(double a, double b) { return FSub(a, b); }
    static double Mul(double a, double b) { return FMul(a, b); }
    static double Div(double a, double b) { return FDiv(a, b); }
};

// The intermediate results that a guard could hide from the stored values.
struct Hidden {
    double sum, twice, sumEOF, eof1, eof2;
};

// max(a, b) / min(a, b) on the signed values; 0 when the minimum is 0.
template <class Op>
double Ratio(double a, double b)
{
    const double lo = a < b ? a : b;
    const double hi = a < b ? b : a;
    return lo != 0 ? Op::Div(hi, lo) : 0.0;
}

template <class Op>
void Evaluate(PointValues& v, const PhysParams& p, double c, Hidden& h)
{
    // Complexed fractions cK / (cK + 1).
    const double cK1 = Op::Mul(c, p.K1);
    v.x1 = Op::Div(cK1, Op::Add(cK1, 1.0));
    const double cK2 = Op::Mul(c, p.K2);
    v.x2 = Op::Div(cK2, Op::Add(cK2, 1.0));
    // Effective mobilities (1 - x) u0 + x uCS.
    v.ueff1 = Op::Add(Op::Mul(Op::Sub(1.0, v.x1), p.u01), Op::Mul(v.x1, p.u1));
    v.ueff2 = Op::Add(Op::Mul(Op::Sub(1.0, v.x2), p.u02), Op::Mul(v.x2, p.u2));
    // The electro-osmotic mobility grows with the selector concentration.
    const double eof = Op::Add(Op::Mul(p.EOFSlope, c), p.EOF);
    v.vel1 = Op::Add(Op::Mul(Op::Add(eof, v.ueff1), p.FieldStrength), p.FlowVelocity);
    v.vel2 = Op::Add(Op::Mul(Op::Add(eof, v.ueff2), p.FieldStrength), p.FlowVelocity);
    // A standing analyte has the time 0.
    v.t1 = v.vel1 != 0 ? Op::Div(p.Detector, v.vel1) : 0.0;
    v.t2 = v.vel2 != 0 ? Op::Div(p.Detector, v.vel2) : 0.0;
    v.dt = std::fabs(Op::Sub(v.t2, v.t1));
    v.du = std::fabs(Op::Sub(v.ueff2, v.ueff1));
    h.sum = Op::Add(v.ueff1, v.ueff2);
    h.twice = Op::Mul(2.0, v.du);
    v.mobilityFactor = h.sum != 0 ? Op::Div(h.twice, h.sum) : 0.0;
    // The measures with EOF add the constant EOF alone, without the slope term.
    h.sumEOF = Op::Add(h.sum, Op::Mul(2.0, p.EOF));
    v.mobilityFactorEOF = h.sumEOF != 0 ? Op::Div(h.twice, h.sumEOF) : 0.0;
    v.selectivity = Ratio<Op>(v.ueff1, v.ueff2);
    h.eof1 = Op::Add(v.ueff1, p.EOF);
    h.eof2 = Op::Add(v.ueff2, p.EOF);
    v.selectivityEOF = Ratio<Op>(h.eof1, h.eof2);
}

// Every operation of Evaluate feeds a stored value or one of the hidden ones,
// so a fault anywhere leaves an infinity or a NaN among them. x - x is 0 for a
// finite x and NaN otherwise; the sums are paired to keep the chains short.
bool AllFinite(const PointValues& v, const Hidden& h)
{
    auto z = [](double x) { return x - x; };
    const double a = (z(v.x1) + z(v.x2)) + (z(v.ueff1) + z(v.ueff2));
    const double b = (z(v.vel1) + z(v.vel2)) + (z(v.t1) + z(v.t2));
    const double c = (z(v.dt) + z(v.du)) + (z(v.mobilityFactor) + z(v.mobilityFactorEOF));
    const double d = (z(v.selectivity) + z(v.selectivityEOF)) + (z(h.sum) + z(h.twice));
    const double e = z(h.sumEOF) + (z(h.eof1) + z(h.eof2));
    return ((a + b) + (c + d)) + e == 0;
}

}  // namespace

PointValues::PointValues(const PhysParams& p, double c)
{
    // Plain arithmetic first; only when something did not stay finite is the
    // point computed again, operation by operation, to raise the fault that
    // occurred first.
    Hidden h;
    Evaluate<PlainOps>(*this, p, c, h);
    if (!AllFinite(*this, h)) [[unlikely]]
        Evaluate<CheckedOps>(*this, p, c, h);
}

double PointValues::Measure(int choice) const
{
    if (choice < 0 || choice >= GraphChoiceCount)
        return 0;
    const TMeasure& m = Measures[choice];
    return m.Shown == 1 ? this->*m.Value : FMul(this->*m.Value, m.Shown);
}

void CheckSweepPoints(std::int32_t points)
{
    if (points > MaxSweepPoints)
        throw Exception("Too many data points: " + IntToStr(points) + " (at most 1000000).");
}

SweepRange::SweepRange(double cMin, double cMax, std::int32_t points)
    : FMin(cMin), FMax(cMax), FPoints(points), FStep(0)
{
    CheckSweepPoints(points);
    // No steps at all is a division by zero, also when the range is empty (0 / 0).
    if (points == 0)
        RaiseFloatFault(TFloatFault::ZeroDivide);
    FStep = FDiv(FSub(cMax, cMin), static_cast<double>(points));
}
