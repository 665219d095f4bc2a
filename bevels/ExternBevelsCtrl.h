// A windowless control that fills its client area with its colour and paints a bevel pair on it.
#pragma once

#include "bevels/TolvaGraphics.h"
#include "platform/Controls.h"

#include <memory>

class TExternBevelsCtrl : public TGraphicControl {
public:
    explicit TExternBevelsCtrl(TComponent* AOwner);
    ~TExternBevelsCtrl() override;

    // The painted pair (owned); its OnChange repaints this control.
    Tolva::TExternBevels* ExternBevels = nullptr;

    Tolva::TExternBevels* GetExternBevels() const { return ExternBevels; }
    // The pair takes over the settings of Value.
    void SetExternBevels(Tolva::TExternBevels* Value);

    TColor GetColor() const override;
    void SetColor(TColor Value) override;
    bool GetParentColor() const override;
    void SetParentColor(bool Value) override;

    bool Lock() const;
    void Lock(bool ALock, bool Notify);

    void Assign(TPersistent* Source) override;
    void Paint() override;

protected:
    bool Painting = false;

private:
    std::unique_ptr<Tolva::TExternBevels> FExternBevels;
};
