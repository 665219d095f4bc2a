#include "bevels/LabeledBevels.h"

TLabeledBevels::TLabeledBevels(TComponent* AOwner) : TExternBevelsCustom(AOwner)
{
    ExternBevels->Lock(true, false);
    ILSHoriz = ilsStretch;
    ILSVerti = ilsStretch;
    SkipOuterLinkCheck = false;
    CaptionLabel = new TLabel(this);
    CaptionLabel->SetAutoSize(false);
    CaptionLabel->SetAlignment(taLeftJustify);
    CaptionLabel->SetLayout(tlCenter);
    CaptionLabel->SetTransparent(false);
    RouteLabelEvents();
    SetInnerLink(CaptionLabel);
    *InnerMargins = TRect(2, 2, 2, 2);
    ExternBevels->Lock(false, false);
    Paint();   // the label takes its place inside the frame at once
}

TLabeledBevels::~TLabeledBevels() = default;

void TLabeledBevels::RouteLabelEvents()
{
    TLabel* l = CaptionLabel;
    l->OnClick = Bind(this, &TLabeledBevels::LabelClick);
    l->OnDblClick = Bind(this, &TLabeledBevels::LabelDblClick);
    l->OnMouseDown = Bind(this, &TLabeledBevels::LabelMouseDown);
    l->OnMouseMove = Bind(this, &TLabeledBevels::LabelMouseMove);
    l->OnMouseUp = Bind(this, &TLabeledBevels::LabelMouseUp);
    l->OnDragDrop = Bind(this, &TLabeledBevels::LabelDragDrop);
    l->OnDragOver = Bind(this, &TLabeledBevels::LabelDragOver);
    l->OnEndDock = Bind(this, &TLabeledBevels::LabelEndDock);
    l->OnEndDrag = Bind(this, &TLabeledBevels::LabelEndDrag);
    l->OnStartDock = Bind(this, &TLabeledBevels::LabelStartDock);
    l->OnStartDrag = Bind(this, &TLabeledBevels::LabelStartDrag);
    l->OnMouseEnter = Bind(this, &TLabeledBevels::LabelMouseEnter);
    l->OnMouseLeave = Bind(this, &TLabeledBevels::LabelMouseLeave);
}

TPoint TLabeledBevels::ToClient(int X, int Y) const
{
    return TPoint(X + CaptionLabel->GetLeft() - TControl::GetLeft(),
                  Y + CaptionLabel->GetTop() - TControl::GetTop());
}

// --- Forwarded properties

UnicodeString TLabeledBevels::GetText() const { return CaptionLabel->GetText(); }

void TLabeledBevels::SetText(const UnicodeString& Value)
{
    CaptionLabel->SetText(Value);
    TExternBevelsCustom::SetText(Value);
}

bool TLabeledBevels::GetVisible() const { return CaptionLabel->GetVisible(); }

void TLabeledBevels::SetVisible(bool Value)
{
    CaptionLabel->SetVisible(Value);
    TExternBevelsCustom::SetVisible(Value);
}

TColor TLabeledBevels::GetColor() const { return CaptionLabel->GetColor(); }

void TLabeledBevels::SetColor(TColor Value)
{
    // While the caption follows its parent's colour, so does the label; taking the colour over
    // must not end that.
    TWinControl* parent = TControl::GetParent();
    const bool following =
        TControl::GetParentColor() && parent != nullptr && parent->GetColor() == Value;
    CaptionLabel->SetColor(Value);
    if (following) CaptionLabel->SetParentColor(true);
    TExternBevelsCustom::SetColor(Value);
}

bool TLabeledBevels::GetParentColor() const { return CaptionLabel->GetParentColor(); }

void TLabeledBevels::SetParentColor(bool Value)
{
    CaptionLabel->SetParentColor(Value);
    TExternBevelsCustom::SetParentColor(Value);
}

TFont* TLabeledBevels::GetFont() const { return CaptionLabel->GetFont(); }

void TLabeledBevels::SetFont(TFont* Value)
{
    CaptionLabel->SetFont(Value);
    TExternBevelsCustom::SetFont(Value);
}

bool TLabeledBevels::GetParentFont() const { return CaptionLabel->GetParentFont(); }

void TLabeledBevels::SetParentFont(bool Value)
{
    CaptionLabel->SetParentFont(Value);
    TExternBevelsCustom::SetParentFont(Value);
}

TCursor TLabeledBevels::GetCursor() const { return CaptionLabel->GetCursor(); }

