/* main.cpp -- the brevant program: starts the windowing layer and runs the
 * program's start-up, whose result is the exit code. */
#include "app/mainwnd.h"
#include "platform/win.h"

int main(int argc, char **argv)
{
    WIN_Init(argc, argv);
    return wWinMain(nullptr, nullptr, L"", 1);
}
