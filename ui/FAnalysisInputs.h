// The run and diffusion inputs that the main window's layout keeps hidden (charges, diffusion
// coefficients, temperature, EOF slope, capillary radius, pressure) in a window of their own,
// opened from the separation analysis. It holds the main window's very fields, lent to it while
// it is shown and handed back when it hides, so that showing and storing a dependency, the
// acceptance rules, the diffusion locks, the scaling, the red mark and Apply behave exactly as for
// every other field.
#pragma once

#include "platform/Forms.h"
#include "platform/StdCtrls.h"

#include <vector>

class TFrmCorvane;

class TFrmRunInputs : public TForm {
public:
    explicit TFrmRunInputs(TFrmCorvane* AOwner);
    ~TFrmRunInputs() override;

    TLabel* LblNote;
    TButton* BtnApply;
    TButton* BtnClose;

    // Takes the fields in and shows the window.
    void Open();
    // The number of fields lent to the window now.
    int LentCount() const { return static_cast<int>(FLent.size()); }

    void BtnApplyClick(TObject* Sender);
    void BtnCloseClick(TObject* Sender);
    void FormHide(TObject* Sender);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void HandBack();

    struct TLent {
        TControl* Control;
        TWinControl* Parent;
        int Left, Top;
        bool Visible;
    };
    std::vector<TLent> FLent;
    TFrmCorvane* FMain;
};
