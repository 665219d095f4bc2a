// Damaged project files: each one is either read whole or refused with an exception of the
// program's own, and nothing of the program's state changes either way.
#include "project/ProjectFile.h"

#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace {

// Pieces that make files interesting: keys of the format, odd values, structure characters.
const char* const Keys[] = {"name", "points", "applypH", "cMin", "cMax", "Capillary", "Voltage", "Pressure",
                            "Radius", "z01", "zCS", "u01", "K1", "Temperature", "a1pKa", "D2", "Count", "DecSep"};
const char* const Values[] = {"0", "-1", "1E308", "-1.7E308", "1E-320", "1e400", "99999999999", "2147483647",
                              "-2147483648", "$FFFFFFFF", "0x7FFFFFFF", "NaN", "INF", ",", ".", "1,5", "1.5",
                              "\"\"", "  ", "\xE9\xFF", "44", "46", "48", "1000", "100001", "0.0000001"};
const char* const Pieces[] = {"[", "]", "=", ";", "\r", "\n", "\r\n", "\xEF\xBB\xBF", "[General]", "[Dependency0]",
                              "[Dependency1]", "\t", " ", "\"", "'"};

std::string ValidProject(std::mt19937& random)
{
    std::string s = "[General]\r\nDecSep=" + std::string(random() % 2 ? "46" : "44") + "\r\nCount=3\r\n";
    for (int i = 0; i < 3; ++i) {
        s += "[Dependency" + std::to_string(i) + "]\r\n";
        for (const char* k : Keys)
            s += std::string(k) + "=" + Values[random() % std::size(Values)] + "\r\n";
    }
    return s;
}

std::string Damage(std::string s, std::mt19937& random)
{
    switch (random() % 6) {
    case 0:   // truncated
        s.resize(random() % (s.size() + 1));
        break;
    case 1:   // random bytes flipped
        for (int n = 1 + static_cast<int>(random() % 20); n > 0 && !s.empty(); --n)
            s[random() % s.size()] = static_cast<char>(random() & 0xFF);
        break;
    case 2:   // random key lines
        for (int n = 1 + static_cast<int>(random() % 30); n > 0; --n)
            s.insert(random() % (s.size() + 1), std::string("\n") + Keys[random() % std::size(Keys)] + "=" +
                                                    Values[random() % std::size(Values)] + "\n");
        break;
    case 3:   // structure characters anywhere
        for (int n = 1 + static_cast<int>(random() % 30); n > 0; --n)
            s.insert(random() % (s.size() + 1), Pieces[random() % std::size(Pieces)]);
        break;
    case 4: {   // pure noise
        s.assign(random() % 2000, '\0');
        for (char& c : s)
            c = static_cast<char>(random() % 255 + 1);
        break;
    }
    default:   // huge or odd numbers in every value of General
        s = "[General]\nDecSep=" + std::string(Values[random() % std::size(Values)]) + "\nCount=" +
            Values[random() % std::size(Values)] + "\n" + s;
        break;
    }
    return s;
}

// The same project in the forms files take on their way through editors, mail and other
// systems. Each must read as the project it holds.

std::string ReplaceAll(std::string s, const std::string& From, const std::string& To)
{
    for (size_t at = 0; (at = s.find(From, at)) != std::string::npos; at += To.size())
        s.replace(at, From.size(), To);
    return s;
}

std::string Disguise(const std::string& Project, int Kind)
{
    switch (Kind) {
    case 0: return Project + std::string(1, '\0');                       // one NUL appended
    case 1: return ReplaceAll(Project, "\r\n", "\r");                     // lone CR line ends
    case 2: return ReplaceAll(Project, "\r\n", "\r\r\n");                 // CR CR LF
    case 3: return ReplaceAll(Project, "\r\n", "\n");                     // LF
    case 4: return Utf16WithMark(Project, false);                        // UTF-16 LE with its mark
    case 5: return Utf16WithMark(Project, true);                         // UTF-16 BE with its mark
    case 6: return "\xEF\xBB\xBF\xEF\xBB\xBF" + Project;                  // two UTF-8 marks
    default: return ReplaceAll(Project, "\r\n[", "\r\n\r[");                // a CR before each header
    }
}

// Files that are no projects at all.
std::string NotAProject(std::mt19937& random)
{
    static const std::string png("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x10\0\0\0\x10\x08\x06\0\0\0", 29);
    switch (random() % 3) {
    case 0: {
        std::string picture = png;
        for (int n = static_cast<int>(random() % 500); n > 0; --n)
            picture += static_cast<char>(random() & 0xFF);
        return picture;
    }
    case 1:
        return "Dear colleague,\r\nthe run at 25 kV gave t1 = 2.46 min.\r\nCount on me.\r\n";
    default:
        return "";
    }
}

} // namespace

