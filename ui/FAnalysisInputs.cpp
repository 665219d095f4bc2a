#include "ui/FAnalysisInputs.h"

#include "ui/FCorvane.h"
#include "ui/FormLook.h"
#include "ui/InputFields.h"

#include <algorithm>

namespace {

// The window's grid: a caption column and the fields of analyte 1, analyte 2 and the selector.
constexpr int CaptionX = 8;
constexpr int FieldX[3] = {135, 262, 389};
constexpr int FirstRow = 30;
constexpr int RowStep = 27;

}  // namespace

TFrmRunInputs::TFrmRunInputs(TFrmCorvane* AOwner) : TForm(AOwner), FMain(AOwner)
{
    SetName("FrmRunInputs");
    SetCaption("Run and diffusion inputs");
    SetClientWidth(518);
    SetClientHeight(330);
    SetWindowFont(this);
    SetColor(clBtnFace);
    OnHide = Bind(this, &TFrmRunInputs::FormHide);

    LblNote = new TLabel(this);
    LblNote->SetParent(this);
    LblNote->SetAutoSize(false);
    LblNote->SetWordWrap(true);
    LblNote->SetBounds(8, 6, 502, 20);
    LblNote->SetCaption("The main window's fields for analyte 1, analyte 2 and the selector; Apply stores them.");

    BtnApply = NewButton(this, this, "BtnApply", "&Apply", 334, 281, 84, 41);
    BtnApply->OnClick = Bind(this, &TFrmRunInputs::BtnApplyClick);

    BtnClose = NewButton(this, this, "BtnClose", "&Close", 426, 281, 84, 41);
    BtnClose->SetCancel(true);
    BtnClose->OnClick = Bind(this, &TFrmRunInputs::BtnCloseClick);
}

TFrmRunInputs::~TFrmRunInputs()
{
    HandBack();
}

void TFrmRunInputs::Open()
{
    if (FLent.empty()) {
        // The hidden fields of the grid in their table order, each caption opening a row.
        int row = -1, column = 0;
        for (const TMainFieldRow& f : MainFields) {
            if (f.Visible || f.Panel != fpGrid)
                continue;
            TNumEdit* field = FMain->*f.Member;
            TControl* caption = f.Caption.Member != nullptr ? FMain->*f.Caption.Member : nullptr;
            if (caption != nullptr || row < 0)
                ++row, column = 0;
            auto lend = [&](TControl* c, int Left) {
                FLent.push_back({c, c->GetParent(), c->GetLeft(), c->GetTop(), c->GetVisible()});
                c->FreeNotification(this);
                if (c->GetParent() != nullptr)
                    c->GetParent()->FreeNotification(this);
                c->SetParent(this);
                c->SetBounds(Left, FirstRow + row * RowStep, c->GetWidth(), c->GetHeight());
                c->SetVisible(true);
            };
            if (caption != nullptr)
                lend(caption, CaptionX);
            lend(field, FieldX[std::min(column, 2)]);
            ++column;
        }
    }
    Show();
}

void TFrmRunInputs::HandBack()
{
    for (const TLent& l : FLent) {
        // A home already gone (the main window closing) leaves the field to go with this window.
        if (l.Parent == nullptr)
            continue;
        l.Control->SetParent(l.Parent);
        l.Control->SetBounds(l.Left, l.Top, l.Control->GetWidth(), l.Control->GetHeight());
        l.Control->SetVisible(l.Visible);
    }
    FLent.clear();
}

void TFrmRunInputs::Notification(TComponent* AComponent, TOperation Operation)
{
    TForm::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    FLent.erase(std::remove_if(FLent.begin(), FLent.end(), [&](const TLent& l) { return l.Control == AComponent; }),
                FLent.end());
    for (TLent& l : FLent)
        if (l.Parent == AComponent)
            l.Parent = nullptr;
}

void TFrmRunInputs::BtnApplyClick(TObject*)
{
    FMain->BtnApplyClick(FMain->BtnApply);
}

void TFrmRunInputs::BtnCloseClick(TObject*)
{
    Close();
}

void TFrmRunInputs::FormHide(TObject*)
{
    HandBack();
}
