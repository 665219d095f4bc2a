#include "model/Fit.h"

#include <boost/math/distributions/students_t.hpp>
#include <boost/math/tools/roots.hpp>
#include <ceres/ceres.h>
#include <Eigen/Dense>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace {

// Mobilities are fitted in units of 1e-9 m^2/(V s), so that every parameter is of order one.
constexpr double MobilityUnit = 1e-9;
// Below this K c_max the isotherm is a straight line, whose slope (uCS - u0) K does not tell
// uCS and K apart.
constexpr double LeastIdentifiableKc = 0.01;

// One analyte's measured points: concentration, mobility (1e-9 units) and the square root of the
// row's weight.
struct Points {
    std::vector<double> c, u, sw;
    size_t size() const { return c.size(); }
};

// The isotherm and its partial derivatives in u0, uCS and K.
struct Isotherm {
    double u0, uCS, K;
    double operator()(double c) const { return (u0 + uCS * K * c) / (1 + K * c); }
    std::array<double, 3> Gradient(double c) const
    {
        const double d = 1 + K * c;
        return {1 / d, K * c / d, c * (uCS - u0) / (d * d)};
    }
};

struct Residual {
    double c, u, sw, KOffset;
    template <class T>
    bool operator()(const T* u0, const T* uCS, const T* K, T* r) const
    {
        const T kc = (K[0] + KOffset) * c;
        r[0] = sw * (u - (u0[0] + uCS[0] * kc) / (1.0 + kc));
        return true;
    }
};

// The least-squares problem of one fit: parameters theta (u0, uCS, K of one analyte, or u0 and
// uCS, K of each analyte), which of them are held, and the points of each analyte with the
// indices of its three parameters.
struct TProblem {
    std::vector<Points> Data;
    std::vector<std::array<int, 3>> Index;
    std::vector<bool> Held;
    std::vector<bool> IsK;

    size_t Size() const { return Held.size(); }
    int FreeCount() const { return static_cast<int>(std::count(Held.begin(), Held.end(), false)); }
    size_t Rows() const
    {
        size_t n = 0;
        for (const Points& p : Data)
            n += p.size();
        return n;
    }

    Isotherm Curve(const std::vector<double>& Theta, size_t Series, double KOffset = 0) const
    {
        const auto& i = Index[Series];
        return {Theta[static_cast<size_t>(i[0])], Theta[static_cast<size_t>(i[1])],
                Theta[static_cast<size_t>(i[2])] + KOffset};
    }

    double Rss(const std::vector<double>& Theta) const
    {
        double rss = 0;
        for (size_t a = 0; a < Data.size(); ++a) {
            const Isotherm f = Curve(Theta, a);
            const Points& p = Data[a];
            for (size_t j = 0; j < p.size(); ++j) {
                const double r = p.sw[j] * (p.u[j] - f(p.c[j]));
                rss += r * r;
            }
        }
        return rss;
    }

    // Minimises the RSS from Theta with Extra held as well; with Link, the last series' K is the
    // parameter Link->first plus Link->second (the profile of K2 - K1). Returns the RSS, or
    // nothing when the solver found no usable solution.
    std::optional<double> Solve(std::vector<double>& Theta, int Extra = -1,
                                std::optional<std::pair<int, double>> Link = std::nullopt) const
    {
        ceres::Problem problem;
        std::vector<bool> used(Size(), false);
        for (size_t a = 0; a < Data.size(); ++a) {
            auto idx = Index[a];
            double offset = 0;
            if (Link && a + 1 == Data.size()) {
                idx[2] = Link->first;
                offset = Link->second;
            }
            for (int i : idx)
                used[static_cast<size_t>(i)] = true;
            const Points& p = Data[a];
            for (size_t j = 0; j < p.size(); ++j)
                problem.AddResidualBlock(
                    new ceres::AutoDiffCostFunction<Residual, 1, 1, 1, 1>(new Residual{p.c[j], p.u[j], p.sw[j], offset}),
                    nullptr, &Theta[static_cast<size_t>(idx[0])], &Theta[static_cast<size_t>(idx[1])],
                    &Theta[static_cast<size_t>(idx[2])]);
        }
        bool anyFree = false;
        for (size_t i = 0; i < Size(); ++i) {
            if (!used[i])
                continue;
            if (Held[i] || static_cast<int>(i) == Extra) {
                problem.SetParameterBlockConstant(&Theta[i]);
                continue;
            }
            anyFree = true;
            if (IsK[i]) {
                double lower = 0;
                if (Link && static_cast<int>(i) == Link->first)
                    lower = std::max(0.0, -Link->second);
                Theta[i] = std::max(Theta[i], lower);
                problem.SetParameterLowerBound(&Theta[i], 0, lower);
            }
        }
        if (anyFree) {
            ceres::Solver::Options options;
            options.linear_solver_type = ceres::DENSE_QR;
            options.logging_type = ceres::SILENT;
            options.max_num_iterations = 500;
            options.function_tolerance = 1e-15;
            options.gradient_tolerance = 1e-15;
            options.parameter_tolerance = 1e-13;
            ceres::Solver::Summary summary;
            ceres::Solve(options, &problem, &summary);
            if (!summary.IsSolutionUsable())
                return std::nullopt;
        }
        std::vector<double> theta = Theta;
        if (Link)
            theta[static_cast<size_t>(Index.back()[2])] = Theta[static_cast<size_t>(Link->first)] + Link->second;
        const double rss = Rss(theta);
        if (!std::isfinite(rss))
            return std::nullopt;
        return rss;
    }

