#include "model/Analysis.h"

#include "model/Sweep.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

Figure Finite(double x)
{
    if (std::isfinite(x)) return x;
    return std::nullopt;
}

// The dispersion of one analyte: the diffusion coefficients, and when the
// analyte reaches the detector its widths and plate number.
struct Dispersion {
    Figure Deff, Dtot, sigmaL, sigmaT, N;
};

Dispersion Disperse(const PhysParams& p, const AnalysisOptions& o, double x, double vel, double t,
                    double D0, double D)
{
    Dispersion d;
    // A negative coefficient (possible only from a file) is impossible: no width
    // is defined, also where the mean with the other form would be positive.
    if (D0 < 0 || D < 0) return d;
    d.Deff = Finite((1 - x) * D0 + x * D);
    // No diffusion (or a negative coefficient from a file) leaves the widths
    // undefined rather than zero: a zero width would give an infinite N and Rs.
    if (!d.Deff || !(*d.Deff > 0)) return d;
    const double deff = *d.Deff;
    double dtot = deff;
    if (p.FlowVelocity != 0)
        dtot += p.Radius * p.Radius * p.FlowVelocity * p.FlowVelocity / (48 * deff);
    d.Dtot = Finite(dtot);
    if (!d.Dtot || !(vel > 0 && t > 0)) return d;
    const double extra = (o.InjectionPlug * o.InjectionPlug + o.DetectorWindow * o.DetectorWindow) / 12;
    const double variance = 2 * dtot * t + extra;
    if (!std::isfinite(variance) || !(variance > 0)) return d;
    d.sigmaL = Finite(std::sqrt(variance));
    if (d.sigmaL) d.sigmaT = Finite(*d.sigmaL / vel);
    d.N = Finite(p.Detector * p.Detector / variance);
    return d;
}

}  // namespace

namespace {

// The rounding error of an analyte's velocity: a velocity within it is zero.
double VelocityNoise(const PhysParams& p, double c, int analyte)
{
    const double u0 = analyte == 1 ? p.u01 : p.u02, u = analyte == 1 ? p.u1 : p.u2;
    const double mobilities = std::fabs(p.EOF) + std::fabs(p.EOFSlope * c) + std::fabs(u0) + std::fabs(u);
    return 64 * std::numeric_limits<double>::epsilon() *
           (mobilities * std::fabs(p.FieldStrength) + std::fabs(p.FlowVelocity));
}

}  // namespace

PeakFigures AnalyseAt(const PhysParams& p, double c, const AnalysisOptions& o)
{
    PeakFigures f;
    f.c = c;
    // A complexed fraction c K / (1 + c K) outside [0, 1] is impossible.
    if (c * p.K1 < 0 || c * p.K2 < 0) return f;
    PointValues v;
    try {
        v = PointValues(p, c);
    } catch (const EMathError&) {
        return f;  // a singular point (c K = -1, an overflow): nothing is defined
    }
    f.Computed = true;
    f.du = Finite(v.du);
    f.Standing1 = !(std::fabs(v.vel1) > VelocityNoise(p, c, 1));
    f.Standing2 = !(std::fabs(v.vel2) > VelocityNoise(p, c, 2));
    const bool arrives1 = !f.Standing1 && v.vel1 > 0 && v.t1 > 0;
    const bool arrives2 = !f.Standing2 && v.vel2 > 0 && v.t2 > 0;
    if (arrives1) f.t1 = Finite(v.t1);
    if (arrives2) f.t2 = Finite(v.t2);

    const Dispersion d1 = Disperse(p, o, v.x1, v.vel1, v.t1, p.D01, p.D1);
    const Dispersion d2 = Disperse(p, o, v.x2, v.vel2, v.t2, p.D02, p.D2);
    f.Deff1 = d1.Deff, f.Dtot1 = d1.Dtot, f.sigmaL1 = d1.sigmaL, f.sigmaT1 = d1.sigmaT, f.N1 = d1.N;
    f.Deff2 = d2.Deff, f.Dtot2 = d2.Dtot, f.sigmaL2 = d2.sigmaL, f.sigmaT2 = d2.sigmaT, f.N2 = d2.N;

    if (o.LongestRun > 0)
        f.TooLong = (f.t1 && *f.t1 > o.LongestRun) || (f.t2 && *f.t2 > o.LongestRun);
    if (f.t1 && f.t2) {
        f.dt = Finite(std::fabs(*f.t2 - *f.t1));
        if (f.dt && f.sigmaT1 && f.sigmaT2) {
            const double width = 2 * (*f.sigmaT1 + *f.sigmaT2);
            if (width > 0) f.Rs = Finite(*f.dt / width);
        }
    }
    return f;
}

