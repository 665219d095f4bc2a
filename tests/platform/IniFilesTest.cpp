#include "platform/IniFiles.h"

#include "platform/Graphics.h"
#include "platform/IniFilesDisk.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class IniFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        FSaved = FormatSettings;
        FormatSettings = TFormatSettings::Invariant();
    }
    void TearDown() override
    {
        FormatSettings = FSaved;
    }

    std::string Path(const std::string& name = "project.ini") const { return (Dir / name).string(); }

    static std::string Load(const std::string& path) { return ReadFileBytes(path); }
    static void Save(const std::string& path, const std::string& bytes) { WriteFileBytes(path, bytes); }
    // Files of the folder other than the given one (left-over temporary files).
    std::vector<std::string> Others(const std::string& keep = "project.ini") const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(Dir))
            if (e.path().filename() != keep)
                names.push_back(e.path().filename().string());
        return names;
    }

    TTempFolder Temp{"corvane-ini"};
    const fs::path& Dir = Temp.Dir();

private:
    TFormatSettings FSaved;
};

} // namespace

TEST_F(IniFile, MissingFileGivesFallbacksAndIsNotCreatedByReading)
{
    {
        TIniFile ini(Path());
        EXPECT_EQ(ini.GetFileName(), Path());
        EXPECT_EQ(ini.ReadString("General", "Name", "none"), "none");
        EXPECT_EQ(ini.ReadInteger("General", "Count", 7), 7);
        EXPECT_TRUE(ini.ReadBool("General", "On", true));
        EXPECT_EQ(ini.ReadFloat("General", "x", 2.5), 2.5);
        EXPECT_FALSE(ini.SectionExists("General"));
        EXPECT_FALSE(ini.ValueExists("General", "Count"));
        ini.UpdateFile();
    }
    EXPECT_FALSE(fs::exists(Path()));
}

TEST_F(IniFile, WritesSectionsAndKeysInOrderWithCrLf)
{
    {
        TIniFile ini(Path());
        ini.WriteInteger("General", "DecSep", 46);
        ini.WriteInteger("General", "Count", 1);
        ini.WriteString("Dependency0", "name", "Default");
        ini.WriteFloat("Dependency0", "Capillary", 0.485);
        ini.WriteFloat("Dependency0", "Voltage", 25000);
        ini.WriteFloat("Dependency0", "Radius", 5e-5);
        ini.WriteFloat("Dependency0", "a1hu0", 1e-9);
        ini.WriteInteger("Dependency0", "points", 21);
        ini.WriteBool("Dependency0", "applypH", false);
        ini.WriteInteger("Dependency0", "neg", -3);
    }
    EXPECT_EQ(Load(Path()),
              "[General]\r\nDecSep=46\r\nCount=1\r\n"
              "[Dependency0]\r\nname=Default\r\nCapillary=0.485\r\nVoltage=25000\r\nRadius=5E-5\r\n"
              "a1hu0=1E-9\r\npoints=21\r\napplypH=0\r\nneg=-3\r\n");

    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadString("dependency0", "NAME", ""), "Default");
    EXPECT_EQ(ini.ReadFloat("Dependency0", "Capillary", 0), 0.485);
    EXPECT_EQ(ini.ReadFloat("Dependency0", "Radius", 0), 5e-5);
    EXPECT_EQ(ini.ReadInteger("Dependency0", "points", 0), 21);
    EXPECT_EQ(ini.ReadInteger("Dependency0", "neg", 0), -3);
    EXPECT_FALSE(ini.ReadBool("Dependency0", "applypH", true));
    EXPECT_TRUE(ini.SectionExists("DEPENDENCY0"));
    EXPECT_TRUE(ini.ValueExists("general", "decsep"));
}

TEST_F(IniFile, ReplacesInPlaceAndAppendsAtTheEndOfTheSection)
{
    Save(Path(), "; made by hand\n[A]\nx = 1\nKey=old\n; note\n\n[B]\ny=2\n\ngarbage line\n[A]\nx=shadowed\n");
    {
        TIniFile ini(Path());
        EXPECT_EQ(ini.ReadString("a", "X", ""), "1");
        ini.WriteString("a", "KEY", "new");
        ini.WriteString("A", "z", "3");
        ini.WriteString("C", "w", "4");
        ini.WriteString("b", "y", "2");
    }
    EXPECT_EQ(Load(Path()),
              "; made by hand\r\n[A]\r\nx = 1\r\nKey=new\r\n; note\r\nz=3\r\n\r\n[B]\r\ny=2\r\n\r\n"
              "garbage line\r\n[A]\r\nx=shadowed\r\n[C]\r\nw=4\r\n");
}

