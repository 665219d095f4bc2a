// The fit of measured mobilities: 50 rows (25 concentrations in duplicate) of one analyte with
// scatter, three free parameters, values, standard errors and the profile-t intervals of all
// three; and the joint fit of both analytes with the shared u0 and K2 - K1. Items are fits.
#include "model/Fit.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

Measurements Rows(int Count, bool BothAnalytes)
{
    std::mt19937 random(26);
    std::normal_distribution<double> noise(0, 0.15e-9);
    Measurements m;
    for (int j = 0; j < Count; ++j) {
        MeasuredRow row;
        row.c = (j / 2) * 2.0;
        const double c = row.c;
        row.u[0] = (20e-9 + 5e-9 * 0.2 * c) / (1 + 0.2 * c) + noise(random);
        if (BothAnalytes)
            row.u[1] = (20e-9 + 6e-9 * 0.3 * c) / (1 + 0.3 * c) + noise(random);
        m.Rows.push_back(row);
    }
    m.Options.SharedU0 = BothAnalytes;
    return m;
}

void BM_Fit(benchmark::State& state)
{
    const bool both = state.range(1) != 0;
    const Measurements m = Rows(static_cast<int>(state.range(0)), both);
    for (auto _ : state) {
        auto fit = FitMeasurements(m, PhysParams());
        if (fit.empty() || !fit[0].HasValues())
            state.SkipWithError("the fit gave no values");
        benchmark::DoNotOptimize(fit);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Fit)->ArgNames({"rows", "joint"})->Args({50, 0})->Args({14, 0})->Args({50, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace
