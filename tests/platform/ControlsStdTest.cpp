// Standard controls: edit, label, buttons, check box, panel, and the form's keyboard interface.
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "platform/qt/QtAccess.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QToolTip>
#include <QHelpEvent>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

class StdTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(nullptr);
        Form->SetClientWidth(400);
        Form->SetClientHeight(220);
        Form->SetCaption("Demo");
    }
    void TearDown() override { delete Form; }
    void ShowActive()
    {
        Form->Show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(WidgetOf(Form)));
    }
    template <class T>
    T* Make(int X, int Y, int W, int H, TWinControl* Parent = nullptr)
    {
        T* c = new T(Form);
        c->SetParent(Parent != nullptr ? Parent : Form);
        c->SetBounds(X, Y, W, H);
        return c;
    }
    TForm* Form = nullptr;
};

TEST_F(StdTest, EditChangeFiresForUserAndProgramAlike)
{
    auto* edit = Make<TEdit>(10, 10, 121, 21);
    int changes = 0;
    edit->OnChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, edit);
        ++changes;
    };
    edit->SetText("12");
    EXPECT_EQ(changes, 1);
    edit->SetText("12");  // the same text: no change
    EXPECT_EQ(changes, 1);
    ShowActive();
    edit->SetFocus();
    QTest::keyClick(WidgetOf(edit), Qt::Key_End);
    QTest::keyClick(WidgetOf(edit), Qt::Key_3);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(edit->GetText(), "123");
    EXPECT_EQ(edit->GetCaption(), "123");
}

TEST_F(StdTest, EditSelectionAndUndo)
{
    auto* edit = Make<TEdit>(10, 10, 121, 21);
    edit->SetText("1.5E3");
    edit->SetSelStart(1);
    edit->SetSelLength(2);
    EXPECT_EQ(edit->GetSelText(), ".5");
    EXPECT_EQ(edit->GetSelStart(), 1);
    EXPECT_EQ(edit->GetSelLength(), 2);
    edit->SelectAll();
    EXPECT_EQ(edit->GetSelLength(), 5);
    EXPECT_EQ(edit->GetSelStart(), 0);

    ShowActive();
    edit->SetFocus();
    QTest::keyClick(WidgetOf(edit), Qt::Key_End);
    QTest::keyClick(WidgetOf(edit), Qt::Key_0);
    EXPECT_TRUE(edit->GetCanUndo());
    edit->SelectAll();
    edit->ClearUndo();
    EXPECT_FALSE(edit->GetCanUndo());
    EXPECT_EQ(edit->GetText(), "1.5E30");
    EXPECT_EQ(edit->GetSelLength(), 6);  // the selection survives
    edit->Undo();
    EXPECT_EQ(edit->GetText(), "1.5E30");
}

TEST_F(StdTest, EditColourAndReadOnly)
{
    auto* edit = Make<TEdit>(10, 10, 121, 21);
    EXPECT_EQ(edit->GetColor(), clWindow);
    EXPECT_TRUE(edit->GetTabStop());
    edit->SetColor(clMoneyGreen);
    EXPECT_EQ(WidgetOf(edit)->palette().color(QPalette::Base), QColor(0xC0, 0xDC, 0xC0));
    edit->SetReadOnly(true);
    EXPECT_TRUE(edit->GetReadOnly());
    EXPECT_TRUE(static_cast<QLineEdit*>(WidgetOf(edit))->isReadOnly());
}

