// A shown form with two accepting edits A and B (in tab order), an event log and
// helpers that press keys through the real event path.
#pragma once

#include "controls/AutoEdit.h"
#include "platform/Forms.h"
#include "platform/qt/QtAccess.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

enum class KeyPhase { Click, DownOnly };

template <class TField>
class EditFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 320, 120);
        A = MakeField("A", 10);
        B = MakeField("B", 40);
        Application->OnException = [this](TObject*, Exception* E) { Errors.push_back(E->Message()); };
        Form->Show();
        QWidget* top = WidgetOf(Form);
        top->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(top));
        Log.clear();
    }

    void TearDown() override
    {
        Application->OnException = nullptr;
        delete Form;
    }

    TField* MakeField(const char* name, int top)
    {
        auto* f = new TField(Form);
        f->SetParent(Form);
        f->SetBounds(10, top, 120, 21);
        f->SetTabStop(true);
        Names[f] = name;
        f->OnAccept = [this](TObject* Sender, TCaption NewText, bool& Accept) {
            Log.push_back("accept " + Names[Sender] + " " + NewText);
            if (ThrowInAccept)
                StrToFloat(NewText);
            if (!RejectText.empty() && NewText == RejectText)
                Accept = false;
        };
        f->OnAccepted = [this](TObject* Sender) {
            Log.push_back("accepted " + Names[Sender] + " " + Shown(static_cast<TField*>(Sender)));
            if (ThrowInAccepted)
                throw EConvertError("handler failed");
        };
        f->OnCancel = [this](TObject* Sender) {
            Log.push_back("cancel " + Names[Sender] + " " + Shown(static_cast<TField*>(Sender)));
        };
        return f;
    }

    static QLineEdit* LineEdit(TAutoEdit* f) { return static_cast<QLineEdit*>(WidgetOf(f)); }
    // The text on screen, read without starting acceptance.
    static std::string Shown(TAutoEdit* f) { return LineEdit(f)->text().toStdString(); }

    void Focus(TAutoEdit* f)
    {
        f->SetFocus();
        QApplication::processEvents();
        ASSERT_TRUE(HasFocus(f));
    }
    static bool HasFocus(TAutoEdit* f) { return QApplication::focusWidget() == WidgetOf(f); }

    // Key presses go to the focused widget, as the keyboard's do.
    static QWidget* Target(TAutoEdit* f)
    {
        QWidget* w = QApplication::focusWidget();
        return w != nullptr ? w : WidgetOf(f);
    }

    // A key with its modifiers: the modifier keys go down first and come up last, each
    // as its own key event, as a keyboard sends them.
    void Key(TAutoEdit* f, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier,
             KeyPhase phase = KeyPhase::Click)
    {
        Qt::KeyboardModifiers held = Qt::NoModifier;
        const std::pair<Qt::KeyboardModifier, Qt::Key> order[] = {
            {Qt::ShiftModifier, Qt::Key_Shift}, {Qt::ControlModifier, Qt::Key_Control},
            {Qt::AltModifier, Qt::Key_Alt}};
        for (auto [mod, modKey] : order)
            if (mods & mod) {
                held |= mod;
                QTest::keyPress(Target(f), modKey, held);
            }
        QTest::keyPress(Target(f), key, mods);
        QTest::keyRelease(Target(f), key, mods);
        if (phase == KeyPhase::DownOnly)
            return;
        for (auto it = std::rbegin(order); it != std::rend(order); ++it)
            if (mods & it->first) {
                held &= ~it->first;
                QTest::keyRelease(Target(f), it->second, held);
            }
    }

    void ReleaseShift(TAutoEdit* f) { QTest::keyRelease(Target(f), Qt::Key_Shift, Qt::NoModifier); }

    // Types text; "\b" is Backspace.
    void Type(TAutoEdit* f, const std::string& text)
    {
        for (char c : text) {
            if (c == '\b')
                QTest::keyClick(Target(f), Qt::Key_Backspace);
            else
                QTest::keyClick(Target(f), c);
        }
    }

    std::string Joined() const
    {
        std::string s;
        for (const auto& e : Log)
            s += (s.empty() ? "" : "|") + e;
        return s;
    }

    TForm* Form = nullptr;
    TField* A = nullptr;
    TField* B = nullptr;
    std::map<TObject*, std::string> Names;
    std::vector<std::string> Log;
    std::vector<std::string> Errors;
    std::string RejectText;
    bool ThrowInAccept = false;
    bool ThrowInAccepted = false;
};
