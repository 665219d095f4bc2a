// The numeric edit: reading, formatting and the value under keys and by program.
#include "controls/NumEdit.h"
#include "tests/controls/ControlsTestKit.h"

#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

namespace {

class NumEditField : public EditFormTest<TNumEdit> {};
class OptionalNumEditField : public EditFormTest<TOptionalNumEdit> {};

} // namespace

TEST_F(NumEditField, StartsAtZero)
{
    EXPECT_EQ(Shown(A), "0");
    EXPECT_EQ(A->GetAcceptedText(), "0");
    EXPECT_EQ(A->GetValue(), 0);
    EXPECT_EQ(A->AcceptedValue, 0);
    EXPECT_FALSE(A->GetEdited());
    EXPECT_EQ(A->GetColor(), clWindow);
}

TEST_F(NumEditField, TypedNumbersAreReadAndReformatted)
{
    struct Case {
        const char* typed;
        double value;
        const char* shown;
    };
    const Case cases[] = {
        {"12.5%", 0.125, "0.125"},   {"12.5 %", 0.125, "0.125"}, {" 7 ", 7, "7"},
        {"1e3", 1000, "1000"},       {"1234567", 1234567, "1.23457E0006"},
        {"123456", 123456, "123456"}, {"0.0001", 0.0001, "0.0001"},
        {"0.00005", 0.00005, "5E-0005"}, {".5", 0.5, "0.5"}, {"-2.50", -2.5, "-2.5"},
    };
    for (const Case& c : cases) {
        Focus(A);
        Key(A, Qt::Key_A, Qt::ControlModifier);
        Type(A, c.typed);
        Log.clear();
        Key(A, Qt::Key_Return);
        EXPECT_EQ(Shown(A), c.shown) << c.typed;
        EXPECT_DOUBLE_EQ(A->AcceptedValue, c.value) << c.typed;
        EXPECT_DOUBLE_EQ(A->GetValue(), c.value) << c.typed;
        EXPECT_EQ(A->GetAcceptedText(), c.shown) << c.typed;
        EXPECT_EQ(Joined(), "accept A " + std::string(c.typed) + "|accepted A " + c.shown);
    }
}

TEST_F(NumEditField, RejectedTextsBringThePreviousNumberBack)
{
    A->SetValue(2.5);
    for (const char* typed : {"", "   ", "%", "50%%", "1,5", "1e400", "abc"}) {
        Focus(A);
        Key(A, Qt::Key_A, Qt::ControlModifier);
        Key(A, Qt::Key_Delete);
        Type(A, typed);
        Log.clear();
        Key(A, Qt::Key_Return);
        EXPECT_EQ(Joined(), "accept A " + std::string(typed) + "|cancel A 2.5") << typed;
        EXPECT_EQ(Shown(A), "2.5");
        EXPECT_EQ(A->AcceptedValue, 2.5);
        EXPECT_EQ(A->GetValue(), 2.5);
    }
}

TEST_F(NumEditField, SetValuePassesThroughItsText)
{
    A->SetValue(0.1 + 0.2);
    EXPECT_EQ(A->GetValue(), 0.3);
    EXPECT_EQ(A->AcceptedValue, 0.3);
    EXPECT_EQ(Shown(A), "0.3");
    EXPECT_EQ(Joined(), "accept A 0.3|accepted A 0.3");

    // The number written is the number read back from its 15-digit text.
    A->SetValue(1.0 / 3.0);
    EXPECT_EQ(A->GetValue(), 0.333333333333333);
    EXPECT_EQ(Shown(A), "0.333333");
}

TEST_F(NumEditField, SetValueWithTheShownTextChangesNothing)
{
    A->GetFloatFormat()->SetPrecision(3);
    A->SetValue(1.23456);
    EXPECT_EQ(Shown(A), "1.23");
    EXPECT_EQ(A->GetValue(), 1.23456);
    Log.clear();
    A->SetValue(1.23);
    EXPECT_TRUE(Log.empty()) << Joined();
    EXPECT_EQ(A->GetValue(), 1.23456);
    EXPECT_EQ(A->AcceptedValue, 1.23456);
}

