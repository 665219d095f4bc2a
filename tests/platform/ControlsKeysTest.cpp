// The event path: keys, focus and clipboard commands reach Dispatch as messages first.
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "platform/qt/QtAccess.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct TSeen {
    Cardinal Msg;
    WPARAM WParam;
    UnicodeString TextThen;
};

// An edit that records every message before handing it on, and can swallow one key.
class TRecordingEdit : public TEdit {
public:
    explicit TRecordingEdit(TComponent* AOwner) : TEdit(AOwner) {}
    void Dispatch(void* Message) override
    {
        auto& m = *static_cast<TMessage*>(Message);
        Seen.push_back({m.Msg, m.WParam, GetText()});
        if (m.Msg == WM_KEYDOWN && m.WParam == Swallow)
            return;
        if (m.Msg == WM_KEYDOWN && m.WParam == Raise)
            throw EConvertError("raised in Dispatch");
        TEdit::Dispatch(Message);
    }
    std::vector<TSeen> Keys(bool WithFocus = false) const
    {
        std::vector<TSeen> r;
        for (const auto& s : Seen)
            if ((s.Msg >= WM_KEYDOWN && s.Msg <= WM_SYSKEYUP) ||
                (WithFocus && (s.Msg == WM_SETFOCUS || s.Msg == WM_KILLFOCUS)))
                r.push_back(s);
        return r;
    }
    bool Got(Cardinal Msg) const
    {
        for (const auto& s : Seen)
            if (s.Msg == Msg)
                return true;
        return false;
    }
    std::vector<TSeen> Seen;
    WPARAM Swallow = 0;
    WPARAM Raise = 0;
};

class KeysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(nullptr);
        Form->SetClientWidth(300);
        Form->SetClientHeight(200);
        for (int i = 0; i < 3; ++i) {
            Edits[i] = new TRecordingEdit(Form);
            Edits[i]->SetParent(Form);
            Edits[i]->SetBounds(10, 10 + 30 * i, 121, 21);
        }
        Form->Show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(WidgetOf(Form)));
        Edits[0]->SetFocus();
        ASSERT_TRUE(Edits[0]->Focused());
        for (auto* e : Edits)
            e->Seen.clear();
        Application->OnException = [this](TObject*, Exception* E) { Errors.push_back(E->Message()); };
    }
    void TearDown() override
    {
        Application->OnException = nullptr;
        delete Form;
    }
    TForm* Form = nullptr;
    TRecordingEdit* Edits[3] = {};
    std::vector<UnicodeString> Errors;
};

TEST_F(KeysTest, KeysReachDispatchBeforeTheTextChanges)
{
    QTest::keyClick(WidgetOf(Edits[0]), Qt::Key_A);
    const auto keys = Edits[0]->Keys();
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].Msg, WM_KEYDOWN);
    EXPECT_EQ(keys[0].WParam, WPARAM('A'));
    EXPECT_EQ(keys[0].TextThen, "");
    EXPECT_EQ(keys[1].Msg, WM_CHAR);
    EXPECT_EQ(keys[1].WParam, WPARAM('a'));
    EXPECT_EQ(keys[1].TextThen, "");
    EXPECT_EQ(keys[2].Msg, WM_KEYUP);
    EXPECT_EQ(keys[2].WParam, WPARAM('A'));
    EXPECT_EQ(keys[2].TextThen, "a");
    EXPECT_EQ(Edits[0]->GetText(), "a");
}

