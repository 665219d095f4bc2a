// Controls: the control base, windowed controls with a toolkit widget behind them, windowless
// (graphic) controls that paint on their parent's surface, and custom controls with a surface of
// their own.
//
// Every keyboard, mouse and focus event becomes a TMessage that passes through the control's
// virtual Dispatch first; when the message reaches DefaultHandler at the end of the chain the
// toolkit handles the event as well, otherwise it is consumed. Perform sends a message by program.
// Bounds, Align and Anchors are laid out by this layer, not by toolkit layouts.
#pragma once

#include "platform/Classes.h"
#include "platform/Graphics.h"
#include "platform/Messages.h"
#include "platform/Types.h"

#include <functional>
#include <memory>
#include <vector>

class TWinControl;
class TControl;
class TPopupMenu;
struct TWinControlImpl;

CORVANE_EXCEPTION_CLASS(EInvalidOperation, Exception);

// ---------------------------------------------------------------------------------------------
// Enumerations and sets

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = Set<TAnchorKind, akLeft, akBottom>;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateItem {
    ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble, ssTouch, ssPen, ssCommand,
    ssHorizontal
};
using TShiftState = Set<TShiftStateItem, ssShift, ssHorizontal>;

enum TDragMode { dmManual, dmAutomatic };
enum TDragKind { dkDrag, dkDock };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum THelpType { htKeyword, htContext };
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

enum TControlStyleItem {
    csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption,
    csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable,
    csNoStdEvents, csDisplayDragImage, csReflector, csActionClient, csMenuEvents,
    csNeedsBorderPaint, csParentBackground, csPannable, csAlignWithMargins, csGestures
};
using TControlStyle = Set<TControlStyleItem, csAcceptsControls, csGestures>;

using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSize = -22;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

// ---------------------------------------------------------------------------------------------
// Drag objects and events

class TDragObject : public TObject {
public:
    TDragObject() = default;
    // The control being dragged, when the drag started from a control.
    TControl* GetControl() const { return FControl; }
    void SetControl(TControl* Value) { FControl = Value; }

private:
    TControl* FControl = nullptr;
};

class TDragControlObject : public TDragObject {
public:
    explicit TDragControlObject(TControl* AControl) { SetControl(AControl); }
};

class TDragDockObject : public TDragObject {
public:
    explicit TDragDockObject(TControl* AControl) { SetControl(AControl); }
};

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, Char& Key)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TDragOverEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y,
                                          TDragState State, bool& Accept)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TStartDragEvent = std::function<void(TObject* Sender, TDragObject*& DragObject)>;
using TStartDockEvent = std::function<void(TObject* Sender, TDragDockObject*& DragObject)>;

// ---------------------------------------------------------------------------------------------
// TControl

// The least and greatest size that a control takes (0: no limit). SetBounds keeps the control
// within them; a top-level window cannot be resized beyond them.
class TSizeConstraints : public TPersistent {
public:
    explicit TSizeConstraints(TControl* AControl) : FControl(AControl) {}
    int GetMinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value) { Set(FMinWidth, Value); }
    int GetMinHeight() const { return FMinHeight; }
    void SetMinHeight(int Value) { Set(FMinHeight, Value); }
    int GetMaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value) { Set(FMaxWidth, Value); }
    int GetMaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int Value) { Set(FMaxHeight, Value); }
    // Width and height brought within the limits.
    int Width(int Value) const;
    int Height(int Value) const;

