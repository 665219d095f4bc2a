// Bevel drawing primitives: a notifying rectangle, a single bevel and a pair of bevels.
//
// A bevel is a frame of Width one-pixel lines along a chosen set of edges, drawn in two colours
// so that it looks lowered or raised. A pair nests or shifts two bevels to give the classic
// desktop looks (box, button, form border, etched frame, single lines).
#pragma once

#include "platform/Classes.h"
#include "platform/Graphics.h"
#include "platform/Types.h"

#include <memory>

class TControl;

namespace Tolva {

enum TExternBevelStyle { eblNone, eblLowered, eblRaised };
enum TExternBevelShape { eblRectangle45, eblRectangle90 };
enum TExternBevelKind { eblFrame, eblBox };
enum TExternBevelEdge { eblLeft, eblTop, eblRight, eblBottom };
using TExternBevelEdges = Set<TExternBevelEdge, eblLeft, eblBottom>;

enum TExternBevelsKind {
    eblsBox,
    eblsBtn,
    eblsBtnAnti,
    eblsArea,
    eblsForm,
    eblsFrame,
    eblsLeftLine,
    eblsTopLine,
    eblsRightLine,
    eblsBottomLine,
    eblsCustom
};
enum TExternBevelsKind3D { ebls3DBox, ebls3DFrame, ebls3DTrench };

inline constexpr TExternBevelEdges AllExternBevelEdges{eblLeft, eblTop, eblRight, eblBottom};

// A rectangle of four integers that reports every change through OnChange.
class TVCLRect : public TPersistent {
public:
    TVCLRect() = default;
    TVCLRect(int ALeft, int ATop, int ARight, int ABottom);
    explicit TVCLRect(const TRect& R);

    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    TChangeNotify OnChange;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }

    int GetLeft() const { return Left; }
    int GetTop() const { return Top; }
    int GetRight() const { return Right; }
    int GetBottom() const { return Bottom; }
    void SetLeft(int Value);
    void SetTop(int Value);
    void SetRight(int Value);
    void SetBottom(int Value);

    operator TRect() const { return TRect(Left, Top, Right, Bottom); }
    // Stores all four values and notifies once, even when nothing changed.
    TVCLRect& operator=(const TRect& R);
    TVCLRect& operator=(const TVCLRect& R);
    bool operator==(const TRect& R) const;
    bool operator==(const TVCLRect& R) const;

    void Assign(TPersistent* Source) override;
    void Changed();
};

// One bevel. It paints itself on a canvas, remembers where it painted last so that Clear can
// erase that frame, and calls Changed after every change of a setting.
class TExternBevel : public TPersistent {
public:
    TExternBevel();
    explicit TExternBevel(TCanvas* ACanvas);
    TExternBevel(TCanvas* ACanvas, const TRect& ARect);
    TExternBevel(TControl* AControl, TCanvas* ACanvas);
    TExternBevel(TControl* AControl, TCanvas* ACanvas, const TRect& ARect);
    ~TExternBevel() override;

    int LockCount = 0;
    TVCLRect* BounderRect = nullptr;   // owned
    int Width = 1;
    bool Visible = true;
    TExternBevelStyle Style = eblLowered;
    TExternBevelShape Shape = eblRectangle45;
    TExternBevelKind Kind = eblBox;
    TColor LoweredColor = clBtnShadow;
    TColor RaisedColor = clBtnHighlight;
    TExternBevelEdges Edges = AllExternBevelEdges;
    TPenStyle PenStyle = psSolid;
    TPenMode PenMode = pmCopy;
    TColor BackgroundColor = clBtnFace;
    bool Transparent = true;
    TRect PaintedRect;
    int PaintedShape = 0;
    int PaintedWidth = 0;
    TCanvas* Canvas = nullptr;     // not owned
    TControl* Control = nullptr;   // not owned
    TChangeNotify OnChange;

    TVCLRect* GetBounderRect() const { return BounderRect; }
    int GetWidth() const { return Width; }
    bool GetVisible() const { return Visible; }
    TExternBevelStyle GetStyle() const { return Style; }
    TExternBevelShape GetShape() const { return Shape; }
    TExternBevelKind GetKind() const { return Kind; }
    TColor GetLoweredColor() const { return LoweredColor; }
    TColor GetRaisedColor() const { return RaisedColor; }
    TExternBevelEdges GetEdges() const { return Edges; }
    TPenStyle GetPenStyle() const { return PenStyle; }
    TPenMode GetPenMode() const { return PenMode; }
    TColor GetBackgroundColor() const { return BackgroundColor; }
    bool GetTransparent() const { return Transparent; }

    void SetBounderRect(TVCLRect* Value);
    void SetWidth(int Value);
    void SetVisible(bool Value);
    void SetStyle(TExternBevelStyle Value);
    void SetShape(TExternBevelShape Value);
    void SetKind(TExternBevelKind Value);
    void SetLoweredColor(TColor Value);
    void SetRaisedColor(TColor Value);
    void SetEdges(TExternBevelEdges Value);
    void SetPenStyle(TPenStyle Value);
    void SetPenMode(TPenMode Value);
    void SetBackgroundColor(TColor Value);
    void SetTransparent(bool Value);

