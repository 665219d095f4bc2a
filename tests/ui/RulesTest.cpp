// The range rules and the diffusion locks, typed into the real fields.
#include "UiTestKit.h"

#include "model/Params.h"
#include "model/Sweep.h"
#include "ui/AcceptRules.h"

namespace {

struct TTyped {
    const char* Text;
    double ValueAfter;       // the field's accepted value afterwards
    const char* ShownAfter;  // and its text (general format, 6 digits)
};

}  // namespace

TEST_F(MainWindowTest, RangeRulesAcceptAndRefuseTypedNumbers)
{
    struct TCase {
        TNumEdit* TFrmCorvane::*Field;
        const char* Name;
        std::vector<TTyped> Typed;
    };
    const TCase cases[] = {
        {&TFrmCorvane::NumPoints, "NumPoints",
         {{"100", 100, "100"}, {"1e3", 1000, "1000"}, {"0", 1000, "1000"}, {"-3", 1000, "1000"},
          {"2.5", 1000, "1000"}, {"2147483648", 1000, "1000"},
          {"2147483647", 2147483647, "2.14748E0009"}}},
        {&TFrmCorvane::NumZ01, "NumZ01",
         {{"-2", -2, "-2"}, {"0", 0, "0"}, {"-2147483648", -2147483648.0, "-2.14748E0009"},
          {"1.5", -2147483648.0, "-2.14748E0009"}, {"2147483648", -2147483648.0, "-2.14748E0009"}}},
        {&TFrmCorvane::NumTemperature, "NumTemperature",
         {{"-273.15", 25, "25"}, {"-273.14", -273.14, "-273.14"}}},
        {&TFrmCorvane::NumMinC, "NumMinC", {{"0", 0, "0"}, {"-0.001", 0, "0"}, {"60", 60, "60"}}},
        {&TFrmCorvane::NumMaxC, "NumMaxC", {{"0", 20, "20"}, {"-0.001", 20, "20"}, {"5", 5, "5"}}},
        {&TFrmCorvane::NumK1, "NumK1", {{"0", 200, "200"}, {"abc", 200, "200"}, {"0.5", 0.5, "0.5"}}},
        {&TFrmCorvane::NumD01, "NumD01", {{"-1", 1, "1"}, {"2.5", 2.5, "2.5"}}},
        {&TFrmCorvane::NumU01, "NumU01", {{"-7", -7, "-7"}, {"0", 0, "0"}}},
        {&TFrmCorvane::NumVoltage, "NumVoltage", {{"-30", -30, "-30"}}},
        {&TFrmCorvane::NumEOF, "NumEOF", {{"-12.5", -12.5, "-12.5"}, {"xyz", -12.5, "-12.5"}}},
    };
    for (const TCase& c : cases) {
        TNumEdit* field = F->*c.Field;
        field->SetVisible(true);  // hidden fields cannot be typed into
        for (const TTyped& t : c.Typed) {
            Enter(field, t.Text);
            EXPECT_EQ(Shown(field), t.ShownAfter) << c.Name << " " << t.Text;
            EXPECT_DOUBLE_EQ(field->GetAcceptedValue(), t.ValueAfter) << c.Name << " " << t.Text;
            EXPECT_FALSE(field->GetEdited()) << c.Name << " " << t.Text;
        }
    }
    EXPECT_TRUE(Errors.empty());
}

TEST_F(MainWindowTest, APercentTextRaisesTheConversionErrorAndStaysModified)
{
    Enter(F->NumK1, "5%");
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], "'5%' is not a valid floating point value");
    EXPECT_EQ(Shown(F->NumK1), "5%");
    EXPECT_TRUE(F->NumK1->GetEdited());
    EXPECT_DOUBLE_EQ(F->NumK1->GetAcceptedValue(), 200);
    // The rule runs again at the next Enter.
    QTest::keyClick(W(F->NumK1), Qt::Key_Return);
    EXPECT_EQ(Errors.size(), 2u);
    // A field without a rule takes the percent text as a number.
    Enter(F->NumU01, "5%");
    EXPECT_DOUBLE_EQ(F->NumU01->GetAcceptedValue(), 0.05);
}