namespace {

double NernstEinstein(double absTemperature, double u, double z)
{
    return std::fabs(BoltzmannConstant * absTemperature * u / (ElementaryCharge * z));
}

}  // namespace

DiffusionUsed AnalysisDiffusion(const Params& params, const AnalysisOptions& o)
{
    const PhysParams& p = params.phys;
    DiffusionUsed d;
    for (int i = 1; i <= 2; ++i) {
        const PhParams& ph = i == 1 ? params.a1 : params.a2;
        const double z0 = i == 1 ? p.z01 : p.z02, z = z0 + p.zCS;
        const double entered = i == 1 ? o.ComplexD1 : o.ComplexD2;
        double& free = i == 1 ? d.D01 : d.D02;
        double& complex = i == 1 ? d.D1 : d.D2;
        TDiffusionSource& fromFree = i == 1 ? d.From01 : d.From02;
        TDiffusionSource& fromComplex = i == 1 ? d.From1 : d.From2;
        free = i == 1 ? p.D01 : p.D02;
        complex = i == 1 ? p.D1 : p.D2;
        fromFree = z0 != 0 ? TDiffusionSource::Derived : TDiffusionSource::Entered;
        fromComplex = z != 0 ? TDiffusionSource::Derived : TDiffusionSource::Entered;
        // The charged form: the one that moves faster when free.
        const bool low = std::fabs(ph.lu0) >= std::fabs(ph.hu0);
        if (params.applypH && z0 != 0) {
            const double D = NernstEinstein(p.AbsTemperature, low ? ph.lu0 : ph.hu0, z0);
            if (std::isfinite(D)) free = D, fromFree = TDiffusionSource::ChargedForm;
        }
        if (p.zCS != 0 && entered > 0) {
            complex = entered, fromComplex = TDiffusionSource::Analysis;
        } else if (params.applypH && z != 0) {
            const double D = NernstEinstein(p.AbsTemperature, low ? ph.luCS : ph.huCS, z);
            if (std::isfinite(D)) complex = D, fromComplex = TDiffusionSource::ChargedForm;
        }
    }
    return d;
}

namespace {

PhysParams WithAnalysisDiffusion(const Params& params, const DiffusionUsed& d)
{
    PhysParams p = params.phys;
    p.D01 = d.D01, p.D02 = d.D02, p.D1 = d.D1, p.D2 = d.D2;
    return p;
}

}  // namespace

PeakFigures AnalyseAt(const Params& params, double c, const AnalysisOptions& o)
{
    return AnalyseAt(WithAnalysisDiffusion(params, AnalysisDiffusion(params, o)), c, o);
}

