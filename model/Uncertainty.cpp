#include "model/Uncertainty.h"

const char* UncertainKey(int) { return ""; }
bool Uncertainties::Any() const { return false; }
double Uncertainties::Rho(int a, int b) const { return a == b ? 1 : 0; }
void Uncertainties::SetRho(int, int, double) {}
double Uncertainties::Covariance(int, int) const { return 0; }
UnicodeString UncertaintyRefusal(const Uncertainties&) { return ""; }
Uncertainties UncertaintiesFromFit(const std::vector<FitResult>&) { return {}; }
TRandom::TRandom(std::uint64_t seed) : s{seed, 0, 0, 0} {}
std::uint64_t TRandom::Next() { return 0; }
double TRandom::Uniform() { return 0.5; }
double TRandom::Normal() { return 0; }
std::vector<double> DrawDeviations(const Uncertainties&, const MonteCarloOptions&) { return {}; }
bool ApplyDraw(PhysParams&, const double*) { return false; }
double Quantile(const std::vector<double>&, double) { return 0; }
RsBand ComputeRsBand(const Params&, const Uncertainties&, const AnalysisOptions&, const std::vector<double>&,
                     const MonteCarloOptions&, const MapProgress&)
{
    return {};
}
ProbabilityMap ComputeProbabilityMap(const Params&, const DesignSpaceSettings&, const Uncertainties&,
                                     const MonteCarloOptions&, const MapProgress&, int)
{
    return {};
}
