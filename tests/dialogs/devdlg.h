/* devdlg.h -- a device dialog run offscreen against kaltro-sim: the
 * simulator started with a state file, the port opened on it as the start-up
 * window leaves it, and the dialog run modally with a script that acts as the
 * user from inside the dialog's loop.
 */
#pragma once

#include "config/velnor.h"
#include "link/rs232.h"
#include "platform/testsupport/wintest.h"
#include "tests/dialogs/simproc.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

class DeviceDialog : public ::testing::Test
{
  public:
    /* Generous bound for a whole sequence under sanitizers. */
    static constexpr int WAIT_MS = 30000;
    /* Timer periods run at this share of real time; the serial exchanges
     * keep their own. */
    static constexpr double TIME_SCALE = 0.05;

    void SetUp() override
    {
        WIN_SetTimeScale(TIME_SCALE);
        RS232_Term();
        VelnorData = VelnorData_t{};
        VelnorData.Model = 3;
        VelnorData.UBNumber = 24;
    }
    void TearDown() override
    {
        RS232_Term();
        WIN_SetTimeScale(1);
    }

    /* Starts a powered simulator with the state lines and extra flags and
     * opens the port on it; false (and a failure) when that fails. */
    bool connect(const std::vector<std::string> &state, std::vector<std::string> flags = {})
    {
        const std::string path = sim.folder() + "/state.txt";
        std::ofstream out(path);
        for (const auto &line : state)
            out << line << "\n";
        out.close();
        flags.insert(flags.end(), {"--state", path, "--voltage", "6", "--power-delay", "0"});
        port = sim.start(flags);
        EXPECT_GT(port, 0) << "the simulator did not start";
        if (port <= 0) return false;
        RS232_SetPortNumber(port);
        const bool open = RS232_OpenPort(port) == RS232_OK;
        EXPECT_TRUE(open) << "no Kaltro on COM" << port;
        return open;
    }

    /* Runs a modal dialog; script gets the dialog and must leave it open or
     * closed; a dialog still open afterwards is closed with OK. */
    static INT_PTR run(const std::function<INT_PTR()> &open,
                       const std::function<void(HWND)> &script)
    {
        WIN_Post([script] {
            ASSERT_TRUE(WIN_WaitFor([] { return WIN_ActiveDialog() != nullptr; }, WAIT_MS));
            HWND d = WIN_ActiveDialog();
            script(d);
            if (WIN_ActiveDialog() == d) WIN_UserClick(WIN_GetDlgItem(d, IDOK));
        });
        return open();
    }

    /* BREVANT_SHOTS names a folder for pictures of the dialogs to look at. */
    static void shot(HWND d, const char *name)
    {
        if (const char *shots = std::getenv("BREVANT_SHOTS"))
            WIN_SaveImage(d, (std::string(shots) + "/" + name + ".png").c_str());
    }

    static std::wstring text(HWND w)
    {
        wchar_t buf[128] = {};
        WIN_GetWindowText(w, buf, 128);
        return buf;
    }
    static std::wstring text(HWND d, int id) { return text(WIN_GetDlgItem(d, id)); }
    static bool enabled(HWND d, int id) { return WIN_IsWindowEnabled(WIN_GetDlgItem(d, id)); }
    static int selection(HWND d, int id) { return WIN_ComboGetCurSel(WIN_GetDlgItem(d, id)); }
    static int count(HWND d, int id) { return WIN_ComboGetCount(WIN_GetDlgItem(d, id)); }

    SimProcess sim;
    int port = 0;
};
