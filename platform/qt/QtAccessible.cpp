// What a screen reader reads of the windows: every control's name from its caption, and the
// list box's rows (our own drawing, which Qt cannot see into) with the current one.
#include "platform/FormsPrivate.h"
#include "platform/ListCtrls.h"
#include "platform/StdCtrls.h"
#include "platform/qt/QtControls.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include <cctype>
#include <climits>
#include <cstdlib>

namespace {

// A caption without its accelerator marks ("&Apply" reads "Apply", "&&" is "&").
QString WithoutAccelerators(const UnicodeString& Text)
{
    QString out;
    const QString in = QtControls::ToQ(Text);
    for (int i = 0; i < in.size(); ++i) {
        if (in[i] == QLatin1Char('&') && i + 1 < in.size())
            ++i;
        out += in[i];
    }
    return out.trimmed();
}

// The caption that names C: a label whose focus control it is, else the nearest label of the
// same parent on its row to its left, else the nearest one above it, overlapping its columns.
const TCustomLabel* CaptionOf(const TWinControl* C)
{
    const TWinControl* parent = C->GetParent();
    if (parent == nullptr)
        return nullptr;
    const TRect r = C->GetBoundsRect();
    const TCustomLabel* left = nullptr;
    const TCustomLabel* above = nullptr;
    int leftGap = INT_MAX, aboveGap = INT_MAX;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        const auto* label = dynamic_cast<const TCustomLabel*>(parent->Controls(i));
        if (label == nullptr || !label->GetVisible() || label->GetText().empty())
            continue;
        if (label->GetFocusControl() == C)
            return label;
        // A caption's label lies inside its frame, its parent's coordinates offset by the frame.
        const TRect l = label->GetBoundsRect();
        const int middle = (l.Top + l.Bottom) / 2;
        if (middle >= r.Top && middle < r.Bottom && l.Right <= r.Left + 2 && r.Left - l.Right < leftGap) {
            leftGap = r.Left - l.Right;
            left = label;
        }
        if (l.Bottom <= r.Top + 2 && l.Left < r.Right && r.Left < l.Right && r.Top - l.Bottom < aboveGap) {
            aboveGap = r.Top - l.Bottom;
            above = label;
        }
    }
    return left != nullptr ? left : above;
}

// A name made from the control's own name when no caption names it: the kind prefix dropped
// and the words parted ("EdtAnalyte1" reads "Analyte 1", "LstDependencies" "Dependencies").
QString FromControlName(const UnicodeString& Name)
{
    // Names here begin with a capitalised kind: "Edt", "Num", "Lst", "Cbx", "Chrt".
    size_t start = 1;
    while (start < Name.size() && std::islower(static_cast<unsigned char>(Name[start])))
        ++start;
    if (start >= Name.size())
        start = 0;
    QString out;
    for (size_t i = start; i < Name.size(); ++i) {
        const char ch = Name[i];
        const bool boundary = i > start && ((std::isupper(static_cast<unsigned char>(ch)) &&
                                             std::islower(static_cast<unsigned char>(Name[i - 1]))) ||
                                            (std::isdigit(static_cast<unsigned char>(ch)) &&
                                             !std::isdigit(static_cast<unsigned char>(Name[i - 1]))));
        if (boundary)
            out += QLatin1Char(' ');
        out += QLatin1Char(ch);
    }
    return out;
}

void NameControls(TWinControl* Parent)
{
    for (int i = 0; i < Parent->ControlCount(); ++i) {
        auto* c = dynamic_cast<TWinControl*>(Parent->Controls(i));
        if (c == nullptr)
            continue;
        NameControls(c);
        QWidget* w = QtControls::WidgetOf(c);
        // Buttons and check boxes are named by their own caption; so is a panel with one.
        if (w == nullptr || dynamic_cast<TButton*>(c) != nullptr || dynamic_cast<TCheckBox*>(c) != nullptr)
            continue;
        QString name;
        if (const TCustomLabel* caption = CaptionOf(c))
            name = WithoutAccelerators(caption->GetText());
        if (name.isEmpty() && !c->GetText().empty() && dynamic_cast<TCustomEdit*>(c) == nullptr)
            name = WithoutAccelerators(c->GetText());
        if (name.isEmpty())
            name = FromControlName(c->GetName());
        if (!name.isEmpty() && w->accessibleName() != name)
            w->setAccessibleName(name);
    }
}

// ---- The list box's rows ------------------------------------------------------------------

class TListAccessible;

