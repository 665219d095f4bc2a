#pragma once
// Shows an empty main window with the given caption and runs the message loop.
int RunEmptyMainWindow(int argc, char** argv, const char* caption);