// Every form of a project loads as the project; a text or a picture is refused, never read as an
// empty project.
TEST(ProjectFileFuzz, DisguisedProjectsLoadAndOtherFilesAreRefused)
{
    const TFormatSettings saved = FormatSettings;
    FormatSettings = TFormatSettings::Invariant();
    char pattern[] = "/tmp/corvane-fuzz-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string path = std::string(pattern) + "/disguised.ini";
    const char* fromEnv = std::getenv("CORVANE_SEED");
    const unsigned seed = fromEnv ? unsigned(std::strtoul(fromEnv, nullptr, 10)) : std::random_device{}();
    std::mt19937 random(seed);
    for (int i = 0; i < 200; ++i) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", file " + std::to_string(i));
        // A project of plain values that every form keeps.
        std::string project = "[General]\r\nDecSep=46\r\nCount=3\r\n";
        for (int d = 0; d < 3; ++d)
            project += "[Dependency" + std::to_string(d) + "]\r\nname=run " + std::to_string(random() % 1000) +
                       "\r\nK1=" + std::to_string(random() % 900 + 1) + "\r\ncMax=" +
                       std::to_string(random() % 50 + 1) + "\r\npoints=" + std::to_string(random() % 30 + 1) + "\r\n";
        std::ofstream(path, std::ios::binary | std::ios::trunc) << project;
        const ProjectContents plain = ReadProjectFile(path);
        const int kind = static_cast<int>(random() % 8);
        std::ofstream(path, std::ios::binary | std::ios::trunc) << Disguise(project, kind);
        ProjectContents read;
        ASSERT_NO_THROW(read = ReadProjectFile(path)) << "form " << kind;
        ASSERT_EQ(read.Records.size(), 3u) << "form " << kind;
        for (size_t d = 0; d < 3; ++d)
            EXPECT_TRUE(SameStoredData(read.Records[d], plain.Records[d])) << "form " << kind;
        EXPECT_EQ(read.Guesses, plain.Guesses) << "form " << kind;

        std::ofstream(path, std::ios::binary | std::ios::trunc) << NotAProject(random);
        try {
            ReadProjectFile(path);
            ADD_FAILURE() << "read as a project";
        } catch (const EProjectFileError& e) {
            EXPECT_NE(e.Message().find("is not a Corvane project"), std::string::npos) << e.Message();
        }
    }
    FormatSettings = saved;
    std::error_code ec;
    fs::remove_all(pattern, ec);
}

TEST(ProjectFileFuzz, DamagedFilesAreReadOrRefusedNeverCrashOrHang)
{
    const TFormatSettings saved = FormatSettings;
    FormatSettings = TFormatSettings::Invariant();
    FormatSettings.DecimalSeparator = L',';
    const TFormatSettings before = FormatSettings;
    char pattern[] = "/tmp/corvane-fuzz-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string path = std::string(pattern) + "/damaged.ini";

    const char* fromEnv = std::getenv("CORVANE_SEED");
    const unsigned seed = fromEnv ? unsigned(std::strtoul(fromEnv, nullptr, 10)) : std::random_device{}();
    std::mt19937 random(seed);
    int read = 0, refused = 0;
    for (int i = 0; i < 3000; ++i) {
        const std::string bytes = Damage(ValidProject(random), random);
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        SCOPED_TRACE("seed " + std::to_string(seed) + ", file " + std::to_string(i));
        try {
            const ProjectContents c = ReadProjectFile(path);
            ++read;
            ASSERT_LE(c.Records.size(), static_cast<size_t>(MaxProjectDependencies));
            for (const DependencyRecord& r : c.Records) {
                const PhysParams& f = r.Params.phys;
                for (double v : {r.Params.cMin, r.Params.cMax, f.Capillary, f.Voltage, f.D01, f.D1, f.FieldStrength,
                                 f.FlowVelocity, f.AbsTemperature})
                    ASSERT_TRUE(std::isfinite(v)) << bytes;
            }
        } catch (const Exception&) {
            ++refused;
        }
        ASSERT_EQ(FormatSettings.DecimalSeparator, before.DecimalSeparator);
    }
    EXPECT_GT(read, 0);
    EXPECT_GT(refused, 0);
    FormatSettings = saved;
    std::error_code ec;
    fs::remove_all(pattern, ec);
}
