// The grid of a design-space map as CSV, one row per grid point: the conventions of
// project/CurvesText (UTF-8 with the byte-order mark, CRLF, ";" beside a decimal comma,
// 15 significant digits, an empty field for an undefined value, texts quoted and guarded).
#pragma once

#include "model/DesignSpace.h"
#include "model/Record.h"
#include "model/Uncertainty.h"
#include "project/CurvesText.h"

#include <string>
#include <vector>

// One dependency's map: its position in the list (0-based, written 1-based), its record, the
// map and, when known, P(Rs >= 1.5) at its grid points.
struct MapTextEntry {
    size_t Index = 0;
    const DependencyRecord* Record = nullptr;
    const DesignMap* Map = nullptr;
    const ProbabilityMap* Probability = nullptr;
};

// The header row, then per entry and grid point (rows of y, each along x): "#", "Name",
// "Analyte 1", "Analyte 2", "Selector", "c [mM]", the y condition with its unit ("pH [-]",
// "Voltage [V]", "Detector length [m]"), every value of the map under MapValueHeading, "Within
// limit" (1 or 0), and, when any entry has probabilities, "P(Rs >= 1.5) [-]". A map that is
// not complete raises Exception: no partial grid passes for a whole one.
std::string MapText(const std::vector<MapTextEntry>& Entries, const CurvesTextOptions& Options);

// The heading of a map's y column.
UnicodeString MapConditionHeading(TMapCondition Condition);
