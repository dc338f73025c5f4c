/* fixture.h -- what the device dialog tests share: a simulator with a
 * powered device, the port opened as start-up opens it, waits scaled down,
 * and a way to act as the user inside a modal dialog's loop. */
#pragma once

#include "app/texts.h"
#include "config/velnor.h"
#include "link/dialogs/display.h"
#include "link/rs232.h"
#include "platform/testsupport/wintest.h"
#include "sim/sim.h"
#include "tests/sim/simtest.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

/* The dialogs' own pauses run at this share of real time (1500 ms becomes
 * 15 ms, the 10 s self-closing 100 ms); the serial layer keeps real time. */
constexpr double TIME_SCALE = 0.01;
/* Generous bound for one dialog under sanitizers. */
constexpr int WAIT_MS = 60000;

class DeviceDialog : public testing::Test
{
  protected:
    void SetUp() override
    {
        WIN_SetTimeScale(TIME_SCALE);
        RS232_Term();
    }
    void TearDown() override
    {
        RS232_Term();
        sim.Stop();
        WIN_SetTimeScale(1);
        for (auto &f : files)
            std::remove(f.c_str());
    }
    /* A temporary file holding text (a simulator state, a software file);
     * removed after the test. */
    std::string tempFile(const std::string &text)
    {
        char path[] = "/tmp/brevant-linkdlg-XXXXXX";
        const int fd = mkstemp(path);
        if (fd >= 0) close(fd);
        std::ofstream(path, std::ios::binary) << text;
        files.push_back(path);
        return path;
    }

    /* Starts the simulator with its device powered and opens its port. */
    void connect(std::vector<std::string> args)
    {
        args.insert(args.end(), {"--voltage", "6"});
        const int port = sim.Start(args);
        ASSERT_GT(port, 0) << "the simulator did not start";
        ASSERT_EQ(RS232_OpenPort(port), RS232_OK);
    }
    /* The main window's table for model m, with its defaults. */
    static void useModel(int m)
    {
        VelnorData = VelnorData_t{};
        VelnorData.Model = static_cast<std::int8_t>(m);
        MAIN_InitStruct();
    }

    /* Posts script into the next modal loop; it acts as the user there. A
     * dialog it leaves open is closed with a failure. */
    static void during(std::function<void()> script)
    {
        WIN_Post([script] {
            HWND dlg = WIN_ActiveDialog();
            script();
            if (dlg != nullptr && open(dlg)) {
                ADD_FAILURE() << "the dialog is still open";
                WIN_UserClose(dlg);
            }
        });
    }
    static INT_PTR run(const WIN_DlgTemplate *t, DLGPROC proc, std::function<void()> script)
    {
        during(std::move(script));
        return WIN_DialogBox(nullptr, t, proc);
    }

    /* A dialog that has not ended yet. */
    static bool open(HWND dlg) { return WIN_IsWindow(dlg) && WIN_IsWindowVisible(dlg); }
    static bool shows(const Display_t *d, int textId)
    {
        return std::wstring(d->KaltroText) == TXT(textId);
    }
    /* Waits until the display shows text textId; false (and a failure) when
     * it did not come. */
    static bool waitText(const Display_t *d, int textId)
    {
        const bool came = WIN_WaitFor([d, textId] { return shows(d, textId); }, WAIT_MS);
        EXPECT_TRUE(came) << "text " << textId << " never came";
        return came;
    }
    static void click(int id) { WIN_UserClick(WIN_GetDlgItem(WIN_ActiveDialog(), id)); }
    /* BREVANT_SHOTS names a folder for pictures of the open dialog. */
    static void shot(const char *name)
    {
        if (const char *shots = std::getenv("BREVANT_SHOTS"))
            WIN_SaveImage(WIN_ActiveDialog(), (std::string(shots) + "/" + name + ".png").c_str());
    }

    SimThread sim;
    std::vector<std::string> files;
};
