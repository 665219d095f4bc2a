// Corvane: creates the windows and runs the message loop.
#include "platform/qt/Bootstrap.h"

int main(int argc, char** argv)
{
    return RunEmptyMainWindow(argc, argv, "Corvane");
}
