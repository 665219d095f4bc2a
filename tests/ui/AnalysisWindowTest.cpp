// The separation analysis window, opened from the main window and following its current
// dependency.
#include "UiTestKit.h"

#include "ui/FAnalysis.h"
#include "ui/FAnalysisInputs.h"

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
    // Beside the main window and in front of it.
    EXPECT_GE(a->GetLeft(), F->GetLeft() + F->GetWidth());
    EXPECT_EQ(a->GetPopupParent(), F);
    EXPECT_EQ(a->LblDependency->GetCaption(), "realistic: <Analyte 1> and <Analyte 2> with <Selector>");
    ASSERT_TRUE(a->GetAnalysis());
    const SeparationAnalysis& s = *a->GetAnalysis();
    ASSERT_TRUE(s.WrenRowe);
    EXPECT_NEAR(*s.WrenRowe, 1 / std::sqrt(0.2 * 0.3), 1e-9);
    ASSERT_TRUE(s.RsOptimum);
    // The first choice is the numerical optimum; its figures are shown.
    EXPECT_DOUBLE_EQ(a->GetChosen(), s.RsOptimum->c);
    const std::string figures = a->LblFigures->GetCaption();
    EXPECT_NE(figures.find("Rs\u00a0=\u00a0" + FloatToStrF(*s.RsOptimum->Figures.Rs, ffGeneral, 4, 0)), std::string::npos)
        << figures;
    EXPECT_NE(figures.find("Wren-Rowe c_opt\u00a0=\u00a04.082\u00a0mM"), std::string::npos) << figures;
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
    EXPECT_EQ(a->LblFigures->GetCaption().rfind("At " + FloatToStrF(a->GetChosen(), ffGeneral, 4, 0) + "\u00a0mM", 0), 0u)
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
    EXPECT_NE(figures.find("t1\u00a0=\u00a0\u2013\u00a0min"), std::string::npos) << figures;
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
    EXPECT_NE(a->LblFigures->GetCaption().find("N1\u00a0=\u00a0" + FloatToStrF(*with.N1, ffGeneral, 4, 0)), std::string::npos)
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

TEST_F(AnalysisWindow, RunAndDiffusionInputsEditTheDependencyThroughApply)
{
    EnterAnalysisSet();
    TFrmAnalysis* a = Open();
    EXPECT_EQ(a->LblDiffusion->GetCaption(), "D used [1E-9 m\u00b2/s]: free 0.5 (entered) and 0.5 (entered); "
                                             "complexes 0.3 (entered) and 0.3 (entered).");
    TWinControl* home = F->NumD01->GetParent();
    Click(a->BtnInputs);
    TFrmRunInputs* d = F->FrmRunInputs;
    EXPECT_EQ(d->GetPopupParent(), a);
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->GetVisible());
    EXPECT_EQ(d->GetCaption(), "Run and diffusion inputs");
    // The main window's own fields, each with its caption: charges (3), diffusion coefficients
    // (4), temperature, EOF slope, radius, pressure.
    EXPECT_EQ(d->LentCount(), 11 + 7);
    for (TNumEdit* f : {F->NumZ01, F->NumZCS, F->NumD01, F->NumD2, F->NumTemperature, F->NumEOFSlope, F->NumRadius,
                        F->NumPressure})
        EXPECT_TRUE(f->GetParent() == d && f->GetVisible()) << f->GetName();
    Enter(F->NumD01, "0.7");
    EXPECT_TRUE(ApplyIsRed());
    Enter(F->NumD02, "-1");  // the field's own rule refuses it
    EXPECT_DOUBLE_EQ(F->NumD02->GetAcceptedValue(), 0.5);
    Click(d->BtnApply);
    EXPECT_FALSE(ApplyIsRed());
    EXPECT_DOUBLE_EQ(F->Records[0].Params.phys.D01, 0.7e-9);
    EXPECT_DOUBLE_EQ(a->GetAnalysis()->Diffusion.D01, 0.7e-9);
    EXPECT_EQ(a->LblDiffusion->GetCaption().rfind("D used [1E-9 m\u00b2/s]: free 0.7 (entered)", 0), 0u);
    // A charge locks the free coefficient, which then follows from mobility and charge.
    Enter(F->NumZ01, "1");
    EXPECT_TRUE(F->NumD01->GetReadOnly());
    Click(d->BtnApply);
    EXPECT_NE(a->LblDiffusion->GetCaption().find("(from mobility and charge)"), std::string::npos);
    // Closing hands the fields back where they were.
    Click(d->BtnClose);
    EXPECT_FALSE(d->GetVisible());
    EXPECT_EQ(d->LentCount(), 0);
    EXPECT_EQ(F->NumD01->GetParent(), home);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(AnalysisWindow, TimeLimitShadingAndTheChosenConcentration)
{
    EnterAnalysisSet();
    TFrmAnalysis* a = Open();
    ASSERT_EQ(a->SrrChosen->Count(), 1);
    EXPECT_DOUBLE_EQ(a->SrrChosen->XValue(0), a->GetChosen());
    EXPECT_EQ(a->SrrTooLong->Count(), 0);
    EXPECT_EQ(a->SrrPeak1->GetTitle(), "<Analyte 1>");
    EXPECT_GT(a->SrrPeak2->Count(), 100);
    // 2.5 min: analyte 2 takes longer from 4.092 mM on (see the model's tests).
    Enter(a->NumLongest, "2.5");
    EXPECT_GT(a->SrrTooLong->Count(), 100);
    EXPECT_GE(a->SrrTooLong->MinXValue(), 4.09);
    ASSERT_TRUE(a->GetAnalysis()->RsOptimum);
    EXPECT_NEAR(a->GetAnalysis()->RsOptimum->c, 4.0924092409240946, 1e-6);
    EXPECT_DOUBLE_EQ(a->SrrChosen->XValue(0), a->GetChosen());  // the chosen concentration stays
    EXPECT_NE(a->LblWarnings->GetCaption().find("A run takes longer than 2.5 min"), std::string::npos)
        << a->LblWarnings->GetCaption();
    Enter(a->NumLongest, "0");
    EXPECT_EQ(a->SrrTooLong->Count(), 0);
    Enter(a->NumLongest, "2.5");
    Enter(a->NumLongest, "");  // blank: no limit again, and the field stays blank
    EXPECT_EQ(a->SrrTooLong->Count(), 0);
    EXPECT_EQ(a->NumLongest->GetText(), "");
    EXPECT_FALSE(a->NumLongest->HasValue());
    EXPECT_TRUE(Errors.empty());
}