    // J^T W J over the free parameters, in the order of theta.
    Eigen::MatrixXd Normal(const std::vector<double>& Theta, const std::vector<int>& Free) const
    {
        std::vector<int> column(Size(), -1);
        for (size_t k = 0; k < Free.size(); ++k)
            column[static_cast<size_t>(Free[k])] = static_cast<int>(k);
        Eigen::MatrixXd m = Eigen::MatrixXd::Zero(static_cast<Eigen::Index>(Free.size()),
                                                  static_cast<Eigen::Index>(Free.size()));
        for (size_t a = 0; a < Data.size(); ++a) {
            const Isotherm f = Curve(Theta, a);
            const Points& p = Data[a];
            for (size_t j = 0; j < p.size(); ++j) {
                const auto g = f.Gradient(p.c[j]);
                Eigen::VectorXd row = Eigen::VectorXd::Zero(m.rows());
                for (int q = 0; q < 3; ++q) {
                    const int col = column[static_cast<size_t>(Index[a][static_cast<size_t>(q)])];
                    if (col >= 0)
                        row[col] += p.sw[j] * g[static_cast<size_t>(q)];
                }
                m += row * row.transpose();
            }
        }
        return m;
    }
};

// u0 and uCS by linear least squares at a given K, the held ones at their values; the RSS.
double LinearAtK(const Points& P, double K, bool HoldU0, bool HoldUCS, double& U0, double& UCS)
{
    double saa = 0, sab = 0, sbb = 0, say = 0, sby = 0;
    for (size_t j = 0; j < P.size(); ++j) {
        const double w = P.sw[j] * P.sw[j];
        const double a = 1 / (1 + K * P.c[j]);
        const double b = 1 - a;
        double y = P.u[j];
        if (HoldU0)
            y -= U0 * a;
        if (HoldUCS)
            y -= UCS * b;
        saa += w * a * a;
        sab += w * a * b;
        sbb += w * b * b;
        say += w * a * y;
        sby += w * b * y;
    }
    if (!HoldU0 && !HoldUCS) {
        const double det = saa * sbb - sab * sab;
        if (det > 1e-14 * saa * sbb) {
            U0 = (say * sbb - sby * sab) / det;
            UCS = (sby * saa - say * sab) / det;
        } else if (saa > 0) {
            U0 = UCS = say / saa;
        }
    } else if (!HoldU0 && saa > 0) {
        U0 = say / saa;
    } else if (!HoldUCS && sbb > 0) {
        UCS = sby / sbb;
    }
    double rss = 0;
    const Isotherm f{U0, UCS, K};
    for (size_t j = 0; j < P.size(); ++j) {
        const double r = P.sw[j] * (P.u[j] - f(P.c[j]));
        rss += r * r;
    }
    return rss;
}

