// Undo and redo as a person uses them: Ctrl+Z and Ctrl+Y in the main window bring back the
// window, the list and the chart as they were; in a field with edits not yet accepted the keys
// edit its text; the list's and the chart's menus name the command.
#include "UiTestKit.h"
#include "tests/TempFolder.h"
#include "tests/platform/MenuAnswer.h"

#include <QMenu>

namespace {

class Undo : public MainWindowTest {
protected:
    // The window as it is painted, with the focus on the list (so that a focus frame is the same
    // in every picture).
    std::vector<std::uint32_t> Picture()
    {
        W(F)->activateWindow();   // a box closed just before may leave no window active
        F->LstDependencies->SetFocus();
        QApplication::processEvents();
        TBitmap b(F->GetClientWidth(), F->GetClientHeight());
        F->PaintTo(b.GetCanvas(), 0, 0);
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < b.GetHeight(); ++y)
            pixels.insert(pixels.end(), b.ScanLine(y), b.ScanLine(y) + b.GetWidth());
        return pixels;
    }

    // The keys go where the person's keyboard goes: the focused widget of the active window
    // (a box closed just before may leave no window active).
    void Keys(Qt::Key Key, Qt::KeyboardModifiers Mods)
    {
        W(F)->activateWindow();
        QWidget* target = W(F)->focusWidget();
        QTest::keyClick(target != nullptr ? target : W(F), Key, Mods);
        QApplication::processEvents();
    }

    // Three dependencies, the second hidden, the first and the third selected.
    void ThreeDependencies()
    {
        EnterRealisticSet();
        Enter(F->EdtName, "first");
        Click(F->BtnApply);
        for (const char* name : {"second", "third"}) {
            Click(F->BtnAdd);
            Enter(F->EdtName, name);
            Enter(F->NumK2, name[0] == 's' ? "600" : "700");
            Click(F->BtnApply);
        }
        ClickRow(1);
        Click(F->BtnHide);
        ClickRow(0);
        ClickRow(2, Qt::ControlModifier);
    }

    TTempFolder Folder{"corvane-undo"};
};

}  // namespace

// Each command, then Ctrl+Z: the window as it was painted before; Ctrl+Y: as after.
TEST_F(Undo, CtrlZAndCtrlYBringBackTheWindowAsItWas)
{
    ThreeDependencies();
    const std::string other = Folder.Path("other.ini");
    // (Constants given: a field keeps its text when shown a value its rule refuses, as K = 0.)
    WriteFileBytes(other, "[General]\r\nDecSep=44\r\nCount=2\r\n[Dependency0]\r\nname=loaded\r\nK2=0,9\r\n"
                          "[Dependency1]\r\nname=also\r\nK1=0,3\r\nK2=0,4\r\n");
    const struct {
        const char* Name;
        std::function<void()> Prepare;   // before the picture of "before"
        std::function<void()> Command;
    } commands[] = {
        // Apply alters one dependency: the third alone is chosen first.
        {"Apply", [&] { ClickRow(2); }, [&] { Enter(F->NumK2, "900"); Click(F->BtnApply); }},
        {"Delete", [] {}, [&] { ClickAndAnswer(F->BtnDelete, "Yes"); }},
        {"Hide / Show", [&] { ClickRow(0, Qt::ControlModifier); },
         [&] { Click(F->BtnHide); }},
        {"Add", [] {}, [&] { Click(F->BtnAdd); }},
        {"New", [] {}, [&] { ClickAndAnswer(F->BtnNew, "No"); }},
        {"Load", [] {}, [&] {
             F->OpenDialog1->SetFileName(other);
             // The question, the open dialog, then the load's report (the file leaves keys out).
             WhenModalOpens([](QWidget* box) {
                 ClickButton(box, "No");
                 WhenModalOpens([](QWidget* open) {
                     PressKey(open, Qt::Key_Return);
                     WhenModalOpens([](QWidget* report) { ClickButton(report, "OK"); }, open);
                 }, box);
             });
             Click(F->BtnLoad);
         }},
    };
    for (const auto& c : commands) {
        SCOPED_TRACE(c.Name);
        // Each from the state the undo of the one before left.
        c.Prepare();
        const std::vector<std::uint32_t> before = Picture();
        const std::string title = F->ChrtDependencies->GetTitle()->GetText()->Get(0);
        c.Command();
        const std::vector<std::uint32_t> after = Picture();
        ASSERT_NE(after, before);
        Keys(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_TRUE(Picture() == before) << "the window differs after Ctrl+Z";
        EXPECT_EQ(F->ChrtDependencies->GetTitle()->GetText()->Get(0), title);
        EXPECT_EQ(FormatSettings.DecimalSeparator, L'.');
        EXPECT_FALSE(ApplyIsRed());
        Keys(Qt::Key_Y, Qt::ControlModifier);
        EXPECT_TRUE(Picture() == after) << "the window differs after Ctrl+Y";
        Keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);   // redo: nothing left to redo
        EXPECT_TRUE(Picture() == after);
        Keys(Qt::Key_Z, Qt::ControlModifier);
        ASSERT_TRUE(Picture() == before);
    }
    EXPECT_TRUE(Errors.empty());
}

