// The windows as a desktop shows them: at twice the device pixels, under a dark theme, at their
// least size, with the selected curves on top, and with the boxes they open.
#include "UiTestKit.h"

#include "bevels/LabeledBevels.h"
#include "platform/ListCtrls.h"
#include "project/Palette.h"
#include "tests/TempFolder.h"
#include "ui/FAnalysis.h"

#include <QAccessible>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QProcess>
#include <QProcessEnvironment>

#include <cstdlib>
#include <map>

namespace {

// The window's controls, depth first.
void AllControls(TWinControl* Parent, std::vector<TControl*>& Out)
{
    for (int i = 0; i < Parent->ControlCount(); ++i) {
        TControl* c = Parent->Controls(i);
        Out.push_back(c);
        if (auto* w = dynamic_cast<TWinControl*>(c))
            AllControls(w, Out);
    }
}

bool Shows(const TControl* C)
{
    for (const TControl* c = C; c != nullptr; c = c->GetParent())
        if (!c->GetVisible())
            return false;
    return true;
}

// Bounds of a control in its form's client coordinates.
TRect InForm(const TControl* C)
{
    TRect r = C->GetBoundsRect();
    for (const TWinControl* p = C->GetParent(); p != nullptr && p->GetParent() != nullptr; p = p->GetParent()) {
        r.Left += p->GetLeft();
        r.Right += p->GetLeft();
        r.Top += p->GetTop();
        r.Bottom += p->GetTop();
    }
    return r;
}

QImage ImageOf(TWinControl* Form)
{
    TBitmap b;
    Form->DrawScreenImage(&b);
    QImage image(b.GetWidth(), b.GetHeight(), QImage::Format_RGB32);
    for (int y = 0; y < b.GetHeight(); ++y)
        std::copy_n(b.ScanLine(y), b.GetWidth(), reinterpret_cast<std::uint32_t*>(image.scanLine(y)));
    return image;
}

TColor ColorAt(const QImage& I, int X, int Y) { return PixelToColor(I.pixel(X, Y)); }

// The background of a part of an image (its commonest colour) and the colour that stands out
// most from it among those of at least MinPixels pixels (the text's full-coverage ink).
struct TInk {
    TColor Back = clNone;
    TColor Ink = clNone;
    double Contrast = 1;
};

TInk InkOf(const QImage& I, const TRect& R, int MinPixels = 3)
{
    std::map<TColor, int> count;
    for (int y = std::max(0, R.Top); y < std::min(I.height(), R.Bottom); ++y)
        for (int x = std::max(0, R.Left); x < std::min(I.width(), R.Right); ++x)
            ++count[ColorAt(I, x, y)];
    TInk ink;
    int most = 0;
    for (const auto& [c, n] : count)
        if (n > most)
            most = n, ink.Back = c;
    for (const auto& [c, n] : count)
        if (n >= MinPixels && ContrastRatio(c, ink.Back) > ink.Contrast)
            ink.Contrast = ContrastRatio(c, ink.Back), ink.Ink = c;
    return ink;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Twice the device pixels

// The main window with the default dependency and a second one selected, saved where the
// parent test asks; run in a process of its own whose screen scale the parent chooses.
TEST_F(MainWindowTest, ScreenshotForAScaleTest)
{
    const char* out = std::getenv("CORVANE_SCREENSHOT");
    if (out == nullptr)
        GTEST_SKIP() << "run by MainWindowTest.TwiceTheScaleIsTheSameWindowDrawnSharp";
    Click(F->BtnAdd);
    Enter(F->NumK2, "700");
    Click(F->BtnApply);
    ClickRow(0, Qt::ControlModifier);
    QApplication::processEvents();
    F->SaveToPng(out);
}

namespace {
QImage Screenshot(const TTempFolder& Folder, const char* Scale)
{
    const std::string file = Folder.Path(std::string("window-") + Scale + ".png");
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_SCALE_FACTOR", Scale);
    env.insert("CORVANE_SCREENSHOT", QString::fromStdString(file));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=MainWindowTest.ScreenshotForAScaleTest"});
    EXPECT_TRUE(child.waitForFinished(120000));
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
    return QImage(QString::fromStdString(file)).convertToFormat(QImage::Format_RGB32);
}
}  // namespace

// At a scale of 2 the window is the 1x window with twice the pixels in each direction, drawn
// anew: flat areas keep their colours, lines one pixel wide become two device pixels of their
// own colour (no blur), and text has detail inside the 2 x 2 blocks (not an enlarged copy).
TEST_F(MainWindowTest, TwiceTheScaleIsTheSameWindowDrawnSharp)
{
    // The toolkit's own widgets (fields, buttons, the graph box) draw their frames as the style
    // has them at each scale; the test is about the windows' own drawing around them.
    std::vector<TControl*> all;
    AllControls(F, all);
    std::vector<TRect> native;
    for (TControl* c : all)
        if (dynamic_cast<TCustomEdit*>(c) != nullptr || dynamic_cast<TButton*>(c) != nullptr ||
            dynamic_cast<TComboBox*>(c) != nullptr || dynamic_cast<TCheckBox*>(c) != nullptr) {
            const TRect r = InForm(c);
            native.push_back(TRect(r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom + 2));
        }
    auto isNative = [&](int X, int Y) {
        return std::any_of(native.begin(), native.end(),
                           [&](const TRect& r) { return X >= r.Left && X < r.Right && Y >= r.Top && Y < r.Bottom; });
    };
    const TTempFolder folder("corvane-hidpi");
    const QImage one = Screenshot(folder, "1");
    const QImage two = Screenshot(folder, "2");
    ASSERT_FALSE(one.isNull());
    ASSERT_EQ(two.width(), 2 * one.width());
    ASSERT_EQ(two.height(), 2 * one.height());
    two.save(QString::fromStdString(BuildPath("corvane_start_2x.png")));

    auto block = [&](int X, int Y, QRgb& C) {
        C = two.pixel(2 * X, 2 * Y);
        return two.pixel(2 * X + 1, 2 * Y) == C && two.pixel(2 * X, 2 * Y + 1) == C && two.pixel(2 * X + 1, 2 * Y + 1) == C;
    };
    long flat = 0, flatSame = 0, lines = 0, linesSharp = 0, detailed = 0;
    for (int y = 1; y + 1 < one.height(); ++y)
        for (int x = 1; x + 1 < one.width(); ++x) {
            const QRgb c = one.pixel(x, y);
            bool same = true;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    same = same && one.pixel(x + dx, y + dy) == c;
            QRgb b;
            const bool uniform = block(x, y, b);
            detailed += !uniform;
            if (same) {
                ++flat;
                flatSame += uniform && b == c;
                continue;
            }
            // A pixel of a line one pixel wide (longer than the strokes of letters): alike 4 pixels
            // along it both ways, different on both sides across.
            auto along = [&](int Dx, int Dy) {
                for (int k = -4; k <= 4; ++k) {
                    const int px = x + k * Dx, py = y + k * Dy;
                    if (px < 0 || py < 0 || px >= one.width() || py >= one.height() || one.pixel(px, py) != c)
                        return false;
                }
                return true;
            };
            const bool horizontal = along(1, 0) && one.pixel(x, y - 1) != c && one.pixel(x, y + 1) != c;
            const bool vertical = along(0, 1) && one.pixel(x - 1, y) != c && one.pixel(x + 1, y) != c;
            if ((horizontal || vertical) && !isNative(x, y)) {
                ++lines;
                linesSharp += uniform && b == c;
            }
        }
    ASSERT_GT(flat, 100000);
    EXPECT_GT(double(flatSame) / flat, 0.995) << flatSame << " of " << flat;
    ASSERT_GT(lines, 1000);
    // (Strokes of large text count as lines too: the few that are drawn anew with detail.)
    EXPECT_GT(double(linesSharp) / lines, 0.9) << linesSharp << " of " << lines;
    // Text, markers and curves drawn at the device's pixels: thousands of blocks with detail.
    EXPECT_GT(detailed, 3000);
}

// ---------------------------------------------------------------------------------------------
// A dark theme

namespace {
QPalette DarkPalette()
{
    QPalette p;
    const QColor window(53, 53, 53), base(35, 35, 35), text(235, 235, 235);
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Window, window);
        p.setColor(group, QPalette::WindowText, text);
        p.setColor(group, QPalette::Base, base);
        p.setColor(group, QPalette::AlternateBase, window);
        p.setColor(group, QPalette::Text, text);
        p.setColor(group, QPalette::Button, window);
        p.setColor(group, QPalette::ButtonText, text);
        p.setColor(group, QPalette::Highlight, QColor(38, 79, 120));
        p.setColor(group, QPalette::HighlightedText, QColor(255, 255, 255));
        p.setColor(group, QPalette::ToolTipBase, base);
        p.setColor(group, QPalette::ToolTipText, text);
        p.setColor(group, QPalette::Light, QColor(90, 90, 90));
        p.setColor(group, QPalette::Midlight, QColor(70, 70, 70));
        p.setColor(group, QPalette::Mid, QColor(45, 45, 45));
        p.setColor(group, QPalette::Dark, QColor(30, 30, 30));
        p.setColor(group, QPalette::Shadow, QColor(10, 10, 10));
    }
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(128, 128, 128));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(128, 128, 128));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(128, 128, 128));
    return p;
}

class DarkThemeTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        Light = QApplication::palette();
        QApplication::setPalette(DarkPalette());
        MainWindowTest::SetUp();
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        QApplication::setPalette(Light);
        ResetSystemColors();  // the tests' classic colours
    }
    QPalette Light;

    // Every text of Form (captions, labels, buttons, fields, list rows) against its background.
    void ExpectReadable(TWinControl* Form, const char* Name)
    {
        SCOPED_TRACE(Name);
        QApplication::processEvents();
        const QImage image = ImageOf(Form);
        image.save(QString::fromStdString(BuildPath((std::string("dark_") + Name + ".png").c_str())));
        std::vector<TControl*> all;
        AllControls(Form, all);
        int checked = 0;
        for (TControl* c : all) {
            if (!Shows(c))
                continue;
            const bool text = dynamic_cast<TCustomLabel*>(c) != nullptr || dynamic_cast<TButton*>(c) != nullptr ||
                              dynamic_cast<TCheckBox*>(c) != nullptr || dynamic_cast<TCustomEdit*>(c) != nullptr ||
                              dynamic_cast<TComboBox*>(c) != nullptr;
            if (!text || c->GetText().empty())
                continue;
            SCOPED_TRACE(c->GetName() + " \"" + c->GetText() + "\"");
            TRect r = InForm(c);
            if (dynamic_cast<TCustomEdit*>(c) != nullptr)  // inside the frame
                r = TRect(r.Left + 3, r.Top + 3, r.Right - 3, r.Bottom - 3);
            const TInk ink = InkOf(image, r, 1);
            EXPECT_GE(ink.Contrast, 4.5) << std::hex << ink.Ink << " on " << ink.Back;
            ++checked;
        }
        EXPECT_GT(checked, 3);
        // The plot stays a light figure with dark text.
        for (TControl* c : all)
            if (auto* chart = dynamic_cast<TChart*>(c); chart != nullptr && Shows(chart)) {
                const TInk ink = InkOf(image, InForm(chart));
                EXPECT_EQ(ink.Back, clWhite) << chart->GetName();
                EXPECT_GE(ink.Contrast, 7.0) << chart->GetName();
            }
    }
};
}  // namespace

