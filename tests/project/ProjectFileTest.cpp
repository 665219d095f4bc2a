// The project file: what is written, what is read back, and which files are refused.
#include "project/ProjectFile.h"

#include "platform/IniFiles.h"

#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class ProjectFile : public ::testing::Test {
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

    TTempFolder Temp{"corvane-project"};
    const fs::path& Dir = Temp.Dir();

private:
    TFormatSettings FSaved;
};

// Every key of a dependency section with the default record's values.
std::string FullSection()
{
    return "name=n\nanalyte1=a\nanalyte2=b\nselector=s\ncMin=0\ncMax=20\npoints=21\npH=7\napplypH=0\n"
           "a1pKa=0\na1hu0=1E-9\na1huCS=1E-9\na1hK=1\na1lu0=1E-9\na1luCS=1E-9\na1lK=1\n"
           "a2pKa=0\na2hu0=1E-9\na2huCS=1E-9\na2hK=1\na2lu0=1E-9\na2luCS=1E-9\na2lK=1\n"
           "Capillary=0.485\nDetector=0.4\nVoltage=25000\nTemperature=25\nEOF=0\nEOFSlope=0\nPressure=0\n"
           "Radius=5E-5\nu01=0\nu02=0\nu1=0\nu2=0\nK1=0\nK2=0\nz01=0\nz02=0\nzCS=0\n"
           "D01=1E-9\nD02=1E-9\nD1=1E-9\nD2=1E-9";
}

// Every stored double of a record, in file order, for comparisons.
std::vector<double> Reals(const DependencyRecord& r)
{
    const Params& p = r.Params;
    const PhysParams& f = p.phys;
    std::vector<double> v = {p.cMin, p.cMax, p.pH};
    for (const PhParams* a : {&p.a1, &p.a2})
        v.insert(v.end(), {a->pKa, a->hu0, a->huCS, a->hK, a->lu0, a->luCS, a->lK});
    v.insert(v.end(), {f.Capillary, f.Detector, f.Voltage, f.Temperature, f.EOF, f.EOFSlope, f.Pressure,
                       f.Radius, f.u01, f.u02, f.u1, f.u2, f.K1, f.K2, f.z01, f.z02, f.zCS, f.D01, f.D02, f.D1,
                       f.D2, f.FlowVelocity, f.FieldStrength, f.AbsTemperature});
    return v;
}

void ExpectSame(const DependencyRecord& a, const DependencyRecord& b)
{
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.analyte1, b.analyte1);
    EXPECT_EQ(a.analyte2, b.analyte2);
    EXPECT_EQ(a.selector, b.selector);
    EXPECT_EQ(a.Params.points, b.Params.points);
    EXPECT_EQ(a.Params.applypH, b.Params.applypH);
    const std::vector<double> x = Reals(a), y = Reals(b);
    for (size_t i = 0; i < x.size(); ++i)
        EXPECT_EQ(x[i], y[i]) << "real " << i;
}

const char* const DefaultSection =
    "[Dependency0]\r\nname=<unnamed>\r\nanalyte1=<Analyte 1>\r\nanalyte2=<Analyte 2>\r\nselector=<Selector>\r\n"
    "cMin=0\r\ncMax=20\r\npoints=21\r\npH=7\r\napplypH=0\r\n"
    "a1pKa=0\r\na1hu0=1E-9\r\na1huCS=1E-9\r\na1hK=1\r\na1lu0=1E-9\r\na1luCS=1E-9\r\na1lK=1\r\n"
    "a2pKa=0\r\na2hu0=1E-9\r\na2huCS=1E-9\r\na2hK=1\r\na2lu0=1E-9\r\na2luCS=1E-9\r\na2lK=1\r\n"
    "Capillary=0.485\r\nDetector=0.4\r\nVoltage=25000\r\nTemperature=25\r\nEOF=0\r\nEOFSlope=0\r\n"
    "Pressure=0\r\nRadius=5E-5\r\nu01=0\r\nu02=0\r\nu1=0\r\nu2=0\r\nK1=0\r\nK2=0\r\nz01=0\r\nz02=0\r\nzCS=0\r\n"
    "D01=1E-9\r\nD02=1E-9\r\nD1=1E-9\r\nD2=1E-9\r\n";

} // namespace

