#include "model/Uncertainty.h"

#include "model/Parallel.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();

const char* const Keys[UncertainCount] = {"u01", "u1", "K1", "u02", "u2", "K2"};

size_t At(int a, int b)
{
    return static_cast<size_t>(a) * UncertainCount + static_cast<size_t>(b);
}

// The lower-triangular factor C of a correlation matrix, R = C C^T: Cholesky with a column of
// zeros where the pivot vanishes, as it does for perfectly correlated parameters. Returns false
// when a pivot is clearly negative (the matrix is not positive semi-definite).
bool Factor(const Uncertainties& u, double* c)
{
    constexpr double tolerance = 1e-10;
    std::fill(c, c + UncertainCount * UncertainCount, 0.0);
    for (int j = 0; j < UncertainCount; ++j) {
        double pivot = u.Rho(j, j);
        for (int k = 0; k < j; ++k) pivot -= c[At(j, k)] * c[At(j, k)];
        if (pivot < -tolerance) return false;
        if (pivot <= tolerance) {
            // A dependent parameter: its column stays zero, which needs every later row to have
            // nothing left in it either.
            for (int i = j + 1; i < UncertainCount; ++i) {
                double r = u.Rho(i, j);
                for (int k = 0; k < j; ++k) r -= c[At(i, k)] * c[At(j, k)];
                if (std::fabs(r) > 1e-7) return false;
            }
            continue;
        }
        const double d = std::sqrt(pivot);
        c[At(j, j)] = d;
        for (int i = j + 1; i < UncertainCount; ++i) {
            double r = u.Rho(i, j);
            for (int k = 0; k < j; ++k) r -= c[At(i, k)] * c[At(j, k)];
            c[At(i, j)] = r / d;
        }
    }
    return true;
}

std::uint64_t SplitMix64(std::uint64_t& x)
{
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t Rotl(std::uint64_t x, int k)
{
    return (x << k) | (x >> (64 - k));
}

}  // namespace

const char* UncertainKey(int parameter)
{
    return parameter >= 0 && parameter < UncertainCount ? Keys[parameter] : "";
}

bool Uncertainties::Any() const
{
    return std::any_of(u.begin(), u.end(), [](double x) { return x > 0; });
}

double Uncertainties::Rho(int a, int b) const
{
    if (a == b) return 1;
    if (Correlation.size() != static_cast<size_t>(UncertainCount * UncertainCount)) return 0;
    return Correlation[At(a, b)];
}

void Uncertainties::SetRho(int a, int b, double rho)
{
    if (a == b || a < 0 || b < 0 || a >= UncertainCount || b >= UncertainCount) return;
    if (Correlation.size() != static_cast<size_t>(UncertainCount * UncertainCount)) {
        Correlation.assign(UncertainCount * UncertainCount, 0.0);
        for (int k = 0; k < UncertainCount; ++k) Correlation[At(k, k)] = 1;
    }
    Correlation[At(a, b)] = Correlation[At(b, a)] = rho;
    // Without any correlation the matrix goes, so that equal uncertainties compare equal.
    for (int i = 0; i < UncertainCount; ++i)
        for (int j = 0; j < UncertainCount; ++j)
            if (i != j && Correlation[At(i, j)] != 0) return;
    Correlation.clear();
}

double Uncertainties::Covariance(int a, int b) const
{
    return u[static_cast<size_t>(a)] * u[static_cast<size_t>(b)] * Rho(a, b);
}

UnicodeString UncertaintyRefusal(const Uncertainties& u)
{
    for (int k = 0; k < UncertainCount; ++k)
        if (!(std::isfinite(u.u[static_cast<size_t>(k)]) && u.u[static_cast<size_t>(k)] >= 0))
            return UnicodeString("The uncertainty of ") + Keys[k] + " is not a number from 0 up.";
    if (u.Correlation.empty()) return "";
    if (u.Correlation.size() != static_cast<size_t>(UncertainCount * UncertainCount))
        return "The correlations are not a " + IntToStr(UncertainCount) + " \u00d7 " + IntToStr(UncertainCount) + " matrix.";
    for (int a = 0; a < UncertainCount; ++a)
        for (int b = 0; b < UncertainCount; ++b) {
            const double r = u.Correlation[At(a, b)];
            if (a == b && r != 1) return UnicodeString("The correlation of ") + Keys[a] + " with itself is not 1.";
            if (!(r >= -1 && r <= 1))
                return UnicodeString("The correlation of ") + Keys[a] + " and " + Keys[b] + " is not between -1 and 1.";
            if (r != u.Correlation[At(b, a)])
                return UnicodeString("The correlations of ") + Keys[a] + " and " + Keys[b] + " differ in the two orders.";
        }
    double c[UncertainCount * UncertainCount];
    if (!Factor(u, c)) return "The correlations contradict one another (their matrix is not positive semi-definite).";
    return "";
}

