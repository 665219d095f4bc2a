// The desktop program as its executable runs it.
#pragma once

// Creates the main window and the pH dialog, opens the project named by the first argument once
// the window shows (as a file manager passes a double-clicked file), and runs the message loop
// until the main window closes.
int RunCorvane(int argc, char** argv);
