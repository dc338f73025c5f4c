/* main.cpp -- the device dialog suite runs on the offscreen platform inside
 * one application object, with a ports folder of its own, so the simulator's
 * COM links never meet anyone else's. */
#include "platform/win.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    char dir[] = "/tmp/brevant-linkdialogs-XXXXXX";
    if (mkdtemp(dir) != nullptr) setenv("XDG_RUNTIME_DIR", dir, 1);
    testing::InitGoogleTest(&argc, argv);
    WIN_Init(argc, argv);
    const int result = RUN_ALL_TESTS();
    std::system((std::string("rm -rf '") + dir + "'").c_str());
    return result;
}
