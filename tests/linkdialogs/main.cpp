/* main.cpp -- the device dialog suite runs on the offscreen platform inside
 * one application object; each test has a ports folder of its own
 * (tests/support/devicedialog.h), so the simulator's COM links never meet
 * anyone else's. */
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
