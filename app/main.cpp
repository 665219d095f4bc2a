// Corvane: creates the main window and the pH dialog, and runs the message loop. A project file
// named on the command line (as a file manager passes it) is opened once the window shows.
#include "platform/Forms.h"
#include "ui/FCorvane.h"
#include "ui/FpHSetup.h"

int main(int argc, char** argv)
{
    try {
        Application->Initialize();
        Application->SetMainFormOnTaskBar(true);
        Application->CreateForm(FrmCorvane);
        Application->CreateForm(FrmpHSetup);
        if (argc > 1)
            FrmCorvane->StartupFile = argv[1];
        Application->Run();
    } catch (...) {
        Application->HandleException(nullptr);
    }
    return 0;
}
