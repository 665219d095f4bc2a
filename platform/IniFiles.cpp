#include "platform/IniFiles.h"

#include "platform/IniFilesDisk.h"
#include "platform/IniFilesIndex.h"

#include <array>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <string_view>

using IniFilesIndex::HashName;
using IniFilesIndex::SameName;
using IniFilesIndex::TNameIndex;

namespace {

// A piece of the text pool: offset and length.
struct TSpan {
    std::uint32_t Off = 0;
    std::uint32_t Len = 0;
};

constexpr std::uint32_t NoKey = UINT32_MAX;
constexpr std::uint32_t NoHeader = UINT32_MAX;

// One entry of a section's lines: a key line (its text without the line end, the key inside it),
// or a run of other lines as the file holds them, line ends included (Key.Off is NoKey). Runs
// keep blank lines and comments from costing memory per line.
struct TLine {
    TSpan Text;
    TSpan Key{NoKey, 0};
    bool IsKey() const { return Key.Off != NoKey; }
};

// The lines of a section, parsed on first use.
struct TBody {
    explicit TBody(bool Utf8) : Keys(Utf8) {}
    std::vector<TLine> Lines;
    TNameIndex Keys;
};

// A section as found in the file: where its header line stands, where its lines end, and the
// lines themselves once they are needed. The name is read from the header when it is needed.
struct TSection {
    std::uint32_t Header = NoHeader;   // NoHeader for the lines before the first header
    std::uint32_t RawEnd = 0;          // end of its lines as read from the file
    mutable std::unique_ptr<TBody> Body;
};

bool IsSpace(char C) { return C == ' ' || C == '\t'; }

std::string_view TrimSpaces(std::string_view S)
{
    while (!S.empty() && IsSpace(S.front()))
        S.remove_prefix(1);
    while (!S.empty() && IsSpace(S.back()))
        S.remove_suffix(1);
    return S;
}

// The first CR or LF in [Pos, End), or End. Eight bytes at a time, looking for a byte below
// 0x0E (the lowest one flagged is exact) and then at that byte.
size_t LineBreakAt(const char* P, size_t Pos, size_t End)
{
    constexpr std::uint64_t ones = 0x0101010101010101ull;
    constexpr std::uint64_t highs = 0x8080808080808080ull;
    while (Pos + 8 <= End) {
        std::uint64_t w;
        std::memcpy(&w, P + Pos, 8);
        const std::uint64_t low = (w - ones * 0x0E) & ~w & highs;
        if (low == 0) {
            Pos += 8;
            continue;
        }
        if constexpr (std::endian::native == std::endian::little)
            Pos += static_cast<size_t>(std::countr_zero(low)) / 8;
        else
            Pos += static_cast<size_t>(std::countl_zero(low)) / 8;
        if (P[Pos] == '\n' || P[Pos] == '\r')
            return Pos;
        ++Pos;
    }
    while (Pos < End && P[Pos] != '\n' && P[Pos] != '\r')
        ++Pos;
    return Pos;
}

// The line starting at Pos inside [.., End): its text without the line end and the start of the
// next line. CR LF, CR CR LF (as some programs write CR LF in text mode), LF and CR each end a
// line, so that no line holds a line break.
std::string_view LineAt(std::string_view All, size_t Pos, size_t End, size_t& Next)
{
    const char* const p = All.data();
    const size_t stop = LineBreakAt(p, Pos, End);
    Next = stop;
    if (stop < End) {
        ++Next;
        if (p[stop] == '\r') {
            if (Next < End && p[Next] == '\n')
                ++Next;
            else if (Next + 1 < End && p[Next] == '\r' && p[Next + 1] == '\n')
                Next += 2;
        }
    }
    return All.substr(Pos, stop - Pos);
}

// The name inside a header line ("[" already checked), and the key of a key line; an empty
// view with a null data pointer when the line holds no key.
std::string_view HeaderName(std::string_view Line)
{
    const std::string_view t = TrimSpaces(Line);
    const auto close = t.find(']');
    return TrimSpaces(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
}

bool IsHeader(std::string_view Line)
{
    const std::string_view t = TrimSpaces(Line);
    return !t.empty() && t.front() == '[';
}

bool KeyOf(std::string_view Line, std::string_view& Key)
{
    const std::string_view t = TrimSpaces(Line);
    const auto eq = t.find('=');
    if (t.empty() || t.front() == ';' || eq == std::string_view::npos)
        return false;
    Key = TrimSpaces(t.substr(0, eq));
    return true;
}

// Whether a text of the interface has a Windows-1252 form, as an ANSI file holds its texts.
bool Fits1252(const UnicodeString& S)
{
    return IsAscii(S) || Utf8ToAnsiLossless(S).CodePage() == CP_WINDOWS1252;
}

// A text of the interface as a file in Windows-1252 (Utf8 false) or UTF-8 holds it; false when
// a Windows-1252 file cannot hold it.
bool TextIn(const UnicodeString& S, bool Utf8, std::string& Out)
{
    const AnsiString text = Utf8 ? AnsiString(S, CP_UTF8) : Utf8ToAnsiLossless(S);
    if (text.CodePage() != (Utf8 ? CP_UTF8 : CP_WINDOWS1252))
        return false;
    Out = Utf8 ? AnsiToUtf8(text) : text.Bytes();
    return true;
}

// A name of the interface as it stands in the file (see TextIn), without surrounding blanks,
// line breaks made blanks; none when a Windows-1252 file cannot hold it. Plain ASCII names are
// used as they are; others are converted into Scratch.
constexpr std::array<bool, 256> PlainNameByte = [] {
    std::array<bool, 256> t{};
    for (int b = 0; b < 0x80; ++b)
        t[static_cast<size_t>(b)] = b != '\r' && b != '\n';
    return t;
}();

std::optional<std::string_view> Name8(const UnicodeString& Name, bool Utf8, std::string& Scratch)
{
    bool plain = Name.empty() || (!IsSpace(Name.front()) && !IsSpace(Name.back()));
    for (size_t i = 0; plain && i < Name.size(); ++i)
        plain = PlainNameByte[static_cast<unsigned char>(Name[i])];
    if (plain)
        return std::string_view(Name);
    if (!TextIn(Name, Utf8, Scratch))
        return std::nullopt;
    for (char& c : Scratch)
        if (c == '\r' || c == '\n')
            c = ' ';
    const std::string_view t = TrimSpaces(Scratch);
    Scratch = std::string(t);
    return std::string_view(Scratch);
}

// The value part of a key line, as ReadString gives it (still in the file's encoding).
std::string_view DecodeValue(std::string_view Line)
{
    const auto eq = Line.find('=');
    std::string_view v = TrimSpaces(Line.substr(eq + 1));
    if (v.size() >= 2 && v.front() == v.back() && (v.front() == '"' || v.front() == '\''))
        v = v.substr(1, v.size() - 2);
    return v;
}

// Appends the value as written after "=" (see TextIn; a Windows-1252 file must be able to hold
// it): quoted where reading would otherwise change it.
void AppendValue(std::string& Out, const UnicodeString& Value, bool Utf8)
{
    const size_t start = Out.size();
    if (IsAscii(Value)) {
        Out += Value;
    } else {
        std::string text;
        TextIn(Value, Utf8, text);
        Out += text;
    }
    for (size_t i = start; i < Out.size(); ++i)
        if (Out[i] == '\r' || Out[i] == '\n')
            Out[i] = ' ';
    const std::string_view v(Out.data() + start, Out.size() - start);
    const bool quote = !v.empty() && (IsSpace(v.front()) || IsSpace(v.back()) ||
                                      (v.size() >= 2 && v.front() == v.back() && (v.front() == '"' || v.front() == '\'')));
    if (quote) {
        Out.insert(start, 1, '"');
        Out += '"';
    }
}

// Whether bytes would be taken for UTF-8 on reading: well formed, with a character beyond ASCII.
bool ReadsAsUtf8(std::string_view Bytes)
{
    return !IsAscii(Bytes) && ValidUtf8(Bytes);
}

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

} // namespace

struct TIniFile::TData {
    UnicodeString FileName;
    // Every text of the file lives in Pool: first the file as read (with a line end after its
    // last line where it has none), then the lines written since (a replaced line's old text
    // stays unused until the object goes).
    std::string Pool;
    std::uint32_t FileEnd = 0;       // the end of the file's own bytes in Pool
    std::uint32_t PreambleOff = 0;   // after the byte-order marks
    TIniEncoding Encoding = ieAnsi;  // of Pool, and of the file written
    bool Bom = false;                // the file starts with a UTF-8 byte-order mark, written back
    std::vector<TSection> Sections;  // Sections[0]: the lines before the first header
    TNameIndex Index{false};         // section name -> first section with it
    bool Unreadable = false;         // the file exists but could not be read: never overwrite it
    bool Writable = false;           // the write check has passed
    bool Dirty = false;
    bool WriteFailed = false;
    int UncaughtAtStart = 0;   // exceptions in flight when the object was made
    // The last section looked up, since callers work through one section at a time.
    mutable std::string LastName;
    mutable int LastSection = -1;
    // Scratch texts, reused from call to call.
    mutable std::string SectionScratch, KeyScratch, LineScratch;

