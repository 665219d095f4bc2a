#include "platform/IniFiles.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace {

// A piece of the text pool: offset and length.
struct TSpan {
    std::uint32_t Off = 0;
    std::uint32_t Len = 0;
};

// One line of the file without its line end. Key lines also know where their key stands.
struct TLine {
    TSpan Text;
    TSpan Key;
    bool IsKey = false;
};

// Lower case of Windows-1252 bytes: ASCII and the accented Latin letters.
constexpr std::array<unsigned char, 256> LowerTable = [] {
    std::array<unsigned char, 256> t{};
    for (int b = 0; b < 256; ++b) {
        int l = b;
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7))
            l = b + 0x20;
        else if (b == 0x8A || b == 0x8C || b == 0x8E)
            l = b + 0x10;
        else if (b == 0x9F)
            l = 0xFF;
        t[static_cast<size_t>(b)] = static_cast<unsigned char>(l);
    }
    return t;
}();

std::uint32_t HashName(std::string_view S)
{
    std::uint32_t h = 2166136261u;
    for (char c : S)
        h = (h ^ LowerTable[static_cast<unsigned char>(c)]) * 16777619u;
    return h;
}

bool SameName(std::string_view A, std::string_view B)
{
    if (A.size() != B.size())
        return false;
    if (A == B)
        return true;
    for (size_t i = 0; i < A.size(); ++i)
        if (LowerTable[static_cast<unsigned char>(A[i])] != LowerTable[static_cast<unsigned char>(B[i])])
            return false;
    return true;
}

// An open-addressing index from names to positions. The names themselves stay where they are
// and are reached through NameAt(position); the first position entered under a name wins.
class TNameIndex {
public:
    template <class NameAt>
    int Find(std::string_view Name, std::uint32_t Hash, NameAt&& At) const
    {
        if (FSlots.empty())
            return -1;
        const size_t mask = FSlots.size() - 1;
        for (size_t i = Hash & mask;; i = (i + 1) & mask) {
            const TSlot& s = FSlots[i];
            if (s.Pos == 0)
                return -1;
            if (s.Hash == Hash && SameName(At(s.Pos - 1), Name))
                return static_cast<int>(s.Pos - 1);
        }
    }

    template <class NameAt>
    void Insert(std::string_view Name, std::uint32_t Hash, std::uint32_t Pos, NameAt&& At)
    {
        if (Find(Name, Hash, At) >= 0)
            return;
        if ((FCount + 1) * 2 > FSlots.size())
            Grow();
        Place(Hash, Pos + 1);
        ++FCount;
    }

    void Clear()
    {
        FSlots.clear();
        FCount = 0;
    }

    // Room for Count names without growing.
    void Reserve(size_t Count)
    {
        size_t size = 16;
        while (size < Count * 2)
            size *= 2;
        if (size > FSlots.size()) {
            std::vector<TSlot> old = std::move(FSlots);
            FSlots.assign(size, TSlot{});
            for (const TSlot& s : old)
                if (s.Pos != 0)
                    Place(s.Hash, s.Pos);
        }
    }

private:
    struct TSlot {
        std::uint32_t Hash = 0;
        std::uint32_t Pos = 0;   // position + 1; 0 for an empty slot
    };

    void Place(std::uint32_t Hash, std::uint32_t Pos)
    {
        const size_t mask = FSlots.size() - 1;
        size_t i = Hash & mask;
        while (FSlots[i].Pos != 0)
            i = (i + 1) & mask;
        FSlots[i] = {Hash, Pos};
    }

    void Grow() { Reserve(FSlots.size()); }

    std::vector<TSlot> FSlots;
    size_t FCount = 0;
};

