// Measured migration data of a dependency: per selector concentration, each analyte's migration
// time with the EOF marker's time of the same run, or its effective mobility entered directly;
// and the options of the binding-isotherm fit (model/Fit.h) that rests on them.
#pragma once

#include "model/Params.h"

#include <optional>
#include <vector>

// One run (or one line of a table): a selector concentration and what was measured in it. An
// analyte's time counts only together with tEOF; where it does, it gives the mobility, otherwise
// the mobility u entered directly does. An empty value is "not measured".
struct MeasuredRow {
    double c = 0;                      // selector concentration, mM
    std::optional<double> t[2];        // migration times of analytes 1 and 2, min
    std::optional<double> tEOF;        // the EOF marker's time, min
    std::optional<double> u[2];        // effective mobilities, m^2/(V s)

    bool operator==(const MeasuredRow&) const = default;
};

// The fit's parameters of one analyte, in this order.
enum FitParameter { fpU0, fpUCS, fpK, FitParameterCount };

struct FitOptions {
    // Per analyte, parameters held at the dependency's values instead of fitted.
    bool Fixed[2][FitParameterCount] = {};
    // One fit of both analytes with one free mobility u0 (analyte 1's fixed value when fixed).
    bool SharedU0 = false;
    // Each row weighted by 1 / the variance of the replicates at its concentration.
    bool Weighted = false;

    bool operator==(const FitOptions&) const = default;
};

struct Measurements {
    std::vector<MeasuredRow> Rows;
    double ViscositySlope = 0;  // v, 1/mM: every mobility is multiplied by (1 + v c)
    FitOptions Options;

    bool operator==(const Measurements&) const = default;
    // Nothing measured and nothing set: a dependency without measurements.
    bool Empty() const { return *this == Measurements(); }
};

// The effective mobility of an analyte (0 or 1) in a row under the run conditions Phys, with the
// viscosity correction, or nothing when the row does not measure it:
// u = (Capillary Detector / Voltage) (1/t - 1/tEOF) (1 + v c), times in seconds.
// A zero time or voltage raises the floating-point fault of the division.
std::optional<double> MeasuredMobility(const MeasuredRow& Row, int Analyte, const PhysParams& Phys,
                                       double ViscositySlope);


// The migration time (min) of an analyte that a row measured as a time (with tEOF), or nothing.
std::optional<double> MeasuredTime(const MeasuredRow& Row, int Analyte);