TEST_F(DarkThemeTest, EveryTextOfTheWindowsReadsWell)
{
    // Two dependencies, the second hidden, both selected; a field modified but not applied.
    Click(F->BtnAdd);
    Enter(F->EdtName, "hidden one");
    Click(F->BtnApply);
    Click(F->BtnHide);
    ClickRow(0);
    ClickRow(1, Qt::ShiftModifier);
    Enter(F->NumK2, "650");
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(53, 53, 53)) << "the system colours follow the palette";
    ExpectReadable(F, "main");

    // The list's rows: shown, hidden, each selected and not.
    const QImage image = ImageOf(F);
    const TRect list = InForm(F->LstDependencies);
    for (int row = 0; row < F->LstDependencies->GetCount(); ++row)
        for (bool selected : {true, false}) {
            SCOPED_TRACE("row " + std::to_string(row) + (selected ? " selected" : ""));
            if (F->LstDependencies->GetSelected(row) != selected)
                ClickRow(row, Qt::ControlModifier);
            const QImage now = ImageOf(F);
            TRect r = F->LstDependencies->ItemRect(row);
            r = TRect(list.Left + r.Left, list.Top + r.Top, list.Left + r.Right, list.Top + r.Bottom);
            const TInk ink = InkOf(now, TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1));
            // Hidden rows are dimmed on purpose, but stay legible.
            EXPECT_GE(ink.Contrast, F->Records[row].SeriesSet.IsVisible() ? 4.5 : 3.0) << std::hex << ink.Ink << " on " << ink.Back;
        }
    (void)image;

    Click(F->BtnAnalysis);
    ASSERT_NE(F->FrmAnalysis, nullptr);
    ExpectReadable(F->FrmAnalysis, "analysis");
    D->Show();
    ExpectReadable(D, "ph");
    F->SaveToPng(BuildPath("corvane_dark.png"));
}

// ---------------------------------------------------------------------------------------------
// Size, order and boxes

