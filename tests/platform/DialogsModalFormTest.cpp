#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "tests/platform/ModalAnswer.h"
#include "platform/qt/QtAccess.h"

#include <QWindow>

namespace {

// A main window with a button, and a dialog with a field, a default OK and a cancel button.
class ModalFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Main = new TForm(nullptr);
        Main->SetBounds(0, 0, 300, 200);
        MainButton = new TButton(Main);
        MainButton->SetParent(Main);
        MainButton->SetBounds(10, 10, 84, 41);
        MainButton->OnClick = [this](TObject*) { ++MainClicks; };
        Main->Show();

        Dialog = new TForm(nullptr);
        Dialog->SetBorderStyle(bsDialog);
        Dialog->SetBounds(50, 50, 250, 120);
        Dialog->SetCaption("pH settup");
        Edit = new TEdit(Dialog);
        Edit->SetParent(Dialog);
        Edit->SetBounds(8, 8, 121, 21);
        Edit->SetTabStop(true);
        Ok = new TButton(Dialog);
        Ok->SetParent(Dialog);
        Ok->SetBounds(8, 60, 84, 41);
        Ok->SetCaption("OK");
        Ok->SetDefault(true);
        Ok->SetModalResult(mrOk);
        Cancel = new TButton(Dialog);
        Cancel->SetParent(Dialog);
        Cancel->SetBounds(100, 60, 84, 41);
        Cancel->SetCaption("Cancel");
        Cancel->SetCancel(true);
        Cancel->SetModalResult(mrCancel);
    }
    void TearDown() override
    {
        delete Dialog;
        delete Main;
    }

    // Types into the dialog's field, then presses Key there, as a person would.
    void TypeThenPress(Qt::Key Key)
    {
        WhenModalOpens([this, Key](QWidget* w) {
            EXPECT_EQ(w, WidgetOf(Dialog));
            ASSERT_TRUE(QTest::qWaitForWindowActive(w));
            Edit->SetFocus();
            QTest::keyClicks(WidgetOf(Edit), "7.5");
            QTest::keyClick(WidgetOf(Edit), Key);
        });
    }

    TForm* Main = nullptr;
    TButton* MainButton = nullptr;
    int MainClicks = 0;
    TForm* Dialog = nullptr;
    TEdit* Edit = nullptr;
    TButton* Ok = nullptr;
    TButton* Cancel = nullptr;
};

}  // namespace

TEST_F(ModalFormTest, EnterInAFieldChoosesTheDefaultButton)
{
    TypeThenPress(Qt::Key_Return);
    EXPECT_EQ(Dialog->ShowModal(), mrOk);
    EXPECT_FALSE(Dialog->GetVisible());
    EXPECT_FALSE(Dialog->Modal());
    EXPECT_EQ(Edit->GetText(), "7.5");
}

TEST_F(ModalFormTest, EscapeChoosesTheCancelButtonAndTheFieldIsLeftBeforeShowModalReturns)
{
    int exits = 0;
    Edit->OnExit = [&](TObject*) { ++exits; };
    TypeThenPress(Qt::Key_Escape);
    EXPECT_EQ(Dialog->ShowModal(), mrCancel);
    EXPECT_FALSE(Dialog->GetVisible());
    // The field being edited has lost the focus (and so accepted its text) by now.
    EXPECT_EQ(exits, 1);
}

TEST_F(ModalFormTest, CloseBoxEndsWithCancelAndTheFormCanBeShownAgain)
{
    WhenModalOpens([](QWidget* w) { w->close(); });
    EXPECT_EQ(Dialog->ShowModal(), mrCancel);
    EXPECT_FALSE(Dialog->GetVisible());

    // A second showing starts from mrNone and ends with the button clicked.
    WhenModalOpens([this](QWidget*) { QTest::mouseClick(WidgetOf(Ok), Qt::LeftButton); });
    EXPECT_EQ(Dialog->ShowModal(), mrOk);
    EXPECT_EQ(Dialog->GetModalResult(), mrOk);
}

TEST_F(ModalFormTest, OtherWindowsTakeNoInputMeanwhile)
{
    WhenModalOpens([&](QWidget* w) {
        EXPECT_EQ(QApplication::activeModalWidget(), w);
        // Input from the window system, as the person's mouse and keyboard give it.
        QTest::mouseClick(WidgetOf(Main)->windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
        QTest::keyClick(WidgetOf(Main)->windowHandle(), Qt::Key_Space);
        w->close();
    });
    EXPECT_EQ(Dialog->ShowModal(), mrCancel);
    EXPECT_EQ(MainClicks, 0);
    // Afterwards the main window answers again.
    QTest::mouseClick(WidgetOf(Main)->windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_EQ(MainClicks, 1);
}

TEST_F(ModalFormTest, RefusedCloseKeepsTheFormOpen)
{
    int asked = 0;
    Dialog->OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = ++asked > 1; };
    WhenModalOpens([this](QWidget* w) {
        w->close();  // refused: the form stays
        QTimer::singleShot(20, [this, w] {
            EXPECT_TRUE(w->isVisible());
            EXPECT_EQ(Dialog->GetModalResult(), mrNone);
            QTest::mouseClick(WidgetOf(Ok), Qt::LeftButton);
        });
    });
    EXPECT_EQ(Dialog->ShowModal(), mrOk);
    EXPECT_EQ(asked, 2);
    // A form already shown cannot become modal.
    Main->Show();
    EXPECT_THROW(Main->ShowModal(), EInvalidOperation);
}
