// The popup menu of a control: the link to the menu, WM_CONTEXTMENU, and where a menu opened by
// a key shows. (The keys that menus claim are in platform/EventPath.cpp.)
#include "platform/Controls.h"
#include "platform/ControlsPrivate.h"
#include "platform/Menus.h"

void TControl::SetPopupMenu(TPopupMenu* Value)
{
    FPopupMenu = Value;
    if (Value != nullptr)
        Value->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent == FPopupMenu)
        FPopupMenu = nullptr;
    TComponent::Notification(AComponent, Operation);
}

// The message's point is on the screen; (-1, -1) stands for a menu key. A graphic child under
// the point answers first; then the control's own menu opens, for the control. Unanswered,
// the message goes on to the toolkit, which hands it to the parent (or shows an edit's own
// menu).
bool TControl::DoContextMenu(TMessage& M)
{
    const bool byKey = M.LParam == MakeLParam(-1, -1);
    const TPoint at =
        byKey ? EventPath::MenuKeyPoint(this) : TPoint(GetXLParam(M.LParam), GetYLParam(M.LParam));
    const TAliveCheck alive(this);
    if (auto* surface = dynamic_cast<TWinControl*>(this); surface != nullptr && !byKey) {
        const TPoint origin = Toolkit::ScreenOrigin(this);
        if (TControl* child = surface->ControlAtPos(TPoint(at.X - origin.X, at.Y - origin.Y), false)) {
            const LRESULT result = child->Perform(WM_CONTEXTMENU, M.WParam, M.LParam);
            if (!alive || result != 0) {
                M.Result = 1;
                return true;
            }
        }
    }
    TPopupMenu* menu = GetPopupMenu();
    if (menu == nullptr || !menu->GetAutoPopup())
        return false;
    M.Result = 1;
    menu->SetPopupComponent(this);
    menu->Popup(at.X, at.Y);
    return true;
}

TPoint EventPath::MenuKeyPoint(const TControl* Control)
{
    const TPoint origin = Toolkit::ScreenOrigin(Control);
    const TPoint mouse = Toolkit::CursorPos();
    const TRect bounds(origin.X, origin.Y, origin.X + Control->GetWidth(), origin.Y + Control->GetHeight());
    if (bounds.Contains(mouse))
        return mouse;
    return TPoint(origin.X + Control->GetWidth() / 2, origin.Y + Control->GetHeight() / 2);
}
