// Popup menus: shortcut texts, the item tree, and menus opened and answered through real mouse
// and key events.
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/ListCtrls.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "tests/platform/MenuAnswer.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QtTest/qtestspontaneevent.h>

#include <string>
#include <vector>

namespace {

using TLog = std::vector<std::string>;
const TShiftState Ctrl{ssCtrl};

TEST(ShortCuts, TextsAsTheMenusShowThemAndBackToTheKey)
{
    const struct {
        Word Key;
        TShiftState Shift;
        const char* Text;
    } table[] = {
        {'C', Ctrl, "Ctrl+C"}, {VK_DELETE, {ssShift}, "Shift+Del"}, {VK_F5, {}, "F5"},
        {'S', {ssShift, ssCtrl}, "Shift+Ctrl+S"}, {VK_BACK, {ssAlt}, "Alt+BkSp"}, {VK_PRIOR, {}, "PgUp"},
        {VK_NUMPAD5, Ctrl, "Ctrl+5"}, {VK_OEM_PLUS, Ctrl, "Ctrl+="}, {VK_LWIN, Ctrl, ""},
    };
    for (const auto& row : table) {
        const TShortCut s = ShortCut(row.Key, row.Shift);
        EXPECT_EQ(ShortCutToText(s), row.Text) << row.Text;
        Word key = 0;
        TShiftState shift;
        ShortCutToKey(s, key, shift);
        EXPECT_TRUE(key == row.Key && shift == row.Shift) << row.Text;
    }
    EXPECT_EQ(ShortCut('C', Ctrl), 0x4043);
    EXPECT_EQ(ShortCut(0x100, Ctrl), scNone);
}

// An item that logs its destruction.
struct TCountedItem : TMenuItem {
    TCountedItem(TComponent* AOwner, TLog& Log, const char* Name) : TMenuItem(AOwner), FLog(Log)
    {
        SetCaption(Name);
    }
    ~TCountedItem() override { FLog.push_back("~" + GetCaption()); }
    TLog& FLog;
};

TEST(MenuItems, TheTreeOwnsItsItemsAndRefusesMisplacedOnes)
{
    TLog log;
    auto* owner = new TComponent(nullptr);
    auto* menu = new TPopupMenu(owner);
    TPopupMenu other(nullptr);
    auto* a = new TCountedItem(owner, log, "a");
    auto* b = new TCountedItem(owner, log, "b");
    auto* c = new TCountedItem(nullptr, log, "c");
    menu->Items->Add(a);
    menu->Items->Insert(0, b);
    a->Add(c);
    EXPECT_EQ(menu->Items->IndexOf(a), 1);
    const std::pair<std::function<void()>, const char*> refused[] = {
        {[&] { menu->Items->Items(2); }, "Menu index out of range"},
        {[&] { menu->Items->Insert(3, new TMenuItem(owner)); }, "Menu index out of range"},
        {[&] { other.Items->Add(c); }, "Menu inserted twice"},
        {[&] { c->Add(other.Items); }, "Menu inserted twice"},
        {[] {
             TMenuItem loose(nullptr);
             loose.Add(&loose);
         },
         "A menu item cannot contain itself"},
    };
    for (const auto& [call, message] : refused) {
        try {
            call();
            ADD_FAILURE() << message << ": no error";
        } catch (const EMenuError& e) {
            EXPECT_EQ(e.Message(), message);
        }
    }
    // Taken out, an item is its owner's again; destroyed, it leaves its parent and takes its
    // sub-items along; the owner destroys each remaining item once.
    menu->Items->Delete(0);
    EXPECT_EQ(b->GetParent(), nullptr);
    delete a;
    EXPECT_EQ(log, (TLog{"~a", "~c"}));
    EXPECT_EQ(menu->Items->Count(), 0);
    menu->Items->Add(b);
    b->Add(new TCountedItem(nullptr, log, "d"));
    delete owner;
    EXPECT_EQ(log, (TLog{"~a", "~c", "~b", "~d"}));
}

// ---------------------------------------------------------------------------------------------
// On screen: a form with a panel (a label and a button on it), a button, an edit and a list.

class TLoggingPanel : public TPanel {
public:
    TLoggingPanel(TComponent* AOwner, TLog& Log) : TPanel(AOwner), FLog(Log) {}
    void Dispatch(void* Message) override
    {
        const Cardinal msg = static_cast<TMessage*>(Message)->Msg;
        if (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP || msg == WM_CONTEXTMENU)
            FLog.push_back(msg == WM_RBUTTONDOWN ? "down" : msg == WM_RBUTTONUP ? "up" : "WM_CONTEXTMENU");
        TPanel::Dispatch(Message);
    }

private:
    TLog& FLog;
};

class MenusOnScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application->OnException = [this](TObject*, Exception* E) { Log.push_back("error " + E->Message()); };
        Form = new TForm(nullptr);
        Form->SetBounds(0, 0, 420, 260);
        Panel = Make<TLoggingPanel>(Form, TRect(200, 20, 400, 180), Log);
        Label = Make<TLabel>(Panel, TRect(10, 10, 70, 30));
        Inner = Make<TButton>(Panel, TRect(10, 100, 85, 125));
        Button = Make<TButton>(Form, TRect(10, 10, 85, 35));
        Edit = Make<TEdit>(Form, TRect(10, 50, 131, 71));
        List = Make<TListBox>(Form, TRect(10, 90, 131, 187));
        List->OnKeyDown = [this](TObject*, Word& Key, TShiftState) {
            Log.push_back("key " + std::to_string(Key));
        };
        Copy = AddItem(Menu, "&Copy chart", ShortCut('C', Ctrl));
        AddItem(Menu, "-", scNone);
        Save = AddItem(Menu, "&Save chart as...", scNone);
        AddItem(Menu, "Keep ratio", scNone)->SetChecked(true);
        Panel->SetPopupMenu(Menu);
        AddItem(LabelMenu, "Label item", scNone);
        Label->SetPopupMenu(LabelMenu);
        ListItem = AddItem(ListMenu, "List item", ShortCut('D', Ctrl));
        List->SetPopupMenu(ListMenu);
        Form->Show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(WidgetOf(Form)));
    }

    void TearDown() override
    {
        delete Form;
        Application->OnException = nullptr;
    }

    template <class T, class... A>
    T* Make(TWinControl* Parent, const TRect& Bounds, A&... Args)
    {
        auto* c = new T(Form, Args...);
        c->SetParent(Parent);
        c->SetBoundsRect(Bounds);
        return c;
    }

    // An item whose click is logged by its caption, with " (open)" while a menu still shows.
    TMenuItem* AddItem(TPopupMenu*& M, const char* Caption, TShortCut S)
    {
        if (M == nullptr)
            M = new TPopupMenu(Form);
        auto* item = new TMenuItem(Form);
        item->SetCaption(Caption);
        item->SetShortCut(S);
        item->OnClick = [this, item](TObject*) {
            std::string caption = item->GetCaption();
            std::erase(caption, '&');
            Log.push_back(caption + (OpenMenu() != nullptr ? " (open)" : ""));
        };
        M->Items->Add(item);
        return item;
    }

    // The entries as shown: caption, [shortcut text], "off" when disabled, "on" when checked.
    static TLog Entries(QMenu* M)
    {
        TLog r;
        for (const QAction* a : M->actions()) {
            const QString keys = a->text().section('\t', 1);
            if (a->isSeparator()) {
                r.push_back("-");
                continue;
            }
            const std::string shortCut = keys.isEmpty() ? "" : " [" + keys.toStdString() + "]";
            r.push_back(MenuCaption(a).toStdString() + shortCut + (a->isEnabled() ? "" : " off") +
                        (a->isChecked() ? " on" : ""));
        }
        return r;
    }

    static QPoint Screen(const TControl* C, QPoint P) { return WidgetAt(C, P)->mapToGlobal(P); }

    // How many menus Action opens (each closed at once).
    static int MenusOpenedBy(const std::function<void()>& Action)
    {
        TMenuGuard guard;
        Action();
        QTest::qWait(50);
        return guard.Count;
    }

    TMenuGuard Watchdog{3000};
    TLog Log;
    TForm* Form = nullptr;
    TLoggingPanel* Panel = nullptr;
    TLabel* Label = nullptr;
    TButton *Inner = nullptr, *Button = nullptr;
    TEdit* Edit = nullptr;
    TListBox* List = nullptr;
    TPopupMenu *Menu = nullptr, *LabelMenu = nullptr, *ListMenu = nullptr;
    TMenuItem *Copy = nullptr, *Save = nullptr, *ListItem = nullptr;
};