// Text the program selects in an edit without the focus (an accepted field selects its text)
// is not shown selected, as on the original platform; the focus shows it.
TEST_F(StdTest, EditShowsItsSelectionOnlyWithTheFocus)
{
    auto* edit = Make<TEdit>(10, 10, 121, 21);
    auto* other = Make<TEdit>(10, 40, 121, 21);
    ShowActive();
    const QColor qtHighlight = QApplication::palette(WidgetOf(edit)).color(QPalette::Highlight);
    const TColor highlight = RGB(qtHighlight.red(), qtHighlight.green(), qtHighlight.blue());
    auto highlighted = [&] {
        QApplication::processEvents();
        TBitmap shot(121, 21);
        edit->PaintTo(shot.Canvas, 0, 0);
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 121; ++x)
                if (shot.Canvas->GetPixel(x, y) == highlight)
                    return true;
        return false;
    };
    edit->SetText("selected text");
    other->SetFocus();
    QApplication::processEvents();
    edit->SelectAll();
    EXPECT_EQ(edit->GetSelLength(), 13);
    EXPECT_FALSE(highlighted());
    // A colour change while unfocused keeps it hidden.
    edit->SetColor(clMoneyGreen);
    EXPECT_FALSE(highlighted());
    edit->SetFocus();
    edit->SelectAll();
    EXPECT_TRUE(highlighted());
}

