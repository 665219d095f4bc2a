// The INI reader against hostile and damaged files: what a listing gives a look-up finds, what
// is written back reads as before, names that cannot be stored are refused, and opening takes
// time and memory in proportion to the file whatever its names.
#include "platform/IniFiles.h"
#include "platform/IniFilesIndex.h"

#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <map>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class IniFileHostile : public ::testing::Test {
protected:
    std::string Path() const { return (Dir / "file.ini").string(); }
    static std::string Load(const std::string& path) { return ReadFileBytes(path); }
    static void Save(const std::string& path, const std::string& bytes) { WriteFileBytes(path, bytes); }
    TTempFolder Temp{"corvane-inifuzz"};
    const fs::path& Dir = Temp.Dir();
};

// Everything a file shows through the listings: section -> "key=value" lines.
using TView = std::map<UnicodeString, std::vector<UnicodeString>>;

// The listings, checking on the way that look-ups find every listed name with its value.
TView ViewOf(const TIniFile& ini)
{
    TView view;
    std::vector<UnicodeString> sections, keys, lines;
    ini.ReadSections(sections);
    for (const UnicodeString& s : sections) {
        EXPECT_TRUE(ini.SectionExists(s)) << "listed section not found: " << testing::PrintToString(s);
        ini.ReadSection(s, keys);
        ini.ReadSectionValues(s, lines);
        EXPECT_EQ(keys.size(), lines.size());
        for (size_t i = 0; i < keys.size() && i < lines.size(); ++i) {
            EXPECT_TRUE(ini.ValueExists(s, keys[i])) << "listed key not found: " << testing::PrintToString(keys[i]);
            EXPECT_EQ(keys[i] + "=" + ini.ReadString(s, keys[i], "\x01missing"), lines[i]);
        }
        view[s] = lines;
    }
    return view;
}

} // namespace

TEST_F(IniFileHostile, WhatIsWrittenBackReadsAsBefore)
{
    struct TCase {
        std::string File;
        std::string After;   // the file after writing T/w=1
    } cases[] = {
        // Byte-order marks are written back as one.
        {"\xEF\xBB\xBF\xEF\xBB\xBF[S]\nk=1\n[T]\nm=2\n", "\xEF\xBB\xBF[S]\r\nk=1\r\n[T]\r\nm=2\r\nw=1\r\n"},
        {"\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBF[S]\n", "\xEF\xBB\xBF[S]\r\n[T]\r\nw=1\r\n"},
        {"\xEF\xBB\xBF[S]\nk=1\n", "\xEF\xBB\xBF[S]\r\nk=1\r\n[T]\r\nw=1\r\n"},
        {"\xEF\xBB\xBF", "\xEF\xBB\xBF[T]\r\nw=1\r\n"},
        {"[T]\n\n;c\n\n", "[T]\r\n\r\n;c\r\nw=1\r\n\r\n"},
        {"[T]\r\nm=2\r\n \r\n[U]", "[T]\r\nm=2\r\nw=1\r\n \r\n[U]\r\n"},
        {"[T]\nx\n\ny", "[T]\r\nx\r\n\r\ny\r\nw=1\r\n"},
    };
    for (const TCase& c : cases) {
        Save(Path(), c.File);
        TView before;
        {
            TIniFile ini(Path());
            before = ViewOf(ini);
            ini.WriteString("T", "w", "1");
        }
        EXPECT_EQ(Load(Path()), c.After) << testing::PrintToString(c.File);
        TIniFile ini(Path());
        TView after = ViewOf(ini);
        auto& t = after["T"];
        std::erase(t, UnicodeString("w=1"));
        if (t.empty() && before.find("T") == before.end())
            after.erase("T");
        EXPECT_EQ(after, before) << testing::PrintToString(c.File);
    }
}

TEST_F(IniFileHostile, CarriageReturnsEndLinesAndNamesPassedMakeThemBlanks)
{
    Save(Path(), "[\rl]\nk\rx=v\n\r k2 \r=w\n[m\r]\r\r\nq=1\n\r[n]\r;c=3\r\r\r\n\n");
    TIniFile ini(Path());
    const TView view = ViewOf(ini);
    EXPECT_EQ(view, (TView{{"", {"x=v", "=w"}}, {"m", {"q=1"}}, {"n", {}}}));
    EXPECT_EQ(ini.ReadString("\r", "x\n", ""), "v");
    EXPECT_EQ(ini.ReadString("m\r", "\nq ", ""), "1");
}

