#include "ui/Program.h"

#include "platform/Forms.h"
#include "ui/FCorvane.h"
#include "ui/FpHSetup.h"

int RunCorvane(int argc, char** argv)
{
    try {
        Application->Initialize();
        Application->SetMainFormOnTaskBar(true);
        Application->CreateForm(FrmCorvane);
        Application->CreateForm(FrmpHSetup);
        if (argc > 1 && argv[1] != nullptr)
            FrmCorvane->StartupFile = argv[1];
        Application->Run();
    } catch (...) {
        Application->HandleException(nullptr);
    }
    return 0;
}
