// Internal interface of the forms and the application (platform only): what they ask of the
// toolkit (platform/qt implements it). Names no toolkit type.
#pragma once

#include "platform/Forms.h"

#include <functional>
#include <memory>

struct TApplication::TToolkit {
    bool Initialized = false;
    // Initialize made the toolkit application (the program had none).
    bool CreatedApplication = false;
};

namespace Toolkit {

// The part of the primary screen that windows may take; false without a screen.
bool ScreenWorkArea(TRect& Area);
// Moves a top-level window's widget to (Left, Top) on the screen.
void MoveWindow(TWinControl* Window, int Left, int Top);
// Brings a shown top-level window to the front and activates it.
void ActivateWindow(TWinControl* Window);
// Hides the widget of a top-level window when it is shown (no messages, no events).
void HideWindow(TWinControl* Window);
// Keeps a top-level window in front of another (null: of none) from its next showing on.
void KeepInFront(TWinControl* Window, TWinControl* Of);
// Makes a top-level window application-modal, or modeless again.
void SetWindowModal(TWinControl* Window, bool Modal);
// Gives every control of a window the name a screen reader reads (from its caption).
void NameForScreenReaders(TWinControl* Window);

// A nested event loop: Run returns once Quit is called (from inside the loop).
class TEventLoop {
public:
    TEventLoop();
    ~TEventLoop();
    TEventLoop(const TEventLoop&) = delete;
    TEventLoop& operator=(const TEventLoop&) = delete;
    void Run();
    void Quit();

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};

// The toolkit application exists.
bool HaveApplication();
// The application's main event loop, until ExitMainLoop.
void RunMainLoop();
void ExitMainLoop();
void ProcessEvents();
// A modal error box with Message (error icon, OK); written to the error output when there is
// no GUI application.
void ShowErrorBox(const UnicodeString& Title, const UnicodeString& Message);

}  // namespace Toolkit