TEST_F(StdTest, EnterAndEscapeGoToTheDefaultAndCancelButtons)
{
    auto* edit = Make<TEdit>(10, 10, 121, 21);
    auto* ok = Make<TButton>(10, 50, 84, 41);
    auto* cancel = Make<TButton>(100, 50, 84, 41);
    ok->SetCaption("&OK");
    cancel->SetCaption("Cancel");
    ok->SetModalResult(1);
    cancel->SetModalResult(2);
    int okClicks = 0, cancelClicks = 0;
    ok->OnClick = [&](TObject*) { ++okClicks; };
    cancel->OnClick = [&](TObject*) { ++cancelClicks; };
    ShowActive();
    edit->SetFocus();
    // No default button yet: Enter stays with the edit.
    QTest::keyClick(WidgetOf(edit), Qt::Key_Return);
    EXPECT_EQ(okClicks, 0);
    ok->SetDefault(true);
    cancel->SetCancel(true);
    QTest::keyClick(WidgetOf(edit), Qt::Key_Return);
    EXPECT_EQ(okClicks, 1);
    EXPECT_EQ(Form->GetModalResult(), 1);
    QTest::keyClick(WidgetOf(edit), Qt::Key_Escape);
    EXPECT_EQ(cancelClicks, 1);
    EXPECT_EQ(Form->GetModalResult(), 2);
    // Shift+Enter is not a dialog key.
    QTest::keyClick(WidgetOf(edit), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(okClicks, 1);
    // A focused button takes Enter itself.
    cancel->SetFocus();
    QTest::keyClick(WidgetOf(cancel), Qt::Key_Return);
    EXPECT_EQ(cancelClicks, 2);
    EXPECT_EQ(okClicks, 1);
    // A disabled default button does not answer.
    edit->SetFocus();
    ok->SetEnabled(false);
    QTest::keyClick(WidgetOf(edit), Qt::Key_Return);
    EXPECT_EQ(okClicks, 1);
}

TEST_F(StdTest, ButtonCaptionTakesTheFontColour)
{
    auto* button = Make<TButton>(10, 10, 84, 41);
    button->SetCaption("A&pply");
    button->GetFont()->SetColor(clRed);
    EXPECT_EQ(static_cast<QPushButton*>(WidgetOf(button))->text(), QStringLiteral("A&pply"));
    EXPECT_EQ(WidgetOf(button)->palette().color(QPalette::ButtonText), QColor(255, 0, 0));
    EXPECT_FALSE(button->GetParentFont());
    // Rendered: some caption pixels are red.
    ShowActive();
    TBitmap shot(84, 41);
    button->PaintTo(shot.Canvas, 0, 0);
    int red = 0;
    for (int y = 0; y < 41; ++y)
        for (int x = 0; x < 84; ++x) {
            const TColor c = shot.Canvas->Pixels(x, y);
            if (GetRValue(c) > 200 && GetGValue(c) < 80 && GetBValue(c) < 80)
                ++red;
        }
    EXPECT_GT(red, 10);
}

TEST_F(StdTest, CheckBoxReportsItsMarkAndClicks)
{
    auto* box = Make<TCheckBox>(10, 10, 97, 17);
    box->SetCaption("Apply");
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    EXPECT_FALSE(box->GetChecked());
    box->SetChecked(true);
    EXPECT_TRUE(box->GetChecked());
    EXPECT_EQ(clicks, 1);
    box->SetChecked(true);
    EXPECT_EQ(clicks, 1);
    ShowActive();
    QTest::mouseClick(WidgetOf(box), Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
    EXPECT_FALSE(box->GetChecked());
    EXPECT_EQ(clicks, 2);
    box->SetFocus();
    QTest::keyClick(WidgetOf(box), Qt::Key_Space);
    EXPECT_TRUE(box->GetChecked());
    EXPECT_EQ(clicks, 3);
}

TEST_F(StdTest, LabelAcceleratorFocusesItsControl)
{
    auto* label = Make<TLabel>(10, 10, 60, 17);
    auto* first = Make<TEdit>(80, 10, 121, 21);
    auto* target = Make<TEdit>(80, 40, 121, 21);
    label->SetCaption("&pH");
    label->SetFocusControl(target);
    EXPECT_EQ(label->GetAccelChar(), Char('P'));
    ShowActive();
    first->SetFocus();
    QTest::keyClick(WidgetOf(first), Qt::Key_P, Qt::AltModifier);
    EXPECT_TRUE(target->Focused());
    EXPECT_EQ(target->GetText(), "");
    // Without ShowAccelChar the "&" is plain text and nothing answers.
    first->SetFocus();
    label->SetShowAccelChar(false);
    EXPECT_EQ(label->GetAccelChar(), Char(0));
    QTest::keyClick(WidgetOf(first), Qt::Key_P, Qt::AltModifier);
    EXPECT_TRUE(first->Focused());
    // A destroyed focus control is forgotten.
    label->SetShowAccelChar(true);
    delete target;
    EXPECT_EQ(label->GetFocusControl(), nullptr);
    QTest::keyClick(WidgetOf(first), Qt::Key_P, Qt::AltModifier);
    EXPECT_TRUE(first->Focused());
}

TEST_F(StdTest, LabelAutoSizeFollowsTheCaption)
{
    auto* label = Make<TLabel>(10, 10, 5, 5);
    label->SetCaption("Voltage [kV]");
    const int width = label->GetWidth();
    EXPECT_GT(width, 40);
    EXPECT_GT(label->GetHeight(), 8);
    label->SetCaption("Voltage [kV] and more");
    EXPECT_GT(label->GetWidth(), width);
    // "&&" is one ampersand; "&x" is x underlined.
    label->SetCaption("A&&B");
    const int amp = label->GetWidth();
    label->SetCaption("A&B");
    EXPECT_LT(label->GetWidth(), amp);
    label->SetAutoSize(false);
    label->SetCaption("A much longer caption than before");
    EXPECT_EQ(label->GetWidth(), label->GetWidth());
    EXPECT_LT(label->GetWidth(), 100);
}

TEST_F(StdTest, LabelDrawsItsTextWhereItsLayoutSays)
{
    Form->SetColor(clWhite);
    auto* label = Make<TLabel>(10, 10, 115, 15);
    label->SetAutoSize(false);
    label->SetColor(clYellow);
    label->GetFont()->SetColor(clBlack);
    label->SetCaption("Cplx mobility [.1E+9]");
    label->SetLayout(tlCenter);
    auto* right = Make<TLabel>(10, 40, 200, 40);
    right->SetAutoSize(false);
    right->SetTransparent(true);
    right->SetAlignment(taRightJustify);
    right->SetLayout(tlBottom);
    right->SetCaption("&Right");
    TBitmap shot(400, 220);
    Form->PaintTo(shot.Canvas, 0, 0);
    const auto outputDir = std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
    shot.SaveToFile((outputDir / "label_layout.png").string());
    // Opaque label: its colour fills exactly its bounds.
    EXPECT_EQ(shot.Canvas->Pixels(10, 10), clYellow);
    EXPECT_EQ(shot.Canvas->Pixels(124, 24), clYellow);
    EXPECT_EQ(shot.Canvas->Pixels(125, 24), clWhite);
    EXPECT_EQ(shot.Canvas->Pixels(9, 10), clWhite);
    // Ink inside the label, none in the rows above and below the centred line.
    auto inkIn = [&](int x0, int y0, int x1, int y1, TColor Background) {
        int ink = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (shot.Canvas->Pixels(x, y) != Background)
                    ++ink;
        return ink;
    };
    EXPECT_GT(inkIn(10, 10, 125, 25, clYellow), 30);
    // Right-aligned, bottom: ink near the right and bottom edges only.
    EXPECT_GT(inkIn(150, 60, 210, 80, clWhite), 20);
    EXPECT_EQ(inkIn(10, 40, 150, 80, clWhite), 0);
    EXPECT_EQ(inkIn(150, 40, 210, 55, clWhite), 0);
}

TEST_F(StdTest, PanelPaintsItsBevelAndHostsGraphicChildren)
{
    auto* panel = Make<TPanel>(20, 20, 100, 50);
    panel->SetColor(clSilver);
    auto* plain = Make<TPanel>(150, 20, 100, 50);
    plain->SetBevelOuter(bvNone);
    plain->SetColor(clAqua);
    auto* label = new TLabel(Form);
    label->SetParent(panel);
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 500, 500);  // wider than the panel: clipped to it
    label->SetColor(clLime);
    label->SetCaption("");
    panel->SetBevelOuter(bvRaised);
    TRect client = panel->GetClientRect();
    EXPECT_EQ(client, TRect(0, 0, 100, 50));
    TBitmap shot(400, 220);
    Form->PaintTo(shot.Canvas, 0, 0);
    EXPECT_EQ(shot.Canvas->Pixels(150, 20), clAqua);
    EXPECT_EQ(shot.Canvas->Pixels(249, 69), clAqua);
    EXPECT_EQ(shot.Canvas->Pixels(60, 40), clLime);
    EXPECT_NE(shot.Canvas->Pixels(130, 40), clLime);
    // An aligned child of a bevelled panel stays inside the bevel.
    label->SetAlign(alClient);
    EXPECT_EQ(label->GetBoundsRect(), TRect(1, 1, 99, 49));
    Form->PaintTo(shot.Canvas, 0, 0);
    EXPECT_EQ(shot.Canvas->Pixels(20, 20), ColorToRGB(clBtnHighlight));  // the raised bevel's light edge
    EXPECT_EQ(shot.Canvas->Pixels(119, 69), ColorToRGB(clBtnShadow));
}

TEST_F(StdTest, FormShowCloseAndItsEvents)
{
    std::vector<std::string> events;
    int queries = 0;
    Form->OnShow = [&](TObject*) { events.push_back("show"); };
    Form->OnHide = [&](TObject*) { events.push_back("hide"); };
    Form->OnCloseQuery = [&](TObject*, bool& CanClose) {
        events.push_back("query");
        CanClose = ++queries > 1;
    };
    Form->OnClose = [&](TObject*, TCloseAction& Action) {
        events.push_back("close");
        EXPECT_EQ(Action, caHide);
    };
    Form->Show();
    EXPECT_TRUE(WidgetOf(Form)->isVisible());
    EXPECT_EQ(WidgetOf(Form)->windowTitle(), QStringLiteral("Demo"));
    Form->Close();  // refused by OnCloseQuery
    EXPECT_TRUE(Form->GetVisible());
    Form->Close();
    EXPECT_FALSE(Form->GetVisible());
    EXPECT_FALSE(WidgetOf(Form)->isVisible());
    const std::vector<std::string> want = {"show", "query", "query", "close", "hide"};
    EXPECT_EQ(events, want);
    // The window's close box asks the form in the same way.
    Form->OnCloseQuery = nullptr;
    Form->Show();
    WidgetOf(Form)->close();
    EXPECT_FALSE(Form->GetVisible());
}

TEST_F(StdTest, ApplicationRunsUntilTheMainFormCloses)
{
    TForm* main = nullptr;
    TForm* second = nullptr;
    ASSERT_EQ(Application->GetMainForm(), nullptr);
    Application->CreateForm(main);
    Application->CreateForm(second);
    EXPECT_EQ(Application->GetMainForm(), main);
    main->SetCaption("Corvane");
    bool shown = false;
    main->OnShow = [&](TObject*) {
        shown = true;
        QTimer::singleShot(0, [main] { main->Close(); });
    };
    Application->Run();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(Application->GetTerminated());
    // The forms went with the end of the run.
    EXPECT_EQ(Application->GetMainForm(), nullptr);
    EXPECT_EQ(Application->ComponentCount(), 0);
}

TEST_F(StdTest, ErrorDisplayAddsAFullStopAsTheOriginalDoes)
{
    std::vector<UnicodeString> seen;
    Application->OnException = [&](TObject* Sender, Exception* E) {
        EXPECT_EQ(Sender, Form);
        seen.push_back(E->Message());
    };
    try {
        throw EConvertError("Invalid value");
    } catch (...) {
        Application->HandleException(Form);
    }
    try {
        throw std::runtime_error("plain");
    } catch (...) {
        Application->HandleException(Form);
    }
    Application->OnException = nullptr;
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], "Invalid value");
    EXPECT_EQ(seen[1], "plain");
    // Without OnException the box comes up; answer it as a person would.
    QString text;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            text = box->text();
            box->accept();
        }
    });
    Application->ShowException(EConvertError("Invalid value"));
    EXPECT_EQ(text, QStringLiteral("Invalid value."));
}

