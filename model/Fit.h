// The binding isotherm fitted to measured mobilities:
//   u(c) = (u0 + uCS K c) / (1 + K c)
// per analyte, or for both analytes at once with one shared free mobility u0. Nonlinear least
// squares (Ceres Solver, Levenberg-Marquardt, K >= 0), standard errors from s^2 (J^T W J)^-1 with
// s^2 = RSS / (n - p), and 95 % profile-t intervals: where (RSS_profile - RSS_min) / s^2 equals
// t^2(n - p, 0.975), the other free parameters refitted at every point of the profile.
#pragma once

#include "model/Measured.h"
#include "platform/SysUtils.h"

#include <optional>
#include <vector>

// One parameter of a fit, in stored units (mobilities m^2/(V s), constants 1/mM).
struct FitEstimate {
    // 0 or 1: analyte 1 or 2; -1: both (the shared u0, K2 - K1).
    int Analyte = 0;
    UnicodeString Name;  // "u0", "uCS", "K" or "K2-K1"
    double Value = 0;
    bool Fixed = false;  // held at the dependency's value: no uncertainty
    // Absent with as many rows as free parameters; an interval end is also absent where the
    // profile never reaches the level (K's lower end is 0 where the profile reaches K = 0 first).
    std::optional<double> StdError, Low, High;
};

// One fit: an analyte alone or, with the shared u0, both.
struct FitResult {
    int Analyte = 0;  // 0 or 1, -1 for the joint fit
    int n = 0;        // measured rows that took part
    int Free = 0;     // free parameters
    // Why there are no values (too few rows, K not identifiable, no convergence, a row whose
    // times fault); empty when the fit has values.
    UnicodeString Message;
    // u0, uCS, K of each analyte in that order (the joint fit: u0, then uCS and K of analyte 1,
    // of analyte 2, then K2 - K1); empty when Message is not.
    std::vector<FitEstimate> Estimates;
    std::optional<double> RSS;  // (m^2/(V s))^2, weighted when the options weight
    std::optional<double> s;    // m^2/(V s); absent with as many rows as free parameters
    std::optional<double> R2;   // 1 - RSS / sum (u - mean u)^2 (per analyte in a joint fit)
    // The covariance of the parameters (the Estimates before K2-K1, in their order), row-major,
    // in stored units: s^2 (J^T W J)^-1 over the free parameters, 0 in the rows and columns of
    // held ones. Empty where the standard errors are absent.
    std::vector<double> Covariance;
    // Its element of parameters A and B (0 when empty or out of range).
    double CovarianceOf(size_t A, size_t B) const;

    bool HasValues() const { return Message.empty(); }
    const FitEstimate* Find(int AnalyteIndex, const UnicodeString& Name) const;
};

// Fits the measurements of a dependency whose run conditions and current constants are Phys:
// one result per analyte with measured rows, or one joint result when Options.SharedU0 is set
// and both analytes were measured. Never raises for its data; a NaN never appears in a result.
std::vector<FitResult> FitMeasurements(const Measurements& Data, const PhysParams& Phys);

// The Student t quantile t(Df, P) (Boost.Math).
double StudentQuantile(double Df, double P);
