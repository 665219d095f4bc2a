// Dragging a control with the mouse: one drag at a time, from BeginDrag to the next button
// release (the event path reports the mouse moves and the release).
#include "platform/ControlsPrivate.h"

#include <cstdlib>

namespace {

struct TDragInfo {
    TControl* Source = nullptr;
    TAliveCheck SourceAlive;
    TDragObject* Object = nullptr;
    bool Started = false;
    int Threshold = 5;
    TPoint Start;
    TControl* Target = nullptr;
    TAliveCheck TargetAlive;
    bool Accept = false;
    TPoint TargetPos;
};

TDragInfo& Drag()
{
    static TDragInfo state;
    return state;
}

// What a drag reports as its source: the drag object of DoStartDrag unless it merely stands
// for the control, else the control.
TObject* SourceObject(const TDragInfo& D)
{
    if (D.Object != nullptr && dynamic_cast<TDragControlObject*>(D.Object) == nullptr)
        return D.Object;
    return D.Source;
}

// The control under a screen position and the position in its client area.
TControl* ControlAtScreen(const TPoint& Screen, TPoint& Local)
{
    TWinControl* c = Toolkit::WinControlAt(Screen, Local);
    if (c == nullptr)
        return nullptr;
    if (TEventPathAccess::IsSurface(c))
        if (TControl* g = c->ControlAtPos(Local, false)) {
            Local = TPoint(Local.X - g->GetLeft(), Local.Y - g->GetTop());
            return g;
        }
    return c;
}

}  // namespace

void ControlsDrag::Begin(TControl* Source, bool Immediate, int Threshold)
{
    auto& g = Drag();
    if (g.Source != nullptr || Source == nullptr)
        return;
    g = TDragInfo();
    g.Source = Source;
    g.SourceAlive = TAliveCheck(Source);
    g.Threshold = Threshold;
    g.Start = Toolkit::CursorPos();
    TDragObject* object = nullptr;
    TEventPathAccess::DoStartDrag(Source, object);
    if (!g.SourceAlive) {
        g = TDragInfo();
        return;
    }
    g.Object = object;
    if (Immediate) {
        g.Started = true;
        Toolkit::SetOverrideCursor(Source->GetDragCursor());
    }
}

void ControlsDrag::Move(const TPoint& Screen)
{
    auto& g = Drag();
    if (g.Source == nullptr)
        return;
    if (!g.Started) {
        if (std::abs(Screen.X - g.Start.X) + std::abs(Screen.Y - g.Start.Y) < g.Threshold)
            return;
        g.Started = true;
        Toolkit::SetOverrideCursor(g.Source->GetDragCursor());
    }
    TPoint local;
    TControl* target = ControlAtScreen(Screen, local);
    TObject* source = SourceObject(g);
    if (g.Target != nullptr && g.Target != target && g.TargetAlive) {
        bool accept = false;
        TEventPathAccess::DragOver(g.Target, source, g.TargetPos.X, g.TargetPos.Y, dsDragLeave,
                                   accept);
    }
    const bool entering = target != g.Target;
    g.Target = target;
    g.TargetAlive = TAliveCheck(target);
    g.TargetPos = local;
    g.Accept = false;
    if (target != nullptr)
        TEventPathAccess::DragOver(target, source, local.X, local.Y,
                                   entering ? dsDragEnter : dsDragMove, g.Accept);
    if (Drag().Source != nullptr)
        Toolkit::ChangeOverrideCursor(g.Accept ? g.Source->GetDragCursor() : crNoDrop);
}

void ControlsDrag::End(TControl* Source, bool Drop)
{
    auto& g = Drag();
    if (g.Source == nullptr || g.Source != Source)
        return;
    TDragInfo s = g;
    g = TDragInfo();
    if (s.Started)
        Toolkit::RestoreOverrideCursor();
    TObject* source = SourceObject(s);
    TControl* target = (s.Started && Drop && s.Accept && s.Target != nullptr && s.TargetAlive)
                           ? s.Target
                           : nullptr;
    if (target != nullptr)
        TEventPathAccess::DragDrop(target, source, s.TargetPos.X, s.TargetPos.Y);
    if (s.SourceAlive)
        TEventPathAccess::DoEndDrag(s.Source, target, target ? s.TargetPos.X : 0,
                                    target ? s.TargetPos.Y : 0);
}

TControl* ControlsDrag::Source()
{
    return Drag().Source;
}

void ControlsDrag::Forget(TControl* Control)
{
    auto& g = Drag();
    if (g.Source == Control) {
        if (g.Started)
            Toolkit::RestoreOverrideCursor();
        g = TDragInfo();
    } else if (g.Target == Control) {
        g.Target = nullptr;
        g.Accept = false;
    }
}