TEST_F(IniFile, SavingAShorterProjectKeepsTheSurplusSections)
{
    {
        TIniFile ini(Path());
        ini.WriteInteger("General", "Count", 5);
        for (int i = 0; i < 5; ++i)
            ini.WriteString("Dependency" + IntToStr(i), "name", "old" + IntToStr(i));
    }
    {
        TIniFile ini(Path());
        ini.WriteInteger("General", "Count", 2);
        for (int i = 0; i < 2; ++i)
            ini.WriteString("Dependency" + IntToStr(i), "name", "new" + IntToStr(i));
    }
    TIniFile ini(Path());
    std::vector<UnicodeString> sections;
    ini.ReadSections(sections);
    EXPECT_EQ(sections, (std::vector<UnicodeString>{"General", "Dependency0", "Dependency1", "Dependency2",
                                                    "Dependency3", "Dependency4"}));
    EXPECT_EQ(ini.ReadInteger("General", "Count", 0), 2);
    EXPECT_EQ(ini.ReadString("Dependency1", "name", ""), "new1");
    EXPECT_EQ(ini.ReadString("Dependency4", "name", ""), "old4");
}

TEST_F(IniFile, ReadsLfAndCrLfAndOddLines)
{
    Save(Path(), "\xEF\xBB\xBF[S]\r\na=1\nb = two words \r\n  c=3  \n[ T ]\nd\ne=\n=f\n[Open\ng=7");
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadString("S", "a", ""), "1");
    EXPECT_EQ(ini.ReadString("S", "b", ""), "two words");
    EXPECT_EQ(ini.ReadInteger("S", "c", 0), 3);
    EXPECT_TRUE(ini.SectionExists("T"));
    EXPECT_FALSE(ini.ValueExists("T", "d"));
    EXPECT_TRUE(ini.ValueExists("T", "e"));
    EXPECT_EQ(ini.ReadString("T", "e", "fallback"), "");
    EXPECT_EQ(ini.ReadString("T", "", ""), "f");
    EXPECT_EQ(ini.ReadInteger("Open", "g", 0), 7);
}

TEST_F(IniFile, FirstOfDuplicateSectionsAndKeysWins)
{
    Save(Path(), "[S]\nk=1\nK=2\n[s]\nk=3\nm=4\n");
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadInteger("S", "k", 0), 1);
    EXPECT_FALSE(ini.ValueExists("S", "m"));
    std::vector<UnicodeString> names;
    ini.ReadSection("S", names);
    EXPECT_EQ(names, std::vector<UnicodeString>{"k"});
    ini.ReadSections(names);
    EXPECT_EQ(names, std::vector<UnicodeString>{"S"});
}

TEST_F(IniFile, GarbageBinaryAndEmptyFilesHoldNoProject)
{
    std::mt19937 random(7);
    std::string noise;
    for (int i = 0; i < 100000; ++i)
        noise += static_cast<char>(random() & 0xFF);
    TBitmap(40, 30).SaveToFile(Path("chart.png"));
    const std::string cases[] = {
        "", "\r\n\r\n", std::string("\xFF\xFE[\0G\0]\0", 8), noise, Load(Path("chart.png")),
        "[", "]]]===[[[", std::string(1000000, '['),
    };
    for (const std::string& bytes : cases) {
        Save(Path(), bytes);
        TIniFile ini(Path());
        EXPECT_EQ(ini.ReadInteger("General", "Count", 0), 0);
        EXPECT_FALSE(ini.SectionExists("General"));
    }
}

