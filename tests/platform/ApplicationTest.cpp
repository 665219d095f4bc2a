// The application object's end: Finalize destroys the forms and leaves a toolkit application
// that the program made itself (here the test main's) alone.
#include "platform/Forms.h"

#include <QApplication>
#include <gtest/gtest.h>

TEST(Application, FinalizeDestroysTheFormsAndKeepsTheProgramsOwnToolkitApplication)
{
    QCoreApplication* own = QApplication::instance();
    ASSERT_NE(own, nullptr);
    TForm* form = nullptr;
    Application->CreateForm(form);
    ASSERT_EQ(Application->ComponentCount(), 1);
    Application->Finalize();
    EXPECT_EQ(Application->ComponentCount(), 0);
    EXPECT_EQ(QApplication::instance(), own);
    // Still usable afterwards.
    Application->Initialize();
    Application->CreateForm(form);
    EXPECT_EQ(Application->GetMainForm(), form);
    DestroyApplicationForms();
}