Uncertainties UncertaintiesFromFit(const std::vector<FitResult>& fits)
{
    Uncertainties out;
    out.FromFit = true;
    for (const FitResult& f : fits) {
        if (!f.HasValues() || f.Covariance.empty()) continue;
        // The parameters of each estimate: a single fit's u0, uCS, K; the joint fit's shared u0
        // (both analytes'), uCS and K of analyte 1, uCS and K of analyte 2.
        std::vector<std::vector<int>> of;
        if (f.Analyte >= 0) {
            const int base = f.Analyte * 3;
            of = {{base + unU01}, {base + unU1}, {base + unK1}};
        } else {
            of = {{unU01, unU02}, {unU1}, {unK1}, {unU2}, {unK2}};
        }
        const size_t n = of.size();
        std::vector<double> sd(n);
        for (size_t e = 0; e < n; ++e) sd[e] = std::sqrt(std::max(0.0, f.CovarianceOf(e, e)));
        for (size_t e = 0; e < n; ++e)
            for (int p : of[e]) out.u[static_cast<size_t>(p)] = sd[e];
        for (size_t e = 0; e < n; ++e)
            for (size_t g = 0; g < n; ++g) {
                if (!(sd[e] > 0 && sd[g] > 0)) continue;
                const double rho = e == g ? 1 : std::clamp(f.CovarianceOf(e, g) / (sd[e] * sd[g]), -1.0, 1.0);
                for (int p : of[e])
                    for (int q : of[g])
                        if (p != q) out.SetRho(p, q, rho);
            }
    }
    return out;
}

TRandom::TRandom(std::uint64_t seed)
{
    std::uint64_t x = seed;
    for (std::uint64_t& word : s) word = SplitMix64(x);
}

std::uint64_t TRandom::Next()
{
    const std::uint64_t result = Rotl(s[1] * 5, 7) * 9;
    const std::uint64_t t = s[1] << 17;
    s[2] ^= s[0];
    s[3] ^= s[1];
    s[1] ^= s[2];
    s[0] ^= s[3];
    s[2] ^= t;
    s[3] = Rotl(s[3], 45);
    return result;
}

double TRandom::Uniform()
{
    return (static_cast<double>(Next() >> 11) + 0.5) * 0x1.0p-53;
}

double TRandom::Normal()
{
    if (spare) {
        const double z = *spare;
        spare.reset();
        return z;
    }
    double a, b, r;
    do {
        a = 2 * Uniform() - 1;
        b = 2 * Uniform() - 1;
        r = a * a + b * b;
    } while (r >= 1 || r == 0);
    const double f = std::sqrt(-2 * std::log(r) / r);
    spare = b * f;
    return a * f;
}

std::vector<double> DrawDeviations(const Uncertainties& u, const MonteCarloOptions& options)
{
    const UnicodeString refusal = UncertaintyRefusal(u);
    if (!refusal.empty()) throw Exception(refusal);
    const int draws = std::max(options.Draws, MinDraws);
    double c[UncertainCount * UncertainCount];
    Factor(u, c);
    TRandom random(options.Seed);
    std::vector<double> out(static_cast<size_t>(draws) * UncertainCount);
    double z[UncertainCount];
    for (int d = 0; d < draws; ++d) {
        // Six normals a draw whatever is uncertain, so that a draw's deviations of one parameter
        // do not depend on which others are uncertain.
        for (double& x : z) x = random.Normal();
        for (int i = 0; i < UncertainCount; ++i) {
            double sum = 0;
            for (int k = 0; k <= i; ++k) sum += c[At(i, k)] * z[k];
            out[static_cast<size_t>(d) * UncertainCount + static_cast<size_t>(i)] = u.u[static_cast<size_t>(i)] * sum;
        }
    }
    return out;
}

