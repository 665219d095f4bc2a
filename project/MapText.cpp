#include "project/MapText.h"

#include "project/CsvRows.h"

std::string MapText(const std::vector<MapTextEntry>&, const CurvesTextOptions&) { return {}; }
UnicodeString MapConditionHeading(TMapCondition) { return ""; }
