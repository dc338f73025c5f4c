/* maindevice.h -- the main window open beside a simulated device: the base
 * of the suites that drive the main window's device commands. */
#pragma once

#include "tests/app/mainfixture.h"
#include "tests/support/devicedialog.h"

class MainDeviceDialog : public DeviceDialog
{
  protected:
    void openMain(int model) { MAINTEST_Open(model); }
    void TearDown() override
    {
        MAINTEST_Close();
        DeviceDialog::TearDown();
    }
};
