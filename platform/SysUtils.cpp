// The runtime library: ANSI and UTF-8 texts, the format settings, text and file-name helpers,
// floating-point faults (the numbers are in SysUtilsNumbers.cpp).
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
#include <langinfo.h>
#include <locale.h>
#include <sys/stat.h>

// ---------------------------------------------------------------------------------------------
// Windows-1252

namespace {

// Characters of the bytes 0x80 to 0x9F; the five undefined bytes stand for themselves.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t Cp1252Char(unsigned char B)
{
    return B >= 0x80 && B < 0xA0 ? Cp1252High[B - 0x80] : B;
}

void AppendUtf8(std::string& Out, char32_t C)
{
    if (C < 0x80) {
        Out += static_cast<char>(C);
    } else if (C < 0x800) {
        Out += static_cast<char>(0xC0 | (C >> 6));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        Out += static_cast<char>(0xE0 | (C >> 12));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (C >> 18));
        Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    }
}

// The Windows-1252 byte of a character; false when the code page lacks it.
bool AnsiByteOf(char32_t C, char& Byte)
{
    if (C < 0x80 || (C >= 0xA0 && C <= 0xFF)) {
        Byte = static_cast<char>(C);
        return true;
    }
    for (size_t k = 0; k < Cp1252High.size(); ++k)
        if (Cp1252High[k] == C) {
            Byte = static_cast<char>(0x80 + k);
            return true;
        }
    return false;
}

// The character at S[I] as AnsiToUtf8 reads UTF-8: a byte of malformed UTF-8 as its
// Windows-1252 character.
char32_t DecodeUtf8Or1252(std::string_view S, size_t& I)
{
    const size_t at = I;
    const char32_t c = DecodeUtf8(S, I);
    return c != BadUtf8 ? c : Cp1252Char(static_cast<unsigned char>(S[at]));
}

} // namespace

// ---------------------------------------------------------------------------------------------
// UTF-8 and UTF-16 characters

bool IsAscii(std::string_view S)
{
    const char* p = S.data();
    size_t n = S.size();
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (word & 0x8080808080808080ull)
            return false;
    }
    for (; n > 0; ++p, --n)
        if (static_cast<unsigned char>(*p) >= 0x80)
            return false;
    return true;
}

bool ValidUtf8(std::string_view S)
{
    size_t i = 0;
    while (i < S.size()) {
        // Runs of ASCII eight bytes at a time.
        while (i + 8 <= S.size() && IsAscii(S.substr(i, 8)))
            i += 8;
        if (i < S.size() && DecodeUtf8(S, i) == BadUtf8)
            return false;
    }
    return true;
}

UnicodeString Utf16ToUtf8(std::string_view Bytes, bool BigEndian)
{
    auto unit = [&](size_t I) -> char32_t {
        const auto a = static_cast<unsigned char>(Bytes[I]);
        const auto b = static_cast<unsigned char>(Bytes[I + 1]);
        return BigEndian ? (a << 8) | b : (b << 8) | a;
    };
    UnicodeString out;
    out.reserve(Bytes.size() / 2 + Bytes.size() / 8);
    for (size_t i = 0; i + 1 < Bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < Bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    if (Bytes.size() % 2 != 0)
        AppendUtf8(out, 0xFFFD);
    return out;
}

char32_t DecodeUtf8(std::string_view S, size_t& I)
{
    const auto b0 = static_cast<unsigned char>(S[I]);
    if (b0 < 0x80) {
        ++I;
        return b0;
    }
    int len = 0;
    char32_t c = 0;
    char32_t least = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        c = b0 & 0x1F;
        least = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        c = b0 & 0x0F;
        least = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        c = b0 & 0x07;
        least = 0x10000;
    } else {
        ++I;
        return BadUtf8;
    }
    if (I + len > S.size()) {
        ++I;
        return BadUtf8;
    }
    for (int k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(S[I + k]);
        if ((b & 0xC0) != 0x80) {
            ++I;
            return BadUtf8;
        }
        c = (c << 6) | (b & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++I;
        return BadUtf8;
    }
    I += len;
    return c;
}

size_t Utf8CharLength(std::string_view S, size_t At)
{
    size_t i = At;
    DecodeUtf8(S, i);
    return i - At;
}

size_t Utf8CharStart(std::string_view S, size_t I)
{
    while (I > 0 && I < S.size() && (static_cast<unsigned char>(S[I]) & 0xC0) == 0x80)
        --I;
    return I;
}

AnsiString::AnsiString(std::string Bytes, unsigned short CodePage) : FBytes(std::move(Bytes)), FCodePage(CodePage)
{
    if (CodePage != CP_WINDOWS1252 && CodePage != CP_UTF8)
        throw EConvertError("Code page " + std::to_string(CodePage) + " is not supported");
}

AnsiString& AnsiString::operator+=(const AnsiString& Other)
{
    if (FCodePage == CP_WINDOWS1252 && Other.FCodePage == CP_WINDOWS1252)
        FBytes += Other.FBytes;
    else
        *this = Utf8ToAnsiLossless(AnsiToUtf8(*this) + AnsiToUtf8(Other));
    return *this;
}

UnicodeString AnsiToUtf8(const AnsiString& S)
{
    const std::string& bytes = S.Bytes();
    if (IsAscii(bytes) || (S.CodePage() == CP_UTF8 && ValidUtf8(bytes)))
        return bytes;
    UnicodeString out;
    out.reserve(bytes.size() + bytes.size() / 4);
    size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out += bytes[i++];
            continue;
        }
        AppendUtf8(out, S.CodePage() == CP_UTF8 ? DecodeUtf8Or1252(bytes, i)
                                                : Cp1252Char(static_cast<unsigned char>(bytes[i++])));
    }
    return out;
}

