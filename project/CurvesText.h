// The curves of a list of dependencies as text: CSV files, rows for the clipboard, and a table
// of the separation analysis of each dependency.
//
// The rows are computed from the records' parameters, swept as the window sweeps them, not read
// from chart series. A record whose series exist and are hidden (the "Hide / Show" button) is
// left out; a record without series (a list loaded without a chart) counts as shown. Indices
// are 1-based positions in the whole list, so a hidden record leaves a gap.
//
// Form of the text:
//  - Csv layout: UTF-8 with the byte-order mark EF BB BF, rows ending in CRLF; the fields are
//    separated by ";" when the decimal separator is ",", by "," for any other separator.
//  - Tabs layout (for pasting into a spreadsheet): UTF-8 without a byte-order mark, fields
//    separated by tabs, rows ending in LF.
//  - Numbers: 15 significant digits, the shortest form that keeps them ("%.15g" in the C
//    locale, e.g. 2.46153846153846, 1.5e-08), with the given decimal separator in place of the
//    point, whatever the process locale. A value that is not finite, and a figure of the
//    analysis that is undefined, is an empty field.
//  - Texts: the records' Windows-1252 texts converted to UTF-8. A text is quoted with double
//    quotes (inner quotes doubled) when it holds the field separator, a quote, a tab, CR or LF,
//    or starts or ends with a blank. A text that starts with "=", "+", "-" or "@" gets a
//    leading apostrophe, so that a spreadsheet takes it for text and never for a formula.
//    Numbers are quoted likewise where the decimal separator needs it (a quote, a tab, or the
//    field separator itself).
#pragma once

#include "model/Analysis.h"
#include "model/Fit.h"
#include "model/Record.h"
#include "platform/SysUtils.h"

#include <string>
#include <vector>

enum class CurvesLayout { Csv, Tabs };

struct CurvesTextOptions {
    int GraphChoice = 0;              // the measure column, headed by GraphText(GraphChoice)
    bool AllValues = false;           // all point values in SI units after the shown columns
    WideChar DecimalSeparator = '.';  // the program-wide separator
    CurvesLayout Layout = CurvesLayout::Csv;
    AnalysisOptions Analysis;         // injection plug and detector window for Rs, N1, N2
};

// The header row and one row per point of every shown dependency, in list order.
//
// Columns: "#", "Name", "Analyte 1", "Analyte 2", "Selector", "c [mM]", "t1 [min]",
// "t2 [min]" and the measure under GraphText(GraphChoice), valued as the chart's right axis
// shows it (no measure column for a choice outside the list, as the chart draws none). With
// AllValues then, in SI units: "x1 [-]", "x2 [-]", "ueff1 [m^2/(V s)]", "ueff2 [m^2/(V s)]",
// "vel1 [m/s]", "vel2 [m/s]", "t1 [s]", "t2 [s]", "dt [s]", "du [m^2/(V s)]",
// "mobility factor [-]", "mobility factor EOF [-]", "selectivity [-]", "selectivity EOF [-]",
// and Rs, N1, N2 of the separation analysis at the point ("Rs [-]", "N1 [-]", "N2 [-]").
//
// A shown record whose sweep fails (points 0, too many points, a singular point) gives no text
// at all: the error is raised as an Exception "Dependency <index> (<name>): <the sweep's
// message>", so that no partial curve passes for a whole one. Hiding the record lets the others
// through.
std::string CurvesText(const std::vector<DependencyRecord>& Records, const CurvesTextOptions& Options);

// Writes CurvesText (Csv layout forced) to FileName at once: through a temporary file beside it
// and a rename, so a failed write leaves any old file exactly as it was. A file that cannot be
// written (a missing folder or one without write permission, a target that is no regular file
// or has no write bit) raises EFCreateError "Cannot create file \"<FileName>\""; a sweep that
// fails raises as CurvesText does, before the disk is touched.
void SaveCurvesCsv(const UnicodeString& FileName, const std::vector<DependencyRecord>& Records,
                   const CurvesTextOptions& Options);

// One row per shown dependency and interval of Rs >= 1.5 with its separation analysis over the whole range
// (Analyse(params, Options.Analysis)), after a header row; separators, quoting and numbers as
// in CurvesText. Columns: "#", "Name", "Analyte 1", "Analyte 2", "Selector",
// "c_opt Wren-Rowe [mM]", "Rs at c_opt [-]" (when c_opt lies in the range),
// "c of largest du [mM]", "c of largest Rs [mM]", "largest Rs [-]", "t1 at largest Rs [min]",
// "t2 at largest Rs [min]", "N1 at largest Rs [-]", "N2 at largest Rs [-]",
// "Rs >= 1.5 from [mM]" and "Rs >= 1.5 to [mM]" (a dependency with several intervals has one
// row per interval, its other columns repeated; one without has empty fields there) and
// "Warnings" (the warnings' sentences, separated by a blank). Undefined figures are empty fields.
// When any shown dependency has uncertainties (DependencyRecord::Uncertainty), seven columns
// follow from the Monte Carlo band (model/Uncertainty.h, default draws and seed) over the
// analysis' curve: "Rs 5% at largest Rs [-]", "Rs 50% at largest Rs [-]", "Rs 95% at largest
// Rs [-]", "P(Rs >= 1.5) at largest Rs [-]", and the quantiles of the draws' own optimum
// concentrations, "c of largest Rs 5% [mM]", "c of largest Rs 50% [mM]", "c of largest Rs 95%
// [mM]"; empty for a dependency without uncertainties. Without any, the table is as before.
//
// The Csv layout starts with the byte-order mark unless ByteOrderMark is false: for a table
// appended to other CSV text, such as the curves of CurvesText after an empty line.
std::string AnalysisTable(const std::vector<DependencyRecord>& Records, const CurvesTextOptions& Options,
                          bool ByteOrderMark = true);

// The fit of every shown dependency with measurements (FitMeasurements under its run conditions),
// after a header row; separators, quoting, numbers and byte-order mark as in CurvesText. Columns:
// "#", "Name", "Analyte" ("1", "2", or "1+2" for the shared u0, K2 - K1 and the figures of a
// joint fit), "Parameter", "Value", "Standard error", "CI 95% low", "CI 95% high". Per fit: the
// rows "u0", "uCS", "K" (and "K2-K1" in a joint fit) in stored units, then "n", "RSS", "s", "R2"
// with the value alone (the uncertainty fields empty). A held parameter, and every one with as
// many rows as free parameters, has empty uncertainty fields; an interval end the profile never
// reaches is empty. A fit that gives no values has its "n" row only, and its message, naming the
// dependency, is added to Messages.
std::string FitText(const std::vector<DependencyRecord>& Records, const CurvesTextOptions& Options,
                    std::vector<UnicodeString>& Messages);
