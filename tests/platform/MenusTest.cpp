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

#include <algorithm>
#include <string>
#include <vector>

namespace {

TEST(ShortCuts, TextsAndKeysAsTheMenusShowThem)
{
    const TShiftState none, shift{ssShift}, ctrl{ssCtrl}, alt{ssAlt};
    const struct {
        Word Key;
        TShiftState Shift;
        const char* Text;
    } table[] = {
        {'C', ctrl, "Ctrl+C"},           {VK_DELETE, shift, "Shift+Del"},
        {VK_F5, none, "F5"},             {'S', TShiftState{ssShift, ssCtrl}, "Shift+Ctrl+S"},
        {VK_F4, alt, "Alt+F4"},          {'7', TShiftState{ssCtrl, ssAlt}, "Ctrl+Alt+7"},
        {VK_INSERT, ctrl, "Ctrl+Ins"},   {VK_RETURN, none, "Enter"},
        {VK_ESCAPE, none, "Esc"},        {VK_BACK, alt, "Alt+BkSp"},
        {VK_PRIOR, none, "PgUp"},        {VK_DOWN, ctrl, "Ctrl+Down"},
        {VK_SPACE, none, "Space"},       {VK_NUMPAD5, ctrl, "Ctrl+5"},
        {VK_F24, none, "F24"},           {VK_OEM_PLUS, ctrl, "Ctrl+="},
        {VK_SUBTRACT, ctrl, "Ctrl+Num -"}, {VK_LWIN, ctrl, ""},
    };
    for (const auto& row : table) {
        const TShortCut s = ShortCut(row.Key, row.Shift);
        EXPECT_EQ(ShortCutToText(s), row.Text) << row.Text;
        Word key = 0;
        TShiftState shift;
        ShortCutToKey(s, key, shift);
        EXPECT_EQ(key, row.Key) << row.Text;
        EXPECT_TRUE(shift == row.Shift) << row.Text;
    }
    EXPECT_EQ(ShortCut('C', ctrl), 0x4043);
    EXPECT_EQ(ShortCut(VK_F10, TShiftState{ssShift, ssAlt}), scShift | scAlt | VK_F10);
    EXPECT_EQ(ShortCut(0x100, ctrl), scNone);
    EXPECT_EQ(ShortCutToText(scNone), "");
}

// An item that says when it is destroyed.
class TCountedItem : public TMenuItem {
public:
    TCountedItem(TComponent* AOwner, int& Destroyed) : TMenuItem(AOwner), FDestroyed(Destroyed) {}
    ~TCountedItem() override { ++FDestroyed; }

private:
    int& FDestroyed;
};

TEST(MenuItems, TheTreeOwnsItsItems)
{
    int destroyed = 0;
    TPopupMenu menu(nullptr);
    auto* a = new TCountedItem(nullptr, destroyed);
    auto* b = new TCountedItem(nullptr, destroyed);
    auto* c = new TCountedItem(nullptr, destroyed);
    menu.Items->Add(a);
    menu.Items->Add(c);
    menu.Items->Insert(1, b);
    ASSERT_EQ(menu.Items->Count(), 3);
    EXPECT_EQ(menu.Items->Items(1), b);
    EXPECT_EQ(menu.Items->IndexOf(c), 2);
    EXPECT_EQ(b->GetParent(), menu.Items);

    // Taken out, an item is the caller's again; it can go elsewhere.
    menu.Items->Delete(1);
    EXPECT_EQ(b->GetParent(), nullptr);
    EXPECT_EQ(menu.Items->Count(), 2);
    a->Add(b);
    EXPECT_EQ(b->GetParent(), a);

    // Destroyed, an item leaves its parent; its sub-items go with it.
    delete c;
    EXPECT_EQ(menu.Items->Count(), 1);
    EXPECT_EQ(destroyed, 1);
    delete a;
    EXPECT_EQ(destroyed, 3);
    EXPECT_EQ(menu.Items->Count(), 0);

    for (int i = 0; i < 3; ++i)
        menu.Items->Add(new TCountedItem(nullptr, destroyed));
    menu.Items->Clear();
    EXPECT_EQ(destroyed, 6);
    EXPECT_EQ(menu.Items->Count(), 0);
}

TEST(MenuItems, MisplacedItemsAreRefused)
{
    TPopupMenu menu(nullptr), other(nullptr);
    auto* parent = new TMenuItem(&menu);
    auto* child = new TMenuItem(&menu);
    menu.Items->Add(parent);
    parent->Add(child);
    TMenuItem loose(nullptr);
    const struct {
        const char* Name;
        std::function<void()> Call;
        const char* Message;
    } table[] = {
        {"index past the end", [&] { menu.Items->Items(1); }, "Menu index out of range"},
        {"negative index", [&] { menu.Items->Delete(-1); }, "Menu index out of range"},
        {"insert past the end", [&] { menu.Items->Insert(2, &loose); }, "Menu index out of range"},
        {"an item already in a menu", [&] { other.Items->Add(child); }, "Menu inserted twice"},
        {"another menu's root", [&] { menu.Items->Add(other.Items); }, "Menu inserted twice"},
        {"an item into itself", [&] { loose.Add(&loose); }, "A menu item cannot contain itself"},
        {"a parent into its child", [&] { child->Add(menu.Items); }, "Menu inserted twice"},
    };
    for (const auto& row : table) {
        try {
            row.Call();
            ADD_FAILURE() << row.Name << ": no error";
        } catch (const EMenuError& e) {
            EXPECT_EQ(e.Message(), row.Message) << row.Name;
        }
    }
    // A loose tree cannot be folded into a ring either.
    TMenuItem top(nullptr);
    auto* below = new TMenuItem(nullptr);
    top.Add(below);
    EXPECT_THROW(below->Add(&top), EMenuError);
    EXPECT_EQ(menu.Items->Count(), 1);
    EXPECT_EQ(other.Items->Count(), 0);
    EXPECT_EQ(top.GetParent(), nullptr);
}

TEST(MenuItems, AFormThatOwnsTheMenuAndItsItemsDestroysThemOnceInEitherOrder)
{
    for (const bool menuFirst : {true, false}) {
        int destroyed = 0;
        auto* owner = new TComponent(nullptr);
        TPopupMenu* menu = menuFirst ? new TPopupMenu(owner) : nullptr;
        auto* sub = new TCountedItem(owner, destroyed);
        auto* leaf = new TCountedItem(owner, destroyed);
        if (menu == nullptr)
            menu = new TPopupMenu(owner);
        menu->Items->Add(sub);
        sub->Add(leaf);
        delete owner;
        EXPECT_EQ(destroyed, 2) << menuFirst;
    }
}

TEST(MenuItems, ShortCutsClickTheFirstEnabledVisibleItem)
{
    TPopupMenu menu(nullptr);
    std::vector<std::string> clicked;
    auto add = [&](TMenuItem* Parent, const char* Name, TShortCut S) {
        auto* item = new TMenuItem(&menu);
        item->SetCaption(Name);
        item->SetShortCut(S);
        item->OnClick = [&clicked, Name](TObject*) { clicked.push_back(Name); };
        Parent->Add(item);
        return item;
    };
    const TShortCut ctrlC = ShortCut('C', TShiftState{ssCtrl});
    add(menu.Items, "disabled", ctrlC)->SetEnabled(false);
    add(menu.Items, "hidden", ctrlC)->SetVisible(false);
    TMenuItem* sub = add(menu.Items, "sub", scNone);
    add(sub, "in sub", ctrlC);
    add(menu.Items, "after", ctrlC);
    add(menu.Items, "F5", ShortCut(VK_F5, TShiftState()));

    EXPECT_TRUE(menu.IsShortCut('C', TShiftState{ssCtrl}));
    EXPECT_FALSE(menu.IsShortCut('C', TShiftState{ssCtrl, ssShift}));
    EXPECT_FALSE(menu.IsShortCut('C', TShiftState()));
    sub->SetEnabled(false);
    EXPECT_TRUE(menu.IsShortCut('C', TShiftState{ssCtrl}));
    EXPECT_TRUE(menu.IsShortCut(VK_F5, TShiftState()));
    EXPECT_EQ(clicked, (std::vector<std::string>{"in sub", "after", "F5"}));
}

// ---------------------------------------------------------------------------------------------
// On screen

// A panel that logs its right-button events and every WM_CONTEXTMENU it gets.
class TLoggingPanel : public TPanel {
public:
    TLoggingPanel(TComponent* AOwner, std::vector<std::string>& Log) : TPanel(AOwner), FLog(Log) {}
    void Dispatch(void* Message) override
    {
        if (static_cast<TMessage*>(Message)->Msg == WM_CONTEXTMENU)
            FLog.push_back("WM_CONTEXTMENU");
        TPanel::Dispatch(Message);
    }

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override
    {
        if (Button == mbRight)
            FLog.push_back("down");
        TPanel::MouseDown(Button, Shift, X, Y);
    }
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override
    {
        if (Button == mbRight)
            FLog.push_back("up");
        TPanel::MouseUp(Button, Shift, X, Y);
    }

private:
    std::vector<std::string>& FLog;
};

class MenusOnScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application->OnException = [this](TObject*, Exception* E) { Errors.push_back(E->Message()); };
        Form = new TForm(nullptr);
        Form->SetClientWidth(420);
        Form->SetClientHeight(260);
        Panel = new TLoggingPanel(Form, Log);
        Panel->SetParent(Form);
        Panel->SetBounds(200, 20, 200, 160);
        Label = Make<TLabel>(Panel, TRect(10, 10, 70, 30));
        Label->SetCaption("Label");
        Inner = Make<TButton>(Panel, TRect(10, 100, 85, 125));
        Button = Make<TButton>(Form, TRect(10, 10, 85, 35));
        Edit = Make<TEdit>(Form, TRect(10, 50, 131, 71));
        List = Make<TListBox>(Form, TRect(10, 90, 131, 187));
        List->Items->Add("one");
        List->OnKeyDown = [this](TObject*, Word& Key, TShiftState) { Log.push_back("key " + std::to_string(Key)); };