TEST_F(MenusOnScreen, ARightClickOpensTheMenuAfterMouseUpAndTheChoiceRunsOnceItHasClosed)
{
    Menu->OnPopup = [this](TObject*) {
        Log.push_back(OpenMenu() == nullptr ? "popup" : "popup (open)");
        Save->SetEnabled(false);
    };
    const struct {
        const char* Name;
        std::function<void(QMenu*)> Answer;
        TLog Log;
    } table[] = {
        {"choice", [](QMenu* m) { ChooseMenuItem(m, "Copy chart"); }, {"Copy chart"}},
        {"Escape", [](QMenu* m) { QTest::keyClick(m, Qt::Key_Escape); }, {}},
        {"a disabled entry, then Escape",
         [](QMenu* m) {
             ChooseMenuItem(m, "Save chart as...");
             EXPECT_EQ(OpenMenu(), m);
             QTest::keyClick(m, Qt::Key_Escape);
         },
         {}},
    };
    for (const auto& row : table) {
        Log.clear();
        TLog shown;
        QPoint at;
        WhenMenuOpens([&](QMenu* m) {
            shown = Entries(m);
            at = m->pos();
            row.Answer(m);
        });
        RightClick(Panel, 120, 60);
        TLog want{"down", "up", "WM_CONTEXTMENU", "popup"};
        want.insert(want.end(), row.Log.begin(), row.Log.end());
        EXPECT_EQ(Log, want) << row.Name;
        EXPECT_EQ(shown, (TLog{"Copy chart [Ctrl+C]", "-", "Save chart as... off", "Keep ratio on"}))
            << row.Name;
        EXPECT_EQ(at, Screen(Panel, QPoint(120, 60))) << row.Name;
        EXPECT_EQ(Menu->GetPopupComponent(), Panel);
    }
    // Hidden entries do not show, nor does a separator without entries on both sides; with
    // nothing to show, no menu opens.
    Copy->SetVisible(false);
    TLog shown;
    WhenMenuOpens([&](QMenu* m) {
        shown = Entries(m);
        m->close();
    });
    RightClick(Panel, 120, 60);
    EXPECT_EQ(shown, (TLog{"Save chart as... off", "Keep ratio on"}));
    for (int i = 0; i < Menu->Items->Count(); ++i)
        Menu->Items->Items(i)->SetVisible(false);
    EXPECT_EQ(MenusOpenedBy([this] { RightClick(Panel, 120, 60); }), 0);
}

