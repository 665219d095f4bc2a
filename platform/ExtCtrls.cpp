// Panels, splitters and bevels, drawn with the canvas.
#include "platform/ExtCtrls.h"

#include <algorithm>

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width)
{
    Canvas->Pen->SetWidth(1);
    Canvas->Pen->SetStyle(psSolid);
    Canvas->Pen->SetMode(pmCopy);
    --Rect.Bottom;
    --Rect.Right;
    while (Width > 0) {
        --Width;
        const TPoint topLeft(Rect.Left, Rect.Top);
        const TPoint topRight(Rect.Right, Rect.Top);
        const TPoint bottomRight(Rect.Right, Rect.Bottom);
        TPoint bottomLeft(Rect.Left, Rect.Bottom);
        Canvas->Pen->SetColor(TopColor);
        const TPoint first[] = {bottomLeft, topLeft, topRight};
        Canvas->Polyline(first, 3);
        Canvas->Pen->SetColor(BottomColor);
        --bottomLeft.X;
        const TPoint second[] = {topRight, bottomRight, bottomLeft};
        Canvas->Polyline(second, 3);
        ++Rect.Left;
        ++Rect.Top;
        --Rect.Right;
        --Rect.Bottom;
    }
    ++Rect.Bottom;
    ++Rect.Right;
}

// ---------------------------------------------------------------------------------------------
// TCustomPanel

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetColor(clBtnFace);
    SetBounds(0, 0, 185, 41);
}

void TCustomPanel::SetBevelOuter(TPanelBevel Value)
{
    if (FBevelOuter == Value)
        return;
    FBevelOuter = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelInner(TPanelBevel Value)
{
    if (FBevelInner == Value)
        return;
    FBevelInner = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelWidth(int Value)
{
    Value = std::max(Value, 1);
    if (FBevelWidth == Value)
        return;
    FBevelWidth = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderWidth(int Value)
{
    Value = std::max(Value, 0);
    if (FBorderWidth == Value)
        return;
    FBorderWidth = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment Value)
{
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    Invalidate();
}

void TCustomPanel::AdjustClientRect(TRect& Rect)
{
    int inset = FBorderWidth;
    if (FBevelOuter != bvNone)
        inset += FBevelWidth;
    if (FBevelInner != bvNone)
        inset += FBevelWidth;
    Rect = TRect(Rect.Left + inset, Rect.Top + inset, Rect.Right - inset, Rect.Bottom - inset);
}

void TCustomPanel::Paint()
{
    TRect rect = GetClientRect();
    auto colors = [](TPanelBevel Bevel, TColor& Top, TColor& Bottom) {
        Top = Bevel == bvLowered ? clBtnShadow : clBtnHighlight;
        Bottom = Bevel == bvLowered ? clBtnHighlight : clBtnShadow;
    };
    TColor top = clNone, bottom = clNone;
    if (FBevelOuter != bvNone) {
        colors(FBevelOuter, top, bottom);
        if (FBevelOuter == bvSpace)
            top = bottom = GetColor();
        Frame3D(Canvas, rect, top, bottom, FBevelWidth);
    }
    if (FBorderWidth > 0)
        Frame3D(Canvas, rect, GetColor(), GetColor(), FBorderWidth);
    if (FBevelInner != bvNone) {
        colors(FBevelInner, top, bottom);
        if (FBevelInner == bvSpace)
            top = bottom = GetColor();
        Frame3D(Canvas, rect, top, bottom, FBevelWidth);
    }
    Canvas->Brush->SetColor(GetColor());
    Canvas->Brush->SetStyle(bsSolid);
    Canvas->FillRect(rect);
    const UnicodeString caption = GetText();
    if (caption.empty())
        return;
    Canvas->Font->Assign(GetFont());
    Canvas->Brush->SetStyle(bsClear);
    const TSize extent = Canvas->TextExtent(caption);
    int x = rect.Left;
    if (FAlignment == taCenter)
        x = rect.Left + (rect.Width() - extent.cx) / 2;
    else if (FAlignment == taRightJustify)
        x = rect.Right - extent.cx;
    const int y = rect.Top + (rect.Height() - extent.cy) / 2;
    Canvas->TextRect(rect, x, y, caption);
}

// ---------------------------------------------------------------------------------------------
// TSplitter

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetBounds(0, 0, 3, 100);
    SetAlign(alLeft);
    SetCursor(crHSplit);
}

void TSplitter::SetAlign(TAlign Value)
{
    TGraphicControl::SetAlign(Value);
    SetCursor(Value == alTop || Value == alBottom ? crVSplit : crHSplit);
}

void TSplitter::SetBeveled(bool Value)
{
    if (FBeveled == Value)
        return;
    FBeveled = Value;
    Invalidate();
}

void TSplitter::Paint()
{
    TRect rect = GetClientRect();
    Canvas->Brush->SetColor(GetColor());
    Canvas->Brush->SetStyle(bsSolid);
    Canvas->FillRect(rect);
    if (!FBeveled)
        return;
    if (GetAlign() == alLeft || GetAlign() == alRight)
        rect = TRect(rect.Left + 1, rect.Top, rect.Right - 1, rect.Bottom);
    else
        rect = TRect(rect.Left, rect.Top + 1, rect.Right, rect.Bottom - 1);
    Frame3D(Canvas, rect, clBtnHighlight, clBtnShadow, 1);
}

TControl* TSplitter::FindControl() const
{
    TWinControl* parent = GetParent();
    if (parent == nullptr)
        return nullptr;
    TPoint p(GetLeft(), GetTop());
    switch (GetAlign()) {
    case alLeft: --p.X; break;
    case alRight: p.X += GetWidth(); break;
    case alTop: --p.Y; break;
    case alBottom: p.Y += GetHeight(); break;
    default: return nullptr;
    }
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (c == this || !c->GetVisible() || !c->GetEnabled())
            continue;
        TRect r = c->GetBoundsRect();
        // A control collapsed to nothing is still found next to the splitter.
        if (r.Width() == 0) {
            if (GetAlign() == alTop || GetAlign() == alLeft)
                --r.Left;
            else
                ++r.Right;
        }
        if (r.Height() == 0) {
            if (GetAlign() == alTop || GetAlign() == alLeft)
                --r.Top;
            else
                ++r.Bottom;
        }
        if (r.Contains(p))
            return c;
    }
    return nullptr;
}

int TSplitter::ParentPos(int X, int Y) const
{
    return GetAlign() == alLeft || GetAlign() == alRight ? GetLeft() + X : GetTop() + Y;
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || GetParent() == nullptr)
        return;
    FControl = FindControl();
    if (FControl == nullptr)
        return;
    FControlAlive = TAliveCheck(FControl);
    const bool horizontal = GetAlign() == alLeft || GetAlign() == alRight;
    TWinControl* parent = GetParent();
    FMaxSize = (horizontal ? parent->GetClientWidth() : parent->GetClientHeight()) - FMinSize;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (!c->GetVisible())
            continue;
        if (horizontal && (c->GetAlign() == alLeft || c->GetAlign() == alRight))
            FMaxSize -= c->GetWidth();
        if (!horizontal && (c->GetAlign() == alTop || c->GetAlign() == alBottom))
            FMaxSize -= c->GetHeight();
    }
    FStartSize = horizontal ? FControl->GetWidth() : FControl->GetHeight();
    FMaxSize += FStartSize;
    FDownPos = ParentPos(X, Y);
    FSizing = true;
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FSizing || FControl == nullptr || !FControlAlive)
        return;
    const int split = ParentPos(X, Y) - FDownPos;
    int size = FStartSize;
    switch (GetAlign()) {
    case alLeft:
    case alTop: size += split; break;
    case alRight:
    case alBottom: size -= split; break;
    default: return;
    }
    int newSize = std::clamp(size, FMinSize, std::max(FMinSize, FMaxSize));
    if (newSize <= FMinSize && FAutoSnap && size < FMinSize)
        newSize = 0;
    bool accept = true;
    if (OnCanResize)
        OnCanResize(this, newSize, accept);
    if (!accept || !FControlAlive)
        return;
    if (GetAlign() == alLeft || GetAlign() == alRight)
        FControl->SetWidth(newSize);
    else
        FControl->SetHeight(newSize);
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const bool sizing = FSizing;
    FSizing = false;
    FControl = nullptr;
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (sizing && Button == mbLeft && OnMoved)
        OnMoved(this);
}

