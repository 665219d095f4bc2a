// The chart's context menu as a person uses it: a right-click on the chart, the entries, the
// clipboard, Ctrl+C over the chart, and the chart and curve files through the save dialogs.
#include "UiTestKit.h"
#include "platform/Clipbrd.h"
#include "model/Sweep.h"
#include "project/CurvesText.h"
#include "tests/TempFolder.h"
#include "tests/platform/MenuAnswer.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

#include <sys/stat.h>

#include <algorithm>
#include <string>

class ChartMenu : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        // Two dependencies, the second one with a name that needs quoting.
        F->BtnAddClick(nullptr);
        F->Records[1].name = "Naprox\xE8ne, run 2";
        F->Sweep(1);
    }

    // Right-clicks the middle of the chart and chooses Entry.
    void Choose(const QString& Entry)
    {
        WhenMenuOpens([Entry](QMenu* m) { ChooseMenuItem(m, Entry); });
        TChart* c = F->ChrtDependencies;
        RightClick(c, c->GetWidth() / 2, c->GetHeight() / 2);
        QApplication::processEvents();
    }
    // Chooses Entry and answers its save dialog with Path and filter FilterIndex.
    void ChooseAndSave(const QString& Entry, const std::string& Path, int FilterIndex = 0)
    {
        WhenMenuOpens([Entry, Path, FilterIndex](QMenu* m) {
            WhenModalOpens([Path, FilterIndex](QWidget* d) { TypeFileName(d, QString::fromStdString(Path), FilterIndex); });
            ChooseMenuItem(m, Entry);
        });
        TChart* c = F->ChrtDependencies;
        RightClick(c, c->GetWidth() / 2, c->GetHeight() / 2);
        QApplication::processEvents();
    }
    static QImage ImageOf(TBitmap& B)
    {
        return QImage(reinterpret_cast<const uchar*>(B.ScanLine(0)), B.GetWidth(), B.GetHeight(), B.GetWidth() * 4,
                      QImage::Format_RGB32)
            .copy();
    }

    TTempFolder Dir;
};

TEST_F(ChartMenu, RightClickShowsTheEntriesAndTheShortcut)
{
    QStringList captions;
    QString shortcut;
    WhenMenuOpens([&](QMenu* m) {
        for (QAction* a : m->actions()) {
            if (a->isSeparator()) continue;
            captions << MenuCaption(a);
            // The shortcut text stands after a tab.
            if (MenuCaption(a) == QStringLiteral("Copy chart")) shortcut = a->text().section(QLatin1Char('\t'), 1);
        }
        m->close();
    });
    TChart* c = F->ChrtDependencies;
    RightClick(c, c->GetWidth() / 3, c->GetHeight() / 3);
    EXPECT_EQ(captions, (QStringList{"Undo Add", "Redo", "Copy chart", "Copy data", "Save chart as...",
                                     "Export curves as CSV..."}));
    EXPECT_EQ(shortcut, QStringLiteral("Ctrl+C"));
    EXPECT_TRUE(Errors.empty());
}

