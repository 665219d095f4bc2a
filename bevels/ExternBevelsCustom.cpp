#include "bevels/ExternBevelsCustom.h"

TExternBevelsCustom::TExternBevelsCustom(TComponent* AOwner) : TExternBevelsCtrl(AOwner)
{
    FInnerMargins = std::make_unique<Tolva::TVCLRect>();
    InnerMargins = FInnerMargins.get();
    InnerMargins->OnChange = [this] { Paint(); };
    SetHeight(21);
    SetWidth(121);
}

TExternBevelsCustom::~TExternBevelsCustom()
{
    InnerMargins = nullptr;
    FInnerMargins.reset();
    for (TLink link : {InnerLinkRef(), OuterLinkRef()}) {
        if (link.Control != nullptr && LinkValid(link) && !link.Control->ControlDestroying()) {
            TWinControl* parent = link.Control->GetParent();
            if (parent == nullptr || !parent->ControlDestroying()) link.Control->Invalidate();
        }
        link.Control = nullptr;
        link.Life = TAliveCheck();
    }
}

bool TExternBevelsCustom::LinkValid(TLink Link) const
{
    if (Link.Control == nullptr) return true;
    if (!Link.Life) return false;
    if (Link.Skip) return true;
    TComponent* owner = GetOwner();
    const int count = owner != nullptr ? owner->GetComponentCount() : 0;
    // The cached index is tried first; otherwise the list is searched again, also when the
    // index has fallen beyond the end because components before the link were removed.
    if (Link.Index < 0 || Link.Index >= count || owner->GetComponent(Link.Index) != Link.Control) {
        int i = 0;
        while (i < count && owner->GetComponent(i) != Link.Control) ++i;
        Link.Index = i;
    }
    return Link.Index < count;
}

bool TExternBevelsCustom::_CheckInnerLink() { return LinkValid(InnerLinkRef()); }

bool TExternBevelsCustom::_CheckOuterLink() { return LinkValid(OuterLinkRef()); }

void TExternBevelsCustom::CheckInnerLink()
{
    if (!_CheckInnerLink()) SetInnerLink(nullptr);
}

void TExternBevelsCustom::CheckOuterLink()
{
    if (!_CheckOuterLink()) SetOuterLink(nullptr);
}

TControl* TExternBevelsCustom::GetInnerLink()
{
    CheckInnerLink();
    return InnerLink;
}

TControl* TExternBevelsCustom::GetOuterLink()
{
    CheckOuterLink();
    return OuterLink;
}

bool TExternBevelsCustom::StoreLink(TLink Link, TControl* Value, TControl*& Previous)
{
    if (Value == this) return false;
    Previous = LinkValid(Link) ? Link.Control : nullptr;
    if (Value != nullptr && !Link.Skip && Value->GetOwner() != GetOwner()) Value = nullptr;
    Link.Control = Value;
    Link.Life = TAliveCheck(Value);
    return true;
}

void TExternBevelsCustom::SetInnerLink(TControl* Value)
{
    TControl* previous = nullptr;
    if (!StoreLink(InnerLinkRef(), Value, previous)) return;
    Paint();
    if (previous != nullptr) previous->Refresh();
}

void TExternBevelsCustom::SetOuterLink(TControl* Value)
{
    TControl* previous = nullptr;
    if (!StoreLink(OuterLinkRef(), Value, previous)) return;
    if (OuterLink != nullptr && !AlignCheck(GetAlign())) TExternBevelsCtrl::SetAlign(alNone);
    Paint();
    if (previous != nullptr) previous->Refresh();
}

void TExternBevelsCustom::SetILSHoriz(TInnerLinkStyle Value)
{
    if (Value == ILSHoriz) return;
    ILSHoriz = Value;
    Paint();
}

void TExternBevelsCustom::SetILSVerti(TInnerLinkStyle Value)
{
    if (Value == ILSVerti) return;
    ILSVerti = Value;
    Paint();
}

void TExternBevelsCustom::SetOuterLinkStyle(TLinkStyle Value)
{
    if (Value == OuterLinkStyle) return;
    OuterLinkStyle = Value;
    Paint();
}

void TExternBevelsCustom::SetOuterMargin(int Value)
{
    if (Value == OuterMargin) return;
    OuterMargin = Value;
    Paint();
}

bool TExternBevelsCustom::AlignCheck(TAlign Value) const
{
    if (OuterLink == nullptr || Value == alNone) return true;
    switch (OuterLinkStyle) {
    case lsRight: return Value == alLeft;
    case lsLeft: return Value == alRight;
    case lsTop: return Value == alBottom;
    case lsBottom: return Value == alTop;
    }
    return false;
}

