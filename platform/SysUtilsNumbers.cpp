// The runtime library's numbers: text to number (StrToFloat, TryStrToFloat, StrToInt ...) and
// number to text (FloatToStr, FloatToStrF in all five formats), byte-exact with the original.
#include "platform/SysUtils.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cfloat>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <locale.h>

// ---------------------------------------------------------------------------------------------
// Text to number

namespace {

// The C locale, for the conversions of the C library.
locale_t CLocale()
{
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return loc;
}


bool IsDigit(char C) { return C >= '0' && C <= '9'; }

// Skips leading blanks and a sign; returns the position after them.
size_t SkipBlanksAndSign(std::string_view S, bool& Negative)
{
    size_t i = 0;
    while (i < S.size() && S[i] == ' ')
        ++i;
    Negative = false;
    if (i < S.size() && (S[i] == '+' || S[i] == '-')) {
        Negative = S[i] == '-';
        ++i;
    }
    return i;
}

// The decimal separator as UTF-8. One that is no character (L'\0', a surrogate) would glue
// the integer digits to the decimals, so "." stands in for it.
UnicodeString DecimalSeparatorText(const TFormatSettings& Settings)
{
    UnicodeString sep = WideCharToUtf8(Settings.DecimalSeparator);
    return sep.empty() ? UnicodeString(".") : sep;
}

// Where the parts of a number stand in its text.
struct TNumberScan {
    bool Negative = false;
    bool ExpNegative = false;
    size_t IntBegin = 0, IntEnd = 0, FracBegin = 0, FracEnd = 0, ExpBegin = 0, ExpEnd = 0;
    // The number is already in C syntax between these (separator ".", no "+", digits present).
    bool Plain = false;
    size_t Begin = 0, End = 0;
};

// Checks the syntax of a number and finds its parts.
bool ScanFloat(std::string_view S, const TFormatSettings& Settings, TNumberScan& N)
{
    char sep[8];
    size_t sepLen = 0;
    {
        const UnicodeString u = DecimalSeparatorText(Settings);
        sepLen = std::min(u.size(), sizeof sep);
        std::memcpy(sep, u.data(), sepLen);
    }
    const size_t n = S.size();
    size_t i = SkipBlanksAndSign(S, N.Negative);
    const size_t mantissa = i;
    N.IntBegin = i;
    while (i < n && IsDigit(S[i]))
        ++i;
    N.IntEnd = N.FracBegin = N.FracEnd = i;
    if (S.substr(i, sepLen) == std::string_view(sep, sepLen)) {
        i += sepLen;
        N.FracBegin = i;
        while (i < n && IsDigit(S[i]))
            ++i;
        N.FracEnd = i;
    }
    if (i == mantissa)
        return false;
    N.ExpBegin = N.ExpEnd = i;
    if (i < n && (S[i] == 'E' || S[i] == 'e')) {
        ++i;
        if (i < n && (S[i] == '+' || S[i] == '-')) {
            N.ExpNegative = S[i] == '-';
            ++i;
        }
        N.ExpBegin = i;
        int exponent = 0;
        while (i < n && IsDigit(S[i])) {
            exponent = exponent * 10 + (S[i++] - '0');
            if (exponent >= 500)
                break;
        }
        N.ExpEnd = i;
        if (N.ExpEnd == N.ExpBegin)
            return false;
    }
    N.End = i;
    while (i < n && S[i] == ' ')
        ++i;
    if (i != n)
        return false;
    const bool signed_ = mantissa > 0 && (S[mantissa - 1] == '-' || S[mantissa - 1] == '+');
    N.Begin = signed_ ? mantissa - 1 : mantissa;
    N.Plain = sepLen == 1 && sep[0] == '.' && !(signed_ && S[mantissa - 1] == '+') &&
              (N.IntEnd > N.IntBegin || N.FracEnd > N.FracBegin);
    return true;
}

// The scanned number in C syntax: "-12.5e-3".
void CText(std::string_view S, const TNumberScan& N, std::string& Text)
{
    Text.clear();
    if (N.Negative)
        Text += '-';
    if (N.IntEnd > N.IntBegin)
        Text.append(S.substr(N.IntBegin, N.IntEnd - N.IntBegin));
    else
        Text += '0';
    if (N.FracEnd > N.FracBegin) {
        Text += '.';
        Text.append(S.substr(N.FracBegin, N.FracEnd - N.FracBegin));
    }
    if (N.ExpEnd > N.ExpBegin) {
        Text += N.ExpNegative ? "e-" : "e";
        Text.append(S.substr(N.ExpBegin, N.ExpEnd - N.ExpBegin));
    }
}

// Checks the syntax and rewrites the number in C syntax into Text.
bool ScanFloat(std::string_view S, const TFormatSettings& Settings, std::string& Text)
{
    TNumberScan n;
    if (!ScanFloat(S, Settings, n))
        return false;
    CText(S, n, Text);
    return true;
}

// The correctly rounded nearest long double; false when the text is no number or the number
// lies beyond the long double range.
bool ParseFloat(std::string_view S, const TFormatSettings& Settings, long double& Value)
{
    std::string text;
    if (!ScanFloat(S, Settings, text))
        return false;
    char* end = nullptr;
    const long double v = strtold_l(text.c_str(), &end, CLocale());
    if (end != text.c_str() + text.size() || std::isinf(v))
        return false;
    Value = v;
    return true;
}

[[noreturn]] void InvalidFloat(const UnicodeString& S)
{
    throw EConvertError("'" + S + "' is not a valid floating point value");
}

} // namespace

