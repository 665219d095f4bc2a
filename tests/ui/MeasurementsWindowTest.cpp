// The measurements window, as a chemist uses it: rows pasted from a spreadsheet and typed, the
// fit, "Use fitted values" and Apply, the measured times on the main chart, undo, save and load.
#include "UiTestKit.h"

#include "platform/Clipbrd.h"
#include "platform/Series.h"
#include "tests/TempFolder.h"
#include "ui/FMeasurements.h"

namespace {

// Analyte 1 of the model tests' noisy data as spreadsheet rows: c, three empty time columns, u1.
std::string SpreadsheetRows()
{
    const char* c[] = {"0", "0", "1", "1", "2", "2", "5", "5", "10", "10", "20", "20", "50", "50"};
    const char* u[] = {"19.998281", "19.899037", "17.556516", "17.695254", "15.95755", "15.804913", "12.503961",
                       "12.456379", "9.927944",  "9.837992",  "7.754846",  "7.72036",  "6.516981", "6.350848"};
    std::string text = "c [mM]\tt1\tt2\ttEOF\tu1\n";
    for (int j = 0; j < 14; ++j)
        text += std::string(c[j]) + "\t\t\t\t" + u[j] + "\n";
    return text;
}

} // namespace

class MeasurementsWindow : public MainWindowTest {
protected:
    TFrmMeasurements* Open()
    {
        Click(F->BtnMeasurements);
        return F->FrmMeasurements;
    }
};

TEST_F(MeasurementsWindow, PastedRowsAreFittedAndTheFittedValuesApplied)
{
    TFrmMeasurements* m = Open();
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(m->GetVisible());
    EXPECT_EQ(F->BtnMeasurements->GetCaption(), "Measure&ments...");
    EXPECT_EQ(m->GetIndex(), 0);

    Clipboard()->SetAsText(SpreadsheetRows());
    Click(m->BtnPaste);
    ASSERT_EQ(F->Records[0].Measured.Rows.size(), 14u);
    EXPECT_EQ(m->LstRows->Count(), 14);
    EXPECT_EQ(F->Document.UndoName(), "Measurements");
    ASSERT_EQ(m->GetResults().size(), 1u);
    const FitResult& fit = m->GetResults()[0];
    ASSERT_TRUE(fit.HasValues()) << fit.Message;
    EXPECT_NEAR(fit.Find(0, "K")->Value, 0.1977213549, 2e-5);
    EXPECT_NE(m->LblResults->GetCaption().find("K = 0.19772"), std::string::npos) << m->LblResults->GetCaption();
    // The plot: 14 measured points, the isotherm, 14 residuals.
    EXPECT_EQ(m->ChrtFit->Series(0)->Count(), 14);
    EXPECT_GT(m->ChrtFit->Series(2)->Count(), 100);
    EXPECT_EQ(m->ChrtResiduals->Series(1)->Count(), 14);
    m->SaveToPng(BuildPath("corvane_measurements.png"));

    // Into the main window's fields (K per M there), marked, then applied as any edit.
    EXPECT_FALSE(ApplyIsRed());
    Click(m->BtnUse);
    EXPECT_TRUE(ApplyIsRed());
    EXPECT_NEAR(F->NumK1->GetAcceptedValue(), 197.7213549, 0.02);
    EXPECT_NEAR(F->NumU01->GetAcceptedValue(), 20.05334214, 0.002);
    Click(F->BtnApply);
    EXPECT_NEAR(F->Records[0].Params.phys.K1, 0.1977213549, 2e-5);
    EXPECT_NEAR(F->Records[0].Params.phys.u1, 4.8595062e-9, 1e-12);
    EXPECT_EQ(F->Records[0].Measured.Rows.size(), 14u);  // Apply keeps the measurements
    F->Document.Undo();
    EXPECT_EQ(F->Records[0].Params.phys.K1, 0);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(MeasurementsWindow, TypedTimesAreMeasuredPointsOnTheChartAndSurviveSaveAndLoad)
{
    TFrmMeasurements* m = Open();
    ASSERT_NE(m, nullptr);
    // A row typed: c; t1; t2; tEOF, then the Add button.
    Type(m->EdtRow, "5;3.2;3.4;2");
    Click(m->BtnAddRow);
    Type(m->EdtRow, "10;3.5;3.9;2.1");
    Click(m->BtnAddRow);
    ASSERT_EQ(F->Records[0].Measured.Rows.size(), 2u);
    EXPECT_EQ(Shown(m->EdtRow), "");
    const TPointSeries* points = F->Records[0].SeriesSet.MeasuredSeries;
    ASSERT_EQ(points->Count(), 4);
    EXPECT_EQ(points->XValue(2), 10);
    EXPECT_EQ(points->YValue(3), 3.9);
    // Two rows for three parameters: a message, no numbers.
    ASSERT_EQ(m->GetResults().size(), 2u);
    EXPECT_FALSE(m->GetResults()[0].HasValues());
    EXPECT_NE(m->LblResults->GetCaption().find("too few to fit"), std::string::npos);

    // The shared u0 option goes to the document too, as one more step.
    Click(m->ChkShared);
    EXPECT_TRUE(F->Records[0].Measured.Options.SharedU0);
    F->Document.Undo();
    EXPECT_FALSE(F->Records[0].Measured.Options.SharedU0);
    EXPECT_FALSE(m->ChkShared->GetChecked());  // the window follows undo
    F->Document.Undo();
    EXPECT_EQ(F->Records[0].Measured.Rows.size(), 1u);
    EXPECT_EQ(m->LstRows->Count(), 1);
    F->Document.Redo();

    TTempFolder folder{"corvane-measured-window"};
    const std::string file = folder.Path("measured.ini");
    F->SaveProject(file);
    Clipboard()->SetAsText("");
    Click(F->BtnNew);
    EXPECT_TRUE(F->Records[0].Measured.Empty());
    EXPECT_EQ(m->LstRows->Count(), 0);
    F->LoadFile(file);
    ASSERT_EQ(F->Records[0].Measured.Rows.size(), 2u);
    EXPECT_EQ(F->Records[0].Measured.Rows[1].t[1], 3.9);
    EXPECT_EQ(F->Records[0].SeriesSet.MeasuredSeries->Count(), 4);
    EXPECT_EQ(m->LstRows->Count(), 2);
    EXPECT_TRUE(Errors.empty());
}
