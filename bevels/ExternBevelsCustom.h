// A bevel control with two linked sibling controls: an inner link kept inside the frame and an
// outer link kept attached to one of its sides.
#pragma once

#include "bevels/ExternBevelsCtrl.h"

#include <memory>

enum TLinkStyle { lsLeft, lsTop, lsRight, lsBottom };
enum TInnerLinkStyle { ilsBegin, ilsEnd, ilsCenter, ilsStretch };

class TExternBevelsCustom : public TExternBevelsCtrl {
public:
    explicit TExternBevelsCustom(TComponent* AOwner);
    // Leaves the linked controls where they are; they are only referenced.
    ~TExternBevelsCustom() override;

    TControl* InnerLink = nullptr;
    TControl* OuterLink = nullptr;
    // Where the links were last found in the owner's component list.
    int InnerLinkIndex = 0;
    int OuterLinkIndex = 0;
    // Margins between the frame and the inner link (owned); a change places the link again.
    Tolva::TVCLRect* InnerMargins = nullptr;
    TInnerLinkStyle ILSHoriz = ilsBegin;
    TInnerLinkStyle ILSVerti = ilsCenter;
    TLinkStyle OuterLinkStyle = lsRight;
    int OuterMargin = 0;
    // While set, a link may belong to any owner and is not verified against the owner's list.
    bool SkipInnerLinkCheck = true;
    bool SkipOuterLinkCheck = true;

    TControl* GetInnerLink();
    virtual void SetInnerLink(TControl* Value);
    TControl* GetOuterLink();
    virtual void SetOuterLink(TControl* Value);
    TInnerLinkStyle GetILSHoriz() const { return ILSHoriz; }
    void SetILSHoriz(TInnerLinkStyle Value);
    TInnerLinkStyle GetILSVerti() const { return ILSVerti; }
    void SetILSVerti(TInnerLinkStyle Value);
    TLinkStyle GetOuterLinkStyle() const { return OuterLinkStyle; }
    void SetOuterLinkStyle(TLinkStyle Value);
    int GetOuterMargin() const { return OuterMargin; }
    void SetOuterMargin(int Value);
    Tolva::TVCLRect* GetInnerMargins() const { return InnerMargins; }

    // Whether a link is still valid, and the checks that drop a link that is not.
    bool _CheckInnerLink();
    bool _CheckOuterLink();
    void CheckInnerLink();
    void CheckOuterLink();

    // The control can be aligned only to the side away from its outer link.
    bool AlignCheck(TAlign Value) const;
    void SetAlign(TAlign Value) override;

    // Moves the links with this control, inner link first.
    void SetParent(TWinControl* AParent) override;

    // R arrives as (0, 0, link width, link height) and leaves as the inner link's place.
    virtual void CalcInnerPosition(TRect& R);
    void Paint() override;
    virtual void Reset();

    void Assign(TPersistent* Source) override;

protected:
    void DoEndDrag(TObject* Target, int X, int Y) override;
    // A moved or resized bevel control takes its links along at once.
    void BoundsChanged(bool Moved, bool Resized) override;
    bool Painting = false;

private:
    // A link is checked against the owner's component list, and in every case against its own
    // lifetime: a destroyed control is never touched again.
    struct TLink {
        TControl*& Control;
        int& Index;
        TAliveCheck& Life;
        bool Skip;
    };
    bool LinkValid(TLink Link) const;
    TLink InnerLinkRef() { return {InnerLink, InnerLinkIndex, FInnerLife, SkipInnerLinkCheck}; }
    TLink OuterLinkRef() { return {OuterLink, OuterLinkIndex, FOuterLife, SkipOuterLinkCheck}; }
    // Steps 1 to 4 of setting a link; returns the previous link when it is still valid.
    bool StoreLink(TLink Link, TControl* Value, TControl*& Previous);
    void PlaceInnerLink();
    void PlaceOuterLink();

    std::unique_ptr<Tolva::TVCLRect> FInnerMargins;
    TAliveCheck FInnerLife;
    TAliveCheck FOuterLife;
};
