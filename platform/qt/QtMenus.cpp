// Popup menus on Qt: the items become a QMenu that runs its own loop until it closes.
#include "platform/Menus.h"

#include "platform/qt/QtControls.h"

#include <QAction>
#include <QMenu>

#include <algorithm>
#include <vector>

namespace {

// Learns which of the components it watches are destroyed while the menu is open (any
// handler that runs meanwhile may destroy the menu or its items).
class TPopupWatch : public TComponent {
public:
    TPopupWatch() : TComponent(nullptr) {}
    void Watch(TComponent* C) { C->FreeNotification(this); }
    bool Gone(const TComponent* C) const { return std::find(FGone.begin(), FGone.end(), C) != FGone.end(); }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        if (Operation == opRemove)
            FGone.push_back(AComponent);
        TComponent::Notification(AComponent, Operation);
    }

private:
    std::vector<const TComponent*> FGone;
};

struct TShownItem {
    const QAction* Action;
    TMenuItem* Item;
};

// The visible sub-items of Parent into Menu (sub-menus for items with items of their own), with
// a separator only between two shown entries; the shortcut's text stands after a tab, which the
// menu shows at the right.
void AddItems(QMenu* Menu, TMenuItem* Parent, std::vector<TShownItem>& Shown, TPopupWatch& Watch)
{
    bool entries = false, line = false;
    for (int i = 0; i < Parent->Count(); ++i) {
        TMenuItem* item = Parent->Items(i);
        if (!item->GetVisible())
            continue;
        if (item->IsLine()) {
            line = entries;
            continue;
        }
        if (line)
            Menu->addSeparator();
        entries = true;
        line = false;
        QString text = QtControls::ToQ(item->GetCaption());
        const UnicodeString keys = ShortCutToText(item->GetShortCut());
        if (!keys.empty())
            text += QLatin1Char('\t') + QtControls::ToQ(keys);
        QAction* action = nullptr;
        if (item->Count() > 0) {
            QMenu* sub = Menu->addMenu(text);
            AddItems(sub, item, Shown, Watch);
            action = sub->menuAction();
        } else {
            action = Menu->addAction(text);
        }
        action->setEnabled(item->GetEnabled());
        action->setCheckable(item->GetChecked());
        action->setChecked(item->GetChecked());
        Shown.push_back({action, item});
        Watch.Watch(item);
    }
}

}  // namespace

void TPopupMenu::Popup(int X, int Y)
{
    TPopupWatch watch;
    watch.Watch(this);
    DoPopup(this);
    if (watch.Gone(this))
        return;
    QMenu menu;
    std::vector<TShownItem> shown;
    AddItems(&menu, Items, shown, watch);
    if (shown.empty())
        return;
    const QAction* chosen = menu.exec(QPoint(X, Y));
    if (chosen == nullptr || watch.Gone(this))
        return;
    for (const TShownItem& s : shown) {
        if (s.Action != chosen || watch.Gone(s.Item))
            continue;
        TMenuItem* item = s.Item;
        try {
            item->Click();
        } catch (...) {
            EventPath::ReportException(watch.Gone(item) ? nullptr : item);
        }
        return;
    }
}
