#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

// Every test starts from the C settings and leaves the program-wide ones as it found them.
class Conversion : public ::testing::Test {
protected:
    void SetUp() override
    {
        FSaved = FormatSettings;
        FormatSettings = TFormatSettings::Invariant();
    }
    void TearDown() override { FormatSettings = FSaved; }

private:
    TFormatSettings FSaved;
};

bool Reads(const UnicodeString& s, long double& v) { return TryStrToFloat(s, v); }

UnicodeString General6(long double v) { return FloatToStrF(v, ffGeneral, 6, 4); }

} // namespace

TEST_F(Conversion, FloatToStrWritesPlainBetweenTheNotationLimits)
{
    EXPECT_EQ(FloatToStr(0.485), "0.485");
    EXPECT_EQ(FloatToStr(25000), "25000");
    EXPECT_EQ(FloatToStr(0.0001), "0.0001");
    EXPECT_EQ(FloatToStr(0.00012345), "0.00012345");
    EXPECT_EQ(FloatToStr(999999999999999.0), "999999999999999");
    EXPECT_EQ(FloatToStr(123.456), "123.456");
    EXPECT_EQ(FloatToStr(-0.485), "-0.485");
}

TEST_F(Conversion, FloatToStrSwitchesToExponentOutsideTheLimits)
{
    EXPECT_EQ(FloatToStr(5e-5), "5E-5");
    EXPECT_EQ(FloatToStr(0.00009999), "9.999E-5");
    EXPECT_EQ(FloatToStr(1e-9), "1E-9");
    EXPECT_EQ(FloatToStr(1.38e-23), "1.38E-23");
    EXPECT_EQ(FloatToStr(1e15), "1E15");
    EXPECT_EQ(FloatToStr(-1.5e20), "-1.5E20");
    EXPECT_EQ(FloatToStr(1e300), "1E300");
    EXPECT_EQ(FloatToStr(1e-300), "1E-300");
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::denorm_min()), "4.94065645841247E-324");
}

TEST_F(Conversion, FloatToStrRoundsAtTheFifteenthDigit)
{
    EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
    EXPECT_EQ(FloatToStr(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FloatToStr(2.0 / 3.0), "0.666666666666667");
    // 16 nines round up into a new digit, and the notation follows the rounded number.
    EXPECT_EQ(FloatToStr(9999999999999999.0), "1E16");
    EXPECT_EQ(FloatToStr(999999999999999.4), "999999999999999");
    EXPECT_EQ(FloatToStr(999999999999999.6), "1E15");
    EXPECT_EQ(FloatToStr(123456789012345678.0), "1.23456789012346E17");
    EXPECT_EQ(FloatToStr(-123456789.123456789), "-123456789.123457");
    // Extended values keep their extra digits until the rounding.
    EXPECT_EQ(FloatToStr(0.1L + 0.2L), "0.3");
    EXPECT_EQ(FloatToStr(1.000000000000005L), "1.00000000000001");
}

TEST_F(Conversion, FloatToStrOfZeroAndSpecialValues)
{
    EXPECT_EQ(FloatToStr(0.0), "0");
    EXPECT_EQ(FloatToStr(-0.0), "0");
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::quiet_NaN()), "NAN");
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(FloatToStr(-std::numeric_limits<double>::infinity()), "-INF");
    EXPECT_EQ(FloatToStrF(std::numeric_limits<double>::infinity(), ffFixed, 15, 2), "INF");
}

TEST_F(Conversion, GeneralFormatWithSixDigitsAndFourExponentDigits)
{
    EXPECT_EQ(General6(1234567), "1.23457E0006");
    EXPECT_EQ(General6(123456), "123456");
    EXPECT_EQ(General6(0.0001), "0.0001");
    EXPECT_EQ(General6(0.00005), "5E-0005");
    EXPECT_EQ(General6(0.5), "0.5");
    EXPECT_EQ(General6(0.125), "0.125");
    EXPECT_EQ(General6(1000), "1000");
    EXPECT_EQ(General6(0), "0");
    EXPECT_EQ(General6(-1234567), "-1.23457E0006");
    EXPECT_EQ(General6(1e100), "1E0100");
    EXPECT_EQ(General6(1.5e-300), "1.5E-0300");
    EXPECT_EQ(General6(1e4000L), "1E4000");
}

