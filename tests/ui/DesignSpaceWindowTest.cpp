// The design-space window with a person's mouse and keys: opened from the analysis window,
// following its dependency, a condition chosen, hovered, clicked to choose the concentration and
// the condition, exported, and a long map shown in progress and cancelled.
#include "UiTestKit.h"

#include "project/DesignMapChart.h"
#include "tests/TempFolder.h"
#include "ui/FAnalysis.h"
#include "ui/FDesignSpace.h"

#include <QElapsedTimer>

#include <cmath>
#include <fstream>

class DesignSpaceWindow : public MainWindowTest {
protected:
    // Two weak acids (pKa 4.3 and 4.4) with a neutral cyclodextrin: the neutral forms bind with
    // 300 and 315 per M, the anions with 50 and 51 per M; EOF 50, 0 to 20 mM at pH 4.5.
    void EnterChiralPair()
    {
        const struct {
            TNumEdit* TFrmpHSetup::*Field;
            const char* Text;
        } acids[] = {{&TFrmpHSetup::NumpKa1, "4.3"},    {&TFrmpHSetup::NumpKa2, "4.4"},
                     {&TFrmpHSetup::NumU01Low, "0"},    {&TFrmpHSetup::NumU02Low, "0"},
                     {&TFrmpHSetup::NumU1Low, "0"},     {&TFrmpHSetup::NumU2Low, "0"},
                     {&TFrmpHSetup::NumK1Low, "300"},   {&TFrmpHSetup::NumK2Low, "315"},
                     {&TFrmpHSetup::NumU01High, "-24"}, {&TFrmpHSetup::NumU02High, "-24"},
                     {&TFrmpHSetup::NumU1High, "-6"},   {&TFrmpHSetup::NumU2High, "-6"},
                     {&TFrmpHSetup::NumK1High, "50"},   {&TFrmpHSetup::NumK2High, "51"}};
        WhenModalOpens([&](QWidget* w) {
            for (const auto& a : acids) {
                TNumEdit* f = D->*a.Field;
                QTest::mouseClick(W(f), Qt::LeftButton, Qt::NoModifier, Centre(f));
                f->SelectAll();
                QTest::keyClicks(W(f), a.Text);
            }
            if (!D->ChcbApply->GetChecked())
                QTest::mouseClick(W(D->ChcbApply), Qt::LeftButton, Qt::NoModifier, QPoint(5, 8));
            PressKey(w, Qt::Key_Escape);
        });
        Click(F->BtnpH);
        Enter(F->EdtAnalyte1, "(R)-profen");
        Enter(F->EdtAnalyte2, "(S)-profen");
        Enter(F->EdtSelector, "beta-CD");
        Enter(F->NumEOF, "50");
        Enter(F->NumMaxC, "20");
        Click(F->BtnApply);
        Enter(F->NumpH, "4.5");
        Click(F->BtnApply);
        ASSERT_TRUE(F->Records[0].Params.applypH);
    }

    // Waits until the map's computation ends (at most a minute).
    void WaitForMap()
    {
        QElapsedTimer t;
        t.start();
        while (M()->Computing() && t.elapsed() < 60000) QTest::qWait(10);
        ASSERT_FALSE(M()->Computing());
        QApplication::processEvents();
    }

    TFrmDesignSpace* OpenMap()
    {
        Click(F->BtnAnalysis);
        Click(F->FrmAnalysis->BtnDesignSpace);
        WaitForMap();
        W(M())->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(W(M())));
        return F->FrmDesignSpace;
    }

    TFrmDesignSpace* M() const { return F->FrmDesignSpace; }

    // The chart pixel of a concentration and a condition (in the units shown).
    QPoint Pixel(double C, double Y) const
    {
        const DesignMap& m = *M()->GetMap();
        return QPoint(M()->ChrtMap->GetBottomAxis()->CalcPosValue(MapAxisX(m, C)),
                      M()->ChrtMap->GetLeftAxis()->CalcPosValue(Y));
    }

    // Picks an item of a drop-down list with the keyboard.
    void Pick(TComboBox* Box, const UnicodeString& Item)
    {
        const int target = Box->Items->IndexOf(Item);
        ASSERT_GE(target, 0) << Item;
        QTest::mouseClick(W(Box), Qt::LeftButton, Qt::NoModifier, Centre(Box));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : W(Box), Qt::Key_Escape);
        while (Box->GetItemIndex() < target) QTest::keyClick(W(Box), Qt::Key_Down);
        while (Box->GetItemIndex() > target) QTest::keyClick(W(Box), Qt::Key_Up);
        QApplication::processEvents();
    }

    std::vector<std::string> Items(TComboBox* Box) const
    {
        std::vector<std::string> items;
        for (int i = 0; i < Box->Items->Count(); ++i) items.push_back(Box->Items->Get(i));
        return items;
    }
};

