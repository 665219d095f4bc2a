// Internal interface between the controls and the event path (platform only).
#pragma once

#include "platform/Controls.h"

// Alt is held down at the moment (the toolkit's keyboard state).
bool KeyboardAltHeld();

// Dragging a control with the mouse: one drag at a time, ended by the next button release.
namespace ControlsDrag {
void Begin(TControl* Source, bool Immediate, int Threshold);
void End(TControl* Source, bool Drop);
TControl* Source();
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
    static TWinControlImpl* Impl(const TWinControl* C) { return C->FImpl.get(); }
};
