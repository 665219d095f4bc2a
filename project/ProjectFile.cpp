#include "project/ProjectFile.h"

#include "model/Sweep.h"
#include "platform/IniFiles.h"
#include "platform/StdCtrls.h"

#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>
#include <string_view>

namespace {

const char* const GeneralSection = "General";
// Marks a file whose texts are UTF-8 rather than Windows-1252 (the INI reader tells them apart by
// their bytes; the mark says it to other programs).
const char* const EncodingKey = "Encoding";

// At most MaxChars characters of a UTF-8 text, "..." in place of the rest.
UnicodeString ShortText(const UnicodeString& Text, size_t MaxChars)
{
    size_t chars = 0;
    for (size_t i = 0; i < Text.size(); ++i) {
        if ((static_cast<unsigned char>(Text[i]) & 0xC0) == 0x80)
            continue;
        if (chars++ == MaxChars)
            return Text.substr(0, i) + "...";
    }
    return Text;
}

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
        Raw(Value.CodePage());
    }
    void Real(const char*, double Value) { Raw(Value); }
    void Integer(const char*, std::int32_t Value) { Raw(Value); }
    void Bool(const char*, bool Value) { Raw(Value); }
};

// Calls the visitor for every key of a Measured section after Count, in file order: Real for the
// values (absent ones included, to be skipped) and Bool for the options.
template <class Meas, class Visitor>
void VisitMeasuredKeys(Meas& M, Visitor&& V)
{
    for (size_t j = 0; j < M.Rows.size(); ++j) {
        auto& row = M.Rows[j];
        const UnicodeString n = IntToStr(j);
        V.Real("c" + n, row.c);
        V.Optional("t1_" + n, row.t[0]);
        V.Optional("t2_" + n, row.t[1]);
        V.Optional("tEOF" + n, row.tEOF);
        V.Optional("u1_" + n, row.u[0]);
        V.Optional("u2_" + n, row.u[1]);
    }
    V.Real("ViscositySlope", M.ViscositySlope);
    static const char* const fixed[2][FitParameterCount] = {{"Fix1_u0", "Fix1_uCS", "Fix1_K"},
                                                           {"Fix2_u0", "Fix2_uCS", "Fix2_K"}};
    for (int a = 0; a < 2; ++a)
        for (int p = 0; p < FitParameterCount; ++p)
            V.Bool(fixed[a][p], M.Options.Fixed[a][p]);
    V.Bool("SharedU0", M.Options.SharedU0);
    V.Bool("Weighted", M.Options.Weighted);
}

UnicodeString MeasuredSectionName(size_t Index)
{
    return "Measured" + IntToStr(Index);
}