TEST_F(Conversion, GeneralFormatRoundsAtTheSixthDigitHalfAwayFromZero)
{
    EXPECT_EQ(General6(999999.5), "1E0006");
    EXPECT_EQ(General6(999999.4), "999999");
    EXPECT_EQ(General6(-999999.5), "-1E0006");
    EXPECT_EQ(General6(123456.5), "123457");
    EXPECT_EQ(General6(0.12345649), "0.123456");
    EXPECT_EQ(General6(0.00099999951), "0.001");
    // Exact binary halves round away from zero, not to even.
    EXPECT_EQ(FloatToStrF(0.125, ffGeneral, 2, 0), "0.13");
    EXPECT_EQ(FloatToStrF(-0.125, ffGeneral, 2, 0), "-0.13");
    EXPECT_EQ(FloatToStrF(2.5, ffGeneral, 2, 0), "2.5");
    EXPECT_EQ(FloatToStrF(0.000099999, ffGeneral, 3, 0), "0.0001");
}

namespace {

// A double that is exactly halfway at the given digit: "d.ddd5000..." in its exact expansion.
bool TieAt(const char* exact, const char* end, size_t digit)
{
    if (exact + digit >= end || exact[digit] != '5')
        return false;
    for (const char* p = exact + digit + 1; p < end && *p != 'e'; ++p)
        if (*p != '0')
            return false;
    return true;
}

} // namespace

// Away from exact ties, rounding half away from zero agrees with correct rounding, so the
// standard library's correctly rounded digits are the reference, for random doubles of every
// magnitude and for short decimals.
TEST_F(Conversion, RoundedDigitsAgreeWithExactRounding)
{
    std::mt19937_64 random(11);
    int checked = 0;
    for (int n = 0; n < 40000; ++n) {
        double x;
        if (n % 2 == 0) {
            const std::uint64_t bits = random();
            std::memcpy(&x, &bits, sizeof x);
            if (!std::isfinite(x) || std::fabs(x) < DBL_MIN)
                continue;
        } else {
            const std::string text = std::to_string(random() % 100000000) + "e-" + std::to_string(random() % 12);
            x = std::strtod(text.c_str(), nullptr);
            if (x == 0)
                continue;
        }
        const int p = 2 + n % 14;
        // Rounding starts from 18 significant digits, as the original runtime's does: a typed
        // 0.0051295205 is a tie at 7 digits although the double lies a hair below it.
        char exact[64];
        const char* exactEnd = std::to_chars(exact, exact + sizeof exact - 1, std::fabs(x), std::chars_format::scientific, 17).ptr;
        exact[exactEnd - exact] = '\0';
        if (TieAt(exact, exactEnd, static_cast<size_t>(p) + 1))
            continue;
        char buf[64];
        const char* end = std::to_chars(buf, buf + sizeof buf - 1, std::fabs(x), std::chars_format::scientific, p - 1).ptr;
        buf[end - buf] = '\0';
        const char* e = std::find(static_cast<const char*>(buf), end, 'e');
        const int exponent = std::atoi(e + 1);
        const std::string expected = std::string(x < 0 ? "-" : "") + std::string(buf, static_cast<size_t>(e - buf)) + "E" +
                                     (exponent < 0 ? "-" : "+") + std::to_string(std::abs(exponent));
        ASSERT_EQ(FloatToStrF(x, ffExponent, p, 0), expected) << std::string_view(exact, static_cast<size_t>(exactEnd - exact)) << " p=" << p;

        // Fixed notation wherever the precision does not bind.
        const int decimals = n % 7;
        if (std::fabs(x) < 1e7) {
            char fixed[64];
            const char* fend = std::to_chars(fixed, fixed + sizeof fixed, std::fabs(x), std::chars_format::fixed, decimals).ptr;
            // Ties judged on the 18 significant digits again.
            std::string digits18(exact, 1);
            digits18.append(exact + 2, 17);
            const int e10 = std::atoi(exact + 20);
            const long long tieDigit = static_cast<long long>(e10) + decimals + 1;
            const bool tie = tieDigit >= 0 && tieDigit < 18 &&
                             TieAt(digits18.data(), digits18.data() + 18, static_cast<size_t>(tieDigit));
            const std::string text(fixed, static_cast<size_t>(fend - fixed));
            const bool zero = text.find_first_not_of("0.") == std::string::npos;
            if (!tie && std::fabs(x) >= 1e-7) {
                ASSERT_EQ(FloatToStrF(x, ffFixed, 15, decimals), (x < 0 && !zero ? "-" : "") + text)
                    << digits18 << "e" << e10;
            }
        }
        ++checked;
    }
    EXPECT_GT(checked, 30000);
}