void TExternBevelsCustom::SetAlign(TAlign Value)
{
    if (AlignCheck(Value)) TExternBevelsCtrl::SetAlign(Value);
}

void TExternBevelsCustom::SetParent(TWinControl* AParent)
{
    CheckInnerLink();
    CheckOuterLink();
    if (InnerLink != nullptr) InnerLink->SetParent(AParent);
    if (OuterLink != nullptr) OuterLink->SetParent(AParent);
    TExternBevelsCtrl::SetParent(AParent);
}

void TExternBevelsCustom::DoEndDrag(TObject* Target, int X, int Y)
{
    if (InnerLink != nullptr || OuterLink != nullptr) Paint();
    TExternBevelsCtrl::DoEndDrag(Target, X, Y);
}

void TExternBevelsCustom::BoundsChanged(bool Moved, bool Resized)
{
    TExternBevelsCtrl::BoundsChanged(Moved, Resized);
    Paint();
}

// Places R along one axis of the inner area [Begin, End): From/To are R's limits on that axis.
static void PlaceAxis(TInnerLinkStyle Style, int Begin, int End, int& From, int& To)
{
    switch (Style) {
    case ilsBegin: From = Begin; break;
    case ilsEnd: From = End - (To - From); break;
    case ilsCenter:
        From = static_cast<int>(Begin + static_cast<double>((End - Begin) - (To - From)) * 0.5);
        break;
    default:
        From = Begin;
        To = End;
        break;
    }
}

void TExternBevelsCustom::CalcInnerPosition(TRect& R)
{
    TRect area(InnerMargins->Left, InnerMargins->Top, GetWidth() - InnerMargins->Right,
               GetHeight() - InnerMargins->Bottom);
    ExternBevels->CutOffset(area);
    PlaceAxis(ILSHoriz, area.Left, area.Right, R.Left, R.Right);
    PlaceAxis(ILSVerti, area.Top, area.Bottom, R.Top, R.Bottom);
}

void TExternBevelsCustom::PlaceInnerLink()
{
    TControl* link = InnerLink;
    TRect r(0, 0, link->GetWidth(), link->GetHeight());
    CalcInnerPosition(r);
    link->SetLeft(GetLeft() + r.Left);
    if (ILSHoriz == ilsStretch) link->SetWidth(r.Right - r.Left);
    link->SetTop(GetTop() + r.Top);
    if (ILSVerti == ilsStretch) link->SetHeight(r.Bottom - r.Top);
    link->Refresh();
}

void TExternBevelsCustom::PlaceOuterLink()
{
    TControl* link = OuterLink;
    if (OuterLinkStyle == lsLeft || OuterLinkStyle == lsRight)
        link->SetHeight(GetHeight());
    else
        link->SetWidth(GetWidth());
    switch (OuterLinkStyle) {
    case lsLeft:
        link->SetTop(GetTop());
        link->SetLeft(GetLeft() - OuterMargin - link->GetWidth());
        break;
    case lsTop:
        link->SetTop(GetTop() - OuterMargin - link->GetHeight());
        link->SetLeft(GetLeft());
        break;
    case lsRight:
        link->SetTop(GetTop());
        link->SetLeft(GetLeft() + GetWidth() + OuterMargin);
        break;
    case lsBottom:
        link->SetTop(GetTop() + GetHeight() + OuterMargin);
        link->SetLeft(GetLeft());
        break;
    }
}

void TExternBevelsCustom::Paint()
{
    if (Painting || ExternBevels->Lock()) return;
    Painting = true;
    try {
        TExternBevelsCtrl::Paint();
        CheckInnerLink();
        CheckOuterLink();
        if (InnerLink != nullptr) PlaceInnerLink();
        if (OuterLink != nullptr) PlaceOuterLink();
    } catch (...) {
        Painting = false;
        throw;
    }
    Painting = false;
}

void TExternBevelsCustom::Reset()
{
    ExternBevels->Lock(true, false);
    try {
        SetInnerLink(InnerLink);
        SetOuterLink(OuterLink);
    } catch (...) {
        ExternBevels->Lock(false, false);
        throw;
    }
    ExternBevels->Lock(false, false);
    Paint();
}

void TExternBevelsCustom::Assign(TPersistent* Source)
{
    if (auto* custom = dynamic_cast<TExternBevelsCustom*>(Source)) {
        InnerMargins->Assign(custom->InnerMargins);
        ILSHoriz = custom->ILSHoriz;
        ILSVerti = custom->ILSVerti;
        OuterLinkStyle = custom->OuterLinkStyle;
        OuterMargin = custom->OuterMargin;
        SetParent(custom->GetParent());
    }
    TExternBevelsCtrl::Assign(Source);
    Paint();
}
