// Rows pasted from a spreadsheet or read from a CSV file into the measurement table.
#include "project/MeasuredText.h"

#include <gtest/gtest.h>

namespace {

// A row as text: c t1 t2 tEOF u1 u2, "-" for an empty cell (mobilities in 1e-9 units).
std::string Cells(const MeasuredRow& R)
{
    auto cell = [](const std::optional<double>& V, double Scale) {
        if (!V)
            return std::string("-");
        char text[32];
        std::snprintf(text, sizeof text, "%.10g", *V / Scale);
        return std::string(text);
    };
    return cell(R.c, 1) + " " + cell(R.t[0], 1) + " " + cell(R.t[1], 1) + " " + cell(R.tEOF, 1) + " " +
           cell(R.u[0], 1e-9) + " " + cell(R.u[1], 1e-9);
}

} // namespace

TEST(MeasuredText, SpreadsheetRowsAndCsvFilesGiveTheTablesRows)
{
    struct Case {
        const char* What;
        std::string Text;
        WideChar Decimal;
        std::vector<std::string> Rows;
        size_t Problems;
    } cases[] = {
        {"tabs from a spreadsheet, a heading, an empty cell", "c\tt1\tt2\ttEOF\n0\t3.5\t\t2\n2.5\t3.75\t3.8\t2.1\n", L'.',
         {"0 3.5 - 2 - -", "2.5 3.75 3.8 2.1 - -"}, 0},
        {"comma decimals with semicolons, CRLF, byte-order mark", "\xEF\xBB\xBF" "1,5;;;;12,5;13\r\n3;;;;10;\r\n", L',',
         {"1.5 - - - 12.5 13", "3 - - - 10 -"}, 0},
        {"commas as separators, blanks and quotes, a point with a comma separator", "\"1\" , 4.5 ,,2\r\r\n", L'.',
         {"1 4.5 - 2 - -"}, 0},
        {"a point read under a comma separator", "2.5;4", L',', {"2.5 4 - - - -"}, 0},
        {"a cell that is no number and one too many", "1\tx\t3\t2\t5\t6\t7\n", L'.', {"1 - 3 2 5 6"}, 2},
        {"nothing", "\n\n  \n", L'.', {}, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.What);
        const MeasuredText read = ReadMeasuredText(k.Text, k.Decimal);
        std::vector<std::string> rows;
        for (const MeasuredRow& r : read.Rows)
            rows.push_back(Cells(r));
        EXPECT_EQ(rows, k.Rows);
        EXPECT_EQ(read.Problems.size(), k.Problems);
    }
}