TEST_F(ProjectFile, DefaultRecordIsWrittenKeyByKeyInOrder)
{
    WriteProjectFile(Path(), {DependencyRecord{}});
    EXPECT_EQ(Load(Path()), std::string("[General]\r\nDecSep=46\r\nCount=1\r\n") + DefaultSection);

    const ProjectContents read = ReadProjectFile(Path());
    ASSERT_EQ(read.Records.size(), 1u);
    ExpectSame(read.Records[0], DependencyRecord{});
    EXPECT_EQ(read.DecimalSeparator, L'.');
}

TEST_F(ProjectFile, ShorterProjectKeepsTheSurplusSectionsButCountsOnlyItsOwn)
{
    std::vector<DependencyRecord> five(5);
    for (size_t i = 0; i < five.size(); ++i)
        five[i].name = AnsiString("old " + std::to_string(i));
    WriteProjectFile(Path(), five);
    std::vector<DependencyRecord> two(2);
    two[1].name = "new";
    WriteProjectFile(Path(), two);

    const TIniFile ini(Path());
    std::vector<UnicodeString> sections;
    ini.ReadSections(sections);
    EXPECT_EQ(sections, (std::vector<UnicodeString>{"General", "Dependency0", "Dependency1", "Dependency2",
                                                    "Dependency3", "Dependency4"}));
    EXPECT_EQ(ini.ReadInteger("General", "Count", 0), 2);
    EXPECT_EQ(ini.ReadString("Dependency4", "name", ""), "old 4");
    const ProjectContents read = ReadProjectFile(Path());
    ASSERT_EQ(read.Records.size(), 2u);
    EXPECT_EQ(read.Records[1].name, AnsiString("new"));
}