TEST(RangeRules, Limits)
{
    struct {
        TRangeRule Rule;
        long double X;
        bool Holds;
    } const cases[] = {
        {TRangeRule::Positive, 1e-300L, true},      {TRangeRule::Positive, 0, false},
        {TRangeRule::NonNegative, 0, true},         {TRangeRule::NonNegative, -1e-300L, false},
        {TRangeRule::Temperature, -273.15L, false}, {TRangeRule::Temperature, -273.1499L, true},
        {TRangeRule::Integer, -2147483648.0L, true}, {TRangeRule::Integer, 2147483647.0L, true},
        {TRangeRule::Integer, 2147483648.0L, false}, {TRangeRule::Integer, -2147483649.0L, false},
        {TRangeRule::Integer, 0.5L, false},         {TRangeRule::Points, 1, true},
        {TRangeRule::Points, 2147483647.0L, true},  {TRangeRule::Points, 2147483648.0L, false},
        {TRangeRule::Points, -1, false},            {TRangeRule::Points, 1e300L, false},
        // Rounded to double first: a whole number after rounding is a whole number.
        {TRangeRule::Points, 3.0000000000000000001L, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RangeRuleHolds(c.Rule, c.X), c.Holds) << int(c.Rule) << " " << double(c.X);
}

TEST_F(MainWindowTest, DiffusionFieldsLockFromChargesAndMobilities)
{
    for (TNumEdit* f : {F->NumZ01, F->NumZCS, F->NumD01, F->NumD1})
        f->SetVisible(true);
    // Read-only in the form's description, unlocked by showing the default (u1 = 0).
    EXPECT_FALSE(F->NumD1->GetReadOnly());
    EXPECT_FALSE(F->NumD01->GetReadOnly());

    Enter(F->NumU01, "20");
    Enter(F->NumZ01, "-1");
    EXPECT_TRUE(F->NumD01->GetReadOnly());
    EXPECT_EQ(F->NumD01->GetColor(), F->NumD01->GetReadOnlyColor());
    Enter(F->NumU1, "5");
    EXPECT_TRUE(F->NumD1->GetReadOnly());
    // z01 = -zCS: the complex carries no charge, so its coefficient is free even with u1 set.
    Enter(F->NumZCS, "1");
    EXPECT_FALSE(F->NumD1->GetReadOnly());
    Enter(F->NumZCS, "2");
    EXPECT_TRUE(F->NumD1->GetReadOnly());
    // A zero complex mobility frees it whatever the charges.
    Enter(F->NumU1, "0");
    EXPECT_FALSE(F->NumD1->GetReadOnly());
    Enter(F->NumU01, "0");
    EXPECT_FALSE(F->NumD01->GetReadOnly());
    EXPECT_TRUE(ApplyIsRed());
}

TEST_F(MainWindowTest, PhDialogOpenedAndClosedUntouchedMarksApply)
{
    EXPECT_FALSE(ApplyIsRed());
    bool dialogShown = false;
    WhenModalOpens([&](QWidget* w) {
        dialogShown = w == W(D) && D->GetCaption() == "pH settup";
        PressKey(w, Qt::Key_Escape);
    });
    Click(F->BtnpH);
    EXPECT_TRUE(dialogShown);
    EXPECT_FALSE(D->GetVisible());
    EXPECT_TRUE(ApplyIsRed());
}

TEST_F(MainWindowTest, PhDialogKeepsATypedValueClosedWithEscape)
{
    WhenModalOpens([&](QWidget* w) {
        QTest::mouseClick(W(D->NumpKa1), Qt::LeftButton, Qt::NoModifier, Centre(D->NumpKa1));
        D->NumpKa1->SelectAll();
        QTest::keyClicks(W(D->NumpKa1), "4.2");
        PressKey(w, Qt::Key_Escape);
    });
    Click(F->BtnpH);
    EXPECT_DOUBLE_EQ(D->NumpKa1->GetAcceptedValue(), 4.2);
    EXPECT_FALSE(D->NumpKa1->GetEdited());
    // A constant of the dialog refuses zero and non-numbers silently.
    WhenModalOpens([&](QWidget* w) {
        for (const char* text : {"0", "abc"}) {
            QTest::mouseClick(W(D->NumK1Low), Qt::LeftButton, Qt::NoModifier, Centre(D->NumK1Low));
            D->NumK1Low->SelectAll();
            QTest::keyClicks(W(D->NumK1Low), text);
            QTest::keyClick(W(D->NumK2Low), Qt::Key_Tab);  // leaving the field submits it
            QTest::mouseClick(W(D->NumU1Low), Qt::LeftButton, Qt::NoModifier, Centre(D->NumU1Low));
        }
        PressKey(w, Qt::Key_Return);
    });
    Click(F->BtnpH);
    EXPECT_DOUBLE_EQ(D->NumK1Low->GetAcceptedValue(), 1000);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(MainWindowTest, PhModelTakesEffectAtApply)
{
    // A realistic acid: pKa 4.2; the anion (high pH) migrates against the flow.
    const struct {
        TNumEdit* TFrmpHSetup::*Field;
        const char* Text;
    } acid[] = {{&TFrmpHSetup::NumpKa1, "4.2"},   {&TFrmpHSetup::NumpKa2, "4.5"},
                {&TFrmpHSetup::NumU01Low, "0"},   {&TFrmpHSetup::NumU02Low, "0"},
                {&TFrmpHSetup::NumU1Low, "0"},    {&TFrmpHSetup::NumU2Low, "0"},
                {&TFrmpHSetup::NumK1Low, "800"},  {&TFrmpHSetup::NumK2Low, "900"},
                {&TFrmpHSetup::NumU01High, "-20"}, {&TFrmpHSetup::NumU02High, "-21"},
                {&TFrmpHSetup::NumU1High, "-5"},  {&TFrmpHSetup::NumU2High, "-5"},
                {&TFrmpHSetup::NumK1High, "200"}, {&TFrmpHSetup::NumK2High, "300"}};
    for (const char* pH : {"3", "4.2", "6"}) {
        WhenModalOpens([&](QWidget* w) {
            for (const auto& a : acid) {
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
        ASSERT_TRUE(D->ChcbApply->GetChecked());
        // Ticked but not applied yet: nothing changes in the main window.
        EXPECT_FALSE(F->NumpH->GetVisible() && std::string(pH) == "3");
        if (F->NumpH->GetVisible())
            Enter(F->NumpH, pH);
        Click(F->BtnApply);
        EXPECT_TRUE(F->NumpH->GetVisible());
        EXPECT_TRUE(F->LblpH->GetVisible());
        if (std::string(pH) == "3") {
            // The pH field appears with its last value; the test types the wanted pH now.
            Enter(F->NumpH, pH);
            Click(F->BtnApply);
        }
        for (TNumEdit* e : {F->NumU01, F->NumU1, F->NumK1, F->NumU02, F->NumU2, F->NumK2})
            EXPECT_TRUE(e->GetReadOnly());
        const Params& p = F->Records[0].Params;
        ASSERT_TRUE(p.applypH);
        EXPECT_DOUBLE_EQ(p.pH, std::stod(pH));
        const PhValues v1 = p.a1.At(p.pH), v2 = p.a2.At(p.pH);
        EXPECT_DOUBLE_EQ(p.phys.u01, v1.u0) << pH;
        EXPECT_DOUBLE_EQ(p.phys.u1, v1.uCS) << pH;
        EXPECT_DOUBLE_EQ(p.phys.K1, v1.K) << pH;
        EXPECT_DOUBLE_EQ(p.phys.u02, v2.u0) << pH;
        EXPECT_DOUBLE_EQ(p.phys.u2, v2.uCS) << pH;
        EXPECT_DOUBLE_EQ(p.phys.K2, v2.K) << pH;
        EXPECT_NEAR(p.a1.hK, 0.2, 1e-15);
    }
    // pH = pKa: the free mobility is the mean of both forms'.
    Enter(F->NumpH, "4.2");
    Click(F->BtnApply);
    EXPECT_NEAR(F->Records[0].Params.phys.u01, -10e-9, 1e-20);
    // The curves follow: the sweep used the derived constants.
    const PointValues v(F->Records[0].Params, 20);
    EXPECT_DOUBLE_EQ(F->Records[0].SeriesSet.t1Series->YValue(21), v.t1 * MinutesPerSecond);
    EXPECT_TRUE(Errors.empty());

    // Unticked and applied: editable again, the pH field hidden.
    WhenModalOpens([&](QWidget* w) {
        QTest::mouseClick(W(D->ChcbApply), Qt::LeftButton, Qt::NoModifier, QPoint(5, 8));
        PressKey(w, Qt::Key_Escape);
    });
    Click(F->BtnpH);
    Click(F->BtnApply);
    EXPECT_FALSE(F->NumpH->GetVisible());
    EXPECT_FALSE(F->NumU01->GetReadOnly());
}

TEST_F(MainWindowTest, PhDialogLayoutAndTabOrder)
{
    EXPECT_EQ(D->GetClientWidth(), 393);
    EXPECT_EQ(D->GetClientHeight(), 356);
    EXPECT_EQ(D->NumK2High->GetBoundsRect(), TRect(262, 251, 383, 272));
    EXPECT_EQ(D->LblLowpH->GetBoundsRect(), TRect(8, 62, 383, 83));
    EXPECT_EQ(D->BtnApply->GetBoundsRect(), TRect(301, 307, 385, 348));
    EXPECT_TRUE(D->BtnApply->GetDefault());
    EXPECT_TRUE(D->BtnApply->GetCancel());
    std::vector<TWinControl*> order;
    D->GetTabOrderList(order);
    const std::vector<TWinControl*> expected = {
        D->NumpKa1, D->NumpKa2, D->NumU01Low, D->NumU02Low, D->NumU1Low, D->NumU2Low, D->NumK1Low,
        D->NumK2Low, D->NumU01High, D->NumU02High, D->NumU1High, D->NumU2High, D->NumK1High,
        D->NumK2High, D->ChcbApply, D->BtnApply};
    EXPECT_EQ(order, expected);
    // The headings name the analytes of the dependency last shown.
    Enter(F->EdtAnalyte1, "Naproxen");
    EXPECT_EQ(D->LblAnalyte1->GetCaption(), "<Analyte 1>");
    Click(F->BtnApply);
    EXPECT_EQ(D->LblAnalyte1->GetCaption(), "Naproxen");

    WhenModalOpens([&](QWidget* w) {
        D->SaveToPng(BuildPath("corvane_ph.png"));
        PressKey(w, Qt::Key_Return);
    });
    Click(F->BtnpH);
}
