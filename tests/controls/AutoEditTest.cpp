// The accepting edit under a real keyboard: key, focus and context-menu events go
// through the platform's event path on the offscreen display.
#include "controls/AutoEdit.h"
#include "controls/NumEdit.h"
#include "tests/controls/ControlsTestKit.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class AutoEditKeys : public EditFormTest<TAutoEdit> {};

} // namespace

TEST_F(AutoEditKeys, SettledControlIgnoresEnterEscapeAndFocusLoss)
{
    A->SetText("abc");
    Log.clear();
    Focus(A);
    Key(A, Qt::Key_Return);
    Key(A, Qt::Key_Escape);
    Key(A, Qt::Key_Tab);
    EXPECT_TRUE(HasFocus(B));
    EXPECT_TRUE(Log.empty()) << Joined();
    EXPECT_EQ(Shown(A), "abc");
    EXPECT_FALSE(A->GetEdited());
    EXPECT_EQ(A->GetColor(), clWindow);
}

TEST_F(AutoEditKeys, TypingThenEnterAccepts)
{
    Focus(A);
    Type(A, "12");
    EXPECT_TRUE(A->GetEdited());
    EXPECT_EQ(A->GetColor(), clRed);
    EXPECT_TRUE(Log.empty()) << Joined();
    Key(A, Qt::Key_Return);
    EXPECT_EQ(Joined(), "accept A 12|accepted A 12");
    EXPECT_FALSE(A->GetEdited());
    EXPECT_EQ(A->GetColor(), clWindow);
    EXPECT_EQ(A->GetAcceptedText(), "12");
    // The whole text is selected and the edit's undo buffer is empty.
    EXPECT_EQ(LineEdit(A)->selectedText(), QString("12"));
    EXPECT_FALSE(LineEdit(A)->isUndoAvailable());
    // A second Enter in the settled state does nothing.
    Key(A, Qt::Key_Return);
    EXPECT_EQ(Joined(), "accept A 12|accepted A 12");
}

TEST_F(AutoEditKeys, TypingThenEscapeRestoresTheAcceptedText)
{
    A->SetText("7");
    Log.clear();
    Focus(A);
    Type(A, "89");
    Key(A, Qt::Key_Escape);
    EXPECT_EQ(Joined(), "cancel A 7");
    EXPECT_EQ(Shown(A), "7");
    EXPECT_FALSE(A->GetEdited());
    EXPECT_EQ(A->GetColor(), clWindow);
}

TEST_F(AutoEditKeys, TabAwayAcceptsOrRevertsSilently)
{
    Focus(A);
    Type(A, "ok");
    Key(A, Qt::Key_Tab);
    EXPECT_TRUE(HasFocus(B));
    EXPECT_EQ(Joined(), "accept A ok|accepted A ok");

    Log.clear();
    RejectText = "bad";
    Focus(A);
    Key(A, Qt::Key_End);
    Type(A, "\b\bbad"); // "ok" -> "bad"
    EXPECT_EQ(Shown(A), "bad");
    Key(A, Qt::Key_Tab);
    EXPECT_TRUE(HasFocus(B));
    EXPECT_EQ(Joined(), "accept A bad|cancel A ok");
    EXPECT_EQ(Shown(A), "ok");
    EXPECT_FALSE(A->GetEdited());
}

TEST_F(AutoEditKeys, ShiftOrCtrlWithEnterOrEscapeDoesNothing)
{
    Focus(A);
    Type(A, "5");
    Key(A, Qt::Key_Return, Qt::ShiftModifier);
    Key(A, Qt::Key_Return, Qt::ControlModifier);
    Key(A, Qt::Key_Escape, Qt::ShiftModifier);
    EXPECT_TRUE(Log.empty()) << Joined();
    EXPECT_TRUE(A->GetEdited());
    EXPECT_EQ(Shown(A), "5");
    // Both modifiers released: Enter accepts again.
    Key(A, Qt::Key_Return);
    EXPECT_EQ(Joined(), "accept A 5|accepted A 5");
}

