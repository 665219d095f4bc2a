// Edits, buttons and check boxes on Qt widgets.
#include "platform/StdCtrls.h"

#include "platform/qt/QtControls.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>
#include <QPushButton>

#include <climits>

namespace {

// The single-line edit. Its context menu sends Cut, Copy, Paste, Delete and Undo through the
// control's Dispatch (WM_CUT ... WM_UNDO); the control's default handling does the edit.
class TEditWidget : public QLineEdit {
public:
    TEditWidget() = default;

    // As on the original platform, the selection shows only while the edit has the focus (an
    // accepted text is selected, also in fields the program fills).
    void ShowSelection(bool Shown)
    {
        QPalette p = palette();
        const QPalette normal = QApplication::palette(this);
        p.setColor(QPalette::Highlight, Shown ? normal.color(QPalette::Highlight) : p.color(QPalette::Base));
        p.setColor(QPalette::HighlightedText,
                   Shown ? normal.color(QPalette::HighlightedText) : p.color(QPalette::Text));
        setPalette(p);
    }

protected:
    void contextMenuEvent(QContextMenuEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override
    {
        ShowSelection(true);
        QLineEdit::focusInEvent(Event);
    }
    void focusOutEvent(QFocusEvent* Event) override
    {
        ShowSelection(false);
        QLineEdit::focusOutEvent(Event);
    }
};

// The clipboard and undo keys (Ctrl+X, Ctrl+C, Ctrl+V, Shift+Insert, Ctrl+Z ...) become the
// edit's commands WM_CUT ... WM_UNDO, as the original edit control sends them to itself, so a
// control that pre-processes those commands sees every way of giving them.
void TEditWidget::keyPressEvent(QKeyEvent* Event)
{
    Cardinal msg = 0;
    if (Event->matches(QKeySequence::Cut))
        msg = WM_CUT;
    else if (Event->matches(QKeySequence::Copy))
        msg = WM_COPY;
    else if (Event->matches(QKeySequence::Paste))
        msg = WM_PASTE;
    else if (Event->matches(QKeySequence::Undo))
        msg = WM_UNDO;
    TWinControl* control = QtControls::ControlOf(this);
    if (msg == 0 || control == nullptr) {
        QLineEdit::keyPressEvent(Event);
        return;
    }
    Event->accept();
    QtControls::Entry(control, this, TAliveCheck(control), [&] { control->Perform(msg, 0, 0); });
}

Cardinal MenuMessage(const QAction* Action)
{
    const QString name = Action->objectName();
    if (name == QLatin1String("edit-cut")) return WM_CUT;
    if (name == QLatin1String("edit-copy")) return WM_COPY;
    if (name == QLatin1String("edit-paste")) return WM_PASTE;
    if (name == QLatin1String("edit-delete")) return WM_CLEAR;
    if (name == QLatin1String("edit-undo")) return WM_UNDO;
    QString text = Action->text();
    text.remove(QLatin1Char('&'));
    if (text.startsWith(QLatin1String("Cut"))) return WM_CUT;
    if (text.startsWith(QLatin1String("Copy"))) return WM_COPY;
    if (text.startsWith(QLatin1String("Paste"))) return WM_PASTE;
    if (text.startsWith(QLatin1String("Delete"))) return WM_CLEAR;
    if (text.startsWith(QLatin1String("Undo"))) return WM_UNDO;
    return 0;
}

void TEditWidget::contextMenuEvent(QContextMenuEvent* Event)
{
    TWinControl* control = QtControls::ControlOf(this);
    QMenu* menu = createStandardContextMenu();
    if (menu == nullptr)
        return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (control != nullptr) {
        for (QAction* action : menu->actions()) {
            const Cardinal msg = MenuMessage(action);
            if (msg == 0)
                continue;
            QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
            QObject::connect(action, &QAction::triggered, menu, [control, alive = TAliveCheck(control), msg, menu] {
                QtControls::Entry(control, menu, alive, [&] { control->Perform(msg, 0, 0); });
            });
        }
    }
    menu->popup(Event->globalPos());
}

QLineEdit* Edit(const TWinControl* C)
{
    return QtControls::WidgetAs<QLineEdit>(C);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner, QtControls::MakeWidget<TEditWidget>)
{
    SetControlStyle(TControlStyle{csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight});
    SetParentColor(false);
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, 121, 21);
    QLineEdit* edit = Edit(this);
    edit->setFont(QtControls::ToQFont(*GetFont()));
    ColorChanged();
    QtControls::Connect(this, edit, &QLineEdit::textChanged, [this](const QString&) { Change(); });
}

TCustomEdit::~TCustomEdit() = default;

UnicodeString TCustomEdit::GetText() const
{
    return QtControls::FromQ(Edit(this)->text());
}

void TCustomEdit::SetText(const UnicodeString& Value)
{
    QLineEdit* edit = Edit(this);
    const QString text = QtControls::ToQ(Value);
    if (edit->text() == text)
        return;
    edit->setText(text);
}

bool TCustomEdit::GetReadOnly() const
{
    return Edit(this)->isReadOnly();
}

void TCustomEdit::SetReadOnly(bool Value)
{
    Edit(this)->setReadOnly(Value);
}

int EditTextLength(const UnicodeString& Text)
{
    const qsizetype n = QString::fromStdString(Text).size();
    return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

int TCustomEdit::GetMaxLength() const
{
    const int n = Edit(this)->maxLength();
    return n >= MaxEditLength ? 0 : n;
}

void TCustomEdit::SetMaxLength(int Value)
{
    Edit(this)->setMaxLength(Value <= 0 || Value > MaxEditLength ? MaxEditLength : Value);
}

bool TCustomEdit::GetModified() const
{
    return Edit(this)->isModified();
}

void TCustomEdit::SetModified(bool Value)
{
    Edit(this)->setModified(Value);
}

int TCustomEdit::GetSelStart() const
{
    const QLineEdit* edit = Edit(this);
    return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
}

void TCustomEdit::SetSelStart(int Value)
{
    Edit(this)->setCursorPosition(Value);
}

int TCustomEdit::GetSelLength() const
{
    return static_cast<int>(Edit(this)->selectedText().size());
}

void TCustomEdit::SetSelLength(int Value)
{
    QLineEdit* edit = Edit(this);
    const int start = GetSelStart();
    if (Value <= 0)
        edit->setCursorPosition(start);
    else
        edit->setSelection(start, Value);
}

UnicodeString TCustomEdit::GetSelText() const
{
    return QtControls::FromQ(Edit(this)->selectedText());
}

void TCustomEdit::SelectAll()
{
    Edit(this)->selectAll();
}

bool TCustomEdit::GetCanUndo() const
{
    return Edit(this)->isUndoAvailable();
}

void TCustomEdit::ClearUndo()
{
    // Setting the text empties the edit's undo history; the text and the selection stay.
    QLineEdit* edit = Edit(this);
    const bool selected = edit->hasSelectedText();
    const int start = edit->selectionStart();
    const int length = static_cast<int>(edit->selectedText().size());
    const int cursor = edit->cursorPosition();
    const bool modified = edit->isModified();
    const QSignalBlocker block(edit);
    edit->setText(edit->text());
    if (selected && cursor == start)
        edit->setSelection(start + length, -length);
    else if (selected)
        edit->setSelection(start, length);
    else
        edit->setCursorPosition(cursor);
    edit->setModified(modified);
}

void TCustomEdit::DoDefault(TMessage& Message)
{
    QLineEdit* edit = Edit(this);
    const bool writable = !edit->isReadOnly();
    switch (Message.Msg) {
    case WM_CUT:
        if (writable && edit->hasSelectedText())
            edit->cut();
        break;
    case WM_COPY:
        edit->copy();
        break;
    case WM_PASTE:
        if (writable)
            edit->paste();
        break;
    case WM_CLEAR:
        if (writable && edit->hasSelectedText())
            edit->del();
        break;
    case WM_UNDO:
        if (writable && edit->isUndoAvailable()) {
            edit->undo();
            Message.Result = 1;
        }
        break;
    default:
        break;
    }
}

void TCustomEdit::ColorChanged()
{
    QLineEdit* edit = Edit(this);
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, QtControls::ToQColor(GetColor()));
    // The text stays readable on a colour the program chose (a modified field's green under a
    // dark theme's light text).
    p.setColor(QPalette::Text, QtControls::ToQColor(ReadableOn(GetFont()->GetColor(), GetColor())));
    edit->setPalette(p);
    static_cast<TEditWidget*>(edit)->ShowSelection(edit->hasFocus());
    TWinControl::ColorChanged();
}

void TCustomEdit::FontChanged()
{
    TWinControl::FontChanged();
    ColorChanged();
}

// ---------------------------------------------------------------------------------------------
// TButton

namespace {

QPushButton* Button(const TWinControl* C)
{
    return QtControls::WidgetAs<QPushButton>(C);
}

void SetTextColor(QWidget* W, TColor Color, TColor Background = clNone)
{
    QPalette p = W->palette();
    const QColor c = QtControls::ToQColor(Color);
    p.setColor(QPalette::ButtonText, c);
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::Text, c);
    if (Background != clNone)
        p.setColor(QPalette::Window, QtControls::ToQColor(Background));
    W->setPalette(p);
}

}  // namespace

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner, QtControls::MakeWidget<QPushButton>)
{
    SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
    QPushButton* button = Button(this);
    button->setAutoDefault(false);
    FontChanged();
    QtControls::Connect(this, button, &QPushButton::clicked, [this](bool) { Click(); });
}

