#include "project/MapText.h"

#include "project/CsvRows.h"
#include "project/ProjectFile.h"

UnicodeString MapConditionHeading(TMapCondition Condition)
{
    switch (Condition) {
    case TMapCondition::pH: return "pH [-]";
    case TMapCondition::Voltage: return "Voltage [V]";
    case TMapCondition::Detector: return "Detector length [m]";
    }
    return "";
}

std::string MapText(const std::vector<MapTextEntry>& Entries, const CurvesTextOptions& Options)
{
    bool probability = false;
    size_t rows = 0;
    for (const MapTextEntry& e : Entries) {
        if (e.Map->Cancelled)
            throw Exception(DependencyTitle(e.Index, e.Record->name) + ": the map was cancelled; it has no values.");
        rows += e.Map->Points.size();
        if (e.Probability && !e.Probability->Cancelled && e.Probability->P.size() == e.Map->Points.size())
            probability = true;
    }
    std::string out;
    out.reserve(rows * (24 * (MapValueCount + 4) + 40) + 512);
    RowWriter w(Options, out);
    StartText(Options, out, true);
    RecordHeader(w);
    w.Text("c [mM]");
    w.Text(MapConditionHeading(Entries.empty() ? TMapCondition::pH : Entries.front().Map->Settings.Y));
    for (int v = 0; v < MapValueCount; ++v)
        w.Text(MapValueHeading(v));
    w.Text("Within limit");
    if (probability)
        w.Text("P(Rs >= 1.5) [-]");
    w.EndRow();

    std::string own;
    for (const MapTextEntry& e : Entries) {
        const DesignMap& map = *e.Map;
        own.clear();
        RowWriter ownWriter(Options, own);
        RecordFields(ownWriter, e.Index, *e.Record);
        const bool hasP = e.Probability && !e.Probability->Cancelled && e.Probability->P.size() == map.Points.size();
        for (int j = 0; j < map.ny() && !map.Points.empty(); ++j)
            for (int i = 0; i < map.nx(); ++i) {
                const MapPoint& p = map.At(i, j);
                w.Fields(own);
                w.Number(map.x[static_cast<size_t>(i)]);
                w.Number(map.y[static_cast<size_t>(j)]);
                for (int v = 0; v < MapValueCount; ++v)
                    w.Number(p.Value[v]);
                w.Number(p.WithinLimit ? 1.0 : 0.0);
                if (probability)
                    w.Number(hasP ? e.Probability->P[static_cast<size_t>(j) * static_cast<size_t>(map.nx()) + static_cast<size_t>(i)]
                                  : Figure());
                w.EndRow();
            }
    }
    return out;
}