TEST_F(IniFile, ProjectsReadWhateverTheirLineEndsMarksAndNuls)
{
    const std::string crlf = "[General]\r\nCount=2\r\n[Dependency0]\r\nname=Caffeine\r\n";
    const std::string lf = "[General]\nCount=2\n[Dependency0]\nname=Caffeine\n";
    // The file after writing General/Saved=1.
    const std::string saved = "[General]\r\nCount=2\r\nSaved=1\r\n[Dependency0]\r\nname=Caffeine\r\n";
    const std::string bom = "\xEF\xBB\xBF";
    const std::string nul(1, '\0');
    const struct {
        const char* What;
        std::string File, After;
        TIniEncoding Encoding;
    } cases[] = {
        {"LF", lf, saved, ieAnsi},
        {"CR", "[General]\rCount=2\r[Dependency0]\rname=Caffeine", saved, ieAnsi},
        {"CR CR LF", "[General]\r\r\nCount=2\r\r\n[Dependency0]\r\r\nname=Caffeine\r\r\n", saved, ieAnsi},
        {"mixed", "[General]\r\nCount=2\r[Dependency0]\r\r\nname=Caffeine\n", saved, ieAnsi},
        {"CR before keys, comments and headers",
         "[General]\r\n\rCount=2\r\n\r;c=3\r\n\r[Dependency0]\r\n\rname=Caffeine\r\n",
         "[General]\r\n\r\nCount=2\r\n\r\n;c=3\r\nSaved=1\r\n\r\n[Dependency0]\r\n\r\nname=Caffeine\r\n", ieAnsi},
        {"NUL appended", crlf + nul, saved + nul + "\r\n", ieAnsi},
        {"NUL after a header", "[General]" + nul + lf.substr(9), "[General]" + nul + saved.substr(9), ieAnsi},
        {"byte-order mark", bom + crlf, bom + saved, ieUtf8},
        {"two byte-order marks", bom + bom + lf, bom + saved, ieUtf8},
        {"UTF-16 LE", Utf16WithMark(crlf, false), saved, ieUtf8},
        {"UTF-16 BE", Utf16WithMark(lf, true), saved, ieUtf8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        Save(Path(), c.File);
        {
            TIniFile ini(Path());
            std::vector<UnicodeString> names;
            ini.ReadSections(names);
            EXPECT_EQ(names, (std::vector<UnicodeString>{"General", "Dependency0"}));
            ini.ReadSection("General", names);
            EXPECT_EQ(names, std::vector<UnicodeString>{"Count"});
            EXPECT_EQ(ini.ReadInteger("General", "Count", 0), 2);
            EXPECT_EQ(ini.ReadString("Dependency0", "name", ""), "Caffeine");
            EXPECT_EQ(ini.GetEncoding(), c.Encoding);
            ini.WriteInteger("General", "Saved", 1);
        }
        EXPECT_EQ(Load(Path()), c.After);
    }
}

TEST_F(IniFile, FilesKeepTheirEncodingUntilATextNeedsUtf8)
{
    const struct {
        std::string File;
        UnicodeString Name;   // as read
        TIniEncoding Encoding;
        UnicodeString Value;   // written into S/k
        std::string After;
    } cases[] = {
        {"[S]\nname=Naprox\xE8ne\n", "Naproxène", ieAnsi, "µ", "[S]\r\nname=Naprox\xE8ne\r\nk=\xB5\r\n"},
        // A text beyond Windows-1252 converts the file, keeping its texts.
        {"[S]\nname=Naprox\xE8ne\n; r\xE9sum\xE9\n", "Naproxène", ieAnsi, "β-CD",
         "[S]\r\nname=Naproxène\r\n; résumé\r\nk=β-CD\r\n"},
        {"", "", ieAnsi, "γ-CD 5 %", "[S]\r\nk=γ-CD 5 %\r\n"},
        {"", "", ieAnsi, "(S)-Naproxène 😀", "[S]\r\nk=(S)-Naproxène 😀\r\n"},
        // Windows-1252 bytes that would read as UTF-8 are written as UTF-8.
        {"", "", ieAnsi, "Ã©", "[S]\r\nk=Ã©\r\n"},
        {"[S]\nname=Naproxène\n", "Naproxène", ieUtf8, "µ", "[S]\r\nname=Naproxène\r\nk=µ\r\n"},
        // Malformed UTF-8 in a file marked as UTF-8 reads as Windows-1252 and is written as UTF-8.
        {"\xEF\xBB\xBF[S]\nname=Naprox\xE8ne\n", "Naproxène", ieUtf8, "1",
         "\xEF\xBB\xBF[S]\r\nname=Naproxène\r\nk=1\r\n"},
        {"[S]\nname=Naprox\xC3\xA8ne \xB5\n", "NaproxÃ¨ne µ", ieAnsi, "1",
         "[S]\r\nname=Naprox\xC3\xA8ne \xB5\r\nk=1\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.File) + " " + c.Value);
        Save(Path(), c.File);
        {
            TIniFile ini(Path());
            EXPECT_EQ(ini.GetEncoding(), c.Encoding);
            EXPECT_EQ(ini.ReadString("S", "name", ""), c.Name);
            ini.WriteString("S", "k", c.Value);
            EXPECT_EQ(ini.ReadString("S", "k", ""), c.Value);
        }
        EXPECT_EQ(Load(Path()), c.After);
        TIniFile ini(Path());
        EXPECT_EQ(ini.ReadString("S", "name", ""), c.Name);
        EXPECT_EQ(ini.ReadString("S", "k", ""), c.Value);
    }
}

TEST_F(IniFile, NamesInAnyLetters)
{
    Save(Path(), "[S]\n?=ansi\n\xC9t\xE9=1\n");
    {
        TIniFile ini(Path());
        // A name that Windows-1252 lacks is not in such a file (and is not "?").
        EXPECT_FALSE(ini.ValueExists("S", "β"));
        EXPECT_FALSE(ini.SectionExists("β"));
        EXPECT_EQ(ini.ReadString("S", "ÉTÉ", ""), "1");
        ini.DeleteKey("S", "β");
        ini.WriteString("Cyclodextrine β", "Kβ", "2");
        EXPECT_EQ(ini.GetEncoding(), ieUtf8);
    }
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadString("S", "été", ""), "1");
    EXPECT_EQ(ini.ReadString("S", "?", ""), "ansi");
    EXPECT_EQ(ini.ReadString("CYCLODEXTRINE β", "kβ", ""), "2");
    std::vector<UnicodeString> names;
    ini.ReadSections(names);
    EXPECT_EQ(names, (std::vector<UnicodeString>{"S", "Cyclodextrine β"}));
    // Letters that differ stay different, also where their UTF-8 bytes look alike.
    const struct {
        UnicodeString A, B;
        bool Same;
    } pairs[] = {{"Ê", "ê", true},   {"Ÿ", "ÿ", true},   {"Š", "š", true},
                 {"Ê", "Ú", false},  {"×", "÷", false},  {"ſ", "Ÿ", false}, {"Β", "β", false}};
    for (const auto& p : pairs) {
        TIniFile utf8(Path());
        utf8.WriteString("Pairs", p.A, "a");
        utf8.WriteString("Pairs", p.B, "b");
        EXPECT_EQ(utf8.ReadString("Pairs", p.A, ""), p.Same ? "b" : "a") << p.A << " " << p.B;
        utf8.EraseSection("Pairs");
    }
}

TEST_F(IniFile, NamedPipeReadsAsEmptyWithoutBlockingAndIsNotWritten)
{
    ASSERT_EQ(mkfifo(Path().c_str(), 0644), 0);
    TIniFile ini(Path());
    EXPECT_FALSE(ini.SectionExists("General"));
    EXPECT_THROW(ini.WriteInteger("General", "Count", 1), EIniFileException);
}

TEST_F(IniFile, IntegersBooleansAndFallbacks)
{
    Save(Path(), "[S]\na=12abc\nb=\nc=$10\nd=0x1F\ne=2\nf=-1\ng=0\nh=yes\ni= 42 \nj=2147483648\n");
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadInteger("S", "a", -5), -5);
    EXPECT_EQ(ini.ReadInteger("S", "b", -5), -5);
    EXPECT_EQ(ini.ReadInteger("S", "c", 0), 16);
    EXPECT_EQ(ini.ReadInteger("S", "d", 0), 31);
    EXPECT_EQ(ini.ReadInteger("S", "i", 0), 42);
    EXPECT_EQ(ini.ReadInteger("S", "j", 9), 9);
    EXPECT_TRUE(ini.ReadBool("S", "e", false));
    EXPECT_TRUE(ini.ReadBool("S", "f", false));
    EXPECT_FALSE(ini.ReadBool("S", "g", true));
    EXPECT_TRUE(ini.ReadBool("S", "h", true));
    EXPECT_FALSE(ini.ReadBool("S", "h", false));
    EXPECT_FALSE(ini.ReadBool("S", "missing", false));
}