// In a field holding typed text not yet accepted, Ctrl+Z edits the text; once the field is
// settled it undoes the last command again.
TEST_F(Undo, CtrlZInAFieldBeingEditedEditsItsText)
{
    EnterRealisticSet();
    Type(F->NumK2, "777");
    ASSERT_EQ(Shown(F->NumK2), "777");
    Keys(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(Shown(F->NumK2), "777");   // the field's own undo
    EXPECT_DOUBLE_EQ(F->Records[0].Params.phys.K2, 0.5);
    EXPECT_EQ(F->Document.UndoName(), "Apply");

    // A name typed and not applied is an edit too.
    Type(F->EdtName, "typed");
    Keys(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Shown(F->EdtName), "<unnamed>");
    EXPECT_EQ(F->Document.UndoName(), "Apply");
    Type(F->EdtName, "typed");

    // From a settled field the keys undo the Apply.
    QTest::mouseClick(W(F->NumEOF), Qt::LeftButton, Qt::NoModifier, Centre(F->NumEOF));
    Keys(Qt::Key_Escape, Qt::NoModifier);
    Click(F->BtnApply);   // the name typed goes in
    ASSERT_EQ(F->Records[0].name, AnsiString("typed"));
    QTest::mouseClick(W(F->NumEOF), Qt::LeftButton, Qt::NoModifier, Centre(F->NumEOF));
    Keys(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(F->Records[0].name, AnsiString("<unnamed>"));
    EXPECT_EQ(Shown(F->EdtName), "<unnamed>");
    EXPECT_TRUE(Errors.empty());
}

// The list's menu and the chart's name the command to undo and to redo, with the keys.
TEST_F(Undo, TheMenusNameTheCommands)
{
    EnterRealisticSet();
    auto entries = [&](TControl* Control) {
        QStringList found;
        WhenMenuOpens([&](QMenu* m) {
            for (QAction* a : m->actions())
                if (!a->isSeparator() && (MenuCaption(a).startsWith(QStringLiteral("Undo")) ||
                                          MenuCaption(a).startsWith(QStringLiteral("Redo"))))
                    found << MenuCaption(a) + (a->isEnabled() ? "" : " (off)") + " " +
                                 a->text().section(QLatin1Char('\t'), 1);
            m->close();
        });
        RightClick(Control, 30, 4);
        return found;
    };
    EXPECT_EQ(entries(F->LstDependencies), (QStringList{"Undo Apply Ctrl+Z", "Redo (off) Ctrl+Y"}));
    EXPECT_EQ(entries(F->ChrtDependencies), (QStringList{"Undo Apply Ctrl+Z", "Redo (off) Ctrl+Y"}));

    WhenMenuOpens([](QMenu* m) { ChooseMenuItem(m, QStringLiteral("Undo Apply")); });
    RightClick(F->LstDependencies, 30, 4);
    QApplication::processEvents();
    EXPECT_EQ(F->Records[0].Params.phys.K2, 0);   // the default record's
    EXPECT_EQ(entries(F->ChrtDependencies), (QStringList{"Undo (off) Ctrl+Z", "Redo Apply Ctrl+Y"}));
    EXPECT_TRUE(Errors.empty());
}
