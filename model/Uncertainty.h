// How sure a separation plan is: standard uncertainties of the free and complex mobilities and
// the complexation constants of both analytes, with their correlations, carried through the
// analysis by Monte Carlo.
//
// Each draw adds a correlated normal deviation to the derived parameters (phys.u01, u1, K1,
// u02, u2, K2; with the pH model, the values at the run's pH) and analyses the dependency with
// them; every concentration and every grid point sees the same draws. The generator is our own
// (xoshiro256** seeded by splitmix64, normals by the Marsaglia polar method), so a seed gives the
// same draws on every machine.
#pragma once

#include "model/Analysis.h"
#include "model/DesignSpace.h"
#include "model/Fit.h"
#include "model/Params.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// The uncertain parameters, in this order.
enum TUncertain { unU01, unU1, unK1, unU02, unU2, unK2 };
inline constexpr int UncertainCount = 6;
// The key of each parameter, as the record's phys field: "u01", "u1", "K1", "u02", "u2", "K2".
const char* UncertainKey(int parameter);

struct Uncertainties {
    // Standard uncertainties in stored units (mobilities m^2/(V s), constants 1/mM); 0 for none.
    std::array<double, UncertainCount> u{};
    // Correlation coefficients, row-major UncertainCount x UncertainCount, symmetric with a unit
    // diagonal; empty for independent parameters.
    std::vector<double> Correlation;
    // The values were taken from the fit of the dependency's measurements rather than typed.
    bool FromFit = false;

    bool operator==(const Uncertainties&) const = default;
    // No parameter has an uncertainty (and nothing else is set).
    bool Empty() const { return *this == Uncertainties(); }
    bool Any() const;
    // The correlation of parameters a and b (1 on the diagonal, 0 without a matrix).
    double Rho(int a, int b) const;
    void SetRho(int a, int b, double rho);
    // The covariance u_a u_b rho_ab.
    double Covariance(int a, int b) const;
};

// Why the uncertainties cannot be used, or an empty text: a negative or non-finite uncertainty,
// a correlation outside [-1, 1], a matrix of the wrong size, not symmetric or without a unit
// diagonal, or a covariance that is not positive semi-definite.
UnicodeString UncertaintyRefusal(const Uncertainties& u);

// The uncertainties the fits of a dependency's measurements give (FitMeasurements): standard
// errors of the free parameters and their correlations from the fits' covariance; a held
// parameter or a fit without values gives none. In a joint fit the shared u0 is u01 and u02 at
// once: both get its error, and their correlation is 1. FromFit is set.
Uncertainties UncertaintiesFromFit(const std::vector<FitResult>& fits);

// The generator of the draws: xoshiro256** seeded through splitmix64.
class TRandom {
public:
    explicit TRandom(std::uint64_t seed);
    std::uint64_t Next();
    // Uniform on (0, 1) with 53 random bits.
    double Uniform();
    // Standard normal, Marsaglia polar method (pairs, the second kept for the next call).
    double Normal();

private:
    std::uint64_t s[4];
    std::optional<double> spare;
};

inline constexpr int DefaultDraws = 1000;
inline constexpr int MinDraws = 1000;
inline constexpr std::uint64_t DefaultSeed = 20261210;

struct MonteCarloOptions {
    int Draws = DefaultDraws;  // fewer than MinDraws are raised to it
    std::uint64_t Seed = DefaultSeed;
};

// The deviations of the draws: Draws rows of UncertainCount values, row-major, correlated
// through the Cholesky factor of the covariance (a semi-definite one through its pivoted
// factor). Raises Exception with UncertaintyRefusal's text.
std::vector<double> DrawDeviations(const Uncertainties& u, const MonteCarloOptions& options);

// The derived parameters of one draw: the deviations added to phys.u01 ... K2. A constant that
// the draw makes negative is clipped at 0 (no complexation), which returns true.
bool ApplyDraw(PhysParams& phys, const double* deviation);

// The quantile of sorted values, linear between order statistics (Hyndman and Fan's type 7:
// position (n - 1) p).
double Quantile(const std::vector<double>& sorted, double p);

// The uncertainty at one concentration.
struct BandPoint {
    double c = 0;  // mM
    Figure Rs;     // the nominal analysis' Rs
    // Rs at the 5 %, 50 % and 95 % quantiles of the draws; a draw where Rs is undefined counts
    // as the lowest value, and a quantile that falls on such draws is undefined.
    Figure Rs05, Rs50, Rs95;
    // The share of draws with Rs >= 1.5 and the run within the analysis' longest run.
    double PGood = 0;
};

// The optimum concentration over the draws: each draw's concentration of the largest Rs (the
// best of the concentrations, refined between its neighbours as Analyse refines it) and its
// quantiles.
struct OptimumSpread {
    int Draws = 0;  // draws with an optimum
    Figure c05, c50, c95;
};

struct RsBand {
    std::vector<BandPoint> Points;
    OptimumSpread Optimum;
    int Draws = 0;
    int ClippedK = 0;  // draws in which a constant was clipped at 0
    bool Cancelled = false;  // stopped by the progress callback: no points
};

// The band of Rs over concentrations (mM) for derived parameters under the analysis options.
// Progress counts draws.
RsBand ComputeRsBand(const Params& params, const Uncertainties& u, const AnalysisOptions& analysis,
                     const std::vector<double>& concentrations, const MonteCarloOptions& options = {},
                     const MapProgress& progress = {});

// P(Rs >= 1.5 within the longest run) at every point of a map's grid (same grid as
// ComputeDesignMap for the settings), the same draws at every point; row-major, undefined where
// the row's conditions cannot be derived. Progress counts rows; Threads as ComputeDesignMap.
struct ProbabilityMap {
    std::vector<Figure> P;
    int Draws = 0;
    int ClippedK = 0;
    bool Cancelled = false;
};
ProbabilityMap ComputeProbabilityMap(const Params& params, const DesignSpaceSettings& settings,
                                     const Uncertainties& u, const MonteCarloOptions& options = {},
                                     const MapProgress& progress = {}, int threads = 0);