namespace {

// The concentrations of the scan and the figures there.
struct Scan {
    std::vector<PeakFigures> f;
    double c(std::size_t k) const { return f[k].c; }
    std::size_t size() const { return f.size(); }
};

// Bisection between a concentration where pred holds and one where it does not;
// returns the end where it holds, within a relative 1e-13 of the crossing (also
// for the small concentrations of a logarithmic scan).
template <class Pred>
double Boundary(const PhysParams& p, const AnalysisOptions& o, Pred pred, double in, double out)
{
    for (int i = 0; i < 100; ++i) {
        const double mid = 0.5 * (in + out);
        if (mid == in || mid == out) break;
        if (std::fabs(out - in) <= 1e-13 * (std::fabs(in) + std::fabs(out))) break;
        (pred(AnalyseAt(p, mid, o)) ? in : out) = mid;
    }
    return in;
}

// The maximal runs of scan points where pred holds, with ends refined towards
// the neighbouring points where it does not.
template <class Pred>
std::vector<ConcentrationInterval> Runs(const PhysParams& p, const AnalysisOptions& o, const Scan& s,
                                        Pred pred)
{
    std::vector<ConcentrationInterval> runs;
    std::size_t k = 0;
    const std::size_t n = s.size();
    while (k < n) {
        if (!pred(s.f[k])) {
            ++k;
            continue;
        }
        std::size_t e = k;
        while (e + 1 < n && pred(s.f[e + 1])) ++e;
        ConcentrationInterval r{s.c(k), s.c(e)};
        if (k > 0) r.c0 = Boundary(p, o, pred, s.c(k), s.c(k - 1));
        if (e + 1 < n) r.c1 = Boundary(p, o, pred, s.c(e), s.c(e + 1));
        runs.push_back(r);
        k = e + 1;
    }
    return runs;
}

// The largest value of get over the range: the best scan point, then a
// golden-section search between its neighbours. Undefined values count as
// worst; the refined point is taken only when it is better than the scan's.
template <class Get>
std::optional<Optimum> Maximum(const PhysParams& p, const AnalysisOptions& o, const Scan& s, Get get)
{
    constexpr double worst = -std::numeric_limits<double>::infinity();
    auto value = [&](const PeakFigures& f) {
        if (f.TooLong) return worst;
        const Figure v = get(f);
        return v ? *v : worst;
    };
    std::size_t best = 0;
    for (std::size_t k = 1; k < s.size(); ++k)
        if (value(s.f[k]) > value(s.f[best])) best = k;
    if (s.size() == 0 || !(value(s.f[best]) > 0)) return std::nullopt;

    Optimum opt{s.c(best), s.f[best]};
    double a = s.c(best > 0 ? best - 1 : best);
    double b = s.c(best + 1 < s.size() ? best + 1 : best);
    if (a < b) {
        const double ratio = (std::sqrt(5.0) - 1) / 2;
        double x1 = b - ratio * (b - a), x2 = a + ratio * (b - a);
        PeakFigures f1 = AnalyseAt(p, x1, o), f2 = AnalyseAt(p, x2, o);
        for (int i = 0; i < 200; ++i) {
            if (b - a <= 1e-12 * (std::fabs(a) + std::fabs(b))) break;
            if (value(f1) >= value(f2)) {
                b = x2, x2 = x1, f2 = f1;
                x1 = b - ratio * (b - a);
                f1 = AnalyseAt(p, x1, o);
            } else {
                a = x1, x1 = x2, f1 = f2;
                x2 = a + ratio * (b - a);
                f2 = AnalyseAt(p, x2, o);
            }
        }
        const PeakFigures& f = value(f1) >= value(f2) ? f1 : f2;
        if (value(f) > value(opt.Figures)) opt = Optimum{f.c, f};
    }
    return opt;
}

bool Baseline(const PeakFigures& f) { return !f.TooLong && f.Rs && *f.Rs >= BaselineResolution; }

UnicodeString Conc(double c) { return FloatToStrF(c, ffGeneral, 4, 0); }

UnicodeString Where(const ConcentrationInterval& r)
{
    if (r.c0 == r.c1) return "at " + Conc(r.c0) + " mM";
    return "from " + Conc(r.c0) + " to " + Conc(r.c1) + " mM";
}

AnalysisWarning Warn(AnalysisWarning::Kind kind, int analyte, const ConcentrationInterval& r,
                     UnicodeString text)
{
    return AnalysisWarning{kind, analyte, r.c0, r.c1, std::move(text)};
}

// The concentrations inside (lo, hi) where the migration order reverses.
// t1 - t2 has the sign of ueff2 - ueff1 (the same field and flow move both), and
// (ueff1 - ueff2) (1 + K1 c) (1 + K2 c) is the quadratic A + B c + C c^2 with
//   A = u01 - u02, B = K2 (u01 - u2) - K1 (u02 - u1), C = K1 K2 (u1 - u2),
// so every reversal is a simple root of it, however close to another or to the
// start of the range. A coefficient within the rounding of its terms counts as
// zero: analytes that differ by rounding alone never reverse.
std::vector<double> Reversals(const PhysParams& p, const AnalysisOptions& o, double lo, double hi)
{
    const double noise = 16 * std::numeric_limits<double>::epsilon();
    auto significant = [noise](double v, double scale) { return std::fabs(v) > noise * scale ? v : 0.0; };
    const double b1 = p.K2 * (p.u01 - p.u2), b2 = p.K1 * (p.u02 - p.u1);
    const double A = significant(p.u01 - p.u02, std::fabs(p.u01) + std::fabs(p.u02));
    const double B = significant(b1 - b2, std::fabs(p.K2) * (std::fabs(p.u01) + std::fabs(p.u2)) +
                                              std::fabs(p.K1) * (std::fabs(p.u02) + std::fabs(p.u1)));
    const double C = p.K1 * p.K2 * significant(p.u1 - p.u2, std::fabs(p.u1) + std::fabs(p.u2));
    std::vector<double> roots;
    if (C == 0) {
        if (B != 0) roots.push_back(-A / B);
    } else {
        // A double root touches zero without a change of sign.
        const double disc = B * B - 4 * A * C;
        if (disc > noise * (B * B + 4 * std::fabs(A * C))) {
            const double q = -0.5 * (B + std::copysign(std::sqrt(disc), B));
            roots.push_back(q / C);
            roots.push_back(A / q);
        }
    }
    std::sort(roots.begin(), roots.end());
    std::vector<double> found;
    for (double r : roots) {
        if (!(lo < r && r < hi) || (1 + p.K1 * r) * (1 + p.K2 * r) == 0) continue;
        // Only peaks that reach the detector co-migrate past it.
        const PeakFigures f = AnalyseAt(p, r, o);
        if (f.t1 && f.t2) found.push_back(r);
    }
    return found;
}

// c* of the largest mobility difference, see SeparationAnalysis::DuClosedForm.
Figure DuStationary(const PhysParams& p)
{
    const double d1 = p.u1 - p.u01, d2 = p.u2 - p.u02;
    if (!(p.K1 > 0 && p.K2 > 0) || !(d1 * d2 > 0)) return std::nullopt;
    const double a1 = std::sqrt(std::fabs(d1) * p.K1), a2 = std::sqrt(std::fabs(d2) * p.K2);
    const double c = (a2 - a1) / (a1 * p.K2 - a2 * p.K1);
    if (!std::isfinite(c) || !(c > 0)) return std::nullopt;
    return c;
}

// steps + 1 concentrations from a to b, both included; geometric when log.
template <class F>
void Spaced(double a, double b, int steps, bool log, F&& f)
{
    if (a == b || steps < 1) {
        f(a);
        return;
    }
    const double la = std::log(a), lb = std::log(b);
    for (int k = 0; k <= steps; ++k) {
        if (k == steps)
            f(b);
        else if (log)
            f(std::exp(la + (lb - la) * k / steps));
        else
            f(a + (b - a) * k / steps);
    }
}

}  // namespace