// ---------------------------------------------------------------------------------------------
// TBevel

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape Value)
{
    if (FShape == Value)
        return;
    FShape = Value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    Invalidate();
}

void TBevel::Paint()
{
    const TColor first = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    const TColor second = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    const int w = GetWidth(), h = GetHeight();
    auto line = [this](TColor Color, int X1, int Y1, int X2, int Y2) {
        Canvas->Pen->SetColor(Color);
        Canvas->Pen->SetWidth(1);
        Canvas->Pen->SetStyle(psSolid);
        Canvas->MoveTo(X1, Y1);
        Canvas->LineTo(X2, Y2);
    };
    TRect r = GetClientRect();
    switch (FShape) {
    case bsBox:
        Frame3D(Canvas, r, first, second, 1);
        break;
    case bsFrame: {
        TRect outer(0, 0, w - 1, h - 1);
        Frame3D(Canvas, outer, first, first, 1);
        TRect inner(1, 1, w, h);
        Frame3D(Canvas, inner, second, second, 1);
        break;
    }
    case bsTopLine:
        line(first, 0, 0, w, 0);
        line(second, 0, 1, w, 1);
        break;
    case bsBottomLine:
        line(first, 0, h - 2, w, h - 2);
        line(second, 0, h - 1, w, h - 1);
        break;
    case bsLeftLine:
        line(first, 0, 0, 0, h);
        line(second, 1, 0, 1, h);
        break;
    case bsRightLine:
        line(first, w - 2, 0, w - 2, h);
        line(second, w - 1, 0, w - 1, h);
        break;
    case bsSpacer:
        break;
    }
}