// Start values for one analyte: the double-reciprocal line 1/(u - u0) against 1/c where rows at
// c = 0 give u0, and a scan over K (u0 and uCS linear at each K); the better of the two.
Isotherm StartValues(const Points& P, Isotherm Given, const bool Held[3])
{
    double cMax = 0;
    for (double c : P.c)
        cMax = std::max(cMax, c);
    Isotherm best = Given;
    double bestRss = INFINITY;
    auto consider = [&](double K) {
        if (!(K >= 0) || !std::isfinite(K))
            return;
        Isotherm t = Given;
        t.K = K;
        const double rss = LinearAtK(P, K, Held[0], Held[1], t.u0, t.uCS);
        if (std::isfinite(rss) && rss < bestRss) {
            bestRss = rss;
            best = t;
        }
    };
    if (Held[2] || cMax <= 0) {
        consider(Given.K);
        return best;
    }
    for (int i = -80; i <= 80; ++i)
        consider(std::pow(10.0, i / 20.0) / cMax);
    if (!Held[0] && !Held[1]) {
        double u0 = 0;
        int zero = 0;
        for (size_t j = 0; j < P.size(); ++j)
            if (P.c[j] == 0) {
                u0 += P.u[j];
                ++zero;
            }
        if (zero > 0) {
            u0 /= zero;
            double sx = 0, sy = 0, sxx = 0, sxy = 0;
            int m = 0;
            for (size_t j = 0; j < P.size(); ++j)
                if (P.c[j] > 0 && P.u[j] != u0) {
                    const double x = 1 / P.c[j], y = 1 / (P.u[j] - u0);
                    sx += x, sy += y, sxx += x * x, sxy += x * y, ++m;
                }
            const double det = m * sxx - sx * sx;
            if (m >= 2 && det != 0) {
                const double slope = (m * sxy - sx * sy) / det;
                const double intercept = (sy - slope * sx) / m;
                if (slope != 0)
                    consider(intercept / slope);
            }
        }
    }
    return best;
}

UnicodeString AnalyteText(int Analyte)
{
    return Analyte < 0 ? UnicodeString("Analytes 1 and 2") : "Analyte " + IntToStr(Analyte + 1);
}

UnicodeString Number(double X)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", X);
    return text;
}

// The fit of one problem: values, standard errors, profile-t intervals, statistics.
class TFitter {
public:
    TFitter(TProblem Problem, std::vector<double> Start) : P(std::move(Problem)), Theta(std::move(Start)) {}