ConcentrationScale AnalysisScale(const Params& params, const AnalysisOptions& o)
{
    ConcentrationScale scale;
    const double lo = params.cMin, hi = params.cMax;
    if (!(std::isfinite(lo) && std::isfinite(hi) && lo <= hi)) return scale;
    scale.Empty = false;
    scale.From = lo;
    scale.To = hi;
    // Logarithmic when the range spans more than two decades of the concentration itself or,
    // from 0, of the scale 1 / K on which the complexed fractions change.
    const PhysParams& p = params.phys;
    const double Kmax = std::max(p.K1, p.K2);
    const bool fromZero = lo == 0 && Kmax > 0 && hi > 0;
    const bool wide = (lo > 0 && hi > 100 * lo) || (fromZero && hi * Kmax > 100);
    scale.Log = o.Scale == AnalysisOptions::asLog ? (lo > 0 || fromZero) && lo < hi
                                                  : o.Scale == AnalysisOptions::asAuto && wide;
    if (scale.Log) scale.From = lo > 0 ? lo : std::min(hi, 0.001 / Kmax);
    return scale;
}

std::vector<double> ScaleConcentrations(const ConcentrationScale& scale, int count)
{
    std::vector<double> c;
    if (scale.Empty) return c;
    c.reserve(static_cast<size_t>(std::max(count, 1)));
    Spaced(scale.From, scale.To, count - 1, scale.Log, [&c](double x) { c.push_back(x); });
    return c;
}

