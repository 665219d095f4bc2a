// Shared main of the benchmarks: the platform's application on the offscreen platform, then every
// benchmark. A benchmark program with a main of its own does not pull this one in.
#include "platform/Forms.h"

#include <benchmark/benchmark.h>
#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Application->Initialize();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
