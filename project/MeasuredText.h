// Measured rows as text: rows pasted from a spreadsheet or read from a CSV file, in the columns
// of the measurement table.
#pragma once

#include "model/Measured.h"
#include "platform/SysUtils.h"

#include <vector>

// The table's columns in order: c [mM], t1 [min], t2 [min], tEOF [min], u1 and u2 [1E-9 m^2/(V s)],
// the mobilities as the window shows them.
inline constexpr int MeasuredColumns = 6;
inline constexpr double ShownMobilityUnit = 1e-9;

struct MeasuredText {
    std::vector<MeasuredRow> Rows;  // mobilities in stored units
    // One line per line of text that was left out or cut ("Line 3: "x" is not a number.").
    std::vector<UnicodeString> Problems;
};

// Reads rows of text: lines end in CR, LF or CRLF, a UTF-8 byte-order mark is skipped; the fields
// are separated by tabs where a line has one, else by ";" where it has one, else by "," (not when
// Decimal is ","); numbers use Decimal (a point is read too); blanks around a field do not count.
// An empty field is "not measured"; a line whose first field is no number is a heading and
// skipped; empty lines are skipped; a field beyond the sixth, or one that is no number, is listed
// in Problems (the field is left empty). A row needs its concentration.
MeasuredText ReadMeasuredText(const std::string& Text, WideChar Decimal);
