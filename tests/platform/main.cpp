/* main.cpp -- runs the layer's tests on the offscreen platform, so that real
 * widgets are made, clicked and painted without a display. */
#include "platform/win.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
/* The application object is made only when tests run, not when CTest
 * merely lists them. */
class Application : public testing::Environment
{
  public:
    void SetUp() override { WIN_Init(0, nullptr); }
};
} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new Application);
    return RUN_ALL_TESTS();
}