TEST_F(ProjectFile, CommaSeparatorBothWays)
{
    FormatSettings.DecimalSeparator = L',';
    DependencyRecord r;
    r.Params.phys.Temperature = 20.5;
    r.Params.phys.Derive();
    WriteProjectFile(Path(), {r});
    const std::string bytes = Load(Path());
    EXPECT_NE(bytes.find("DecSep=44\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("Capillary=0,485\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("Temperature=20,5\r\n"), std::string::npos);

    // Read back while the program writes "."; the program's settings stay as they are.
    FormatSettings.DecimalSeparator = L'.';
    ProjectContents read = ReadProjectFile(Path());
    EXPECT_EQ(read.DecimalSeparator, L',');
    EXPECT_EQ(FormatSettings.DecimalSeparator, L'.');
    ASSERT_EQ(read.Records.size(), 1u);
    ExpectSame(read.Records[0], r);

    // A file that says "," but writes its reals with ".": those reals keep their defaults.
    Save(Path(), "[General]\r\nDecSep=44\r\nCount=1\r\n[Dependency0]\r\nTemperature=20.5\r\nVoltage=30000\r\n"
                 "a1hu0=2E-9\r\nCapillary=0.6\r\nDetector=0,5\r\n");
    read = ReadProjectFile(Path());
    ASSERT_EQ(read.Records.size(), 1u);
    const PhysParams& f = read.Records[0].Params.phys;
    EXPECT_EQ(f.Temperature, 25);
    EXPECT_EQ(f.Capillary, 0.485);
    EXPECT_EQ(f.Voltage, 30000);
    EXPECT_EQ(read.Records[0].Params.a1.hu0, 2e-9);
    EXPECT_EQ(f.Detector, 0.5);
    EXPECT_EQ(f.FieldStrength, 30000 / 0.485);
}

TEST_F(ProjectFile, MissingKeysSectionsAndUnreadableValuesKeepTheDefaults)
{
    Save(Path(), "[General]\nCount=3\n[Dependency0]\nname=only a name\npoints=many\napplypH=yes\ncMax=\n"
                 "[Dependency2]\nVoltage=abc\n");
    const ProjectContents read = ReadProjectFile(Path());
    ASSERT_EQ(read.Records.size(), 3u);
    DependencyRecord expected;
    expected.name = "only a name";
    ExpectSame(read.Records[0], expected);
    ExpectSame(read.Records[1], DependencyRecord{});
    ExpectSame(read.Records[2], DependencyRecord{});
}

TEST_F(ProjectFile, OnlyThePhysicalDerivationRunsOnReading)
{
    Save(Path(), "[General]\nCount=2\n"
                 "[Dependency0]\nz01=2\nu01=3E-8\nD01=7\nTemperature=30\nz02=0\nD02=8\nPressure=1000\n"
                 "[Dependency1]\napplypH=1\npH=3\na1pKa=4\nu01=1E-8\nu02=2E-8\nu1=3E-9\nu2=4E-9\nK1=0.5\nK2=0.25\n");
    const ProjectContents read = ReadProjectFile(Path());
    ASSERT_EQ(read.Records.size(), 2u);
    const PhysParams& f = read.Records[0].Params.phys;
    EXPECT_DOUBLE_EQ(f.AbsTemperature, 303.15);
    EXPECT_DOUBLE_EQ(f.D01, BoltzmannConstant * 303.15 * 3e-8 / (ElementaryCharge * 2));
    EXPECT_EQ(f.D02, 8);   // no charge: as stored
    EXPECT_DOUBLE_EQ(f.FlowVelocity, 1000 * 5e-5 * 5e-5 * 0.125 * InverseViscosity / 0.485);

    const Params& p = read.Records[1].Params;
    EXPECT_TRUE(p.applypH);
    EXPECT_EQ(p.phys.u01, 1e-8);
    EXPECT_EQ(p.phys.u02, 2e-8);
    EXPECT_EQ(p.phys.u1, 3e-9);
    EXPECT_EQ(p.phys.u2, 4e-9);
    EXPECT_EQ(p.phys.K1, 0.5);
    EXPECT_EQ(p.phys.K2, 0.25);
}

TEST_F(ProjectFile, ACountOfZeroIsAnEmptyProject)
{
    FormatSettings.DecimalSeparator = L',';
    for (const std::string bytes : {"[General]\r\nDecSep=46\r\nCount=0\r\n[Dependency0]\r\nname=x\r\n",
                                    "[General]\r\nCount=0\r\n"}) {
        Save(Path(), bytes);
        const ProjectContents read = ReadProjectFile(Path());
        EXPECT_TRUE(read.Records.empty()) << bytes;
        EXPECT_EQ(read.DecimalSeparator, bytes.find("DecSep=46") != std::string::npos ? L'.' : L',') << bytes;
    }
    EXPECT_EQ(FormatSettings.DecimalSeparator, L',');
}

// A file without the count of its dependencies is no project, not an empty one: loading it
// would throw the open list away.
TEST_F(ProjectFile, FilesThatAreNotProjectsAreRefused)
{
    const std::string png("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x06\0\0\0\x1F\x15\xC4\x89", 33);
    const std::string files[] = {
        "",
        "not an ini file at all\n\x01\x02\xFF",
        "Dear colleague,\r\nthe buffer is 25 mM borate.\r\n",
        png,
        "[Dependency0]\r\nname=x\r\n",
        "[General]\r\nDecSep=46\r\n[Dependency0]\r\nname=x\r\n",
        "[Generally]\r\nCount=1\r\n",
        "[General]\r\n;Count=1\r\n",
    };
    FormatSettings.DecimalSeparator = L',';
    for (const std::string& bytes : files) {
        Save(Path(), bytes);
        try {
            ReadProjectFile(Path());
            ADD_FAILURE() << "read: " << bytes;
        } catch (const EProjectFileError& e) {
            EXPECT_EQ(e.Message(), "Cannot load " + Path() +
                                       ": it is not a Corvane project (it has no [General] section with a Count).");
        }
    }
    EXPECT_THROW(ReadProjectFile(Path("missing.ini")), EProjectFileError);
    EXPECT_EQ(FormatSettings.DecimalSeparator, L',');
}

TEST_F(ProjectFile, FilesThatCannotBeLoadedAreRefusedWithTheirReason)
{
    struct TCase {
        std::string General;
        std::string Dependency;
        std::string Message;   // a part of the message
    } cases[] = {
        {"Count=1", "Capillary=0", "Floating point division by zero"},
        {"Count=2", "Voltage=1E300\nCapillary=1E-300", "Floating point overflow"},
        {"Count=-1", "", "(-1) is not between 0 and 100000"},
        {"Count=99999999", "", "(99999999) is not between 0 and 100000"},
        {"Count=100001", "", "not between 0 and 100000"},
        {"Count=99999999999", "", "(99999999999) is not between"},
        {"Count=$FFFFFFFF", "", "(-1) is not between"},
        {"Count=abc", "", "(abc) is not between"},
        {"Count=", "", "() is not between"},
        {"DecSep=48\nCount=1", "", "character code 48"},
        {"DecSep=43\nCount=1", "", "character code 43"},
        {"DecSep=45\nCount=1", "", "character code 45"},
        {"DecSep=69\nCount=1", "", "character code 69"},
        {"DecSep=101\nCount=1", "", "character code 101"},
        {"DecSep=9\nCount=1", "", "character code 9"},
        {"DecSep=0\nCount=1", "", "character code 0"},
        {"DecSep=181\nCount=1", "", "character code 181"},
        {"DecSep=-44\nCount=1", "", "character code -44"},
    };
    FormatSettings.DecimalSeparator = L',';
    for (const TCase& c : cases) {
        Save(Path(), "[General]\n" + c.General + "\n[Dependency0]\n" + c.Dependency + "\n[Dependency1]\n" +
                         c.Dependency + "\n");
        try {
            ReadProjectFile(Path());
            ADD_FAILURE() << "no exception for " << c.General;
        } catch (const Exception& e) {
            EXPECT_NE(e.Message().find(c.Message), std::string::npos) << e.Message();
        }
        EXPECT_EQ(FormatSettings.DecimalSeparator, L',');
    }
}

// A dependency that cannot be computed refuses the file with a message that names it and, where
// one value is to blame, the key.
TEST_F(ProjectFile, ADependencyThatCannotBeComputedIsNamedWithItsKey)
{
    const struct {
        const char* Keys;
        const char* Message;
    } cases[] = {
        {"Capillary=0", "Capillary: Floating point division by zero"},
        {"Voltage=1E300\nCapillary=1E-300", "Capillary: Floating point overflow"},
        {"Voltage=1.7E308\nCapillary=0.5", "Voltage: Floating point overflow"},
        {"Pressure=1E300\nRadius=1E10", "Pressure: Floating point overflow"},
        {"z01=1.7E308\nzCS=1.7E308", "zCS: Floating point overflow"},
        {"z02=1E-300\nu02=1E10", "u02: Floating point overflow"},
        {"points=0", "points: Floating point division by zero"},
        {"points=2000000", "points: Too many data points: 2000000 (at most 1000000)."},
        {"cMin=-1.7E308\ncMax=1.7E308", "cMax: Floating point overflow"},
        // A fault at one concentration of the sweep: no single key is to blame.
        {"u01=1.7E308\nEOF=1.7E308", "Floating point overflow"},
    };
    for (const auto& c : cases) {
        Save(Path(), std::string("[General]\nCount=2\n[Dependency0]\nname=fine\n[Dependency1]\nname=K2=500\n") +
                         c.Keys + "\n");
        try {
            ReadProjectFile(Path());
            ADD_FAILURE() << "read: " << c.Keys;
        } catch (const EProjectFileError& e) {
            EXPECT_EQ(e.Message(), std::string("Dependency 2 (K2=500): ") + c.Message) << c.Keys;
        }
    }
}

// What a load takes from the defaults is listed, and nothing about what is loaded changes.
TEST_F(ProjectFile, EveryGuessIsListed)
{
    std::string longName(40000, 'x');
    Save(Path(), "[General]\nCount=4\n[Dependency0]\nname=only a name\npoints=many\napplypH=yes\ncMax=\n"
                 "[Dependency2]\nname=" + longName + "\nVoltage=abc\n[Dependency3]\n" + FullSection() + "\n");
    const ProjectContents read = ReadProjectFile(Path());
    ASSERT_EQ(read.Records.size(), 4u);
    EXPECT_EQ(read.Records[2].name.Bytes(), longName);
    EXPECT_EQ(read.Records[2].Params.phys.Voltage, 25000);
    const std::vector<UnicodeString> expected = {
        "General: no DecSep; the decimal separator stays \".\".",
        "Dependency 1 (only a name): no analyte1, analyte2, selector, cMin, pH, a1pKa, a1hu0, a1huCS, a1hK, a1lu0, "
        "a1luCS, a1lK, a2pKa, a2hu0, a2huCS, a2hK, a2lu0, a2luCS, a2lK, Capillary, Detector, Voltage, Temperature, "
        "EOF, EOFSlope, Pressure, Radius, u01, u02, u1, u2, K1, K2, z01, z02, zCS, D01, D02, D1, D2; the defaults "
        "are used.",
        "Dependency 1 (only a name): cMax \"\" is not a number; 20 used.",
        "Dependency 1 (only a name): points \"many\" is not a whole number; 21 used.",
        "Dependency 1 (only a name): applypH \"yes\" is not a whole number; 0 used.",
        "Dependency 2: no section [Dependency1]; the default dependency is used.",
        "Dependency 3 (" + std::string(60, 'x') + "...): no analyte1, analyte2, selector, cMin, cMax, points, pH, "
        "applypH, a1pKa, a1hu0, a1huCS, a1hK, a1lu0, a1luCS, a1lK, a2pKa, a2hu0, a2huCS, a2hK, a2lu0, a2luCS, a2lK, "
        "Capillary, Detector, Temperature, EOF, EOFSlope, Pressure, Radius, u01, u02, u1, u2, K1, K2, z01, z02, zCS, "
        "D01, D02, D1, D2; the defaults are used.",
        "Dependency 3 (" + std::string(60, 'x') + "...): name has 40000 characters; its field shows the first 32767.",
        "Dependency 3 (" + std::string(60, 'x') + "...): Voltage \"abc\" is not a number; 25000 used.",
    };
    EXPECT_EQ(read.Guesses, expected);

    // A complete file guesses nothing.
    Save(Path(), "[General]\nDecSep=46\nCount=1\n[Dependency0]\n" + FullSection() + "\n");
    EXPECT_TRUE(ReadProjectFile(Path()).Guesses.empty());
}

TEST_F(ProjectFile, TheLoadReportIsShortAndSaysWhatChanged)
{
    ProjectContents c;
    c.DecimalSeparator = L'.';
    EXPECT_EQ(LoadReport("p.ini", c, L'.'), "");
    EXPECT_EQ(LoadReport("p.ini", c, L','),
              "The decimal separator is now \".\" (it was \",\"), as in p.ini: the numeric fields expect it.");
    for (int i = 0; i < 21; ++i)
        c.Guesses.push_back("guess " + std::to_string(i));
    std::string all = "p.ini was loaded, but not all of it could be read:";
    for (int i = 0; i < 21; ++i)
        all += "\nguess " + std::to_string(i);
    EXPECT_EQ(LoadReport("p.ini", c, L'.'), all);   // 21 lines: no "1 more"
    c.Guesses.push_back("guess 21");
    const UnicodeString report = LoadReport("p.ini", c, L',');
    EXPECT_NE(report.find("\nguess 19\n... and 2 more.\n\nThe decimal separator is now"), std::string::npos) << report;
    EXPECT_EQ(report.find("guess 20"), std::string::npos);
}

TEST_F(ProjectFile, AFileThatExistsButCannotBeReadIsRefused)
{
    // A folder under the project's name, and a file without read permission (root reads every
    // file, so the folder is the case that holds for every user).
    fs::create_directory(Path("folder.ini"));
    const std::string hidden = Path("hidden.ini");
    Save(hidden, "[General]\nCount=1\n");
    fs::permissions(hidden, fs::perms::none);
    for (const std::string& p : {Path("folder.ini"), hidden}) {
        const bool unreadable = !std::ifstream(p).good() || fs::is_directory(p);
        if (!unreadable)
            continue;
        try {
            ReadProjectFile(p);
            ADD_FAILURE() << "no exception for " << p;
        } catch (const EProjectFileError& e) {
            EXPECT_NE(e.Message().find("cannot be read"), std::string::npos) << e.Message();
        }
    }
    // Nor is a file that is not there an empty project.
    try {
        ReadProjectFile(Path("absent.ini"));
        ADD_FAILURE() << "no exception for a missing file";
    } catch (const EProjectFileError& e) {
        EXPECT_EQ(e.Message(), "Cannot load " + Path("absent.ini") + ": the file does not exist.");
    }
}

TEST_F(ProjectFile, SeparatorsAndCountsAtTheirLimitsAreAccepted)
{
    for (const char* decSep : {"32", "44", "46", "59", "126", "47"}) {
        Save(Path(), std::string("[General]\nDecSep=") + decSep + "\nCount=1\n");
        EXPECT_EQ(ReadProjectFile(Path()).DecimalSeparator, static_cast<WideChar>(std::stoi(decSep)));
    }
    // The program's own separator is taken back even where a file could not name it.
    FormatSettings.DecimalSeparator = L'\u066B';
    Save(Path(), "[General]\nDecSep=1643\nCount=0\n");
    EXPECT_EQ(ReadProjectFile(Path()).DecimalSeparator, L'\u066B');
    FormatSettings.DecimalSeparator = L'.';

    Save(Path(), "[General]\nCount=100000\n");
    const ProjectContents read = ReadProjectFile(Path());
    ASSERT_EQ(read.Records.size(), 100000u);
    ExpectSame(read.Records.back(), DependencyRecord{});
}

TEST_F(ProjectFile, FailedSaveKeepsTheOldFileByteForByte)
{
    const std::string before = "[General]\nDecSep=46\nCount=5\n[Dependency0]\nname=kept\n";
    Save(Path(), before);
    fs::permissions(Path(), fs::perms::owner_read);
    try {
        WriteProjectFile(Path(), std::vector<DependencyRecord>(2));
        FAIL() << "no exception";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + Path());
    }
    EXPECT_EQ(Load(Path()), before);

    // A value that cannot be written ends the save before anything reaches the disk.
    fs::permissions(Path(), fs::perms::owner_read | fs::perms::owner_write);
    std::vector<DependencyRecord> records(3);
    records[2].Params.phys.Pressure = std::nan("");
    EXPECT_THROW(WriteProjectFile(Path(), records), EInvalidOp);
    EXPECT_EQ(Load(Path()), before);
    // So does a list longer than any project can be loaded with.
    EXPECT_THROW(WriteProjectFile(Path(), std::vector<DependencyRecord>(100001)), EProjectFileError);
    EXPECT_EQ(Load(Path()), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()), 1);
}

