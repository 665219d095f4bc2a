#include "ui/AcceptRules.h"

#include <cmath>
#include <cstdint>

bool RangeRuleHolds(TRangeRule Rule, long double X)
{
    switch (Rule) {
    case TRangeRule::Positive:
        return X > 0;
    case TRangeRule::NonNegative:
        return X >= 0;
    case TRangeRule::Temperature:
        return X > -273.15L;
    case TRangeRule::Integer:
        return X >= static_cast<long double>(INT32_MIN) && X <= static_cast<long double>(INT32_MAX)
            && X == std::trunc(X);
    case TRangeRule::Points: {
        const double d = static_cast<double>(X);
        return d > 0 && d <= static_cast<double>(INT32_MAX) && d == std::trunc(d);
    }
    }
    return false;
}

void ApplyRangeRule(TRangeRule Rule, const UnicodeString& NewText, bool& Accept)
{
    if (!Accept)
        return;
    Accept = RangeRuleHolds(Rule, StrToFloat(NewText));
}
