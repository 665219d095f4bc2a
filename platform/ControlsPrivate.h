// Internal interface of the controls (platform only): the event path that turns toolkit events
// into messages, dragging, and what the platform asks of the toolkit (platform/qt implements
// the Toolkit functions). Names no toolkit type.
#pragma once

#include "platform/Controls.h"

#include <functional>
#include <memory>
#include <vector>

// ---------------------------------------------------------------------------------------------
// What the platform asks of the toolkit

namespace Toolkit {

// The keyboard modifiers of the latest input event.
TShiftState KeyboardShift();
// The mouse position on the screen.
TPoint CursorPos();
// The application-wide cursor of a drag.
void SetOverrideCursor(TCursor Cursor);
void ChangeOverrideCursor(TCursor Cursor);
void RestoreOverrideCursor();
// The windowed control under a screen position, and the position in its client area.
TWinControl* WinControlAt(const TPoint& Screen, TPoint& Local);
// The screen position of a control's top-left corner.
TPoint ScreenOrigin(const TControl* Control);
// Whether the keyboard focus, inside C, is in a field that types text (an edit, the edit of a
// combo box): such a field uses Ctrl+C and the like itself.
bool EditsText(const TWinControl* C);
// Runs Call once the current event has been handled.
void Post(std::function<void()> Call);

}  // namespace Toolkit

// ---------------------------------------------------------------------------------------------
// The event path

namespace EventPath {

// Hands the exception being handled to the application's error display. Sender may be null.
void ReportException(TObject* Sender);
// Runs Body; any exception goes to the error display (for every entry from the toolkit).
template <class F>
void Guarded(TObject* Sender, F&& Body)
{
    try {
        Body();
    } catch (...) {
        ReportException(Sender);
    }
}

// Delivers a message that stands for a toolkit event: true when it reached DefaultHandler
// (the toolkit may handle the event). Alive tells whether Target survived the delivery.
bool Deliver(TControl* Target, TMessage& M, bool& Alive);
// Whether Message is one of the toolkit's messages being delivered.
bool IsToolkitMessage(const void* Message);
void MarkPassed(const void* Message);

// A key event of the toolkit, in the platform's terms.
struct TKeyInput {
    bool Press = true;
    bool AutoRepeat = false;
    Word Key = 0;               // the virtual-key code
    TShiftState Shift;          // ssShift, ssCtrl, ssAlt
    int ScanCode = 0;
    std::vector<Char> Chars;    // the characters the key types
    Char Accel = 0;             // the first of them in upper case (0: none)
};
// Delivers a key event to C: the shortcuts of popup menus first, the window's dialog keys
// (Tab, Enter, Escape), the key preview of the window, the key itself, then Alt accelerators
// and the typed characters.
// True when the event is consumed (the toolkit must not handle it).
bool Key(TWinControl* C, const TKeyInput& In);

// The graphic child of a surface that a mouse event at P (client coordinates of C) goes to:
// the one that holds the mouse, else the one under it. Updates hover and capture. Returns
// false when C was destroyed meanwhile. Target is C or the child, with P made relative to it.
enum TMouseKind { mkPress, mkDouble, mkRelease, mkMove };
bool SurfaceMouse(TWinControl* C, TMouseKind Kind, bool ButtonsLeft, TPoint& P, TControl*& Target);
// The graphic child under the mouse changes (null: none).
void SetHover(TWinControl* C, TControl* G);
// Where a menu opened by a key shows for Control (screen coordinates): at the mouse pointer
// when it is over the control, else at the control's centre.
TPoint MenuKeyPoint(const TControl* Control);

}  // namespace EventPath

// Dragging a control with the mouse: one drag at a time, ended by the next button release.
namespace ControlsDrag {
void Begin(TControl* Source, bool Immediate, int Threshold);
void End(TControl* Source, bool Drop);
TControl* Source();
// The mouse moved to Screen while a drag is under way.
void Move(const TPoint& Screen);
// A control is being destroyed: a drag from or over it ends without a drop.
void Forget(TControl* Control);
}  // namespace ControlsDrag

// Reaches the protected handlers of controls on behalf of the event path.
struct TEventPathAccess {
    static void DoStartDrag(TControl* C, TDragObject*& Object) { C->DoStartDrag(Object); }
    static void DoEndDrag(TControl* C, TObject* Target, int X, int Y) { C->DoEndDrag(Target, X, Y); }
    static void DragOver(TControl* C, TObject* Source, int X, int Y, TDragState State, bool& Accept)
    {
        C->DragOver(Source, X, Y, State, Accept);
    }
    static void DragDrop(TControl* C, TObject* Source, int X, int Y) { C->DragDrop(Source, X, Y); }
    static void PaintWindow(TWinControl* C, TCanvas* Canvas) { C->PaintWindow(Canvas); }
    static void AttachCanvas(TGraphicControl* C) { C->AttachCanvas(); }
    static void SyncSize(TWinControl* C, int Width, int Height)
    {
        C->SetBoundsByLayout(C->GetLeft(), C->GetTop(), Width, Height);
    }
    static void DoDefault(TWinControl* C, TMessage& M) { C->DoDefault(M); }
    static bool KeyPreview(const TWinControl* C) { return C->KeyPreview(); }
    // A control with a painting surface of its own (its graphic children draw on it).
    static bool IsSurface(const TWinControl* C) { return C->SurfaceCanvas() != nullptr; }
    static TControl*& Capture(TWinControl* C) { return C->FCapture; }
    static TControl*& Hover(TWinControl* C) { return C->FHover; }
    static TWinControlImpl* Impl(const TWinControl* C) { return C->FImpl.get(); }
    // The system colours changed: the control takes its colours again.
    static void ColorsChanged(TControl* C)
    {
        C->ColorChanged();
        C->FontChanged();
    }
};
