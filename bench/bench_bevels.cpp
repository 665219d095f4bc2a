// Bevel painting: the default caption frame and the richer looks against a plain fill of the
// same area, and a whole labelled caption repainted on a form.
#include "bevels/LabeledBevels.h"
#include "bevels/TolvaGraphics.h"
#include "platform/Forms.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr int W = 121;
constexpr int H = 21;

void FillOnly(benchmark::State& state)
{
    TBitmap bmp(W, H);
    bmp.Canvas->Brush->SetColor(clBtnFace);
    for (auto _ : state) bmp.Canvas->FillRect(TRect(0, 0, W, H));
    benchmark::DoNotOptimize(bmp.ScanLine(0));
}

void PairLook(benchmark::State& state, Tolva::TExternBevelsKind Kind, Tolva::TExternBevelsKind3D Kind3D)
{
    TBitmap bmp(W, H);
    Tolva::TExternBevels pair;
    pair.SetKind(Kind);
    pair.SetKind3D(Kind3D);
    for (auto _ : state) pair.PaintTo(bmp.Canvas, TRect(0, 0, W, H));
    benchmark::DoNotOptimize(bmp.ScanLine(0));
}

// Every caption of a window repainted: 40 labelled bevels on one form.
void FormOfCaptions(benchmark::State& state)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 560, 460);
    std::vector<TLabeledBevels*> captions;
    for (int i = 0; i < 40; ++i) {
        auto* c = new TLabeledBevels(&form);
        c->SetParent(&form);
        c->SetBounds(8 + (i / 20) * 270, 8 + (i % 20) * 22, 121, 21);
        c->SetCaption("Diff. coeff. cplx [.1E+9]");
        captions.push_back(c);
    }
    for (auto _ : state)
        for (TLabeledBevels* c : captions) c->Paint();
    state.SetItemsProcessed(state.iterations() * 40);
}

} // namespace

BENCHMARK(FillOnly);
BENCHMARK_CAPTURE(PairLook, Box, Tolva::eblsBox, Tolva::ebls3DBox);
BENCHMARK_CAPTURE(PairLook, Btn, Tolva::eblsBtn, Tolva::ebls3DBox);
BENCHMARK_CAPTURE(PairLook, Frame, Tolva::eblsFrame, Tolva::ebls3DFrame);
BENCHMARK_CAPTURE(PairLook, Trench, Tolva::eblsArea, Tolva::ebls3DTrench);
BENCHMARK(FormOfCaptions);

