/* devicedialog.h -- the one fixture of the tests that run device dialogs
 * offscreen against kaltro-sim: the simulator on a thread of the test,
 * published in a ports folder of the test's own that also holds its traffic
 * log and the files the test writes; the port opened as the start-up window
 * leaves it; the dialogs' pauses scaled down; and the user's actions posted
 * into a modal dialog's loop, where they wait for what the dialog shows.
 */
#pragma once

#include "config/texts.h"
#include "config/velnor.h"
#include "dialogs/display.h"
#include "link/rs232.h"
#include "platform/testsupport/wintest.h"
#include "tests/support/shots.h"
#include "tests/support/simthread.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

/* The dialogs' pauses and timer periods run at this share of real time: the
 * device's 5 s start becomes 250 ms, still longer than the simulated device
 * needs, a transfer's 1.5 s first wait 75 ms and its 10 s self-closing
 * 500 ms. The serial layer and the simulator keep real time. */
constexpr double TIME_SCALE = 0.05;
/* Generous bound for one dialog's whole sequence under the sanitizers. */
constexpr int WAIT_MS = 60000;

class DeviceDialog : public testing::Test
{
  protected:
    /* The main window's model is the KX-103 with 24 UBs until a test says
     * otherwise (useModel). */
    void SetUp() override
    {
        WIN_SetTimeScale(TIME_SCALE);
        RS232_Term();
        sim.logPath = ports.dir.path + "/sim.log";
        VelnorData = VelnorData_t{};
        VelnorData.Model = 3;
        VelnorData.UBNumber = 24;
    }
    void TearDown() override
    {
        RS232_Term();
        sim.Stop();
        WIN_SetTimeScale(1);
    }

  public:
    /* A file of the test's folder holding text (a simulator state, a
     * software file; it may be empty); its path. It goes with the folder. */
    std::string tempFile(const std::string &text)
    {
        const std::string path = ports.dir.File("file" + std::to_string(++files));
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    /* Starts the simulator with its device powered (at once, and again at
     * once after a change of supply), the words in args added, and opens its
     * port as the start-up window leaves it; false, with a failure of the
     * test, when either fails. */
    bool connect(std::vector<std::string> args)
    {
        args.insert(args.end(), {"--voltage", "6", "--power-delay", "0"});
        port = sim.Start(args);
        EXPECT_GT(port, 0) << "the simulator did not start";
        if (port <= 0) return false;
        RS232_SetPortNumber(port);
        const bool opened = RS232_OpenPort(port) == RS232_OK;
        EXPECT_TRUE(opened) << "no Kaltro on COM" << port;
        return opened;
    }
    /* The same, the simulator set up by a state file of these lines. */
    bool connectWithState(const std::vector<std::string> &state, std::vector<std::string> args = {})
    {
        std::string text;
        for (const auto &line : state)
            text += line + "\n";
        args.insert(args.end(), {"--state", tempFile(text)});
        return connect(std::move(args));
    }
    /* The main window's table for model m, with its defaults. */
    static void useModel(int m)
    {
        VelnorData = VelnorData_t{};
        VelnorData.Model = static_cast<std::int8_t>(m);
        MAIN_InitStruct();
    }

    /* Posts script into the next modal loop, to act as the user in the
     * dialog there; a dialog it leaves open is a failure and is closed. */
    static void during(std::function<void()> script)
    {
        post([script](HWND) { script(); }, false);
    }
    /* Runs a modal dialog from its template and procedure, with script. */
    static INT_PTR run(const WIN_DlgTemplate *t, DLGPROC proc, std::function<void()> script)
    {
        during(std::move(script));
        return WIN_DialogBox(nullptr, t, proc);
    }
    /* Does what opens a modal dialog (an entry function, a menu item);
     * script gets the dialog, and a dialog it leaves open is closed with OK. */
    static INT_PTR run(const std::function<INT_PTR()> &opener,
                       const std::function<void(HWND)> &script)
    {
        post(script, true);
        return opener();
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

    /* BREVANT_SHOTS names a folder for pictures of the dialogs to look at:
     * of dialog d, or of the innermost dialog open. */
    static void shot(HWND d, const char *name) { SaveShot(d, name); }
    static void shot(const char *name) { shot(WIN_ActiveDialog(), name); }
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

    PortsFolder ports;
    SimThread sim;
    int port = 0;

  private:
    /* Posts script into the next modal loop; it starts once a dialog is open
     * there. A dialog it leaves open is closed with OK when closeWithOK,
     * else with its close box and a failure. */
    static void post(std::function<void(HWND)> script, bool closeWithOK)
    {
        WIN_Post([script, closeWithOK] {
            ASSERT_TRUE(WIN_WaitFor([] { return WIN_ActiveDialog() != nullptr; }, WAIT_MS))
                << "no dialog opened";
            HWND dlg = WIN_ActiveDialog();
            script(dlg);
            if (!open(dlg)) return;
            if (closeWithOK) {
                WIN_UserClick(WIN_GetDlgItem(dlg, IDOK));
                return;
            }
            ADD_FAILURE() << "the dialog is still open";
            WIN_UserClose(dlg);
        });
    }
    int files = 0;
};