SeparationAnalysis Analyse(const Params& params, const AnalysisOptions& o, int curvePoints)
{
    SeparationAnalysis a;
    a.Diffusion = AnalysisDiffusion(params, o);
    const PhysParams p = WithAnalysisDiffusion(params, a.Diffusion);
    const double lo = params.cMin, hi = params.cMax;
    const bool range = std::isfinite(lo) && std::isfinite(hi) && lo <= hi;

    if (p.K1 > 0 && p.K2 > 0) {
        a.WrenRowe = Finite(1 / std::sqrt(p.K1 * p.K2));
        if (a.WrenRowe && range && lo <= *a.WrenRowe && *a.WrenRowe <= hi) {
            a.WrenRoweInRange = true;
            a.AtWrenRowe = AnalyseAt(p, *a.WrenRowe, o);
        }
    }
    if (!range) {
        a.Warnings.push_back(Warn(AnalysisWarning::awEmptyRange, 0, {lo, hi},
                                  "The concentration range is empty: there is nothing to analyse."));
        return a;
    }

    a.DuClosedForm = DuStationary(p);

    const ConcentrationScale scale = AnalysisScale(params, o);
    a.LogScale = scale.Log;
    if (a.LogScale) a.LogStart = scale.From;
    const double from = scale.From;
    // The last point is cMax itself, not an accumulated sum.
    auto grid = [&](int steps, auto&& f) { Spaced(from, hi, steps, a.LogScale, f); };
    grid(std::clamp(curvePoints, 2, MaxCurvePoints) - 1, [&](double c) {
        const PeakFigures f = AnalyseAt(p, c, o);
        a.Curve.push_back({c, f.Rs, f.TooLong});
    });

    // Complexed fractions outside [0, 1] (a negative constant, a negative
    // concentration) are impossible: nothing rests on them.
    bool impossible = false;
    for (int i = 1; i <= 2; ++i) {
        const double K = i == 1 ? p.K1 : p.K2;
        const UnicodeString key = "K" + IntToStr(i);
        if (K < 0 && hi > 0) {
            const double pole = -1 / K;
            const bool inside = lo <= pole && pole <= hi;
            a.Warnings.push_back(Warn(AnalysisWarning::awUndefined, i, inside ? ConcentrationInterval{pole, pole}
                                                                              : ConcentrationInterval{lo, hi},
                                      key + " = " + FloatToStrF(K, ffGeneral, 4, 0) +
                                          " per mM is negative, which is impossible: the complexed fraction " +
                                          "c " + key + " / (1 + c " + key + ") leaves 0 to 1" +
                                          (inside ? " and 1 + c " + key + " reaches 0 at " + Conc(pole) + " mM"
                                                  : UnicodeString()) +
                                          "; no figure is computed."));
            impossible = true;
        }
    }
    if (lo < 0 && (p.K1 > 0 || p.K2 > 0)) {
        a.Warnings.push_back(Warn(AnalysisWarning::awUndefined, 0, {lo, std::min(hi, 0.0)},
                                  "The range reaches below 0 mM, which is impossible; no figure is computed."));
        impossible = true;
    }
    if (impossible) return a;

    Scan s;
    const int steps = std::clamp<std::int64_t>(params.points, 400, 10000);
    s.f.reserve(steps + 2);
    if (a.LogScale && from > lo) s.f.push_back(AnalyseAt(p, lo, o));
    grid(steps, [&](double c) { s.f.push_back(AnalyseAt(p, c, o)); });

    a.DuOptimum = Maximum(p, o, s, [](const PeakFigures& f) { return f.du; });
    a.RsOptimum = Maximum(p, o, s, [](const PeakFigures& f) { return f.Rs; });

    a.BaselineIntervals = Runs(p, o, s, Baseline);
    // A peak of Rs above 1.5 narrower than the scan's step is found by the
    // optimum's refinement alone; its interval is refined from there.
    if (a.RsOptimum && Baseline(a.RsOptimum->Figures)) {
        const double c = a.RsOptimum->c;
        auto inside = [c](const ConcentrationInterval& r) { return r.c0 <= c && c <= r.c1; };
        if (std::none_of(a.BaselineIntervals.begin(), a.BaselineIntervals.end(), inside)) {
            std::size_t k = 0;
            while (k + 1 < s.size() && s.c(k + 1) < c) ++k;
            ConcentrationInterval r{c, c};
            if (s.c(k) < c) r.c0 = Boundary(p, o, Baseline, c, s.c(k));
            if (k + 1 < s.size() && c < s.c(k + 1)) r.c1 = Boundary(p, o, Baseline, c, s.c(k + 1));
            a.BaselineIntervals.push_back(r);
            std::sort(a.BaselineIntervals.begin(), a.BaselineIntervals.end(),
                      [](const auto& x, const auto& y) { return x.c0 < y.c0; });
        }
    }

    for (int i = 1; i <= 2; ++i) {
        const UnicodeString name = "Analyte " + IntToStr(i);
        const bool standing = std::all_of(s.f.begin(), s.f.end(), [i](const PeakFigures& f) {
            return f.Computed && (i == 1 ? f.Standing1 : f.Standing2);
        });
        if (standing) {
            a.Warnings.push_back(Warn(AnalysisWarning::awNotArriving, i, {lo, hi},
                                      name + " does not move at any concentration (its velocity is zero); "
                                             "it never reaches the detector and Rs is undefined."));
            continue;
        }
        auto away = [i](const PeakFigures& f) { return f.Computed && !(i == 1 ? f.t1 : f.t2); };
        for (const auto& r : Runs(p, o, s, away))
            a.Warnings.push_back(Warn(AnalysisWarning::awNotArriving, i, r,
                                      name + " does not reach the detector " + Where(r) +
                                          " (its velocity is zero or negative); Rs is undefined there."));
    }
    for (int i = 1; i <= 2; ++i) {
        const UnicodeString name = "Analyte " + IntToStr(i);
        const double D0 = i == 1 ? p.D01 : p.D02, D = i == 1 ? p.D1 : p.D2;
        if (D0 < 0 || D < 0) {
            const UnicodeString key = D0 < 0 ? "D0" + IntToStr(i) : "D" + IntToStr(i);
            a.Warnings.push_back(Warn(AnalysisWarning::awNoDiffusion, i, {lo, hi},
                                      name + " has a negative diffusion coefficient (" + key + " = " +
                                          FloatToStrF(D0 < 0 ? D0 : D, ffGeneral, 4, 0) +
                                          " m\u00b2/s), which is impossible; its peak width, plate number "
                                          "and Rs are undefined."));
            continue;
        }
        auto still = [i](const PeakFigures& f) { return f.Computed && !(i == 1 ? f.Dtot1 : f.Dtot2); };
        for (const auto& r : Runs(p, o, s, still))
            a.Warnings.push_back(Warn(AnalysisWarning::awNoDiffusion, i, r,
                                      name + " has no positive diffusion coefficient " + Where(r) +
                                          "; its peak width, plate number and Rs are undefined there."));
    }
    // Nernst-Einstein with the charges of complex and selector together gives far too small
    // a coefficient for a multiply charged selector; the analysis wants it entered.
    if (p.zCS != 0)
        for (int i = 1; i <= 2; ++i) {
            const TDiffusionSource from = i == 1 ? a.Diffusion.From1 : a.Diffusion.From2;
            const double z = (i == 1 ? p.z01 : p.z02) + p.zCS;
            if (from == TDiffusionSource::Analysis || z == 0) continue;
            a.Warnings.push_back(Warn(
                AnalysisWarning::awDiffusionGuess, i, {lo, hi},
                "The complex of analyte " + IntToStr(i) + " with the charged selector takes D" + IntToStr(i) + " = " +
                    FloatToStrF(i == 1 ? p.D1 : p.D2, ffGeneral, 4, 0) + " m\u00b2/s from Nernst-Einstein with z = " +
                    FloatToStrF(z, ffGeneral, 4, 0) +
                    ", likely far too small for its size; enter the complex's D for the analysis."));
        }
    // Taylor-Aris dispersion describes a flow only after the radial diffusion
    // time R^2 / D has passed many times.
    if (p.FlowVelocity != 0 && p.Radius != 0)
        for (int i = 1; i <= 2; ++i) {
            auto brief = [&p, i](const PeakFigures& f) {
                const Figure& t = i == 1 ? f.t1 : f.t2;
                const Figure& D = i == 1 ? f.Deff1 : f.Deff2;
                // Only widths that exist are in doubt.
                return t && D && (i == 1 ? f.Dtot1 : f.Dtot2) &&
                       *t < TaylorArisRuns * (p.Radius * p.Radius / *D);
            };
            for (const auto& r : Runs(p, o, s, brief)) {
                const PeakFigures f = AnalyseAt(p, r.c0, o);
                const double radial = p.Radius * p.Radius / *(i == 1 ? f.Deff1 : f.Deff2);
                a.Warnings.push_back(Warn(
                    AnalysisWarning::awShortRun, i, r,
                    "Analyte " + IntToStr(i) + "'s run (" + FloatToStrF(*(i == 1 ? f.t1 : f.t2), ffGeneral, 4, 0) +
                        " s at " + Conc(r.c0) + " mM) is not long against R\u00b2/D = " +
                        FloatToStrF(radial, ffGeneral, 4, 0) + " s " + Where(r) +
                        ": the Taylor-Aris widths under the flow are not reliable there."));
            }
        }
    for (const auto& r : Runs(p, o, s, [](const PeakFigures& f) { return !f.Computed; }))
        a.Warnings.push_back(Warn(AnalysisWarning::awUndefined, 0, r,
                                  "The values cannot be computed " + Where(r) + "."));
    if (o.LongestRun > 0)
        for (const auto& r : Runs(p, o, s, [](const PeakFigures& f) { return f.TooLong; }))
            a.Warnings.push_back(Warn(AnalysisWarning::awTimeLimit, 0, r,
                                      "A run takes longer than " + FloatToStrF(o.LongestRun * MinutesPerSecond,
                                                                              ffGeneral, 4, 0) +
                                          " min " + Where(r) +
                                          "; the optimum and the intervals of Rs \u2265 1.5 leave it out."));
    // An optimum at an end of the range may continue beyond it.
    if (lo < hi) {
        const struct {
            const std::optional<Optimum>& at;
            const char* what;
        } optima[] = {{a.RsOptimum, "The largest Rs"}, {a.DuOptimum, "The largest mobility difference"}};
        for (const auto& k : optima) {
            if (!k.at) continue;
            const double c = k.at->c;
            if (c == hi)
                a.Warnings.push_back(Warn(AnalysisWarning::awRangeEnd, 0, {c, c},
                                          UnicodeString(k.what) + " lies at the end of the range: the optimum may lie "
                                                                  "beyond " + Conc(hi) + " mM."));
            else if (c == lo && lo > 0)
                a.Warnings.push_back(Warn(AnalysisWarning::awRangeEnd, 0, {c, c},
                                          UnicodeString(k.what) + " lies at the start of the range: the optimum may "
                                                                  "lie below " + Conc(lo) + " mM."));
        }
    }
    for (double c : Reversals(p, o, lo, hi))
        a.Warnings.push_back(Warn(AnalysisWarning::awOrderReversal, 0, {c, c},
                                  "The migration order reverses at " + Conc(c) +
                                      " mM; the peaks co-migrate there."));
    if (a.BaselineIntervals.empty()) {
        UnicodeString text;
        if (a.RsOptimum)
            text = "Rs stays below " + FloatToStrF(BaselineResolution, ffFixed, 15, 1) +
                   " in the range: at most " + FloatToStrF(*a.RsOptimum->Figures.Rs, ffFixed, 15, 2) +
                   ", at " + Conc(a.RsOptimum->c) + " mM.";
        else
            text = "Rs is undefined or zero over the whole range: the peaks are never separated.";
        a.Warnings.push_back(Warn(AnalysisWarning::awNoBaseline, 0, {lo, hi}, text));
    }
    return a;
}

