// A caption: a label framed by a bevel pair. The label is the bevel control's inner link,
// stretched over the inside of the frame; most of its properties and events are forwarded, so
// that the caption behaves as one control. An outer link (the field the caption names) can be
// attached on one side, and the label's accelerator then focuses it.
#pragma once

#include "bevels/ExternBevelsCustom.h"
#include "platform/StdCtrls.h"

class TLabeledBevels : public TExternBevelsCustom {
public:
    explicit TLabeledBevels(TComponent* AOwner);
    ~TLabeledBevels() override;

    // The label that shows the text (owned as a component by this control).
    TLabel* CaptionLabel = nullptr;

    // --- Forwarded properties (read from the label)
    UnicodeString GetText() const override;
    void SetText(const UnicodeString& Value) override;
    bool GetVisible() const override;
    void SetVisible(bool Value) override;
    TColor GetColor() const override;
    void SetColor(TColor Value) override;
    bool GetParentColor() const override;
    void SetParentColor(bool Value) override;
    TFont* GetFont() const;
    void SetFont(TFont* Value) override;
    bool GetParentFont() const override;
    void SetParentFont(bool Value) override;
    TCursor GetCursor() const;
    void SetCursor(TCursor Value) override;
    int GetHelpContext() const;
    void SetHelpContext(int Value);
    AnsiString GetHelpKeyword() const;
    void SetHelpKeyword(const AnsiString& Value);
    bool GetShowHint() const;
    void SetShowHint(bool Value);
    bool GetParentShowHint() const;
    void SetParentShowHint(bool Value);
    TAnchors GetAnchors() const;
    void SetAnchors(TAnchors Value) override;
    bool GetEnabled() const override;
    void SetEnabled(bool Value) override;
    TDragMode GetDragMode() const;
    void SetDragMode(TDragMode Value) override;
    bool GetParentBiDiMode() const;
    void SetParentBiDiMode(bool Value) override;
    AnsiString GetHint() const;
    void SetHint(const AnsiString& Value);
    TCursor GetDragCursor() const;
    void SetDragCursor(TCursor Value);
    TDragKind GetDragKind() const;
    void SetDragKind(TDragKind Value);
    THelpType GetHelpType() const;
    void SetHelpType(THelpType Value);
    TWinControl* GetParent() const;
    void SetParent(TWinControl* AParent) override;

    // --- Label only
    TAlignment GetAlignment() const;
    void SetAlignment(TAlignment Value);
    TTextLayout GetLayout() const;
    void SetLayout(TTextLayout Value);
    bool GetShowAccelChar() const;
    void SetShowAccelChar(bool Value);
    bool GetWordWrap() const;
    void SetWordWrap(bool Value);

    // --- Outer link: a windowed link also becomes the label's focus control, so that the
    // label's accelerator focuses it.
    void SetOuterLink(TControl* Value) override;

    void Assign(TPersistent* Source) override;

protected:
    // The label's events, passed on with this control as the sender and the coordinates moved
    // into this control's client space.
    void LabelClick(TObject* Sender);
    void LabelDblClick(TObject* Sender);
    void LabelMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void LabelMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void LabelMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void LabelDragDrop(TObject* Sender, TObject* Source, int X, int Y);
    void LabelDragOver(TObject* Sender, TObject* Source, int X, int Y, TDragState State,
                       bool& Accept);
    void LabelEndDock(TObject* Sender, TObject* Target, int X, int Y);
    void LabelEndDrag(TObject* Sender, TObject* Target, int X, int Y);
    void LabelStartDock(TObject* Sender, TDragDockObject*& DragObject);
    void LabelStartDrag(TObject* Sender, TDragObject*& DragObject);
    void LabelMouseEnter(TObject* Sender);
    void LabelMouseLeave(TObject* Sender);

    // OnMouseEnter and OnMouseLeave of a caption follow the label, not the frame around it.
    void MouseEnter() override {}
    void MouseLeave() override {}

private:
    void RouteLabelEvents();
    TPoint ToClient(int X, int Y) const;
};
