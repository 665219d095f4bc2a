// The number format of a numeric field and the reading of typed numbers, without a window.
#include "controls/NumEdit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct Recorder {
    int Calls = 0;
    void Changed() { ++Calls; }
};

// Restores the program-wide decimal separator a test replaced.
struct SeparatorGuard {
    decltype(FormatSettings.DecimalSeparator) Saved = FormatSettings.DecimalSeparator;
    ~SeparatorGuard() { FormatSettings.DecimalSeparator = Saved; }
};

} // namespace

TEST(FloatFormatProperty, StartsAtTheDefaultFormat)
{
    TFloatFormatProperty f;
    EXPECT_EQ(f.GetFormat(), ffGeneral);
    EXPECT_EQ(f.GetPrecision(), 6);
    EXPECT_EQ(f.GetDigits(), 4);
    EXPECT_FALSE(f.GetPercentage());
    EXPECT_FALSE(f.OnChange);
}

TEST(FloatFormatProperty, SettersNotifyOnlyWhenTheValueChanges)
{
    TFloatFormatProperty f;
    Recorder r;
    f.OnChange = Bind(&r, &Recorder::Changed);
    f.SetFormat(ffGeneral);
    f.SetPrecision(6);
    f.SetDigits(4);
    f.SetPercentage(false);
    EXPECT_EQ(r.Calls, 0);
    f.SetFormat(ffExponent);
    f.SetPrecision(8);
    f.SetDigits(2);
    f.SetPercentage(true);
    EXPECT_EQ(r.Calls, 4);
    f.SetPrecision(8);
    EXPECT_EQ(r.Calls, 4);
}

TEST(FloatFormatProperty, DigitsAreClampedByFormat)
{
    TFloatFormatProperty f;
    f.SetDigits(10);
    EXPECT_EQ(f.GetDigits(), 4); // exponent digits: at most 4
    f.SetFormat(ffFixed);
    EXPECT_EQ(f.GetDigits(), 4); // the clamped value stays
    f.SetDigits(25);
    EXPECT_EQ(f.GetDigits(), 18); // decimals: at most 18
    f.SetFormat(ffExponent);
    EXPECT_EQ(f.GetDigits(), 4);
    f.SetFormat(ffCurrency);
    f.SetDigits(19);
    EXPECT_EQ(f.GetDigits(), 18);

    // Negative values and the precision are not touched.
    f.SetDigits(-3);
    EXPECT_EQ(f.GetDigits(), -3);
    f.SetPrecision(40);
    f.SetPrecision(-1);
    EXPECT_EQ(f.GetPrecision(), -1);
}

TEST(FloatFormatProperty, AssignCopiesTheSettingsAndNotifies)
{
    TFloatFormatProperty source;
    source.SetFormat(ffNumber);
    source.SetPrecision(9);
    source.SetDigits(2);
    source.SetPercentage(true);
    TFloatFormatProperty dest;
    Recorder r;
    dest.OnChange = Bind(&r, &Recorder::Changed);
    dest.Assign(&source);
    EXPECT_EQ(dest.GetFormat(), ffNumber);
    EXPECT_EQ(dest.GetPrecision(), 9);
    EXPECT_EQ(dest.GetDigits(), 2);
    EXPECT_TRUE(dest.GetPercentage());
    EXPECT_EQ(r.Calls, 1);

    // A copy of out-of-range digits is clamped like a set value.
    source.Format = ffGeneral;
    source.Digits = 9;
    dest.Assign(&source);
    EXPECT_EQ(dest.GetDigits(), 4);
}

TEST(FloatFormatProperty, AssignFromAnotherClassRaises)
{
    TFloatFormatProperty f;
    TStringList other;
    try {
        f.Assign(&other);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TStringList to a TFloatFormatProperty");
    }
}

TEST(ReadingANumber, PercentSignAndBlanks)
{
    double v = -1;
    EXPECT_TRUE(TNumEdit::TextToValue("12.5%", v));
    EXPECT_DOUBLE_EQ(v, 0.125);
    v = -1;
    EXPECT_TRUE(TNumEdit::TextToValue("12.5 %", v));
    EXPECT_DOUBLE_EQ(v, 0.125);
    EXPECT_TRUE(TNumEdit::TextToValue("  7\t ", v));
    EXPECT_EQ(v, 7);
    EXPECT_TRUE(TNumEdit::TextToValue("1e3", v));
    EXPECT_EQ(v, 1000);
    EXPECT_TRUE(TNumEdit::TextToValue("-2.5E-3", v));
    EXPECT_DOUBLE_EQ(v, -0.0025);
    EXPECT_TRUE(TNumEdit::TextToValue(".", v)); // a lone separator reads as 0
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(TNumEdit::TextToValue("1.7e308", v));
    EXPECT_EQ(v, 1.7e308);
}

TEST(ReadingANumber, RejectedTextsLeaveTheNumberAlone)
{
    const std::vector<UnicodeString> rejected = {
        "", "   ", "%", " % ", "50%%", "1,5", "1e400", "1.8e308", "-1.8e308", "abc", "1.2.3",
        "12a", "1 000", "e5", "INF", "NAN", "--1", "0x10",
    };
    for (const auto& text : rejected) {
        double v = 42;
        EXPECT_FALSE(TNumEdit::TextToValue(text, v)) << '"' << text << '"';
        EXPECT_EQ(v, 42) << '"' << text << '"';
    }
}

TEST(ReadingANumber, FollowsTheProgramWideDecimalSeparator)
{
    SeparatorGuard guard;
    FormatSettings.DecimalSeparator = L',';
    double v = 0;
    EXPECT_TRUE(TNumEdit::TextToValue("1,5", v));
    EXPECT_EQ(v, 1.5);
    EXPECT_TRUE(TNumEdit::TextToValue("2,5 %", v));
    EXPECT_DOUBLE_EQ(v, 0.025);
    v = 9;
    EXPECT_FALSE(TNumEdit::TextToValue("1.5", v));
    EXPECT_EQ(v, 9);
}

TEST(NumEditWithoutAWindow, DefaultFormatOfWrittenValues)
{
    TNumEdit n(nullptr);
    int accepted = 0;
    n.OnAccepted = [&](TObject*) { ++accepted; };
    const std::pair<double, const char*> cases[] = {
        {1234567, "1.23457E0006"}, {123456, "123456"}, {0.0001, "0.0001"}, {0.00005, "5E-0005"},
        {0.5, "0.5"}, {-1e-9, "-1E-0009"}, {0, "0"},
    };
    for (auto [value, shown] : cases) {
        n.SetValue(value);
        EXPECT_EQ(n.GetText(), shown) << value;
        EXPECT_EQ(n.GetValue(), value);
        EXPECT_EQ(n.AcceptedValue, value);
    }
    EXPECT_EQ(accepted, 7);
    // Writing the number already shown as text does nothing.
    n.SetValue(0);
    EXPECT_EQ(accepted, 7);
}