void TLabeledBevels::SetCursor(TCursor Value)
{
    CaptionLabel->SetCursor(Value);
    TExternBevelsCustom::SetCursor(Value);
}

int TLabeledBevels::GetHelpContext() const { return CaptionLabel->GetHelpContext(); }

void TLabeledBevels::SetHelpContext(int Value)
{
    CaptionLabel->SetHelpContext(Value);
    TExternBevelsCustom::SetHelpContext(Value);
}

AnsiString TLabeledBevels::GetHelpKeyword() const
{
    return Utf8ToAnsi(CaptionLabel->GetHelpKeyword());
}

void TLabeledBevels::SetHelpKeyword(const AnsiString& Value)
{
    const UnicodeString text = AnsiToUtf8(Value);
    CaptionLabel->SetHelpKeyword(text);
    TExternBevelsCustom::SetHelpKeyword(text);
}

bool TLabeledBevels::GetShowHint() const { return CaptionLabel->GetShowHint(); }

void TLabeledBevels::SetShowHint(bool Value)
{
    CaptionLabel->SetShowHint(Value);
    TExternBevelsCustom::SetShowHint(Value);
}

bool TLabeledBevels::GetParentShowHint() const { return CaptionLabel->GetParentShowHint(); }

void TLabeledBevels::SetParentShowHint(bool Value)
{
    CaptionLabel->SetParentShowHint(Value);
    TExternBevelsCustom::SetParentShowHint(Value);
}

TAnchors TLabeledBevels::GetAnchors() const { return CaptionLabel->GetAnchors(); }

void TLabeledBevels::SetAnchors(TAnchors Value)
{
    CaptionLabel->SetAnchors(Value);
    TExternBevelsCustom::SetAnchors(Value);
}

bool TLabeledBevels::GetEnabled() const { return CaptionLabel->GetEnabled(); }

void TLabeledBevels::SetEnabled(bool Value)
{
    CaptionLabel->SetEnabled(Value);
    TExternBevelsCustom::SetEnabled(Value);
}

TDragMode TLabeledBevels::GetDragMode() const { return CaptionLabel->GetDragMode(); }

void TLabeledBevels::SetDragMode(TDragMode Value)
{
    CaptionLabel->SetDragMode(Value);
    TExternBevelsCustom::SetDragMode(Value);
}

bool TLabeledBevels::GetParentBiDiMode() const { return CaptionLabel->GetParentBiDiMode(); }

void TLabeledBevels::SetParentBiDiMode(bool Value)
{
    CaptionLabel->SetParentBiDiMode(Value);
    TExternBevelsCustom::SetParentBiDiMode(Value);
}

AnsiString TLabeledBevels::GetHint() const { return Utf8ToAnsi(CaptionLabel->GetHint()); }

void TLabeledBevels::SetHint(const AnsiString& Value)
{
    const UnicodeString text = AnsiToUtf8(Value);
    CaptionLabel->SetHint(text);
    TExternBevelsCustom::SetHint(text);
}

TCursor TLabeledBevels::GetDragCursor() const { return CaptionLabel->GetDragCursor(); }

void TLabeledBevels::SetDragCursor(TCursor Value)
{
    CaptionLabel->SetDragCursor(Value);
    TExternBevelsCustom::SetDragCursor(Value);
}

TDragKind TLabeledBevels::GetDragKind() const { return CaptionLabel->GetDragKind(); }

void TLabeledBevels::SetDragKind(TDragKind Value)
{
    CaptionLabel->SetDragKind(Value);
    TExternBevelsCustom::SetDragKind(Value);
}

THelpType TLabeledBevels::GetHelpType() const { return CaptionLabel->GetHelpType(); }

void TLabeledBevels::SetHelpType(THelpType Value)
{
    CaptionLabel->SetHelpType(Value);
    TExternBevelsCustom::SetHelpType(Value);
}

TWinControl* TLabeledBevels::GetParent() const { return CaptionLabel->GetParent(); }

void TLabeledBevels::SetParent(TWinControl* AParent)
{
    CaptionLabel->SetParent(AParent);
    TExternBevelsCustom::SetParent(AParent);
    // The label joined the parent before the frame; it must paint above it.
    if (CaptionLabel->GetParent() != nullptr) CaptionLabel->BringToFront();
}