// With 18 digits nothing is rounded twice: every digit must be the correctly rounded one, over
// the whole range of doubles, near powers of ten and at the limits of the 128-bit arithmetic.
TEST_F(Conversion, EighteenDigitsAreCorrectlyRounded)
{
    std::mt19937_64 random(5);
    auto check = [](double x) {
        char buf[64];
        const char* end = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 17).ptr;
        const char* e = std::find(static_cast<const char*>(buf), end, 'e');
        const int exponent = std::atoi(std::string(e + 1, end).c_str());
        const std::string expected = std::string(buf, static_cast<size_t>(e - buf)) + "E" +
                                     (exponent < 0 ? "-" : "+") + std::to_string(std::abs(exponent));
        EXPECT_EQ(FloatToStrF(x, ffExponent, 18, 0), expected);
        return FloatToStrF(x, ffExponent, 18, 0) == expected;
    };
    for (int n = 0; n < 100000; ++n) {
        const double mantissa = std::ldexp(static_cast<double>(random() >> 11), -53) + 0.5;
        const int binaryExponent = static_cast<int>(random() % 260) - 90;   // about 1e-27 to 1e51
        if (!check(std::ldexp(mantissa, binaryExponent)))
            break;
    }
    for (int p = -20; p <= 60; ++p) {
        const double ten = std::pow(10.0, p);
        for (double x : {ten, std::nextafter(ten, 0.0), std::nextafter(ten, 1e300)})
            ASSERT_TRUE(check(x)) << x;
    }
    // 123456789012345.6875 has 19 digits: an exact tie at the 18th, rounded to even.
    for (double x : {DBL_MIN, DBL_MAX, 1e-14, 9.999999999999999e-15, 1e47, 1.0000000000000001e47, 0.5, 1.0, 0.1, 1e23,
                     123456789012345.6875, 123456789012345.5625})
        ASSERT_TRUE(check(x)) << x;
}

TEST_F(Conversion, PrecisionAndDigitsAreClamped)
{
    EXPECT_EQ(FloatToStrF(1.25, ffGeneral, 1, 0), "1.3");
    EXPECT_EQ(FloatToStrF(1.25, ffGeneral, -5, 0), "1.3");
    EXPECT_EQ(FloatToStrF(0.1L, ffGeneral, 30, 0), "0.1");
    EXPECT_EQ(FloatToStrF(1.0L / 3, ffGeneral, 30, 0), "0.333333333333333333");
    // Exponent digits outside 0..4 count as 0.
    EXPECT_EQ(FloatToStrF(1234567, ffGeneral, 6, 10), "1.23457E6");
    EXPECT_EQ(FloatToStrF(1234567, ffGeneral, 6, -1), "1.23457E6");
    EXPECT_EQ(FloatToStrF(1234567, ffGeneral, 6, 2), "1.23457E06");
}

TEST_F(Conversion, ExponentFormatPadsDigitsAndAlwaysSignsTheExponent)
{
    EXPECT_EQ(FloatToStrF(1234.5, ffExponent, 6, 2), "1.23450E+03");
    EXPECT_EQ(FloatToStrF(-0.00012, ffExponent, 3, 0), "-1.20E-4");
    EXPECT_EQ(FloatToStrF(0, ffExponent, 4, 2), "0.000E+00");
    EXPECT_EQ(FloatToStrF(9.9999, ffExponent, 3, 1), "1.00E+1");
}

