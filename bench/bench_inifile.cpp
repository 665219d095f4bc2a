// Writing and reading back a project of 1,000 dependencies (44 keys each) through TIniFile,
// against writing and reading the same bytes with one plain file write and read; and reading
// the project when its texts make it a UTF-8 file.
#include "platform/IniFiles.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int Dependencies = 1000;

enum TKind { kText, kReal, kInteger, kBool };

struct TKey {
    const char* Name;
    TKind Kind;
    double Base;
};

// The keys of a dependency section, in the order of a project file, with typical values.
const TKey Keys[] = {
    {"name", kText, 0}, {"analyte1", kText, 0}, {"analyte2", kText, 0}, {"selector", kText, 0},
    {"cMin", kReal, 0}, {"cMax", kReal, 10}, {"points", kInteger, 21}, {"pH", kReal, 7},
    {"applypH", kBool, 0}, {"a1pKa", kReal, 4.75}, {"a1hu0", kReal, 1e-9}, {"a1huCS", kReal, 5e-10},
    {"a1hK", kReal, 0.1}, {"a1lu0", kReal, 2e-8}, {"a1luCS", kReal, 1e-8}, {"a1lK", kReal, 0.05},
    {"a2pKa", kReal, 4.9}, {"a2hu0", kReal, 1.1e-9}, {"a2huCS", kReal, 5.5e-10}, {"a2hK", kReal, 0.12},
    {"a2lu0", kReal, 2.1e-8}, {"a2luCS", kReal, 1.05e-8}, {"a2lK", kReal, 0.06}, {"Capillary", kReal, 0.485},
    {"Detector", kReal, 0.4}, {"Voltage", kReal, 25000}, {"Temperature", kReal, 25}, {"EOF", kReal, 5e-8},
    {"EOFSlope", kReal, 0}, {"Pressure", kReal, 0}, {"Radius", kReal, 5e-5}, {"u01", kReal, 2e-8},
    {"u02", kReal, 2.1e-8}, {"u1", kReal, 1e-8}, {"u2", kReal, 1.05e-8}, {"K1", kReal, 0.1},
    {"K2", kReal, 0.12}, {"z01", kReal, 1}, {"z02", kReal, 1}, {"zCS", kReal, 0},
    {"D01", kReal, 6.4385e-10}, {"D02", kReal, 6.7604e-10}, {"D1", kReal, 3.2192e-10}, {"D2", kReal, 3.3802e-10},
};

std::vector<UnicodeString> SectionNames()
{
    std::vector<UnicodeString> names;
    for (int i = 0; i < Dependencies; ++i)
        names.push_back("Dependency" + IntToStr(i));
    return names;
}

// Derived-looking values: full 15-digit numbers where the model computes them.
double ValueOf(const TKey& key, int i)
{
    if (key.Base == 0 || key.Name[0] == 'z')
        return key.Base;
    return key.Base * (1.0 + i / 3.0e3);
}

// Selector names the selector of every dependency.
void WriteProject(const std::string& path, const UnicodeString& Selector = "Caffeine")
{
    static const std::vector<UnicodeString> sections = SectionNames();
    TIniFile ini(path);
    ini.WriteInteger("General", "DecSep", 46);
    ini.WriteInteger("General", "Count", Dependencies);
    for (int i = 0; i < Dependencies; ++i) {
        const UnicodeString& s = sections[static_cast<size_t>(i)];
        for (const TKey& k : Keys) {
            switch (k.Kind) {
            case kText:
                ini.WriteString(s, k.Name, k.Name[0] == 'n'   ? "Dependency " + IntToStr(i)
                                           : k.Name[0] == 's' ? Selector
                                                              : "Caffeine");
                break;
            case kReal:
                ini.WriteFloat(s, k.Name, ValueOf(k, i));
                break;
            case kInteger:
                ini.WriteInteger(s, k.Name, static_cast<int>(k.Base) + i % 7);
                break;
            case kBool:
                ini.WriteBool(s, k.Name, i % 2 == 1);
                break;
            }
        }
    }
    ini.UpdateFile();
}

double ReadProject(const std::string& path)
{
    static const std::vector<UnicodeString> sections = SectionNames();
    TIniFile ini(path);
    double sum = ini.ReadInteger("General", "DecSep", 46);
    const int count = ini.ReadInteger("General", "Count", 0);
    for (int i = 0; i < count; ++i) {
        const UnicodeString& s = sections[static_cast<size_t>(i)];
        for (const TKey& k : Keys) {
            switch (k.Kind) {
            case kText:
                sum += static_cast<double>(ini.ReadString(s, k.Name, "").size());
                break;
            case kReal:
                sum += ini.ReadFloat(s, k.Name, 0);
                break;
            case kInteger:
                sum += ini.ReadInteger(s, k.Name, 0);
                break;
            case kBool:
                sum += ini.ReadBool(s, k.Name, false);
                break;
            }
        }
    }
    return sum;
}