    std::string_view View(TSpan S) const { return {Pool.data() + S.Off, S.Len}; }
    TSpan Span(std::string_view Inside) const
    {
        return {static_cast<std::uint32_t>(Inside.data() - Pool.data()), static_cast<std::uint32_t>(Inside.size())};
    }
    TSpan Add(std::string_view Text)
    {
        if (Pool.size() + Text.size() >= UINT32_MAX)
            WriteError();
        const TSpan s{static_cast<std::uint32_t>(Pool.size()), static_cast<std::uint32_t>(Text.size())};
        Pool.append(Text);
        return s;
    }

    bool Utf8() const { return Encoding == ieUtf8; }
    std::optional<std::string_view> NameIn(const UnicodeString& Name, std::string& Scratch) const
    {
        return Name8(Name, Utf8(), Scratch);
    }
    // A text of the file for the interface.
    UnicodeString Text(std::string_view Bytes) const
    {
        return Utf8() || IsAscii(Bytes) ? UnicodeString(Bytes) : AnsiToUtf8(AnsiString(std::string(Bytes)));
    }

    // The header line of section I (I > 0) without its line end, and the start of its lines.
    std::string_view HeaderLine(size_t I, size_t* Next = nullptr) const
    {
        size_t next = 0;
        const std::uint32_t at = Sections[I].Header;
        const std::string_view l = LineAt(Pool, at, at < FileEnd ? FileEnd : Pool.size(), next);
        if (Next != nullptr)
            *Next = next;
        return l;
    }
    std::string_view NameOf(size_t I) const { return HeaderName(HeaderLine(I)); }
    // The section's lines as read from the file.
    TSpan RawOf(size_t I) const
    {
        size_t begin = PreambleOff;
        if (I > 0)
            HeaderLine(I, &begin);
        const size_t end = Sections[I].RawEnd;
        return begin < end ? TSpan{static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(end - begin)} : TSpan{};
    }