TEST_F(Conversion, FixedAndNumberFormats)
{
    EXPECT_EQ(FloatToStrF(1234.5678, ffFixed, 15, 2), "1234.57");
    EXPECT_EQ(FloatToStrF(12.5, ffFixed, 15, 0), "13");
    EXPECT_EQ(FloatToStrF(0.004, ffFixed, 15, 2), "0.00");
    EXPECT_EQ(FloatToStrF(-0.004, ffFixed, 15, 2), "0.00");
    EXPECT_EQ(FloatToStrF(0.006, ffFixed, 15, 2), "0.01");
    EXPECT_EQ(FloatToStrF(-0.5, ffFixed, 15, 3), "-0.500");
    EXPECT_EQ(FloatToStrF(0.1, ffFixed, 15, 25), "0.100000000000000000");
    // Significant digits end before the decimals do.
    EXPECT_EQ(FloatToStrF(123.456, ffFixed, 4, 3), "123.500");
    // More integer digits than the precision: general format instead.
    EXPECT_EQ(FloatToStrF(1e20, ffFixed, 15, 2), "1E20");
    EXPECT_EQ(FloatToStrF(1234567, ffFixed, 6, 2), "1.23457E06");

    EXPECT_EQ(FloatToStrF(1234567.891, ffNumber, 15, 2), "1,234,567.89");
    EXPECT_EQ(FloatToStrF(-1234, ffNumber, 15, 0), "-1,234");
    EXPECT_EQ(FloatToStrF(123, ffNumber, 15, 2), "123.00");
    EXPECT_EQ(FloatToStrF(999.9999, ffNumber, 15, 2), "1,000.00");
    EXPECT_EQ(FloatToStrF(100000, ffNumber, 15, 1), "100,000.0");
}

TEST_F(Conversion, CurrencyFormatPlacesSymbolAndSign)
{
    TFormatSettings s = TFormatSettings::Invariant();
    s.CurrencyString = "$";
    s.CurrencyFormat = 0;
    s.NegCurrFormat = 0;
    EXPECT_EQ(FloatToStrF(1234.5, ffCurrency, 15, 2, s), "$1,234.50");
    EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2, s), "($1,234.50)");
    EXPECT_EQ(FloatToStrF(-0.001, ffCurrency, 15, 2, s), "$0.00");

    s.DecimalSeparator = L',';
    s.ThousandSeparator = L'.';
    s.CurrencyString = "€";
    s.CurrencyFormat = 3;
    s.NegCurrFormat = 8;
    EXPECT_EQ(FloatToStrF(1234.5, ffCurrency, 15, 2, s), "1.234,50 €");
    EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2, s), "-1.234,50 €");
    s.NegCurrFormat = 15;
    EXPECT_EQ(FloatToStrF(-7, ffCurrency, 15, 0, s), "(7 €)");
}

TEST_F(Conversion, DecimalSeparatorReplacedAtRunTime)
{
    FormatSettings.DecimalSeparator = L',';
    EXPECT_EQ(FloatToStr(0.485), "0,485");
    EXPECT_EQ(FloatToStr(1.38e-23), "1,38E-23");
    EXPECT_EQ(StrToFloat("0,485"), StrToFloat("0,485", [] {
                  TFormatSettings s;
                  s.DecimalSeparator = L',';
                  return s;
              }()));
    double v = 0;
    EXPECT_TRUE(TryStrToFloat("0,485", v));
    EXPECT_EQ(v, 0.485);
    EXPECT_FALSE(TryStrToFloat("0.485", v));
    EXPECT_TRUE(TryStrToFloat("25000", v));
    EXPECT_TRUE(TryStrToFloat("1E-9", v));
    EXPECT_EQ(v, 1e-9);

    // No separator at all must not glue the digits together.
    FormatSettings.DecimalSeparator = L'\0';
    EXPECT_EQ(FloatToStr(1.5), "1.5");
    EXPECT_TRUE(TryStrToFloat("1.5", v));
    EXPECT_EQ(v, 1.5);

    // A separator outside ASCII, both ways.
    FormatSettings.DecimalSeparator = L'\u066B';
    EXPECT_EQ(FloatToStr(2.5), "2\u066B5");
    EXPECT_TRUE(TryStrToFloat("2\u066B5", v));
    EXPECT_EQ(v, 2.5);
}

TEST_F(Conversion, SettingsOfTheCLocale)
{
    const char* saved = std::getenv("LC_ALL");
    const std::string keep = saved != nullptr ? saved : "";
    setenv("LC_ALL", "C", 1);
    const TFormatSettings s = TFormatSettings::Create();
    if (saved != nullptr)
        setenv("LC_ALL", keep.c_str(), 1);
    else
        unsetenv("LC_ALL");
    EXPECT_EQ(s.DecimalSeparator, L'.');
    EXPECT_EQ(s.ThousandSeparator, L',');
    EXPECT_EQ(s.CurrencyString, "$");
    EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2, s), "-$1,234.50");
}

