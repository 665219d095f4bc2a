// Curve values of one concentration and the concentration sweep.
#pragma once

#include "model/Params.h"
#include "platform/SysUtils.h"

#include <cstdint>

// Choices of the separation measure drawn as the third curve, in the order of
// the graph combo box.
enum TGraphChoice {
    gcTimeDifference,
    gcMobilityDifference,
    gcMobilityFactor,
    gcMobilityFactorEOF,
    gcSelectivity,
    gcSelectivityEOF
};
inline constexpr int GraphChoiceCount = 6;

// The item text of a graph choice; empty for no choice (any index outside the list).
UnicodeString GraphText(int choice);

struct PointValues;

// One separation measure: its graph choice's text (also the heading of the shown column of the
// curves' text), the heading of its column among all point values, and its value at a point in
// SI units and as the chart's right axis shows it (SI times Shown).
struct TMeasure {
    const char* Text;
    const char* ValueHeading;
    double PointValues::*Value;
    double Shown;
};
// The measures, in the order of the graph choices.
extern const TMeasure Measures[GraphChoiceCount];

// Everything computed for one selector concentration c (mM). Index 1 is
// analyte 1, index 2 analyte 2. Divisions by a zero velocity, sum or minimum
// give 0.
struct PointValues {
    double x1 = 0, x2 = 0;            // complexed fractions
    double ueff1 = 0, ueff2 = 0;      // effective mobilities, m^2/(V s)
    double vel1 = 0, vel2 = 0;        // velocities, m/s
    double t1 = 0, t2 = 0;            // migration times to the detector, s
    double dt = 0;                    // |t2 - t1|, s
    double du = 0;                    // |ueff2 - ueff1|, m^2/(V s)
    double mobilityFactor = 0;        // 2 du / (ueff1 + ueff2)
    double mobilityFactorEOF = 0;     // 2 du / (ueff1 + ueff2 + 2 EOF)
    double selectivity = 0;           // max(ueff) / min(ueff)
    double selectivityEOF = 0;        // max(ueff + EOF) / min(ueff + EOF)

    PointValues() = default;
    // Computes the values at c from derived physical parameters.
    PointValues(const PhysParams& phys, double c);
    PointValues(const Params& params, double c) : PointValues(params.phys, c) {}

    // The y value of the third curve for a graph choice (times in minutes,
    // mobility difference in 1e-9 m^2/(V s)); 0 for no choice.
    double Measure(int choice) const;
};

// Seconds to minutes, applied as a multiplication.
inline constexpr double MinutesPerSecond = 1.0 / 60;

// The most points a sweep computes.
inline constexpr std::int32_t MaxSweepPoints = 1000000;

// Raises "Too many data points: %d (at most 1000000)." for a count above
// MaxSweepPoints, which no sweep computes.
void CheckSweepPoints(std::int32_t points);

// The concentrations of a sweep: from cMin by steps of (cMax - cMin) / points,
// accumulated, while not above cMax.
//  - points 0 raises the division fault of the step;
//  - points above MaxSweepPoints raises "Too many data points: ...";
//  - a step that is not positive gives the single concentration cMin (when
//    cMin <= cMax), so the sweep always ends;
//  - at most points + 1 concentrations are produced, whatever the rounding.
class SweepRange {
public:
    SweepRange(double cMin, double cMax, std::int32_t points);

    // Calls f(c) for every concentration, in order.
    template <class F>
    void ForEach(F&& f) const
    {
        if (!(FStep > 0)) {
            if (FMin <= FMax) f(FMin);
            return;
        }
        double c = FMin;
        for (std::int64_t n = 0; c <= FMax && n <= FPoints; ++n, c += FStep)
            f(c);
    }

    double Step() const { return FStep; }

private:
    double FMin;
    double FMax;
    std::int64_t FPoints;
    double FStep;
};

// Calls f(c, values) for every concentration of the sweep of a parameter block,
// in order, with the values computed there; the faults of the range and of a
// point are raised.
template <class F>
void ForEachPoint(const Params& params, F&& f)
{
    SweepRange(params.cMin, params.cMax, params.points).ForEach([&](double c) {
        const PointValues v(params.phys, c);
        f(c, v);
    });
}

// Runs the sweep of a parameter block into a sink: for every concentration c,
// sink.AddTimes(c, t1, t2) with the times in minutes and, when choice names a
// measure, sink.AddMeasure(c, y).
template <class Sink>
void RunSweep(const Params& params, int choice, Sink& sink)
{
    const bool measure = choice >= 0 && choice < GraphChoiceCount;
    ForEachPoint(params, [&](double c, const PointValues& v) {
        sink.AddTimes(c, v.t1 * MinutesPerSecond, v.t2 * MinutesPerSecond);
        if (measure) sink.AddMeasure(c, v.Measure(choice));
    });
}