class TRowAccessible : public QAccessibleInterface {
public:
    TRowAccessible(TListAccessible* List, int Row) : FList(List), FRow(Row) {}
    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text Kind) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;

private:
    TListAccessible* FList;
    int FRow;
};

// The list box as a list of rows; the rows' interfaces are made when asked for and live as
// long as the list's.
class TListAccessible : public QAccessibleWidget {
public:
    explicit TListAccessible(QWidget* W) : QAccessibleWidget(W, QAccessible::List) {}
    ~TListAccessible() override
    {
        for (QAccessible::Id id : FRows)
            QAccessible::deleteAccessibleInterface(id);
    }

    TListBox* List() const { return dynamic_cast<TListBox*>(QtControls::ControlOf(widget())); }
    QWidget* ListWidget() const { return widget(); }
    int childCount() const override
    {
        const TListBox* list = List();
        return list != nullptr ? list->GetCount() : 0;
    }
    QAccessibleInterface* child(int Index) const override
    {
        if (Index < 0 || Index >= childCount())
            return nullptr;
        auto& rows = const_cast<TListAccessible*>(this)->FRows;
        while (int(rows.size()) <= Index)
            rows.push_back(QAccessible::registerAccessibleInterface(
                new TRowAccessible(const_cast<TListAccessible*>(this), int(rows.size()))));
        return QAccessible::accessibleInterface(rows[size_t(Index)]);
    }
    int indexOfChild(const QAccessibleInterface* Child) const override
    {
        for (size_t i = 0; i < FRows.size(); ++i)
            if (QAccessible::accessibleInterface(FRows[i]) == Child)
                return int(i) < childCount() ? int(i) : -1;
        return -1;
    }
    QAccessibleInterface* focusChild() const override
    {
        const TListBox* list = List();
        return list != nullptr && list->GetItemIndex() >= 0 ? child(list->GetItemIndex()) : nullptr;
    }
    QAccessibleInterface* childAt(int X, int Y) const override
    {
        const TListBox* list = List();
        if (list == nullptr)
            return nullptr;
        const QPoint p = widget()->mapFromGlobal(QPoint(X, Y));
        for (int i = 0; i < list->GetCount(); ++i)
            if (QtControls::ToQRect(list->ItemRect(i)).contains(p))
                return child(i);
        return nullptr;
    }

private:
    std::vector<QAccessible::Id> FRows;
};

bool TRowAccessible::isValid() const { return FRow < FList->childCount(); }
QWindow* TRowAccessible::window() const { return FList->window(); }
QAccessibleInterface* TRowAccessible::parent() const { return FList; }

QString TRowAccessible::text(QAccessible::Text Kind) const
{
    const TListBox* list = FList->List();
    if (Kind != QAccessible::Name || list == nullptr || FRow >= list->GetCount())
        return QString();
    return QtControls::ToQ(list->Items->Get(FRow));
}

QRect TRowAccessible::rect() const
{
    const TListBox* list = FList->List();
    if (list == nullptr || FRow >= list->GetCount())
        return QRect();
    const QRect r = QtControls::ToQRect(list->ItemRect(FRow));
    return QRect(FList->ListWidget()->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::State TRowAccessible::state() const
{
    QAccessible::State s;
    const TListBox* list = FList->List();
    if (list == nullptr || FRow >= list->GetCount())
        return s;
    s.selectable = true;
    s.focusable = true;
    s.selected = list->GetSelected(FRow) || (!list->GetMultiSelect() && list->GetItemIndex() == FRow);
    s.focused = list->GetItemIndex() == FRow && FList->ListWidget()->hasFocus();
    s.active = list->GetItemIndex() == FRow;
    const QRect r = QtControls::ToQRect(list->ItemRect(FRow));
    s.invisible = !r.intersects(FList->ListWidget()->rect());
    s.offscreen = s.invisible;
    return s;
}

QAccessibleInterface* ListFactory(const QString& ClassName, QObject* Object)
{
    auto* w = qobject_cast<QWidget*>(Object);
    // (The surface's widget class declares no meta-object of its own: Qt names it QWidget.)
    if (w == nullptr || ClassName != QLatin1String("QWidget") || dynamic_cast<TListBox*>(QtControls::ControlOf(w)) == nullptr)
        return nullptr;
    return new TListAccessible(w);
}

}  // namespace

void Toolkit::NameForScreenReaders(TWinControl* Window)
{
    static const bool installed = [] {
        QAccessible::installFactory(ListFactory);
        return true;
    }();
    (void)installed;
    if (Window != nullptr)
        NameControls(Window);
}