std::string Fingerprint(const DependencyRecord& R)
{
    TFingerprint f;
    VisitKeys(R, f);
    f.Raw(R.Measured.Rows.size());
    struct {
        TFingerprint& F;
        void Real(const UnicodeString&, double Value) { F.Raw(Value); }
        void Optional(const UnicodeString&, const std::optional<double>& Value)
        {
            F.Raw(Value.has_value());
            F.Raw(Value.value_or(0));
        }
        void Bool(const char*, bool Value) { F.Raw(Value); }
    } visitor{f};
    VisitMeasuredKeys(R.Measured, visitor);
    for (const double u : R.Uncertainty.u)
        f.Raw(u);
    for (int a = 0; a < UncertainCount; ++a)
        for (int b = a + 1; b < UncertainCount; ++b)
            f.Raw(R.Uncertainty.Rho(a, b));
    f.Raw(R.Uncertainty.FromFit);
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

// Reads the keys of one section, noting what it could not take from the file: the keys that are
// missing, and values that cannot be read as their kind or do not fit their field.
struct TReader {
    const TIniFile& Ini;
    const UnicodeString& Section;
    const TFormatSettings& Settings;
    std::vector<const char*> Missing;
    std::vector<UnicodeString> Problems;

    bool Read(const char* Key, UnicodeString& Value)
    {
        if (!Ini.ValueExists(Section, Key)) {
            Missing.push_back(Key);
            return false;
        }
        Value = Ini.ReadString(Section, Key, "");
        return true;
    }
    void Unreadable(const char* Key, const UnicodeString& Text, const char* Kind, const UnicodeString& Used)
    {
        Problems.push_back(UnicodeString(Key) + " \"" + ShortText(Text, 40) + "\" is not " + Kind + "; " + Used +
                           " used.");
    }
    void Text(const char* Key, AnsiString& Value)
    {
        UnicodeString text;
        if (!Read(Key, text))
            return;
        Value = Utf8ToAnsiLossless(text);
        const int length = EditTextLength(text);
        if (length > MaxEditLength)
            Problems.push_back(UnicodeString(Key) + " has " + IntToStr(length) + " characters; its field shows the first " +
                               IntToStr(MaxEditLength) + ".");
    }
    void Real(const char* Key, double& Value)
    {
        UnicodeString text;
        if (!Read(Key, text))
            return;
        double read = 0;
        if (TextToFloat(text, read, Settings))
            Value = read;
        else
            Unreadable(Key, text, "a number", FloatToStr(Value, Settings));
    }
    void Integer(const char* Key, std::int32_t& Value)
    {
        UnicodeString text;
        if (!Read(Key, text))
            return;
        int read = 0;
        if (TryStrToInt(text, read))
            Value = read;
        else
            Unreadable(Key, text, "a whole number", IntToStr(Value));
    }
    void Bool(const char* Key, bool& Value)
    {
        UnicodeString text;
        if (!Read(Key, text))
            return;
        int read = 0;
        if (TryStrToInt(text, read))
            Value = read != 0;
        else
            Unreadable(Key, text, "a whole number", Value ? "1" : "0");
    }
};

// The Measured section of record Index: written when it has measurements, else removed (a
// stale one of rows since deleted would come back at the next load).
void WriteMeasured(TIniFile& Ini, size_t Index, const Measurements& M)
{
    const UnicodeString section = MeasuredSectionName(Index);
    Ini.EraseSection(section);
    if (M.Empty())
        return;
    Ini.WriteInteger(section, "Count", static_cast<int>(M.Rows.size()));
    struct {
        TIniFile& Ini;
        const UnicodeString& Section;
        void Real(const UnicodeString& Key, double Value) { Ini.WriteFloat(Section, Key, Value); }
        void Optional(const UnicodeString& Key, const std::optional<double>& Value)
        {
            if (Value)
                Ini.WriteFloat(Section, Key, *Value);
        }
        void Bool(const char* Key, bool Value) { Ini.WriteBool(Section, Key, Value); }
    } writer{Ini, section};
    VisitMeasuredKeys(M, writer);
}

// The most rows a Measured section may hold.
constexpr int MaxMeasuredRows = 100000;

// Reads the Measured section of record Index into M (nothing there: no measurements). Values that
// cannot be read are left out and listed, as is a row count out of range (then no rows).
void ReadMeasured(const TIniFile& Ini, size_t Index, const TFormatSettings& Settings, const UnicodeString& Title,
                  Measurements& M, std::vector<UnicodeString>& Guesses)
{
    const UnicodeString section = MeasuredSectionName(Index);
    if (!Ini.SectionExists(section))
        return;
    const UnicodeString countText = Ini.ReadString(section, "Count", "");
    int count = 0;
    if (!TryStrToInt(countText, count) || count < 0 || count > MaxMeasuredRows) {
        Guesses.push_back(Title + ": [" + section + "] Count \"" + ShortText(countText, 40) +
                          "\" is not a number of rows from 0 to " + IntToStr(MaxMeasuredRows) +
                          "; no measurements used.");
        count = 0;
    }
    M.Rows.resize(static_cast<size_t>(count));
    struct {
        const TIniFile& Ini;
        const UnicodeString& Section;
        const TFormatSettings& Settings;
        const UnicodeString& Title;
        std::vector<UnicodeString>& Guesses;
        // The value of Key, or nothing when absent or unreadable (listed).
        std::optional<double> Read(const UnicodeString& Key)
        {
            if (!Ini.ValueExists(Section, Key))
                return std::nullopt;
            const UnicodeString text = Ini.ReadString(Section, Key, "");
            double value = 0;
            if (TextToFloat(text, value, Settings) && std::isfinite(value))
                return value;
            Guesses.push_back(Title + ": [" + Section + "] " + Key + " \"" + ShortText(text, 40) +
                              "\" is not a number; left empty.");
            return std::nullopt;
        }
        void Real(const UnicodeString& Key, double& Value)
        {
            if (const auto v = Read(Key))
                Value = *v;
        }
        void Optional(const UnicodeString& Key, std::optional<double>& Value) { Value = Read(Key); }
        void Bool(const char* Key, bool& Value)
        {
            int read = 0;
            if (Ini.ValueExists(Section, Key) && TryStrToInt(Ini.ReadString(Section, Key, ""), read))
                Value = read != 0;
        }
    } reader{Ini, section, Settings, Title, Guesses};
    VisitMeasuredKeys(M, reader);
}

UnicodeString UncertaintySectionName(size_t Index)
{
    return "Uncertainty" + IntToStr(Index);
}

UnicodeString CorrelationKey(int A, int B)
{
    return UnicodeString("r_") + UncertainKey(A) + "_" + UncertainKey(B);
}

// The Uncertainty section of record Index: written when it has uncertainties, else removed.
void WriteUncertainty(TIniFile& Ini, size_t Index, const Uncertainties& U)
{
    const UnicodeString section = UncertaintySectionName(Index);
    Ini.EraseSection(section);
    if (U.Empty())
        return;
    for (int k = 0; k < UncertainCount; ++k)
        if (U.u[static_cast<size_t>(k)] != 0)
            Ini.WriteFloat(section, UncertainKey(k), U.u[static_cast<size_t>(k)]);
    for (int a = 0; a < UncertainCount; ++a)
        for (int b = a + 1; b < UncertainCount; ++b)
            if (U.Rho(a, b) != 0)
                Ini.WriteFloat(section, CorrelationKey(a, b), U.Rho(a, b));
    Ini.WriteBool(section, "FromFit", U.FromFit);
}

// Reads the Uncertainty section of record Index into U (nothing there: no uncertainties). A
// value that cannot be read, a negative uncertainty and a correlation outside [-1, 1] are left
// out and listed; correlations that contradict one another are all left out and listed.
void ReadUncertainty(const TIniFile& Ini, size_t Index, const TFormatSettings& Settings, const UnicodeString& Title,
                     Uncertainties& U, std::vector<UnicodeString>& Guesses)
{
    const UnicodeString section = UncertaintySectionName(Index);
    if (!Ini.SectionExists(section))
        return;
    auto read = [&](const UnicodeString& Key, double Low, double High, const char* What) -> std::optional<double> {
        if (!Ini.ValueExists(section, Key))
            return std::nullopt;
        const UnicodeString text = Ini.ReadString(section, Key, "");
        double value = 0;
        if (TextToFloat(text, value, Settings) && value >= Low && value <= High)
            return value;
        Guesses.push_back(Title + ": [" + section + "] " + Key + " \"" + ShortText(text, 40) + "\" is not " + What +
                          "; left out.");
        return std::nullopt;
    };
    constexpr double Largest = std::numeric_limits<double>::max();
    for (int k = 0; k < UncertainCount; ++k)
        if (const auto v = read(UncertainKey(k), 0, Largest, "a number from 0 up"))
            U.u[static_cast<size_t>(k)] = *v;
    for (int a = 0; a < UncertainCount; ++a)
        for (int b = a + 1; b < UncertainCount; ++b)
            if (const auto v = read(CorrelationKey(a, b), -1, 1, "a correlation from -1 to 1"))
                U.SetRho(a, b, *v);
    int fromFit = 0;
    if (Ini.ValueExists(section, "FromFit") && TryStrToInt(Ini.ReadString(section, "FromFit", ""), fromFit))
        U.FromFit = fromFit != 0;
    const UnicodeString refusal = UncertaintyRefusal(U);
    if (!refusal.empty()) {
        Guesses.push_back(Title + ": [" + section + "] " + refusal + " The correlations are left out.");
        U.Correlation.clear();
    }
}

// A separator with which every real of the file can be read back: printable ASCII, and not a
// character that is itself part of a number.
bool UsableSeparator(int Code)
{
    if (Code < 0x20 || Code > 0x7E)
        return false;
    return !(Code >= '0' && Code <= '9') && Code != '+' && Code != '-' && Code != 'E' && Code != 'e';
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
        WriteMeasured(ini, i, Records[i].Measured);
        WriteUncertainty(ini, i, Records[i].Uncertainty);
    }
    // A text beyond Windows-1252 has made the file UTF-8.
    if (ini.GetEncoding() == ieUtf8)
        ini.WriteString(GeneralSection, EncodingKey, "UTF-8");
    else
        ini.DeleteKey(GeneralSection, EncodingKey);
    ini.UpdateFile();
}

