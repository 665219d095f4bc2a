// The toolkit side of the list box (its scroll bar) and the combo box (a QComboBox).
#include "platform/ListCtrls.h"
#include "platform/qt/QtControls.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

// ---- List box -----------------------------------------------------------------------------

struct TListBoxScroll {
    QPointer<QScrollBar> Bar;
    bool Visible = false;
    static constexpr int Width = 17;
};

TListBox::TListBox(TComponent* AOwner)
    : TCustomControl(AOwner), Items(NewItems(this)), FScroll(std::make_unique<TListBoxScroll>())
{
    // OnClick follows the selection, not the mouse button.
    SetControlStyle(GetControlStyle() - TControlStyle{csClickEvents});
    SetParentColor(false);
    SetColor(clWindow);
    SetTabStop(true);
    auto* bar = new QScrollBar(Qt::Vertical, QtControls::WidgetOf(this));
    bar->setFocusPolicy(Qt::NoFocus);
    bar->hide();
    FScroll->Bar = bar;
    QtControls::Connect(this, bar, &QScrollBar::valueChanged, [this](int Value) { SetTopIndex(Value); });
    SetBounds(GetLeft(), GetTop(), 121, 97);
}

TListBox::~TListBox()
{
    FControlDestroying = true;
    delete Items;
}

int TListBox::ScrollBarWidth() const { return FScroll && FScroll->Visible ? TListBoxScroll::Width : 0; }

void TListBox::UpdateScrollBar()
{
    if (!FScroll || !FScroll->Bar)
        return;
    QScrollBar* bar = FScroll->Bar;
    const int inner = std::max(0, GetHeight() - 2 * BorderWidth);
    FScroll->Visible = GetCount() * RowHeight() > inner;
    const QSignalBlocker block(bar);
    bar->setGeometry(GetWidth() - BorderWidth - TListBoxScroll::Width, BorderWidth, TListBoxScroll::Width, inner);
    bar->setRange(0, MaxTopIndex());
    bar->setPageStep(PageRows());
    bar->setSingleStep(1);
    bar->setValue(FTopIndex);
    bar->setVisible(FScroll->Visible);
}

// ---- Combo box ----------------------------------------------------------------------------

namespace {

using QtControls::FromQ;
using QtControls::ToQ;

QComboBox* ComboOf(const TWinControl* C) { return QtControls::WidgetAs<QComboBox>(C); }

// The items of a combo box live in its QComboBox; changing them by program fires no event.
class TComboBoxStrings : public TStrings {
public:
    explicit TComboBoxStrings(TComboBox* AOwner) : FCombo(AOwner) {}

    int GetCount() const override { return Box()->count(); }
    UnicodeString Get(int Index) const override
    {
        CheckIndex(Index, GetCount());
        return FromQ(Box()->itemText(Index));
    }
    void Put(int Index, const UnicodeString& S) override
    {
        CheckIndex(Index, GetCount());
        const QSignalBlocker block(Box());
        Box()->setItemText(Index, ToQ(S));
    }
    void Insert(int Index, const UnicodeString& S) override
    {
        CheckIndex(Index, GetCount() + 1);
        const QSignalBlocker block(Box());
        const int current = Box()->currentIndex();
        Box()->insertItem(Index, ToQ(S));
        // A drop-down list starts without a choice, as the original does; Qt would pick the
        // first item.
        if (current < 0)
            Box()->setCurrentIndex(-1);
    }
    void Delete(int Index) override
    {
        CheckIndex(Index, GetCount());
        const QSignalBlocker block(Box());
        const int current = Box()->currentIndex();
        Box()->removeItem(Index);
        if (current == Index)
            Box()->setCurrentIndex(-1);  // the chosen item is gone: no choice
    }
    void Clear() override
    {
        const QSignalBlocker block(Box());
        Box()->clear();
    }

private:
    QComboBox* Box() const { return ComboOf(FCombo); }
    TComboBox* FCombo;
};

}  // namespace

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner, QtControls::MakeWidget<QComboBox>), Items(new TComboBoxStrings(this))
{
    SetParentColor(false);
    SetColor(clWindow);
    SetTabStop(true);
    QComboBox* box = ComboOf(this);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(FDropDownCount);
    box->setFocusPolicy(Qt::StrongFocus);
    // activated comes from the user only: mouse, keyboard or wheel.
    QtControls::Connect(this, box, &QComboBox::activated, [this](int) {
        const TAliveCheck alive(this);
        Click();
        if (alive)
            Select();
    });
    QtControls::Connect(this, box, &QComboBox::editTextChanged, [this](const QString&) {
        if (FStyle == csDropDownList || FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable)
            return;
        Change();
    });
    SetBounds(GetLeft(), GetTop(), 145, 21);
}

int TComboBox::GetItemIndex() const { return ComboOf(this)->currentIndex(); }

void TComboBox::SetItemIndex(int Value)
{
    QComboBox* box = ComboOf(this);
    if (Value < -1 || Value >= box->count())
        return;
    const QSignalBlocker block(box);
    box->setCurrentIndex(Value);
    if (Value < 0 && box->isEditable())
        box->setEditText(QString());
}

UnicodeString TComboBox::GetText() const { return FromQ(ComboOf(this)->currentText()); }

void TComboBox::SetText(const UnicodeString& Value)
{
    QComboBox* box = ComboOf(this);
    const QSignalBlocker block(box);
    if (box->isEditable()) {
        box->setEditText(ToQ(Value));
        return;
    }
    const int index = box->findText(ToQ(Value), Qt::MatchExactly);
    if (index >= 0)
        box->setCurrentIndex(index);
}

void TComboBox::SetStyle(TComboBoxStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    QComboBox* box = ComboOf(this);
    const QSignalBlocker block(box);
    const int index = box->currentIndex();
    box->setEditable(Value == csDropDown || Value == csSimple);
    if (box->isEditable())
        box->setInsertPolicy(QComboBox::NoInsert);
    box->setCurrentIndex(index);
}

void TComboBox::SetDropDownCount(int Value)
{
    if (Value <= 0 || Value == FDropDownCount)
        return;
    FDropDownCount = Value;
    ComboOf(this)->setMaxVisibleItems(Value);
}

bool TComboBox::GetDroppedDown() const
{
    const QAbstractItemView* view = ComboOf(this)->view();
    return view != nullptr && view->isVisible();
}

void TComboBox::SetDroppedDown(bool Value)
{
    if (Value)
        ComboOf(this)->showPopup();
    else
        ComboOf(this)->hidePopup();
}