TEST_F(ProjectFile, ReadsTheOriginalsHandWrittenFiles)
{
    // Windows-1252 bytes, CRLF, "," and keys in other letter cases.
    Save(Path(), "[GENERAL]\r\ndecsep=44\r\nCOUNT=1\r\n[dependency0]\r\nNAME=Naprox\xE8ne 20 \xB5M\r\n"
                 "Analyte1=Naprox\xE8ne\r\nANALYTE2=Ibuprof\xE8ne\r\nSelector=\xDF-CD 25 \xB0" "C\r\n"
                 "CAPILLARY=0,6\r\ntemperature=37,5\r\nPOINTS=11\r\nAPPLYPH=1\r\n");
    const ProjectContents read = ReadProjectFile(Path());
    EXPECT_EQ(read.DecimalSeparator, L',');
    ASSERT_EQ(read.Records.size(), 1u);
    const DependencyRecord& r = read.Records[0];
    EXPECT_EQ(r.name, AnsiString("Naprox\xE8ne 20 \xB5M"));
    EXPECT_EQ(AnsiToUtf8(r.name), "Naproxène 20 µM");
    EXPECT_EQ(AnsiToUtf8(r.analyte2), "Ibuprofène");
    EXPECT_EQ(AnsiToUtf8(r.selector), "ß-CD 25 °C");
    EXPECT_EQ(r.Params.phys.Capillary, 0.6);
    EXPECT_EQ(r.Params.phys.Temperature, 37.5);
    EXPECT_EQ(r.Params.points, 11);
    EXPECT_TRUE(r.Params.applypH);
}