TEST_F(NumEditField, PercentageFormat)
{
    A->GetFloatFormat()->SetPercentage(true);
    A->SetValue(0.5);
    EXPECT_EQ(Shown(A), "50 %");
    EXPECT_EQ(A->GetAcceptedText(), "50 %");
    A->SetValue(0.25);
    EXPECT_EQ(Shown(A), "25 %");
    A->SetText("50 %");
    EXPECT_EQ(A->GetValue(), 0.5);
    // Without the sign the typed number is taken as it stands.
    A->SetText("2");
    EXPECT_EQ(A->GetValue(), 2);
    EXPECT_EQ(Shown(A), "200 %");
}

TEST_F(NumEditField, FormatChangeReformatsAtOnceButEscapeShowsTheAcceptedText)
{
    A->SetValue(0.5);
    Log.clear();
    A->GetFloatFormat()->SetFormat(ffFixed);
    A->GetFloatFormat()->SetDigits(2);
    EXPECT_EQ(Shown(A), "0.50");
    EXPECT_TRUE(Log.empty()) << Joined();
    EXPECT_FALSE(A->GetEdited());
    Focus(A);
    Type(A, "7");
    Key(A, Qt::Key_Escape);
    EXPECT_EQ(Shown(A), "0.5");
    EXPECT_EQ(A->GetValue(), 0.5);

    // SetFloatFormat copies the settings and reformats.
    TFloatFormatProperty exp;
    exp.SetFormat(ffExponent);
    exp.SetPrecision(3);
    exp.SetDigits(2);
    A->SetFloatFormat(&exp);
    EXPECT_EQ(Shown(A), "5.00E-01");
    EXPECT_NE(A->GetFloatFormat(), &exp);
}

TEST_F(NumEditField, AFormatChangeWhileModifiedKeepsTheState)
{
    A->SetValue(3);
    Focus(A);
    Type(A, "9");
    A->GetFloatFormat()->SetDigits(2);
    EXPECT_EQ(Shown(A), "3");
    EXPECT_TRUE(A->GetEdited());
    EXPECT_EQ(A->GetColor(), clRed);
}

TEST_F(NumEditField, ReadingValueForcesAcceptance)
{
    A->SetName("NumProbe");
    A->SetValue(4);
    Focus(A);
    Type(A, "8");
    Log.clear();
    EXPECT_EQ(A->GetValue(), 8);
    EXPECT_EQ(Joined(), "accept A 8|accepted A 8");

    Type(A, "x8");
    Log.clear();
    try {
        A->GetValue();
        FAIL() << "no error";
    } catch (const EPropertyError& e) {
        EXPECT_EQ(e.Message(), "[TNumEdit::GetValue] : NumProbe > Value \"x8\" is not accepted.");
    }
    EXPECT_EQ(Joined(), "accept A x8|cancel A 8");
    EXPECT_EQ(A->GetValue(), 8);

    // Reading AcceptedValue never starts acceptance.
    Type(A, "5");
    Log.clear();
    EXPECT_EQ(A->AcceptedValue, 8);
    EXPECT_EQ(A->GetAcceptedValue(), 8);
    EXPECT_TRUE(Log.empty());
    EXPECT_TRUE(A->GetEdited());
}

TEST_F(NumEditField, TextReadForcesAcceptanceWithItsOwnMessage)
{
    A->SetName("NumProbe");
    Focus(A);
    Key(A, Qt::Key_End);
    Type(A, "q");
    try {
        A->GetText();
        FAIL() << "no error";
    } catch (const EPropertyError& e) {
        EXPECT_EQ(e.Message(), "[TAutoEdit::GetText] : NumProbe > Text \"0q\" is not accepted.");
    }
    EXPECT_EQ(A->GetText(), "0");
}