    FitResult Run(int Analyte, const std::vector<UnicodeString>& Names, const std::vector<int>& AnalyteOf)
    {
        FitResult result;
        result.Analyte = Analyte;
        result.n = static_cast<int>(P.Rows());
        result.Free = P.FreeCount();
        const int dof = result.n - result.Free;
        if (dof < 0) {
            result.Message = AnalyteText(Analyte) + ": " + IntToStr(result.n) + " measured rows for " +
                             IntToStr(result.Free) + " free parameters; too few to fit.";
            return result;
        }
        const auto rss = P.Solve(Theta);
        if (!rss) {
            result.Message = AnalyteText(Analyte) + ": the fit did not converge.";
            return result;
        }
        // K at the bound or every K c tiny, with uCS free beside it: uCS and K cannot be told apart.
        for (size_t a = 0; a < P.Data.size(); ++a) {
            const auto& idx = P.Index[a];
            const size_t k = static_cast<size_t>(idx[2]), ucs = static_cast<size_t>(idx[1]);
            if (P.Held[k] || P.Held[ucs])
                continue;
            double cMax = 0;
            for (double c : P.Data[a].c)
                cMax = std::max(cMax, c);
            if (Theta[k] * cMax < LeastIdentifiableKc) {
                result.Message = AnalyteText(Analyte) + ": K cannot be determined: K c stays below " +
                                 Number(LeastIdentifiableKc) + " at every concentration (K = " + Number(Theta[k]) +
                                 " 1/mM, highest c " + Number(cMax) +
                                 " mM, so every c lies far below 1/K). Measure at higher concentrations or hold uCS.";
                return result;
            }
        }
        std::vector<int> free;
        for (size_t i = 0; i < P.Size(); ++i)
            if (!P.Held[i])
                free.push_back(static_cast<int>(i));
        Eigen::MatrixXd covariance;
        if (!free.empty()) {
            const Eigen::MatrixXd normal = P.Normal(Theta, free);
            const Eigen::VectorXd d = normal.diagonal().cwiseSqrt();
            if ((d.array() <= 0).any() || !d.allFinite()) {
                result.Message = AnalyteText(Analyte) + ": the parameters cannot be determined from these rows.";
                return result;
            }
            const Eigen::MatrixXd scaled = d.asDiagonal().inverse() * normal * d.asDiagonal().inverse();
            Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> eigen(scaled);
            if (eigen.eigenvalues().minCoeff() < 1e-12) {
                result.Message = AnalyteText(Analyte) +
                                 ": the parameters cannot be determined separately from these rows (they are "
                                 "almost fully correlated); hold one of them or measure a wider range.";
                return result;
            }
            covariance = d.asDiagonal().inverse() * scaled.inverse() * d.asDiagonal().inverse();
        }
        result.RSS = *rss * MobilityUnit * MobilityUnit;
        // R^2 against each analyte's own mean.
        double total = 0;
        for (const Points& p : P.Data) {
            double sw = 0, swu = 0;
            for (size_t j = 0; j < p.size(); ++j) {
                sw += p.sw[j] * p.sw[j];
                swu += p.sw[j] * p.sw[j] * p.u[j];
            }
            const double mean = swu / sw;
            for (size_t j = 0; j < p.size(); ++j)
                total += p.sw[j] * p.sw[j] * (p.u[j] - mean) * (p.u[j] - mean);
        }
        if (total > 0)
            result.R2 = 1 - *rss / total;
        double s2 = 0, level = 0;
        if (dof > 0) {
            s2 = *rss / dof;
            result.s = std::sqrt(s2) * MobilityUnit;
            const double t = StudentQuantile(dof, 0.975);
            level = *rss + t * t * s2;
        }
        Rss = *rss;
        Level = level;
        for (size_t i = 0; i < P.Size(); ++i) {
            FitEstimate e;
            e.Analyte = AnalyteOf[i];
            e.Name = Names[i];
            const double unit = P.IsK[i] ? 1 : MobilityUnit;
            e.Value = Theta[i] * unit;
            e.Fixed = P.Held[i];
            if (!e.Fixed && dof > 0) {
                const auto k = std::find(free.begin(), free.end(), static_cast<int>(i)) - free.begin();
                const double se = std::sqrt(std::max(0.0, s2 * covariance(k, k)));
                e.StdError = se * unit;
                const auto [low, high] = Interval(static_cast<int>(i), se);
                if (low)
                    e.Low = *low * unit;
                if (high)
                    e.High = *high * unit;
            }
            result.Estimates.push_back(e);
        }
        if (dof > 0 && !free.empty()) {
            const size_t n = P.Size();
            result.Covariance.assign(n * n, 0.0);
            for (size_t a = 0; a < free.size(); ++a)
                for (size_t b = 0; b < free.size(); ++b) {
                    const size_t i = static_cast<size_t>(free[a]), j = static_cast<size_t>(free[b]);
                    const double unit = (P.IsK[i] ? 1 : MobilityUnit) * (P.IsK[j] ? 1 : MobilityUnit);
                    result.Covariance[i * n + j] =
                        s2 * covariance(static_cast<Eigen::Index>(a), static_cast<Eigen::Index>(b)) * unit;
                }
        }
        if (P.Data.size() == 2)
            result.Estimates.push_back(Difference(free, covariance, s2, dof));
        return result;
    }

private:
    TProblem P;
    std::vector<double> Theta;
    double Rss = 0, Level = 0;

    // The RSS with parameter I held at V (or, with Link, analyte 2's K at K1 + V), the others
    // refitted from the best fit.
    std::optional<double> Profile(int I, double V, bool Link)
    {
        std::vector<double> theta = Theta;
        if (Link) {
            const int k1 = P.Index[0][2];
            return P.Solve(theta, P.Index[1][2], std::make_pair(k1, V));
        }
        theta[static_cast<size_t>(I)] = V;
        return P.Solve(theta, I);
    }