struct TSection {
    TSpan Header;   // the header line as in the file
    TSpan Name;     // the name inside the brackets
    std::vector<TLine> Lines;
    TNameIndex Keys;
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

bool IsAsciiText(std::string_view S)
{
    for (char c : S)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// A name of the interface as it stands in the file: Windows-1252, without surrounding blanks,
// line breaks and NULs made blanks. Plain ASCII names are used as they are; others are
// converted into Scratch.
constexpr std::array<bool, 256> PlainNameByte = [] {
    std::array<bool, 256> t{};
    for (int b = 1; b < 0x80; ++b)
        t[static_cast<size_t>(b)] = b != '\r' && b != '\n';
    return t;
}();

std::string_view Name8(const UnicodeString& Name, std::string& Scratch)
{
    bool plain = Name.empty() || (!IsSpace(Name.front()) && !IsSpace(Name.back()));
    for (size_t i = 0; plain && i < Name.size(); ++i)
        plain = PlainNameByte[static_cast<unsigned char>(Name[i])];
    if (plain)
        return Name;
    Scratch = Utf8ToAnsi(Name).Bytes();
    for (char& c : Scratch)
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    const std::string_view t = TrimSpaces(Scratch);
    Scratch = std::string(t);
    return Scratch;
}

// The value part of a key line, as ReadString gives it (still Windows-1252).
std::string_view DecodeValue(std::string_view Line)
{
    const auto eq = Line.find('=');
    std::string_view v = TrimSpaces(Line.substr(eq + 1));
    if (v.size() >= 2 && v.front() == v.back() && (v.front() == '"' || v.front() == '\''))
        v = v.substr(1, v.size() - 2);
    return v;
}

// Appends the value as written after "=": quoted where reading would otherwise change it.
void AppendValue(std::string& Out, const UnicodeString& Value)
{
    const size_t start = Out.size();
    if (IsAsciiText(Value))
        Out += Value;
    else
        Out += Utf8ToAnsi(Value).Bytes();
    for (size_t i = start; i < Out.size(); ++i)
        if (Out[i] == '\r' || Out[i] == '\n' || Out[i] == '\0')
            Out[i] = ' ';
    const std::string_view v(Out.data() + start, Out.size() - start);
    const bool quote = !v.empty() && (IsSpace(v.front()) || IsSpace(v.back()) ||
                                      (v.size() >= 2 && v.front() == v.back() && (v.front() == '"' || v.front() == '\'')));
    if (quote) {
        Out.insert(start, 1, '"');
        Out += '"';
    }
}

// Files larger than this are not taken for INI files (the text pool counts in 32 bits).
constexpr size_t MaxFileSize = size_t(1) << 30;

// Reads the whole file. False when it exists but cannot be read; Exists tells whether it does.
bool ReadWholeFile(const std::string& Path, std::string& Content, bool& Exists)
{
    Exists = false;
    // Non-blocking, so that a named pipe in place of the file cannot hang the program.
    const int fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR;
    Exists = true;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<size_t>(st.st_size) > MaxFileSize) {
        ::close(fd);
        return false;
    }
    Content.resize(static_cast<size_t>(st.st_size) + 1);
    size_t done = 0;
    bool ok = true;
    for (;;) {
        if (done == Content.size()) {
            if (done > MaxFileSize) {
                ok = false;
                break;
            }
            Content.resize(Content.size() + 65536);
        }
        const ssize_t n = ::read(fd, Content.data() + done, Content.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    Content.resize(done);
    return ok;
}

bool WriteAll(int Fd, const std::string& Data)
{
    size_t done = 0;
    while (done < Data.size()) {
        const ssize_t n = ::write(Fd, Data.data() + done, Data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string FolderOf(const std::string& Path)
{
    const auto slash = Path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : Path.substr(0, slash);
}

} // namespace

struct TIniFile::TData {
    UnicodeString FileName;
    // Every text of the file lives in Pool: first the file as read, then the lines written since
    // (a replaced line's old text stays unused until the object goes).
    std::string Pool;
    std::vector<TSection> Sections;   // Sections[0]: the lines before the first header
    TNameIndex Index;                 // section name -> first section with it
    bool Unreadable = false;          // the file exists but could not be read: never overwrite it
    bool Writable = false;            // the write check has passed
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
        if (Pool.size() + Text.size() > UINT32_MAX)
            WriteError();
        const TSpan s{static_cast<std::uint32_t>(Pool.size()), static_cast<std::uint32_t>(Text.size())};
        Pool.append(Text);
        return s;
    }

    void Parse();
    void Reindex();
    void IndexKeys(TSection& S);
    int FindSection(const UnicodeString& Section) const;
    int FindKey(const TSection& S, std::string_view Key) const
    {
        return S.Keys.Find(Key, HashName(Key), [&](std::uint32_t i) { return View(S.Lines[i].Key); });
    }
    const TLine* FindLine(const UnicodeString& Section, const UnicodeString& Ident) const;
    // Calls Each for every key line of the section that look-ups reach (the first of its name).
    template <class Fn>
    void ForEachKey(const UnicodeString& Section, Fn&& Each) const
    {
        const int si = FindSection(Section);
        if (si <= 0)
            return;
        const TSection& s = Sections[static_cast<size_t>(si)];
        for (size_t k = 0; k < s.Lines.size(); ++k)
            if (s.Lines[k].IsKey && FindKey(s, View(s.Lines[k].Key)) == static_cast<int>(k))
                Each(s.Lines[k]);
    }
    bool Value(const UnicodeString& Section, const UnicodeString& Ident, std::string_view& Value) const;
    void CheckWritable();
    void Write(const UnicodeString& Section, const UnicodeString& Ident, const UnicodeString& Value);
    std::string Content() const;
    // The file the name leads to (links followed), for writing.
    std::string Target() const;
    [[noreturn]] void WriteError() const { throw EIniFileException("Unable to write to " + FileName); }
};

void TIniFile::TData::Parse()
{
    Sections.clear();
    Sections.emplace_back();
    if (Pool.find('\0') != std::string::npos)
        Pool.clear();   // binary data: holds nothing
    const std::string_view all(Pool);
    size_t pos = all.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (pos < all.size()) {
        auto end = all.find('\n', pos);
        if (end == std::string_view::npos)
            end = all.size();
        std::string_view line = all.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::string_view t = TrimSpaces(line);
        if (!t.empty() && t.front() == '[') {
            TSection s;
            s.Header = Span(line);
            const auto close = t.find(']');
            s.Name = Span(TrimSpaces(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
            Sections.push_back(std::move(s));
            continue;
        }
        TLine l;
        l.Text = Span(line);
        const auto eq = t.find('=');
        if (!t.empty() && t.front() != ';' && eq != std::string_view::npos) {
            l.IsKey = true;
            l.Key = Span(TrimSpaces(t.substr(0, eq)));
        }
        Sections.back().Lines.push_back(l);
    }
    Reindex();
}

void TIniFile::TData::IndexKeys(TSection& S)
{
    S.Keys.Clear();
    size_t count = 0;
    for (const TLine& l : S.Lines)
        count += l.IsKey;
    S.Keys.Reserve(count);
    auto at = [&](std::uint32_t i) { return View(S.Lines[i].Key); };
    for (size_t k = 0; k < S.Lines.size(); ++k) {
        if (!S.Lines[k].IsKey)
            continue;
        const std::string_view key = View(S.Lines[k].Key);
        S.Keys.Insert(key, HashName(key), static_cast<std::uint32_t>(k), at);
    }
}

void TIniFile::TData::Reindex()
{
    Index.Clear();
    Index.Reserve(Sections.size());
    auto at = [&](std::uint32_t i) { return View(Sections[i].Name); };
    for (size_t i = 1; i < Sections.size(); ++i) {
        const std::string_view name = View(Sections[i].Name);
        Index.Insert(name, HashName(name), static_cast<std::uint32_t>(i), at);
        IndexKeys(Sections[i]);
    }
    LastName.clear();
    LastSection = -1;
}

int TIniFile::TData::FindSection(const UnicodeString& Section) const
{
    const std::string_view name = Name8(Section, SectionScratch);
    if (LastSection > 0 && name == LastName)
        return LastSection;
    const int i = Index.Find(name, HashName(name), [&](std::uint32_t k) { return View(Sections[k].Name); });
    if (i > 0) {
        LastName.assign(name);
        LastSection = i;
    }
    return i;
}

const TLine* TIniFile::TData::FindLine(const UnicodeString& Section, const UnicodeString& Ident) const
{
    const int s = FindSection(Section);
    if (s <= 0)
        return nullptr;
    const TSection& sec = Sections[static_cast<size_t>(s)];
    const int k = FindKey(sec, Name8(Ident, KeyScratch));
    return k < 0 ? nullptr : &sec.Lines[static_cast<size_t>(k)];
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
    const std::string target = Target();
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        // Without any write bit the file counts as read-only, even for the superuser.
        if (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)
            WriteError();
    } else if (errno != ENOENT) {
        WriteError();
    }
    const std::string folder = FolderOf(target);
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || ::access(folder.c_str(), W_OK | X_OK) != 0)
        WriteError();
    Writable = true;
}

void TIniFile::TData::Write(const UnicodeString& Section, const UnicodeString& Ident, const UnicodeString& Value)
{
    CheckWritable();
    int si = FindSection(Section);
    if (si <= 0) {
        const std::string_view name = Name8(Section, SectionScratch);
        LineScratch.assign(1, '[');
        LineScratch += name;
        LineScratch += ']';
        TSection fresh;
        fresh.Header = Add(LineScratch);
        fresh.Name = {fresh.Header.Off + 1, static_cast<std::uint32_t>(name.size())};
        si = static_cast<int>(Sections.size());
        Sections.push_back(std::move(fresh));
        Index.Insert(View(Sections.back().Name), HashName(View(Sections.back().Name)), static_cast<std::uint32_t>(si),
                     [&](std::uint32_t k) { return View(Sections[k].Name); });
    }
    TSection& s = Sections[static_cast<size_t>(si)];
    const std::string_view key = Name8(Ident, KeyScratch);
    const int k = FindKey(s, key);
    if (k >= 0) {
        // Replaced where it stands; the key keeps its spelling in the file.
        TLine& l = s.Lines[static_cast<size_t>(k)];
        LineScratch.assign(View(l.Key));
        LineScratch += '=';
        AppendValue(LineScratch, Value);
        if (View(l.Text) != LineScratch) {
            l.Text = Add(LineScratch);
            l.Key = {l.Text.Off, l.Key.Len};
            Dirty = true;
        }
        return;
    }
    LineScratch.assign(key);
    LineScratch += '=';
    AppendValue(LineScratch, Value);
    TLine l;
    l.Text = Add(LineScratch);
    l.Key = {l.Text.Off, static_cast<std::uint32_t>(key.size())};
    l.IsKey = true;
    // After the last line of the section that is not blank.
    size_t at = s.Lines.size();
    while (at > 0 && TrimSpaces(View(s.Lines[at - 1].Text)).empty())
        --at;
    s.Lines.insert(s.Lines.begin() + static_cast<std::ptrdiff_t>(at), l);
    // Only blank lines moved, so no indexed position changes.
    s.Keys.Insert(View(l.Key), HashName(View(l.Key)), static_cast<std::uint32_t>(at),
                  [&](std::uint32_t i) { return View(s.Lines[i].Key); });
    Dirty = true;
}

std::string TIniFile::TData::Content() const
{
    size_t size = 0;
    for (const TSection& s : Sections) {
        size += s.Header.Len + 2;
        for (const TLine& l : s.Lines)
            size += l.Text.Len + 2;
    }
    std::string out;
    out.reserve(size);
    for (size_t i = 0; i < Sections.size(); ++i) {
        const TSection& s = Sections[i];
        if (i > 0) {
            out += View(s.Header);
            out += "\r\n";
        }
        for (const TLine& l : s.Lines) {
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
    if (IsAsciiText(v))
        return UnicodeString(v);
    return AnsiToUtf8(AnsiString(std::string(v)));
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
    if (IsAsciiText(v))
        TextToFloat(v, result, Settings);
    else
        TextToFloat(AnsiToUtf8(AnsiString(std::string(v))), result, Settings);
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
    F->ForEachKey(Section, [&](const TLine& l) { Idents.push_back(AnsiToUtf8(AnsiString(std::string(F->View(l.Key))))); });
}

void TIniFile::ReadSections(std::vector<UnicodeString>& Sections) const
{
    Sections.clear();
    for (size_t i = 1; i < F->Sections.size(); ++i) {
        const std::string_view name = F->View(F->Sections[i].Name);
        if (F->Index.Find(name, HashName(name), [&](std::uint32_t k) { return F->View(F->Sections[k].Name); }) ==
            static_cast<int>(i))
            Sections.push_back(AnsiToUtf8(AnsiString(std::string(name))));
    }
}

void TIniFile::ReadSectionValues(const UnicodeString& Section, std::vector<UnicodeString>& Lines) const
{
    Lines.clear();
    F->ForEachKey(Section, [&](const TLine& l) {
        std::string line(F->View(l.Key));
        line += '=';
        line += DecodeValue(F->View(l.Text));
        Lines.push_back(AnsiToUtf8(AnsiString(std::move(line))));
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
    const std::string name(F->View(F->Sections[static_cast<size_t>(si)].Name));
    std::vector<TSection> kept;
    kept.reserve(F->Sections.size());
    for (size_t i = 0; i < F->Sections.size(); ++i)
        if (i == 0 || !SameName(F->View(F->Sections[i].Name), name))
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
    TSection& s = F->Sections[static_cast<size_t>(si)];
    const std::string key(Name8(Ident, F->KeyScratch));
    if (F->FindKey(s, key) < 0)
        return;
    F->CheckWritable();
    std::erase_if(s.Lines, [&](const TLine& l) { return l.IsKey && SameName(F->View(l.Key), key); });
    F->IndexKeys(s);
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
    const std::string folder = FolderOf(target);
    const std::string base = target.substr(target.rfind('/') == std::string::npos ? 0 : target.rfind('/') + 1);
    static std::atomic<unsigned> counter{0};

    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder + "/." + base + "." + std::to_string(::getpid()) + "." + std::to_string(counter++) + ".tmp";
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        F->WriteError();
    if (replacing) {
        // The new file keeps the old one's permissions and, where allowed, its owner.
        ::fchmod(fd, old.st_mode & 07777);
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            // Not the owner: the file becomes ours, as any rewrite by us would.
        }
    }
    const bool ok = WriteAll(fd, F->Content()) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !ok || ::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        F->WriteError();
    }
    // The rename itself made durable too; a folder that cannot be synced changes nothing here.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    F->Dirty = false;
    F->WriteFailed = false;
}