void TButton::SetDefault(bool Value)
{
    FDefault = Value;
    Button(this)->setDefault(Value);
}

void TButton::FontChanged()
{
    TWinControl::FontChanged();
    // The caption takes the font's colour under every style.
    // A caption colour the program chose for the classic light face (Apply's red) stays readable
    // on a dark theme's face, which the style shades somewhat lighter than the palette's colour.
    const bool darkFace = ContrastRatio(clBtnFace, clWhite) > ContrastRatio(clBtnFace, clBlack);
    const TColor caption = GetFont()->GetColor();
    SetTextColor(Button(this), darkFace ? ReadableOn(caption, clBtnFace, 6.0) : caption);
}

void TButton::TextChanged()
{
    Button(this)->setText(QtControls::ToQ(GetText()));
}

// ---------------------------------------------------------------------------------------------
// TCheckBox

namespace {

QCheckBox* Check(const TWinControl* C)
{
    return QtControls::WidgetAs<QCheckBox>(C);
}

}  // namespace

TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner, QtControls::MakeWidget<QCheckBox>)
{
    SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
    SetTabStop(true);
    SetBounds(0, 0, 97, 17);
    QCheckBox* box = Check(this);
    box->setAutoFillBackground(true);
    FontChanged();
    QtControls::Connect(this, box, &QCheckBox::clicked, [this](bool) { Click(); });
}