    // The ends of the profile-t interval of parameter I from Value, with the step Se.
    std::pair<std::optional<double>, std::optional<double>> Interval(int I, double Se, bool Link = false,
                                                                      double Value = NAN)
    {
        if (std::isnan(Value))
            Value = Theta[static_cast<size_t>(I)];
        if (Level <= Rss)  // a perfect fit: the interval is the value
            return {Value, Value};
        const bool bounded = !Link && P.IsK[static_cast<size_t>(I)];
        double step = Se > 0 ? Se : std::max(std::abs(Value) * 1e-6, 1e-12);
        auto end = [&](double direction) -> std::optional<double> {
            double inside = Value;
            for (int i = 0; i < 40; ++i) {
                double v = Value + direction * step * std::ldexp(1.0, i);
                const bool atBound = bounded && v <= 0;
                if (atBound)
                    v = 0;
                const auto rss = Profile(I, v, Link);
                if (!rss)
                    return std::nullopt;
                if (*rss >= Level) {
                    auto f = [&](double x) {
                        const auto r = Profile(I, x, Link);
                        return (r ? *r : Level) - Level;
                    };
                    std::uintmax_t iterations = 60;
                    try {
                        const auto root = boost::math::tools::toms748_solve(
                            f, std::min(inside, v), std::max(inside, v),
                            boost::math::tools::eps_tolerance<double>(40), iterations);
                        return (root.first + root.second) / 2;
                    } catch (const std::exception&) {
                        return std::nullopt;  // the profile is not monotonic there
                    }
                }
                if (atBound)
                    return 0.0;
                inside = v;
            }
            return std::nullopt;
        };
        return {end(-1), end(+1)};
    }

    // K2 - K1 of a joint fit: its standard error from the covariance, its interval from the
    // profile (or from the free K's when the other is held).
    FitEstimate Difference(const std::vector<int>& Free, const Eigen::MatrixXd& Covariance, double S2, int Dof)
    {
        const int k1 = P.Index[0][2], k2 = P.Index[1][2];
        FitEstimate e;
        e.Analyte = -1;
        e.Name = "K2-K1";
        e.Value = Theta[static_cast<size_t>(k2)] - Theta[static_cast<size_t>(k1)];
        const bool held1 = P.Held[static_cast<size_t>(k1)], held2 = P.Held[static_cast<size_t>(k2)];
        e.Fixed = held1 && held2;
        if (e.Fixed || Dof <= 0)
            return e;
        auto at = [&](int i) { return std::find(Free.begin(), Free.end(), i) - Free.begin(); };
        double variance = 0;
        if (!held1)
            variance += Covariance(at(k1), at(k1));
        if (!held2)
            variance += Covariance(at(k2), at(k2));
        if (!held1 && !held2)
            variance -= 2 * Covariance(at(k1), at(k2));
        const double se = std::sqrt(std::max(0.0, S2 * variance));
        e.StdError = se;
        if (!held1 && !held2) {
            const auto [low, high] = Interval(k1, se, true, e.Value);
            e.Low = low;
            e.High = high;
        } else if (held1) {
            const auto [low, high] = Interval(k2, se);
            const double k = Theta[static_cast<size_t>(k1)];
            if (low)
                e.Low = *low - k;
            if (high)
                e.High = *high - k;
        } else {
            const auto [low, high] = Interval(k1, se);
            const double k = Theta[static_cast<size_t>(k2)];
            if (high)
                e.Low = k - *high;
            if (low)
                e.High = k - *low;
        }
        return e;
    }
};

// The weights of the rows: 1 / the variance of the replicates at each concentration; a message
// when some concentration has fewer than two different replicates.
UnicodeString Weigh(Points& P)
{
    std::map<double, std::pair<int, std::pair<double, double>>> groups;
    for (size_t j = 0; j < P.size(); ++j) {
        auto& g = groups[P.c[j]];
        ++g.first;
        g.second.first += P.u[j];
        g.second.second += P.u[j] * P.u[j];
    }
    for (size_t j = 0; j < P.size(); ++j) {
        const auto& g = groups[P.c[j]];
        const double mean = g.second.first / g.first;
        double ss = 0;
        for (size_t i = 0; i < P.size(); ++i)
            if (P.c[i] == P.c[j])
                ss += (P.u[i] - mean) * (P.u[i] - mean);
        if (g.first < 2 || !(ss > 0))
            return "weighting by the replicates' scatter needs at least two different replicates at every "
                   "concentration (c = " +
                   Number(P.c[j]) + " mM has " + (g.first < 2 ? "one" : "identical ones") + ").";
        P.sw[j] = 1 / std::sqrt(ss / (g.first - 1));
    }
    return "";
}

} // namespace

