// Separation analysis of one dependency: peak widths, plate numbers and
// resolution at a selector concentration, and over the concentration range the
// Wren-Rowe and numerical optima, the intervals of baseline separation and the
// warnings a chemist should see.
//
// Units as in the record: concentrations in mM, constants per mM, times in s
// (minutes only in the electropherogram), lengths in m, diffusion coefficients
// in m^2/s, mobilities in m^2/(V s).
//
// Every figure that cannot be computed is an empty Figure, never a NaN or an
// infinity: an analyte that does not reach the detector, a diffusion
// coefficient that is not positive, a division by zero, an overflow. A window
// shows such a figure as a dash.
#pragma once

#include "model/Params.h"
#include "platform/SysUtils.h"

#include <optional>
#include <vector>

// A figure that may be undefined; when it holds a value, the value is finite.
using Figure = std::optional<double>;

// The resolution from which two peaks count as separated to the baseline.
inline constexpr double BaselineResolution = 1.5;

// What the peaks bring with them besides the run conditions of the record.
struct AnalysisOptions {
    double InjectionPlug = 0;   // length of the injected zone l_inj, m
    double DetectorWindow = 0;  // length of the detection window w_det, m
    // The longest run a chemist will wait for, s; not positive for no limit.
    // Concentrations where either analyte takes longer count for no optimum and
    // no interval of baseline separation.
    double LongestRun = 0;
    // How the concentrations of the scan and the curve are spaced.
    enum Spacing { asAuto, asLinear, asLog };
    Spacing Scale = asAuto;
    // Diffusion coefficients of the complexes entered for the analysis, m^2/s, taken
    // when the selector carries a charge; not positive for none.
    double ComplexD1 = 0;
    double ComplexD2 = 0;
};

// Where a diffusion coefficient of the analysis comes from.
enum class TDiffusionSource {
    Entered,      // the record's value, entered for an uncharged species
    Derived,      // the record's value, Nernst-Einstein from the species' mobility and charge
    ChargedForm,  // Nernst-Einstein from the charged form's own mobility (pH model)
    Analysis,     // entered for the analysis (a complex with a charged selector)
};

// The diffusion coefficients the analysis takes, m^2/s, and their sources.
//  - A free analyte: with the pH model on and a charge, kB T |u| / (e |z|) from the
//    mobility u of the form whose free mobility is larger in size, not from the
//    pH-averaged one, since a molecule's size barely changes when it ionises; else
//    the record's value.
//  - A complex: with a charged selector and a value entered for the analysis,
//    that value; else with the pH model on and a charged complex (charge z0 + zCS),
//    Nernst-Einstein from that form's complex mobility; else the record's value.
// The record's own values stay as the derivation made them.
struct DiffusionUsed {
    double D01 = 0, D02 = 0, D1 = 0, D2 = 0;
    TDiffusionSource From01 = TDiffusionSource::Entered, From02 = TDiffusionSource::Entered;
    TDiffusionSource From1 = TDiffusionSource::Entered, From2 = TDiffusionSource::Entered;
};
DiffusionUsed AnalysisDiffusion(const Params& params, const AnalysisOptions& options = {});

// The figures of both peaks at one selector concentration.
//  - t1, t2: migration times; defined only when the analyte reaches the
//    detector (positive velocity and time; a velocity within the rounding
//    error of its terms counts as zero);
//  - Deff: (1 - x) D0 + x D of the analyte, fast exchange between the free and
//    the complexed form;
//  - Dtot: Deff + Radius^2 FlowVelocity^2 / (48 Deff) (Taylor-Aris); defined
//    only for a positive Deff and when neither coefficient is negative;
//  - sigmaL: spatial standard deviation at the detector,
//    sigmaL^2 = 2 Dtot t + l_inj^2 / 12 + w_det^2 / 12;
//  - sigmaT = sigmaL / |velocity|; N = Detector^2 / sigmaL^2;
//  - dt = |t2 - t1| and Rs = dt / (2 (sigmaT1 + sigmaT2)), both only when both
//    analytes reach the detector;
//  - du = |ueff2 - ueff1|, defined whenever the point could be computed.
struct PeakFigures {
    double c = 0;           // mM
    bool Computed = false;  // false when the arithmetic of the point failed or c K is negative
    Figure t1, t2;          // s
    Figure dt;              // s
    Figure du;              // m^2/(V s)
    Figure Deff1, Deff2;    // m^2/s
    Figure Dtot1, Dtot2;    // m^2/s
    Figure sigmaL1, sigmaL2;  // m
    Figure sigmaT1, sigmaT2;  // s
    Figure N1, N2;
    Figure Rs;
    // The analyte's velocity is zero within its rounding error: it does not move.
    bool Standing1 = false, Standing2 = false;
    // An analyte that arrives takes longer than the options' LongestRun (when set).
    bool TooLong = false;
};