bool TryStrToFloat(const UnicodeString& S, long double& Value, const TFormatSettings& Settings)
{
    return ParseFloat(S, Settings, Value);
}

bool TryStrToFloat(const UnicodeString& S, long double& Value)
{
    return ParseFloat(S, FormatSettings, Value);
}

bool TextToFloat(std::string_view Text, double& Value, const TFormatSettings& Settings)
{
    TNumberScan scan;
    if (!ScanFloat(Text, Settings, scan))
        return false;
    double d = 0;
    if (scan.Plain) {
        const char* const begin = Text.data() + scan.Begin;
        const char* const end = Text.data() + scan.End;
        const auto res = std::from_chars(begin, end, d);
        if (res.ec == std::errc() && res.ptr == end && std::fabs(d) < 1.6e308) {
            Value = d;
            return true;
        }
    }
    thread_local std::string text;
    CText(Text, scan, text);
    const char* const end = text.data() + text.size();
    const auto res = std::from_chars(text.data(), end, d);
    if (res.ec == std::errc() && res.ptr == end && std::fabs(d) < 1.6e308) {
        Value = d;
        return true;
    }
    // Near the bound, beyond it, or fading below the smallest double: decided on the long
    // double, then rounded once, from the digits, to the double.
    const long double v = strtold_l(text.c_str(), nullptr, CLocale());
    if (!(std::fabs(v) <= 1.7e308L))
        return false;
    Value = strtod_l(text.c_str(), nullptr, CLocale());
    return true;
}

bool TryStrToFloat(const UnicodeString& S, double& Value, const TFormatSettings& Settings)
{
    return TextToFloat(S, Value, Settings);
}

bool TryStrToFloat(const UnicodeString& S, double& Value)
{
    return TryStrToFloat(S, Value, FormatSettings);
}

long double StrToFloat(const UnicodeString& S, const TFormatSettings& Settings)
{
    long double v = 0;
    if (!ParseFloat(S, Settings, v))
        InvalidFloat(S);
    return v;
}

long double StrToFloat(const UnicodeString& S)
{
    return StrToFloat(S, FormatSettings);
}

long double StrToFloatDef(const UnicodeString& S, long double Default)
{
    long double v = 0;
    return ParseFloat(S, FormatSettings, v) ? v : Default;
}