    // How far the bevel reaches into a rectangle from each side.
    int GetLeftOffset() const;
    int GetTopOffset() const;
    int GetRightOffset() const;
    int GetBottomOffset() const;
    // Shrinks R in place by the four offsets and returns it.
    TRect& CutOffset(TRect& R) const;

    bool Lock() const { return LockCount != 0; }
    void Lock(bool ALock, bool Notify);

    void Changed();
    void Paint();
    void PaintTo(TControl* AControl, TCanvas* ACanvas);
    virtual void PaintTo(TCanvas* ACanvas, const TRect& ARect);
    // Erases the frame painted last.
    void Clear(TCanvas* ACanvas);

    void Assign(TPersistent* Source) override;

private:
    void Init();
    std::unique_ptr<TVCLRect> FBounderRect;
};

// An outer and an inner bevel painted together as one frame.
class TExternBevels : public TPersistent {
public:
    TExternBevels();
    explicit TExternBevels(TCanvas* ACanvas);
    TExternBevels(TCanvas* ACanvas, const TRect& ARect);
    TExternBevels(TControl* AControl, TCanvas* ACanvas);
    TExternBevels(TControl* AControl, TCanvas* ACanvas, const TRect& ARect);
    ~TExternBevels() override;

    int LockCount = 0;
    TExternBevel* BevelInner = nullptr;   // owned
    TExternBevel* BevelOuter = nullptr;   // owned
    TVCLRect* BounderRect = nullptr;      // owned
    bool Visible = true;
    TExternBevelStyle Style = eblLowered;
    TExternBevelsKind Kind = eblsBox;
    TExternBevelsKind3D Kind3D = ebls3DBox;
    TColor ShadowColor = clBtnShadow;
    TColor LightColor = clBtnHighlight;
    TColor ShadowColor3D = cl3DDkShadow;
    TColor LightColor3D = cl3DLight;
    TCanvas* Canvas = nullptr;     // not owned
    TControl* Control = nullptr;   // not owned
    TChangeNotify OnChange;

    virtual void Init();

    TVCLRect* GetBounderRect() const { return BounderRect; }
    TExternBevel* GetBevelInner() const { return BevelInner; }
    TExternBevel* GetBevelOuter() const { return BevelOuter; }
    // The common width of both bevels, or -1 when they differ.
    int GetWidth() const;
    bool GetVisible() const;
    TExternBevelStyle GetStyle() const { return Style; }
    TExternBevelShape GetShape() const;
    TExternBevelsKind GetKind() const { return Kind; }
    TExternBevelsKind3D GetKind3D() const { return Kind3D; }
    TExternBevelsKind GetColorKind() const { return Kind; }
    TExternBevelEdges GetEdges() const;
    TPenStyle GetPenStyle() const;
    TPenMode GetPenMode() const;
    TColor GetBackgroundColor() const;
    TColor GetShadowColor() const { return ShadowColor; }
    TColor GetLightColor() const { return LightColor; }
    TColor GetShadowColor3D() const { return ShadowColor3D; }
    TColor GetLightColor3D() const { return LightColor3D; }
    bool GetTransparent() const;

    void SetBounderRect(TVCLRect* Value);
    void SetBevelInner(TExternBevel* Value);
    void SetBevelOuter(TExternBevel* Value);
    void SetWidth(int Value);
    void SetVisible(bool Value);
    void SetStyle(TExternBevelStyle Value);
    void SetShape(TExternBevelShape Value);
    void SetKind(TExternBevelsKind Value);
    void SetKind3D(TExternBevelsKind3D Value);
    void SetColorKind(TExternBevelsKind Value);
    void SetEdges(TExternBevelEdges Value);
    void SetPenStyle(TPenStyle Value);
    void SetPenMode(TPenMode Value);
    void SetBackgroundColor(TColor Value);
    void SetShadowColor(TColor Value);
    void SetLightColor(TColor Value);
    void SetShadowColor3D(TColor Value);
    void SetLightColor3D(TColor Value);
    void SetTransparent(bool Value);
    void ResetColors();

    int GetLeftOffset() const;
    int GetTopOffset() const;
    int GetRightOffset() const;
    int GetBottomOffset() const;
    TRect& CutOffset(TRect& R) const;

    bool Lock() const { return LockCount != 0; }
    void Lock(bool ALock, bool Notify);

    void Changed();
    void Paint();
    void PaintTo(TControl* AControl, TCanvas* ACanvas);
    virtual void PaintTo(TCanvas* ACanvas, const TRect& ARect);
    void Clear(TCanvas* ACanvas);

    void Assign(TPersistent* Source) override;

private:
    // Replaces a pair colour; outside the custom look the look is applied again, inside it
    // every bevel colour equal to the old one follows.
    void ChangePairColor(TColor& Field, TColor Value);
    void ApplyStyles();
    std::unique_ptr<TExternBevel> FBevelInner;
    std::unique_ptr<TExternBevel> FBevelOuter;
    std::unique_ptr<TVCLRect> FBounderRect;
};

} // namespace Tolva
