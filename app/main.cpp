// Corvane: creates the main window and the pH dialog, and runs the message loop.
#include "platform/Forms.h"
#include "ui/FCorvane.h"
#include "ui/FpHSetup.h"

int main()
{
    try {
        Application->Initialize();
        Application->SetMainFormOnTaskBar(true);
        Application->CreateForm(FrmCorvane);
        Application->CreateForm(FrmpHSetup);
        Application->Run();
    } catch (...) {
        Application->HandleException(nullptr);
    }
    return 0;
}