// The figures at concentration c (mM) of derived parameters (Derive() has run).
PeakFigures AnalyseAt(const PhysParams& phys, double c, const AnalysisOptions& options = {});
// The same with the diffusion coefficients of AnalysisDiffusion.
PeakFigures AnalyseAt(const Params& params, double c, const AnalysisOptions& options = {});

// Taylor-Aris dispersion holds for runs much longer than the radial diffusion
// time R^2 / D; shorter runs than this many times it are warned of.
inline constexpr double TaylorArisRuns = 10;

// A closed concentration interval, mM.
struct ConcentrationInterval {
    double c0 = 0;
    double c1 = 0;
};

// Something in the range that limits or spoils the separation, with the
// concentrations where it applies (c0 = c1 for a single concentration) and a
// sentence in plain English.
struct AnalysisWarning {
    enum Kind {
        awEmptyRange,      // cMin above cMax (or not a number): nothing to analyse
        awNotArriving,     // Analyte does not reach the detector over [c0, c1]
        awNoDiffusion,     // Analyte's diffusion coefficient is not positive over [c0, c1]
                           // (a negative one: the whole range, nothing rests on it)
        awUndefined,       // the arithmetic fails over [c0, c1]; a negative constant (Analyte's,
                           // c0 = c1 = -1/K when that lies in the range) or concentration
                           // leaves the whole analysis undefined
        awOrderReversal,   // the migration order reverses at c0 = c1; the peaks co-migrate there
        awNoBaseline,      // Rs stays below 1.5 everywhere in [c0, c1] = [cMin, cMax]
        awShortRun,        // under a flow, Analyte's run is too short for Taylor-Aris over [c0, c1]
        awTimeLimit,       // runs are longer than the limit over [c0, c1]
        awRangeEnd,        // an optimum lies at an end of the range, c0 = c1: it may lie beyond
        awDiffusionGuess,  // Analyte's complex with a charged selector has no entered D
    };
    Kind kind = awEmptyRange;
    int Analyte = 0;  // 1 or 2 where the warning concerns one analyte, else 0
    double c0 = 0;
    double c1 = 0;
    UnicodeString Text;
};

// One point of the resolution curve.
struct ResolutionPoint {
    double c = 0;  // mM
    Figure Rs;
    bool TooLong = false;  // a run there is longer than the limit
};

// A numerical optimum: where it lies and the figures there.
struct Optimum {
    double c = 0;  // mM
    PeakFigures Figures;
};