TEST_F(IniFileHostile, NamesThatWouldReadBackAsSomethingElseAreRefused)
{
    Save(Path(), "[S]\nk=1\n");
    struct TCase {
        UnicodeString Section, Key;
        bool Refused;
    } cases[] = {
        {"a]b", "k", true}, {"S]", "k", true}, {"S", "a=b", true}, {"S", ";k", true}, {"S", "[k", true},
        {"S", "  ;k", true}, {"S", "=", true},
        {"[S", "k", false}, {";S", "k", false}, {"a=b", "k", false}, {"S", "k]", false}, {"S", "a;b", false},
        {"S", "a[b", false}, {"", "k", false}, {"S", "", false},
    };
    {
        TIniFile ini(Path());
        for (const TCase& c : cases) {
            if (!c.Refused) {
                ini.WriteString(c.Section, c.Key, "v");
                continue;
            }
            try {
                ini.WriteString(c.Section, c.Key, "v");
                ADD_FAILURE() << "no exception for [" << c.Section << "] " << c.Key;
            } catch (const EIniFileException& e) {
                EXPECT_NE(e.Message().find("\"" + (c.Section.find(']') != UnicodeString::npos ? c.Section : c.Key) + "\""),
                          std::string::npos)
                    << e.Message();
            }
        }
    }
    TIniFile ini(Path());
    TView expected{{"S", {"k=1", "k]=v", "a;b=v", "a[b=v", "=v"}}, {"[S", {"k=v"}}, {";S", {"k=v"}},
                   {"a=b", {"k=v"}}, {"", {"k=v"}}};
    EXPECT_EQ(ViewOf(ini), expected);
}

TEST_F(IniFileHostile, RandomFilesListOnlyWhatLookUpsFindAndSurviveAWrite)
{
    const std::string pieces[] = {"[", "]", "=", ";", "\r", "\n", "\r\n", "\r\r\n", "\xEF\xBB\xBF", " ", "\t", "\"",
                                  "'", "a", "B", "k", "\xE9", "\xC9", "\xCA", "\xDA", "\x81", "\x9F", "\xFF", "S", "1",
                                  std::string(1, '\0'), "\xC3\xA9", "\xC3\x8A", "\xC5\xB8", "\xCE\xB2", "\xE2\x82\xAC"};
    // The value written: ASCII, Windows-1252, beyond it (which turns a Windows-1252 file into UTF-8).
    const UnicodeString values[] = {"1", "Naproxène", "β-CD"};
    // CORVANE_SEED repeats a run.
    const char* given = std::getenv("CORVANE_SEED");
    const unsigned seed =
        given != nullptr ? static_cast<unsigned>(std::strtoul(given, nullptr, 10)) : std::random_device{}();
    std::mt19937 random(seed);
    for (int n = 0; n < 1500; ++n) {
        std::string bytes;
        for (int i = static_cast<int>(random() % 60); i > 0; --i)
            bytes += pieces[random() % std::size(pieces)];
        // Some files as UTF-16 of their bytes, little- or big-endian, with its mark.
        if (random() % 8 == 0) {
            const bool big = random() % 2 == 0;
            std::string utf16 = big ? "\xFE\xFF" : "\xFF\xFE";
            for (char c : bytes)
                utf16 += big ? std::string{'\0', c} : std::string{c, '\0'};
            bytes = utf16 + (random() % 2 == 0 ? "\x3D\xD8" : "");   // an unpaired surrogate
        }
        const UnicodeString& value = values[random() % std::size(values)];
        SCOPED_TRACE("seed " + std::to_string(seed) + ": " + testing::PrintToString(bytes));
        Save(Path(), bytes);
        TView before;
        {
            TIniFile ini(Path());
            before = ViewOf(ini);
            ini.WriteString("Fresh section", "added", value);
        }
        TIniFile ini(Path());
        TView after = ViewOf(ini);
        ASSERT_EQ(after["Fresh section"], std::vector<UnicodeString>{"added=" + value});
        after.erase("Fresh section");
        ASSERT_EQ(after, before);
    }
}

