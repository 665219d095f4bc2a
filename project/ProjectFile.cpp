#include "project/ProjectFile.h"

#include "platform/IniFiles.h"

#include <filesystem>
#include <string_view>

namespace {

const char* const GeneralSection = "General";

UnicodeString SectionName(size_t Index)
{
    return "Dependency" + IntToStr(Index);
}

// Calls the visitor for every key of a dependency section in file order: Text for the four
// texts, Integer for points, Bool for applypH, Real for the doubles.
template <class Rec, class Visitor>
void VisitKeys(Rec& R, Visitor&& V)
{
    V.Text("name", R.name);
    V.Text("analyte1", R.analyte1);
    V.Text("analyte2", R.analyte2);
    V.Text("selector", R.selector);
    auto& p = R.Params;
    V.Real("cMin", p.cMin);
    V.Real("cMax", p.cMax);
    V.Integer("points", p.points);
    V.Real("pH", p.pH);
    V.Bool("applypH", p.applypH);
    auto analyte = [&](const char* const (&names)[7], auto& a) {
        V.Real(names[0], a.pKa);
        V.Real(names[1], a.hu0);
        V.Real(names[2], a.huCS);
        V.Real(names[3], a.hK);
        V.Real(names[4], a.lu0);
        V.Real(names[5], a.luCS);
        V.Real(names[6], a.lK);
    };
    static const char* const a1[7] = {"a1pKa", "a1hu0", "a1huCS", "a1hK", "a1lu0", "a1luCS", "a1lK"};
    static const char* const a2[7] = {"a2pKa", "a2hu0", "a2huCS", "a2hK", "a2lu0", "a2luCS", "a2lK"};
    analyte(a1, p.a1);
    analyte(a2, p.a2);
    auto& f = p.phys;
    V.Real("Capillary", f.Capillary);
    V.Real("Detector", f.Detector);
    V.Real("Voltage", f.Voltage);
    V.Real("Temperature", f.Temperature);
    V.Real("EOF", f.EOF);
    V.Real("EOFSlope", f.EOFSlope);
    V.Real("Pressure", f.Pressure);
    V.Real("Radius", f.Radius);
    V.Real("u01", f.u01);
    V.Real("u02", f.u02);
    V.Real("u1", f.u1);
    V.Real("u2", f.u2);
    V.Real("K1", f.K1);
    V.Real("K2", f.K2);
    V.Real("z01", f.z01);
    V.Real("z02", f.z02);
    V.Real("zCS", f.zCS);
    V.Real("D01", f.D01);
    V.Real("D02", f.D02);
    V.Real("D1", f.D1);
    V.Real("D2", f.D2);
}

// Every stored value of a record as bytes, in file order (texts followed by their length).
struct TFingerprint {
    std::string Bytes;
    template <class T>
    void Raw(const T& Value)
    {
        Bytes.append(reinterpret_cast<const char*>(&Value), sizeof Value);
    }
    void Text(const char*, const AnsiString& Value)
    {
        Bytes += Value.Bytes();
        Raw(Value.Bytes().size());
    }
    void Real(const char*, double Value) { Raw(Value); }
    void Integer(const char*, std::int32_t Value) { Raw(Value); }
    void Bool(const char*, bool Value) { Raw(Value); }
};

std::string Fingerprint(const DependencyRecord& R)
{
    TFingerprint f;
    VisitKeys(R, f);
    return std::move(f.Bytes);
}

struct TWriter {
    TIniFile& Ini;
    const UnicodeString& Section;
    void Text(const char* Key, const AnsiString& Value) { Ini.WriteString(Section, Key, AnsiToUtf8(Value)); }
    void Real(const char* Key, double Value) { Ini.WriteFloat(Section, Key, Value); }
    void Integer(const char* Key, std::int32_t Value) { Ini.WriteInteger(Section, Key, Value); }
    void Bool(const char* Key, bool Value) { Ini.WriteBool(Section, Key, Value); }
};

struct TReader {
    const TIniFile& Ini;
    const UnicodeString& Section;
    const TFormatSettings& Settings;
    void Text(const char* Key, AnsiString& Value) { Value = Utf8ToAnsi(Ini.ReadString(Section, Key, AnsiToUtf8(Value))); }
    void Real(const char* Key, double& Value) { Value = Ini.ReadFloat(Section, Key, Value, Settings); }
    void Integer(const char* Key, std::int32_t& Value) { Value = Ini.ReadInteger(Section, Key, Value); }
    void Bool(const char* Key, bool& Value) { Value = Ini.ReadBool(Section, Key, Value); }
};

// A separator with which every real of the file can be read back: printable ASCII, and not a
// character that is itself part of a number.
bool UsableSeparator(int Code)
{
    if (Code < 0x20 || Code > 0x7E)
        return false;
    return !(Code >= '0' && Code <= '9') && Code != '+' && Code != '-' && Code != 'E' && Code != 'e';
}

bool IsDecimalInteger(std::string_view S)
{
    while (!S.empty() && S.front() == ' ')
        S.remove_prefix(1);
    while (!S.empty() && S.back() == ' ')
        S.remove_suffix(1);
    if (!S.empty() && (S.front() == '-' || S.front() == '+'))
        S.remove_prefix(1);
    if (S.empty())
        return false;
    for (char c : S)
        if (c < '0' || c > '9')
            return false;
    return true;
}

[[noreturn]] void BadCount(const UnicodeString& FileName, const UnicodeString& Count)
{
    throw EProjectFileError("Cannot load " + FileName + ": the number of dependencies (" + Count +
                            ") is not between 0 and " + IntToStr(MaxProjectDependencies) + ".");
}

} // namespace

