/* offscreenmain.cpp -- the main of the suites that drive the program's
 * windows (app, dialogs): they run on the offscreen platform,
 * inside one application object made before any test. The device dialog
 * suites give each test a ports folder of its own (devicedialog.h), so the
 * simulator's COM links never meet anyone else's. */
#include "platform/win.h"

#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::InitGoogleTest(&argc, argv);
    WIN_Init(argc, argv);
    return RUN_ALL_TESTS();
}