TEST_F(ProjectFile, TextsAreSavedAsWindows1252Bytes)
{
    DependencyRecord r;
    r.name = Utf8ToAnsi("β-CD 25 °C");
    r.analyte1 = Utf8ToAnsi("Naproxène");
    WriteProjectFile(Path(), {r});
    const std::string bytes = Load(Path());
    EXPECT_NE(bytes.find("\r\nname=?-CD 25 \xB0" "C\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\nanalyte1=Naprox\xE8ne\r\n"), std::string::npos);
}

// Names in the chemist's own letters: a text beyond Windows-1252 makes the file UTF-8, marked in
// General; texts that fit keep the bytes the original writes; every text reads back as it was.
TEST_F(ProjectFile, NamesInAnyLettersReadBackAsTheyWere)
{
    const struct {
        const char* Text;
        std::string Stored;   // the bytes after "selector="
        bool Utf8;
    } cases[] = {
        {"β-CD", "\xCE\xB2-CD", true},
        {"(S)-Naproxène", "(S)-Naprox\xE8ne", false},
        {"µ", "\xB5", false},
        {"γ-CD 5 %", "\xCE\xB3-CD 5 %", true},
        {"25 °C, α and ß", "25 \xC2\xB0" "C, \xCE\xB1 and \xC3\x9F", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        DependencyRecord r;
        r.selector = Utf8ToAnsiLossless(c.Text);
        r.name = "Run \xE9";   // Windows-1252 "Run é"
        fs::remove(Path());
        WriteProjectFile(Path(), {r});
        const std::string bytes = Load(Path());
        EXPECT_NE(bytes.find("\r\nselector=" + c.Stored + "\r\n"), std::string::npos) << bytes;
        EXPECT_NE(bytes.find(c.Utf8 ? "\r\nname=Run \xC3\xA9\r\n" : "\r\nname=Run \xE9\r\n"), std::string::npos);
        EXPECT_EQ(bytes.rfind("[General]\r\nDecSep=46\r\nCount=1\r\n" + std::string(c.Utf8 ? "Encoding=UTF-8\r\n" : "") +
                                  "[Dependency0]\r\n", 0), 0u) << bytes;
        const ProjectContents read = ReadProjectFile(Path());
        ASSERT_EQ(read.Records.size(), 1u);
        EXPECT_EQ(AnsiToUtf8(read.Records[0].selector), c.Text);
        EXPECT_EQ(AnsiToUtf8(read.Records[0].name), "Run é");
        EXPECT_TRUE(SameStoredData(read.Records[0], r));
        EXPECT_TRUE(read.Guesses.empty());
    }
    // A project a text editor saved as UTF-8, without the mark, reads as UTF-8.
    Save(Path(), "[General]\r\nDecSep=46\r\nCount=1\r\n[Dependency0]\r\nname=Naprox\xC3\xA8ne\r\n");
    EXPECT_EQ(AnsiToUtf8(ReadProjectFile(Path()).Records[0].name), "Naproxène");
    // Back to texts that fit Windows-1252 in a new file: no mark, the original's bytes.
    fs::remove(Path());
    DependencyRecord plain;
    plain.name = Utf8ToAnsiLossless("Naproxène");
    WriteProjectFile(Path(), {plain});
    EXPECT_EQ(Load(Path()).find("Encoding"), std::string::npos);
    EXPECT_NE(Load(Path()).find("\r\nname=Naprox\xE8ne\r\n"), std::string::npos);
}

TEST_F(ProjectFile, WrittenReadAndWrittenAgainIsByteIdentical)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<double> uniform(-1e3, 1e3);
    // Values of at most 12 digits, which survive the file's 15 digits exactly.
    auto shortened = [](double x) {
        char text[32];
        std::snprintf(text, sizeof text, "%.12g", x);
        return std::strtod(text, nullptr);
    };
    auto any = [&](std::mt19937& r) { return shortened(uniform(r)); };
    std::vector<DependencyRecord> records(7);
    for (size_t i = 0; i < records.size(); ++i) {
        DependencyRecord& r = records[i];
        r.name = AnsiString("Run \xE9" + std::to_string(i) + "  ");
        r.selector = "\"quoted\"";
        // Negative counts too; 0 is no sweep, and such a file is refused.
        r.Params.points = i == 3 ? 100 : static_cast<int>(i) - 3;
        r.Params.applypH = i % 2 == 1;
        r.Params.cMax = any(random);
        r.Params.a2.lK = std::strtod((std::to_string(i + 1) + ".25E-20").c_str(), nullptr);
        r.Params.phys.Pressure = any(random);
        r.Params.phys.u01 = shortened(any(random) * 1e-11);
        r.Params.phys.z01 = static_cast<double>(i % 3);
        r.Params.phys.EOF = 1e15 * static_cast<double>(i);
        r.Params.phys.Derive();
    }
    for (WideChar sep : {L'.', L','}) {
        FormatSettings.DecimalSeparator = sep;
        WriteProjectFile(Path("a.ini"), records);
        const ProjectContents read = ReadProjectFile(Path("a.ini"));
        ASSERT_EQ(read.Records.size(), records.size());
        for (size_t i = 0; i < records.size(); ++i)
            ExpectSame(read.Records[i], records[i]);
        WriteProjectFile(Path("b.ini"), read.Records);
        EXPECT_EQ(Load(Path("a.ini")), Load(Path("b.ini")));
        const std::string before = Load(Path("a.ini"));
        WriteProjectFile(Path("a.ini"), read.Records);
        EXPECT_EQ(Load(Path("a.ini")), before);
        fs::remove(Path("b.ini"));
    }
}

TEST(StoredData, SameStoredDataLooksAtEveryStoredKeyAndNothingElse)
{
    const DependencyRecord base;
    struct {
        const char* What;
        void (*Change)(DependencyRecord&);
        bool Same;
    } const cases[] = {
        {"nothing", [](DependencyRecord&) {}, true},
        {"derived field", [](DependencyRecord& r) { r.Params.phys.FieldStrength = 1; }, true},
        {"colour", [](DependencyRecord& r) { r.SeriesSet.colour = 5; }, true},
        {"name", [](DependencyRecord& r) { r.name = "x"; }, false},
        {"selector", [](DependencyRecord& r) { r.selector = "<Selector> "; }, false},
        {"points", [](DependencyRecord& r) { r.Params.points = 22; }, false},
        {"applypH", [](DependencyRecord& r) { r.Params.applypH = true; }, false},
        {"a2lK", [](DependencyRecord& r) { r.Params.a2.lK = 2; }, false},
        {"D2", [](DependencyRecord& r) { r.Params.phys.D2 = 2e-9; }, false},
    };
    for (const auto& c : cases) {
        DependencyRecord changed;
        c.Change(changed);
        EXPECT_EQ(SameStoredData(base, changed), c.Same) << c.What;
    }
}