TEST_F(AutoEditKeys, ShiftReleasedInAnotherFieldDoesNotBlockEnter)
{
    Focus(B);
    Focus(A);
    // Shift goes down in A, Shift+Tab moves to B, Shift comes up in B.
    Key(A, Qt::Key_Backtab, Qt::ShiftModifier, KeyPhase::DownOnly);
    EXPECT_TRUE(HasFocus(B));
    ReleaseShift(B);
    Focus(A);
    Type(A, "3");
    Key(A, Qt::Key_Return);
    EXPECT_EQ(Joined(), "accept A 3|accepted A 3");
}

TEST_F(AutoEditKeys, NavigationAndFunctionKeysLeaveTheStateAlone)
{
    A->SetText("1234");
    Log.clear();
    Focus(A);
    for (Qt::Key k : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End, Qt::Key_Up, Qt::Key_Down,
                      Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Insert, Qt::Key_F1, Qt::Key_F5, Qt::Key_F12,
                      Qt::Key_CapsLock, Qt::Key_NumLock, Qt::Key_ScrollLock, Qt::Key_Pause, Qt::Key_Menu,
                      Qt::Key_VolumeUp, Qt::Key_MediaPlay}) {
        Key(A, k);
        EXPECT_FALSE(A->GetEdited()) << "key " << std::hex << k;
    }
    // Selecting with Shift+arrows and copying (Ctrl+Insert) do not edit.
    Key(A, Qt::Key_Left, Qt::ShiftModifier);
    Key(A, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_FALSE(A->GetEdited());
    EXPECT_EQ(A->GetColor(), clWindow);
    EXPECT_EQ(Shown(A), "1234");
}

TEST_F(AutoEditKeys, EditingKeysEnterTheModifiedState)
{
    struct Press {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
    };
    const Press presses[] = {
        {Qt::Key_A, Qt::NoModifier},         {Qt::Key_5, Qt::NoModifier},
        {Qt::Key_Space, Qt::NoModifier},     {Qt::Key_Backspace, Qt::NoModifier},
        {Qt::Key_Delete, Qt::NoModifier},    {Qt::Key_Period, Qt::NoModifier},
        {Qt::Key_C, Qt::ControlModifier},    {Qt::Key_Z, Qt::ControlModifier},
        {Qt::Key_V, Qt::ControlModifier},    {Qt::Key_X, Qt::ControlModifier},
        {Qt::Key_7, Qt::KeypadModifier},
    };
    for (const Press& p : presses) {
        A->SetText("x");
        A->SetText("1"); // settled with a fresh accepted text
        Focus(A);
        ASSERT_FALSE(A->GetEdited());
        Key(A, p.key, p.mods);
        EXPECT_TRUE(A->GetEdited()) << "key " << std::hex << p.key << " mods " << p.mods;
        EXPECT_EQ(A->GetColor(), clRed);
        Key(A, Qt::Key_Escape);
    }
}

TEST_F(AutoEditKeys, KeysWithAltHeldAreNotLookedAt)
{
    // In a read-only field a plain key marks the field modified, the same key with Alt does not.
    A->SetReadOnly(true);
    Focus(A);
    Key(A, Qt::Key_X, Qt::AltModifier);
    EXPECT_FALSE(A->GetEdited());
    Key(A, Qt::Key_X);
    EXPECT_TRUE(A->GetEdited());
    A->Cancel();
    Log.clear();

    A->SetReadOnly(false);
    Type(A, "9");
    Key(A, Qt::Key_Return, Qt::AltModifier);
    Key(A, Qt::Key_Escape, Qt::AltModifier);
    EXPECT_TRUE(A->GetEdited());
    EXPECT_TRUE(Log.empty()) << Joined();
}