namespace {

// Names of [a-z0-9] whose plain FNV-1a hashes agree in their low 16 bits, as an unkeyed index
// of 65,536 slots would place them all at one slot.
std::vector<std::string> CollidingNames(size_t Count)
{
    const char alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    const std::uint32_t prime = 16777619u;
    std::uint32_t inverse = prime;   // of the prime, modulo 2^32
    for (int i = 0; i < 5; ++i)
        inverse *= 2 - prime * inverse;
    const std::uint32_t wanted = (0u * inverse) & 0xFFFF;   // the state before the last step
    std::vector<std::string> names;
    for (std::uint32_t prefix = 0; names.size() < Count; ++prefix) {
        std::string base = "s" + std::to_string(prefix);
        std::uint32_t h = 2166136261u;
        for (char c : base)
            h = (h ^ static_cast<unsigned char>(c)) * prime;
        for (char c1 : std::string_view(alphabet, 36))
            for (char c2 : std::string_view(alphabet, 36)) {
                const std::uint32_t s2 = (((h ^ static_cast<unsigned char>(c1)) * prime) ^ static_cast<unsigned char>(c2)) * prime;
                const std::uint32_t c3 = (s2 ^ wanted) & 0xFFFF;
                if (c3 < 256 && std::string_view(alphabet, 36).find(static_cast<char>(c3)) != std::string_view::npos)
                    names.push_back(base + c1 + c2 + static_cast<char>(c3));
            }
    }
    names.resize(Count);
    return names;
}

} // namespace

TEST_F(IniFileHostile, CraftedCollidingNamesOpenInLinearTime)
{
    const std::vector<std::string> names = CollidingNames(size_t(1) << 15);
    // They do collide under the plain hash.
    for (const std::string& n : {names.front(), names.back()}) {
        std::uint32_t h = 2166136261u;
        for (char c : n)
            h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
        ASSERT_EQ(h & 0xFFFF, 0u) << n;
    }

    IniFilesIndex::TNameIndex index(false);
    auto at = [&](std::uint32_t i) { return std::string_view(names[i]); };
    for (size_t i = 0; i < names.size(); ++i)
        index.Insert(names[i], IniFilesIndex::HashName(names[i], false), static_cast<std::uint32_t>(i), at);
    for (size_t i = 0; i < names.size(); ++i)
        ASSERT_EQ(index.Find(names[i], IniFilesIndex::HashName(names[i], false), at), static_cast<int>(i));
    EXPECT_EQ(index.Count(), names.size());
    // Linear probing over a quarter-empty table: a few slots per look-up, never a long chain.
    EXPECT_LT(index.Probes(), 8 * 2 * names.size());

    std::string file;
    for (const std::string& n : names)
        file += "[" + n + "]\nk=" + n + "\n";
    Save(Path(), file);
    TIniFile ini(Path());
    for (size_t i = 0; i < names.size(); i += 97)
        EXPECT_EQ(ini.ReadString(names[i], "k", ""), names[i]);
}

namespace {

size_t HeapInUse()
{
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

} // namespace

TEST_F(IniFileHostile, MemoryStaysASmallMultipleOfTheFile)
{
    const size_t size = 4 << 20;
    auto repeat = [&](auto make) {
        std::string s;
        for (size_t i = 0; s.size() < size; ++i)
            s += make(i);
        return s;
    };
    auto base36 = [](size_t i) {
        std::string s;
        do {
            s += "abcdefghijklmnopqrstuvwxyz0123456789"[i % 36];
            i /= 36;
        } while (i > 0);
        return s;
    };
    struct TCase {
        const char* What;
        std::string File;
    } cases[] = {
        {"bare line ends", "[General]\n" + std::string(size, '\n')},
        {"empty sections", repeat([](size_t) { return "[]\n"; })},
        {"distinct empty sections", repeat([&](size_t i) { return "[" + base36(i) + "]\n"; })},
        {"empty keys", "[General]\n" + repeat([](size_t) { return "=\n"; })},
        {"distinct keys", "[General]\n" + repeat([&](size_t i) { return base36(i) + "=\n"; })},
        {"comments between keys", "[General]\n" + repeat([](size_t i) { return i % 2 ? ";\n" : "=\n"; })},
    };
    for (const TCase& c : cases) {
        Save(Path(), c.File);
        const size_t before = HeapInUse();
        size_t used = 0;
        {
            TIniFile ini(Path());
            used = HeapInUse() - before;
            // The lines of the sections parsed and indexed, as reading them does; the listing
            // of names is the caller's and does not count.
            const size_t beforeListing = HeapInUse();
            std::vector<UnicodeString> sections;
            ini.ReadSections(sections);
            const size_t listing = HeapInUse() - beforeListing;
            for (size_t i = 0; i < sections.size() && i < 1000; ++i)
                ini.ValueExists(sections[i], "x");
            used = std::max(used, HeapInUse() - before - listing);
        }
        const size_t peak = used;
        std::printf("%-24s %5.1f bytes per byte of file\n", c.What, peak / static_cast<double>(c.File.size()));
        EXPECT_LT(peak, 12 * c.File.size()) << c.What << ": " << peak / static_cast<double>(c.File.size()) << " bytes per byte";
    }
}