const FitEstimate* FitResult::Find(int AnalyteIndex, const UnicodeString& Name) const
{
    for (const FitEstimate& e : Estimates)
        if (e.Analyte == AnalyteIndex && e.Name == Name)
            return &e;
    return nullptr;
}

double FitResult::CovarianceOf(size_t A, size_t B) const
{
    size_t n = 0;
    while (n * n < Covariance.size())
        ++n;
    if (n * n != Covariance.size() || A >= n || B >= n)
        return 0;
    return Covariance[A * n + B];
}

double StudentQuantile(double Df, double P)
{
    return boost::math::quantile(boost::math::students_t(Df), P);
}

std::vector<FitResult> FitMeasurements(const Measurements& Data, const PhysParams& Phys)
{
    const FitOptions& o = Data.Options;
    const Isotherm given[2] = {{Phys.u01 / MobilityUnit, Phys.u1 / MobilityUnit, Phys.K1},
                               {Phys.u02 / MobilityUnit, Phys.u2 / MobilityUnit, Phys.K2}};
    Points points[2];
    UnicodeString problem[2];
    for (int a = 0; a < 2; ++a) {
        for (size_t j = 0; j < Data.Rows.size(); ++j) {
            try {
                if (const auto u = MeasuredMobility(Data.Rows[j], a, Phys, Data.ViscositySlope)) {
                    points[a].c.push_back(FCheck(Data.Rows[j].c));
                    points[a].u.push_back(*u / MobilityUnit);
                    points[a].sw.push_back(1);
                }
            } catch (const Exception& e) {
                problem[a] = AnalyteText(a) + ": row " + IntToStr(j + 1) + ": " + e.Message();
                break;
            }
        }
        if (problem[a].empty() && o.Weighted && points[a].size() > 0) {
            const UnicodeString why = Weigh(points[a]);
            if (!why.empty())
                problem[a] = AnalyteText(a) + ": " + why;
        }
    }
    std::vector<FitResult> results;
    auto failed = [&](int Analyte, int n, const UnicodeString& Message) {
        FitResult r;
        r.Analyte = Analyte;
        r.n = n;
        r.Message = Message;
        results.push_back(r);
    };
    const bool joint = o.SharedU0 && points[0].size() > 0 && points[1].size() > 0;
    if (joint) {
        if (!problem[0].empty() || !problem[1].empty()) {
            failed(-1, static_cast<int>(points[0].size() + points[1].size()), problem[0].empty() ? problem[1] : problem[0]);
            return results;
        }
        TProblem p;
        p.Data = {points[0], points[1]};
        p.Index = {{0, 1, 2}, {0, 3, 4}};
        p.Held = {o.Fixed[0][fpU0], o.Fixed[0][fpUCS], o.Fixed[0][fpK], o.Fixed[1][fpUCS], o.Fixed[1][fpK]};
        p.IsK = {false, false, true, false, true};
        const bool held0[3] = {p.Held[0], p.Held[1], p.Held[2]};
        const bool held1[3] = {p.Held[0], p.Held[3], p.Held[4]};
        const Isotherm s0 = StartValues(points[0], given[0], held0);
        Isotherm g1 = given[1];
        g1.u0 = given[0].u0;
        const Isotherm s1 = StartValues(points[1], g1, held1);
        const double u0 = p.Held[0] ? given[0].u0 : (s0.u0 + s1.u0) / 2;
        TFitter fitter(p, {u0, s0.uCS, s0.K, s1.uCS, s1.K});
        results.push_back(fitter.Run(-1, {"u0", "uCS", "K", "uCS", "K"}, {-1, 0, 0, 1, 1}));
        return results;
    }
    for (int a = 0; a < 2; ++a) {
        if (!problem[a].empty()) {
            failed(a, static_cast<int>(points[a].size()), problem[a]);
            continue;
        }
        if (points[a].size() == 0)
            continue;
        TProblem p;
        p.Data = {points[a]};
        p.Index = {{0, 1, 2}};
        p.Held = {o.Fixed[a][0], o.Fixed[a][1], o.Fixed[a][2]};
        p.IsK = {false, false, true};
        const Isotherm s = StartValues(points[a], given[a], o.Fixed[a]);
        TFitter fitter(p, {s.u0, s.uCS, s.K});
        results.push_back(fitter.Run(a, {"u0", "uCS", "K"}, {a, a, a}));
    }
    return results;
}