// The analysis of a dependency over its concentration range.
struct SeparationAnalysis {
    // Rs at evenly spaced concentrations from cMin to cMax, both included (one
    // point when cMin = cMax, none when the range is empty); on a logarithmic
    // scale evenly spaced in lg c from LogStart to cMax.
    std::vector<ResolutionPoint> Curve;
    // Whether the scan and the curve are spaced logarithmically: when asked, or
    // by itself when the range spans more than two decades (cMax > 100 cMin, or
    // from 0 when cMax > 100 / max(K1, K2)). From 0 the scan adds c = 0 and
    // starts at LogStart = 0.001 / max(K1, K2) (0.1 % complexed), else at cMin.
    bool LogScale = false;
    double LogStart = 0;
    // The stationary point of ueff2 - ueff1 for unequal complex mobilities,
    // where d(du)/dc = 0:
    //   c* = (sqrt(|D2| K2) - sqrt(|D1| K1)) / (sqrt(|D1| K1) K2 - sqrt(|D2| K2) K1),
    // Di = uCS,i - u0,i; defined when D1 and D2 have the same sign (not zero),
    // both constants are positive and c* is positive. Equal to 1 / sqrt(K1 K2)
    // when D1 = D2.
    Figure DuClosedForm;
    // The diffusion coefficients the figures rest on.
    DiffusionUsed Diffusion;
    // c_opt = 1 / sqrt(K1 K2), when both constants are positive. It is the
    // optimum of du only for equal free and equal complex mobilities.
    Figure WrenRowe;
    bool WrenRoweInRange = false;
    std::optional<PeakFigures> AtWrenRowe;  // the figures at c_opt when it lies in the range
    // The concentrations of the largest du and of the largest Rs in the range,
    // searched on the continuous concentration; absent where the quantity is
    // undefined or zero everywhere.
    std::optional<Optimum> DuOptimum;
    std::optional<Optimum> RsOptimum;
    // Where Rs >= 1.5, in increasing order, ends refined to the concentration
    // where Rs crosses 1.5 (or the ends of the range).
    std::vector<ConcentrationInterval> BaselineIntervals;
    std::vector<AnalysisWarning> Warnings;
};

// The most points of a resolution curve or an electropherogram.
inline constexpr int MaxCurvePoints = 100000;

// The analysis of derived parameters over [cMin, cMax]. The range is scanned at
// max(points, 400) steps (at most 10000; evenly in lg c on a logarithmic scale), optima and crossings are refined
// between scan points; the curve has curvePoints points (2 to MaxCurvePoints
// for a range that is not a single concentration). Nothing is raised for arithmetic
// that fails at a concentration; the figures there are undefined.
SeparationAnalysis Analyse(const Params& params, const AnalysisOptions& options = {},
                           int curvePoints = 201);

// How the concentrations of an analysis are spaced over [cMin, cMax]: the choice Analyse makes
// for its scan and its curve (see SeparationAnalysis::LogScale), for every grid over the
// dependency's range.
struct ConcentrationScale {
    bool Empty = true;  // cMin above cMax or not finite: no concentrations
    bool Log = false;   // evenly spaced in lg c
    double From = 0;    // the first concentration: cMin, or LogStart on a logarithmic scale
    double To = 0;      // the last: cMax
};
ConcentrationScale AnalysisScale(const Params& params, const AnalysisOptions& options = {});

// Count concentrations of a scale, From and To included (To itself, not an accumulated sum):
// evenly spaced, in lg c on a logarithmic scale; the single From when From = To or Count < 2;
// none for an empty scale.
std::vector<double> ScaleConcentrations(const ConcentrationScale& scale, int count);

// One sample of the predicted electropherogram: time in minutes and the
// detector signal of the two peaks, each a Gaussian of unit area (in 1/min),
// centred at t_i with the standard deviation sigmaT_i.
struct TracePoint {
    double t = 0;      // min
    double signal = 0; // peak1 + peak2
    double peak1 = 0;
    double peak2 = 0;
};

// The electropherogram of the figures at one concentration, in increasing time,
// from 5 standard deviations before the first peak (not below 0) to 5 after the
// last: samples evenly spaced points over that window plus samples / 4 around
// each peak, so that a narrow peak is drawn in full even far from the other.
// A peak whose time or width is undefined is left out; with neither peak, or
// samples below 2, the trace is empty. samples is at most MaxCurvePoints.
//
// With paByTime the peaks' areas are proportional to their migration times, as a
// detector on the capillary sees them (a zone of equal amount passes it in a time
// inversely proportional to its velocity): the earlier peak has area 1, the later
// t_later / t_earlier.
enum class TPeakAreas { paUnit, paByTime };
std::vector<TracePoint> Electropherogram(const PeakFigures& figures, int samples = 600,
                                         TPeakAreas areas = TPeakAreas::paUnit);