TEST_F(DesignSpaceWindow, OpensFromTheAnalysisWindowAndFollowsItsDependency)
{
    EnterChiralPair();
    TFrmDesignSpace* m = OpenMap();
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(m->GetVisible());
    EXPECT_EQ(m->GetCaption(), "Design space");
    EXPECT_EQ(m->GetOwner(), F);
    EXPECT_GE(m->GetLeft(), F->GetLeft() + F->GetWidth());
    ASSERT_NE(m->GetMap(), nullptr);
    EXPECT_EQ(m->GetMap()->nx(), 101);
    EXPECT_EQ(m->GetMap()->ny(), 101);
    EXPECT_EQ(Items(m->CbxCondition), (std::vector<std::string>{"pH", "Voltage", "Detector length"}));
    EXPECT_EQ(m->CbxCondition->GetText(), "pH");
    EXPECT_EQ(m->ChrtMap->GetLeftAxis()->GetTitle()->GetCaption(), "pH");
    // Around the dependency's pH of 4.5.
    EXPECT_EQ(Shown(m->NumFrom), "2.5");
    EXPECT_EQ(Shown(m->NumTo), "6.5");
    EXPECT_EQ(m->LblDependency->GetCaption(), "<unnamed>: (R)-profen and (S)-profen with beta-CD");
    // Without uncertainties there is no probability to show.
    const auto values = Items(m->CbxValue);
    EXPECT_EQ(values.front(), "Rs");
    EXPECT_EQ(std::count(values.begin(), values.end(), MapShownTitle(MapProbability)), 0);
    ASSERT_NE(m->GetRegion(), nullptr);
    EXPECT_TRUE(m->GetRegion()->Robust);
    EXPECT_NE(m->LblInfo->GetCaption().find("most robust at"), std::string::npos) << m->LblInfo->GetCaption();

    // The dependency changed and applied: the map follows; with the pH model off it offers no
    // pH any more.
    Enter(F->EdtName, "second");
    Click(F->BtnApply);
    WaitForMap();
    EXPECT_EQ(m->LblDependency->GetCaption().rfind("second: ", 0), 0u);
    WhenModalOpens([&](QWidget* w) {
        QTest::mouseClick(W(D->ChcbApply), Qt::LeftButton, Qt::NoModifier, QPoint(5, 8));
        PressKey(w, Qt::Key_Escape);
    });
    Click(F->BtnpH);
    Click(F->BtnApply);
    ASSERT_FALSE(F->Records[0].Params.applypH);
    WaitForMap();
    EXPECT_EQ(Items(m->CbxCondition), (std::vector<std::string>{"Voltage", "Detector length"}));
    EXPECT_EQ(m->ChrtMap->GetLeftAxis()->GetTitle()->GetCaption(), "Voltage / kV");
    EXPECT_EQ(m->GetMap()->Settings.Y, TMapCondition::Voltage);
    // A longer longest run in the analysis window maps again under it.
    Enter(F->FrmAnalysis->NumLongest, "7");
    WaitForMap();
    EXPECT_EQ(m->GetMap()->Settings.Analysis.LongestRun, 7 * 60);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(DesignSpaceWindow, ConditionHoverAndClickChooseTheConcentrationAndTheField)
{
    EnterChiralPair();
    TFrmDesignSpace* m = OpenMap();
    // The pointer goes to the window under it on the (small) offscreen screen: the map there,
    // the main window out of the way.
    F->SetLeft(4000);
    m->SetBounds(0, 0, m->GetWidth(), m->GetHeight());
    Pick(m->CbxCondition, "Voltage");
    WaitForMap();
    EXPECT_EQ(m->ChrtMap->GetLeftAxis()->GetTitle()->GetCaption(), "Voltage / kV");
    EXPECT_EQ(Shown(m->NumFrom), "5");
    EXPECT_EQ(Shown(m->NumTo), "30");
    // A narrower range and a coarser grid, typed.
    Enter(m->NumFrom, "10");
    Enter(m->NumNy, "41");
    WaitForMap();
    ASSERT_EQ(m->GetMap()->ny(), 41);
    EXPECT_DOUBLE_EQ(m->GetMap()->y.front(), 10000);
    // A grid the map refuses is not taken.
    Enter(m->NumNx, "1");
    EXPECT_EQ(m->NumNx->GetAcceptedValue(), 101);
    m->ChrtMap->Repaint();
    QApplication::processEvents();

    // Hovering over 10 mM and 20 kV (a grid point) shows its conditions and values.
    const QPoint at = Pixel(10, 20);
    QTest::mouseMove(W(m->ChrtMap), at);
    QApplication::processEvents();
    const std::string status = m->LblStatus->GetCaption();
    EXPECT_EQ(status.rfind("c = 10 mM, Voltage = 20 kV: Rs = ", 0), 0u) << status;
    EXPECT_NE(status.find(", t2 = "), std::string::npos);
    // Off the map, nothing.
    QTest::mouseMove(W(m->ChrtMap), QPoint(2, 2));
    QApplication::processEvents();
    EXPECT_EQ(m->LblStatus->GetCaption(), "");

    // A click chooses the concentration in the analysis window and types the voltage into the
    // main window's field, which waits for Apply.
    ASSERT_FALSE(ApplyIsRed());
    QTest::mouseClick(W(m->ChrtMap), Qt::LeftButton, Qt::NoModifier, at);
    QApplication::processEvents();
    const TRect plot = m->ChrtMap->GetChartRect();
    EXPECT_NEAR(F->FrmAnalysis->GetChosen(), 10, 20.0 / plot.Width());
    EXPECT_NEAR(F->NumVoltage->GetAcceptedValue(), 20, 20.0 / plot.Height());
    EXPECT_TRUE(ApplyIsRed());
    EXPECT_EQ(F->Records[0].Params.phys.Voltage, 25000);
    Click(F->BtnApply);
    EXPECT_NEAR(F->Records[0].Params.phys.Voltage, 20000, 20000.0 / plot.Height());
    // Apply maps again at the new voltage's dependency; the window keeps its settings.
    WaitForMap();
    EXPECT_EQ(m->GetMap()->Settings.Y, TMapCondition::Voltage);
    EXPECT_EQ(m->GetMap()->ny(), 41);

    // The pH, clicked, goes into the pH field.
    Pick(m->CbxCondition, "pH");
    WaitForMap();
    QTest::mouseClick(W(m->ChrtMap), Qt::LeftButton, Qt::NoModifier, Pixel(5, 4.2));
    QApplication::processEvents();
    EXPECT_NEAR(F->NumpH->GetAcceptedValue(), 4.2, 4.0 / plot.Height());
    EXPECT_TRUE(Errors.empty());
}

TEST_F(DesignSpaceWindow, ExportsTheGridAndThePictureInEveryFormat)
{
    EnterChiralPair();
    TFrmDesignSpace* m = OpenMap();
    TTempFolder dir;
    const std::string csv = dir.Path("map.csv");
    WhenModalOpens([&](QWidget* d) { TypeFileName(d, QString::fromStdString(csv)); });
    Click(m->BtnExportCsv);
    const std::string text = ReadFileBytes(csv);
    EXPECT_NE(text.find("c [mM]"), std::string::npos);
    // The header and a row per grid point.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + 101 * 101);

    const struct {
        const char* Name;
        int Filter;
        int Scale;  // PNG: pixels per chart pixel
        const char* Start;
    } formats[] = {{"map1.png", 1, 1, "\x89PNG"}, {"map2.png", 2, 2, "\x89PNG"}, {"map3.png", 3, 3, "\x89PNG"},
                   {"map.svg", 4, 0, nullptr},    {"map.pdf", 5, 0, "%PDF"}};
    for (const auto& f : formats) {
        SCOPED_TRACE(f.Name);
        const std::string path = dir.Path(f.Name);
        WhenModalOpens([&](QWidget* d) { TypeFileName(d, QString::fromStdString(path), f.Filter); });
        Click(m->BtnSavePicture);
        const std::string bytes = ReadFileBytes(path);
        ASSERT_FALSE(bytes.empty());
        if (f.Start) EXPECT_EQ(bytes.rfind(f.Start, 0), 0u);
        else EXPECT_NE(bytes.find("<svg"), std::string::npos);
        if (f.Scale > 0) {
            TBitmap png;
            png.LoadFromFile(path);
            EXPECT_EQ(png.GetWidth(), m->ChrtMap->GetWidth() * f.Scale);
            EXPECT_EQ(png.GetHeight(), m->ChrtMap->GetHeight() * f.Scale);
        }
    }
    EXPECT_TRUE(Errors.empty());
}

// With uncertain constants the map offers P(Rs >= 1.5), computed when first shown.
TEST_F(DesignSpaceWindow, ProbabilityOfBaselineSeparationWithUncertainties)
{
    EnterChiralPair();
    Uncertainties u;
    u.u[unK1] = 0.01;
    u.u[unK2] = 0.01;
    F->Document.SetUncertainties(0, u);
    TFrmDesignSpace* m = OpenMap();
    Enter(m->NumNx, "11");
    Enter(m->NumNy, "9");
    WaitForMap();
    const UnicodeString title = MapShownTitle(MapProbability);
    ASSERT_EQ(Items(m->CbxValue).back(), title);
    Pick(m->CbxValue, title);
    WaitForMap();
    ASSERT_NE(m->GetMap(), nullptr);
    EXPECT_EQ(m->ShownValue(), MapProbability);
    EXPECT_EQ(m->ChrtMap->GetColorScale()->GetTitle(), title);
    EXPECT_EQ(m->ChrtMap->GetColorScale()->GetMin(), 0);
    EXPECT_EQ(m->ChrtMap->GetColorScale()->GetMax(), 1);
    // The hover text names the probability, within [0, 1].
    const QPoint at = Pixel(10, 4.5);
    const std::string h = m->HoverText(at.x(), at.y());
    const size_t p = h.find(title + " = ");
    ASSERT_NE(p, std::string::npos) << h;
    const double value = std::stod(h.substr(p + title.size() + 3));
    EXPECT_GE(value, 0);
    EXPECT_LE(value, 1);
    EXPECT_TRUE(Errors.empty());
}

// A map that takes long shows its progress, keeps the window answering and stops at Cancel, at
// closing the window and at another dependency.
TEST_F(DesignSpaceWindow, LongMapShowsProgressAndCancels)
{
    EnterChiralPair();
    TFrmDesignSpace* m = OpenMap();
    auto startLong = [&] {
        Type(m->NumNx, "1001");
        QTest::keyClick(W(m->NumNx), Qt::Key_Return);
        QElapsedTimer t;
        t.start();
        while (m->Computing() && m->LblStatus->GetCaption().rfind("Computing the map: ", 0) != 0 && t.elapsed() < 10000)
            QTest::qWait(10);
        ASSERT_TRUE(m->Computing()) << "the map ended before it showed its progress";
        EXPECT_EQ(m->LblStatus->GetCaption().rfind("Computing the map: ", 0), 0u);
        EXPECT_TRUE(m->BtnCancel->GetEnabled());
    };
    for (int stop = 0; stop < 3; ++stop) {
        SCOPED_TRACE(stop);
        Enter(m->NumNy, stop % 2 == 0 ? "1001" : "1000");
        startLong();
        if (stop == 0) {
            Click(m->BtnCancel);
        } else if (stop == 1) {
            Click(m->BtnClose);
            EXPECT_FALSE(m->GetVisible());
        } else {
            // Another dependency: the map under way gives way to the new dependency's map.
            Enter(F->EdtName, "third");
            Click(F->BtnApply);
            EXPECT_EQ(m->LblDependency->GetCaption().rfind("third: ", 0), 0u);
            ASSERT_TRUE(m->Computing());
            Click(m->BtnCancel);
        }
        EXPECT_FALSE(m->Computing());
        EXPECT_EQ(m->GetMap(), nullptr);
        EXPECT_EQ(m->LblStatus->GetCaption(), "The map was cancelled.");
        EXPECT_FALSE(m->BtnCancel->GetEnabled());
        if (stop == 1) Click(F->FrmAnalysis->BtnDesignSpace);
        Enter(m->NumNx, "101");
        Enter(m->NumNy, "101");
        WaitForMap();
        EXPECT_NE(m->GetMap(), nullptr);
    }
    EXPECT_TRUE(Errors.empty());
}

// The map of the realistic pair as the README shows it.
TEST_F(DesignSpaceWindow, Screenshot)
{
    EnterChiralPair();
    Click(F->BtnAnalysis);
    Enter(F->FrmAnalysis->NumLongest, "4.5");
    Click(F->FrmAnalysis->BtnDesignSpace);
    WaitForMap();
    TFrmDesignSpace* m = M();
    F->SetLeft(4000);
    m->SetBounds(0, 0, m->GetWidth(), m->GetHeight());
    m->ChrtMap->Repaint();
    QTest::mouseMove(W(m->ChrtMap), Pixel(8, 4.6));
    QApplication::processEvents();
    m->SaveToPng(BuildPath("corvane_design_space.png"));
    m->ChrtMap->SaveToPng(BuildPath("corvane_design_map.png"));
    EXPECT_TRUE(Errors.empty());
}
