// Controls: the layout of a windowed control's children (Align and Anchors).
#include "platform/Controls.h"

#include <algorithm>

void TWinControl::DisableAlign()
{
    ++FAlignLevel;
}

void TWinControl::EnableAlign()
{
    if (FAlignLevel > 0 && --FAlignLevel == 0 && FAlignPending)
        Realign();
}

void TWinControl::Realign()
{
    AlignChildren(nullptr);
}

void TWinControl::AlignChildren(TControl* AControl)
{
    if (FControlDestroying)
        return;
    if (FAlignLevel > 0 || FAligning) {
        FAlignPending = true;
        return;
    }
    FAligning = true;
    const TAliveCheck alive(this);
    try {
        int rounds = 0;
        do {
            FAlignPending = false;
            TRect r = GetClientRect();
            AdjustClientRect(r);
            AlignControls(AControl, r);
            AControl = nullptr;
        } while (FAlignPending && alive && ++rounds < 4);
    } catch (...) {
        if (alive)
            FAligning = false;
        throw;
    }
    if (alive)
        FAligning = false;
}

void TWinControl::AdjustClientRect(TRect&) {}

void TWinControl::ApplyAnchors(const TRect& Client)
{
    for (TControl* c : std::vector<TControl*>(FControls)) {
        if (c->GetAlign() != alNone)
            continue;
        if (!c->FAnchorRules.Valid) {
            c->UpdateAnchorRules();
            continue;
        }
        const TAnchors a = c->GetAnchors();
        if (a == TAnchors{akLeft, akTop})
            continue;
        const auto& rules = c->FAnchorRules;
        int left = c->GetLeft(), top = c->GetTop(), width = c->GetWidth(), height = c->GetHeight();
        const int w = Client.Width(), h = Client.Height();
        if (a.Contains(akRight)) {
            if (a.Contains(akLeft))
                width = w - left - rules.Right;
            else
                left = w - width - rules.Right;
        } else if (!a.Contains(akLeft) && rules.ParentWidth > 0) {
            left = static_cast<int>(static_cast<long long>(rules.CenterX) * w / rules.ParentWidth) -
                   width / 2;
        }
        if (a.Contains(akBottom)) {
            if (a.Contains(akTop))
                height = h - top - rules.Bottom;
            else
                top = h - height - rules.Bottom;
        } else if (!a.Contains(akTop) && rules.ParentHeight > 0) {
            top = static_cast<int>(static_cast<long long>(rules.CenterY) * h / rules.ParentHeight) -
                  height / 2;
        }
        c->SetBoundsByLayout(left, top, width, height);
    }
}

namespace {

// Whether C1 comes before C2 in the stacking of one alignment.
bool InsertBefore(const TControl* C1, const TControl* C2, TAlign Align)
{
    switch (Align) {
    case alTop:
        return C1->GetTop() < C2->GetTop();
    case alBottom:
        return C1->GetTop() + C1->GetHeight() >= C2->GetTop() + C2->GetHeight();
    case alLeft:
        return C1->GetLeft() < C2->GetLeft();
    case alRight:
        return C1->GetLeft() + C1->GetWidth() >= C2->GetLeft() + C2->GetWidth();
    default:
        return false;
    }
}

}  // namespace

void TWinControl::AlignControls(TControl* AControl, TRect& Rect)
{
    ApplyAnchors(GetClientRect());
    // Graphic children come before windowed ones, each in creation order; the control whose
    // change started the layout goes first within its alignment.
    std::vector<TControl*> order;
    for (TControl* c : FControls)
        if (dynamic_cast<TWinControl*>(c) == nullptr)
            order.push_back(c);
    for (TControl* c : FControls)
        if (dynamic_cast<TWinControl*>(c) != nullptr)
            order.push_back(c);
    const TAliveCheck alive(this);
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> list;
        if (AControl != nullptr && AControl->GetAlign() == align && AControl->GetVisible() &&
            AControl->GetParent() == this)
            list.push_back(AControl);
        for (TControl* c : order) {
            if (c == AControl || c->GetAlign() != align || !c->GetVisible())
                continue;
            size_t j = 0;
            while (j < list.size() && !InsertBefore(c, list[j], align))
                ++j;
            list.insert(list.begin() + static_cast<long>(j), c);
        }
        for (TControl* c : list) {
            if (!alive || c->GetParent() != this)
                return;
            int left = Rect.Left, top = Rect.Top;
            int width = Rect.Right - Rect.Left, height = Rect.Bottom - Rect.Top;
            switch (align) {
            case alTop:
                height = c->GetHeight();
                Rect.Top += height;
                break;
            case alBottom:
                height = c->GetHeight();
                top = Rect.Bottom - height;
                Rect.Bottom -= height;
                break;
            case alLeft:
                width = c->GetWidth();
                Rect.Left += width;
                break;
            case alRight:
                width = c->GetWidth();
                left = Rect.Right - width;
                Rect.Right -= width;
                break;
            default:
                break;
            }
            c->SetBoundsByLayout(left, top, width, height);
        }
    }
}