// The silent exception is recognised by its class: nothing is shown, OnException is not asked,
// and a class derived from it is silent as well.
class EQuietAbort : public EAbort {
public:
    using EAbort::EAbort;
    const char* ClassName() const noexcept override { return "EQuietAbort"; }
};

TEST_F(StdTest, ErrorDisplayShowsNothingForAbort)
{
    int seen = 0;
    Application->OnException = [&](TObject*, Exception*) { ++seen; };
    try {
        Abort();
    } catch (...) {
        Application->HandleException(Form);
    }
    try {
        throw EQuietAbort("quiet");
    } catch (...) {
        Application->HandleException(Form);
    }
    EXPECT_EQ(seen, 0);
    try {
        Abort();
    } catch (const EAbort& e) {
        EXPECT_EQ(e.Message(), "Operation aborted");
        EXPECT_STREQ(e.ClassName(), "EAbort");
    }
    Application->OnException = nullptr;
}

}  // namespace

namespace {

TEST_F(StdTest, ParentColourAndFontReachTheChildrenThatFollowThem)
{
    auto* panel = Make<TPanel>(0, 0, 200, 100);
    auto* follows = new TLabel(Form);
    follows->SetParent(panel);
    auto* own = new TLabel(Form);
    own->SetParent(panel);
    own->SetColor(clYellow);
    own->GetFont()->SetHeight(-20);
    EXPECT_TRUE(follows->GetParentColor());
    EXPECT_FALSE(own->GetParentColor());
    EXPECT_FALSE(own->GetParentFont());
    panel->SetColor(clAqua);
    panel->GetFont()->SetName("DejaVu Sans");
    panel->GetFont()->SetColor(clMaroon);
    EXPECT_EQ(follows->GetColor(), clAqua);
    EXPECT_TRUE(follows->GetParentColor());
    EXPECT_EQ(follows->GetFont()->GetName(), "DejaVu Sans");
    EXPECT_EQ(follows->GetFont()->GetColor(), clMaroon);
    EXPECT_TRUE(follows->GetParentFont());
    EXPECT_EQ(own->GetColor(), clYellow);
    EXPECT_EQ(own->GetFont()->GetHeight(), -20);
    // Switching ParentColor on takes the parent's colour at once.
    own->SetParentColor(true);
    EXPECT_EQ(own->GetColor(), clAqua);
    // Setting the colour it already has does not end the following; another colour does.
    own->SetColor(clAqua);
    EXPECT_TRUE(own->GetParentColor());
    own->SetColor(clLime);
    EXPECT_FALSE(own->GetParentColor());
    // A control moved to another parent takes that parent's colour.
    follows->SetParent(Form);
    EXPECT_EQ(follows->GetColor(), Form->GetColor());
}

TEST_F(StdTest, ADemonstrationWindowRenders)
{
    Form->SetClientWidth(420);
    Form->SetClientHeight(150);
    auto* panel = Make<TPanel>(0, 0, 420, 150);
    panel->SetAlign(alClient);
    panel->SetBevelOuter(bvNone);
    panel->SetColor(clWindow);
    const char* captions[] = {"Capillary length [cm]", "Detector length [cm]", "Voltage [kV]"};
    for (int i = 0; i < 3; ++i) {
        auto* label = Make<TLabel>(8, 6 + 27 * i, 121, 21, panel);
        label->SetAutoSize(false);
        label->SetLayout(tlCenter);
        label->SetColor(clBtnFace);
        label->SetCaption(captions[i]);
        auto* edit = Make<TEdit>(135, 6 + 27 * i, 121, 21, panel);
        edit->SetText(i == 1 ? "40" : "48.5");
        if (i == 2)
            edit->SetColor(clMoneyGreen);
    }
    auto* apply = Make<TButton>(300, 6, 84, 41, panel);
    apply->SetCaption("A&pply");
    apply->GetFont()->SetColor(clRed);
    auto* check = Make<TCheckBox>(300, 60, 97, 17, panel);
    check->SetCaption("Apply");
    check->SetChecked(true);
    auto* bevel = Make<TBevel>(8, 92, 404, 2, panel);
    bevel->SetShape(bsTopLine);
    ShowActive();
    const auto path = std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) /
                      "controls_demo.png";
    Form->SaveToPng(path.string());
    EXPECT_TRUE(std::filesystem::exists(path));
}

}  // namespace

