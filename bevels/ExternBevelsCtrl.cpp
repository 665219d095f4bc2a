#include "bevels/ExternBevelsCtrl.h"

TExternBevelsCtrl::TExternBevelsCtrl(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FExternBevels = std::make_unique<Tolva::TExternBevels>(this, Canvas);
    ExternBevels = FExternBevels.get();
    // Virtual: a subclass's Paint places its linked controls as well.
    ExternBevels->OnChange = [this] { Paint(); };
}

TExternBevelsCtrl::~TExternBevelsCtrl()
{
    ExternBevels->OnChange = nullptr;
    ExternBevels = nullptr;
    FExternBevels.reset();
}

void TExternBevelsCtrl::SetExternBevels(Tolva::TExternBevels* Value)
{
    ExternBevels->Assign(Value);
}

TColor TExternBevelsCtrl::GetColor() const { return TGraphicControl::GetColor(); }

void TExternBevelsCtrl::SetColor(TColor Value)
{
    ExternBevels->Lock(true, true);
    ExternBevels->SetBackgroundColor(Value);
    TGraphicControl::SetColor(Value);
    ExternBevels->Lock(false, true);
    Invalidate();
}

bool TExternBevelsCtrl::GetParentColor() const { return TGraphicControl::GetParentColor(); }

void TExternBevelsCtrl::SetParentColor(bool Value)
{
    ExternBevels->Lock(true, true);
    TGraphicControl::SetParentColor(Value);
    // The colour taken over from the parent reaches the pair's background.
    if (Value) SetColor(GetColor());
    ExternBevels->Lock(false, true);
    Invalidate();
}

bool TExternBevelsCtrl::Lock() const { return ExternBevels->Lock(); }

void TExternBevelsCtrl::Lock(bool ALock, bool Notify) { ExternBevels->Lock(ALock, Notify); }

void TExternBevelsCtrl::Assign(TPersistent* Source)
{
    if (auto* ctrl = dynamic_cast<TExternBevelsCtrl*>(Source)) {
        ExternBevels->Assign(ctrl->ExternBevels);
        return;
    }
    TGraphicControl::Assign(Source);
}

void TExternBevelsCtrl::Paint()
{
    if (Painting) return;
    Painting = true;
    try {
        Canvas->Brush->SetColor(GetColor());
        Canvas->Brush->SetStyle(bsSolid);
        Canvas->FillRect(TRect(0, 0, GetWidth(), GetHeight()));
        ExternBevels->Paint();
    } catch (...) {
        Painting = false;
        throw;
    }
    Painting = false;
}
