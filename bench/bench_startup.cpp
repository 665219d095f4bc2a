// Start-up: the time from program start to the first painted window, and the cost of creating,
// laying out and showing a main-window-sized form with many controls.
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

#include "bench/main/ProcessClock.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>

namespace {

// A one-pixel graphic control that notes when its window has painted it.
class TPaintSpy : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    bool Painted = false;
    void Paint() override { Painted = true; }
};

// Shows the form and handles messages until it has been painted (at most 5 seconds).
void ShowAndWait(TForm* Form)
{
    auto* spy = new TPaintSpy(Form);
    spy->SetBounds(0, 0, 1, 1);
    spy->SetParent(Form);
    Form->Show();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!spy->Painted && std::chrono::steady_clock::now() < deadline)
        Application->ProcessMessages();
    delete spy;
}

// A form laid out like the main window: aligned panels and a splitter, a grid of 8 x 6 fields
// with their captions, and a row of buttons.
TForm* MakeMainSizedForm(bool Populated)
{
    auto* form = new TForm(nullptr);
    form->SetCaption("Corvane");
    form->SetClientWidth(1156);
    form->SetClientHeight(679);
    if (!Populated)
        return form;
    auto* bottom = new TPanel(form);
    bottom->SetBevelOuter(bvNone);
    bottom->SetBounds(0, 440, 1156, 239);
    bottom->SetAlign(alBottom);
    bottom->SetParent(form);
    auto* split = new TSplitter(form);
    split->SetBounds(0, 437, 1156, 3);
    split->SetAlign(alBottom);
    split->SetParent(form);
    auto* top = new TPanel(form);
    top->SetBevelOuter(bvNone);
    top->SetAlign(alClient);
    top->SetParent(form);
    for (int row = 0; row < 8; ++row)
        for (int col = 0; col < 6; ++col) {
            auto* caption = new TLabel(form);
            caption->SetParent(bottom);
            caption->SetAutoSize(false);
            caption->SetLayout(tlCenter);
            caption->SetCaption("Free mobility [.1E+9]");
            caption->SetBounds(8 + col * 190, 6 + row * 27, 121, 21);
            auto* field = new TEdit(form);
            field->SetParent(bottom);
            field->SetBounds(135 + col * 190, 6 + row * 27, 50, 21);
            field->SetText("1.234");
        }
    for (int i = 0; i < 5; ++i) {
        auto* button = new TButton(form);
        button->SetParent(top);
        button->SetCaption("&Button");
        button->SetBounds(860, 8 + i * 50, 84, 41);
    }
    return form;
}

void BM_ShowEmptyForm(benchmark::State& State)
{
    for (auto _ : State) {
        TForm* form = MakeMainSizedForm(false);
        ShowAndWait(form);
        delete form;
    }
}
BENCHMARK(BM_ShowEmptyForm)->Unit(benchmark::kMillisecond);

void BM_ShowPopulatedForm(benchmark::State& State)
{
    for (auto _ : State) {
        TForm* form = MakeMainSizedForm(true);
        ShowAndWait(form);
        delete form;
    }
}
BENCHMARK(BM_ShowPopulatedForm)->Unit(benchmark::kMillisecond);

void BM_RepaintPopulatedForm(benchmark::State& State)
{
    TForm* form = MakeMainSizedForm(true);
    ShowAndWait(form);
    for (auto _ : State) {
        for (int i = 0; i < form->ControlCount(); ++i)
            form->Controls(i)->Invalidate();
        form->Repaint();
        Application->ProcessMessages();
    }
    delete form;
}
BENCHMARK(BM_RepaintPopulatedForm)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    // Measured on the offscreen platform unless another one is asked for.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const auto t0 = std::chrono::steady_clock::now();
    // The program's own start: the application, then the main form, shown and painted.
    Application->Initialize();
    TForm* main = nullptr;
    Application->CreateForm(main);
    main->SetCaption("Corvane");
    main->SetClientWidth(1156);
    main->SetClientHeight(679);
    ShowAndWait(main);
    const double inMain =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    const double sinceStart = MillisecondsSinceProcessStart();
    std::printf("Start-up to the first painted window: %.1f ms from main, %.0f ms from process start\n",
                inMain, sinceStart);
    DestroyApplicationForms();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