TEST_F(MenusOnScreen, WhoseMenuOpens)
{
    Form->SetPopupMenu(LabelMenu);
    const struct {
        const char* Name;
        TControl* Control;
        const char* First;  // the menu's first entry
        TComponent* For;    // its PopupComponent
        TLog PanelLog;      // what the panel itself was given
    } table[] = {
        {"a graphic control with a menu", Label, "Label item", Label, {"WM_CONTEXTMENU"}},
        {"a button without one: its parent's", Inner, "Copy chart", Panel, {"WM_CONTEXTMENU"}},
        {"the panel", Panel, "Copy chart", Panel, {"down", "up", "WM_CONTEXTMENU"}},
        {"an edit: its own", Edit, "Undo", Label, {}},
    };
    for (const auto& row : table) {
        Log.clear();
        QString first;
        WhenMenuOpens([&](QMenu* m) {
            first = MenuCaption(m->actions().front());
            m->close();
        });
        RightClick(row.Control, 5, 5);
        EXPECT_EQ(first.toStdString(), row.First) << row.Name;
        const TPopupMenu* menu = row.Control == Label || row.Control == Edit ? LabelMenu : Menu;
        EXPECT_EQ(menu->GetPopupComponent(), row.For) << row.Name;
        EXPECT_EQ(Log, row.PanelLog) << row.Name;
    }
    // A menu that does not pop up by itself leaves the click to the parent (here the form's).
    ListMenu->SetAutoPopup(false);
    Form->SetPopupMenu(nullptr);
    EXPECT_EQ(MenusOpenedBy([this] { RightClick(List, 5, 5); }), 0);
}

TEST_F(MenusOnScreen, TheMenuKeysOpenTheFocusedControlsMenuAtItsCentreOrAtTheMouse)
{
    const struct {
        Qt::Key Key;
        Qt::KeyboardModifiers Modifiers;
        QPoint Mouse;  // in the list
        QPoint At;
    } table[] = {
        {Qt::Key_Menu, Qt::NoModifier, QPoint(-40, 5), QPoint(60, 48)},
        {Qt::Key_F10, Qt::ShiftModifier, QPoint(-40, 5), QPoint(60, 48)},
        {Qt::Key_Menu, Qt::NoModifier, QPoint(30, 20), QPoint(30, 20)},
    };
    List->SetFocus();
    for (const auto& row : table) {
        QPoint mouse = row.Mouse;
        QTest::mouseMove(WidgetAt(List, mouse), mouse);
        QPoint at;
        WhenMenuOpens([&](QMenu* m) {
            at = m->pos();
            EXPECT_EQ(MenuCaption(m->actions().front()), "List item");
            QTest::keyClick(m, Qt::Key_Escape);
        });
        QTest::keyClick(WidgetOf(List), row.Key, row.Modifiers);
        EXPECT_EQ(at, Screen(List, row.At)) << row.Key;
    }
    EXPECT_EQ(ListMenu->GetPopupComponent(), List);
}

