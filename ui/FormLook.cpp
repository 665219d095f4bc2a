#include "ui/FormLook.h"

#include "bevels/TolvaGraphics.h"

void SetWindowFont(TControl* Control)
{
    Control->Font->SetName("Tahoma");
    Control->Font->SetHeight(-11);
}

TLabeledBevels* NewFieldCaption(TComponent* Owner, TWinControl* Parent, const UnicodeString& Text,
                                int Left, int Top, int Width)
{
    auto* caption = new TLabeledBevels(Owner);
    caption->ExternBevels->GetBevelInner()->SetVisible(false);
    caption->SetParent(Parent);
    caption->SetBounds(Left, Top, Width, FieldHeight);
    caption->SetCaption(Text);
    caption->SetOuterLinkStyle(lsRight);
    caption->SetLayout(tlCenter);
    caption->SetShowAccelChar(true);
    return caption;
}

TButton* NewButton(TComponent* Owner, TWinControl* Parent, const char* Name, const char* Caption, int Left, int Top,
                   int Width, int Height)
{
    auto* b = new TButton(Owner);
    b->SetName(Name);
    b->SetParent(Parent);
    b->SetBounds(Left, Top, Width, Height);
    b->SetCaption(Caption);
    return b;
}

TLabel* NewWrappedText(TWinControl* Owner, int Left, int Top, int Width, int Height)
{
    auto* l = new TLabel(Owner);
    l->SetParent(Owner);
    l->SetAutoSize(false);
    l->SetWordWrap(true);
    l->SetTransparent(true);
    l->SetBounds(Left, Top, Width, Height);
    return l;
}

TNumEdit* NewNumericField(TComponent* Owner, TWinControl* Parent, int Left, int Top)
{
    return PlaceNumericField(new TNumEdit(Owner), Parent, Left, Top);
}

TNumEdit* PlaceNumericField(TNumEdit* field, TWinControl* Parent, int Left, int Top)
{
    field->SetParent(Parent);
    field->SetBounds(Left, Top, FieldWidth, FieldHeight);
    field->SetModifiedColor(clMoneyGreen);
    field->SetTabStop(true);
    return field;
}

TFastLineSeries* NewCrossHairSeries(TChart* Chart)
{
    auto* s = new TFastLineSeries(Chart);
    s->SetOverlay(true);
    s->SetShowInLegend(false);
    s->GetLinePen()->SetColor(clRed);
    s->GetLinePen()->SetStyle(psDash);
    s->GetLinePen()->SetWidth(2);
    s->SetParentChart(Chart);
    return s;
}

TSaveDialog* NewSaveDialog(TComponent* Owner, const char* Name, const UnicodeString& Filter,
                           const UnicodeString& DefaultExt)
{
    auto* d = new TSaveDialog(Owner);
    d->SetName(Name);
    d->SetFilter(Filter);
    d->SetDefaultExt(DefaultExt);
    d->SetOptions(TOpenOptions{ofOverwritePrompt, ofHideReadOnly, ofPathMustExist, ofNoReadOnlyReturn,
                               ofEnableSizing});
    return d;
}
