// The label (text drawn on the parent's surface through the canvas), and what buttons and
// check boxes do with the dialog keys and their accelerators.
#include "platform/StdCtrls.h"

#include "platform/Forms.h"

#include <algorithm>
#include <cwctype>

namespace {

// The character at S[At] (a malformed byte stands for itself).
Char DecodeChar(const UnicodeString& S, size_t At)
{
    size_t i = At;
    const char32_t c = DecodeUtf8(S, i);
    return c == BadUtf8 ? static_cast<Char>(static_cast<unsigned char>(S[At])) : static_cast<Char>(c);
}

// Removes the accelerator marks of one line: "&&" becomes "&", "&x" marks x (the first one is
// underlined). Returns the byte offset of the marked character in the plain text, or -1.
int StripAccel(const UnicodeString& Line, UnicodeString& Plain)
{
    int accel = -1;
    Plain.clear();
    for (size_t i = 0; i < Line.size(); ++i) {
        if (Line[i] == '&') {
            if (i + 1 < Line.size() && Line[i + 1] == '&') {
                Plain += '&';
                ++i;
            } else if (i + 1 < Line.size() && accel < 0) {
                accel = static_cast<int>(Plain.size());
            }
            continue;
        }
        Plain += Line[i];
    }
    return accel;
}

}  // namespace

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetControlStyle(GetControlStyle() + TControlStyle{csOpaque, csReplicatable});
    SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAlignment(TAlignment Value)
{
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value)
{
    if (FLayout == Value)
        return;
    FLayout = Value;
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool Value)
{
    if (FAutoSize == Value)
        return;
    FAutoSize = Value;
    AdjustBounds();
}

void TCustomLabel::SetTransparent(bool Value)
{
    if (FTransparent == Value)
        return;
    FTransparent = Value;
    // A transparent label shows what lies below it: it is repainted with its background.
    if (Value)
        SetControlStyle(GetControlStyle() - TControlStyle{csOpaque});
    else
        SetControlStyle(GetControlStyle() + TControlStyle{csOpaque});
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value)
{
    if (FWordWrap == Value)
        return;
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value)
{
    if (FShowAccelChar == Value)
        return;
    FShowAccelChar = Value;
    AdjustBounds();
    Invalidate();
}

TWinControl* TCustomLabel::GetFocusControl() const
{
    return FFocusControlAlive ? FFocusControl : nullptr;
}

void TCustomLabel::SetFocusControl(TWinControl* Value)
{
    FFocusControl = Value;
    FFocusControlAlive = TAliveCheck(Value);
}

Char TCustomLabel::GetAccelChar() const
{
    return FShowAccelChar ? AccelCharOf(GetText()) : Char(0);
}

Char AccelCharOf(const UnicodeString& Caption)
{
    const UnicodeString& text = Caption;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<Char>(std::towupper(static_cast<wint_t>(DecodeChar(text, i + 1))));
    }
    return 0;
}

std::vector<TCustomLabel::TLine> TCustomLabel::Lines(int MaxWidth) const
{
    std::vector<TLine> result;
    const UnicodeString text = GetText();
    size_t start = 0;
    while (true) {
        size_t end = text.find('\n', start);
        UnicodeString raw = text.substr(start, end == UnicodeString::npos ? UnicodeString::npos : end - start);
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        TLine line;
        if (FShowAccelChar)
            line.Accel = StripAccel(raw, line.Text);
        else
            line.Text = raw;
        if (!FWordWrap || MaxWidth <= 0 || Canvas->TextWidth(line.Text) <= MaxWidth) {
            result.push_back(line);
        } else {
            // Break at blanks; a word wider than the label stays whole on its own line.
            size_t pos = 0;
            const UnicodeString& s = line.Text;
            while (pos < s.size()) {
                size_t lineEnd = pos;
                size_t scan = pos;
                while (scan <= s.size()) {
                    size_t blank = s.find(' ', scan);
                    const size_t wordEnd = blank == UnicodeString::npos ? s.size() : blank;
                    if (lineEnd > pos && Canvas->TextWidth(s.substr(pos, wordEnd - pos)) > MaxWidth)
                        break;
                    lineEnd = wordEnd;
                    if (blank == UnicodeString::npos)
                        break;
                    scan = blank + 1;
                }
                TLine piece;
                piece.Text = s.substr(pos, lineEnd - pos);
                if (line.Accel >= static_cast<int>(pos) && line.Accel < static_cast<int>(lineEnd))
                    piece.Accel = line.Accel - static_cast<int>(pos);
                result.push_back(piece);
                pos = lineEnd;
                while (pos < s.size() && s[pos] == ' ')
                    ++pos;
            }
        }
        if (end == UnicodeString::npos)
            break;
        start = end + 1;
    }
    return result;
}

