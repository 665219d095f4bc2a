// The main window's view of the document: the list box as the document's rows, and undo and
// redo through the keys and the list's and the chart's menus.
#include "ui/FCorvane.h"

// ---------------------------------------------------------------------------------------------
// The list box as the document's rows

int TFrmCorvane::TListRows::GetCount() const { return List()->GetCount(); }

void TFrmCorvane::TListRows::Insert(int Index, const UnicodeString& Text) { List()->Items->Insert(Index, Text); }

void TFrmCorvane::TListRows::Delete(int Index) { List()->Items->Delete(Index); }

void TFrmCorvane::TListRows::Clear() { List()->Items->Clear(); }

UnicodeString TFrmCorvane::TListRows::GetText(int Index) const { return List()->Items->Get(Index); }

void TFrmCorvane::TListRows::SetText(int Index, const UnicodeString& Text)
{
    // A row keeps its selection mark when it is renamed.
    const bool selected = List()->GetSelected(Index);
    List()->Items->Put(Index, Text);
    List()->SetSelected(Index, selected);
}

bool TFrmCorvane::TListRows::GetSelected(int Index) const { return List()->GetSelected(Index); }

void TFrmCorvane::TListRows::SetSelected(int Index, bool Value) { List()->SetSelected(Index, Value); }

int TFrmCorvane::TListRows::GetSelCount() const { return List()->GetSelCount(); }

int TFrmCorvane::TListRows::GetCurrent() const { return List()->GetItemIndex(); }

void TFrmCorvane::TListRows::SetCurrent(int Index) { List()->SetItemIndex(Index); }

void TFrmCorvane::TListRows::Invalidate() { List()->Invalidate(); }

// ---------------------------------------------------------------------------------------------
// Undo and redo

namespace {

TMenuItem* NewUndoItem(TFrmCorvane* Form, TPopupMenu* Menu, const char* Name, TShortCut Key,
                       void (TFrmCorvane::*Handler)(TObject*), int Index)
{
    auto* item = new TMenuItem(Menu);
    item->SetName(Name);
    item->SetShortCut(Key);
    item->OnClick = Bind(Form, Handler);
    Menu->Items->Insert(Index, item);
    return item;
}

}  // namespace

void TFrmCorvane::BuildUndoMenus()
{
    const TShortCut undo = ShortCut('Z', TShiftState{ssCtrl});
    const TShortCut redo = ShortCut('Y', TShiftState{ssCtrl});
    PopList = new TPopupMenu(this);
    PopList->SetName("PopList");
    MniListUndo = NewUndoItem(this, PopList, "MniListUndo", undo, &TFrmCorvane::MniUndoClick, 0);
    MniListRedo = NewUndoItem(this, PopList, "MniListRedo", redo, &TFrmCorvane::MniRedoClick, 1);
    LstDependencies->SetPopupMenu(PopList);
    // At the top of the chart's menu, above a line.
    auto* line = new TMenuItem(PopChart);
    line->SetCaption("-");
    PopChart->Items->Insert(0, line);
    MniUndo = NewUndoItem(this, PopChart, "MniUndo", undo, &TFrmCorvane::MniUndoClick, 0);
    MniRedo = NewUndoItem(this, PopChart, "MniRedo", redo, &TFrmCorvane::MniRedoClick, 1);
}

void TFrmCorvane::HistoryChanged()
{
    const UnicodeString undo = Document.UndoName();
    const UnicodeString redo = Document.RedoName();
    for (TMenuItem* item : {MniUndo, MniListUndo}) {
        item->SetCaption(undo.empty() ? UnicodeString("&Undo") : "&Undo " + undo);
        item->SetEnabled(!undo.empty());
    }
    for (TMenuItem* item : {MniRedo, MniListRedo}) {
        item->SetCaption(redo.empty() ? UnicodeString("&Redo") : "&Redo " + redo);
        item->SetEnabled(!redo.empty());
    }
}

void TFrmCorvane::MniUndoClick(TObject*)
{
    Document.Undo();
}

void TFrmCorvane::MniRedoClick(TObject*)
{
    Document.Redo();
}

bool TFrmCorvane::EditingText() const
{
    const TWinControl* focused = GetActiveControl();
    if (const auto* field = dynamic_cast<const TAutoEdit*>(focused))
        return field->GetEdited();
    // A name differs from what the window showed.
    const std::array<TEdit*, 4> edits = NameEdits();
    for (size_t k = 0; k < edits.size(); ++k)
        if (focused == edits[k])
            return !FShownKnown || edits[k]->GetText() != FShownTexts[k];
    return false;
}

void TFrmCorvane::FormKeyDown(TObject*, Word& Key, TShiftState Shift)
{
    if (!Shift.Contains(ssCtrl) || Shift.Contains(ssAlt) || (Key != 'Z' && Key != 'Y') || EditingText())
        return;
    if (Key == 'Y' || Shift.Contains(ssShift))
        Document.Redo();
    else
        Document.Undo();
    Key = 0;
}
