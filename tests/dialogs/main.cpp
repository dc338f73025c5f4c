/* main.cpp -- the start-up window suite runs on the offscreen platform, inside
 * one application object made before any test. */
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