bool TryStrToInt(const UnicodeString& S, int& Value)
{
    const size_t n = S.size();
    bool negative = false;
    size_t i = SkipBlanksAndSign(S, negative);
    int base = 10;
    if (i < n && S[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < n && S[i] == '0' && (S[i + 1] == 'x' || S[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == n)
        return false;
    std::uint64_t v = 0;
    const std::uint64_t limit = base == 16 ? 0xFFFFFFFFull : (negative ? 2147483648ull : 2147483647ull);
    for (; i < n; ++i) {
        const char c = S[i];
        int d;
        if (IsDigit(c))
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        v = v * static_cast<unsigned>(base) + static_cast<unsigned>(d);
        if (v > limit)
            return false;
    }
    std::uint32_t bits = static_cast<std::uint32_t>(v);
    if (negative)
        bits = ~bits + 1u;
    Value = static_cast<int>(bits);
    return true;
}

int StrToIntDef(const UnicodeString& S, int Default)
{
    int v = 0;
    return TryStrToInt(S, v) ? v : Default;
}

int StrToInt(const UnicodeString& S)
{
    int v = 0;
    if (!TryStrToInt(S, v))
        throw EConvertError("'" + S + "' is not a valid integer value");
    return v;
}

// ---------------------------------------------------------------------------------------------
// Number to text

namespace {

// A number as decimal digits: Value = 0.Digits x 10^Exponent, no trailing zeros; no digits for
// zero. Special: 0 finite, 1 infinite, 2 NaN.
struct TDecimal {
    bool Negative = false;
    int Exponent = 0;
    int Special = 0;
    std::string Digits;
};

using UInt128 = unsigned __int128;

constexpr std::array<UInt128, 32> Pow5 = [] {
    std::array<UInt128, 32> t{};
    t[0] = 1;
    for (size_t i = 1; i < t.size(); ++i)
        t[i] = t[i - 1] * 5;
    return t;
}();

constexpr std::uint64_t Ten17 = 100000000000000000ull;
constexpr std::uint64_t Ten18 = 1000000000000000000ull;

// Rounds A / 2^Shift to the nearest integer, ties to even.
UInt128 ShiftRound(UInt128 A, int Shift)
{
    if (Shift <= 0)
        return A << -Shift;
    if (Shift >= 127)
        return 0;
    const UInt128 q = A >> Shift;
    const UInt128 rest = A & ((UInt128(1) << Shift) - 1);
    const UInt128 half = UInt128(1) << (Shift - 1);
    return (rest > half || (rest == half && (q & 1) != 0)) ? q + 1 : q;
}

// The 18 significant digits of a normal double as an integer N (10^17 <= N < 10^18),
// correctly rounded, with X ~ N x 10^(Exponent - 18), computed exactly in 128-bit integers.
// False outside the range where they hold the arithmetic (about 1e-14 to 1e47).
bool ExactDigits18(double X, std::uint64_t& N, int& Exponent)
{
    int e2 = 0;
    const auto m = static_cast<std::uint64_t>(std::ldexp(std::frexp(X, &e2), 53));   // X = m 2^e
    const int e = e2 - 53;
    // X lies in [2^(e2-1), 2^e2): the decimal exponent is this or one more.
    int E = static_cast<int>(std::floor((e2 - 1) * 0.30102999566398120)) + 1;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int s = 18 - E;   // N = round(X 10^s)
        UInt128 q;
        if (s >= 0) {
            if (s >= static_cast<int>(Pow5.size()) || e + s > 0)
                return false;
            q = ShiftRound(UInt128(m) * Pow5[static_cast<size_t>(s)], -(e + s));
        } else {
            const int t = -s;
            const int shift = e - t;   // X 10^s = m 2^(e-t) / 5^t
            if (t >= static_cast<int>(Pow5.size()) || shift < 0 || shift > 74)
                return false;
            const UInt128 a = UInt128(m) << shift;
            const UInt128 d = Pow5[static_cast<size_t>(t)];
            q = a / d;
            const UInt128 r = a % d;
            if (2 * r > d || (2 * r == d && (q & 1) != 0))
                ++q;
        }
        if (q >= Ten18)
            ++E;
        else if (q < Ten17)
            --E;
        else {
            N = static_cast<std::uint64_t>(q);
            Exponent = E;
            return true;
        }
    }
    return false;
}

// The 18 significant digits of Magnitude (> 0), correctly rounded, into Out; returns the
// decimal exponent: Magnitude ~ 0.d1d2...d18 x 10^Exponent.
int Digits18(long double Magnitude, char* Out)
{
    const auto x = static_cast<double>(Magnitude);
    const bool isDouble = static_cast<long double>(x) == Magnitude && x >= DBL_MIN;
    std::uint64_t n = 0;
    int exponent = 0;
    if (isDouble && ExactDigits18(x, n, exponent)) {
        // Two halves of nine digits, two digits at a time.
        static constexpr char Pairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                        "8081828384858687888990919293949596979899";
        auto nine = [](std::uint32_t v, char* at) {
            at[8] = static_cast<char>('0' + v % 10);
            v /= 10;
            for (int i = 6; i >= 0; i -= 2) {
                std::memcpy(at + i, Pairs + 2 * (v % 100), 2);
                v /= 100;
            }
        };
        nine(static_cast<std::uint32_t>(n / 1000000000u), Out);
        nine(static_cast<std::uint32_t>(n % 1000000000u), Out + 9);
        return exponent;
    }
    char buf[64];
    const char* end = isDouble ? std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 17).ptr
                               : std::to_chars(buf, buf + sizeof buf, Magnitude, std::chars_format::scientific, 17).ptr;
    // buf: "d.ddddddddddddddddde[+-]x"
    Out[0] = buf[0];
    std::memcpy(Out + 1, buf + 2, 17);
    std::from_chars(buf + 20 + (buf[20] == '+' ? 1 : 0), end, exponent);
    return exponent + 1;
}

// Rounds to Precision significant digits and at most Decimals digits after the point, half
// away from zero, working from the 18 significant digits of the value (as the original runtime
// does with its extended numbers).
TDecimal ToDecimal(long double Value, int Precision, int Decimals)
{
    TDecimal d;
    if (std::isnan(Value)) {
        d.Special = 2;
        return d;
    }
    d.Negative = std::signbit(Value);
    if (std::isinf(Value)) {
        d.Special = 1;
        return d;
    }
    if (Value == 0) {
        d.Negative = false;
        return d;
    }
    char digits[18];
    d.Exponent = Digits18(std::fabs(Value), digits);

    const long long wanted = std::min<long long>(Precision, static_cast<long long>(Decimals) + d.Exponent);
    if (wanted < 0) {
        d.Negative = false;
        d.Exponent = 0;
        return d;
    }
    size_t count = sizeof digits;
    const auto keep = static_cast<size_t>(wanted);
    if (keep < count) {
        const bool up = digits[keep] >= '5';
        count = keep;
        if (up) {
            size_t k = keep;
            while (k > 0 && digits[k - 1] == '9')
                --k;
            if (k == 0) {
                // All nines: one digit more in front.
                digits[0] = '1';
                count = 1;
                ++d.Exponent;
            } else {
                ++digits[k - 1];
                count = k;
            }
        }
    }
    while (count > 0 && digits[count - 1] == '0')
        --count;
    if (count == 0) {
        d.Negative = false;
        d.Exponent = 0;
    }
    d.Digits.assign(digits, count);
    return d;
}

UnicodeString SpecialText(const TDecimal& D)
{
    if (D.Special == 2)
        return "NAN";
    return D.Negative ? "-INF" : "INF";
}

void AppendExponent(UnicodeString& Out, int Exponent, int MinDigits, bool AlwaysSign)
{
    if (Exponent < 0)
        Out += '-';
    else if (AlwaysSign)
        Out += '+';
    const std::string e = std::to_string(Exponent < 0 ? -static_cast<long>(Exponent) : Exponent);
    if (static_cast<int>(e.size()) < MinDigits)
        Out.append(static_cast<size_t>(MinDigits) - e.size(), '0');
    Out += e;
}

UnicodeString FormatGeneral(const TDecimal& D, int Precision, int ExpDigits, const UnicodeString& Sep)
{
    UnicodeString out;
    if (D.Digits.empty())
        return "0";
    if (D.Negative)
        out += '-';
    if (D.Exponent > Precision || D.Exponent < -3) {
        out += D.Digits[0];
        if (D.Digits.size() > 1) {
            out += Sep;
            out.append(D.Digits, 1);
        }
        out += 'E';
        AppendExponent(out, D.Exponent - 1, ExpDigits, false);
        return out;
    }
    if (D.Exponent <= 0) {
        out += '0';
        out += Sep;
        out.append(static_cast<size_t>(-D.Exponent), '0');
        out += D.Digits;
        return out;
    }
    const auto intDigits = static_cast<size_t>(D.Exponent);
    if (D.Digits.size() <= intDigits) {
        out += D.Digits;
        out.append(intDigits - D.Digits.size(), '0');
    } else {
        out.append(D.Digits, 0, intDigits);
        out += Sep;
        out.append(D.Digits, intDigits);
    }
    return out;
}

UnicodeString FormatExponentForm(const TDecimal& D, int Precision, int ExpDigits, const UnicodeString& Sep)
{
    UnicodeString out;
    if (D.Negative)
        out += '-';
    std::string digits = D.Digits;
    digits.resize(static_cast<size_t>(Precision), '0');
    out += digits[0];
    out += Sep;
    out.append(digits, 1);
    out += 'E';
    AppendExponent(out, D.Digits.empty() ? 0 : D.Exponent - 1, ExpDigits, true);
    return out;
}

// The unsigned fixed-point text with Decimals decimals and, when Thousands is not empty, the
// thousands separator between groups of integer digits.
UnicodeString FormatFixedDigits(const TDecimal& D, int Decimals, const UnicodeString& Sep,
                                const UnicodeString& Thousands)
{
    std::string intPart;
    if (D.Exponent <= 0 || D.Digits.empty()) {
        intPart = "0";
    } else {
        const auto n = static_cast<size_t>(D.Exponent);
        intPart = D.Digits.substr(0, std::min(n, D.Digits.size()));
        intPart.append(n - intPart.size(), '0');
    }
    UnicodeString out;
    if (Thousands.empty()) {
        out = intPart;
    } else {
        for (size_t k = 0; k < intPart.size(); ++k) {
            if (k > 0 && (intPart.size() - k) % 3 == 0)
                out += Thousands;
            out += intPart[k];
        }
    }
    if (Decimals > 0) {
        out += Sep;
        for (int k = 0; k < Decimals; ++k) {
            const long long pos = static_cast<long long>(D.Exponent) + k;
            out += (pos >= 0 && pos < static_cast<long long>(D.Digits.size())) ? D.Digits[static_cast<size_t>(pos)] : '0';
        }
    }
    return out;
}

UnicodeString PlaceCurrency(const UnicodeString& Number, bool Negative, const TFormatSettings& S)
{
    const UnicodeString& c = S.CurrencyString;
    if (!Negative) {
        switch (S.CurrencyFormat) {
        case 1: return Number + c;
        case 2: return c + " " + Number;
        case 3: return Number + " " + c;
        default: return c + Number;
        }
    }
    switch (S.NegCurrFormat) {
    case 0: return "(" + c + Number + ")";
    case 2: return c + "-" + Number;
    case 3: return c + Number + "-";
    case 4: return "(" + Number + c + ")";
    case 5: return "-" + Number + c;
    case 6: return Number + "-" + c;
    case 7: return Number + c + "-";
    case 8: return "-" + Number + " " + c;
    case 9: return "-" + c + " " + Number;
    case 10: return Number + " " + c + "-";
    case 11: return c + " " + Number + "-";
    case 12: return c + " -" + Number;
    case 13: return Number + "- " + c;
    case 14: return "(" + c + " " + Number + ")";
    case 15: return "(" + Number + " " + c + ")";
    default: return "-" + c + Number;
    }
}

} // namespace

UnicodeString FloatToStrF(long double Value, TFloatFormat Format, int Precision, int Digits,
                          const TFormatSettings& Settings)
{
    Precision = std::clamp(Precision, 2, 18);
    const UnicodeString sep = DecimalSeparatorText(Settings);
    const int expDigits = (Digits >= 0 && Digits <= 4) ? Digits : 0;
    const int decimals = std::clamp(Digits, 0, 18);

    if (Format == ffGeneral || Format == ffExponent) {
        const TDecimal d = ToDecimal(Value, Precision, 9999);
        if (d.Special != 0)
            return SpecialText(d);
        return Format == ffGeneral ? FormatGeneral(d, Precision, expDigits, sep)
                                   : FormatExponentForm(d, Precision, expDigits, sep);
    }

    const TDecimal d = ToDecimal(Value, Precision, decimals);
    if (d.Special != 0)
        return SpecialText(d);
    if (d.Exponent > Precision)
        return FormatGeneral(d, Precision, expDigits, sep);
    const UnicodeString thousands = Format == ffFixed ? UnicodeString() : WideCharToUtf8(Settings.ThousandSeparator);
    const UnicodeString number = FormatFixedDigits(d, decimals, sep, thousands);
    if (Format == ffCurrency)
        return PlaceCurrency(number, d.Negative, Settings);
    return d.Negative ? "-" + number : number;
}

UnicodeString FloatToStrF(long double Value, TFloatFormat Format, int Precision, int Digits)
{
    return FloatToStrF(Value, Format, Precision, Digits, FormatSettings);
}

UnicodeString FloatToStr(long double Value, const TFormatSettings& Settings)
{
    return FloatToStrF(Value, ffGeneral, 15, 0, Settings);
}

UnicodeString FloatToStr(long double Value)
{
    return FloatToStrF(Value, ffGeneral, 15, 0, FormatSettings);
}

