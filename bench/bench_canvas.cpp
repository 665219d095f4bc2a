// Canvas throughput: short and long solid lines, full-window fills, text.
#include "platform/Graphics.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr int WindowWidth = 1156;
constexpr int WindowHeight = 679;

// Lines of the given length inside the window, at 64 different slopes.
void Lines(benchmark::State& state, int length, TPenStyle style)
{
    TBitmap bmp(WindowWidth, WindowHeight);
    TCanvas* c = bmp.Canvas;
    c->Pen->SetStyle(style);
    TPoint from[64], to[64];
    for (int i = 0; i < 64; ++i) {
        // x-major lines of `length` pixels whose rise goes from -length/2 to +length/2, and
        // their mirror images as y-major lines for short ones.
        const int rise = (i % 32 - 16) * (length / 2) / 16;
        const int x0 = (WindowWidth - length) / 2, y0 = WindowHeight / 2 - rise / 2;
        from[i] = TPoint(x0, y0);
        to[i] = i < 32 || length > WindowHeight - 2 ? TPoint(x0 + length, y0 + rise)
                                                    : TPoint(x0 + rise, y0 + length);
    }
    long long pixels = 0;
    int i = 0;
    for (auto _ : state) {
        c->MoveTo(from[i].X, from[i].Y);
        c->LineTo(to[i].X, to[i].Y);
        pixels += length;
        i = (i + 1) & 63;
    }
    benchmark::DoNotOptimize(bmp.ScanLine(0));
    state.SetItemsProcessed(state.iterations());
    state.counters["pixels/s"] = benchmark::Counter(double(pixels), benchmark::Counter::kIsRate);
}

void BM_Line20(benchmark::State& state) { Lines(state, 20, psSolid); }
void BM_Line1000(benchmark::State& state) { Lines(state, 1000, psSolid); }
void BM_Line1000Dashed(benchmark::State& state) { Lines(state, 1000, psDash); }

void BM_FillWindow(benchmark::State& state)
{
    TBitmap bmp(WindowWidth, WindowHeight);
    TCanvas* c = bmp.Canvas;
    int n = 0;
    for (auto _ : state) {
        c->Brush->SetColor((n++ & 1) ? clBtnFace : clWindow);
        c->FillRect(TRect(0, 0, WindowWidth, WindowHeight));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_TextOut(benchmark::State& state)
{
    TBitmap bmp(WindowWidth, WindowHeight);
    TCanvas* c = bmp.Canvas;
    for (auto _ : state) c->TextOut(10, 10, "Diff. coeff. cplx [.1E+9]");
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_Line20);
BENCHMARK(BM_Line1000);
BENCHMARK(BM_Line1000Dashed);
BENCHMARK(BM_FillWindow);
BENCHMARK(BM_TextOut);