TEST_F(KeysTest, ShiftAndCtrlArriveAsTheirOwnKeys)
{
    QTest::keyClick(WidgetOf(Edits[0]), Qt::Key_B, Qt::ShiftModifier);
    auto keys = Edits[0]->Keys();
    std::vector<std::pair<Cardinal, WPARAM>> got;
    for (const auto& k : keys)
        if (k.Msg != WM_CHAR)
            got.emplace_back(k.Msg, k.WParam);
    const std::vector<std::pair<Cardinal, WPARAM>> want = {
        {WM_KEYDOWN, VK_SHIFT}, {WM_KEYDOWN, 'B'}, {WM_KEYUP, 'B'}, {WM_KEYUP, VK_SHIFT}};
    EXPECT_EQ(got, want);

    Edits[0]->Seen.clear();
    QTest::keyClick(WidgetOf(Edits[0]), Qt::Key_Z, Qt::ControlModifier);
    got.clear();
    for (const auto& k : Edits[0]->Keys())
        if (k.Msg != WM_CHAR)
            got.emplace_back(k.Msg, k.WParam);
    const std::vector<std::pair<Cardinal, WPARAM>> wantCtrl = {
        {WM_KEYDOWN, VK_CONTROL}, {WM_KEYDOWN, 'Z'}, {WM_KEYUP, 'Z'}, {WM_KEYUP, VK_CONTROL}};
    EXPECT_EQ(got, wantCtrl);
}

TEST_F(KeysTest, AltKeysArriveAsSystemKeys)
{
    QTest::keyClick(WidgetOf(Edits[0]), Qt::Key_Q, Qt::AltModifier);
    bool sysDown = false;
    for (const auto& k : Edits[0]->Keys())
        if (k.Msg == WM_SYSKEYDOWN && k.WParam == 'Q')
            sysDown = true;
    EXPECT_TRUE(sysDown);
    EXPECT_FALSE(Edits[0]->Got(WM_KEYDOWN) && Edits[0]->Keys()[0].WParam == 'Q');
}

TEST_F(KeysTest, KeyCodesOfTheKeyClasses)
{
    const std::vector<std::pair<Qt::Key, Word>> table = {
        {Qt::Key_Return, VK_RETURN}, {Qt::Key_Escape, VK_ESCAPE}, {Qt::Key_Backspace, VK_BACK},
        {Qt::Key_Delete, VK_DELETE}, {Qt::Key_Home, VK_HOME}, {Qt::Key_End, VK_END},
        {Qt::Key_Left, VK_LEFT}, {Qt::Key_Down, VK_DOWN}, {Qt::Key_PageUp, VK_PRIOR},
        {Qt::Key_Insert, VK_INSERT}, {Qt::Key_F1, VK_F1}, {Qt::Key_F12, VK_F12},
        {Qt::Key_5, '5'}, {Qt::Key_Space, VK_SPACE}, {Qt::Key_Minus, VK_OEM_MINUS},
        {Qt::Key_Period, VK_OEM_PERIOD}, {Qt::Key_Comma, VK_OEM_COMMA},
        {Qt::Key_CapsLock, VK_CAPITAL}, {Qt::Key_NumLock, VK_NUMLOCK},
        {Qt::Key_VolumeUp, VK_VOLUME_UP}, {Qt::Key_MediaPlay, VK_MEDIA_PLAY_PAUSE},
        {Qt::Key_Menu, VK_APPS}};
    for (const auto& [key, vk] : table) {
        Edits[0]->Seen.clear();
        QTest::keyPress(WidgetOf(Edits[0]), key);
        QTest::keyRelease(WidgetOf(Edits[0]), key);
        const auto keys = Edits[0]->Keys();
        ASSERT_FALSE(keys.empty()) << key;
        EXPECT_EQ(keys.front().WParam, vk) << "Qt key " << key;
    }
    Edits[0]->Seen.clear();
    QTest::keyClick(WidgetOf(Edits[0]), Qt::Key_7, Qt::KeypadModifier);
    EXPECT_EQ(Edits[0]->Keys().front().WParam, VK_NUMPAD7);
    Edits[0]->Seen.clear();
    QTest::keyClick(WidgetOf(Edits[0]), Qt::Key_Exclam, Qt::ShiftModifier);
    EXPECT_EQ(Edits[0]->Keys()[1].WParam, WPARAM('1'));
}

TEST_F(KeysTest, ASwallowedKeyDoesNotReachTheEdit)
{
    Edits[0]->Swallow = 'X';
    QTest::keyClicks(WidgetOf(Edits[0]), "axb");
    EXPECT_EQ(Edits[0]->GetText(), "ab");
}