// At its least size nothing of the main window overlaps or leaves its panel, and the window
// cannot be made smaller.
TEST_F(MainWindowTest, AtItsLeastSizeNothingOverlaps)
{
    const int minW = F->Constraints->GetMinWidth(), minH = F->Constraints->GetMinHeight();
    ASSERT_GT(minW, 0);
    ASSERT_GT(minH, 0);
    F->SetBounds(F->GetLeft(), F->GetTop(), 800, 500);
    EXPECT_EQ(F->GetWidth(), std::max(800, minW));
    EXPECT_EQ(F->GetHeight(), std::max(500, minH));
    EXPECT_GE(W(F)->minimumWidth(), minW);
    F->SetBounds(F->GetLeft(), F->GetTop(), minW, minH);
    QApplication::processEvents();
    std::vector<TControl*> all;
    AllControls(F, all);
    for (TControl* a : all) {
        if (!Shows(a) || a->GetWidth() == 0 || a->GetHeight() == 0)
            continue;
        const TWinControl* p = a->GetParent();
        EXPECT_TRUE(a->GetLeft() >= 0 && a->GetTop() >= 0 && a->GetLeft() + a->GetWidth() <= p->GetWidth() &&
                    a->GetTop() + a->GetHeight() <= p->GetHeight())
            << a->GetName() << " leaves " << p->GetName();
        for (TControl* b : all) {
            // (A caption's label, without a name, lies inside its frame.)
            if (b == a || b->GetParent() != p || !Shows(b) || a->GetName() > b->GetName() || a->GetName().empty() ||
                b->GetName().empty())
                continue;
            const TRect x = a->GetBoundsRect(), y = b->GetBoundsRect();
            const bool overlap = x.Left < y.Right && y.Left < x.Right && x.Top < y.Bottom && y.Top < x.Bottom;
            EXPECT_FALSE(overlap) << a->GetName() << " and " << b->GetName();
        }
    }
    // The list's commands all show.
    for (TButton* b : {F->BtnNew, F->BtnLoad, F->BtnSave, F->BtnAnalysis, F->BtnMeasurements, F->BtnHide, F->BtnDelete})
        EXPECT_LE(b->GetTop() + b->GetHeight(), F->PnlList->GetHeight()) << b->GetName();
}

// Four dependencies whose curves lie on one another: the selected one's markers are the ones
// seen, wherever it stands in the list.
TEST_F(MainWindowTest, SelectedCurvesAreDrawnAboveTheOthers)
{
    for (int i = 0; i < 3; ++i)
        Click(F->BtnAdd);
    ASSERT_EQ(F->Records.size(), 4u);
    for (int selected : {0, 2, 3}) {
        SCOPED_TRACE(selected);
        ClickRow(selected);
        TBitmap image;
        F->ChrtDependencies->DrawImage(&image);
        const TPointSeries* t1 = F->Records[selected].SeriesSet.t1Series;
        const TColor strong = PaletteColor(unsigned(selected), true);
        ASSERT_EQ(t1->GetSeriesColor(), strong);
        int seen = 0;
        for (int i = 1; i + 1 < t1->Count(); ++i) {
            const int x = F->ChrtDependencies->GetBottomAxis()->CalcPosValue(t1->XValue(i));
            const int y = F->ChrtDependencies->GetLeftAxis()->CalcPosValue(t1->YValue(i));
            seen += image.GetCanvas()->GetPixel(x, y) == strong;
        }
        EXPECT_EQ(seen, t1->Count() - 2);
    }
}

// The question of Delete opens centred on the main window. Where a virtual X display can be
// started, the test runs there (a real window system places windows; the off-screen one does
// not misplace them).
TEST_F(MainWindowTest, BoxesOpenCentredOnTheirWindow)
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen") && QFile::exists("/usr/bin/xvfb-run")) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        // Under the sanitizers the X libraries are not ours to check: libxkbcommon-x11 hands
        // strndup a string without its end (strict string checks), and the session bus library
        // keeps a buffer to the end (leak checks; the off-screen runs check ours).
        if (env.contains("ASAN_OPTIONS"))
            env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":strict_string_checks=0:detect_leaks=0");
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start("/usr/bin/xvfb-run", {"-a", "-s", "-screen 0 1600x1000x24", QCoreApplication::applicationFilePath(),
                                          "--gtest_filter=MainWindowTest.BoxesOpenCentredOnTheirWindow"});
        ASSERT_TRUE(child.waitForFinished(120000));
        EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
        return;
    }
    F->SetBounds(40, 30, 1156, 679);
    QApplication::processEvents();
    QPoint boxCentre, windowCentre;
    WhenModalOpens([&](QWidget* w) {
        boxCentre = w->frameGeometry().center();
        windowCentre = W(F)->frameGeometry().center();
        ClickButton(w, "No");
    });
    ClickRow(0);
    Click(F->BtnDelete);
    EXPECT_LE((boxCentre - windowCentre).manhattanLength(), 4) << boxCentre.x() << "," << boxCentre.y() << " vs "
                                                                << windowCentre.x() << "," << windowCentre.y();
}