std::string Folder()
{
    static std::string folder = [] {
        char pattern[] = "/tmp/corvane-bench-XXXXXX";
        return std::string(mkdtemp(pattern));
    }();
    return folder;
}

// One plain read of the whole file.
void ReadFile(const std::string& path, std::string& out)
{
    out.clear();
    FILE* f = std::fopen(path.c_str(), "rb");
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        out.append(buf, n);
    std::fclose(f);
}

std::string ProjectBytes()
{
    static std::string bytes = [] {
        const std::string path = Folder() + "/reference.ini";
        WriteProject(path);
        std::string out;
        ReadFile(path, out);
        return out;
    }();
    return bytes;
}

void BM_IniWrite(benchmark::State& state)
{
    const std::string path = Folder() + "/ini.ini";
    for (auto _ : state) {
        std::remove(path.c_str());
        WriteProject(path);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * ProjectBytes().size()));
}

// One plain write of the same bytes; Synced makes it durable as the INI writer does (fsync
// before the file counts).
void RawWrite(benchmark::State& state, bool Synced)
{
    const std::string path = Folder() + "/raw.ini";
    const std::string& bytes = ProjectBytes();
    for (auto _ : state) {
        std::remove(path.c_str());
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        if (Synced) {
            std::fflush(f);
            fsync(fileno(f));
        }
        std::fclose(f);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void BM_RawWrite(benchmark::State& state) { RawWrite(state, false); }
void BM_RawWriteSynced(benchmark::State& state) { RawWrite(state, true); }

void IniRead(benchmark::State& state, const UnicodeString& Selector)
{
    const std::string path = Folder() + "/read.ini";
    WriteProject(path, Selector);
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadProject(path));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * ProjectBytes().size()));
}

void BM_IniRead(benchmark::State& state) { IniRead(state, "Caffeine"); }
void BM_IniReadUtf8(benchmark::State& state) { IniRead(state, "β-Cyclodextrin"); }

void BM_RawRead(benchmark::State& state)
{
    const std::string path = Folder() + "/read.ini";
    WriteProject(path);
    std::string out;
    for (auto _ : state) {
        ReadFile(path, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size()));
}

// The number conversions behind the real values, per value.
void BM_FloatToStr(benchmark::State& state)
{
    double x = 0.485;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FloatToStr(x));
        x *= 1.0000001;
    }
}

void BM_TryStrToFloat(benchmark::State& state)
{
    const UnicodeString texts[] = {"0.485", "25000", "5E-5", "1.00033333333333E-9", "6.43851629851034E-10"};
    size_t i = 0;
    double v = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(TryStrToFloat(texts[i++ % std::size(texts)], v));
        benchmark::DoNotOptimize(v);
    }
}

BENCHMARK(BM_FloatToStr);
BENCHMARK(BM_TryStrToFloat);
BENCHMARK(BM_IniWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawWriteSynced)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IniRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IniReadUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawRead)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per iteration for the ratios printed at the end.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0) {
                Real[r.benchmark_name()] = r.GetAdjustedRealTime();
                Cpu[r.benchmark_name()] = r.GetAdjustedCPUTime();
            }
    }
    std::map<std::string, double> Real, Cpu;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&](const char* a, const char* b) {
        auto of = [](const std::map<std::string, double>& m, const char* x, const char* y) {
            const auto i = m.find(x);
            const auto j = m.find(y);
            return i != m.end() && j != m.end() && j->second > 0 ? i->second / j->second : 0.0;
        };
        if (of(reporter.Real, a, b) > 0)
            std::printf("%-34s %8.1fx real %8.1fx cpu\n", (std::string(a) + " / " + b).c_str(), of(reporter.Real, a, b),
                        of(reporter.Cpu, a, b));
    };
    std::printf("\nProject of %d dependencies, %d keys, %zu bytes\n", Dependencies,
                Dependencies * static_cast<int>(std::size(Keys)) + 2, ProjectBytes().size());
    ratio("BM_IniWrite", "BM_RawWrite");
    ratio("BM_IniWrite", "BM_RawWriteSynced");
    ratio("BM_IniRead", "BM_RawRead");
    ratio("BM_IniReadUtf8", "BM_IniRead");
    std::error_code ec;
    std::filesystem::remove_all(Folder(), ec);
    return 0;
}
