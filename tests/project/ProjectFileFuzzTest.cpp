// Damaged project files: each one is either read whole or refused with an exception of the
// program's own, and nothing of the program's state changes either way.
#include "project/ProjectFile.h"

#include <gtest/gtest.h>

#include <cmath>
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

} // namespace

TEST(ProjectFileFuzz, DamagedFilesAreReadOrRefusedNeverCrashOrHang)
{
    const TFormatSettings saved = FormatSettings;
    FormatSettings = TFormatSettings::Invariant();
    FormatSettings.DecimalSeparator = L',';
    const TFormatSettings before = FormatSettings;
    char pattern[] = "/tmp/corvane-fuzz-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string path = std::string(pattern) + "/damaged.ini";

    const unsigned seed = std::random_device{}();
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