private:
    void Set(int& Field, int Value);
    TControl* FControl;
    int FMinWidth = 0;
    int FMinHeight = 0;
    int FMaxWidth = 0;
    int FMaxHeight = 0;
};

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    const std::unique_ptr<TSizeConstraints> Constraints;

    // --- Bounds (in the parent's client coordinates)
    int GetLeft() const { return FLeft; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    int GetTop() const { return FTop; }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    int GetWidth() const { return FWidth; }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    // The constraints changed: the bounds are brought within them.
    virtual void ConstraintsChanged();
    TRect GetBoundsRect() const { return TRect(FLeft, FTop, FLeft + FWidth, FTop + FHeight); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
    // The client area in the control's own coordinates.
    virtual TRect GetClientRect() const;
    TRect ClientRect() const { return GetClientRect(); }
    int GetClientWidth() const { return GetClientRect().Width(); }
    void SetClientWidth(int Value);
    int GetClientHeight() const { return GetClientRect().Height(); }
    void SetClientHeight(int Value);
    // The client origin in the top-level window's coordinates (screen of this layer).
    TPoint ClientToScreen(const TPoint& P) const;
    TPoint ScreenToClient(const TPoint& P) const;
    // Client coordinates of this control to those of AParent (an ancestor) and back.
    TPoint ClientToParent(const TPoint& P, TWinControl* AParent = nullptr) const;

    // --- Parent and visibility
    TWinControl* GetParent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);
    bool HasParent() const { return FParent != nullptr; }
    virtual bool GetVisible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and every parent up to the top-level window visible as well.
    bool Showing() const;
    virtual bool GetEnabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    void BringToFront();
    void SendToBack();

    // --- Appearance
    virtual TColor GetColor() const { return FColor; }
    // Stores the colour and clears ParentColor.
    virtual void SetColor(TColor Value);
    virtual bool GetParentColor() const { return FParentColor; }
    // When switched on, the parent's colour is taken over (through SetColor).
    virtual void SetParentColor(bool Value);
    TFont* GetFont() const { return Font; }
    // Copies the settings of Value (the control keeps its own font object).
    virtual void SetFont(TFont* Value);
    virtual bool GetParentFont() const { return FParentFont; }
    virtual void SetParentFont(bool Value);
    TCursor GetCursor() const { return FCursor; }
    virtual void SetCursor(TCursor Value);

    // --- Layout
    TAlign GetAlign() const { return FAlign; }
    virtual void SetAlign(TAlign Value);
    TAnchors GetAnchors() const { return FAnchors; }
    virtual void SetAnchors(TAnchors Value);

    // --- Text (Caption and Text are the same property)
    virtual UnicodeString GetText() const { return FText; }
    virtual void SetText(const UnicodeString& Value);
    UnicodeString GetCaption() const { return GetText(); }
    void SetCaption(const UnicodeString& Value) { SetText(Value); }

    // --- Hints and help
    const UnicodeString& GetHint() const { return FHint; }
    void SetHint(const UnicodeString& Value);
    bool GetShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool GetParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);
    int GetHelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }
    const UnicodeString& GetHelpKeyword() const { return FHelpKeyword; }
    void SetHelpKeyword(const UnicodeString& Value) { FHelpKeyword = Value; }
    THelpType GetHelpType() const { return FHelpType; }
    void SetHelpType(THelpType Value) { FHelpType = Value; }

    // --- Popup menu (platform/Menus.h): not owned; forgotten when the menu is destroyed. A
    // right-button click or a menu key opens it through WM_CONTEXTMENU when AutoPopup is on.
    virtual TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);

    // --- Dragging and bidirectional mode
    TDragMode GetDragMode() const { return FDragMode; }
    virtual void SetDragMode(TDragMode Value);
    TDragKind GetDragKind() const { return FDragKind; }
    void SetDragKind(TDragKind Value) { FDragKind = Value; }
    TCursor GetDragCursor() const { return FDragCursor; }
    void SetDragCursor(TCursor Value) { FDragCursor = Value; }
    TBiDiMode GetBiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    bool GetParentBiDiMode() const { return FParentBiDiMode; }
    virtual void SetParentBiDiMode(bool Value);
    // Starts dragging this control with the mouse; the drag ends at the next button release.
    void BeginDrag(bool Immediate, int Threshold = -1);
    // Ends a drag in progress: dropped on the control under the mouse when Drop is true.
    void EndDrag(bool Drop);
    bool Dragging() const;

    // --- Painting
    // Marks the control for repainting; the next paint cycle draws it.
    virtual void Invalidate();
    // Paints invalid parts now.
    virtual void Update();
    // Paints the control now (a graphic control draws itself, and the graphic controls above
    // it, straight onto its parent's surface).
    virtual void Repaint();
    void Refresh() { Repaint(); }

    // --- Messages
    LRESULT Perform(Cardinal Msg, WPARAM WParam, LPARAM LParam);
    // Every message passes here: the default does the control's own handling (mouse messages
    // become MouseDown/MouseUp/Click ... and their events) and ends in DefaultHandler.
    virtual void Dispatch(void* Message);
    // End of the message chain: a message from the toolkit goes on to the toolkit's own
    // handling; a message sent by Perform gets the control's default action.
    virtual void DefaultHandler(void* Message);

    virtual void Click();
    virtual void DblClick();

    TControlStyle GetControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }

    // The control's own font object (never null).
    TFont* const Font;

    // --- Events
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnResize;
    TDragDropEvent OnDragDrop;
    TDragOverEvent OnDragOver;
    TEndDragEvent OnEndDock;
    TEndDragEvent OnEndDrag;
    TStartDockEvent OnStartDock;
    TStartDragEvent OnStartDrag;

    // A token that expires when the control is destroyed (event paths check it after every
    // delivery, since a handler may destroy the control).
    std::weak_ptr<void> LifeToken() const { return FLife; }
    // True from the start of the destructor on.
    bool ControlDestroying() const { return FControlDestroying; }

