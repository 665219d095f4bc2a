// The tables corvane-export writes, read back: rows after the byte-order mark, CR LF line ends.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

// The rows after the byte-order mark, split at Sep (no field of the tests' projects is quoted).
inline std::vector<std::vector<std::string>> Rows(const std::string& Text, char Sep)
{
    EXPECT_EQ(Text.rfind("\xEF\xBB\xBF", 0), 0u);
    std::vector<std::vector<std::string>> rows;
    for (size_t at = 3, end; at < Text.size(); at = end + 2) {
        end = std::min(Text.find("\r\n", at), Text.size());
        rows.emplace_back();
        const std::string line = Text.substr(at, end - at);
        for (size_t from = 0, s = 0; s != std::string::npos; from = s + 1)
            rows.back().push_back(line.substr(from, (s = line.find(Sep, from)) - from));
    }
    return rows;
}

// A field as a number written with the decimal separator Decimal.
inline double Number(std::string Field, char Decimal)
{
    std::replace(Field.begin(), Field.end(), Decimal, '.');
    return std::stod(Field);
}
