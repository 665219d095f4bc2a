// The range rules of the input fields: each converts the submitted text strictly (extended
// precision, the program-wide number format) and tests the number. A text the field itself
// already refused stays refused; a text the strict conversion cannot read raises its
// conversion error.
#pragma once

#include "platform/SysUtils.h"

enum class TRangeRule {
    Positive,     // x > 0
    NonNegative,  // x >= 0
    Temperature,  // x > -273.15
    Integer,      // a whole number of the signed 32-bit range
    Points        // a whole number from 1 to 2147483647 (tested after rounding to double)
};

bool RangeRuleHolds(TRangeRule Rule, long double X);

// The verdict of an OnAccept rule: Accept is left false when it is false already, otherwise it
// becomes the rule's test on StrToFloat(NewText).
void ApplyRangeRule(TRangeRule Rule, const UnicodeString& NewText, bool& Accept);
