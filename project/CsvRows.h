// The writing of CSV and tab-separated rows shared by the texts of project/ (the curves, the
// analysis, the fits, the maps), with the conventions described in project/CurvesText.h.
#pragma once

#include "model/Analysis.h"
#include "model/Record.h"
#include "project/CurvesText.h"

#include <cmath>
#include <string>
#include <string_view>

// Appends Value with 15 significant digits and Decimal in place of the point.
void AppendNumber(std::string& Out, double Value, std::string_view Decimal);

// Whether a text starting with C would be taken for a formula by a spreadsheet.
bool IsFormulaStart(char C);

// The separators of a layout and the writing of one row, field by field, into one string.
class RowWriter {
public:
    RowWriter(const CurvesTextOptions& Options, std::string& Out)
        : FOut(Out),
          FField(Options.Layout == CurvesLayout::Tabs ? '\t' : Options.DecimalSeparator == L',' ? ';' : ','),
          FLineEnd(Options.Layout == CurvesLayout::Tabs ? "\n" : "\r\n"),
          FDecimal(WideCharToUtf8(Options.DecimalSeparator))
    {
        // A separator that is no character would glue the integer digits to the decimals.
        if (FDecimal.empty()) FDecimal = ".";
        FQuoteNumbers = NeedsQuotes(FDecimal);
    }

    // A text field: quoted where it needs it, with the apostrophe before a formula's start.
    void Text(std::string_view S)
    {
        Separate();
        AppendText(S, !S.empty() && IsFormulaStart(S.front()));
    }

    // A numeric field; empty for a value that is not finite.
    void Number(double Value)
    {
        Separate();
        if (!std::isfinite(Value)) return;
        if (!FQuoteNumbers) {
            AppendNumber(FOut, Value, FDecimal);
            return;
        }
        std::string s;
        AppendNumber(s, Value, FDecimal);
        AppendText(s, false);
    }

    void Number(const Figure& Value)
    {
        if (Value)
            Number(*Value);
        else
            Separate();
    }

    // Fields written before by the same writer, appended as they stand.
    void Fields(std::string_view Written)
    {
        Separate();
        FOut.append(Written);
    }

    void EndRow()
    {
        FOut.append(FLineEnd);
        FRowStart = true;
    }

    // Value as a number inside a text field.
    std::string NumberText(double Value) const
    {
        std::string s;
        AppendNumber(s, Value, FDecimal);
        return s;
    }

private:
    void Separate()
    {
        if (!FRowStart) FOut += FField;
        FRowStart = false;
    }

    bool NeedsQuotes(std::string_view S) const
    {
        if (!S.empty() && (S.front() == ' ' || S.back() == ' ')) return true;
        for (const char c : S)
            if (c == FField || c == '"' || c == '\t' || c == '\r' || c == '\n') return true;
        return false;
    }

    void AppendText(std::string_view S, bool Guard)
    {
        if (!NeedsQuotes(S)) {
            if (Guard) FOut += '\'';
            FOut.append(S);
            return;
        }
        FOut += '"';
        if (Guard) FOut += '\'';
        for (const char c : S) {
            if (c == '"') FOut += '"';
            FOut += c;
        }
        FOut += '"';
    }

    std::string& FOut;
    const char FField;
    const char* const FLineEnd;
    std::string FDecimal;
    bool FQuoteNumbers = false;
    bool FRowStart = true;
};

// The record's own columns: index, name, analytes and selector; and their headings.
void RecordFields(RowWriter& W, size_t Index, const DependencyRecord& R);
void RecordHeader(RowWriter& W);

// The byte-order mark of the Csv layout, when asked.
void StartText(const CurvesTextOptions& Options, std::string& Out, bool ByteOrderMark);
