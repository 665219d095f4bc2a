// Shared main of every test program: a QApplication on the offscreen platform, with the
// platform's application object initialised over it.
#include "platform/Forms.h"
#include "platform/Graphics.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int result = 0;
    {
        QApplication app(argc, argv);
        Application->Initialize();
        // Tests see the classic system colours, whatever the desktop theme says.
        ResetSystemColors();
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
        DestroyApplicationForms();
    }
    return result;
}
