#include "project/MeasuredText.h"

#include <cmath>
#include <string_view>

namespace {

std::string_view Trimmed(std::string_view S)
{
    while (!S.empty() && (S.front() == ' ' || S.front() == '"'))
        S.remove_prefix(1);
    while (!S.empty() && (S.back() == ' ' || S.back() == '"'))
        S.remove_suffix(1);
    return S;
}

std::vector<std::string_view> Fields(std::string_view Line, WideChar Decimal)
{
    char sep = ',';
    if (Line.find('\t') != std::string_view::npos)
        sep = '\t';
    else if (Line.find(';') != std::string_view::npos || Decimal == L',')
        sep = ';';
    std::vector<std::string_view> fields;
    for (size_t from = 0;;) {
        const size_t at = Line.find(sep, from);
        fields.push_back(Trimmed(Line.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from)));
        if (at == std::string_view::npos)
            return fields;
        from = at + 1;
    }
}

} // namespace

MeasuredText ReadMeasuredText(const std::string& Text, WideChar Decimal)
{
    MeasuredText out;
    std::string_view text(Text);
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    TFormatSettings settings = FormatSettings;
    settings.DecimalSeparator = Decimal;
    TFormatSettings point = settings;
    point.DecimalSeparator = L'.';
    auto number = [&](std::string_view Field, double& Value) {
        const std::string s(Field);
        return (TextToFloat(s, Value, settings) || TextToFloat(s, Value, point)) && std::isfinite(Value);
    };
    int lineNumber = 0;
    for (size_t from = 0; from < text.size();) {
        size_t end = text.find_first_of("\r\n", from);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(from, end - from);
        from = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
        ++lineNumber;
        if (Trimmed(line).empty())
            continue;
        const auto fields = Fields(line, Decimal);
        MeasuredRow row;
        if (!number(fields[0], row.c))
            continue;  // a heading
        const UnicodeString where = "Line " + IntToStr(lineNumber) + ": ";
        std::optional<double>* cells[MeasuredColumns - 1] = {&row.t[0], &row.t[1], &row.tEOF, &row.u[0], &row.u[1]};
        for (size_t k = 1; k < fields.size(); ++k) {
            if (fields[k].empty())
                continue;
            if (k >= MeasuredColumns) {
                out.Problems.push_back(where + "more than " + IntToStr(MeasuredColumns) + " fields; the rest left out.");
                break;
            }
            double value = 0;
            if (!number(fields[k], value)) {
                out.Problems.push_back(where + "\"" + std::string(fields[k]) + "\" is not a number; left empty.");
                continue;
            }
            *cells[k - 1] = k >= 4 ? value * ShownMobilityUnit : value;
        }
        out.Rows.push_back(row);
    }
    return out;
}