void TCustomLabel::Paint()
{
    TCanvas* c = Canvas;
    c->Font->Assign(GetFont());
    const TRect client = GetClientRect();
    if (!FTransparent) {
        c->Brush->SetColor(GetColor());
        c->Brush->SetStyle(bsSolid);
        c->FillRect(client);
    }
    c->Brush->SetStyle(bsClear);
    const std::vector<TLine> lines = Lines(client.Width());
    const int lineHeight = c->TextHeight("Wg");
    const int total = lineHeight * static_cast<int>(lines.size());
    int y = 0;
    if (FLayout == tlCenter)
        y = (client.Height() - total) / 2;
    else if (FLayout == tlBottom)
        y = client.Height() - total;
    auto drawLine = [c](int x, int top, const TLine& line) {
        if (line.Accel < 0) {
            c->TextOut(x, top, line.Text);
            return;
        }
        const size_t at = static_cast<size_t>(line.Accel);
        const UnicodeString before = line.Text.substr(0, at);
        const size_t n = Utf8CharLength(line.Text, at);
        const UnicodeString marked = line.Text.substr(at, n);
        const UnicodeString after = line.Text.substr(at + n);
        c->TextOut(x, top, before);
        x += c->TextWidth(before);
        const TFontStyles style = c->Font->GetStyle();
        c->Font->SetStyle(style + TFontStyles{fsUnderline});
        c->TextOut(x, top, marked);
        x += c->TextWidth(marked);
        c->Font->SetStyle(style);
        c->TextOut(x, top, after);
    };
    for (const TLine& line : lines) {
        const int width = c->TextWidth(line.Text);
        int x = 0;
        if (FAlignment == taRightJustify)
            x = client.Width() - width;
        else if (FAlignment == taCenter)
            x = (client.Width() - width) / 2;
        if (GetEnabled()) {
            drawLine(x, y, line);
        } else {
            c->Font->SetColor(clBtnHighlight);
            drawLine(x + 1, y + 1, line);
            c->Font->SetColor(clBtnShadow);
            drawLine(x, y, line);
        }
        y += lineHeight;
    }
}

void TCustomLabel::AdjustBounds()
{
    if (!FAutoSize)
        return;
    Canvas->Font->Assign(GetFont());
    std::vector<TLine> lines = Lines(FWordWrap ? GetWidth() : 0);
    int width = 0;
    for (const TLine& line : lines)
        width = std::max(width, Canvas->TextWidth(line.Text.empty() ? UnicodeString(" ") : line.Text));
    const int height = Canvas->TextHeight("Wg") * static_cast<int>(std::max<size_t>(lines.size(), 1));
    if (FWordWrap)
        width = GetWidth();
    int left = GetLeft();
    if (FAlignment == taRightJustify)
        left = GetLeft() + GetWidth() - width;
    SetBounds(left, GetTop(), width, height);
}

void TCustomLabel::TextChanged()
{
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::FontChanged()
{
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::Dispatch(void* Message)
{
    TMessage& m = *static_cast<TMessage*>(Message);
    if (m.Msg == CM_DIALOGCHAR) {
        TWinControl* target = GetFocusControl();
        const Char accel = GetAccelChar();
        if (target != nullptr && GetEnabled() && accel != 0 && Char(m.WParam) == accel &&
            target->CanFocus()) {
            m.Result = 1;
            target->SetFocus();
        }
        return;
    }
    TGraphicControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// Edits: the clipboard and undo go through Dispatch (the toolkit's part is in
// platform/qt/QtStdCtrls.cpp)

void TCustomEdit::TextChanged() {}

void TCustomEdit::ClearSelection()
{
    Perform(WM_CLEAR, 0, 0);
}

void TCustomEdit::CutToClipboard()
{
    Perform(WM_CUT, 0, 0);
}

void TCustomEdit::CopyToClipboard()
{
    Perform(WM_COPY, 0, 0);
}

void TCustomEdit::PasteFromClipboard()
{
    Perform(WM_PASTE, 0, 0);
}

void TCustomEdit::Undo()
{
    Perform(WM_UNDO, 0, 0);
}

void TCustomEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomEdit::EnabledChanged()
{
    TWinControl::EnabledChanged();
}

// ---------------------------------------------------------------------------------------------
// Buttons and check boxes

void TCheckBox::SetChecked(bool Value)
{
    SetState(Value ? cbChecked : cbUnchecked);
}


void TButton::Click()
{
    if (TForm* form = GetParentForm(this))
        form->SetModalResult(FModalResult);
    TWinControl::Click();
}

void TButton::Dispatch(void* Message)
{
    TMessage& m = *static_cast<TMessage*>(Message);
    if (m.Msg == CM_DIALOGKEY) {
        TWinControl* focused = FindFocusedControl();
        const bool buttonFocused = dynamic_cast<TButton*>(focused) != nullptr;
        const bool active = focused == this || (FDefault && !buttonFocused);
        if (((m.WParam == VK_RETURN && active) || (m.WParam == VK_ESCAPE && FCancel)) &&
            m.LParam == 0 && CanFocus()) {
            m.Result = 1;
            Click();
        }
        return;
    }
    // The caption's accelerator clicks the button at once; the focus stays where it is.
    if (m.Msg == CM_DIALOGCHAR) {
        const Char accel = AccelCharOf(GetCaption());
        if (accel != 0 && Char(m.WParam) == accel && CanFocus()) {
            m.Result = 1;
            Click();
        }
        return;
    }
    TWinControl::Dispatch(Message);
}

void TCheckBox::Dispatch(void* Message)
{
    TMessage& m = *static_cast<TMessage*>(Message);
    // The caption's accelerator focuses the box and toggles its mark.
    if (m.Msg == CM_DIALOGCHAR) {
        const Char accel = AccelCharOf(GetCaption());
        if (accel != 0 && Char(m.WParam) == accel && CanFocus()) {
            m.Result = 1;
            SetFocus();
            SetChecked(!GetChecked());
        }
        return;
    }
    TWinControl::Dispatch(Message);
}