TEST_F(Conversion, ReadingAcceptsBlanksSignsAndLoneSeparators)
{
    long double v = -1;
    ASSERT_TRUE(Reads("  7  ", v));
    EXPECT_EQ(v, 7);
    ASSERT_TRUE(Reads("+1.5", v));
    EXPECT_EQ(v, 1.5);
    ASSERT_TRUE(Reads("-.5", v));
    EXPECT_EQ(v, -0.5);
    ASSERT_TRUE(Reads("5.", v));
    EXPECT_EQ(v, 5);
    ASSERT_TRUE(Reads(".", v));
    EXPECT_EQ(v, 0);
    v = 9;
    ASSERT_TRUE(Reads("-.", v));
    EXPECT_EQ(v, 0);
    ASSERT_TRUE(Reads(".e7", v));
    EXPECT_EQ(v, 0);
    ASSERT_TRUE(Reads("1e3", v));
    EXPECT_EQ(v, 1000);
    ASSERT_TRUE(Reads("1E+3", v));
    EXPECT_EQ(v, 1000);
    ASSERT_TRUE(Reads("25e-1", v));
    EXPECT_EQ(v, 2.5);
    ASSERT_TRUE(Reads("1e0000000003", v));
    EXPECT_EQ(v, 1000);
}

TEST_F(Conversion, ReadingRefusesEverythingElse)
{
    for (const char* bad : {"", " ", "-", "+", "e5", "1e", "1e+", "1,5", "1,000", "1 000", "5%", "0x10",
                            "inf", "nan", "INF", "1.2.3", "--1", "1e5.0", "1e3x", "\t1", "1\n", "１"}) {
        long double v = 42;
        EXPECT_FALSE(Reads(bad, v)) << '"' << bad << '"';
        EXPECT_EQ(v, 42) << bad;
        double d = 42;
        EXPECT_FALSE(TryStrToFloat(bad, d)) << bad;
        EXPECT_EQ(d, 42) << bad;
    }
}

TEST_F(Conversion, ExponentReadingStopsAtFiveHundred)
{
    long double v = 0;
    ASSERT_TRUE(Reads("1e499", v));
    EXPECT_EQ(v, 1e499L);
    ASSERT_TRUE(Reads("1e500", v));
    EXPECT_EQ(v, 1e500L);
    ASSERT_TRUE(Reads("1e0500", v));
    EXPECT_EQ(v, 1e500L);
    ASSERT_TRUE(Reads("1e-500", v));
    EXPECT_EQ(v, 1e-500L);
    // The digit after the stop is left over, so the text is not a number.
    EXPECT_FALSE(Reads("1e5000", v));
    EXPECT_FALSE(Reads("1e-5000", v));
    // Beyond the extended range altogether.
    EXPECT_FALSE(Reads(UnicodeString(5000, '9'), v));
}

TEST_F(Conversion, DoubleReadingRefusesMagnitudesAbove1p7e308)
{
    double d = 0;
    EXPECT_TRUE(TryStrToFloat("1.7e308", d));
    EXPECT_EQ(d, 1.7e308);
    EXPECT_TRUE(TryStrToFloat("-1.7e308", d));
    EXPECT_EQ(d, -1.7e308);
    d = 3;
    EXPECT_FALSE(TryStrToFloat("1.7000001e308", d));
    EXPECT_FALSE(TryStrToFloat("1.75e308", d));
    EXPECT_FALSE(TryStrToFloat("1e400", d));
    EXPECT_FALSE(TryStrToFloat("-1e400", d));
    EXPECT_EQ(d, 3);
    // The extended conversion has no such bound.
    EXPECT_EQ(StrToFloat("1e400"), 1e400L);
    // Tiny values fade to zero rather than fail.
    EXPECT_TRUE(TryStrToFloat("1e-400", d));
    EXPECT_EQ(d, 0);
}

TEST_F(Conversion, ReadingIsCorrectlyRounded)
{
    double d = 0;
    ASSERT_TRUE(TryStrToFloat("0.1", d));
    EXPECT_EQ(d, 0.1);
    ASSERT_TRUE(TryStrToFloat("2.2250738585072011e-308", d));
    EXPECT_EQ(d, 2.2250738585072011e-308);
    // Halfway between two doubles after the long double rounding: read once, from the digits.
    ASSERT_TRUE(TryStrToFloat("9007199254740993.0000000000000000001", d));
    EXPECT_EQ(d, 9007199254740994.0);
    EXPECT_EQ(StrToFloat("0.1"), 0.1L);
    EXPECT_EQ(StrToFloat("123456789012345678901234567890"), 123456789012345678901234567890.0L);
    EXPECT_EQ(StrToFloat(UnicodeString("0.") + UnicodeString(3000, '0') + "1e3001"), 1.0L);
    // What is written comes back unchanged.
    for (double x : {0.485, 1.38e-23, 1e15, 0.1 + 0.2, 25000.0, 5e-5, -3.75e-7}) {
        ASSERT_TRUE(TryStrToFloat(FloatToStr(x), d));
        EXPECT_EQ(FloatToStr(d), FloatToStr(x));
    }
}