TEST_F(IniFile, RealsFollowTheDecimalSeparatorInForce)
{
    Save(Path(), "[S]\ncomma=0,485\npoint=20.5\nplain=25000\nexp=1E-9\nempty=\nhuge=1e400\nbound=1.7e308\nword=abc\n");
    {
        TIniFile ini(Path());
        EXPECT_EQ(ini.ReadFloat("S", "comma", 1), 1);
        EXPECT_EQ(ini.ReadFloat("S", "point", 1), 20.5);
        EXPECT_EQ(ini.ReadFloat("S", "empty", 1), 1);
        EXPECT_EQ(ini.ReadFloat("S", "huge", 1), 1);
        EXPECT_EQ(ini.ReadFloat("S", "bound", 1), 1.7e308);
        EXPECT_EQ(ini.ReadFloat("S", "word", 1), 1);

        FormatSettings.DecimalSeparator = L',';
        EXPECT_EQ(ini.ReadFloat("S", "comma", 1), 0.485);
        EXPECT_EQ(ini.ReadFloat("S", "point", 25), 25);
        EXPECT_EQ(ini.ReadFloat("S", "plain", 1), 25000);
        EXPECT_EQ(ini.ReadFloat("S", "exp", 1), 1e-9);
        ini.WriteFloat("S", "point", 20.5);
    }
    EXPECT_NE(Load(Path()).find("point=20,5\r\n"), std::string::npos);
}

