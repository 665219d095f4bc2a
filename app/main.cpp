// Corvane: creates the windows and runs the message loop.
#include "platform/Forms.h"

int main()
{
    try {
        Application->Initialize();
        Application->SetMainFormOnTaskBar(true);
        TForm* FrmMain = nullptr;
        Application->CreateForm(FrmMain);
        FrmMain->SetCaption("Corvane");
        FrmMain->SetClientWidth(1156);
        FrmMain->SetClientHeight(679);
        Application->Run();
    } catch (...) {
        Application->HandleException(nullptr);
    }
    return 0;
}