        Menu = new TPopupMenu(Form);
        Copy = AddItem(Menu, "&Copy chart", ShortCut('C', TShiftState{ssCtrl}));
        AddItem(Menu, "-", scNone);
        Save = AddItem(Menu, "&Save chart as...", scNone);
        Panel->SetPopupMenu(Menu);
        LabelMenu = new TPopupMenu(Form);
        AddItem(LabelMenu, "Label item", scNone);
        Label->SetPopupMenu(LabelMenu);
        ListMenu = new TPopupMenu(Form);
        ListItem = AddItem(ListMenu, "List item", ShortCut('D', TShiftState{ssCtrl}));
        List->SetPopupMenu(ListMenu);

        Form->Show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(WidgetOf(Form)));
    }

    void TearDown() override
    {
        delete Form;
        Application->OnException = nullptr;
        QApplication::processEvents();
    }

    template <class T>
    T* Make(TWinControl* Parent, const TRect& Bounds)
    {
        auto* c = new T(Form);
        c->SetParent(Parent);
        c->SetBoundsRect(Bounds);
        return c;
    }

    // An item whose click is logged by caption, with "(menu open)" if a menu still shows.
    TMenuItem* AddItem(TPopupMenu* M, const char* Caption, TShortCut S)
    {
        auto* item = new TMenuItem(Form);
        item->SetCaption(Caption);
        item->SetShortCut(S);
        item->OnClick = [this, item](TObject* Sender) {
            EXPECT_EQ(Sender, item);
            UnicodeString caption = item->GetCaption();
            caption.erase(std::remove(caption.begin(), caption.end(), '&'), caption.end());
            Log.push_back(caption + (OpenMenu() != nullptr ? " (menu open)" : ""));
        };
        M->Items->Add(item);
        return item;
    }

    // The menu's entries as shown: caption, shortcut text, "off" when disabled; "-" a separator.
    static std::vector<std::string> Entries(QMenu* M)
    {
        std::vector<std::string> r;
        for (const QAction* a : M->actions()) {
            if (a->isSeparator()) {
                r.push_back("-");
                continue;
            }
            std::string e = MenuCaption(a).toStdString();
            if (!MenuShortCutText(a).isEmpty())
                e += " [" + MenuShortCutText(a).toStdString() + "]";
            r.push_back(e + (a->isEnabled() ? "" : " off"));
        }
        return r;
    }

    // How many menus Action opens (each is closed at once).
    static int MenusOpenedBy(const std::function<void()>& Action)
    {
        TMenuCounter counter;
        Action();
        QTest::qWait(50);
        return counter.Count;
    }

    static QPoint Screen(const TControl* C, int X, int Y)
    {
        QPoint p(X, Y);
        QWidget* w = WidgetAt(C, p);
        return w->mapToGlobal(p);
    }

    void PointAt(const TControl* C, int X, int Y)
    {
        QPoint p(X, Y);
        QTest::mouseMove(WidgetAt(C, p), p);
    }

    TMenuWatchdog Watchdog;
    std::vector<std::string> Log;
    std::vector<UnicodeString> Errors;
    TForm* Form = nullptr;
    TLoggingPanel* Panel = nullptr;
    TLabel* Label = nullptr;
    TButton* Inner = nullptr;
    TButton* Button = nullptr;
    TEdit* Edit = nullptr;
    TListBox* List = nullptr;
    TPopupMenu* Menu = nullptr;
    TPopupMenu* LabelMenu = nullptr;
    TPopupMenu* ListMenu = nullptr;
    TMenuItem* Copy = nullptr;
    TMenuItem* Save = nullptr;
    TMenuItem* ListItem = nullptr;
};