namespace {

// The Windows-1252 bytes of S, its characters read by Decode (DecodeUtf8 or DecodeUtf8Or1252).
// A character the code page lacks becomes Missing, or with Missing 0 makes the result false.
bool ToAnsiBytes(const UnicodeString& S, char32_t (*Decode)(std::string_view, size_t&), char Missing, std::string& Out)
{
    if (IsAscii(S)) {
        Out = S;
        return true;
    }
    Out.reserve(S.size());
    for (size_t i = 0; i < S.size();) {
        char ansi = Missing;
        if (!AnsiByteOf(Decode(S, i), ansi) && Missing == 0)
            return false;
        Out += ansi;
    }
    return true;
}

} // namespace

AnsiString Utf8ToAnsi(const UnicodeString& S)
{
    std::string out;
    ToAnsiBytes(S, DecodeUtf8, '?', out);
    return AnsiString(std::move(out));
}

AnsiString Utf8ToAnsiLossless(const UnicodeString& S)
{
    std::string out;
    if (ToAnsiBytes(S, DecodeUtf8Or1252, 0, out))
        return AnsiString(std::move(out));
    return AnsiString(AnsiToUtf8(AnsiString(S, CP_UTF8)), CP_UTF8);
}

void Abort()
{
    throw EAbort("Operation aborted");
}

void CheckListIndex(int Index, int Count)
{
    if (Index < 0 || Index >= Count)
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

UnicodeString WideCharToUtf8(WideChar C)
{
    UnicodeString out;
    const auto c = static_cast<char32_t>(C);
    if (c != 0 && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF))
        AppendUtf8(out, c);
    return out;
}

// ---------------------------------------------------------------------------------------------
// Format settings

namespace {

// The one character of a locale string (UTF-8, or a single byte of another code set).
WideChar LocaleChar(const char* S, bool Utf8, WideChar Fallback)
{
    if (S == nullptr || *S == '\0')
        return Fallback;
    std::string_view text(S);
    if (!Utf8)
        return static_cast<unsigned char>(text[0]) < 0x80 ? static_cast<WideChar>(text[0]) : Fallback;
    size_t i = 0;
    const char32_t c = DecodeUtf8(text, i);
    return c == BadUtf8 ? Fallback : static_cast<WideChar>(c);
}

// Maps the locale's placement of the currency symbol to the original runtime's codes.
Byte PositiveCurrencyFormat(char Precedes, char SepBySpace)
{
    if (Precedes == CHAR_MAX)
        return 0;
    const bool space = SepBySpace == 1 || SepBySpace == 2;
    return Precedes ? (space ? 2 : 0) : (space ? 3 : 1);
}

Byte NegativeCurrencyFormat(char Precedes, char SepBySpace, char SignPosn)
{
    if (Precedes == CHAR_MAX || SignPosn == CHAR_MAX)
        return 1;
    const bool space = SepBySpace == 1 || SepBySpace == 2;
    if (Precedes) {
        switch (SignPosn) {
        case 0: return space ? 14 : 0;   // ($ 1)
        case 1: return space ? 9 : 1;    // -$ 1
        case 2: return space ? 11 : 3;   // $ 1-
        case 3: return space ? 9 : 1;    // -$ 1
        default: return space ? 12 : 2; // $ -1
        }
    }
    switch (SignPosn) {
    case 0: return space ? 15 : 4;      // (1 $)
    case 1: return space ? 8 : 5;       // -1 $
    case 2: return space ? 10 : 7;      // 1 $-
    case 3: return space ? 13 : 6;      // 1- $ (sign just before the symbol)
    default: return space ? 10 : 7;     // 1 $- (sign just after the symbol)
    }
}

} // namespace