TEST_F(AutoEditKeys, ClipboardPasteAndContextCommands)
{
    QApplication::clipboard()->setText("4.5");
    Focus(A);
    Key(A, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Shown(A), "4.5");
    EXPECT_TRUE(A->GetEdited());
    Key(A, Qt::Key_Escape);

    // The context menu's commands arrive as messages.
    for (unsigned msg : {unsigned(WM_CUT), unsigned(WM_PASTE), unsigned(WM_CLEAR)}) {
        ASSERT_FALSE(A->GetEdited());
        A->Perform(msg, 0, 0);
        EXPECT_TRUE(A->GetEdited()) << std::hex << msg;
        A->Cancel();
    }
    for (unsigned msg : {unsigned(WM_COPY), unsigned(WM_UNDO)}) {
        A->Perform(msg, 0, 0);
        EXPECT_FALSE(A->GetEdited()) << std::hex << msg;
    }
}

TEST_F(AutoEditKeys, ReadOnlyControlBecomesModifiedWithoutColourAndAcceptsOnLeaving)
{
    A->SetReadOnly(true);
    EXPECT_EQ(A->GetColor(), clBtnFace);
    Focus(A);
    Key(A, Qt::Key_4);
    EXPECT_TRUE(A->GetEdited());
    EXPECT_EQ(A->GetColor(), clBtnFace);
    EXPECT_EQ(Shown(A), "");
    Key(A, Qt::Key_Tab);
    EXPECT_EQ(Joined(), "accept A |accepted A ");
    EXPECT_EQ(A->GetColor(), clBtnFace);
}

TEST_F(AutoEditKeys, WritingTextAcceptsAtOnceUnlessItIsAlreadyShown)
{
    A->SetText("first");
    EXPECT_EQ(Joined(), "accept A first|accepted A first");
    Log.clear();
    A->SetText("first");
    EXPECT_TRUE(Log.empty()) << Joined();

    // Modified with exactly the text written: nothing at all, it stays modified.
    Focus(A);
    Key(A, Qt::Key_End);
    Type(A, "2");
    A->SetText("first2");
    EXPECT_TRUE(Log.empty()) << Joined();
    EXPECT_TRUE(A->GetEdited());
    EXPECT_EQ(A->GetColor(), clRed);
    Key(A, Qt::Key_Escape);

    // A rejected text brings the previous accepted text back.
    Log.clear();
    RejectText = "nope";
    A->SetText("nope");
    EXPECT_EQ(Joined(), "accept A nope|cancel A first");
    EXPECT_EQ(Shown(A), "first");
}

TEST_F(AutoEditKeys, ReadingTextForcesAcceptance)
{
    A->SetName("EdtProbe");
    A->SetText("good");
    Focus(A);
    Key(A, Qt::Key_End);
    Type(A, "X");
    Log.clear();
    EXPECT_EQ(A->GetText(), "goodX");
    EXPECT_EQ(Joined(), "accept A goodX|accepted A goodX");

    RejectText = "goodXY";
    Key(A, Qt::Key_End);
    Type(A, "Y");
    Log.clear();
    try {
        A->GetText();
        FAIL() << "no error";
    } catch (const EPropertyError& e) {
        EXPECT_EQ(e.Message(), "[TAutoEdit::GetText] : EdtProbe > Text \"goodXY\" is not accepted.");
    }
    EXPECT_EQ(Joined(), "accept A goodXY|cancel A goodX");
    // Settled now: a second read succeeds without events.
    Log.clear();
    EXPECT_EQ(A->GetText(), "goodX");
    EXPECT_TRUE(Log.empty()) << Joined();
}

TEST_F(AutoEditKeys, OnAcceptMayOverturnTheVerdictEitherWay)
{
    struct Strict : TAutoEdit {
        using TAutoEdit::TAutoEdit;
        bool _Accept(const UnicodeString& Text) override { return Text == "yes"; }
    };
    auto* s = new Strict(Form);
    s->SetParent(Form);
    bool overrule = false;
    std::vector<bool> seen;
    s->OnAccept = [&](TObject*, TCaption, bool& Accept) {
        seen.push_back(Accept);
        if (overrule)
            Accept = !Accept;
    };
    EXPECT_TRUE((s->SetText("yes"), s->GetAcceptedText() == "yes"));
    s->SetText("no");
    EXPECT_EQ(s->GetAcceptedText(), "yes");
    overrule = true;
    s->SetText("maybe");
    EXPECT_EQ(s->GetAcceptedText(), "maybe");
    EXPECT_EQ(seen, (std::vector<bool>{true, false, false}));
}