void RequireProjectFile(const UnicodeString& FileName)
{
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::path(FileName), ec))
        throw EProjectFileError("Cannot load " + FileName + ": the file does not exist.");
}

namespace {

// Faults of the sweep for any graph choice: the range's own (naming the key) and those of its
// points.
void CheckSweep(const Params& P, size_t Index, const AnsiString& Name)
{
    std::optional<SweepRange> range;
    try {
        range.emplace(P.cMin, P.cMax, P.points);
    } catch (const Exception& e) {
        const char* key = P.points <= 0 || P.points > MaxSweepPoints ? "points" : "cMax";
        throw EProjectFileError(DependencyTitle(Index, Name) + ": " + key + ": " + e.Message());
    }
    try {
        range->ForEach([&](double c) {
            const PointValues v(P.phys, c);
            for (int choice = 0; choice < GraphChoiceCount; ++choice)
                v.Measure(choice);
        });
    } catch (const Exception& e) {
        throw EProjectFileError(DependencyTitle(Index, Name) + ": " + e.Message());
    }
}

UnicodeString SeparatorText(WideChar Separator)
{
    return UnicodeString(1, static_cast<char>(Separator));
}

} // namespace

ProjectContents ReadProjectFile(const UnicodeString& FileName)
{
    RequireProjectFile(FileName);
    const TIniFile ini(FileName);
    // A file that is there but cannot be read is no empty project: loading it would throw the
    // open list away.
    if (ini.GetUnreadable())
        throw EProjectFileError("Cannot load " + FileName + ": the file cannot be read.");
    // Nor is a file without the count of its dependencies: a text, a picture, a damaged file.
    if (!ini.ValueExists(GeneralSection, "Count"))
        throw EProjectFileError("Cannot load " + FileName +
                                ": it is not a Corvane project (it has no [General] section with a Count).");
    ProjectContents contents;
    contents.DecimalSeparator = FormatSettings.DecimalSeparator;
    if (ini.ValueExists(GeneralSection, "DecSep")) {
        const int current = static_cast<int>(FormatSettings.DecimalSeparator);
        const int code = ini.ReadInteger(GeneralSection, "DecSep", current);
        if (code != current && !UsableSeparator(code))
            throw EProjectFileError("Cannot load " + FileName + ": its decimal separator (character code " +
                                    IntToStr(code) + ") cannot separate the decimals of a number.");
        contents.DecimalSeparator = static_cast<WideChar>(code);
    } else {
        contents.Guesses.push_back("General: no DecSep; the decimal separator stays \"" +
                                   SeparatorText(contents.DecimalSeparator) + "\".");
    }

    const UnicodeString countText = ini.ReadString(GeneralSection, "Count", "");
    int count = 0;
    if (!TryStrToInt(countText, count))
        BadCount(FileName, ShortText(countText, 40));
    if (count < 0 || count > MaxProjectDependencies)
        BadCount(FileName, IntToStr(count));

    TFormatSettings settings = FormatSettings;
    settings.DecimalSeparator = contents.DecimalSeparator;
    contents.Records.resize(static_cast<size_t>(count));
    for (size_t i = 0; i < contents.Records.size(); ++i) {
        DependencyRecord& r = contents.Records[i];
        const UnicodeString section = SectionName(i);
        if (!ini.SectionExists(section)) {
            contents.Guesses.push_back("Dependency " + IntToStr(i + 1) + ": no section [" + section +
                                       "]; the default dependency is used.");
        } else {
            TReader reader{ini, section, settings, {}, {}};
            VisitKeys(r, reader);
            const UnicodeString title = DependencyTitle(i, r.name);
            if (!reader.Missing.empty()) {
                UnicodeString keys;
                for (const char* key : reader.Missing)
                    keys += (keys.empty() ? "" : ", ") + UnicodeString(key);
                contents.Guesses.push_back(title + ": no " + keys + "; the default" +
                                           (reader.Missing.size() > 1 ? "s are" : " is") + " used.");
            }
            for (const UnicodeString& problem : reader.Problems)
                contents.Guesses.push_back(title + ": " + problem);
        }
        ReadMeasured(ini, i, settings, DependencyTitle(i, r.name), r.Measured, contents.Guesses);
        ReadUncertainty(ini, i, settings, DependencyTitle(i, r.name), r.Uncertainty, contents.Guesses);
        try {
            r.Params.phys.Derive();
        } catch (const Exception& e) {
            const char* key = r.Params.phys.FaultKey();
            throw EProjectFileError(DependencyTitle(i, r.name) + ": " + (key ? UnicodeString(key) + ": " : "") +
                                    e.Message());
        }
        CheckSweep(r.Params, i, r.name);
    }
    return contents;
}