TEST_F(IniFile, NonFiniteRealsAreRefusedBeforeTouchingTheFile)
{
    TIniFile ini(Path());
    EXPECT_THROW(ini.WriteFloat("S", "x", std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
    EXPECT_THROW(ini.WriteFloat("S", "x", std::numeric_limits<double>::infinity()), EOverflow);
    EXPECT_FALSE(ini.SectionExists("S"));
}

TEST_F(IniFile, TextsRoundTripThroughWindows1252)
{
    std::string every;
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n')
            every += static_cast<char>(b);
    const UnicodeString texts[] = {
        "Caffeine µ-é €", "  padded  ", "\"quoted\"", "'single'", "\"", "a=b=c", "; not a comment", "[x]",
        "", AnsiToUtf8(AnsiString(every)), AnsiToUtf8(AnsiString("\x81\x8D\x8F\x90\x9D")),
    };
    {
        TIniFile ini(Path());
        for (size_t i = 0; i < std::size(texts); ++i)
            ini.WriteString("Texts", "t" + std::to_string(i), texts[i]);
    }
    const std::string bytes = Load(Path());
    EXPECT_NE(bytes.find("t0=Caffeine \xB5-\xE9 \x80\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("t1=\"  padded  \"\r\n"), std::string::npos);
    TIniFile ini(Path());
    for (size_t i = 0; i < std::size(texts); ++i)
        EXPECT_EQ(ini.ReadString("Texts", "t" + std::to_string(i), "?"), texts[i]) << i;
    EXPECT_EQ(ini.GetEncoding(), ieAnsi);
}

TEST_F(IniFile, LineBreaksInValuesCannotInjectLines)
{
    {
        TIniFile ini(Path());
        ini.WriteString("S", "name", "evil\r\n[General]\r\nCount=99");
        ini.WriteString("S\n", "k\r", std::string("a\0b", 3));
        ini.WriteString("S", std::string("\0n", 2), "v");
    }
    TIniFile ini(Path());
    EXPECT_FALSE(ini.SectionExists("General"));
    EXPECT_EQ(ini.ReadString("S", "name", ""), "evil  [General]  Count=99");
    // NUL is an ordinary byte, of values and of names.
    EXPECT_EQ(ini.ReadString("S", "k", ""), std::string("a\0b", 3));
    EXPECT_EQ(ini.ReadString("S", std::string("\0N", 2), ""), "v");
    EXPECT_FALSE(ini.ValueExists("S", " n"));
}

TEST_F(IniFile, EraseSectionDeleteKeyAndListings)
{
    Save(Path(), "[A]\nx=1\ny=2\nX=3\n[B]\nz=3\n[a]\nq=4\n[C]\n");
    {
        TIniFile ini(Path());
        std::vector<UnicodeString> lines;
        ini.ReadSectionValues("A", lines);
        EXPECT_EQ(lines, (std::vector<UnicodeString>{"x=1", "y=2"}));
        TStringList list;
        list.Add("stale");
        int changes = 0;
        list.OnChange = [&](TObject*) { ++changes; };
        ini.ReadSections(&list);
        EXPECT_EQ(list.GetText(), "A\r\nB\r\nC\r\n");
        EXPECT_EQ(changes, 1);
        ini.ReadSection("A", &list);
        EXPECT_EQ(list.GetText(), "x\r\ny\r\n");

        ini.DeleteKey("a", "X");
        EXPECT_FALSE(ini.ValueExists("A", "x"));
        EXPECT_EQ(ini.ReadInteger("A", "y", 0), 2);
        ini.EraseSection("a");
        EXPECT_FALSE(ini.SectionExists("A"));
        EXPECT_EQ(ini.ReadInteger("B", "z", 0), 3);
        ini.DeleteKey("B", "missing");
        ini.EraseSection("missing");
        ini.WriteString("B", "w", "5");
    }
    EXPECT_EQ(Load(Path()), "[B]\r\nz=3\r\nw=5\r\n[C]\r\n");
}

TEST_F(IniFile, ReadOnlyFileRefusesTheFirstWriteAndStaysIntact)
{
    const std::string before = "[General]\nCount=5\n";
    Save(Path(), before);
    fs::permissions(Path(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    {
        TIniFile ini(Path());
        try {
            ini.WriteInteger("General", "Count", 2);
            FAIL() << "no exception";
        } catch (const EIniFileException& e) {
            EXPECT_EQ(e.Message(), "Unable to write to " + Path());
        }
        EXPECT_THROW(ini.WriteString("Dependency0", "name", "x"), EIniFileException);
        EXPECT_EQ(ini.ReadInteger("General", "Count", 0), 5);
    }
    EXPECT_EQ(Load(Path()), before);
    EXPECT_TRUE(Others().empty());
}

TEST_F(IniFile, MissingOrUnusableFolderRefusesTheFirstWrite)
{
    const std::string missing = (Dir / "gone" / "p.ini").string();
    Save(Path("plain"), "x");
    fs::create_directory(Dir / "folder.ini");
    for (const std::string& name : {missing, (Dir / "plain" / "p.ini").string(), (Dir / "folder.ini").string(),
                                    std::string()}) {
        TIniFile ini(name);
        try {
            ini.WriteString("S", "k", "v");
            FAIL() << "no exception for " << name;
        } catch (const EIniFileException& e) {
            EXPECT_EQ(e.Message(), "Unable to write to " + name);
        }
    }
    EXPECT_FALSE(fs::exists(Dir / "gone"));
}

TEST_F(IniFile, FailedUpdateKeepsThePreviousFile)
{
    const std::string before = "[General]\r\nCount=5\r\n";
    Save(Path(), before);
    {
        TIniFile ini(Path());
        ini.WriteInteger("General", "Count", 2);
        // The file turns read-only between the first write and the update.
        fs::permissions(Path(), fs::perms::owner_read);
        EXPECT_THROW(ini.UpdateFile(), EIniFileException);
    }
    // Nor does the destructor try again behind the caller's back.
    EXPECT_EQ(Load(Path()), before);

    fs::permissions(Path(), fs::perms::owner_read | fs::perms::owner_write);
    {
        TIniFile ini(Path());
        ini.WriteInteger("General", "Count", 2);
        fs::remove_all(Dir);   // the folder goes away before the update
        EXPECT_THROW(ini.UpdateFile(), EIniFileException);
    }
}

TEST_F(IniFile, AnOperationEndedByAnExceptionLeavesTheFileAsItWas)
{
    const std::string before = "[General]\r\nCount=5\r\n";
    Save(Path(), before);
    try {
        TIniFile ini(Path());
        ini.WriteInteger("General", "Count", 2);
        ini.WriteString("Dependency0", "name", "half done");
        ini.WriteFloat("Dependency0", "cMin", std::numeric_limits<double>::quiet_NaN());
    } catch (const EInvalidOp&) {
    }
    EXPECT_EQ(Load(Path()), before);
    EXPECT_TRUE(Others().empty());

    // An object made while another exception unwinds (in a destructor) still writes when its
    // own operation ends normally.
    struct TWriter {
        std::string Path;
        ~TWriter()
        {
            TIniFile ini(Path);
            ini.WriteInteger("General", "Count", 3);
        }
    };
    try {
        TWriter w{Path()};
        throw std::runtime_error("unwinding");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(Load(Path()), "[General]\r\nCount=3\r\n");
}

TEST_F(IniFile, UpdateReplacesTheFileAtomicallyKeepingItsMode)
{
    Save(Path(), "[S]\nk=1\n");
    fs::permissions(Path(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    struct stat st {};
    ASSERT_EQ(stat(Path().c_str(), &st), 0);
    const ino_t oldInode = st.st_ino;
    {
        TIniFile ini(Path());
        ini.WriteString("S", "k", "1");   // same value: nothing to write
        ini.UpdateFile();
        ASSERT_EQ(stat(Path().c_str(), &st), 0);
        EXPECT_EQ(st.st_ino, oldInode);
        ini.WriteString("S", "k", "2");
        ini.UpdateFile();
        EXPECT_EQ(Load(Path()), "[S]\r\nk=2\r\n");
        ASSERT_EQ(stat(Path().c_str(), &st), 0);
        EXPECT_NE(st.st_ino, oldInode);   // a new file took the old one's place
        ini.WriteString("S", "k", "3");
        EXPECT_EQ(Load(Path()), "[S]\r\nk=2\r\n");
    }
    EXPECT_EQ(Load(Path()), "[S]\r\nk=3\r\n");
    ASSERT_EQ(stat(Path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_TRUE(Others().empty());
}

TEST_F(IniFile, WritesThroughASymbolicLink)
{
    Save(Path("real.ini"), "[S]\nk=1\n");
    fs::create_symlink(Path("real.ini"), Path("link.ini"));
    {
        TIniFile ini(Path("link.ini"));
        EXPECT_EQ(ini.ReadInteger("S", "k", 0), 1);
        ini.WriteInteger("S", "k", 2);
    }
    EXPECT_TRUE(fs::is_symlink(Path("link.ini")));
    EXPECT_EQ(Load(Path("real.ini")), "[S]\r\nk=2\r\n");
}

TEST_F(IniFile, RelativeFileName)
{
    const fs::path old = fs::current_path();
    fs::current_path(Dir);
    {
        TIniFile ini("rel.ini");
        ini.WriteInteger("S", "k", 1);
    }
    fs::current_path(old);
    EXPECT_EQ(Load(Path("rel.ini")), "[S]\r\nk=1\r\n");
}

namespace {

// Where a save in a child process stops, and the pipe on which it says that it has.
const char* StopAt = "";
int StoppedPipe = -1;

void StopThere(const char* Step, const std::string&)
{
    const char byte = 1;
    if (std::strcmp(Step, StopAt) == 0 && ::write(StoppedPipe, &byte, 1) == 1)
        for (;;)
            ::pause();
}

} // namespace

TEST_F(IniFile, ASaveKilledAtAnyStepLeavesNothingBehind)
{
    const struct {
        const char* Step;
        bool NamedOnly;   // as on a file system without unnamed files
    } cases[] = {{"created", false}, {"written", false}, {"named", false},
                 {"created", true},  {"written", true},  {"named", true}};
    pid_t dead = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Step) + (c.NamedOnly ? ", named temporary" : ", unnamed temporary"));
        Save(Path(), "[General]\r\nCount=1\r\n");
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            StopAt = c.Step;
            StoppedPipe = fds[1];
            ReplaceFileStep = StopThere;
            ReplaceFileNamedOnly = c.NamedOnly;
            try {
                TIniFile ini(Path());
                ini.WriteInteger("General", "Count", 2);
                ini.UpdateFile();
            } catch (...) {
            }
            ::_exit(0);
        }
        ::close(fds[1]);
        char byte = 0;
        const bool stopped = ::read(fds[0], &byte, 1) == 1;
        ::close(fds[0]);
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(stopped) << "the save did not come to that step";
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        dead = child;
        // An unnamed temporary went with the process; a named one is left to the next save.
        const bool named = c.NamedOnly || std::strcmp(c.Step, "named") == 0;
        EXPECT_EQ(Others().size(), named ? 1u : 0u);
        EXPECT_EQ(Load(Path()), "[General]\r\nCount=1\r\n");
        TIniFile(Path()).WriteInteger("General", "Count", 3);
        EXPECT_EQ(Load(Path()), "[General]\r\nCount=3\r\n");
        EXPECT_TRUE(Others().empty());
    }
    // Only temporaries of this file whose process is gone are removed.
    const std::string kept[] = {".project.ini.1.0.tmp", ".other.ini." + std::to_string(dead) + ".0.tmp",
                                ".project.ini." + std::to_string(dead) + ".x.tmp"};
    for (const std::string& name : kept)
        Save(Path(name), "x");
    Save(Path(".project.ini." + std::to_string(dead) + ".12.tmp"), "x");
    TBitmap(2, 2).SaveToFile(Path());
    EXPECT_EQ(Others().size(), std::size(kept));
}
