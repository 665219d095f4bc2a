// List box costs: adding rows, and a full repaint of a list of 100 rows against one of 10,000
// (only the rows in view are painted, so the two should cost the same).
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

struct TListWindow {
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TListBox* List = nullptr;

    explicit TListWindow(int Rows)
    {
        Form->SetBounds(0, 0, 240, 420);
        List = new TListBox(Form.get());
        List->SetParent(Form.get());
        List->SetBounds(8, 8, 209, 400);
        List->SetStyle(lbOwnerDrawFixed);
        List->SetItemHeight(13);
        List->SetMultiSelect(true);
        List->OnDrawItem = [this](TWinControl*, int Index, TRect Rect, TOwnerDrawState) {
            List->Canvas->FillRect(Rect);
            List->Canvas->TextOut(Rect.Left + 2, Rect.Top, List->Items->Get(Index));
        };
        for (int i = 0; i < Rows; ++i)
            List->Items->Add("Dependency " + std::to_string(i));
        for (int i = 0; i < Rows; i += 2)
            List->SetSelected(i, true);
        Form->Show();
    }
};

void BM_AddRows(benchmark::State& state)
{
    TListWindow w(0);
    const int rows = int(state.range(0));
    for (auto _ : state) {
        for (int i = 0; i < rows; ++i)
            w.List->Items->Add("Dependency");
        state.PauseTiming();
        w.List->Items->Clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_AddRows)->Arg(1000)->Arg(10000);

void BM_Repaint(benchmark::State& state)
{
    TListWindow w(int(state.range(0)));
    w.List->SetTopIndex(int(state.range(0)) / 2);
    for (auto _ : state) {
        w.List->Repaint();
        Application->ProcessMessages();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Repaint)->Arg(100)->Arg(10000);

}  // namespace