TFormatSettings TFormatSettings::Invariant()
{
    return TFormatSettings{};
}

TFormatSettings TFormatSettings::Create()
{
    TFormatSettings s;
    const locale_t user = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(0));
    if (user == static_cast<locale_t>(0))
        return s;
    const locale_t previous = uselocale(user);
    const bool utf8 = std::strcmp(nl_langinfo_l(CODESET, user), "UTF-8") == 0;
    const lconv* lc = localeconv();

    s.DecimalSeparator = LocaleChar(lc->decimal_point, utf8, L'.');
    const WideChar thousands = s.DecimalSeparator == L',' ? L'.' : L',';
    s.ThousandSeparator = LocaleChar(lc->thousands_sep, utf8, thousands);
    if (s.ThousandSeparator == s.DecimalSeparator)
        s.ThousandSeparator = thousands;
    if (lc->currency_symbol != nullptr && *lc->currency_symbol != '\0' &&
        (utf8 ? ValidUtf8(lc->currency_symbol) : IsAscii(lc->currency_symbol)))
        s.CurrencyString = lc->currency_symbol;
    s.CurrencyFormat = PositiveCurrencyFormat(lc->p_cs_precedes, lc->p_sep_by_space);
    s.NegCurrFormat = NegativeCurrencyFormat(lc->n_cs_precedes, lc->n_sep_by_space, lc->n_sign_posn);
    if (lc->frac_digits != CHAR_MAX && lc->frac_digits >= 0 && lc->frac_digits <= 18)
        s.CurrencyDecimals = static_cast<Byte>(lc->frac_digits);

    uselocale(previous);
    freelocale(user);
    return s;
}

TFormatSettings FormatSettings = TFormatSettings::Create();

// ---------------------------------------------------------------------------------------------
// Texts

namespace {
bool IsBlank(char C) { return static_cast<unsigned char>(C) <= ' '; }
} // namespace

UnicodeString Trim(const UnicodeString& S)
{
    size_t b = 0;
    size_t e = S.size();
    while (b < e && IsBlank(S[b]))
        ++b;
    while (e > b && IsBlank(S[e - 1]))
        --e;
    return S.substr(b, e - b);
}

UnicodeString TrimLeft(const UnicodeString& S)
{
    size_t b = 0;
    while (b < S.size() && IsBlank(S[b]))
        ++b;
    return S.substr(b);
}

UnicodeString TrimRight(const UnicodeString& S)
{
    size_t e = S.size();
    while (e > 0 && IsBlank(S[e - 1]))
        --e;
    return S.substr(0, e);
}

namespace {

// S with the ASCII letters From..From+25 changed to To..To+25 (other bytes stay).
UnicodeString MapAsciiLetters(const UnicodeString& S, char From, char To)
{
    UnicodeString out = S;
    for (char& c : out)
        if (c >= From && c <= From + 25)
            c = static_cast<char>(c - From + To);
    return out;
}

} // namespace

UnicodeString UpperCase(const UnicodeString& S)
{
    return MapAsciiLetters(S, 'a', 'A');
}

UnicodeString LowerCase(const UnicodeString& S)
{
    return MapAsciiLetters(S, 'A', 'a');
}

bool SameText(const UnicodeString& A, const UnicodeString& B)
{
    return A.size() == B.size() && LowerCase(A) == LowerCase(B);
}

UnicodeString ExtractFileName(const UnicodeString& FileName)
{
    const auto slash = FileName.rfind('/');
    return slash == UnicodeString::npos ? FileName : FileName.substr(slash + 1);
}

UnicodeString ExtractFilePath(const UnicodeString& FileName)
{
    const auto slash = FileName.rfind('/');
    return slash == UnicodeString::npos ? UnicodeString() : FileName.substr(0, slash + 1);
}

UnicodeString ExtractFileExt(const UnicodeString& FileName)
{
    const UnicodeString name = ExtractFileName(FileName);
    const auto dot = name.rfind('.');
    return dot == UnicodeString::npos ? UnicodeString() : name.substr(dot);
}

bool FileExists(const UnicodeString& FileName)
{
    struct stat st {};
    return !FileName.empty() && ::stat(FileName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// ---------------------------------------------------------------------------------------------
// Floating-point faults

void RaiseFloatFault(TFloatFault Fault)
{
    switch (Fault) {
    case TFloatFault::ZeroDivide:
        throw EZeroDivide("Floating point division by zero");
    case TFloatFault::Overflow:
        throw EOverflow("Floating point overflow");
    case TFloatFault::InvalidOp:
        break;
    }
    throw EInvalidOp("Invalid floating point operation");
}