// Only the field with the focus shows a text caret, also in fields that had the focus before
// and whose accepted texts the program then selected (Select fills them).
TEST_F(MainWindowTest, OnlyTheFocusedFieldShowsACaret)
{
    // The tallest column of ink in a field: a caret is at least 11 pixels, taller than any
    // digit or letter.
    auto tallestInk = [](TCustomEdit* E) {
        const QImage image = W(E)->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const TColor back = PixelToColor(image.pixel(image.width() - 3, image.height() / 2));
        int tallest = 0;
        for (int x = 2; x < image.width() - 2; ++x)
            for (int y = 2, run = 0; y < image.height() - 2; ++y) {
                run = ContrastRatio(PixelToColor(image.pixel(x, y)), back) > 3 ? run + 1 : 0;
                tallest = std::max(tallest, run);
            }
        return tallest;
    };
    // Fields edited and left, then filled by the program (Select shows another dependency).
    Click(F->BtnAdd);
    for (TCustomEdit* e : std::initializer_list<TCustomEdit*>{F->EdtName, F->NumU01, F->NumU02, F->NumK1, F->NumEOF})
        Enter(e, "3");
    Click(F->BtnApply);
    ClickRow(0);
    ClickRow(1);
    Type(F->NumK2, "6");
    EXPECT_GE(tallestInk(F->NumK2), 11) << "the focused field's caret";  // the test sees carets
    std::vector<TControl*> all;
    AllControls(F, all);
    int fields = 0;
    for (TControl* c : all) {
        auto* e = dynamic_cast<TCustomEdit*>(c);
        if (e == nullptr || !Shows(e) || e == F->NumK2)
            continue;
        ++fields;
        EXPECT_LT(tallestInk(e), 11) << e->GetName();
    }
    EXPECT_GT(fields, 10);
}

// A screen reader reads every control of the main window by a name from its caption, and the
// list of dependencies as rows with the current one.
TEST_F(MainWindowTest, ScreenReadersReadCaptionsAndRows)
{
    Click(F->BtnAdd);
    Enter(F->EdtName, "second");
    Click(F->BtnApply);
    ClickRow(1);
    auto name = [](const TWinControl* C) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(W(C));
        return a != nullptr ? a->text(QAccessible::Name).toStdString() : std::string("(none)");
    };
    const std::pair<TWinControl*, const char*> named[] = {
        {F->NumU01, "Free mobility [.1E+9]"}, {F->NumK2, "Cplx constant [.1M]"},
        {F->NumCapillary, "Capillary length [cm]"}, {F->NumPoints, "Data points"},
        {F->EdtAnalyte1, "Analyte 1"},
        {F->BtnApply, "Apply"}, {F->BtnAnalysis, "Analysis..."}, {F->LstDependencies, "Dependencies"},
    };
    for (const auto& [control, text] : named)
        EXPECT_EQ(name(control), text) << control->GetName();
    // (On Linux Qt reads a combo box by its value and its caption apart.)
    EXPECT_EQ(W(F->CbxGraph)->accessibleName().toStdString(), "Show graph");
    // Every control one can reach with Tab has a name.
    std::vector<TWinControl*> tabs;
    F->GetTabOrderList(tabs);
    for (TWinControl* c : tabs) {
        if (Shows(c)) {
            EXPECT_FALSE(name(c).empty()) << c->GetName();
        }
    }

    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(W(F->LstDependencies));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    ASSERT_EQ(list->childCount(), 2);
    EXPECT_EQ(list->child(0)->text(QAccessible::Name).toStdString(), "<unnamed>");
    EXPECT_EQ(list->child(1)->text(QAccessible::Name).toStdString(), "second");
    EXPECT_EQ(list->child(1)->role(), QAccessible::ListItem);
    EXPECT_EQ(list->indexOfChild(list->child(1)), 1);
    ASSERT_NE(list->focusChild(), nullptr);
    EXPECT_EQ(list->focusChild()->text(QAccessible::Name).toStdString(), "second");
    EXPECT_TRUE(list->child(1)->state().active);
    EXPECT_FALSE(list->child(0)->state().active);
    ClickRow(0, Qt::ControlModifier);
    EXPECT_TRUE(list->child(0)->state().selected);
    EXPECT_EQ(list->child(0)->parent(), list);
}