bool ApplyDraw(PhysParams& phys, const double* deviation)
{
    phys.u01 += deviation[unU01];
    phys.u1 += deviation[unU1];
    phys.K1 += deviation[unK1];
    phys.u02 += deviation[unU02];
    phys.u2 += deviation[unU2];
    phys.K2 += deviation[unK2];
    bool clipped = false;
    for (double* K : {&phys.K1, &phys.K2})
        if (*K < 0) *K = 0, clipped = true;
    return clipped;
}

double Quantile(const std::vector<double>& sorted, double p)
{
    if (sorted.empty()) return std::numeric_limits<double>::quiet_NaN();
    const double h = (static_cast<double>(sorted.size()) - 1) * std::clamp(p, 0.0, 1.0);
    const size_t lo = static_cast<size_t>(std::floor(h));
    const size_t hi = std::min(lo + 1, sorted.size() - 1);
    const double t = h - static_cast<double>(lo);
    if (t == 0) return sorted[lo];
    return sorted[lo] + t * (sorted[hi] - sorted[lo]);
}

namespace {

Figure Defined(double x)
{
    if (std::isfinite(x)) return x;
    return std::nullopt;
}

bool GoodFigures(const PeakFigures& f)
{
    return !f.TooLong && f.Rs && *f.Rs >= BaselineResolution;
}

// The concentration of the largest Rs of one draw: the best of the list (a run over the limit
// counts as worst), then a golden-section search between its neighbours, taken when better.
std::optional<double> DrawOptimum(const PhysParams& p, const AnalysisOptions& o, const std::vector<double>& c,
                                  const std::vector<double>& rs)
{
    size_t best = 0;
    for (size_t k = 1; k < rs.size(); ++k)
        if (rs[k] > rs[best]) best = k;
    if (rs.empty() || !(rs[best] > 0) || !std::isfinite(rs[best])) return std::nullopt;
    auto value = [&](double x) {
        const PeakFigures f = AnalyseAt(p, x, o);
        return f.Rs && !f.TooLong ? *f.Rs : -Infinity;
    };
    double a = c[best > 0 ? best - 1 : best], b = c[best + 1 < c.size() ? best + 1 : best];
    double at = c[best], atValue = rs[best];
    if (a < b) {
        const double ratio = (std::sqrt(5.0) - 1) / 2;
        double x1 = b - ratio * (b - a), x2 = a + ratio * (b - a);
        double f1 = value(x1), f2 = value(x2);
        for (int i = 0; i < 60 && b - a > 1e-9 * (std::fabs(a) + std::fabs(b)); ++i) {
            if (f1 >= f2) {
                b = x2, x2 = x1, f2 = f1;
                x1 = b - ratio * (b - a);
                f1 = value(x1);
            } else {
                a = x1, x1 = x2, f1 = f2;
                x2 = a + ratio * (b - a);
                f2 = value(x2);
            }
        }
        const double x = f1 >= f2 ? x1 : x2, fx = std::max(f1, f2);
        if (fx > atValue) at = x;
    }
    return at;
}

}  // namespace