protected:
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void DoStartDrag(TDragObject*& DragObject);
    virtual void DoEndDrag(TObject* Target, int X, int Y);
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DragDrop(TObject* Source, int X, int Y);
    // Called after the bounds changed (after OnResize when the size changed).
    virtual void BoundsChanged(bool Moved, bool Resized);
    virtual void Resize();
    // Reactions to property changes, for the subclasses that show them.
    virtual void VisibleChanged();
    virtual void EnabledChanged();
    virtual void ColorChanged();
    virtual void FontChanged();
    virtual void TextChanged();
    virtual void CursorChanged();
    virtual void HintChanged();
    // The parent's colour or font changed (or a new parent): take them over when ParentColor /
    // ParentFont are set.
    void ParentColorChanged();
    void ParentFontChanged();
    // Sets the bounds without recording them as the control's designed place (layout engine).
    void SetBoundsByLayout(int ALeft, int ATop, int AWidth, int AHeight);
    // The parent realigns when this control's placement affects it.
    void RequestAlign();
    // Records the distances to the parent's edges for the Anchors rules.
    void UpdateAnchorRules();
    // The control joined or left a parent (windowed controls move their widget).
    virtual void ParentChanged();
    void Notification(TComponent* AComponent, TOperation Operation) override;

    bool FControlDestroying = false;

private:
    friend class TWinControl;
    friend struct TEventPathAccess;
    void FontObjectChanged();
    void DoDispatchMouse(TMessage& M);
    // WM_CONTEXTMENU: true when a popup menu took it (or the control went meanwhile).
    bool DoContextMenu(TMessage& M);

    TWinControl* FParent = nullptr;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clWindow;
    bool FParentColor = true;
    bool FParentFont = true;
    bool FChangingParentFont = false;
    TCursor FCursor = crDefault;
    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    UnicodeString FText;
    UnicodeString FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    int FHelpContext = 0;
    UnicodeString FHelpKeyword;
    THelpType FHelpType = htContext;
    TPopupMenu* FPopupMenu = nullptr;
    TDragMode FDragMode = dmManual;
    TDragKind FDragKind = dkDrag;
    TCursor FDragCursor = crDrag;
    TBiDiMode FBiDiMode = bdLeftToRight;
    bool FParentBiDiMode = true;
    TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    bool FClicked = false;
    bool FLayoutMove = false;

    // Anchors: the distances to the parent's edges and the parent's client size when they were
    // recorded.
    struct TAnchorRules {
        int Right = 0;
        int Bottom = 0;
        int CenterX = 0;
        int CenterY = 0;
        int ParentWidth = 0;
        int ParentHeight = 0;
        bool Valid = false;
    } FAnchorRules;

    std::shared_ptr<char> FLife;
};

// Taken before a call that may destroy the control (a handler may): tells afterwards whether
// the control still exists.
class TAliveCheck {
public:
    TAliveCheck() = default;
    explicit TAliveCheck(const TControl* C) : FLife(C != nullptr ? C->LifeToken() : std::weak_ptr<void>()) {}
    explicit operator bool() const { return !FLife.expired(); }

private:
    std::weak_ptr<void> FLife;
};

// ---------------------------------------------------------------------------------------------
// TWinControl

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    // Destroys the child controls (last first), then the widget.
    ~TWinControl() override;

    // --- Children: graphic and windowed controls in z-order (bottom first)
    int GetControlCount() const { return static_cast<int>(FControls.size()); }
    int ControlCount() const { return GetControlCount(); }
    TControl* GetControl(int Index) const;
    TControl* Controls(int Index) const { return GetControl(Index); }
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(const TControl* AControl) const;
    // The visible child at client position Pos (topmost first); graphic controls only unless
    // AllowWinControls.
    TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = false) const;

    // --- Focus and tab order
    int GetTabOrder() const;
    void SetTabOrder(int Value);
    bool GetTabStop() const { return FTabStop; }
    virtual void SetTabStop(bool Value);
    // Visible and enabled, up to the top-level window.
    virtual bool CanFocus() const;
    bool Focused() const;
    virtual void SetFocus();
    // The windowed children in tab order, depth first (this control's descendants only).
    void GetTabOrderList(std::vector<TWinControl*>& List) const;
    // The next (or previous) focusable control after CurControl among this control's
    // descendants, wrapping around; CheckTabStop skips controls without TabStop.
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                 bool CheckParent) const;
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

    // --- Layout
    void DisableAlign();
    void EnableAlign();
    bool AlignDisabled() const { return FAlignLevel > 0; }
    // Lays out the aligned and anchored children now.
    void Realign();

    // --- Painting and pictures
    void Invalidate() override;
    void Update() override;
    // Draws the control as it appears on screen (children included) onto Canvas at (X, Y).
    void PaintTo(TCanvas* Canvas, int X, int Y);
    // Device pixels per pixel of the screen that shows the control (a whole number, 1 normally,
    // 2 on a screen at 200 %).
    int GetScreenScale() const;
    // The control as the screen shows it, in the screen's device pixels: what PaintTo draws on
    // a screen of one device pixel per pixel, GetScreenScale() times larger otherwise.
    void DrawScreenImage(TBitmap* Bitmap);
    // Saves what DrawScreenImage draws as a PNG file.
    void SaveToPng(const UnicodeString& FileName);

    // --- Messages
    void Dispatch(void* Message) override;
    void DefaultHandler(void* Message) override;

    // --- Events
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    bool HandleAllocated() const { return true; }
    // Invalidates a rectangle of the client area (graphic children ask for their bounds).
    void InvalidateRect(const TRect& R);