TEST_F(KeysTest, TabMovesTheFocusInTabOrderAndTheFieldLosingItIsTold)
{
    Edits[2]->SetTabOrder(0);  // order now: 2, 0, 1
    Edits[2]->Seen.clear();
    QTest::keyClick(WidgetOf(Edits[0]), Qt::Key_Tab);
    EXPECT_TRUE(Edits[1]->Focused());
    EXPECT_TRUE(Edits[0]->Got(WM_KILLFOCUS));
    EXPECT_TRUE(Edits[1]->Got(WM_SETFOCUS));
    QTest::keyClick(WidgetOf(Edits[1]), Qt::Key_Tab);
    EXPECT_TRUE(Edits[2]->Focused());
    QTest::keyClick(WidgetOf(Edits[2]), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(Edits[1]->Focused());
    // A control without a tab stop is passed over.
    Edits[2]->SetTabStop(false);
    QTest::keyClick(WidgetOf(Edits[1]), Qt::Key_Tab);
    EXPECT_TRUE(Edits[0]->Focused());
    // So is a hidden or disabled one.
    Edits[1]->SetEnabled(false);
    QTest::keyClick(WidgetOf(Edits[0]), Qt::Key_Tab);
    EXPECT_TRUE(Edits[0]->Focused());
}

TEST_F(KeysTest, ContextMenuCommandsArriveAsMessagesAndDoTheirEdit)
{
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    QWidget* w = WidgetOf(Edits[0]);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), w->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(w, &event);
    EXPECT_TRUE(Edits[0]->Got(WM_CONTEXTMENU));
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QAction* paste = nullptr;
    for (QAction* a : menu->actions())
        if (a->objectName() == QLatin1String("edit-paste") || a->text().remove('&').startsWith("Paste"))
            paste = a;
    ASSERT_NE(paste, nullptr);
    paste->trigger();
    menu->close();
    EXPECT_TRUE(Edits[0]->Got(WM_PASTE));
    EXPECT_EQ(Edits[0]->GetText(), "pasted");
    // The popup took the focus only for a while: the field was not told it lost it.
    EXPECT_FALSE(Edits[0]->Got(WM_KILLFOCUS));

    // By program, the same commands pass through Dispatch.
    Edits[0]->Seen.clear();
    Edits[0]->SelectAll();
    Edits[0]->CutToClipboard();
    EXPECT_TRUE(Edits[0]->Got(WM_CUT));
    EXPECT_EQ(Edits[0]->GetText(), "");
    Edits[0]->PasteFromClipboard();
    Edits[0]->PasteFromClipboard();
    EXPECT_EQ(Edits[0]->GetText(), "pastedpasted");
    Edits[0]->SetReadOnly(true);
    Edits[0]->PasteFromClipboard();
    EXPECT_EQ(Edits[0]->GetText(), "pastedpasted");
}

TEST_F(KeysTest, AnExceptionInAHandlerGoesToTheErrorDisplayAndTheNextEventIsHandled)
{
    int changes = 0;
    Edits[0]->OnChange = [&](TObject*) {
        if (++changes == 1)
            throw EConvertError("'x' is not a valid floating point value");
    };
    QTest::keyClick(WidgetOf(Edits[0]), Qt::Key_X);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], "'x' is not a valid floating point value");
    QTest::keyClick(WidgetOf(Edits[0]), Qt::Key_Y);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(Edits[0]->GetText(), "xy");
    EXPECT_EQ(Errors.size(), 1u);

    // Raised in Dispatch: the key is not handed on to the edit.
    Edits[0]->Raise = 'Q';
    QTest::keyClick(WidgetOf(Edits[0]), Qt::Key_Q);
    EXPECT_EQ(Errors.size(), 2u);
    EXPECT_EQ(Edits[0]->GetText(), "xy");
    QTest::keyClick(WidgetOf(Edits[0]), Qt::Key_Z);
    EXPECT_EQ(Edits[0]->GetText(), "xyz");
}

