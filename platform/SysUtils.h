// Runtime library: exceptions, texts, number conversions and the program-wide
// number format settings.
#pragma once

#include <cmath>
#include <concepts>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// The window's text: UTF-8.
using UnicodeString = std::string;
using TCaption = UnicodeString;
using WideChar = wchar_t;
using Char = WideChar;
using Byte = std::uint8_t;
// Extended precision.
using Extended = long double;

// Base of every exception the platform and the program raise.
class Exception : public std::exception {
public:
    explicit Exception(UnicodeString Msg) : FMessage(std::move(Msg)) {}
    ~Exception() override = default;
    const UnicodeString& Message() const noexcept { return FMessage; }
    const char* what() const noexcept override { return FMessage.c_str(); }
    virtual const char* ClassName() const noexcept { return "Exception"; }

private:
    UnicodeString FMessage;
};

#define CORVANE_EXCEPTION_CLASS(Name, Base)                                  \
    class Name : public Base {                                               \
    public:                                                                  \
        using Base::Base;                                                    \
        const char* ClassName() const noexcept override { return #Name; }   \
    }

// The silent exception: the general error display shows nothing for it (Abort raises it).
CORVANE_EXCEPTION_CLASS(EAbort, Exception);
[[noreturn]] void Abort();
CORVANE_EXCEPTION_CLASS(EConvertError, Exception);
// A file that cannot be created or replaced: "Cannot create file \"%s\"".
CORVANE_EXCEPTION_CLASS(EFCreateError, Exception);
CORVANE_EXCEPTION_CLASS(EPropertyError, Exception);
CORVANE_EXCEPTION_CLASS(EMathError, Exception);
CORVANE_EXCEPTION_CLASS(EZeroDivide, EMathError);
CORVANE_EXCEPTION_CLASS(EInvalidOp, EMathError);
CORVANE_EXCEPTION_CLASS(EOverflow, EMathError);
CORVANE_EXCEPTION_CLASS(EIniFileException, Exception);
CORVANE_EXCEPTION_CLASS(EListError, Exception);
// Raises EListError "List index out of bounds (%d)" unless 0 <= Index < Count.
void CheckListIndex(int Index, int Count);

// ---------------------------------------------------------------------------------------------
// 8-bit text with its code page: Windows-1252, the system's ANSI code page, or UTF-8.
//
// A distinct type holding bytes, so that it cannot be mixed with the UTF-8 UnicodeString by
// accident: the two convert only through AnsiToUtf8 and Utf8ToAnsi (or Utf8ToAnsiLossless). A
// string literal converts implicitly (its bytes are taken as Windows-1252, so keep such
// literals ASCII); a std::string of bytes only explicitly. Equal AnsiStrings have the same code
// page and the same bytes; Utf8ToAnsiLossless gives one form per text, so that equal texts
// compare equal.

inline constexpr unsigned short CP_WINDOWS1252 = 1252;
inline constexpr unsigned short CP_UTF8 = 65001;

class AnsiString {
public:
    AnsiString() = default;
    AnsiString(const char* Bytes) : FBytes(Bytes != nullptr ? Bytes : "") {}
    AnsiString(const char* Bytes, int Length) : FBytes(Bytes, static_cast<size_t>(Length)) {}
    explicit AnsiString(std::string Bytes) : FBytes(std::move(Bytes)) {}
    // Bytes in the given code page; any other than CP_WINDOWS1252 and CP_UTF8 raises
    // EConvertError.
    AnsiString(std::string Bytes, unsigned short CodePage);
    AnsiString(const char* Bytes, unsigned short CodePage) : AnsiString(std::string(Bytes), CodePage) {}

    const char* c_str() const noexcept { return FBytes.c_str(); }
    int Length() const noexcept { return static_cast<int>(FBytes.size()); }
    bool IsEmpty() const noexcept { return FBytes.empty(); }
    // The bytes, as stored.
    const std::string& Bytes() const noexcept { return FBytes; }
    unsigned short CodePage() const noexcept { return FCodePage; }

    // Texts of one code page join byte by byte; of different ones, as Utf8ToAnsiLossless gives
    // the joined text.
    AnsiString& operator+=(const AnsiString& Other);
    friend AnsiString operator+(AnsiString A, const AnsiString& B) { return A += B; }
    friend bool operator==(const AnsiString&, const AnsiString&) = default;
    friend auto operator<=>(const AnsiString&, const AnsiString&) = default;

private:
    std::string FBytes;
    unsigned short FCodePage = CP_WINDOWS1252;
};

// The text of an AnsiString as UTF-8, always well formed. Windows-1252: every byte maps to one
// character; the five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to
// U+0081 ... so that every byte string survives a round trip through Utf8ToAnsi. UTF-8: the
// bytes pass through, except that a byte of malformed UTF-8 is read as its Windows-1252
// character.
UnicodeString AnsiToUtf8(const AnsiString& S);
// UTF-8 to Windows-1252 bytes. A character the code page lacks becomes "?", and so does every
// byte of malformed UTF-8.
AnsiString Utf8ToAnsi(const UnicodeString& S);
// UTF-8 to an AnsiString that loses nothing: the Windows-1252 form when every character of S
// has one, otherwise the UTF-8 bytes (CP_UTF8). A byte of malformed UTF-8 is read as its
// Windows-1252 character, as AnsiToUtf8 reads it.
AnsiString Utf8ToAnsiLossless(const UnicodeString& S);

// ---------------------------------------------------------------------------------------------
// Number format settings.

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

struct TFormatSettings {
    WideChar DecimalSeparator = L'.';
    // Between groups of three integer digits of ffNumber and ffCurrency; L'\0' for none.
    WideChar ThousandSeparator = L',';
    UnicodeString CurrencyString = "$";
    // Placement of the currency string for positive amounts:
    // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $".
    Byte CurrencyFormat = 0;
    // Form of negative amounts:
    // 0 "($1)", 1 "-$1", 2 "$-1", 3 "$1-", 4 "(1$)", 5 "-1$", 6 "1-$", 7 "1$-",
    // 8 "-1 $", 9 "-$ 1", 10 "1 $-", 11 "$ 1-", 12 "$ -1", 13 "1- $", 14 "($ 1)", 15 "(1 $)".
    Byte NegCurrFormat = 1;
    Byte CurrencyDecimals = 2;

    // The user's regional settings (LC_NUMERIC, LC_MONETARY of the environment), read without
    // changing the process locale. Where the locale names no currency symbol (the C locale)
    // the currency string is "$"; without a thousands separator it is "," (or "." where the
    // decimal separator is ",").
    static TFormatSettings Create();
    // The settings of the C locale: ".", ",", "$".
    static TFormatSettings Invariant();
};

// The program-wide settings used by every conversion below that takes none: initialised from
// the user's regional settings at start; the decimal separator may be replaced at run time.
extern TFormatSettings FormatSettings;

// ---------------------------------------------------------------------------------------------
// Text to number.
//
// Accepted: optional blanks, an optional sign, digits with at most one decimal separator (the
// digits may be absent on either side of it; a lone separator reads as 0), optionally "E" or
// "e" with an optional sign and exponent digits (reading stops once the exponent reaches 500),
// optional blanks, the end of the text. No thousands separators. The result is the correctly
// rounded nearest long double.

// Raises EConvertError "'S' is not a valid floating point value".
long double StrToFloat(const UnicodeString& S);
long double StrToFloat(const UnicodeString& S, const TFormatSettings& Settings);
// Also refuses magnitudes above 1.7e308. Value is left unchanged on failure.
bool TryStrToFloat(const UnicodeString& S, double& Value);
bool TryStrToFloat(const UnicodeString& S, double& Value, const TFormatSettings& Settings);
// The same on a piece of text.
bool TextToFloat(std::string_view Text, double& Value, const TFormatSettings& Settings);
// Extended precision, without the 1.7e308 bound.
bool TryStrToFloat(const UnicodeString& S, long double& Value);
bool TryStrToFloat(const UnicodeString& S, long double& Value, const TFormatSettings& Settings);
long double StrToFloatDef(const UnicodeString& S, long double Default);

// Optional blanks, an optional sign, decimal digits or hexadecimal ones after "$" or "0x";
// the value must fit 32 bits (hexadecimal up to $FFFFFFFF, read as its two's complement).
// StrToInt raises EConvertError "'S' is not a valid integer value".
int StrToInt(const UnicodeString& S);
int StrToIntDef(const UnicodeString& S, int Default);
bool TryStrToInt(const UnicodeString& S, int& Value);

// ---------------------------------------------------------------------------------------------
// Number to text.

// Any integer type, decimal with a leading "-" when negative.
template <std::integral T>
UnicodeString IntToStr(T Value)
{
    return std::to_string(Value);
}

// General format with 15 significant digits: FloatToStrF(Value, ffGeneral, 15, 0).
UnicodeString FloatToStr(long double Value);
UnicodeString FloatToStr(long double Value, const TFormatSettings& Settings);

// The number rounded to Precision significant digits (taken as 2 to 18), half away from
// zero, written in Format:
//   ffGeneral  plain when the rounded number is zero, or at least 0.0001 in magnitude with at
//              most Precision integer digits; otherwise d.dddE-x. Trailing zeros dropped.
//              Digits: least exponent digits (0 to 4; other values count as 0).
//   ffExponent d.ddddE+xx with Precision digits; Digits: least exponent digits (0 to 4).
//   ffFixed    Digits decimals (0 to 18); as ffGeneral when the number has more than
//              Precision integer digits.
//   ffNumber   as ffFixed, with the thousands separator.
//   ffCurrency as ffNumber, placed by CurrencyFormat / NegCurrFormat with CurrencyString.
// NaN and infinities are written "NAN", "INF", "-INF".
UnicodeString FloatToStrF(long double Value, TFloatFormat Format, int Precision, int Digits);
UnicodeString FloatToStrF(long double Value, TFloatFormat Format, int Precision, int Digits,
                          const TFormatSettings& Settings);

// ---------------------------------------------------------------------------------------------
// Texts.

// Without leading and trailing characters up to and including the blank (blanks and control
// characters).
UnicodeString Trim(const UnicodeString& S);
UnicodeString TrimLeft(const UnicodeString& S);
UnicodeString TrimRight(const UnicodeString& S);
// ASCII letters only, as the original runtime does.
UnicodeString UpperCase(const UnicodeString& S);
UnicodeString LowerCase(const UnicodeString& S);
bool SameText(const UnicodeString& A, const UnicodeString& B);
// Whether S holds only ASCII bytes (below 0x80).
bool IsAscii(std::string_view S);
// Whether S is well-formed UTF-8 (DecodeUtf8 reads no byte of it as BadUtf8).
bool ValidUtf8(std::string_view S);
// UTF-16 (two bytes per code unit, in the given byte order) as UTF-8. An unpaired surrogate,
// and a last odd byte, become U+FFFD.
UnicodeString Utf16ToUtf8(std::string_view Bytes, bool BigEndian);
// UTF-8 characters of a UnicodeString. DecodeUtf8 decodes the character at S[I] and advances
// I past it; malformed input (a bad lead or continuation byte, an overlong form, a surrogate,
// beyond U+10FFFF, truncated) consumes one byte and gives BadUtf8.
constexpr char32_t BadUtf8 = 0xFFFFFFFF;
char32_t DecodeUtf8(std::string_view S, size_t& I);
// The length in bytes of the character that starts at S[At] (1 for malformed input).
size_t Utf8CharLength(std::string_view S, size_t At);
// The start of the character that byte I belongs to (I itself at a character's start or at the
// end of S).
size_t Utf8CharStart(std::string_view S, size_t I);

// A wide character as UTF-8 (for separators); L'\0' gives "".
UnicodeString WideCharToUtf8(WideChar C);

// File names: the part after the last "/", and everything up to and including it.
UnicodeString ExtractFileName(const UnicodeString& FileName);
UnicodeString ExtractFilePath(const UnicodeString& FileName);
// The extension of the name part with its dot (".svg"), or "" for a name without one.
UnicodeString ExtractFileExt(const UnicodeString& FileName);
// An existing regular file (after following links).
bool FileExists(const UnicodeString& FileName);

// ---------------------------------------------------------------------------------------------
// Checked floating-point arithmetic.
//
// The hardware here masks floating-point faults and lets infinities and NaNs through. Code whose
// arithmetic may fault says so with these helpers, which raise as the original platform does:
//   EZeroDivide "Floating point division by zero"  x / 0 with x non-zero, ln 0, 0 to a negative power
//   EInvalidOp  "Invalid floating point operation" 0 / 0, ln or sqrt of a negative, any NaN result
//   EOverflow   "Floating point overflow"          an infinite result
// Underflow to zero is not a fault.

enum class TFloatFault { ZeroDivide, InvalidOp, Overflow };
[[noreturn]] void RaiseFloatFault(TFloatFault Fault);

// Passes a finite result through; a NaN raises EInvalidOp, an infinity EOverflow.
inline double FCheck(double Result)
{
    if (std::isfinite(Result)) [[likely]]
        return Result;
    RaiseFloatFault(std::isnan(Result) ? TFloatFault::InvalidOp : TFloatFault::Overflow);
}

inline long double FCheck(long double Result)
{
    if (std::isfinite(Result)) [[likely]]
        return Result;
    RaiseFloatFault(std::isnan(Result) ? TFloatFault::InvalidOp : TFloatFault::Overflow);
}

inline double FDiv(double A, double B)
{
    if (B == 0.0) [[unlikely]]
        RaiseFloatFault(A == 0.0 || std::isnan(A) ? TFloatFault::InvalidOp : TFloatFault::ZeroDivide);
    return FCheck(A / B);
}

inline double FMul(double A, double B) { return FCheck(A * B); }
inline double FAdd(double A, double B) { return FCheck(A + B); }
inline double FSub(double A, double B) { return FCheck(A - B); }

// Base to the power E: 0 to a negative power is a division by zero, a negative base to a
// non-integral power an invalid operation.
inline double FPow(double Base, double E)
{
    if (Base == 0.0 && E < 0.0) [[unlikely]]
        RaiseFloatFault(TFloatFault::ZeroDivide);
    return FCheck(std::pow(Base, E));
}

inline double FExp(double X) { return FCheck(std::exp(X)); }

inline double FLn(double X)
{
    if (!(X > 0.0)) [[unlikely]]
        RaiseFloatFault(X == 0.0 ? TFloatFault::ZeroDivide : TFloatFault::InvalidOp);
    return FCheck(std::log(X));
}

inline double FLog10(double X)
{
    if (!(X > 0.0)) [[unlikely]]
        RaiseFloatFault(X == 0.0 ? TFloatFault::ZeroDivide : TFloatFault::InvalidOp);
    return FCheck(std::log10(X));
}

inline double FSqrt(double X)
{
    if (X < 0.0 || std::isnan(X)) [[unlikely]]
        RaiseFloatFault(TFloatFault::InvalidOp);
    return FCheck(std::sqrt(X));
}
