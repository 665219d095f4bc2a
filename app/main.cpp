// Corvane: the main window and the pH dialog; a project file named on the command line (as a file
// manager passes it) is opened once the window shows.
#include "ui/Program.h"

int main(int argc, char** argv)
{
    return RunCorvane(argc, argv);
}