namespace {

TEST_F(StdTest, HintsShowForControlsThatAskForThem)
{
    auto* label = Make<TLabel>(10, 10, 100, 20);
    label->SetAutoSize(false);
    label->SetHint("Mobility of the free analyte|Shown in 1E-9 m2/(V s)");
    auto* edit = Make<TEdit>(10, 40, 100, 21);
    edit->SetHint("Name of the dependency");
    ShowActive();
    auto tip = [](QWidget* W, QPoint P) {
        QToolTip::hideText();
        QApplication::processEvents();
        QHelpEvent event(QEvent::ToolTip, P, W->mapToGlobal(P));
        QApplication::sendEvent(W, &event);
        QApplication::processEvents();
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(tip(WidgetOf(Form), QPoint(20, 15)), QString());
    Form->SetShowHint(true);  // reaches the children that follow their parent
    EXPECT_TRUE(label->GetShowHint());
    EXPECT_EQ(tip(WidgetOf(Form), QPoint(20, 15)), QStringLiteral("Mobility of the free analyte"));
    EXPECT_EQ(tip(WidgetOf(edit), QPoint(5, 5)), QStringLiteral("Name of the dependency"));
    edit->SetShowHint(false);
    EXPECT_FALSE(edit->GetParentShowHint());
    QToolTip::hideText();
}

}  // namespace

namespace {

TEST_F(StdTest, LabelWrapsWordsAndBreaksLines)
{
    Form->SetColor(clWhite);
    auto* label = Make<TLabel>(10, 10, 90, 20);
    label->SetTransparent(true);
    label->SetWordWrap(true);
    label->SetCaption("Selector concentration axis");
    // Wrapped: the width stays, the height grows to the lines.
    EXPECT_EQ(label->GetWidth(), 90);
    auto* one = Make<TLabel>(200, 10, 10, 10);
    one->SetCaption("Selector");
    const int lineHeight = one->GetHeight();
    EXPECT_GE(label->GetHeight(), 2 * lineHeight);
    auto* lines = Make<TLabel>(200, 50, 10, 10);
    lines->SetCaption("first\nsecond\r\nthird");
    EXPECT_EQ(lines->GetHeight(), 3 * lineHeight);
    TBitmap shot(400, 220);
    Form->PaintTo(shot.Canvas, 0, 0);
    // Every line has ink; none lies to the right of the label.
    for (int line = 0; line < label->GetHeight() / lineHeight; ++line) {
        int ink = 0;
        for (int y = 10 + line * lineHeight; y < 10 + (line + 1) * lineHeight; ++y)
            for (int x = 10; x < 100; ++x)
                ink += shot.Canvas->Pixels(x, y) != clWhite;
        EXPECT_GT(ink, 5) << "line " << line;
    }
    for (int y = 10; y < 10 + label->GetHeight(); ++y)
        for (int x = 100; x < 190; ++x)
            ASSERT_EQ(shot.Canvas->Pixels(x, y), clWhite);
}

TEST_F(StdTest, DisabledLabelDrawsEmbossedText)
{
    Form->SetColor(clSilver);
    auto* label = Make<TLabel>(10, 10, 100, 20);
    label->SetCaption("Charge");
    label->SetEnabled(false);
    TBitmap shot(400, 220);
    Form->PaintTo(shot.Canvas, 0, 0);

    bool light = false, shadow = false, black = false;
    for (int y = 10; y < 30; ++y)
        for (int x = 10; x < 110; ++x) {
            // Silver background: lighter ink is the highlight, darker ink the shadow.
            const int g = GetGValue(shot.Canvas->Pixels(x, y));
            light = light || g > 0xD8;
            shadow = shadow || (g < 0xB0 && g >= 0x90);
            black = black || g < 0x60;
        }
    EXPECT_TRUE(light);
    EXPECT_TRUE(shadow);
    EXPECT_FALSE(black);
}

}  // namespace

namespace {

TEST_F(StdTest, CaptionAcceleratorsClickAtOnce)
{
    auto* edit = Make<TEdit>(10, 10, 121, 21);
    auto* add = Make<TButton>(10, 50, 84, 41);
    add->SetCaption("&Add");
    auto* box = Make<TCheckBox>(10, 100, 97, 17);
    box->SetCaption("Appl&y");
    int clicks = 0, boxClicks = 0;
    add->OnClick = [&](TObject*) { ++clicks; };
    box->OnClick = [&](TObject*) { ++boxClicks; };
    ShowActive();
    edit->SetFocus();
    QTest::keyClick(WidgetOf(edit), Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(edit->Focused());  // a button's accelerator does not take the focus
    QTest::keyClick(WidgetOf(edit), Qt::Key_Y, Qt::AltModifier);
    EXPECT_EQ(boxClicks, 1);
    EXPECT_TRUE(box->GetChecked());
    EXPECT_TRUE(box->Focused());
    add->SetEnabled(false);
    QTest::keyClick(WidgetOf(box), Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
}

}  // namespace

namespace {

TEST_F(StdTest, ClosingTheMainFormOutsideTheLoopLeavesModalLoopsWorking)
{
    TForm* main = nullptr;
    Application->CreateForm(main);
    main->Show();
    main->Close();  // the application ends, but no loop was running
    EXPECT_TRUE(Application->GetTerminated());
    EXPECT_FALSE(main->GetVisible());
    // A modal box still waits for its answer.
    bool answered = false;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            answered = true;
            box->accept();
        }
    });
    Application->ShowException(EConvertError("still shown"));
    EXPECT_TRUE(answered);
    DestroyApplicationForms();
}

}  // namespace