TEST_F(AnalysisWindow, FiguresHaveFourDigitsOnceEachAndTheClosedFormBesideWrenRowe)
{
    EnterAnalysisSet();
    Enter(F->NumU2, "5.5");
    Click(F->BtnApply);
    TFrmAnalysis* a = Open();
    const std::string figures = a->LblFigures->GetCaption();
    // c* = 3.450 mM for complex mobilities 5 and 5.5 (see the model's tests).
    EXPECT_NE(figures.find("largest du at c*\u00a0=\u00a03.45\u00a0mM"), std::string::npos) << figures;
    std::vector<std::string> lines;
    for (std::size_t at = 0, next; at <= figures.size(); at = next + 1) {
        next = figures.find('\n', at);
        if (next == std::string::npos) next = figures.size();
        lines.push_back(figures.substr(at, next - at));
    }
    for (std::size_t i = 0; i < lines.size(); ++i)
        for (std::size_t j = i + 1; j < lines.size(); ++j) EXPECT_NE(lines[i], lines[j]);
    const std::string rs = FloatToStrF(*a->GetAnalysis()->RsOptimum->Figures.Rs, ffGeneral, 4, 0);
    EXPECT_NE(figures.find("Rs\u00a0=\u00a0" + rs), std::string::npos) << figures;
    EXPECT_LE(rs.size(), 5u);
    // The model's assumptions are the figures' help.
    EXPECT_EQ(a->LblFigures->GetHint(), AnalysisAssumptions);
    EXPECT_TRUE(a->LblFigures->GetShowHint());
    for (const char* assumed : {"1:1", "fast exchange", "Joule", "electromigration dispersion", "wall adsorption"})
        EXPECT_NE(std::string(AnalysisAssumptions).find(assumed), std::string::npos) << assumed;
    EXPECT_TRUE(Errors.empty());
}

// The main window may close while its fields are lent: each goes with one window, once.
TEST_F(AnalysisWindow, TheMainWindowClosesWithItsInputsLent)
{
    TFrmAnalysis* a = Open();
    Click(a->BtnInputs);
    ASSERT_TRUE(F->FrmRunInputs && F->FrmRunInputs->GetVisible());
    EXPECT_EQ(F->NumRadius->GetParent(), F->FrmRunInputs);
    delete F;
    F = nullptr;
    QApplication::processEvents();
    EXPECT_TRUE(Errors.empty());
}

// Constants of 1E4 and 1.2E4 per mM (1E7 and 1.2E7 per M): the Rs chart's axis is lg c by itself,
// and linear when the box is cleared.
TEST_F(AnalysisWindow, HighConstantsGetALogarithmicAxis)
{
    EnterAnalysisSet("12000000");
    Enter(F->NumK1, "10000000");
    Click(F->BtnApply);
    TFrmAnalysis* a = Open();
    ASSERT_TRUE(a->GetAnalysis() && a->GetAnalysis()->LogScale);
    EXPECT_EQ(a->ChcbLog->GetState(), cbGrayed);
    EXPECT_EQ(a->ChrtResolution->GetBottomAxis()->GetTitle()->GetCaption(), "lg(selector concentration / mM)");
    EXPECT_NEAR(a->SrrResolution->MaxXValue(), std::log10(50.0), 1e-12);
    EXPECT_NEAR(a->SrrChosen->XValue(0), std::log10(a->GetChosen()), 1e-12);
    // The largest Rs lies near 1.1E-4 mM, a little above 1 / sqrt(K1 K2) = 9.1E-5 mM.
    EXPECT_LT(a->GetChosen(), 0.01);
    a->ChcbLog->SetState(cbUnchecked);
    EXPECT_FALSE(a->GetAnalysis()->LogScale);
    EXPECT_EQ(a->ChrtResolution->GetBottomAxis()->GetTitle()->GetCaption(), "Selector concentration / mM");
    a->ChcbLog->SetState(cbChecked);
    EXPECT_TRUE(a->GetAnalysis()->LogScale);
    EXPECT_TRUE(Errors.empty());
}