TEST_F(KeysTest, AControlDestroyedByItsOwnHandlerDoesNotBreakTheEventPath)
{
    TRecordingEdit* victim = Edits[0];
    // The handler touches nothing of its own after the delete: its closure goes with the edit.
    victim->OnKeyDown = [&](TObject*, Word&, TShiftState) {
        Edits[0] = nullptr;
        delete victim;
    };
    QPointer<QWidget> widget = WidgetOf(victim);
    QTest::keyClick(widget.data(), Qt::Key_A);
    EXPECT_EQ(Form->ControlCount(), 2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Destroyed by its change event, raised from inside the edit's own key handling.
    TRecordingEdit* second = Edits[1];
    second->SetFocus();
    second->OnChange = [&](TObject*) {
        Edits[1] = nullptr;
        delete second;
    };
    QTest::keyClick(WidgetOf(second), Qt::Key_B);
    EXPECT_EQ(Form->ControlCount(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Edits[2]->SetFocus();
    QTest::keyClick(WidgetOf(Edits[2]), Qt::Key_C);
    EXPECT_EQ(Edits[2]->GetText(), "c");
}

}  // namespace

namespace {

TEST_F(KeysTest, AFormWithKeyPreviewSeesKeysFirst)
{
    std::vector<Word> seen;
    Form->OnKeyDown = [&](TObject* Sender, Word& Key, TShiftState) {
        EXPECT_EQ(Sender, Form);
        seen.push_back(Key);
        if (Key == 'K')
            Key = 0;
    };
    QTest::keyClick(WidgetOf(Edits[0]), Qt::Key_J);
    EXPECT_TRUE(seen.empty());
    Form->SetKeyPreview(true);
    QTest::keyClicks(WidgetOf(Edits[0]), "jkl");
    EXPECT_EQ(seen, (std::vector<Word>{'J', 'K', 'L'}));
    EXPECT_EQ(Edits[0]->GetText(), "jjl");
    for (const auto& k : Edits[0]->Keys())
        EXPECT_FALSE(k.Msg == WM_KEYDOWN && k.WParam == 'K');
}

TEST_F(KeysTest, ActivationReachesTheForm)
{
    int deactivated = 0, activated = 0;
    Form->OnDeactivate = [&](TObject*) { ++deactivated; };
    Form->OnActivate = [&](TObject*) { ++activated; };
    TForm other(nullptr);
    other.SetClientWidth(100);
    other.SetClientHeight(100);
    other.Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(WidgetOf(&other)));
    EXPECT_EQ(deactivated, 1);
    EXPECT_FALSE(Form->Active());
    Form->Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(WidgetOf(Form)));
    EXPECT_EQ(activated, 1);
    EXPECT_TRUE(Form->Active());
    // The field that had the focus gets it back with its window.
    EXPECT_TRUE(Edits[0]->Focused());
    EXPECT_EQ(Form->GetActiveControl(), Edits[0]);
}

}  // namespace

