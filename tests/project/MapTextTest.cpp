// The grid of a map as CSV: its separators, the empty fields of undefined values, the column of
// probabilities, and the refusal of a cancelled map.
#include "project/MapText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A 2 x 2 map over 1 and 2 mM and the detector at 0.25 and 0.5 m with Rs, and its record.
DesignMap Small()
{
    DesignMap map;
    map.Settings.Y = TMapCondition::Detector;
    map.Settings.nx = map.Settings.ny = 2;
    map.x = {1, 2};
    map.y = {0.25, 0.5};
    map.Points.resize(4);
    map.Points[0].Value[mvRs] = 1.25;
    map.Points[0].WithinLimit = true;
    map.Points[1].Value[mvRs] = 2.0 / 3;
    map.Points[3].Value[mvT1] = 120;
    return map;
}

std::string Line(const std::string& Text, int Index)
{
    size_t at = 0;
    for (int k = 0; k < Index; ++k) at = Text.find("\r\n", at) + 2;
    return Text.substr(at, Text.find("\r\n", at) - at);
}

}  // namespace

TEST(MapText, RowsSeparatorsAndProbabilities)
{
    DependencyRecord r;
    r.name = "=pair, chiral";
    const DesignMap map = Small();
    ProbabilityMap p;
    p.P = {0.5, 0.25, std::nullopt, 1.0};
    const std::string empties(MapValueCount - 1, ',');
    const struct {
        WideChar decimal;
        bool probability;
        std::vector<std::string> lines;
    } cases[] = {
        {L'.', false,
         {"\xEF\xBB\xBF#,Name,Analyte 1,Analyte 2,Selector,c [mM],Detector length [m],Rs [-]",
          "3,\"'=pair, chiral\",<Analyte 1>,<Analyte 2>,<Selector>,1,0.25,1.25" + empties + ",1",
          "3,\"'=pair, chiral\",<Analyte 1>,<Analyte 2>,<Selector>,2,0.25,0.666666666666667" + empties + ",0",
          "3,\"'=pair, chiral\",<Analyte 1>,<Analyte 2>,<Selector>,1,0.5," + empties + ",0",
          "3,\"'=pair, chiral\",<Analyte 1>,<Analyte 2>,<Selector>,2,0.5,,120" + std::string(MapValueCount - 2, ',') + ",0"}},
        {L',', true,
         {"\xEF\xBB\xBF#;Name;Analyte 1;Analyte 2;Selector;c [mM];Detector length [m];Rs [-]",
          "3;'=pair, chiral;<Analyte 1>;<Analyte 2>;<Selector>;1;0,25;1,25" + std::string(MapValueCount - 1, ';') + ";1;0,5",
          "3;'=pair, chiral;<Analyte 1>;<Analyte 2>;<Selector>;2;0,25;0,666666666666667" +
              std::string(MapValueCount - 1, ';') + ";0;0,25",
          "3;'=pair, chiral;<Analyte 1>;<Analyte 2>;<Selector>;1;0,5;" + std::string(MapValueCount - 1, ';') + ";0;",
          "3;'=pair, chiral;<Analyte 1>;<Analyte 2>;<Selector>;2;0,5;;120" + std::string(MapValueCount - 2, ';') + ";0;1"}},
    };
    for (const auto& k : cases) {
        CurvesTextOptions o;
        o.DecimalSeparator = k.decimal;
        const std::string text = MapText({{2, &r, &map, k.probability ? &p : nullptr}}, o);
        const std::string header = Line(text, 0);
        EXPECT_EQ(header.substr(0, k.lines[0].size()), k.lines[0]);
        EXPECT_EQ(header.find("P(Rs >= 1.5) [-]") != std::string::npos, k.probability);
        for (int i = 1; i <= 4; ++i) EXPECT_EQ(Line(text, i), k.lines[static_cast<size_t>(i)]) << i;
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
        EXPECT_EQ(text.find("\r\n", text.find(Line(text, 4))), text.size() - 2);
    }
}

TEST(MapText, ACancelledMapIsRefused)
{
    DependencyRecord r;
    DesignMap map = Small();
    map.Cancelled = true;
    map.Points.clear();
    EXPECT_THROW(MapText({{0, &r, &map, nullptr}}, {}), Exception);
    // A map of an empty range: the header alone.
    DesignMap empty;
    const std::string text = MapText({{0, &r, &empty, nullptr}}, {});
    EXPECT_EQ(text.find("\r\n"), text.size() - 2);
}
