// The separation analysis window, opened from the main window and following its current
// dependency.
#include "UiTestKit.h"

#include "ui/FAnalysis.h"

#include <cmath>

class AnalysisWindow : public MainWindowTest {
protected:
    // The realistic set of the analysis: free mobilities 20, complex 5, K1 200 and K2 300 per M,
    // EOF 40, D 0.5 free and 0.3 complexed (in 1e-9 m^2/s), 0 to 50 mM.
    void EnterAnalysisSet(const char* K2 = "300")
    {
        for (TNumEdit* f : {F->NumD01, F->NumD02, F->NumD1, F->NumD2})
            f->SetVisible(true);
        Enter(F->NumU01, "20");
        Enter(F->NumU02, "20");
        Enter(F->NumU1, "5");
        Enter(F->NumU2, "5");
        Enter(F->NumK1, "200");
        Enter(F->NumK2, K2);
        Enter(F->NumEOF, "40");
        Enter(F->NumVoltage, "25");
        Enter(F->NumMaxC, "50");
        Enter(F->NumPoints, "100");
        Enter(F->NumD01, "0.5");
        Enter(F->NumD02, "0.5");
        Enter(F->NumD1, "0.3");
        Enter(F->NumD2, "0.3");
        Click(F->BtnApply);
    }

    TFrmAnalysis* Open()
    {
        Click(F->BtnAnalysis);
        return F->FrmAnalysis;
    }
};

TEST_F(AnalysisWindow, ShowsTheFiguresOfTheCurrentDependency)
{
    EnterAnalysisSet();
    Enter(F->EdtName, "realistic");
    Click(F->BtnApply);
    TFrmAnalysis* a = Open();
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->GetVisible());
    EXPECT_EQ(a->GetCaption(), "Separation analysis");
    EXPECT_EQ(a->LblDependency->GetCaption(), "realistic: <Analyte 1> and <Analyte 2> with <Selector>");
    ASSERT_TRUE(a->GetAnalysis());
    const SeparationAnalysis& s = *a->GetAnalysis();
    ASSERT_TRUE(s.WrenRowe);
    EXPECT_NEAR(*s.WrenRowe, 1 / std::sqrt(0.2 * 0.3), 1e-9);
    ASSERT_TRUE(s.RsOptimum);
    // The first choice is the numerical optimum; its figures are shown.
    EXPECT_DOUBLE_EQ(a->GetChosen(), s.RsOptimum->c);
    const std::string figures = a->LblFigures->GetCaption();
    EXPECT_NE(figures.find("Rs = " + FloatToStrF(*s.RsOptimum->Figures.Rs, ffFixed, 15, 2)), std::string::npos)
        << figures;
    EXPECT_NE(figures.find("Wren-Rowe c_opt = 4.082 mM"), std::string::npos) << figures;
    EXPECT_EQ(a->SrrOptimum->Count(), 1);
    EXPECT_EQ(a->SrrWrenRowe->Count(), 1);
    EXPECT_EQ(a->SrrBaseline->Count(), 2);
    EXPECT_GT(a->SrrResolution->Count(), 100);
    EXPECT_GT(a->SrrSignal->Count(), 100);
    QApplication::processEvents();
    a->SaveToPng(BuildPath("corvane_analysis.png"));
    EXPECT_TRUE(Errors.empty());
}

TEST_F(AnalysisWindow, FollowsApplyAndSelectAndTakesAClickOnTheResolutionChart)
{
    EnterAnalysisSet();
    TFrmAnalysis* a = Open();
    const double before = a->GetAnalysis()->RsOptimum->c;
    // An Apply of the current dependency updates the window.
    Enter(F->NumK2, "600");
    Click(F->BtnApply);
    ASSERT_TRUE(a->GetAnalysis()->RsOptimum);
    EXPECT_NE(a->GetAnalysis()->RsOptimum->c, before);
    EXPECT_NEAR(*a->GetAnalysis()->WrenRowe, 1 / std::sqrt(0.2 * 0.6), 1e-9);

    // A click on the chart chooses the concentration under the pointer.
    a->ChrtResolution->Repaint();
    QApplication::processEvents();
    TChartAxis* bottom = a->ChrtResolution->GetBottomAxis();
    const int x = bottom->CalcPosValue(20);
    const TRect plot = a->ChrtResolution->GetChartRect();
    QTest::mouseClick(W(a->ChrtResolution), Qt::LeftButton, Qt::NoModifier, QPoint(x, (plot.Top + plot.Bottom) / 2));
    QApplication::processEvents();
    EXPECT_NEAR(a->GetChosen(), 20, 50.0 / plot.Width() * 2);
    EXPECT_EQ(a->LblFigures->GetCaption().rfind("At " + FloatToStrF(a->GetChosen(), ffGeneral, 4, 0) + " mM", 0), 0u)
        << a->LblFigures->GetCaption();

    // Selecting another dependency shows that one; the default one has no migration at all.
    {
        TBoxAnswerer discard("No");   // the changes are not to be saved
        Click(F->BtnNew);
        EXPECT_EQ(discard.Texts, std::vector<std::string>{"Save changes to the project?"});
    }
    ClickRow(0);
    ASSERT_TRUE(a->GetAnalysis());
    EXPECT_FALSE(a->GetAnalysis()->RsOptimum);
    const std::string figures = a->LblFigures->GetCaption();
    EXPECT_NE(figures.find("t1 = \u2013 min"), std::string::npos) << figures;
    EXPECT_NE(figures.find("Largest Rs: \u2013"), std::string::npos) << figures;
    EXPECT_NE(a->LblWarnings->GetCaption().find("Analyte 1"), std::string::npos) << a->LblWarnings->GetCaption();
    EXPECT_TRUE(Errors.empty());
}

TEST_F(AnalysisWindow, InjectionAndWindowLowerThePlateNumbersAndEscapeCloses)
{
    EnterAnalysisSet();
    TFrmAnalysis* a = Open();
    const double c = a->GetChosen();
    const double n = *AnalyseAt(F->Records[0].Params, c).N1;
    Enter(a->NumInjection, "2");
    Enter(a->NumWindow, "-1");  // refused: lengths are not negative
    EXPECT_DOUBLE_EQ(a->NumWindow->GetAcceptedValue(), 0);
    AnalysisOptions o;
    o.InjectionPlug = 0.002;
    const PeakFigures with = AnalyseAt(F->Records[0].Params, a->GetChosen(), o);
    EXPECT_LT(*with.N1, n);
    EXPECT_NE(a->LblFigures->GetCaption().find("N1 = " + FloatToStrF(*with.N1, ffNumber, 15, 0)), std::string::npos)
        << a->LblFigures->GetCaption();

    W(a)->activateWindow();
    QTest::keyClick(W(a->NumInjection), Qt::Key_Escape);  // the field's own: reverts nothing new
    QTest::keyClick(W(a->BtnClose), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_FALSE(a->GetVisible());
    // No current dependency: the window says so.
    F->LstDependencies->SelectAll();
    ClickAndAnswer(F->BtnDelete, "Yes");
    Open();
    EXPECT_EQ(a->LblDependency->GetCaption(), "No dependency is selected.");
    EXPECT_FALSE(a->GetAnalysis());
}