    void Decode();
    void Parse();
    void SwitchToUtf8();
    void Reindex();
    TBody& BodyOf(size_t I) const;
    void IndexKeys(TBody& B) const;
    int FindSection(const UnicodeString& Section) const;
    // The same with the name as the file holds it.
    int FindSection(std::string_view Name) const;
    int FindKey(const TBody& B, std::string_view Key) const
    {
        return B.Keys.Find(Key, HashName(Key, Utf8()), [&](std::uint32_t i) { return View(B.Lines[i].Key); });
    }
    const TLine* FindLine(const UnicodeString& Section, const UnicodeString& Ident) const;
    // Calls Each for every key line of the section that look-ups reach (the first of its name).
    template <class Fn>
    void ForEachKey(const UnicodeString& Section, Fn&& Each) const
    {
        const int si = FindSection(Section);
        if (si <= 0)
            return;
        const TBody& b = BodyOf(static_cast<size_t>(si));
        for (size_t k = 0; k < b.Lines.size(); ++k)
            if (b.Lines[k].IsKey() && FindKey(b, View(b.Lines[k].Key)) == static_cast<int>(k))
                Each(b.Lines[k]);
    }
    bool Value(const UnicodeString& Section, const UnicodeString& Ident, std::string_view& Value) const;
    void CheckWritable();
    void Write(const UnicodeString& Section, const UnicodeString& Ident, const UnicodeString& Value);
    void AppendLines(std::string& Out, TSpan Raw) const;
    std::string Content() const;
    // The file the name leads to (links followed), for writing.
    std::string Target() const;
    [[noreturn]] void WriteError() const { throw EIniFileException("Unable to write to " + FileName); }
    [[noreturn]] void NameError(const char* What, const UnicodeString& Name, const char* Rule) const
    {
        throw EIniFileException(UnicodeString("Invalid ") + What + " name \"" + Name + "\" for " + FileName + ": " +
                                Rule);
    }
};

// Takes the file's bytes in Pool to the form kept: UTF-16 decoded, byte-order marks skipped (all
// of them, so that the first line written back after one mark reads as before),
// malformed UTF-8 of a file marked as UTF-8 read as Windows-1252 characters.
void TIniFile::TData::Decode()
{
    Encoding = ieAnsi;
    const std::string_view start = std::string_view(Pool).substr(0, 2);
    const bool utf16 = start == "\xFF\xFE" || start == "\xFE\xFF";
    if (utf16) {
        Pool = Utf16ToUtf8(std::string_view(Pool).substr(2), start == "\xFE\xFF");
        Encoding = ieUtf8;
    }
    PreambleOff = 0;
    while (std::string_view(Pool).substr(PreambleOff).starts_with(Utf8Bom))
        PreambleOff += static_cast<std::uint32_t>(Utf8Bom.size());
    Bom = PreambleOff > 0 && !utf16;
    const std::string_view text = std::string_view(Pool).substr(PreambleOff);
    if (Bom) {
        Encoding = ieUtf8;
        if (!ValidUtf8(text)) {
            Pool = AnsiToUtf8(AnsiString(std::string(text), CP_UTF8));
            PreambleOff = 0;
        }
    } else if (!utf16 && ReadsAsUtf8(text)) {
        Encoding = ieUtf8;
    }
}

void TIniFile::TData::Parse()
{
    Sections.clear();
    FileEnd = static_cast<std::uint32_t>(Pool.size());
    const std::string_view all(Pool);

    // Counted first, so that the sections take no more room than they need.
    size_t headers = 0;
    for (size_t pos = PreambleOff, next = 0; pos < FileEnd; pos = next)
        headers += IsHeader(LineAt(all, pos, FileEnd, next));
    Sections.reserve(headers + 1);
    Sections.emplace_back();
    for (size_t pos = PreambleOff, next = 0; pos < FileEnd; pos = next) {
        if (!IsHeader(LineAt(all, pos, FileEnd, next)))
            continue;
        Sections.back().RawEnd = static_cast<std::uint32_t>(pos);
        Sections.emplace_back();
        Sections.back().Header = static_cast<std::uint32_t>(pos);
    }
    Sections.back().RawEnd = FileEnd;
    Reindex();
}

void TIniFile::TData::IndexKeys(TBody& B) const
{
    // Grown as names come rather than sized by the key lines, which may all share one name.
    B.Keys.Clear(Utf8());
    auto at = [&](std::uint32_t i) { return View(B.Lines[i].Key); };
    for (size_t k = 0; k < B.Lines.size(); ++k) {
        if (!B.Lines[k].IsKey())
            continue;
        const std::string_view key = View(B.Lines[k].Key);
        B.Keys.Insert(key, HashName(key, Utf8()), static_cast<std::uint32_t>(k), at);
    }
}

TBody& TIniFile::TData::BodyOf(size_t I) const
{
    const TSection& s = Sections[I];
    if (s.Body)
        return *s.Body;
    auto body = std::make_unique<TBody>(Utf8());
    const TSpan raw = RawOf(I);
    const std::string_view all(Pool);
    const size_t end = raw.Off + raw.Len;
    // Counted first, so that the lines take no more room than they need.
    size_t entries = 0;
    bool inRun = false;
    for (size_t pos = raw.Off, next = 0; pos < end; pos = next) {
        std::string_view key;
        const bool isKey = KeyOf(LineAt(all, pos, end, next), key);
        entries += isKey || !inRun;
        inRun = !isKey;
    }
    body->Lines.reserve(entries);
    for (size_t pos = raw.Off, next = 0; pos < end; pos = next) {
        const std::string_view line = LineAt(all, pos, end, next);
        std::string_view key;
        if (KeyOf(line, key)) {
            TLine l;
            l.Text = Span(line);
            l.Key = Span(key);
            body->Lines.push_back(l);
        } else if (!body->Lines.empty() && !body->Lines.back().IsKey()) {
            body->Lines.back().Text.Len = static_cast<std::uint32_t>(next - body->Lines.back().Text.Off);
        } else {
            TLine l;
            l.Text = {static_cast<std::uint32_t>(pos), static_cast<std::uint32_t>(next - pos)};
            body->Lines.push_back(l);
        }
    }
    IndexKeys(*body);
    s.Body = std::move(body);
    return *s.Body;
}

// The file's lines, converted from Windows-1252 to UTF-8 (which loses nothing), from now on
// written as UTF-8.
void TIniFile::TData::SwitchToUtf8()
{
    Pool = AnsiToUtf8(AnsiString(Content()));
    Encoding = ieUtf8;
    Bom = false;
    PreambleOff = 0;
    Parse();
    Dirty = true;
}

void TIniFile::TData::Reindex()
{
    Index.Clear(Utf8());
    Index.Reserve(Sections.size());
    auto at = [&](std::uint32_t i) { return NameOf(i); };
    for (size_t i = 1; i < Sections.size(); ++i) {
        const std::string_view name = NameOf(i);
        Index.Insert(name, HashName(name, Utf8()), static_cast<std::uint32_t>(i), at);
    }
    LastName.clear();
    LastSection = -1;
}

int TIniFile::TData::FindSection(const UnicodeString& Section) const
{
    const std::optional<std::string_view> name = NameIn(Section, SectionScratch);
    return name ? FindSection(*name) : -1;
}

int TIniFile::TData::FindSection(std::string_view Name) const
{
    if (LastSection > 0 && Name == LastName)
        return LastSection;
    const int i = Index.Find(Name, HashName(Name, Utf8()), [&](std::uint32_t k) { return NameOf(k); });
    if (i > 0) {
        LastName.assign(Name);
        LastSection = i;
    }
    return i;
}

const TLine* TIniFile::TData::FindLine(const UnicodeString& Section, const UnicodeString& Ident) const
{
    const int s = FindSection(Section);
    if (s <= 0)
        return nullptr;
    const std::optional<std::string_view> key = NameIn(Ident, KeyScratch);
    if (!key)
        return nullptr;
    const TBody& b = BodyOf(static_cast<size_t>(s));
    const int k = FindKey(b, *key);
    return k < 0 ? nullptr : &b.Lines[static_cast<size_t>(k)];
}

bool TIniFile::TData::Value(const UnicodeString& Section, const UnicodeString& Ident, std::string_view& Value) const
{
    const TLine* l = FindLine(Section, Ident);
    if (l == nullptr)
        return false;
    Value = DecodeValue(View(l->Text));
    return true;
}

std::string TIniFile::TData::Target() const
{
    char resolved[PATH_MAX];
    if (::realpath(FileName.c_str(), resolved) != nullptr)
        return resolved;
    return FileName;
}

void TIniFile::TData::CheckWritable()
{
    if (Writable)
        return;
    if (FileName.empty() || Unreadable)
        WriteError();
    if (!CanReplaceFile(Target()))
        WriteError();
    Writable = true;
}

void TIniFile::TData::Write(const UnicodeString& Section, const UnicodeString& Ident, const UnicodeString& Value)
{
    std::optional<std::string_view> section = NameIn(Section, SectionScratch);
    std::optional<std::string_view> key = NameIn(Ident, KeyScratch);
    // A text beyond Windows-1252 turns a Windows-1252 file into UTF-8, once the write may go on.
    const bool toUtf8 = !section || !key || (!Utf8() && !Fits1252(Value));
    if (toUtf8) {
        section = Name8(Section, true, SectionScratch);
        key = Name8(Ident, true, KeyScratch);
    }
    // Names that would read back as something else, or turn the line into a header or a comment.
    if (section->find(']') != std::string_view::npos)
        NameError("section", Section, "a section name may not contain \"]\".");
    if (key->find('=') != std::string_view::npos || (!key->empty() && (key->front() == ';' || key->front() == '[')))
        NameError("key", Ident, "a key name may not contain \"=\" nor begin with \";\" or \"[\".");
    CheckWritable();
    if (toUtf8)
        SwitchToUtf8();
    int si = FindSection(*section);
    if (si <= 0) {
        LineScratch.assign(1, '[');
        LineScratch += *section;
        LineScratch += "]\n";
        TSection fresh;
        fresh.Header = Add(LineScratch).Off;
        fresh.RawEnd = static_cast<std::uint32_t>(Pool.size());
        fresh.Body = std::make_unique<TBody>(Utf8());
        si = static_cast<int>(Sections.size());
        Sections.push_back(std::move(fresh));
        Index.Insert(NameOf(static_cast<size_t>(si)), HashName(NameOf(static_cast<size_t>(si)), Utf8()),
                     static_cast<std::uint32_t>(si), [&](std::uint32_t k) { return NameOf(k); });
    }
    TBody& b = BodyOf(static_cast<size_t>(si));
    const int k = FindKey(b, *key);
    if (k >= 0) {
        // Replaced where it stands; the key keeps its spelling in the file.
        TLine& l = b.Lines[static_cast<size_t>(k)];
        LineScratch.assign(View(l.Key));
        LineScratch += '=';
        AppendValue(LineScratch, Value, Utf8());
        if (View(l.Text) != LineScratch) {
            l.Text = Add(LineScratch);
            l.Key = {l.Text.Off, l.Key.Len};
            Dirty = true;
        }
        return;
    }
    LineScratch.assign(*key);
    LineScratch += '=';
    AppendValue(LineScratch, Value, Utf8());
    TLine l;
    l.Text = Add(LineScratch);
    l.Key = {l.Text.Off, static_cast<std::uint32_t>(key->size())};
    // After the last line of the section that is not blank: trailing blank lines of the last
    // run of other lines stay below the new key.
    size_t at = b.Lines.size();
    while (at > 0 && !b.Lines[at - 1].IsKey()) {
        TLine& run = b.Lines[at - 1];
        const std::string_view all(Pool);
        const size_t end = run.Text.Off + run.Text.Len;
        size_t keep = run.Text.Off;   // the end of its last line that is not blank
        for (size_t pos = run.Text.Off, next = 0; pos < end; pos = next)
            if (!TrimSpaces(LineAt(all, pos, end, next)).empty())
                keep = next;
        if (keep == run.Text.Off) {
            --at;
            continue;
        }
        if (keep < end) {
            TLine rest;
            rest.Text = {static_cast<std::uint32_t>(keep), static_cast<std::uint32_t>(end - keep)};
            run.Text.Len = static_cast<std::uint32_t>(keep - run.Text.Off);
            b.Lines.insert(b.Lines.begin() + static_cast<std::ptrdiff_t>(at), rest);
        }
        break;
    }
    b.Lines.insert(b.Lines.begin() + static_cast<std::ptrdiff_t>(at), l);
    // Only runs of other lines moved, so no indexed position changes.
    b.Keys.Insert(View(l.Key), HashName(View(l.Key), Utf8()), static_cast<std::uint32_t>(at),
                  [&](std::uint32_t i) { return View(b.Lines[i].Key); });
    Dirty = true;
}

void TIniFile::TData::AppendLines(std::string& Out, TSpan Raw) const
{
    const std::string_view all(Pool);
    const size_t end = Raw.Off + Raw.Len;
    for (size_t pos = Raw.Off, next = 0; pos < end; pos = next) {
        Out += LineAt(all, pos, end, next);
        Out += "\r\n";
    }
}

std::string TIniFile::TData::Content() const
{
    std::string out;
    out.reserve(Pool.size() + Pool.size() / 8 + 64);
    if (Bom)
        out += Utf8Bom;
    for (size_t i = 0; i < Sections.size(); ++i) {
        const TSection& s = Sections[i];
        if (i > 0) {
            out += HeaderLine(i);
            out += "\r\n";
        }
        if (!s.Body) {
            AppendLines(out, RawOf(i));
            continue;
        }
        for (const TLine& l : s.Body->Lines) {
            if (!l.IsKey()) {
                AppendLines(out, l.Text);
                continue;
            }
            out += View(l.Text);
            out += "\r\n";
        }
    }
    return out;
}

TIniFile::TIniFile(const UnicodeString& FileName) : F(std::make_unique<TData>())
{
    F->FileName = FileName;
    F->UncaughtAtStart = std::uncaught_exceptions();
    bool exists = false;
    if (FileName.empty() || !ReadWholeFile(FileName, F->Pool, exists)) {
        F->Unreadable = exists;
        F->Pool.clear();
    }
    F->Decode();
    F->Parse();
}

TIniFile::~TIniFile()
{
    const bool unwinding = std::uncaught_exceptions() > F->UncaughtAtStart;
    if (F->Dirty && !F->WriteFailed && !unwinding) {
        try {
            UpdateFile();
        } catch (...) {
        }
    }
}

const UnicodeString& TIniFile::GetFileName() const
{
    return F->FileName;
}

bool TIniFile::GetUnreadable() const
{
    return F->Unreadable;
}

TIniEncoding TIniFile::GetEncoding() const
{
    return F->Encoding;
}

bool TIniFile::SectionExists(const UnicodeString& Section) const
{
    return F->FindSection(Section) > 0;
}

bool TIniFile::ValueExists(const UnicodeString& Section, const UnicodeString& Ident) const
{
    return F->FindLine(Section, Ident) != nullptr;
}

UnicodeString TIniFile::ReadString(const UnicodeString& Section, const UnicodeString& Ident,
                                   const UnicodeString& Default) const
{
    std::string_view v;
    if (!F->Value(Section, Ident, v))
        return Default;
    return F->Text(v);
}

void TIniFile::WriteString(const UnicodeString& Section, const UnicodeString& Ident, const UnicodeString& Value)
{
    F->Write(Section, Ident, Value);
}

int TIniFile::ReadInteger(const UnicodeString& Section, const UnicodeString& Ident, int Default) const
{
    std::string_view v;
    if (!F->Value(Section, Ident, v))
        return Default;
    F->LineScratch.assign(v);
    return StrToIntDef(F->LineScratch, Default);
}

void TIniFile::WriteInteger(const UnicodeString& Section, const UnicodeString& Ident, int Value)
{
    F->Write(Section, Ident, IntToStr(Value));
}

bool TIniFile::ReadBool(const UnicodeString& Section, const UnicodeString& Ident, bool Default) const
{
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const UnicodeString& Section, const UnicodeString& Ident, bool Value)
{
    F->Write(Section, Ident, Value ? "1" : "0");
}

double TIniFile::ReadFloat(const UnicodeString& Section, const UnicodeString& Ident, double Default) const
{
    return ReadFloat(Section, Ident, Default, FormatSettings);
}

double TIniFile::ReadFloat(const UnicodeString& Section, const UnicodeString& Ident, double Default,
                           const TFormatSettings& Settings) const
{
    std::string_view v;
    double result = Default;
    if (!F->Value(Section, Ident, v) || v.empty())
        return result;
    if (F->Utf8() || IsAscii(v))
        TextToFloat(v, result, Settings);
    else
        TextToFloat(F->Text(v), result, Settings);
    return result;
}

void TIniFile::WriteFloat(const UnicodeString& Section, const UnicodeString& Ident, double Value)
{
    FCheck(Value);
    F->Write(Section, Ident, FloatToStr(Value));
}

void TIniFile::ReadSection(const UnicodeString& Section, std::vector<UnicodeString>& Idents) const
{
    Idents.clear();
    F->ForEachKey(Section, [&](const TLine& l) { Idents.push_back(F->Text(F->View(l.Key))); });
}

void TIniFile::ReadSections(std::vector<UnicodeString>& Sections) const
{
    Sections.clear();
    for (size_t i = 1; i < F->Sections.size(); ++i) {
        const std::string_view name = F->NameOf(i);
        if (F->Index.Find(name, HashName(name, F->Utf8()), [&](std::uint32_t k) { return F->NameOf(k); }) ==
            static_cast<int>(i))
            Sections.push_back(F->Text(name));
    }
}

void TIniFile::ReadSectionValues(const UnicodeString& Section, std::vector<UnicodeString>& Lines) const
{
    Lines.clear();
    F->ForEachKey(Section, [&](const TLine& l) {
        std::string line(F->View(l.Key));
        line += '=';
        line += DecodeValue(F->View(l.Text));
        Lines.push_back(F->Text(line));
    });
}

namespace {

void Fill(TStrings* Strings, const std::vector<UnicodeString>& Items)
{
    Strings->BeginUpdate();
    try {
        Strings->Clear();
        for (const UnicodeString& s : Items)
            Strings->Add(s);
    } catch (...) {
        Strings->EndUpdate();
        throw;
    }
    Strings->EndUpdate();
}

} // namespace

void TIniFile::ReadSection(const UnicodeString& Section, TStrings* Strings) const
{
    std::vector<UnicodeString> names;
    ReadSection(Section, names);
    Fill(Strings, names);
}

void TIniFile::ReadSections(TStrings* Strings) const
{
    std::vector<UnicodeString> names;
    ReadSections(names);
    Fill(Strings, names);
}

void TIniFile::ReadSectionValues(const UnicodeString& Section, TStrings* Strings) const
{
    std::vector<UnicodeString> lines;
    ReadSectionValues(Section, lines);
    Fill(Strings, lines);
}

void TIniFile::EraseSection(const UnicodeString& Section)
{
    const int si = F->FindSection(Section);
    if (si <= 0)
        return;
    F->CheckWritable();
    // Every section of that name goes, so that no later duplicate comes to light.
    const std::string name(F->NameOf(static_cast<size_t>(si)));
    std::vector<TSection> kept;
    kept.reserve(F->Sections.size());
    for (size_t i = 0; i < F->Sections.size(); ++i)
        if (i == 0 || !SameName(F->NameOf(i), name, F->Utf8()))
            kept.push_back(std::move(F->Sections[i]));
    F->Sections = std::move(kept);
    F->Reindex();
    F->Dirty = true;
}

void TIniFile::DeleteKey(const UnicodeString& Section, const UnicodeString& Ident)
{
    const int si = F->FindSection(Section);
    if (si <= 0)
        return;
    const std::optional<std::string_view> name = F->NameIn(Ident, F->KeyScratch);
    if (!name)
        return;
    const std::string key(*name);
    TBody& b = F->BodyOf(static_cast<size_t>(si));
    if (F->FindKey(b, key) < 0)
        return;
    F->CheckWritable();
    std::erase_if(b.Lines, [&](const TLine& l) { return l.IsKey() && SameName(F->View(l.Key), key, F->Utf8()); });
    F->IndexKeys(b);
    F->Dirty = true;
}

void TIniFile::UpdateFile()
{
    if (!F->Dirty)
        return;
    F->WriteFailed = true;
    F->Writable = false;
    F->CheckWritable();
    const std::string target = F->Target();
    std::string content = F->Content();
    // Windows-1252 bytes that would be read as UTF-8 (the file holds nothing else beyond ASCII)
    // are written as UTF-8, so that they read back as they are.
    if (!F->Utf8() && ReadsAsUtf8(content)) {
        F->SwitchToUtf8();
        content = F->Content();
    }
    if (!ReplaceFile(target, content))
        F->WriteError();
    F->Dirty = false;
    F->WriteFailed = false;
}
