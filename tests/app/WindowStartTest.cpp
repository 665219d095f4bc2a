// The program started as its executable starts it, with a project file as its argument: the
// window opens with that project loaded, and closes as a person closes it.
#include "platform/Forms.h"
#include "tests/TempFolder.h"
#include "tests/platform/ModalAnswer.h"
#include "ui/FCorvane.h"
#include "ui/Program.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(WindowStart, OpensTheProjectGivenOnItsCommandLine)
{
    // A program runs its message loop once: after the main window has closed the application
    // stays terminated (a repeated test run in one process has nothing more to show).
    if (Application->GetTerminated()) GTEST_SKIP() << "the application has run already";
    TTempFolder dir("corvane-start");
    const std::string file = dir.Path("given.ini");
    WriteFileBytes(file, "[General]\r\nDecSep=46\r\nCount=2\r\n[Dependency0]\r\nname=first\r\n"
                         "[Dependency1]\r\nname=second\r\nK2=700\r\n");
    std::vector<std::string> names;
    std::string title;
    int rows = 0;
    // Once the window shows with its list, read it and close the window.
    QTimer poll;
    int ticks = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        ++ticks;
        if (FrmCorvane != nullptr && FrmCorvane->GetVisible() &&
            (FrmCorvane->LstDependencies->GetCount() == 2 || ticks > 1000)) {
            poll.stop();
            for (const auto& r : FrmCorvane->Records) names.push_back(r.name.Bytes());
            rows = FrmCorvane->LstDependencies->GetCount();
            title = FrmCorvane->ChrtDependencies->GetTitle()->GetText()->Get(0);
            FrmCorvane->Close();
        }
    });
    poll.start(10);
    // The file leaves keys out, and the load says so.
    TBoxAnswerer report;
    std::string program = "corvane";
    char* argv[] = {program.data(), const_cast<char*>(file.c_str()), nullptr};
    EXPECT_EQ(RunCorvane(2, argv), 0);
    EXPECT_EQ(names, (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(title, file);
    ASSERT_EQ(report.Texts.size(), 1u);
    EXPECT_EQ(report.Texts[0].rfind(file + " was loaded, but not all of it could be read:\nDependency 1 (first): no ", 0),
              0u) << report.Texts[0];
    // The window has gone with the loop.
    EXPECT_EQ(FrmCorvane, nullptr);
}