TEST_F(NumEditField, AssignCopiesValueAndFormatWithoutReformatting)
{
    A->GetFloatFormat()->SetFormat(ffFixed);
    A->GetFloatFormat()->SetDigits(3);
    A->SetValue(1.5);
    EXPECT_EQ(Shown(A), "1.500");
    B->SetValue(9);
    B->Assign(A);
    EXPECT_EQ(Shown(B), "9");
    EXPECT_EQ(B->GetValue(), 1.5);
    EXPECT_EQ(B->GetFloatFormat()->GetFormat(), ffFixed);
    EXPECT_EQ(B->GetFloatFormat()->GetDigits(), 3);
    EXPECT_EQ(B->GetAcceptedText(), "1.500");
    EXPECT_EQ(B->AcceptedValue, 1.5);
    // B's format is still bound to B.
    B->GetFloatFormat()->SetDigits(1);
    EXPECT_EQ(Shown(B), "1.5");
    EXPECT_EQ(Shown(A), "1.500");
}

TEST_F(NumEditField, FollowsTheProgramWideDecimalSeparator)
{
    const auto saved = FormatSettings.DecimalSeparator;
    FormatSettings.DecimalSeparator = L',';
    A->SetValue(0.25);
    EXPECT_EQ(Shown(A), "0,25");
    A->SetText("1.5");
    EXPECT_EQ(A->GetValue(), 0.25);
    A->SetText("1,5");
    EXPECT_EQ(A->GetValue(), 1.5);
    FormatSettings.DecimalSeparator = saved;
}

TEST_F(NumEditField, TheThreeStatesShowTheirColours)
{
    auto* readOnly = MakeField("C", 70);
    for (TNumEdit* f : {A, B, readOnly})
        f->ModifiedColor = clMoneyGreen; // as the windows use
    A->SetValue(12.5);
    B->SetValue(3);
    readOnly->SetValue(0.00005);
    readOnly->SetReadOnly(true);
    Focus(B);
    Key(B, Qt::Key_End);
    Type(B, "7");
    QApplication::processEvents();

    TBitmap picture(Form->GetWidth(), Form->GetHeight());
    Form->PaintTo(picture.GetCanvas(), 0, 0);
    picture.SaveToFile("numedit_states.png");
    // A point inside each field, right of its text.
    const TColor expected[] = {clWindow, clMoneyGreen, clBtnFace};
    const TNumEdit* fields[] = {A, B, readOnly};
    for (int i = 0; i < 3; ++i) {
        const int x = fields[i]->GetLeft() + fields[i]->GetWidth() - 8;
        const int y = fields[i]->GetTop() + fields[i]->GetHeight() / 2;
        EXPECT_EQ(ColorToRGB(picture.GetCanvas()->Pixels(x, y)), ColorToRGB(expected[i])) << i;
    }
    EXPECT_EQ(Shown(B), "37");
}

// An optional number starts blank; a blank (or blanks-only) text leaves the number out and stays
// blank, a number is read and shown as in every numeric field, and a text that is no number
// brings back what was shown before, blank or not.
TEST_F(OptionalNumEditField, BlankLeavesTheNumberOut)
{
    EXPECT_EQ(Shown(A), "");
    EXPECT_FALSE(A->HasValue());
    EXPECT_EQ(A->AcceptedValue, 0);
    struct Case {
        const char* typed;
        bool has;
        double value;
        const char* shown;
    };
    const Case cases[] = {
        {"2.5", true, 2.5, "2.5"}, {"", false, 0, ""},    {"abc", false, 0, ""},
        {"0", true, 0, "0"},       {"   ", false, 0, ""}, {"1e3", true, 1000, "1000"},
        {"1,5", true, 1000, "1000"},
    };
    for (const Case& c : cases) {
        Focus(A);
        Key(A, Qt::Key_A, Qt::ControlModifier);
        Key(A, Qt::Key_Delete);
        Type(A, c.typed);
        Key(A, Qt::Key_Return);
        EXPECT_EQ(Shown(A), c.shown) << c.typed;
        EXPECT_EQ(A->HasValue(), c.has) << c.typed;
        EXPECT_DOUBLE_EQ(A->AcceptedValue, c.value) << c.typed;
        EXPECT_EQ(A->GetAcceptedText(), c.shown) << c.typed;
    }
    A->Clear();
    EXPECT_EQ(Shown(A), "");
    EXPECT_FALSE(A->HasValue());
    EXPECT_EQ(A->GetValue(), 0);
}
