// One dependency: its names, its parameters and its curves.
#pragma once

#include "model/Measured.h"
#include "model/Params.h"
#include "model/SeriesSet.h"
#include "model/Uncertainty.h"
#include "platform/SysUtils.h"

// A plain value. Copies share the series of the original (the chart owns
// them); destroying a record leaves its series alone.
struct DependencyRecord {
    AnsiString name = "<unnamed>";
    AnsiString analyte1 = "<Analyte 1>";
    AnsiString analyte2 = "<Analyte 2>";
    AnsiString selector = "<Selector>";
    ::Params Params;        // defaults already derived
    ::SeriesSet SeriesSet;  // colour 0, no series
    // The runs measured under this dependency's conditions, with the options of their fit.
    ::Measurements Measured;
    // The standard uncertainties of the constants and mobilities, typed or from the fit of the
    // measurements; like the measurements, they stay with the record when it takes another's data.
    ::Uncertainties Uncertainty;

    // Takes the analytes, the selector and the whole parameter block (derived
    // fields included) of source; name, measurements, uncertainties and series stay (the measurements were
    // made under the source's conditions, not under a copy's later ones).
    void AssignData(const DependencyRecord& source);

    // Clears this record's series and sweeps its parameters into them for a
    // graph choice (see SeriesSet::Sweep); its measured times as points.
    void Sweep(int choice) const;
};