TAlignment TLabeledBevels::GetAlignment() const { return CaptionLabel->GetAlignment(); }
void TLabeledBevels::SetAlignment(TAlignment Value) { CaptionLabel->SetAlignment(Value); }
TTextLayout TLabeledBevels::GetLayout() const { return CaptionLabel->GetLayout(); }
void TLabeledBevels::SetLayout(TTextLayout Value) { CaptionLabel->SetLayout(Value); }
bool TLabeledBevels::GetShowAccelChar() const { return CaptionLabel->GetShowAccelChar(); }
void TLabeledBevels::SetShowAccelChar(bool Value) { CaptionLabel->SetShowAccelChar(Value); }
bool TLabeledBevels::GetWordWrap() const { return CaptionLabel->GetWordWrap(); }
void TLabeledBevels::SetWordWrap(bool Value) { CaptionLabel->SetWordWrap(Value); }

void TLabeledBevels::SetOuterLink(TControl* Value)
{
    CaptionLabel->SetFocusControl(dynamic_cast<TWinControl*>(Value));
    TExternBevelsCustom::SetOuterLink(Value);
}

void TLabeledBevels::Assign(TPersistent* Source)
{
    if (auto* source = dynamic_cast<TLabeledBevels*>(Source)) {
        TLabel* from = source->CaptionLabel;
        CaptionLabel->SetText(from->GetText());
        CaptionLabel->SetAlignment(from->GetAlignment());
        CaptionLabel->SetLayout(from->GetLayout());
        CaptionLabel->SetShowAccelChar(from->GetShowAccelChar());
        CaptionLabel->SetWordWrap(from->GetWordWrap());
        CaptionLabel->SetAutoSize(from->GetAutoSize());
        CaptionLabel->SetTransparent(from->GetTransparent());
        CaptionLabel->SetFont(from->GetFont());
        CaptionLabel->SetParentFont(from->GetParentFont());
        if (from->GetParentColor())
            CaptionLabel->SetParentColor(true);
        else
            CaptionLabel->SetColor(from->GetColor());
        RouteLabelEvents();
        OnMouseEnter = source->OnMouseEnter;
        OnMouseLeave = source->OnMouseLeave;
    }
    TExternBevelsCustom::Assign(Source);
}

// --- Event routing

void TLabeledBevels::LabelClick(TObject*)
{
    if (OnClick) OnClick(this);
}

void TLabeledBevels::LabelDblClick(TObject*)
{
    if (OnDblClick) OnDblClick(this);
}

void TLabeledBevels::LabelMouseDown(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (!OnMouseDown) return;
    const TPoint p = ToClient(X, Y);
    OnMouseDown(this, Button, Shift, p.X, p.Y);
}

void TLabeledBevels::LabelMouseMove(TObject*, TShiftState Shift, int X, int Y)
{
    if (!OnMouseMove) return;
    const TPoint p = ToClient(X, Y);
    OnMouseMove(this, Shift, p.X, p.Y);
}

void TLabeledBevels::LabelMouseUp(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (!OnMouseUp) return;
    const TPoint p = ToClient(X, Y);
    OnMouseUp(this, Button, Shift, p.X, p.Y);
}

void TLabeledBevels::LabelDragDrop(TObject*, TObject* Source, int X, int Y)
{
    if (!OnDragDrop) return;
    const TPoint p = ToClient(X, Y);
    OnDragDrop(this, Source, p.X, p.Y);
}

void TLabeledBevels::LabelDragOver(TObject*, TObject* Source, int X, int Y, TDragState State,
                                   bool& Accept)
{
    if (!OnDragOver) return;
    const TPoint p = ToClient(X, Y);
    OnDragOver(this, Source, p.X, p.Y, State, Accept);
}

void TLabeledBevels::LabelEndDock(TObject*, TObject* Target, int X, int Y)
{
    if (!OnEndDock) return;
    const TPoint p = ToClient(X, Y);
    OnEndDock(this, Target, p.X, p.Y);
}

void TLabeledBevels::LabelEndDrag(TObject*, TObject* Target, int X, int Y)
{
    if (!OnEndDrag) return;
    const TPoint p = ToClient(X, Y);
    OnEndDrag(this, Target, p.X, p.Y);
}

void TLabeledBevels::LabelStartDock(TObject*, TDragDockObject*& DragObject)
{
    if (OnStartDock) OnStartDock(this, DragObject);
}

void TLabeledBevels::LabelStartDrag(TObject*, TDragObject*& DragObject)
{
    if (OnStartDrag) OnStartDrag(this, DragObject);
}

void TLabeledBevels::LabelMouseEnter(TObject*)
{
    if (OnMouseEnter) OnMouseEnter(this);
}

void TLabeledBevels::LabelMouseLeave(TObject*)
{
    if (OnMouseLeave) OnMouseLeave(this);
}