TEST_F(MenusOnScreen, ARightClickOpensTheMenuAfterMouseUpAndTheChoiceRunsOnceItClosed)
{
    Menu->OnPopup = [this](TObject* Sender) {
        EXPECT_EQ(Sender, Menu);
        EXPECT_EQ(OpenMenu(), nullptr);
        Log.push_back("popup");
        Save->SetEnabled(false);
    };
    std::vector<std::string> shown;
    QPoint at;
    WhenMenuOpens([&](QMenu* m) {
        Log.push_back("shown");
        shown = Entries(m);
        at = m->pos();
        ChooseMenuItem(m, "Copy chart");
    });
    RightClick(Panel, 120, 60);
    EXPECT_EQ(Log, (std::vector<std::string>{"down", "up", "WM_CONTEXTMENU", "popup", "shown", "Copy chart"}));
    EXPECT_EQ(shown, (std::vector<std::string>{"Copy chart [Ctrl+C]", "-", "Save chart as... off"}));
    EXPECT_EQ(at, Screen(Panel, 120, 60));
    EXPECT_EQ(Menu->GetPopupComponent(), Panel);
    EXPECT_EQ(OpenMenu(), nullptr);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(MenusOnScreen, SubMenusAndCheckMarksShowAndAnItemOfASubMenuCanBeChosen)
{
    auto* exportItem = AddItem(Menu, "&Export curves", scNone);
    Menu->Items->Remove(exportItem);
    Menu->Items->Insert(1, exportItem);
    AddItem(Menu, "Keep ratio", scNone)->SetChecked(true);
    auto* csv = new TMenuItem(Form);
    csv->SetCaption("as &CSV...");
    csv->OnClick = [this](TObject*) { Log.push_back("CSV"); };
    exportItem->Add(csv);
    std::vector<std::string> shown, sub;
    bool checked = false;
    WhenMenuOpens([&](QMenu* m) {
        shown = Entries(m);
        checked = MenuEntry(m, "Keep ratio")->isChecked() && !MenuEntry(m, "Copy chart")->isChecked();
        QAction* entry = MenuEntry(m, "Export curves");
        ASSERT_NE(entry->menu(), nullptr);
        m->setActiveAction(entry);  // as the mouse resting on it does
        sub = Entries(entry->menu());
        ChooseMenuItem(entry->menu(), "as CSV...");
    });
    RightClick(Panel, 120, 60);
    EXPECT_EQ(shown, (std::vector<std::string>{"Copy chart [Ctrl+C]", "Export curves", "-", "Save chart as...",
                                               "Keep ratio"}));
    EXPECT_EQ(sub, (std::vector<std::string>{"as CSV..."}));
    EXPECT_TRUE(checked);
    EXPECT_EQ(Log, (std::vector<std::string>{"down", "up", "WM_CONTEXTMENU", "CSV"}));
}

TEST_F(MenusOnScreen, EscapeAndDisabledOrHiddenItemsRunNothing)
{
    const struct {
        const char* Name;
        std::function<void(QMenu*)> Answer;
    } table[] = {
        {"Escape", [](QMenu* m) { QTest::keyClick(m, Qt::Key_Escape); }},
        {"a disabled item, then Escape",
         [this](QMenu* m) {
             Copy->SetEnabled(false);  // changes nothing on a menu that shows already
             ChooseMenuItem(m, "Save chart as...");
             EXPECT_EQ(OpenMenu(), m);
             QTest::keyClick(m, Qt::Key_Escape);
         }},
    };
    Save->SetEnabled(false);
    for (const auto& row : table) {
        Log.clear();
        WhenMenuOpens(row.Answer);
        RightClick(Panel, 50, 50);
        EXPECT_EQ(Log, (std::vector<std::string>{"down", "up", "WM_CONTEXTMENU"})) << row.Name;
        EXPECT_EQ(OpenMenu(), nullptr) << row.Name;
    }
    // A hidden item is not shown; a menu with nothing visible does not open.
    Copy->SetVisible(false);
    std::vector<std::string> shown;
    WhenMenuOpens([&](QMenu* m) {
        shown = Entries(m);
        m->close();
    });
    RightClick(Panel, 50, 50);
    EXPECT_EQ(shown, (std::vector<std::string>{"Save chart as... off"}));
    Save->SetVisible(false);
    EXPECT_EQ(MenusOpenedBy([this] { RightClick(Panel, 50, 50); }), 0);
}

TEST_F(MenusOnScreen, AGraphicChildHasItsOwnMenuAndAControlWithoutOneUsesItsParents)
{
    const struct {
        const char* Name;
        TControl* Control;
        const char* Entry;
        TComponent* For;
        std::vector<std::string> PanelLog;  // what the panel itself was given
    } table[] = {
        {"label", Label, "Label item", Label, {"WM_CONTEXTMENU"}},
        {"button on the panel", Inner, "Copy chart", Panel, {"WM_CONTEXTMENU"}},
        {"the panel itself", Panel, "Copy chart", Panel, {"down", "up", "WM_CONTEXTMENU"}},
        {"list", List, "List item", List, {}},
    };
    for (const auto& row : table) {
        Log.clear();
        QString first;
        WhenMenuOpens([&](QMenu* m) {
            first = MenuCaption(m->actions().front());
            m->close();
        });
        RightClick(row.Control, 5, 5);
        EXPECT_EQ(first.toStdString(), row.Entry) << row.Name;
        const TPopupMenu* menu = row.Control == Label ? LabelMenu : row.Control == List ? ListMenu : Menu;
        EXPECT_EQ(menu->GetPopupComponent(), row.For) << row.Name;
        EXPECT_EQ(Log, row.PanelLog) << row.Name;
    }
    // A menu that does not pop up by itself leaves the click to the parent, as a control
    // without a menu does.
    ListMenu->SetAutoPopup(false);
    EXPECT_EQ(MenusOpenedBy([this] { RightClick(List, 5, 5); }), 0);
}

TEST_F(MenusOnScreen, AnEditKeepsItsOwnMenu)
{
    Form->SetPopupMenu(Menu);
    bool standard = false;
    WhenMenuOpens([&](QMenu* m) {
        for (const QAction* a : m->actions())
            standard = standard || MenuCaption(a).startsWith("Paste");
        m->close();
    });
    RightClick(Edit, 5, 5);
    QTest::qWait(50);
    EXPECT_TRUE(standard);
    EXPECT_EQ(Menu->GetPopupComponent(), nullptr);
}

TEST_F(MenusOnScreen, TheMenuKeysOpenTheFocusedControlsMenuAtItsCentreOrAtTheMouse)
{
    const struct {
        const char* Name;
        Qt::Key Key;
        Qt::KeyboardModifiers Modifiers;
        bool MouseOver;
    } table[] = {
        {"menu key", Qt::Key_Menu, Qt::NoModifier, false},
        {"Shift+F10", Qt::Key_F10, Qt::ShiftModifier, false},
        {"menu key, mouse over the list", Qt::Key_Menu, Qt::NoModifier, true},
    };
    List->SetFocus();
    for (const auto& row : table) {
        if (row.MouseOver)
            PointAt(List, 30, 20);
        else
            PointAt(Button, 5, 5);
        QPoint at;
        QString first;
        WhenMenuOpens([&](QMenu* m) {
            at = m->pos();
            first = MenuCaption(m->actions().front());
            QTest::keyClick(m, Qt::Key_Escape);
        });
        QTest::keyClick(WidgetOf(List), row.Key, row.Modifiers);
        EXPECT_EQ(first.toStdString(), "List item") << row.Name;
        EXPECT_EQ(at, row.MouseOver ? Screen(List, 30, 20) : Screen(List, 60, 48)) << row.Name;
        EXPECT_EQ(ListMenu->GetPopupComponent(), List) << row.Name;
    }
}

TEST_F(MenusOnScreen, CtrlCGoesToTheMenuUnderThePointerUnlessAnEditHasTheFocus)
{
    QApplication::clipboard()->setText("before");
    Edit->SetText("abc");
    const struct {
        const char* Name;
        TWinControl* Focus;
        bool OverPanel;
        std::vector<std::string> Log;
    } table[] = {
        {"button", Button, true, {"Copy chart"}},
        {"list", List, true, {"key 17", "Copy chart"}},
        {"list, pointer elsewhere", List, false, {"key 17", "key 67"}},
        {"edit", Edit, true, {}},
    };
    for (const auto& row : table) {
        Log.clear();
        row.Focus->SetFocus();
        Edit->SelectAll();
        PointAt(row.OverPanel ? static_cast<TControl*>(Panel) : Button, 20, 20);
        QTest::keyClick(WidgetOf(row.Focus), Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(Log, row.Log) << row.Name;
    }
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "abc");
}

TEST_F(MenusOnScreen, TheFocusedControlsMenuAndItsParentsComeFirst)
{
    List->SetFocus();
    PointAt(Panel, 20, 20);
    QTest::keyClick(WidgetOf(List), Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(Log, (std::vector<std::string>{"key 17", "List item"}));
    // A disabled item lets the key through to the control.
    Log.clear();
    ListItem->SetEnabled(false);
    QTest::keyClick(WidgetOf(List), Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(Log, (std::vector<std::string>{"key 17", "key 68"}));
    // The form's menu is a parent's menu, for an edit too.
    Form->SetPopupMenu(ListMenu);
    ListItem->SetEnabled(true);
    Edit->SetFocus();
    Log.clear();
    QTest::keyClick(WidgetOf(Edit), Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(Log, (std::vector<std::string>{"List item"}));
}

TEST_F(MenusOnScreen, ExceptionsOfTheChosenItemGoToTheErrorDisplay)
{
    Copy->OnClick = [](TObject*) { throw EConvertError("cannot copy"); };
    WhenMenuOpens([](QMenu* m) { ChooseMenuItem(m, "Copy chart"); });
    RightClick(Panel, 120, 60);
    Button->SetFocus();
    PointAt(Panel, 20, 20);
    QTest::keyClick(WidgetOf(Button), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Errors, (std::vector<UnicodeString>{"cannot copy", "cannot copy"}));
}

TEST_F(MenusOnScreen, MenusAndControlsDestroyedByTheirHandlersOrBeforehand)
{
    // The control the menu was opened for goes: the menu forgets it.
    WhenMenuOpens([](QMenu* m) { m->close(); });
    RightClick(Label, 5, 5);
    EXPECT_EQ(LabelMenu->GetPopupComponent(), Label);
    delete Label;
    EXPECT_EQ(LabelMenu->GetPopupComponent(), nullptr);

    // The chosen item destroys the control the menu was opened for (a button on the panel
    // that has no menu of its own).
    Copy->OnClick = [this](TObject*) {
        delete Panel;
        Panel = nullptr;
        Inner = nullptr;
    };
    WhenMenuOpens([](QMenu* m) { ChooseMenuItem(m, "Copy chart"); });
    RightClick(Inner, 5, 5);
    EXPECT_EQ(Panel, nullptr);
    EXPECT_EQ(Menu->GetPopupComponent(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // The list's menu goes before the list: a later right-click or shortcut finds none.
    delete ListMenu;
    ListMenu = nullptr;
    EXPECT_EQ(List->GetPopupMenu(), nullptr);
    EXPECT_EQ(MenusOpenedBy([this] {
                  RightClick(List, 5, 5);
                  List->SetFocus();
                  QTest::keyClick(WidgetOf(List), Qt::Key_D, Qt::ControlModifier);
              }),
              0);

    // A shortcut's item destroys the control that has the focus.
    ListItem = nullptr;
    auto* keyMenu = new TPopupMenu(Form);
    AddItem(keyMenu, "Close", ShortCut('W', TShiftState{ssCtrl}))->OnClick = [this](TObject*) {
        delete Button;
        Button = nullptr;
    };
    Button->SetPopupMenu(keyMenu);
    Button->SetFocus();
    QTest::keyClick(WidgetOf(Button), Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(Button, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // OnPopup destroys its menu: nothing shows. The menu destroyed while it shows: the choice
    // runs nothing.
    auto* menu = new TPopupMenu(Form);
    AddItem(menu, "Gone", scNone);
    List->SetPopupMenu(menu);
    menu->OnPopup = [&menu](TObject*) {
        delete menu;
        menu = nullptr;
    };
    EXPECT_EQ(MenusOpenedBy([this] { RightClick(List, 5, 5); }), 0);
    EXPECT_EQ(menu, nullptr);
    menu = new TPopupMenu(Form);
    AddItem(menu, "Gone", scNone);
    List->SetPopupMenu(menu);
    Log.clear();
    WhenMenuOpens([&](QMenu* m) {
        delete menu;
        ChooseMenuItem(m, "Gone");
    });
    RightClick(List, 5, 5);
    EXPECT_TRUE(Log.empty());
    EXPECT_EQ(List->GetPopupMenu(), nullptr);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(MenusOnScreen, TheWindowSystemsOwnContextEventsAreLeftToTheEventPath)
{
    // The window system sends its context event on the right-button press already; the menu
    // opens after the release instead.
    QWidget* w = WidgetOf(Panel);
    QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(5, 5), w->mapToGlobal(QPoint(5, 5)));
    QSpontaneKeyEvent::setSpontaneous(&e);
    EXPECT_EQ(MenusOpenedBy([&] { QApplication::instance()->notify(w, &e); }), 0);  // as the window system delivers it
    EXPECT_TRUE(Log.empty());
}

}  // namespace