UnicodeString LoadReport(const UnicodeString& FileName, const ProjectContents& Contents, WideChar SeparatorBefore)
{
    const bool separatorChanged = Contents.DecimalSeparator != SeparatorBefore;
    if (Contents.Guesses.empty() && !separatorChanged)
        return "";
    UnicodeString text;
    if (!Contents.Guesses.empty()) {
        text = FileName + " was loaded, but not all of it could be read:";
        const size_t shown = Contents.Guesses.size() > LoadReportLines + 1 ? LoadReportLines : Contents.Guesses.size();
        for (size_t i = 0; i < shown; ++i)
            text += "\n" + Contents.Guesses[i];
        if (shown < Contents.Guesses.size())
            text += "\n... and " + IntToStr(Contents.Guesses.size() - shown) + " more.";
    }
    if (separatorChanged) {
        if (!text.empty())
            text += "\n\n";
        text += "The decimal separator is now \"" + SeparatorText(Contents.DecimalSeparator) + "\" (it was \"" +
                SeparatorText(SeparatorBefore) + "\"), as in " + FileName + ": the numeric fields expect it.";
    }
    return text;
}

UnicodeString DependencyTitle(size_t Index, const AnsiString& Name)
{
    return "Dependency " + IntToStr(Index + 1) + " (" + ShortText(AnsiToUtf8(Name), 60) + ")";
}

bool SameStoredData(const DependencyRecord& A, const DependencyRecord& B)
{
    return Fingerprint(A) == Fingerprint(B);
}