TEST_F(AutoEditKeys, ExceptionInOnAcceptLeavesTheTypedTextAndSkipsTheKey)
{
    Focus(A);
    Type(A, "5%");
    ThrowInAccept = true;
    Key(A, Qt::Key_Return);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], "'5%' is not a valid floating point value");
    EXPECT_TRUE(A->GetEdited());
    EXPECT_EQ(Shown(A), "5%");
    EXPECT_EQ(A->GetColor(), clRed);
    // The rule runs again at the next Enter.
    ThrowInAccept = false;
    Key(A, Qt::Key_Return);
    EXPECT_FALSE(A->GetEdited());
    EXPECT_EQ(A->GetAcceptedText(), "5%");

    // Called by program, the exception leaves Accept itself.
    Type(A, "x");
    ThrowInAccept = true;
    EXPECT_THROW(A->Accept(), EConvertError);
    EXPECT_TRUE(A->GetEdited());
}

TEST_F(AutoEditKeys, ExceptionInOnAcceptedKeepsTextAndAcceptedTextTogether)
{
    A->SetText("1");
    Focus(A);
    Type(A, "2");
    ThrowInAccepted = true;
    Key(A, Qt::Key_Return);
    ASSERT_EQ(Errors.size(), 1u);
    ThrowInAccepted = false;
    EXPECT_FALSE(A->GetEdited());
    EXPECT_EQ(A->GetAcceptedText(), Shown(A));
    // Escape after more typing brings back what was accepted, not the older text.
    Type(A, "3");
    Key(A, Qt::Key_Escape);
    EXPECT_EQ(Shown(A), A->GetAcceptedText());
    EXPECT_NE(Shown(A), "1");
}

TEST_F(AutoEditKeys, ReadOnlyAndTabStopFollowEachOtherUnderAutoTabStop)
{
    A->SetTabStop(true);
    A->SetAutoTabStop(true);
    EXPECT_TRUE(A->GetTabStop());
    A->SetReadOnly(true);
    EXPECT_FALSE(A->GetTabStop());
    EXPECT_EQ(A->GetColor(), clBtnFace);
    A->SetReadOnly(false);
    EXPECT_TRUE(A->GetTabStop());
    EXPECT_EQ(A->GetColor(), clWindow);
    // A manual tab stop contrary to the rule ends the automatic mode.
    A->SetTabStop(false);
    EXPECT_FALSE(A->GetAutoTabStop());
    A->SetReadOnly(true);
    A->SetReadOnly(false);
    EXPECT_FALSE(A->GetTabStop());
    // Switching it on applies the rule at once.
    A->SetAutoTabStop(true);
    EXPECT_TRUE(A->GetTabStop());
    // A tab stop that agrees with the rule keeps it.
    A->SetTabStop(true);
    EXPECT_TRUE(A->GetAutoTabStop());
}

TEST_F(AutoEditKeys, ColoursOfTheStates)
{
    A->SetDefaultColor(clYellow);
    EXPECT_EQ(A->GetColor(), clYellow);
    Focus(A);
    Type(A, "1");
    EXPECT_EQ(A->GetColor(), clRed);
    // A new modified colour shows at the next editing key only.
    A->ModifiedColor = clMoneyGreen;
    EXPECT_EQ(A->GetColor(), clRed);
    Type(A, "2");
    EXPECT_EQ(A->GetColor(), clMoneyGreen);
    // Recolouring does not change the state.
    A->SetReadOnlyColor(clAqua);
    EXPECT_EQ(A->GetColor(), clYellow);
    EXPECT_TRUE(A->GetEdited());
    A->SetReadOnly(true);
    EXPECT_EQ(A->GetColor(), clAqua);
    A->ResetState();
    EXPECT_EQ(A->GetColor(), clAqua);
    EXPECT_FALSE(A->GetEdited());
    // Color itself is a plain store.
    A->SetColor(clLime);
    EXPECT_EQ(A->GetColor(), clLime);
    EXPECT_FALSE(A->GetEdited());
}