std::vector<TracePoint> Electropherogram(const PeakFigures& f, int samples, TPeakAreas areas)
{
    struct Peak {
        bool on = false;
        double t = 0, sigma = 0, height = 0;
    };
    auto peak = [](const Figure& t, const Figure& sigma) {
        Peak k;
        if (!t || !sigma) return k;
        k.t = *t * MinutesPerSecond;
        k.sigma = *sigma * MinutesPerSecond;
        if (!(k.sigma > 0)) return k;
        k.height = 1 / (k.sigma * std::sqrt(2 * std::numbers::pi));
        k.on = std::isfinite(k.height);
        return k;
    };
    Peak p1 = peak(f.t1, f.sigmaT1), p2 = peak(f.t2, f.sigmaT2);
    if (areas == TPeakAreas::paByTime && p1.on && p2.on) {
        const double first = std::min(p1.t, p2.t);
        if (first > 0) p1.height *= p1.t / first, p2.height *= p2.t / first;
    }
    std::vector<TracePoint> trace;
    if (samples < 2 || !(p1.on || p2.on)) return trace;
    samples = std::min(samples, MaxCurvePoints);

    constexpr double span = 5;
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    for (const Peak* k : {&p1, &p2})
        if (k->on) {
            lo = std::min(lo, k->t - span * k->sigma);
            hi = std::max(hi, k->t + span * k->sigma);
        }
    lo = std::max(lo, 0.0);

    std::vector<double> times;
    auto even = [&](double a, double b, int n) {
        a = std::max(a, lo), b = std::min(b, hi);
        for (int i = 0; i < n; ++i) times.push_back(i == n - 1 ? b : a + (b - a) * i / (n - 1));
    };
    even(lo, hi, samples);
    const int around = std::max(samples / 4, 2);
    for (const Peak* k : {&p1, &p2})
        if (k->on) even(k->t - span * k->sigma, k->t + span * k->sigma, around);
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());

    auto gauss = [](const Peak& k, double t) {
        if (!k.on) return 0.0;
        const double z = (t - k.t) / k.sigma;
        return k.height * std::exp(-0.5 * z * z);
    };
    trace.reserve(times.size());
    for (double t : times) {
        TracePoint q{t, 0, gauss(p1, t), gauss(p2, t)};
        q.signal = q.peak1 + q.peak2;
        trace.push_back(q);
    }
    return trace;
}
