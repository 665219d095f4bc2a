// Panels, splitters and bevels.
#pragma once

#include "platform/Controls.h"

#include <memory>

enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };
using TBevelCut = TPanelBevel;

// Draws the frame of Rect in the two colours Width times, shrinking Rect by one pixel each time
// (the top and left edges in TopColor, the bottom and right edges in BottomColor).
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

// A container with an optional bevelled border and a centred caption.
class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* AOwner);

    TPanelBevel GetBevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TPanelBevel Value);
    TPanelBevel GetBevelInner() const { return FBevelInner; }
    void SetBevelInner(TPanelBevel Value);
    int GetBevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    int GetBorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

    void Paint() override;

protected:
    void AdjustClientRect(TRect& Rect) override;

private:
    TPanelBevel FBevelOuter = bvRaised;
    TPanelBevel FBevelInner = bvNone;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TAlignment FAlignment = taCenter;
};

class TPanel : public TCustomPanel {
public:
    explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// A bar between aligned controls: dragging it resizes the control it is aligned against
// (the neighbour on its Align side), within MinSize on both sides.
enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
using TCanResizeEvent = std::function<void(TObject* Sender, int& NewSize, bool& Accept)>;

class TSplitter : public TGraphicControl {
public:
    explicit TSplitter(TComponent* AOwner);

    int GetMinSize() const { return FMinSize; }
    void SetMinSize(int Value) { FMinSize = Value < 1 ? 1 : Value; }
    bool GetBeveled() const { return FBeveled; }
    void SetBeveled(bool Value);
    bool GetAutoSnap() const { return FAutoSnap; }
    void SetAutoSnap(bool Value) { FAutoSnap = Value; }
    TResizeStyle GetResizeStyle() const { return FResizeStyle; }
    void SetResizeStyle(TResizeStyle Value) { FResizeStyle = Value; }
    void SetAlign(TAlign Value) override;

    void Paint() override;

    TCanResizeEvent OnCanResize;
    TNotifyEvent OnMoved;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    // The control this splitter resizes, or null.
    TControl* FindControl() const;
    // Position along the splitter's axis in the parent's client coordinates.
    int ParentPos(int X, int Y) const;

    int FMinSize = 30;
    bool FBeveled = false;
    bool FAutoSnap = true;
    TResizeStyle FResizeStyle = rsPattern;
    TControl* FControl = nullptr;
    TAliveCheck FControlAlive;
    int FDownPos = 0;
    int FStartSize = 0;
    int FMaxSize = 0;
    bool FSizing = false;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* AOwner);

    TBevelShape GetShape() const { return FShape; }
    void SetShape(TBevelShape Value);
    TBevelStyle GetStyle() const { return FStyle; }
    void SetStyle(TBevelStyle Value);

    void Paint() override;

private:
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
};

// A timer: OnTimer runs from the message loop every Interval milliseconds while Enabled (and
// an OnTimer is set). Changing Interval or Enabled starts the count again. An exception of the
// handler goes to the general error display.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    unsigned GetInterval() const { return FInterval; }
    void SetInterval(unsigned Value);

    TNotifyEvent OnTimer;

private:
    void Restart();
    bool FEnabled = true;
    unsigned FInterval = 1000;
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};
