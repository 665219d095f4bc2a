// The uncertainties window and the band they give in the analysis window: typed values, values
// from the fit, undo, and the window following the main window's dependency.
#include "UiTestKit.h"

#include "ui/FAnalysis.h"
#include "ui/FUncertainties.h"

class UncertaintiesWindow : public MainWindowTest {
protected:
    // The analysis tests' pair: K 200 and 300 per M, complex mobilities 5, free 20.
    TFrmAnalysis* OpenAnalysis()
    {
        for (TNumEdit* f : {F->NumD01, F->NumD02, F->NumD1, F->NumD2})
            f->SetVisible(true);
        const std::pair<TNumEdit*, const char*> inputs[] = {
            {F->NumU01, "20"}, {F->NumU02, "20"}, {F->NumU1, "5"},  {F->NumU2, "5"},
            {F->NumK1, "200"}, {F->NumK2, "300"}, {F->NumEOF, "40"}, {F->NumVoltage, "25"},
            {F->NumMaxC, "50"}, {F->NumPoints, "100"}};
        for (const auto& [field, text] : inputs)
            Enter(field, text);
        Click(F->BtnApply);
        Click(F->BtnAnalysis);
        return F->FrmAnalysis;
    }
    TFrmUncertainties* Open(TFrmAnalysis* A)
    {
        Click(A->BtnUncertainties);
        return F->FrmUncertainties;
    }
};

TEST_F(UncertaintiesWindow, TypedValuesGiveTheBandAndUndoTakesThemBack)
{
    TFrmAnalysis* a = OpenAnalysis();
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(a->GetBand());
    EXPECT_EQ(a->SrrPGood->Count(), 0);
    EXPECT_FALSE(a->ChrtResolution->GetRightAxis()->GetVisible());
    TFrmUncertainties* u = Open(a);
    ASSERT_NE(u, nullptr);
    EXPECT_TRUE(u->GetVisible());
    EXPECT_EQ(u->GetCaption(), "Uncertainties");
    EXPECT_EQ(u->GetPopupParent(), a);
    EXPECT_EQ(u->NumU[0][2]->GetText(), "");
    EXPECT_NE(u->LblStatus->GetCaption().find("No uncertainties"), std::string::npos);

    // 20 per M on K1 and 0.5E-9 on uCS2, as shown in the main window's units.
    Enter(u->NumU[0][2], "20");
    Enter(u->NumU[1][1], "0.5");
    const Uncertainties& stored = F->Records[0].Uncertainty;
    EXPECT_DOUBLE_EQ(stored.u[unK1], 0.02);
    EXPECT_DOUBLE_EQ(stored.u[unU2], 0.5e-9);
    EXPECT_FALSE(stored.FromFit);
    EXPECT_EQ(F->Document.UndoName(), "Uncertainties");
    EXPECT_FALSE(ApplyIsRed());  // no field changed: nothing to apply

    // The band around the curve: every concentration of the curve, the nominal Rs inside it.
    ASSERT_TRUE(a->GetBand());
    const RsBand& band = *a->GetBand();
    ASSERT_EQ(band.Points.size(), a->GetAnalysis()->Curve.size());
    EXPECT_EQ(band.Draws, DefaultDraws);
    EXPECT_EQ(a->SrrPGood->Count(), static_cast<int>(band.Points.size()));
    EXPECT_GT(a->SrrBand05->Count(), 100);
    EXPECT_TRUE(a->ChrtResolution->GetRightAxis()->GetVisible());
    int inside = 0;
    for (const BandPoint& p : band.Points)
        if (p.Rs && p.Rs05 && p.Rs95 && *p.Rs05 <= *p.Rs && *p.Rs <= *p.Rs95)
            ++inside;
    EXPECT_GT(inside, static_cast<int>(band.Points.size()) * 9 / 10);
    EXPECT_NE(a->LblFigures->GetCaption().find("1000 Monte Carlo draws"), std::string::npos)
        << a->LblFigures->GetCaption();
    a->SaveToPng(BuildPath("corvane_band.png"));

    // Undo twice: no uncertainties, no band, blank fields.
    for (int i = 0; i < 2; ++i) {
        W(F)->activateWindow();
        QTest::keyClick(W(F), Qt::Key_Z, Qt::ControlModifier);
    }
    EXPECT_TRUE(F->Records[0].Uncertainty.Empty());
    EXPECT_FALSE(a->GetBand());
    EXPECT_EQ(a->SrrBand05->Count(), 0);
    EXPECT_EQ(u->NumU[0][2]->GetText(), "");
    EXPECT_EQ(u->NumU[1][1]->GetText(), "");
    EXPECT_TRUE(Errors.empty());
}

TEST_F(UncertaintiesWindow, RefusedTextsAndClear)
{
    TFrmUncertainties* u = Open(OpenAnalysis());
    for (const char* text : {"-1", "abc"}) {
        Enter(u->NumU[0][0], text);
        EXPECT_EQ(u->NumU[0][0]->GetText(), "") << text;
        EXPECT_TRUE(F->Records[0].Uncertainty.Empty()) << text;
    }
    Enter(u->NumU[0][0], "0.1");
    EXPECT_DOUBLE_EQ(F->Records[0].Uncertainty.u[unU01], 0.1e-9);
    Enter(u->NumU[0][0], "");  // blank: none again
    EXPECT_DOUBLE_EQ(F->Records[0].Uncertainty.u[unU01], 0);
    Enter(u->NumU[0][0], "0.1");
    Click(u->BtnClear);
    EXPECT_TRUE(F->Records[0].Uncertainty.Empty());
    EXPECT_FALSE(u->BtnClear->GetEnabled());
    EXPECT_TRUE(Errors.empty());
}

TEST_F(UncertaintiesWindow, FromTheFitOfTheMeasurements)
{
    TFrmUncertainties* u = Open(OpenAnalysis());
    // Without measurements the fit gives nothing and nothing changes.
    Click(u->BtnFromFit);
    EXPECT_TRUE(F->Records[0].Uncertainty.Empty());
    EXPECT_NE(u->LblStatus->GetCaption().find("give no uncertainties"), std::string::npos);

    // Mobilities of analyte 1 measured at six concentrations, u0, uCS and K fitted.
    Measurements m;
    const double c[] = {0, 1, 2, 5, 10, 20, 50};
    const double mobility[] = {20.01, 17.61, 15.93, 12.46, 9.88, 7.77, 6.41};
    for (int j = 0; j < 7; ++j) {
        MeasuredRow row;
        row.c = c[j];
        row.u[0] = mobility[j] * 1e-9;
        m.Rows.push_back(row);
    }
    F->Document.SetMeasurements(0, m);
    Click(u->BtnFromFit);
    const Uncertainties& stored = F->Records[0].Uncertainty;
    EXPECT_TRUE(stored.FromFit);
    EXPECT_GT(stored.u[unU01], 0);
    EXPECT_GT(stored.u[unK1], 0);
    EXPECT_EQ(stored.u[unK2], 0);  // analyte 2 was not measured
    EXPECT_FALSE(stored.Correlation.empty());
    EXPECT_NE(u->NumU[0][2]->GetText(), "");
    EXPECT_NE(u->LblStatus->GetCaption().find("From the fit"), std::string::npos) << u->LblStatus->GetCaption();
    // A typed value is no longer the fit's.
    Enter(u->NumU[1][2], "10");
    EXPECT_FALSE(F->Records[0].Uncertainty.FromFit);
    EXPECT_TRUE(Errors.empty());
}