namespace {

TEST_F(KeysTest, ClipboardKeysBecomeTheEditsCommands)
{
    QApplication::clipboard()->setText(QStringLiteral("7.5"));
    QTest::keyClick(WidgetOf(Edits[0]), Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(Edits[0]->Got(WM_PASTE));
    EXPECT_EQ(Edits[0]->GetText(), "7.5");
    Edits[0]->Seen.clear();
    QTest::keyClick(WidgetOf(Edits[0]), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_TRUE(Edits[0]->Got(WM_PASTE));
    EXPECT_EQ(Edits[0]->GetText(), "7.57.5");
    Edits[0]->SelectAll();
    QTest::keyClick(WidgetOf(Edits[0]), Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(Edits[0]->Got(WM_CUT));
    EXPECT_EQ(Edits[0]->GetText(), "");
    QTest::keyClick(WidgetOf(Edits[0]), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(Edits[0]->Got(WM_UNDO));
    EXPECT_EQ(Edits[0]->GetText(), "7.57.5");
}

TEST_F(KeysTest, AShownFormFocusesTheFirstControlInTabOrder)
{
    TForm other(nullptr);
    other.SetClientWidth(200);
    other.SetClientHeight(100);
    auto* a = new TEdit(&other);
    a->SetParent(&other);
    auto* b = new TEdit(&other);
    b->SetParent(&other);
    b->SetTabOrder(0);
    other.Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(WidgetOf(&other)));
    EXPECT_TRUE(b->Focused());
    EXPECT_EQ(other.GetActiveControl(), b);
}

TEST_F(KeysTest, AWindowResizedFromOutsideIsLaidOutAnew)
{
    auto* panel = new TEdit(Form);
    panel->SetParent(Form);
    panel->SetBounds(0, 0, 300, 21);
    panel->SetAnchors(TAnchors{akLeft, akTop, akRight});
    WidgetOf(Form)->resize(500, 260);
    QApplication::processEvents();
    EXPECT_EQ(Form->GetClientWidth(), 500);
    EXPECT_EQ(Form->GetClientHeight(), 260);
    EXPECT_EQ(panel->GetWidth(), 500);
}

}  // namespace

namespace {

TEST_F(KeysTest, KeyEventsMaySwallowTheirKey)
{
    std::vector<std::string> seen;
    Edits[0]->OnKeyDown = [&](TObject*, Word& Key, TShiftState Shift) {
        seen.push_back("down " + std::to_string(Key) + (Shift.Contains(ssShift) ? " shift" : ""));
        if (Key == VK_DOWN)
            Key = 0;
    };
    Edits[0]->OnKeyPress = [&](TObject*, Char& Key) {
        seen.push_back("press " + std::string(1, char(Key)));
        if (Key == '#')
            Key = 0;
    };
    Edits[0]->OnKeyUp = [&](TObject*, Word& Key, TShiftState) { seen.push_back("up " + std::to_string(Key)); };
    QTest::keyClicks(WidgetOf(Edits[0]), "1#2");
    EXPECT_EQ(Edits[0]->GetText(), "12");
    QTest::keyClick(WidgetOf(Edits[0]), Qt::Key_Down);
    const std::vector<std::string> want = {"down 49", "press 1", "up 49", "down 51", "press #",
                                           "up 51", "down 50", "press 2", "up 50", "down 40",
                                           "up 40"};
    EXPECT_EQ(seen, want);
}

}  // namespace

namespace {

TEST_F(KeysTest, KeysClaimedByTheWindowNeverReachTheField)
{
    auto keyDowns = [](const TRecordingEdit* E, WPARAM Key) {
        int n = 0;
        for (const auto& k : E->Keys())
            n += k.Msg == WM_KEYDOWN && k.WParam == Key;
        return n;
    };
    // Without default or cancel buttons, Enter and Escape are the field's.
    QTest::keyClick(WidgetOf(Edits[0]), Qt::Key_Return);
    QTest::keyClick(WidgetOf(Edits[0]), Qt::Key_Escape);
    EXPECT_EQ(keyDowns(Edits[0], VK_RETURN), 1);
    EXPECT_EQ(keyDowns(Edits[0], VK_ESCAPE), 1);
    auto* close = new TButton(Form);
    close->SetParent(Form);
    close->SetBounds(150, 10, 84, 41);
    close->SetDefault(true);
    close->SetCancel(true);
    int clicks = 0;
    close->OnClick = [&](TObject*) { ++clicks; };
    QTest::keyClick(WidgetOf(Edits[0]), Qt::Key_Return);
    QTest::keyClick(WidgetOf(Edits[0]), Qt::Key_Escape);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(keyDowns(Edits[0], VK_RETURN), 1);
    EXPECT_EQ(keyDowns(Edits[0], VK_ESCAPE), 1);
    // Tab belongs to the window: the field sees neither its key-down nor a character.
    QTest::keyClick(WidgetOf(Edits[0]), Qt::Key_Tab);
    EXPECT_EQ(keyDowns(Edits[0], VK_TAB), 0);
    for (const auto& k : Edits[0]->Keys())
        EXPECT_FALSE(k.Msg == WM_CHAR && k.WParam == '\t');
    EXPECT_TRUE(Edits[0]->Got(WM_KILLFOCUS));
}

}  // namespace
