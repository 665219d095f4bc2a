#include "project/CsvRows.h"

#include <charconv>

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

}  // namespace

// Appends Value with 15 significant digits and Decimal in place of the point.
void AppendNumber(std::string& Out, double Value, std::string_view Decimal)
{
    // Written in place: the longest form, "-1.23456789012345e-308", takes 22 bytes.
    const size_t at = Out.size();
    Out.resize(at + 24);
    char* const begin = Out.data() + at;
    char* const end = std::to_chars(begin, begin + 24, Value, std::chars_format::general, 15).ptr;
    Out.resize(static_cast<size_t>(end - Out.data()));
    if (Decimal.size() == 1 && Decimal[0] == '.') return;
    for (char* p = begin; p != end; ++p) {
        if (*p != '.') continue;
        if (Decimal.size() == 1)
            *p = Decimal[0];
        else
            Out.replace(static_cast<size_t>(p - Out.data()), 1, Decimal);
        return;
    }
}

bool IsFormulaStart(char C)
{
    return C == '=' || C == '+' || C == '-' || C == '@';
}

// The record's own columns: index, name, analytes and selector.
void RecordFields(RowWriter& W, size_t Index, const DependencyRecord& R)
{
    W.Number(static_cast<double>(Index + 1));
    for (const AnsiString* text : {&R.name, &R.analyte1, &R.analyte2, &R.selector})
        W.Text(AnsiToUtf8(*text));
}

void RecordHeader(RowWriter& W)
{
    for (const char* h : {"#", "Name", "Analyte 1", "Analyte 2", "Selector"})
        W.Text(h);
}

void StartText(const CurvesTextOptions& Options, std::string& Out, bool ByteOrderMark)
{
    if (Options.Layout == CurvesLayout::Csv && ByteOrderMark) Out.append(Utf8Bom);
}

