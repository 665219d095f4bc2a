#include "platform/IniFiles.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace {

// One line of the file, as Windows-1252 bytes without its line end. Key lines also carry the
// key as written in the file and its lower-case form for the index.
struct TLine {
    std::string Text;
    std::string Key;
    bool IsKey = false;
};

struct TSection {
    std::string Header;      // the header line as in the file
    std::string Name;        // the name inside the brackets, as in the file
    std::vector<TLine> Lines;
    std::unordered_map<std::string, size_t> Keys;   // lower-case key -> first line with it
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

// Lower case of a Windows-1252 name: ASCII and the accented Latin letters.
void AppendLower(std::string& Out, std::string_view S)
{
    for (char ch : S) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7))
            Out += static_cast<char>(b + 0x20);
        else if (b == 0x8A || b == 0x8C || b == 0x8E)
            Out += static_cast<char>(b + 0x10);
        else if (b == 0x9F)
            Out += static_cast<char>(0xFF);
        else
            Out += ch;
    }
}

std::string Lower(std::string_view S)
{
    std::string out;
    out.reserve(S.size());
    AppendLower(out, S);
    return out;
}

// A name of the interface as it stands in the file: Windows-1252, without surrounding blanks,
// line breaks and NULs made blanks.
std::string FileName8(const UnicodeString& Name)
{
    std::string bytes = Utf8ToAnsi(Name).Bytes();
    for (char& c : bytes)
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    return std::string(TrimSpaces(bytes));
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

// The value as written after "=": quoted where reading would otherwise change it.
std::string EncodeValue(const UnicodeString& Value)
{
    std::string bytes = Utf8ToAnsi(Value).Bytes();
    for (char& c : bytes)
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    const bool quote = !bytes.empty() &&
                       (IsSpace(bytes.front()) || IsSpace(bytes.back()) ||
                        (bytes.size() >= 2 && bytes.front() == bytes.back() &&
                         (bytes.front() == '"' || bytes.front() == '\'')));
    return quote ? '"' + bytes + '"' : bytes;
}

bool ReadWholeFile(const std::string& Path, std::string& Content, bool& Exists)
{
    Exists = false;
    const int fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR;
    Exists = true;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    Content.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    bool ok = true;
    for (;;) {
        if (done == Content.size())
            Content.resize(Content.size() + 65536);
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
    std::vector<TSection> Sections;   // Sections[0]: the lines before the first header
    std::unordered_map<std::string, size_t> Index;   // lower-case name -> first section with it
    bool Unreadable = false;   // the file exists but could not be read: never overwrite it
    bool Writable = false;     // the write check has passed
    bool Dirty = false;
    bool WriteFailed = false;
    // The last section looked up, since callers work through one section at a time.
    mutable std::string LastName;
    mutable size_t LastSection = 0;

    void Parse(std::string_view Content);
    void Reindex();
    // The section of that (interface) name, or nullptr.
    const TSection* Find(const UnicodeString& Section) const;
    TSection* Find(const UnicodeString& Section)
    {
        return const_cast<TSection*>(static_cast<const TData*>(this)->Find(Section));
    }
    const TLine* FindKey(const UnicodeString& Section, const UnicodeString& Ident) const;
    std::string_view Value(const UnicodeString& Section, const UnicodeString& Ident, bool& Found) const;
    void CheckWritable();
    void Write(const UnicodeString& Section, const UnicodeString& Ident, const UnicodeString& Value);
    std::string Content() const;
    // The file the name leads to (links followed), for writing.
    std::string Target() const;
    [[noreturn]] void WriteError() const
    {
        throw EIniFileException("Unable to write to " + FileName);
    }
};

void TIniFile::TData::Parse(std::string_view Content)
{
    Sections.clear();
    Sections.emplace_back();
    if (Content.find('\0') != std::string_view::npos)
        Content = {};   // binary data: holds nothing
    if (Content.substr(0, 3) == "\xEF\xBB\xBF")
        Content.remove_prefix(3);
    size_t pos = 0;
    while (pos < Content.size()) {
        auto end = Content.find('\n', pos);
        if (end == std::string_view::npos)
            end = Content.size();
        std::string_view line = Content.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::string_view t = TrimSpaces(line);
        if (!t.empty() && t.front() == '[') {
            TSection s;
            s.Header = std::string(line);
            const auto close = t.find(']');
            s.Name = std::string(TrimSpaces(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
            Sections.push_back(std::move(s));
            continue;
        }
        TLine l;
        l.Text = std::string(line);
        const auto eq = t.find('=');
        if (!t.empty() && t.front() != ';' && eq != std::string_view::npos) {
            l.IsKey = true;
            l.Key = std::string(TrimSpaces(t.substr(0, eq)));
        }
        Sections.back().Lines.push_back(std::move(l));
    }
    Reindex();
}

void TIniFile::TData::Reindex()
{
    Index.clear();
    for (size_t i = 1; i < Sections.size(); ++i) {
        TSection& s = Sections[i];
        Index.emplace(Lower(s.Name), i);
        s.Keys.clear();
        for (size_t k = 0; k < s.Lines.size(); ++k)
            if (s.Lines[k].IsKey)
                s.Keys.emplace(Lower(s.Lines[k].Key), k);
    }
    LastName.clear();
    LastSection = 0;
}

const TSection* TIniFile::TData::Find(const UnicodeString& Section) const
{
    std::string key = Lower(FileName8(Section));
    if (LastSection != 0 && key == LastName)
        return &Sections[LastSection];
    const auto it = Index.find(key);
    if (it == Index.end())
        return nullptr;
    LastName = std::move(key);
    LastSection = it->second;
    return &Sections[it->second];
}

const TLine* TIniFile::TData::FindKey(const UnicodeString& Section, const UnicodeString& Ident) const
{
    const TSection* s = Find(Section);
    if (s == nullptr)
        return nullptr;
    const auto it = s->Keys.find(Lower(FileName8(Ident)));
    return it == s->Keys.end() ? nullptr : &s->Lines[it->second];
}

std::string_view TIniFile::TData::Value(const UnicodeString& Section, const UnicodeString& Ident,
                                        bool& Found) const
{
    const TLine* l = FindKey(Section, Ident);
    Found = l != nullptr;
    return Found ? DecodeValue(l->Text) : std::string_view();
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
    TSection* s = Find(Section);
    if (s == nullptr) {
        TSection fresh;
        fresh.Name = FileName8(Section);
        fresh.Header = '[' + fresh.Name + ']';
        Index.emplace(Lower(fresh.Name), Sections.size());
        Sections.push_back(std::move(fresh));
        s = &Sections.back();
    }
    std::string key = FileName8(Ident);
    std::string lower = Lower(key);
    const auto it = s->Keys.find(lower);
    if (it != s->Keys.end()) {
        // Replaced where it stands; the key keeps its spelling in the file.
        TLine& l = s->Lines[it->second];
        std::string text = l.Key + '=' + EncodeValue(Value);
        if (l.Text != text) {
            l.Text = std::move(text);
            Dirty = true;
        }
        return;
    }
    std::string text = key + '=' + EncodeValue(Value);
    // After the last line of the section that is not blank.
    size_t at = s->Lines.size();
    while (at > 0 && TrimSpaces(s->Lines[at - 1].Text).empty())
        --at;
    TLine l;
    l.Text = std::move(text);
    l.Key = std::move(key);
    l.IsKey = true;
    s->Lines.insert(s->Lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(l));
    s->Keys.emplace(std::move(lower), at);   // only blank lines moved, so no other entry shifts
    Dirty = true;
}

std::string TIniFile::TData::Content() const
{
    size_t size = 0;
    for (const TSection& s : Sections) {
        size += s.Header.size() + 2;
        for (const TLine& l : s.Lines)
            size += l.Text.size() + 2;
    }
    std::string out;
    out.reserve(size);
    for (size_t i = 0; i < Sections.size(); ++i) {
        const TSection& s = Sections[i];
        if (i > 0) {
            out += s.Header;
            out += "\r\n";
        }
        for (const TLine& l : s.Lines) {
            out += l.Text;
            out += "\r\n";
        }
    }
    return out;
}

TIniFile::TIniFile(const UnicodeString& FileName) : F(std::make_unique<TData>())
{
    F->FileName = FileName;
    std::string content;
    bool exists = false;
    if (FileName.empty() || !ReadWholeFile(FileName, content, exists)) {
        F->Unreadable = exists;
        content.clear();
    }
    F->Parse(content);
}

TIniFile::~TIniFile()
{
    if (F->Dirty && !F->WriteFailed) {
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
    return F->Find(Section) != nullptr;
}

bool TIniFile::ValueExists(const UnicodeString& Section, const UnicodeString& Ident) const
{
    return F->FindKey(Section, Ident) != nullptr;
}

UnicodeString TIniFile::ReadString(const UnicodeString& Section, const UnicodeString& Ident,
                                   const UnicodeString& Default) const
{
    bool found = false;
    const std::string_view v = F->Value(Section, Ident, found);
    return found ? AnsiToUtf8(AnsiString(std::string(v))) : Default;
}

void TIniFile::WriteString(const UnicodeString& Section, const UnicodeString& Ident, const UnicodeString& Value)
{
    F->Write(Section, Ident, Value);
}

int TIniFile::ReadInteger(const UnicodeString& Section, const UnicodeString& Ident, int Default) const
{
    bool found = false;
    const std::string_view v = F->Value(Section, Ident, found);
    return found ? StrToIntDef(std::string(v), Default) : Default;
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
    bool found = false;
    const std::string_view v = F->Value(Section, Ident, found);
    double result = Default;
    if (found && !v.empty())
        TryStrToFloat(AnsiToUtf8(AnsiString(std::string(v))), result);
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
    const TSection* s = F->Find(Section);
    if (s == nullptr)
        return;
    for (size_t k = 0; k < s->Lines.size(); ++k) {
        const TLine& l = s->Lines[k];
        // Each key once, as the look-ups see it.
        if (l.IsKey && s->Keys.at(Lower(l.Key)) == k)
            Idents.push_back(AnsiToUtf8(AnsiString(l.Key)));
    }
}

void TIniFile::ReadSections(std::vector<UnicodeString>& Sections) const
{
    Sections.clear();
    for (size_t i = 1; i < F->Sections.size(); ++i)
        if (F->Index.at(Lower(F->Sections[i].Name)) == i)
            Sections.push_back(AnsiToUtf8(AnsiString(F->Sections[i].Name)));
}

void TIniFile::ReadSectionValues(const UnicodeString& Section, std::vector<UnicodeString>& Lines) const
{
    Lines.clear();
    const TSection* s = F->Find(Section);
    if (s == nullptr)
        return;
    for (size_t k = 0; k < s->Lines.size(); ++k) {
        const TLine& l = s->Lines[k];
        if (l.IsKey && s->Keys.at(Lower(l.Key)) == k)
            Lines.push_back(AnsiToUtf8(AnsiString(l.Key + '=' + std::string(DecodeValue(l.Text)))));
    }
}

void TIniFile::EraseSection(const UnicodeString& Section)
{
    const std::string name = Lower(FileName8(Section));
    if (F->Index.find(name) == F->Index.end())
        return;
    F->CheckWritable();
    // Every section of that name goes, so that no later duplicate comes to light.
    std::vector<TSection> kept;
    kept.reserve(F->Sections.size());
    for (size_t i = 0; i < F->Sections.size(); ++i)
        if (i == 0 || Lower(F->Sections[i].Name) != name)
            kept.push_back(std::move(F->Sections[i]));
    F->Sections = std::move(kept);
    F->Reindex();
    F->Dirty = true;
}

void TIniFile::DeleteKey(const UnicodeString& Section, const UnicodeString& Ident)
{
    TSection* s = F->Find(Section);
    if (s == nullptr)
        return;
    const std::string key = Lower(FileName8(Ident));
    if (s->Keys.find(key) == s->Keys.end())
        return;
    F->CheckWritable();
    std::erase_if(s->Lines, [&](const TLine& l) { return l.IsKey && Lower(l.Key) == key; });
    s->Keys.clear();
    for (size_t k = 0; k < s->Lines.size(); ++k)
        if (s->Lines[k].IsKey)
            s->Keys.emplace(Lower(s->Lines[k].Key), k);
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
        }
    }
    const bool ok = WriteAll(fd, F->Content()) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !ok || ::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        F->WriteError();
    }
    F->Dirty = false;
    F->WriteFailed = false;
}
