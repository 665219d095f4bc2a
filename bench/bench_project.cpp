// Writing and reading a project of 1,000 dependencies through the project file, with the share
// of reading that goes to opening the file, to the key look-ups and to the derivations.
#include "platform/IniFiles.h"
#include "project/ProjectFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int Dependencies = 1000;

std::vector<DependencyRecord> Project()
{
    std::vector<DependencyRecord> records(Dependencies);
    for (int i = 0; i < Dependencies; ++i) {
        DependencyRecord& r = records[static_cast<size_t>(i)];
        const double f = 1.0 + i / 3.0e3;
        r.name = AnsiString("Dependency " + std::to_string(i));
        r.analyte1 = "Caffeine";
        r.analyte2 = "Theobromine";
        r.selector = "beta-CD";
        r.Params.cMax = 10 * f;
        r.Params.points = 21 + i % 7;
        r.Params.applypH = i % 2 == 1;
        r.Params.a1.pKa = 4.75 * f;
        r.Params.a2.pKa = 4.9 * f;
        PhysParams& p = r.Params.phys;
        p.EOF = 5e-8 * f;
        p.u01 = 2e-8 * f;
        p.u02 = 2.1e-8 * f;
        p.u1 = 1e-8 * f;
        p.u2 = 1.05e-8 * f;
        p.K1 = 0.1 * f;
        p.K2 = 0.12 * f;
        p.z01 = 1;
        p.z02 = 1;
        p.Pressure = 100 * f;
        r.Params.Derive();
    }
    return records;
}

std::string Folder()
{
    static std::string folder = [] {
        char pattern[] = "/tmp/corvane-bench-project-XXXXXX";
        return std::string(mkdtemp(pattern));
    }();
    return folder;
}

const std::vector<DependencyRecord>& Records()
{
    static const std::vector<DependencyRecord> records = Project();
    return records;
}

std::string ReadPath()
{
    static const std::string path = [] {
        const std::string p = Folder() + "/read.ini";
        WriteProjectFile(p, Records());
        return p;
    }();
    return path;
}

void BM_ProjectWrite(benchmark::State& state)
{
    const std::string path = Folder() + "/write.ini";
    for (auto _ : state) {
        std::remove(path.c_str());
        WriteProjectFile(path, Records());
    }
}

// Over the previous project of the same size, as a second save does.
void BM_ProjectWriteOver(benchmark::State& state)
{
    const std::string path = Folder() + "/over.ini";
    WriteProjectFile(path, Records());
    for (auto _ : state)
        WriteProjectFile(path, Records());
}

void BM_ProjectRead(benchmark::State& state)
{
    const std::string path = ReadPath();
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadProjectFile(path).Records.data());
}

// Opening alone: the file read and its sections found.
void BM_ProjectOpen(benchmark::State& state)
{
    const std::string path = ReadPath();
    for (auto _ : state) {
        TIniFile ini(path);
        benchmark::DoNotOptimize(ini.ReadInteger("General", "Count", 0));
    }
}

// The derivations alone, on records already read.
void BM_ProjectDerive(benchmark::State& state)
{
    std::vector<DependencyRecord> records = Records();
    for (auto _ : state)
        for (DependencyRecord& r : records) {
            r.Params.phys.Derive();
            benchmark::DoNotOptimize(r.Params.phys.D01);
        }
}

BENCHMARK(BM_ProjectWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProjectWriteOver)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProjectRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProjectOpen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProjectDerive)->Unit(benchmark::kMillisecond);

class TTimes : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                Cpu[r.benchmark_name()] = r.GetAdjustedCPUTime();
    }
    std::map<std::string, double> Cpu;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    TTimes times;
    benchmark::RunSpecifiedBenchmarks(&times);
    const auto read = times.Cpu.find("BM_ProjectRead");
    const auto open = times.Cpu.find("BM_ProjectOpen");
    const auto derive = times.Cpu.find("BM_ProjectDerive");
    if (read != times.Cpu.end() && open != times.Cpu.end() && derive != times.Cpu.end() && read->second > 0) {
        const double total = read->second;
        std::printf("\nReading a project of %d dependencies (%ju bytes), CPU time:\n", Dependencies,
                    static_cast<std::uintmax_t>(std::filesystem::file_size(ReadPath())));
        std::printf("  opening the file   %5.1f%%\n", 100 * open->second / total);
        std::printf("  reading the keys   %5.1f%%\n", 100 * (total - open->second - derive->second) / total);
        std::printf("  deriving           %5.1f%%\n", 100 * derive->second / total);
    }
    std::error_code ec;
    std::filesystem::remove_all(Folder(), ec);
    return 0;
}