TEST_F(MenusOnScreen, ShortCutsGoToTheFocusedControlsMenusThenToThePointersUnlessTextHasTheFocus)
{
    QApplication::clipboard()->setText("before");
    Edit->SetText("abc");
    const struct {
        const char* Name;
        TWinControl* Focus;
        TControl* Pointer;
        Qt::Key Key;
        TLog Log;
    } table[] = {
        {"a button, pointer over the panel", Button, Panel, Qt::Key_C, {"Copy chart"}},
        {"the list, pointer over the label", List, Label, Qt::Key_C, {"key 17", "Copy chart"}},
        {"the list, pointer elsewhere", List, Button, Qt::Key_C, {"key 17", "key 67"}},
        {"an edit copies its own selection", Edit, Panel, Qt::Key_C, {}},
        {"the list's own menu comes first", List, Panel, Qt::Key_D, {"key 17", "List item"}},
        {"a parent's menu comes next, for an edit too", Edit, Panel, Qt::Key_E, {"Label item"}},
    };
    Form->SetPopupMenu(LabelMenu);
    LabelMenu->Items->Items(0)->SetShortCut(ShortCut('E', Ctrl));
    for (const auto& row : table) {
        Log.clear();
        row.Focus->SetFocus();
        Edit->SelectAll();
        QPoint p(5, 5);
        QTest::mouseMove(WidgetAt(row.Pointer, p), p);
        QTest::keyClick(WidgetOf(row.Focus), row.Key, Qt::ControlModifier);
        EXPECT_EQ(Log, row.Log) << row.Name;
    }
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "abc");
    // A disabled or hidden item, or one in a disabled sub-menu, lets the key through.
    auto* sub = AddItem(ListMenu, "Sub", scNone);
    ListMenu->Items->Remove(ListItem);
    sub->Add(ListItem);
    List->SetFocus();
    for (auto off : {&TMenuItem::SetEnabled, &TMenuItem::SetVisible}) {
        for (TMenuItem* item : {ListItem, sub}) {
            Log.clear();
            (item->*off)(false);
            QTest::keyClick(WidgetOf(List), Qt::Key_D, Qt::ControlModifier);
            (item->*off)(true);
            EXPECT_EQ(Log, (TLog{"key 17", "key 68"}));
        }
    }
}

TEST_F(MenusOnScreen, HandlersThatRaiseOrDestroyTheMenuOrTheControl)
{
    // The chosen item, by the mouse or its shortcut, raises: the error display shows it.
    Copy->OnClick = [](TObject*) { throw EConvertError("cannot copy"); };
    WhenMenuOpens([](QMenu* m) { ChooseMenuItem(m, "Copy chart"); });
    RightClick(Panel, 120, 60);
    Button->SetFocus();
    QTest::keyClick(WidgetOf(Button), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Log, (TLog{"down", "up", "WM_CONTEXTMENU", "error cannot copy", "error cannot copy"}));

    // The chosen item destroys the control the menu was opened for.
    Copy->OnClick = [this](TObject*) {
        delete Panel;
        Panel = nullptr;
    };
    WhenMenuOpens([](QMenu* m) { ChooseMenuItem(m, "Copy chart"); });
    RightClick(Inner, 5, 5);
    EXPECT_EQ(Panel, nullptr);
    EXPECT_EQ(Menu->GetPopupComponent(), nullptr);

    // The menu goes before its control: later clicks and keys find none.
    delete ListMenu;
    EXPECT_EQ(List->GetPopupMenu(), nullptr);
    List->SetFocus();
    EXPECT_EQ(MenusOpenedBy([this] {
                  RightClick(List, 5, 5);
                  QTest::keyClick(WidgetOf(List), Qt::Key_D, Qt::ControlModifier);
              }),
              0);

    // OnPopup destroys its menu: nothing shows. The menu destroyed while it shows: the choice
    // runs nothing.
    Log.clear();
    TPopupMenu* menu = nullptr;
    AddItem(menu, "Gone", scNone);
    List->SetPopupMenu(menu);
    menu->OnPopup = [&menu](TObject*) { delete menu; };
    EXPECT_EQ(MenusOpenedBy([this] { RightClick(List, 5, 5); }), 0);
    menu = nullptr;
    AddItem(menu, "Gone", scNone);
    List->SetPopupMenu(menu);
    WhenMenuOpens([&](QMenu* m) {
        delete menu;
        ChooseMenuItem(m, "Gone");
    });
    RightClick(List, 5, 5);
    EXPECT_EQ(List->GetPopupMenu(), nullptr);
    EXPECT_EQ(Log, TLog{});
}

TEST_F(MenusOnScreen, TheWindowSystemsContextEventOnThePressOpensNothing)
{
    QWidget* w = WidgetOf(Panel);
    QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(5, 5), w->mapToGlobal(QPoint(5, 5)));
    QSpontaneKeyEvent::setSpontaneous(&e);
    // Sent as the window system sends it (QApplication::sendEvent would clear the flag).
    EXPECT_EQ(MenusOpenedBy([&] { QApplication::instance()->notify(w, &e); }), 0);
    EXPECT_EQ(Log, TLog{});
}

}  // namespace