TEST_F(AutoEditKeys, AssignCopiesStateAndColoursButNotTheShownText)
{
    A->SetText("from A");
    A->DefaultColor = clYellow;
    A->ReadOnlyColor = clAqua;
    A->ModifiedColor = clMoneyGreen;
    A->AutoTabStop = true;
    Focus(A);
    Type(A, "!");
    B->SetText("from B");
    B->SetReadOnly(true);
    B->SetColor(clLime);
    B->Assign(A);
    EXPECT_EQ(Shown(B), "from B");
    EXPECT_TRUE(B->GetReadOnly());
    EXPECT_EQ(B->GetColor(), clLime);
    EXPECT_TRUE(B->GetEdited());
    EXPECT_TRUE(B->AutoTabStop);
    EXPECT_EQ(B->DefaultColor, clYellow);
    EXPECT_EQ(B->ReadOnlyColor, clAqua);
    EXPECT_EQ(B->ModifiedColor, clMoneyGreen);
    EXPECT_EQ(B->GetAcceptedText(), "from A");

    TEdit plain(nullptr);
    try {
        A->Assign(&plain);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TEdit to a TAutoEdit");
    }
}

TEST_F(AutoEditKeys, ContextMenuPasteMarksModified)
{
    QApplication::clipboard()->setText("77");
    Focus(A);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), LineEdit(A)->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(LineEdit(A), &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QAction* paste = nullptr;
    for (QAction* action : menu->actions())
        if (action->text().remove('&').startsWith("Paste"))
            paste = action;
    ASSERT_NE(paste, nullptr);
    paste->trigger();
    menu->close();
    EXPECT_EQ(Shown(A), "77");
    EXPECT_TRUE(A->GetEdited());
    EXPECT_EQ(A->GetColor(), clRed);
}

TEST_F(AutoEditKeys, TextChangedWithoutAKeyIsAnEditToo)
{
    // As a drop, a middle-button paste or an input method changes the text.
    A->SetText("1");
    LineEdit(A)->insert("2");
    EXPECT_TRUE(A->GetEdited());
    EXPECT_EQ(A->GetColor(), clRed);
    EXPECT_EQ(A->GetText(), "2");
    EXPECT_EQ(A->GetAcceptedText(), "2");
    // Shift+Insert pastes: Insert is no editing key, the changed text is.
    QApplication::clipboard()->setText("9");
    Focus(A);
    Key(A, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(Shown(A), "9");
    EXPECT_TRUE(A->GetEdited());
    A->Cancel();
    // The control's own text changes are not.
    A->SetText("3");
    A->Cancel();
    EXPECT_FALSE(A->GetEdited());
}

TEST_F(AutoEditKeys, MessagesSentByProgramTakeTheSameRoads)
{
    A->Perform(WM_KEYDOWN, 'Q', 0);
    EXPECT_TRUE(A->GetEdited());
    A->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(Joined(), "cancel A ");

    Log.clear();
    A->Perform(WM_KEYDOWN, VK_DELETE, 0);
    A->Perform(WM_KEYDOWN, VK_CONTROL, 0);
    A->Perform(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(Log.empty()) << Joined();
    A->Perform(WM_KEYUP, VK_CONTROL, 0);
    A->Perform(WM_SYSKEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(Log.empty()) << Joined();
    A->Perform(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(Joined(), "accept A |accepted A ");

    Log.clear();
    A->Perform(WM_KEYDOWN, VK_F2, 0);
    A->Perform(WM_KILLFOCUS, 0, 0);
    EXPECT_TRUE(Log.empty()) << Joined();
    A->Perform(WM_KEYDOWN, VK_BACK, 0);
    A->Perform(WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(Joined(), "accept A |accepted A ");
}