protected:
    // Makes the toolkit widget of a control that is a widget of its own (an edit, a button, a
    // list; platform/qt only); the control owns it.
    using TWidgetMaker = void (*)(TWinControlImpl& Impl);
    // Subclasses that are a toolkit widget of their own hand in its maker here. The plain
    // constructor makes a painting surface: it fills its Color, calls PaintWindow, then paints
    // the graphic children in z-order.
    TWinControl(TComponent* AOwner, TWidgetMaker MakeWidget);

    // Lays out the children in Rect (the client rectangle after AdjustClientRect): anchors of
    // unaligned children, then alTop, alBottom, alLeft, alRight, alClient.
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    // The part of the client area that aligned children share.
    virtual void AdjustClientRect(TRect& Rect);
    // Own drawing on the surface, after the background and before the graphic children.
    virtual void PaintWindow(TCanvas* ACanvas);
    // The canvas of the surface (null for controls whose widget draws itself).
    TCanvas* SurfaceCanvas() const;
    // A top-level control that sees the keys of its controls before they do (a form with
    // KeyPreview).
    virtual bool KeyPreview() const;

    virtual void KeyDown(Word& Key, TShiftState Shift);
    virtual void KeyUp(Word& Key, TShiftState Shift);
    virtual void KeyPress(Char& Key);
    virtual void DoEnter();
    virtual void DoExit();
    // Default action for a message sent by Perform (no toolkit event behind it).
    virtual void DoDefault(TMessage& Message);

    void BoundsChanged(bool Moved, bool Resized) override;
    void VisibleChanged() override;
    void EnabledChanged() override;
    void ColorChanged() override;
    void FontChanged() override;
    void CursorChanged() override;
    void HintChanged() override;
    void TextChanged() override;
    void ParentChanged() override;
    // The widget's object name follows the Name (tests find widgets by it).
    void NameChanged() override;
    virtual void TabStopChanged();

private:
    friend class TControl;
    friend struct TEventPathAccess;
    friend struct TWinControlImpl;

    // The first part of destruction: leaves the parent, destroys the children (last first).
    void DestroyChildren();
    void AlignChildren(TControl* AControl);
    void ApplyAnchors(const TRect& Client);
    void ControlRemoved(TControl* AControl);

    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;
    // Graphic children that hold the mouse (pressed) or are under it.
    TControl* FCapture = nullptr;
    TControl* FHover = nullptr;
    bool FTabStop = false;
    int FAlignLevel = 0;
    bool FAlignPending = false;
    bool FAligning = false;
    std::unique_ptr<TWinControlImpl> FImpl;
};

// ---------------------------------------------------------------------------------------------
// TGraphicControl: no widget; paints on its parent's surface through its Canvas, whose origin is
// the control's top-left and whose drawing is clipped to its bounds. Drawing outside a repaint
// shows at once.

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;

    TCanvas* GetCanvas() const { return Canvas; }
    virtual void Paint();
    void Repaint() override;

    TCanvas* const Canvas;

protected:
    void BoundsChanged(bool Moved, bool Resized) override;
    void ParentChanged() override;

private:
    friend class TWinControl;
    friend struct TWinControlImpl;
    friend struct TEventPathAccess;

    // Attaches the canvas to the parent's surface (origin and clip at the bounds).
    void AttachCanvas();
};

// ---------------------------------------------------------------------------------------------
// TCustomControl: a windowed control with a surface and Canvas of its own; Paint draws it.

class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;

    TCanvas* GetCanvas() const { return Canvas; }
    virtual void Paint();

    TCanvas* const Canvas;

protected:
    void PaintWindow(TCanvas* ACanvas) override;
};

// The outermost windowed ancestor of Control (Control itself when it has no parent and is
// windowed), or null.
TWinControl* GetTopLevelControl(const TControl* Control);
// The control that has the keyboard focus, or null.
TWinControl* FindFocusedControl();
// The short part of a hint ("short|long"): the text before the bar.
UnicodeString GetShortHint(const UnicodeString& Hint);
