#include "bevels/TolvaGraphics.h"

#include "platform/Controls.h"

namespace Tolva {

// ---------------------------------------------------------------------------------------------
// TVCLRect

TVCLRect::TVCLRect(int ALeft, int ATop, int ARight, int ABottom)
    : Left(ALeft), Top(ATop), Right(ARight), Bottom(ABottom)
{
}

TVCLRect::TVCLRect(const TRect& R) : Left(R.Left), Top(R.Top), Right(R.Right), Bottom(R.Bottom) {}

void TVCLRect::SetLeft(int Value)
{
    if (Value == Left) return;
    Left = Value;
    Changed();
}

void TVCLRect::SetTop(int Value)
{
    if (Value == Top) return;
    Top = Value;
    Changed();
}

void TVCLRect::SetRight(int Value)
{
    if (Value == Right) return;
    Right = Value;
    Changed();
}

void TVCLRect::SetBottom(int Value)
{
    if (Value == Bottom) return;
    Bottom = Value;
    Changed();
}

TVCLRect& TVCLRect::operator=(const TRect& R)
{
    Left = R.Left;
    Top = R.Top;
    Right = R.Right;
    Bottom = R.Bottom;
    Changed();
    return *this;
}

TVCLRect& TVCLRect::operator=(const TVCLRect& R)
{
    return *this = static_cast<TRect>(R);
}

bool TVCLRect::operator==(const TRect& R) const
{
    return Left == R.Left && Top == R.Top && Right == R.Right && Bottom == R.Bottom;
}

bool TVCLRect::operator==(const TVCLRect& R) const
{
    return *this == static_cast<TRect>(R);
}

void TVCLRect::Assign(TPersistent* Source)
{
    if (auto* rect = dynamic_cast<TVCLRect*>(Source)) {
        *this = *rect;
        return;
    }
    TPersistent::Assign(Source);
}

void TVCLRect::Changed()
{
    if (OnChange) OnChange();
}

// ---------------------------------------------------------------------------------------------
// TExternBevel

TExternBevel::TExternBevel() { Init(); }

TExternBevel::TExternBevel(TCanvas* ACanvas)
{
    Init();
    Canvas = ACanvas;
}

TExternBevel::TExternBevel(TCanvas* ACanvas, const TRect& ARect)
{
    Init();
    Canvas = ACanvas;
    *BounderRect = ARect;
}

TExternBevel::TExternBevel(TControl* AControl, TCanvas* ACanvas)
{
    Init();
    Canvas = ACanvas;
    Control = AControl;
}

TExternBevel::TExternBevel(TControl* AControl, TCanvas* ACanvas, const TRect& ARect)
{
    Init();
    Canvas = ACanvas;
    Control = AControl;
    *BounderRect = ARect;
}

TExternBevel::~TExternBevel() = default;

void TExternBevel::Init()
{
    FBounderRect = std::make_unique<TVCLRect>();
    BounderRect = FBounderRect.get();
    BounderRect->OnChange = Bind(this, &TExternBevel::Changed);
    LockCount = 0;
    Width = 1;
    Visible = true;
    Style = eblLowered;
    Shape = eblRectangle45;
    Kind = eblBox;
    LoweredColor = clBtnShadow;
    RaisedColor = clBtnHighlight;
    Edges = AllExternBevelEdges;
    PenStyle = psSolid;
    PenMode = pmCopy;
    BackgroundColor = clBtnFace;
    Transparent = true;
    PaintedRect = TRect();
    PaintedShape = 0;
    PaintedWidth = 0;
    Canvas = nullptr;
    Control = nullptr;
    OnChange = nullptr;
}

void TExternBevel::SetBounderRect(TVCLRect* Value)
{
    if (Value != BounderRect) BounderRect->Assign(Value);
}

// Stores a setting and reports the change; an equal value does nothing.
template <typename T>
static bool Store(T& Field, T Value)
{
    if (Field == Value) return false;
    Field = Value;
    return true;
}

void TExternBevel::SetWidth(int Value)
{
    if (Store(Width, Value)) Changed();
}

void TExternBevel::SetVisible(bool Value)
{
    if (Store(Visible, Value)) Changed();
}

void TExternBevel::SetStyle(TExternBevelStyle Value)
{
    if (Store(Style, Value)) Changed();
}

void TExternBevel::SetShape(TExternBevelShape Value)
{
    if (Store(Shape, Value)) Changed();
}

void TExternBevel::SetKind(TExternBevelKind Value)
{
    if (Store(Kind, Value)) Changed();
}

void TExternBevel::SetLoweredColor(TColor Value)
{
    if (Store(LoweredColor, Value)) Changed();
}

void TExternBevel::SetRaisedColor(TColor Value)
{
    if (Store(RaisedColor, Value)) Changed();
}

void TExternBevel::SetEdges(TExternBevelEdges Value)
{
    if (Store(Edges, Value)) Changed();
}

void TExternBevel::SetPenStyle(TPenStyle Value)
{
    if (Store(PenStyle, Value)) Changed();
}

void TExternBevel::SetPenMode(TPenMode Value)
{
    if (Store(PenMode, Value)) Changed();
}

void TExternBevel::SetBackgroundColor(TColor Value)
{
    if (Store(BackgroundColor, Value)) Changed();
}

void TExternBevel::SetTransparent(bool Value)
{
    if (Store(Transparent, Value)) Changed();
}

int TExternBevel::GetLeftOffset() const
{
    return BounderRect->Left + (Visible && Edges.Contains(eblLeft) ? Width : 0);
}

int TExternBevel::GetTopOffset() const
{
    return BounderRect->Top + (Visible && Edges.Contains(eblTop) ? Width : 0);
}

int TExternBevel::GetRightOffset() const
{
    return BounderRect->Right + (Visible && Edges.Contains(eblRight) ? Width : 0);
}

int TExternBevel::GetBottomOffset() const
{
    return BounderRect->Bottom + (Visible && Edges.Contains(eblBottom) ? Width : 0);
}

TRect& TExternBevel::CutOffset(TRect& R) const
{
    R.Left += GetLeftOffset();
    R.Top += GetTopOffset();
    R.Right -= GetRightOffset();
    R.Bottom -= GetBottomOffset();
    return R;
}

void TExternBevel::Lock(bool ALock, bool Notify)
{
    if (ALock)
        ++LockCount;
    else if (LockCount > 0)
        --LockCount;
    if (LockCount == 0 && Notify) Changed();
}

void TExternBevel::Changed()
{
    Paint();
    if (OnChange) OnChange();
}

void TExternBevel::Paint()
{
    Clear(Canvas);
    PaintTo(Control, Canvas);
}

void TExternBevel::PaintTo(TControl* AControl, TCanvas* ACanvas)
{
    if (AControl == nullptr) return;
    PaintTo(ACanvas, TRect(0, 0, AControl->GetWidth(), AControl->GetHeight()));
}

namespace {

// Saves the canvas settings a bevel touches and puts them back when it goes out of scope, also
// when painting fails half-way.
class TCanvasState {
public:
    explicit TCanvasState(TCanvas* ACanvas)
        : FCanvas(ACanvas),
          FBrushStyle(ACanvas->Brush->GetStyle()),
          FBrushColor(ACanvas->Brush->GetColor()),
          FPenMode(ACanvas->Pen->GetMode()),
          FPenStyle(ACanvas->Pen->GetStyle()),
          FPenColor(ACanvas->Pen->GetColor()),
          FPenWidth(ACanvas->Pen->GetWidth()),
          FPenPos(ACanvas->GetPenPos())
    {
    }
    ~TCanvasState()
    {
        FCanvas->Brush->SetColor(FBrushColor);
        FCanvas->Brush->SetStyle(FBrushStyle);
        FCanvas->Pen->SetMode(FPenMode);
        FCanvas->Pen->SetStyle(FPenStyle);
        FCanvas->Pen->SetColor(FPenColor);
        FCanvas->Pen->SetWidth(FPenWidth);
        FCanvas->SetPenPos(FPenPos);
    }
    TCanvasState(const TCanvasState&) = delete;
    TCanvasState& operator=(const TCanvasState&) = delete;

private:
    TCanvas* FCanvas;
    TBrushStyle FBrushStyle;
    TColor FBrushColor;
    TPenMode FPenMode;
    TPenStyle FPenStyle;
    TColor FPenColor;
    int FPenWidth;
    TPoint FPenPos;
};

void SetBrush(TCanvas* Canvas, bool Transparent, TColor Color)
{
    Canvas->Brush->SetColor(Color);
    Canvas->Brush->SetStyle(Transparent ? bsClear : bsSolid);
}

// A pen of the given colour; clNone leaves no mark.
void SetLinePen(TCanvas* Canvas, TPenStyle Style, TColor Color)
{
    Canvas->Pen->SetColor(Color);
    Canvas->Pen->SetStyle(Color == clNone ? psClear : Style);
}

void Line(TCanvas* Canvas, int X1, int Y1, int X2, int Y2)
{
    Canvas->MoveTo(X1, Y1);
    Canvas->LineTo(X2, Y2);
}

} // namespace

void TExternBevel::PaintTo(TCanvas* ACanvas, const TRect& ARect)
{
    if (ACanvas == nullptr || Lock() || Style == eblNone || !Visible) return;

    const int L = ARect.Left + BounderRect->Left;
    const int T = ARect.Top + BounderRect->Top;
    const int R = ARect.Right - BounderRect->Right;
    const int B = ARect.Bottom - BounderRect->Bottom;
    PaintedRect = TRect(L, T, R, B);
    PaintedShape = Shape;
    PaintedWidth = Width;

    TCanvasState saved(ACanvas);
    SetBrush(ACanvas, Transparent, BackgroundColor);
    ACanvas->Pen->SetMode(PenMode);
    ACanvas->Pen->SetWidth(1);

    const TColor leading = Style == eblLowered ? LoweredColor : RaisedColor;
    const TColor trailing = Style == eblLowered ? RaisedColor : LoweredColor;
    const bool hasLeft = Edges.Contains(eblLeft);
    const bool hasTop = Edges.Contains(eblTop);
    const bool hasRight = Edges.Contains(eblRight);
    const bool hasBottom = Edges.Contains(eblBottom);
    const int w = Width;

    SetLinePen(ACanvas, PenStyle, leading);
    if (Shape == eblRectangle45) {
        // Mitred corners: the lines of each edge shorten by one pixel per step inwards.
        const int R1 = R - 1;
        const int B1 = B - 1;
        if (hasTop)
            for (int i = 0; i < w; ++i)
                Line(ACanvas, hasRight ? R1 - 1 - i : R1, T + i, hasLeft ? L + i - 1 : L - 1, T + i);
        if (hasLeft)
            for (int i = 0; i < w; ++i)
                Line(ACanvas, L + i, hasTop ? T + i : T, L + i, hasBottom ? B1 - i : B1 + 1);
        if (Kind == eblBox) SetLinePen(ACanvas, PenStyle, trailing);
        if (hasBottom)
            for (int i = 0; i < w; ++i)
                Line(ACanvas, hasLeft ? L + i : L, B1 - i, hasRight ? R1 + 1 - i : R1 + 1, B1 - i);
        if (hasRight)
            for (int i = 0; i < w; ++i)
                Line(ACanvas, R1 - i, hasBottom ? B1 - 1 - i : B1, R1 - i, hasTop ? T + i - 1 : T - 1);
    } else {
        // Square corners: top and bottom run the full length, the right edge comes last.
        const int tw = hasTop ? w : 0;
        const int rw = hasRight ? w : 0;
        const int bw = hasBottom ? w : 0;
        if (hasTop)
            for (int i = 0; i < w; ++i) Line(ACanvas, R - rw, T + i, L - 1, T + i);
        if (hasLeft)
            for (int i = 0; i < w; ++i) Line(ACanvas, L + i, T + tw, L + i, B - bw);
        if (Kind == eblBox) SetLinePen(ACanvas, PenStyle, trailing);
        if (hasBottom)
            for (int i = 0; i < w; ++i) Line(ACanvas, L, B - 1 - i, R, B - 1 - i);
        if (hasRight)
            for (int i = 0; i < w; ++i) Line(ACanvas, R - 1 - i, B - bw, R - 1 - i, T - 1);
    }
}

void TExternBevel::Clear(TCanvas* ACanvas)
{
    if (ACanvas == nullptr || Lock()) return;

    TCanvasState saved(ACanvas);
    // The strips are filled solid whatever Transparent says: with a clear brush only their
    // outlines would be erased, and a frame wider than two pixels would keep its middle lines.
    SetBrush(ACanvas, false, BackgroundColor);
    ACanvas->Pen->SetMode(pmCopy);
    ACanvas->Pen->SetColor(BackgroundColor);

    const int L = PaintedRect.Left;
    const int T = PaintedRect.Top;
    const int R = PaintedRect.Right;
    const int B = PaintedRect.Bottom;
    const int w = PaintedWidth;
    ACanvas->Rectangle(L, T, L + w, B);
    ACanvas->Rectangle(L, T, R, T + w);
    ACanvas->Rectangle(R - w, T, R, B);
    ACanvas->Rectangle(L, B - w, R, B);
}

void TExternBevel::Assign(TPersistent* Source)
{
    if (auto* bevel = dynamic_cast<TExternBevel*>(Source)) {
        BounderRect->Assign(bevel->BounderRect);
        Width = bevel->Width;
        Visible = bevel->Visible;
        Style = bevel->Style;
        Shape = bevel->Shape;
        Kind = bevel->Kind;
        LoweredColor = bevel->LoweredColor;
        RaisedColor = bevel->RaisedColor;
        Edges = bevel->Edges;
        PenStyle = bevel->PenStyle;
        PenMode = bevel->PenMode;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------------------------------------
// TExternBevels

TExternBevels::TExternBevels() { Init(); }

TExternBevels::TExternBevels(TCanvas* ACanvas)
{
    Init();
    Canvas = ACanvas;
}

TExternBevels::TExternBevels(TCanvas* ACanvas, const TRect& ARect)
{
    Init();
    Canvas = ACanvas;
    *BounderRect = ARect;
}

TExternBevels::TExternBevels(TControl* AControl, TCanvas* ACanvas)
{
    Init();
    Canvas = ACanvas;
    Control = AControl;
}

TExternBevels::TExternBevels(TControl* AControl, TCanvas* ACanvas, const TRect& ARect)
{
    Init();
    Canvas = ACanvas;
    Control = AControl;
    *BounderRect = ARect;
}

TExternBevels::~TExternBevels()
{
    FBevelInner.reset();
    FBevelOuter.reset();
    FBounderRect.reset();
}

void TExternBevels::Init()
{
    // The bevels stay locked once except inside PaintTo, so only the pair paints them.
    FBevelInner = std::make_unique<TExternBevel>();
    FBevelOuter = std::make_unique<TExternBevel>();
    BevelInner = FBevelInner.get();
    BevelOuter = FBevelOuter.get();
    for (TExternBevel* bevel : {BevelInner, BevelOuter}) {
        bevel->OnChange = Bind(this, &TExternBevels::Changed);
        bevel->Lock(true, false);
    }
    FBounderRect = std::make_unique<TVCLRect>();
    BounderRect = FBounderRect.get();
    BounderRect->OnChange = Bind(this, &TExternBevels::Changed);
    Canvas = nullptr;
    Control = nullptr;
    OnChange = nullptr;
    Visible = true;
    Lock(true, false);
    ResetColors();
    SetShape(eblRectangle45);
    SetStyle(eblLowered);
    SetKind(eblsBox);
    Lock(false, false);
}

int TExternBevels::GetWidth() const
{
    return BevelInner->Width == BevelOuter->Width ? BevelOuter->Width : -1;
}

bool TExternBevels::GetVisible() const
{
    if (Kind != eblsCustom) return Visible;
    return BevelInner->Visible || BevelOuter->Visible;
}

TExternBevelShape TExternBevels::GetShape() const { return BevelOuter->Shape; }

TExternBevelEdges TExternBevels::GetEdges() const { return BevelInner->Edges + BevelOuter->Edges; }

TPenStyle TExternBevels::GetPenStyle() const
{
    return BevelInner->PenStyle == BevelOuter->PenStyle ? BevelOuter->PenStyle : psClear;
}

TPenMode TExternBevels::GetPenMode() const
{
    return BevelInner->PenMode == BevelOuter->PenMode ? BevelOuter->PenMode : pmBlack;
}

TColor TExternBevels::GetBackgroundColor() const
{
    return BevelInner->BackgroundColor == BevelOuter->BackgroundColor ? BevelOuter->BackgroundColor
                                                                      : clNone;
}

bool TExternBevels::GetTransparent() const
{
    return BevelInner->Transparent && BevelOuter->Transparent;
}

void TExternBevels::SetBounderRect(TVCLRect* Value) { BounderRect->Assign(Value); }

void TExternBevels::SetBevelInner(TExternBevel* Value)
{
    BevelInner->Assign(Value);
    Kind = eblsCustom;
    Changed();
}

void TExternBevels::SetBevelOuter(TExternBevel* Value)
{
    BevelOuter->Assign(Value);
    Kind = eblsCustom;
    Changed();
}

void TExternBevels::SetWidth(int Value)
{
    BevelInner->SetWidth(Value);
    BevelOuter->SetWidth(Value);
    Changed();
}

void TExternBevels::SetShape(TExternBevelShape Value)
{
    BevelInner->SetShape(Value);
    BevelOuter->SetShape(Value);
    Changed();
}

void TExternBevels::SetPenStyle(TPenStyle Value)
{
    BevelInner->SetPenStyle(Value);
    BevelOuter->SetPenStyle(Value);
    Changed();
}

void TExternBevels::SetPenMode(TPenMode Value)
{
    BevelInner->SetPenMode(Value);
    BevelOuter->SetPenMode(Value);
    Changed();
}

void TExternBevels::SetBackgroundColor(TColor Value)
{
    BevelOuter->SetBackgroundColor(Value);
    BevelInner->SetBackgroundColor(Value);
    Changed();
}

void TExternBevels::SetTransparent(bool Value)
{
    BevelOuter->SetTransparent(Value);
    BevelInner->SetTransparent(Value);
    Changed();
}

void TExternBevels::SetEdges(TExternBevelEdges Value)
{
    Kind = eblsCustom;
    BevelInner->SetEdges(Value);
    BevelOuter->SetEdges(Value);
    Changed();
}

void TExternBevels::ApplyStyles()
{
    TExternBevelStyle outer = Style;
    TExternBevelStyle inner = Style;
    if (Kind3D == ebls3DFrame) {
        outer = Style == eblLowered ? eblLowered : eblRaised;
        inner = Style == eblLowered ? eblRaised : eblLowered;
    } else if (Kind3D == ebls3DTrench && Style != eblNone) {
        inner = Style == eblLowered ? eblRaised : eblLowered;
    }
    BevelOuter->SetStyle(outer);
    BevelInner->SetStyle(inner);
}

void TExternBevels::SetStyle(TExternBevelStyle Value)
{
    Style = Value;
    ApplyStyles();
    Changed();
}

void TExternBevels::SetKind3D(TExternBevelsKind3D Value)
{
    Kind3D = Value;
    const TExternBevelKind kind = Value == ebls3DFrame ? eblFrame : eblBox;
    BevelOuter->SetKind(kind);
    BevelInner->SetKind(kind);
    ApplyStyles();
    Changed();
}

void TExternBevels::SetKind(TExternBevelsKind Value)
{
    Kind = Value;
    if (Value == eblsCustom) return;

    const bool line = Value == eblsFrame || Value == eblsLeftLine || Value == eblsTopLine ||
                      Value == eblsRightLine || Value == eblsBottomLine;
    if (Kind3D != ebls3DTrench) SetKind3D(line ? ebls3DFrame : ebls3DBox);
    SetColorKind(Kind);
    BevelOuter->SetVisible(Visible);
    BevelInner->SetVisible(Visible);

    TExternBevelEdges edges = AllExternBevelEdges;
    switch (Value) {
    case eblsLeftLine: edges = TExternBevelEdges{eblLeft}; break;
    case eblsTopLine: edges = TExternBevelEdges{eblTop}; break;
    case eblsRightLine: edges = TExternBevelEdges{eblRight}; break;
    case eblsBottomLine: edges = TExternBevelEdges{eblBottom}; break;
    default: break;
    }
    BevelOuter->Edges = edges;
    if (Value == eblsBox) BevelInner->SetVisible(false);
    BevelInner->SetEdges(edges);
    Changed();
}

void TExternBevels::SetColorKind(TExternBevelsKind Value)
{
    if (Value != Kind) Kind = eblsCustom;
    auto colors = [this](TColor OuterRaised, TColor OuterLowered, TColor InnerRaised,
                         TColor InnerLowered) {
        BevelOuter->SetRaisedColor(OuterRaised);
        BevelOuter->SetLoweredColor(OuterLowered);
        BevelInner->SetRaisedColor(InnerRaised);
        BevelInner->SetLoweredColor(InnerLowered);
    };
    switch (Value) {
    case eblsBox:
    case eblsFrame:
    case eblsLeftLine:
    case eblsTopLine:
    case eblsRightLine:
    case eblsBottomLine: colors(LightColor, ShadowColor, LightColor, ShadowColor); break;
    case eblsBtn: colors(LightColor, ShadowColor3D, LightColor3D, ShadowColor); break;
    case eblsBtnAnti: colors(LightColor3D, ShadowColor, LightColor, ShadowColor3D); break;
    case eblsArea: colors(LightColor, ShadowColor, LightColor3D, ShadowColor3D); break;
    case eblsForm: colors(LightColor3D, ShadowColor3D, LightColor, ShadowColor); break;
    default: break;
    }
    Changed();
}

void TExternBevels::ChangePairColor(TColor& Field, TColor Value)
{
    if (Field == Value) return;
    const TColor previous = Field;
    Field = Value;
    if (Kind != eblsCustom) {
        SetKind(Kind);
        return;
    }
    if (BevelOuter->LoweredColor == previous) BevelOuter->SetLoweredColor(Value);
    if (BevelOuter->RaisedColor == previous) BevelOuter->SetRaisedColor(Value);
    if (BevelInner->LoweredColor == previous) BevelInner->SetLoweredColor(Value);
    if (BevelInner->RaisedColor == previous) BevelInner->SetRaisedColor(Value);
    Changed();
}

void TExternBevels::SetShadowColor(TColor Value) { ChangePairColor(ShadowColor, Value); }
void TExternBevels::SetLightColor(TColor Value) { ChangePairColor(LightColor, Value); }
void TExternBevels::SetShadowColor3D(TColor Value) { ChangePairColor(ShadowColor3D, Value); }
void TExternBevels::SetLightColor3D(TColor Value) { ChangePairColor(LightColor3D, Value); }

void TExternBevels::ResetColors()
{
    if (ShadowColor == clBtnShadow && LightColor == clBtnHighlight &&
        ShadowColor3D == cl3DDkShadow && LightColor3D == cl3DLight)
        return;
    SetShadowColor(clBtnShadow);
    SetLightColor(clBtnHighlight);
    SetShadowColor3D(cl3DDkShadow);
    SetLightColor3D(cl3DLight);
    Changed();
}

void TExternBevels::SetVisible(bool Value)
{
    Visible = Value;
    if (Kind != eblsCustom) {
        SetKind(Kind);
        return;
    }
    BevelOuter->SetVisible(Value);
    BevelInner->SetVisible(Value);
    Changed();
}

int TExternBevels::GetLeftOffset() const
{
    return BevelOuter->GetLeftOffset() + BounderRect->Left + BevelInner->GetLeftOffset();
}

int TExternBevels::GetTopOffset() const
{
    return BevelOuter->GetTopOffset() + BounderRect->Top + BevelInner->GetTopOffset();
}

int TExternBevels::GetRightOffset() const
{
    return BevelOuter->GetRightOffset() + BounderRect->Right + BevelInner->GetRightOffset();
}

int TExternBevels::GetBottomOffset() const
{
    return BevelOuter->GetBottomOffset() + BounderRect->Bottom + BevelInner->GetBottomOffset();
}

TRect& TExternBevels::CutOffset(TRect& R) const
{
    R.Left += GetLeftOffset();
    R.Top += GetTopOffset();
    R.Right -= GetRightOffset();
    R.Bottom -= GetBottomOffset();
    return R;
}

void TExternBevels::Lock(bool ALock, bool Notify)
{
    if (ALock)
        ++LockCount;
    else if (LockCount > 0)
        --LockCount;
    if (LockCount == 0 && Notify) Paint();
}

void TExternBevels::Changed()
{
    Paint();
    if (OnChange) OnChange();
}

void TExternBevels::Paint()
{
    Clear(Canvas);
    PaintTo(Control, Canvas);
}

void TExternBevels::PaintTo(TControl* AControl, TCanvas* ACanvas)
{
    if (AControl == nullptr) return;
    PaintTo(ACanvas, TRect(0, 0, AControl->GetWidth(), AControl->GetHeight()));
}

void TExternBevels::Clear(TCanvas* ACanvas)
{
    BevelOuter->Clear(ACanvas);
    BevelInner->Clear(ACanvas);
}

namespace {

// Unlocks both bevels for the duration of one paint of the pair.
class TBevelsUnlocked {
public:
    TBevelsUnlocked(TExternBevel* AInner, TExternBevel* AOuter) : FInner(AInner), FOuter(AOuter)
    {
        FInner->Lock(false, false);
        FOuter->Lock(false, false);
    }
    ~TBevelsUnlocked()
    {
        FInner->Lock(true, false);
        FOuter->Lock(true, false);
    }
    TBevelsUnlocked(const TBevelsUnlocked&) = delete;
    TBevelsUnlocked& operator=(const TBevelsUnlocked&) = delete;

private:
    TExternBevel* FInner;
    TExternBevel* FOuter;
};

} // namespace

void TExternBevels::PaintTo(TCanvas* ACanvas, const TRect& ARect)
{
    if (ACanvas == nullptr || Lock()) return;

    const TRect r(ARect.Left + BounderRect->Left, ARect.Top + BounderRect->Top,
                  ARect.Right - BounderRect->Right, ARect.Bottom - BounderRect->Bottom);
    TBevelsUnlocked unlocked(BevelInner, BevelOuter);
    if (Kind3D == ebls3DFrame) {
        // Etched look: the inner bevel shifted right and down by the outer one's width, the
        // outer one drawn last, on top where they cross.
        BevelInner->PaintTo(ACanvas, TRect(r.Left + BevelOuter->GetLeftOffset(),
                                           r.Top + BevelOuter->GetTopOffset(), r.Right, r.Bottom));
        BevelOuter->PaintTo(ACanvas, TRect(r.Left, r.Top, r.Right - BevelInner->GetRightOffset(),
                                           r.Bottom - BevelInner->GetBottomOffset()));
    } else {
        BevelOuter->PaintTo(ACanvas, r);
        TRect inner = r;
        BevelInner->PaintTo(ACanvas, BevelOuter->CutOffset(inner));
    }
}

void TExternBevels::Assign(TPersistent* Source)
{
    if (Source == nullptr) return;
    if (auto* bevels = dynamic_cast<TExternBevels*>(Source)) {
        BounderRect->Assign(bevels->BounderRect);
        BevelInner->Assign(bevels->BevelInner);
        BevelOuter->Assign(bevels->BevelOuter);
        Visible = bevels->Visible;
        Style = bevels->Style;
        Kind = bevels->Kind;
        Kind3D = bevels->Kind3D;
        ShadowColor = bevels->ShadowColor;
        LightColor = bevels->LightColor;
        ShadowColor3D = bevels->ShadowColor3D;
        LightColor3D = bevels->LightColor3D;
        return;
    }
    TPersistent::Assign(Source);
}

} // namespace Tolva