void WriteProjectFile(const UnicodeString& FileName, const std::vector<DependencyRecord>& Records)
{
    // A file that could not be loaded again is not written at all.
    if (Records.size() > static_cast<size_t>(MaxProjectDependencies))
        throw EProjectFileError("Cannot save " + FileName + ": a project holds at most " +
                                IntToStr(MaxProjectDependencies) + " dependencies, this one " +
                                IntToStr(Records.size()) + ".");
    TIniFile ini(FileName);
    ini.WriteInteger(GeneralSection, "DecSep", static_cast<int>(FormatSettings.DecimalSeparator));
    ini.WriteInteger(GeneralSection, "Count", static_cast<int>(Records.size()));
    for (size_t i = 0; i < Records.size(); ++i) {
        const UnicodeString section = SectionName(i);
        VisitKeys(Records[i], TWriter{ini, section});
    }
    ini.UpdateFile();
}

void RequireProjectFile(const UnicodeString& FileName)
{
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::path(FileName), ec))
        throw EProjectFileError("Cannot load " + FileName + ": the file does not exist.");
}

ProjectContents ReadProjectFile(const UnicodeString& FileName)
{
    const TIniFile ini(FileName);
    // A file that is there but cannot be read is no empty project: loading it would throw the
    // open list away.
    if (ini.GetUnreadable())
        throw EProjectFileError("Cannot load " + FileName + ": the file cannot be read.");
    ProjectContents contents;
    contents.DecimalSeparator = FormatSettings.DecimalSeparator;
    if (ini.ValueExists(GeneralSection, "DecSep")) {
        const int current = static_cast<int>(FormatSettings.DecimalSeparator);
        const int code = ini.ReadInteger(GeneralSection, "DecSep", current);
        if (code != current && !UsableSeparator(code))
            throw EProjectFileError("Cannot load " + FileName + ": its decimal separator (character code " +
                                    IntToStr(code) + ") cannot separate the decimals of a number.");
        contents.DecimalSeparator = static_cast<WideChar>(code);
    }

    int count = 0;
    if (ini.ValueExists(GeneralSection, "Count")) {
        const UnicodeString text = ini.ReadString(GeneralSection, "Count", "");
        if (!TryStrToInt(text, count)) {
            // Beyond 32 bits is too large; any other text is no count at all.
            if (IsDecimalInteger(text))
                BadCount(FileName, text);
            count = 0;
        }
        if (count < 0 || count > MaxProjectDependencies)
            BadCount(FileName, IntToStr(count));
    }

    TFormatSettings settings = FormatSettings;
    settings.DecimalSeparator = contents.DecimalSeparator;
    contents.Records.resize(static_cast<size_t>(count));
    for (size_t i = 0; i < contents.Records.size(); ++i) {
        DependencyRecord& r = contents.Records[i];
        const UnicodeString section = SectionName(i);
        VisitKeys(r, TReader{ini, section, settings});
        r.Params.phys.Derive();
    }
    return contents;
}

bool SameStoredData(const DependencyRecord& A, const DependencyRecord& B)
{
    return Fingerprint(A) == Fingerprint(B);
}