TEST_F(ChartMenu, CopyDataPutsTheCurvesOnTheClipboardAsTabbedRows)
{
    Clipboard()->SetAsText("old");
    Choose(QStringLiteral("Copy data"));
    const std::string text = Clipboard()->GetAsText();
    CurvesTextOptions o;
    o.GraphChoice = F->CbxGraph->GetItemIndex();
    o.Layout = CurvesLayout::Tabs;
    EXPECT_EQ(text, CurvesText(F->Records, o));
    // A header and a row per concentration of each dependency, fields apart by tabs, the name
    // unbroken.
    auto points = [](const DependencyRecord& r) {
        int n = 0;
        SweepRange(r.Params.cMin, r.Params.cMax, r.Params.points).ForEach([&](double) { ++n; });
        return n;
    };
    const int first = points(F->Records[0]), second = points(F->Records[1]);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + first + second);
    EXPECT_NE(text.find('\t'), std::string::npos);
    EXPECT_NE(text.find("Naprox\xC3\xA8ne, run 2"), std::string::npos);
    // A hidden dependency is left out.
    F->Records[0].SeriesSet.SetVisible(false);
    Choose(QStringLiteral("Copy data"));
    const std::string hidden = Clipboard()->GetAsText();
    EXPECT_EQ(std::count(hidden.begin(), hidden.end(), '\n'), 1 + second);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(ChartMenu, CopyChartAndCtrlCOverTheChartPutTheChartImageThere)
{
    TBitmap expected;
    F->ChrtDependencies->DrawImage(&expected);
    const QImage want = ImageOf(expected);
    Choose(QStringLiteral("Copy chart"));
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), want);

    // Ctrl+C while the pointer is over the chart and the list has the focus.
    Clipboard()->SetAsText("nothing");
    F->LstDependencies->SetFocus();
    QTest::mouseMove(W(F->ChrtDependencies), QPoint(50, 50));
    QTest::keyClick(W(F->LstDependencies), Qt::Key_C, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), want);

    // A field with the focus keeps Ctrl+C for its text.
    Clipboard()->SetAsText("nothing");
    F->NumK1->SetFocus();
    QTest::keyClick(W(F->NumK1), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(W(F->NumK1), Qt::Key_C, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_TRUE(QGuiApplication::clipboard()->image().isNull());
    EXPECT_EQ(Clipboard()->GetAsText(), Shown(F->NumK1));
    EXPECT_TRUE(Errors.empty());
}

TEST_F(ChartMenu, SaveChartWritesTheFormatOfTheFilterOrTheExtension)
{
    struct TCase {
        const char* Typed;
        int Filter;
        const char* Written;
        const char* Starts;
        int Scale;
    };
    const TCase cases[] = {
        {"plain", 1, "plain.png", "\x89PNG", 1},
        {"double", 2, "double.png", "\x89PNG", 2},
        {"triple", 3, "triple.png", "\x89PNG", 3},
        {"drawing", 4, "drawing.svg", "<?xml", 0},
        {"page", 5, "page.pdf", "%PDF", 0},
        {"typed.pdf", 1, "typed.pdf", "%PDF", 0},
    };
    for (const TCase& c : cases) {
        ChooseAndSave(QStringLiteral("Save chart as..."), Dir.Path(c.Typed), c.Filter);
        const std::string bytes = ReadFileBytes(Dir.Path(c.Written));
        EXPECT_EQ(bytes.substr(0, std::string(c.Starts).size()), c.Starts) << c.Typed;
        if (c.Scale > 0) {
            TBitmap b;
            b.LoadFromFile(Dir.Path(c.Written));
            EXPECT_EQ(b.GetWidth(), c.Scale * F->ChrtDependencies->GetWidth()) << c.Typed;
            EXPECT_EQ(b.GetHeight(), c.Scale * F->ChrtDependencies->GetHeight()) << c.Typed;
        }
    }
    EXPECT_TRUE(Errors.empty());
}

TEST_F(ChartMenu, ExportCurvesWritesTheCsvAndAFailedWriteKeepsTheOldFile)
{
    ChooseAndSave(QStringLiteral("Export curves as CSV..."), Dir.Path("curves"));
    CurvesTextOptions o;
    o.GraphChoice = F->CbxGraph->GetItemIndex();
    EXPECT_EQ(ReadFileBytes(Dir.Path("curves.csv")), CurvesText(F->Records, o));
    ChooseAndSave(QStringLiteral("Export curves as CSV..."), Dir.Path("all.csv"), 2);
    o.AllValues = true;
    EXPECT_EQ(ReadFileBytes(Dir.Path("all.csv")), CurvesText(F->Records, o));
    EXPECT_TRUE(Errors.empty());

    // A dependency whose sweep fails (points 0 is a division by zero): the export stops with an
    // error box before it writes, and the file chosen over an older one keeps the old bytes.
    const std::string before = ReadFileBytes(Dir.Path("curves.csv"));
    F->Records[1].Params.points = 0;
    WhenMenuOpens([&](QMenu* m) {
        WhenModalOpens([&](QWidget* d) {
            // The dialog asks whether to replace the file.
            WhenModalOpens([](QWidget* q) { ClickButton(q, QStringLiteral("Yes")); }, d);
            TypeFileName(d, QString::fromStdString(Dir.Path("curves.csv")));
        });
        ChooseMenuItem(m, QStringLiteral("Export curves as CSV..."));
    });
    RightClick(F->ChrtDependencies, 100, 100);
    QApplication::processEvents();
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_NE(Errors[0].find("Dependency 2"), std::string::npos) << Errors[0];
    EXPECT_EQ(ReadFileBytes(Dir.Path("curves.csv")), before);
}