RsBand ComputeRsBand(const Params& params, const Uncertainties& u, const AnalysisOptions& o,
                     const std::vector<double>& concentrations, const MonteCarloOptions& options,
                     const MapProgress& progress)
{
    RsBand band;
    const std::vector<double> deviations = DrawDeviations(u, options);
    const int draws = static_cast<int>(deviations.size() / UncertainCount);
    band.Draws = draws;
    const DiffusionUsed d = AnalysisDiffusion(params, o);
    PhysParams nominal = params.phys;
    nominal.D01 = d.D01, nominal.D02 = d.D02, nominal.D1 = d.D1, nominal.D2 = d.D2;
    const size_t n = concentrations.size();

    // Rs of every draw at every concentration (undefined as -infinity), column by draw.
    std::vector<double> rs(n * static_cast<size_t>(draws));
    std::vector<char> good(n * static_cast<size_t>(draws)), clipped(static_cast<size_t>(draws));
    std::vector<double> optimum(static_cast<size_t>(draws), std::numeric_limits<double>::quiet_NaN());
    const bool finished = ParallelFor(draws, 0, [&](int k) {
        PhysParams p = nominal;
        clipped[static_cast<size_t>(k)] = ApplyDraw(p, &deviations[static_cast<size_t>(k) * UncertainCount]);
        std::vector<double> column(n);
        for (size_t i = 0; i < n; ++i) {
            const PeakFigures f = AnalyseAt(p, concentrations[i], o);
            column[i] = f.Rs ? *f.Rs : -Infinity;
            rs[i * static_cast<size_t>(draws) + static_cast<size_t>(k)] = column[i];
            good[i * static_cast<size_t>(draws) + static_cast<size_t>(k)] = GoodFigures(f);
            if (f.TooLong) column[i] = -Infinity;
        }
        if (const auto c = DrawOptimum(p, o, concentrations, column)) optimum[static_cast<size_t>(k)] = *c;
    }, progress);
    if (!finished) {
        band.Cancelled = true;
        return band;
    }
    band.ClippedK = static_cast<int>(std::count(clipped.begin(), clipped.end(), 1));
    band.Points.resize(n);
    for (size_t i = 0; i < n; ++i) {
        BandPoint& b = band.Points[i];
        b.c = concentrations[i];
        b.Rs = AnalyseAt(nominal, b.c, o).Rs;
        std::vector<double> sorted(rs.begin() + static_cast<std::ptrdiff_t>(i * static_cast<size_t>(draws)),
                                   rs.begin() + static_cast<std::ptrdiff_t>((i + 1) * static_cast<size_t>(draws)));
        std::sort(sorted.begin(), sorted.end());
        b.Rs05 = Defined(Quantile(sorted, 0.05));
        b.Rs50 = Defined(Quantile(sorted, 0.50));
        b.Rs95 = Defined(Quantile(sorted, 0.95));
        const auto first = good.begin() + static_cast<std::ptrdiff_t>(i * static_cast<size_t>(draws));
        b.PGood = static_cast<double>(std::count(first, first + draws, 1)) / draws;
    }
    std::vector<double> found;
    for (double c : optimum)
        if (std::isfinite(c)) found.push_back(c);
    std::sort(found.begin(), found.end());
    band.Optimum.Draws = static_cast<int>(found.size());
    if (!found.empty()) {
        band.Optimum.c05 = Quantile(found, 0.05);
        band.Optimum.c50 = Quantile(found, 0.50);
        band.Optimum.c95 = Quantile(found, 0.95);
    }
    return band;
}

ProbabilityMap ComputeProbabilityMap(const Params& params, const DesignSpaceSettings& settings, const Uncertainties& u,
                                     const MonteCarloOptions& options, const MapProgress& progress, int threads)
{
    const UnicodeString refusal = DesignSpaceRefusal(params, settings);
    if (!refusal.empty()) throw Exception(refusal);
    ProbabilityMap out;
    const std::vector<double> deviations = DrawDeviations(u, options);
    const int draws = static_cast<int>(deviations.size() / UncertainCount);
    out.Draws = draws;
    ConcentrationScale scale;
    std::vector<double> x, y;
    MapAxes(params, settings, scale, x, y);
    if (scale.Empty) return out;
    const size_t nx = x.size();
    std::vector<Figure> P(nx * y.size());
    // The draws that clip a constant of the dependency's own conditions (the rows' constants
    // differ with the pH, and are clipped where they need it).
    for (int k = 0; k < draws; ++k) {
        PhysParams p = params.phys;
        out.ClippedK += ApplyDraw(p, &deviations[static_cast<size_t>(k) * UncertainCount]) ? 1 : 0;
    }
    const bool finished = ParallelFor(static_cast<int>(y.size()), threads, [&](int j) {
        UnicodeString problem;
        const std::optional<PhysParams> row = MapRowPhys(params, settings, y[static_cast<size_t>(j)], problem);
        if (!row) return;
        std::vector<int> count(nx, 0);
        for (int k = 0; k < draws; ++k) {
            PhysParams p = *row;
            ApplyDraw(p, &deviations[static_cast<size_t>(k) * UncertainCount]);
            for (size_t i = 0; i < nx; ++i)
                if (GoodFigures(AnalyseAt(p, x[i], settings.Analysis))) ++count[i];
        }
        for (size_t i = 0; i < nx; ++i)
            P[static_cast<size_t>(j) * nx + i] = static_cast<double>(count[i]) / draws;
    }, progress);
    if (!finished) {
        out.Cancelled = true;
        return out;
    }
    out.P = std::move(P);
    return out;
}