bool TCheckBox::GetChecked() const
{
    return Check(this)->checkState() == Qt::Checked;
}

TCheckBoxState TCheckBox::GetState() const
{
    switch (Check(this)->checkState()) {
    case Qt::Checked: return cbChecked;
    case Qt::PartiallyChecked: return cbGrayed;
    default: return cbUnchecked;
    }
}

void TCheckBox::SetState(TCheckBoxState Value)
{
    if (GetState() == Value)
        return;
    QCheckBox* box = Check(this);
    if (Value == cbGrayed)
        box->setTristate(true);
    box->setCheckState(Value == cbChecked ? Qt::Checked
                       : Value == cbGrayed ? Qt::PartiallyChecked
                                           : Qt::Unchecked);
    Click();
}

void TCheckBox::SetAllowGrayed(bool Value)
{
    FAllowGrayed = Value;
    Check(this)->setTristate(Value);
}

void TCheckBox::SetAlignment(TAlignment Value)
{
    FAlignment = Value;
    Check(this)->setLayoutDirection(Value == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

void TCheckBox::FontChanged()
{
    TWinControl::FontChanged();
    ColorChanged();
}

void TCheckBox::ColorChanged()
{
    SetTextColor(Check(this), ReadableOn(GetFont()->GetColor(), GetColor()), GetColor());
    TWinControl::ColorChanged();
}

void TCheckBox::TextChanged()
{
    Check(this)->setText(QtControls::ToQ(GetText()));
}