TEST_F(Conversion, StrToFloatRaisesWithTheText)
{
    try {
        StrToFloat("5%");
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'5%' is not a valid floating point value");
    }
    EXPECT_EQ(StrToFloat(" -2.5e2 "), -250);
    EXPECT_EQ(StrToFloatDef("x", 1.5), 1.5);
}

TEST(Integers, ReadAndWrite)
{
    int v = 0;
    EXPECT_TRUE(TryStrToInt("12", v));
    EXPECT_EQ(v, 12);
    EXPECT_TRUE(TryStrToInt("  -7", v));
    EXPECT_EQ(v, -7);
    EXPECT_TRUE(TryStrToInt("+3", v));
    EXPECT_EQ(v, 3);
    EXPECT_TRUE(TryStrToInt("$1F", v));
    EXPECT_EQ(v, 31);
    EXPECT_TRUE(TryStrToInt("0x10", v));
    EXPECT_EQ(v, 16);
    EXPECT_TRUE(TryStrToInt("$FFFFFFFF", v));
    EXPECT_EQ(v, -1);
    EXPECT_TRUE(TryStrToInt("2147483647", v));
    EXPECT_EQ(v, 2147483647);
    EXPECT_TRUE(TryStrToInt("-2147483648", v));
    EXPECT_EQ(v, -2147483647 - 1);
    v = 5;
    for (const char* bad : {"", "-", "2147483648", "-2147483649", "1.0", "1e3", "12 ", "0x", "$100000000", "abc"})
        EXPECT_FALSE(TryStrToInt(bad, v)) << bad;
    EXPECT_EQ(v, 5);
    EXPECT_EQ(StrToIntDef("x", 21), 21);
    EXPECT_THROW(StrToInt("x"), EConvertError);
    EXPECT_EQ(IntToStr(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(IntToStr(46), "46");
    EXPECT_EQ(IntToStr(std::vector<int>(3).size()), "3");
    EXPECT_EQ(IntToStr(-9000000000LL), "-9000000000");
}

TEST(Texts, TrimRemovesBlanksAndControlCharacters)
{
    EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(Trim("\x01\x1f"), "");
    EXPECT_EQ(Trim(""), "");
    EXPECT_EQ(Trim("é "), "é");
    EXPECT_EQ(TrimLeft("  x "), "x ");
    EXPECT_EQ(TrimRight("  x "), "  x");
    EXPECT_TRUE(SameText("Dependency0", "DEPENDENCY0"));
    EXPECT_FALSE(SameText("a", "ab"));
    EXPECT_EQ(ExtractFileName("/home/a/proj.ini"), "proj.ini");
    EXPECT_EQ(ExtractFilePath("/home/a/proj.ini"), "/home/a/");
    EXPECT_EQ(ExtractFileName("proj.ini"), "proj.ini");
    EXPECT_EQ(ExtractFileExt("/home/a/chart.SVG"), ".SVG");
    EXPECT_EQ(ExtractFileExt("/home/a.b/chart"), "");
}

TEST(Windows1252, EveryByteRoundTrips)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const AnsiString bytes(all);
    EXPECT_EQ(bytes.Length(), 256);
    const UnicodeString text = AnsiToUtf8(bytes);
    EXPECT_EQ(Utf8ToAnsi(text), bytes);
}

TEST(Windows1252, MapsTheCodePage)
{
    EXPECT_EQ(AnsiToUtf8(AnsiString("\x80")), "€");
    EXPECT_EQ(AnsiToUtf8(AnsiString("\xE9t\xE9")), "été");
    EXPECT_EQ(AnsiToUtf8(AnsiString("\x9F")), "Ÿ");
    EXPECT_EQ(AnsiToUtf8(AnsiString("\x81")), "\u0081");
    EXPECT_EQ(AnsiToUtf8(AnsiString("\xB5m")), "µm");
    EXPECT_EQ(Utf8ToAnsi("°C €"), AnsiString("\xB0" "C \x80"));
    EXPECT_EQ(Utf8ToAnsi("Œuvre – “x”"), AnsiString("\x8Cuvre \x96 \x93x\x94"));
    EXPECT_EQ(Utf8ToAnsi(std::string("a\0b", 3)).Length(), 3);
}

TEST(Windows1252, MissingCharactersAndBadUtf8BecomeQuestionMarks)
{
    EXPECT_EQ(Utf8ToAnsi("日本"), AnsiString("??"));
    EXPECT_EQ(Utf8ToAnsi("α=1"), AnsiString("?=1"));
    EXPECT_EQ(Utf8ToAnsi("\u0080"), AnsiString("?"));
    EXPECT_EQ(Utf8ToAnsi("😀"), AnsiString("?"));
    EXPECT_EQ(Utf8ToAnsi("a\xC3"), AnsiString("a?"));
    EXPECT_EQ(Utf8ToAnsi("\xFF\xFE"), AnsiString("??"));
    EXPECT_EQ(Utf8ToAnsi("\xC0\xAF"), AnsiString("??"));
    EXPECT_EQ(Utf8ToAnsi("\xED\xA0\x80x"), AnsiString("???x"));
    EXPECT_EQ(Utf8ToAnsi("\xE2\x82"), AnsiString("??"));
}

TEST(AnsiCodePages, LosslessFormIsWindows1252WhereItFitsAndUtf8Otherwise)
{
    const struct {
        UnicodeString Text;
        unsigned short CodePage;
        std::string Bytes;
        UnicodeString Back;   // AnsiToUtf8 of the result
    } cases[] = {
        {"(S)-Naproxène µ €", CP_WINDOWS1252, "(S)-Naprox\xE8ne \xB5 \x80", "(S)-Naproxène µ €"},
        {"\u0081", CP_WINDOWS1252, "\x81", "\u0081"},
        {"γ-CD 5 % é", CP_UTF8, "γ-CD 5 % é", "γ-CD 5 % é"},
        {"\u0080", CP_UTF8, "\u0080", "\u0080"},   // a C1 control that Windows-1252 lacks
        // Malformed UTF-8 is read byte by byte as Windows-1252.
        {"caf\xE9 \xE2\x82", CP_WINDOWS1252, "caf\xE9 \xE2\x82", "café â‚"},
        {"β\xE9", CP_UTF8, "βé", "βé"},
    };
    for (const auto& c : cases) {
        const AnsiString a = Utf8ToAnsiLossless(c.Text);
        EXPECT_EQ(a, AnsiString(c.Bytes, c.CodePage)) << c.Text;
        EXPECT_EQ(AnsiToUtf8(a), c.Back) << c.Text;
    }
    EXPECT_NE(AnsiString("é", CP_UTF8), AnsiString("\xE9"));
    EXPECT_EQ(AnsiToUtf8(AnsiString("β \xE9\xC3", CP_UTF8)), "β éÃ");
    EXPECT_THROW(AnsiString(std::string("x"), 437), EConvertError);
    // The lossy conversion stays as it was.
    EXPECT_EQ(Utf8ToAnsi("β-CD"), AnsiString("?-CD"));
    // Joining: byte by byte within Windows-1252, otherwise as text, malformed bytes included.
    EXPECT_EQ(AnsiString("Naprox\xE8ne ") + AnsiString("\xB5") + Utf8ToAnsiLossless("β"),
              AnsiString("Naproxène µβ", CP_UTF8));
    EXPECT_EQ(AnsiToUtf8(AnsiString("\xC3", CP_UTF8) + AnsiString("\xA9", CP_UTF8)), "Ã©");
}

TEST(AnsiCodePages, Utf16DecodesPairsAndReplacesWhatIsUnpaired)
{
    const struct {
        std::string Le;   // little-endian bytes; the big-endian case swaps each pair
        UnicodeString Text;
    } cases[] = {
        {std::string("A\0\x3D\xD8\x00\xDE", 6), "A😀"},
        {std::string("\x3D\xD8" "A\0\x00\xDE", 6), "\uFFFDA\uFFFD"},   // surrogates alone
        {std::string("\0\0" "B", 3), std::string("\0\uFFFD", 4)},   // NUL, then a last odd byte
    };
    for (const auto& c : cases) {
        std::string be = c.Le;
        for (size_t i = 0; i + 1 < be.size(); i += 2)
            std::swap(be[i], be[i + 1]);
        EXPECT_EQ(Utf16ToUtf8(c.Le, false), c.Text);
        EXPECT_EQ(Utf16ToUtf8(be, true), c.Text);
    }
}

TEST(FloatFaults, RaiseAsTheOriginalPlatformDoes)
{
    auto message = [](auto f) -> std::string {
        try {
            f();
        } catch (const EMathError& e) {
            return std::string(e.ClassName()) + ": " + e.Message();
        }
        return "none";
    };
    EXPECT_EQ(message([] { FDiv(1, 0); }), "EZeroDivide: Floating point division by zero");
    EXPECT_EQ(message([] { FDiv(-1, -0.0); }), "EZeroDivide: Floating point division by zero");
    EXPECT_EQ(message([] { FDiv(0, 0); }), "EInvalidOp: Invalid floating point operation");
    EXPECT_EQ(message([] { FDiv(1e308, 1e-10); }), "EOverflow: Floating point overflow");
    EXPECT_EQ(message([] { FMul(1e200, 1e200); }), "EOverflow: Floating point overflow");
    EXPECT_EQ(message([] { FPow(0, -1); }), "EZeroDivide: Floating point division by zero");
    EXPECT_EQ(message([] { FPow(-8, 1.0 / 3); }), "EInvalidOp: Invalid floating point operation");
    EXPECT_EQ(message([] { FPow(10, 400); }), "EOverflow: Floating point overflow");
    EXPECT_EQ(message([] { FLn(0); }), "EZeroDivide: Floating point division by zero");
    EXPECT_EQ(message([] { FLn(-1); }), "EInvalidOp: Invalid floating point operation");
    EXPECT_EQ(message([] { FSqrt(-1); }), "EInvalidOp: Invalid floating point operation");
    EXPECT_EQ(message([] { FExp(1000); }), "EOverflow: Floating point overflow");
    EXPECT_EQ(message([] { FCheck(std::numeric_limits<double>::quiet_NaN()); }),
              "EInvalidOp: Invalid floating point operation");

    // Sound arithmetic passes through, underflow included.
    EXPECT_EQ(FDiv(1, 4), 0.25);
    EXPECT_EQ(FDiv(1e-300, 1e300), 0.0);
    EXPECT_EQ(FPow(-2, 3), -8);
    EXPECT_EQ(FPow(0, 0), 1);
    EXPECT_EQ(FSqrt(0), 0);
}

TEST(Utf8Chars, DecodeLengthAndStart)
{
    const std::string s = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";  // a é € 😀
    size_t i = 0;
    EXPECT_EQ(DecodeUtf8(s, i), U'a');
    EXPECT_EQ(i, 1u);
    EXPECT_EQ(DecodeUtf8(s, i), U'\u00E9');
    EXPECT_EQ(DecodeUtf8(s, i), U'\u20AC');
    EXPECT_EQ(DecodeUtf8(s, i), U'\U0001F600');
    EXPECT_EQ(i, s.size());
    EXPECT_EQ(Utf8CharLength(s, 0), 1u);
    EXPECT_EQ(Utf8CharLength(s, 1), 2u);
    EXPECT_EQ(Utf8CharLength(s, 3), 3u);
    EXPECT_EQ(Utf8CharLength(s, 6), 4u);
    EXPECT_EQ(Utf8CharStart(s, 2), 1u);
    EXPECT_EQ(Utf8CharStart(s, 5), 3u);
    EXPECT_EQ(Utf8CharStart(s, 9), 6u);
    EXPECT_EQ(Utf8CharStart(s, s.size()), s.size());
    // Malformed input: one byte at a time.
    const std::string bad = "\xC0\xAF\x80";
    i = 0;
    EXPECT_EQ(DecodeUtf8(bad, i), BadUtf8);
    EXPECT_EQ(i, 1u);
    EXPECT_EQ(Utf8CharLength(bad, 0), 1u);
}

TEST(ListIndex, CheckListIndexRaisesTheOriginalsText)
{
    EXPECT_NO_THROW(CheckListIndex(0, 1));
    try {
        CheckListIndex(3, 3);
        FAIL() << "no exception";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (3)");
    }
    EXPECT_THROW(CheckListIndex(-1, 5), EListError);
}
