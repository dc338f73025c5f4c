/* commands_test.cpp -- the File menu through its file dialogs (names queued
 * as the user would choose them), the overwrite question, the reset and the
 * user-band calculator. */
#include "mainfixture.h"
#include "tests/support/filelimit.h"
#include "tests/support/shots.h"

#include "app/ubcalc.h"
#include "config/image.h"
#include "config/resource.h"
#include "config/texts.h"
#include "tests/support/tempdir.h"

#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

class Commands : public MainWindow
{
  protected:
    TempDir folder;
    const std::string dir = folder.path;
    void SetUp() override { ASSERT_FALSE(dir.empty()); }
    /* A menu item as the user chooses it; the calculator has none. */
    static void command(int id)
    {
        if (id == IDM_UB_CALCULATOR)
            WndProc(hWnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        else
            ASSERT_TRUE(WIN_UserMenu(hWnd, id));
    }
    /* Takes back a queued name that no dialog asked for. */
    static void drainFileName()
    {
        char p[64];
        WIN_FileDialog fd{nullptr, L"Text", L"*.txt", L"txt", p, 64};
        WIN_GetSaveFileName(&fd);
    }
    static void spit(const std::string &path, const std::string &bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }
};

TEST_F(Commands, OpenFillsShowsReplacesAndValidates)
{
    open(7); /* EN group */
    const std::string path = dir + "/cfg.txt";
    spit(path, ";\n"
               "0,\t0,\t1000,\t0,\t\t82,\t0,\t\tH,\t-35,\t0,\n"
               "1,\t0,\t1100,\t5,\t\t30,\t11000,\t\tv,\t-25,\t1,\n"
               "2,\t0,\t0,\t0,\t\t46,\t0,\t\tH,\t-22,\t0,\n");
    WIN_SetWindowText(hUBFreq[0], L"");
    WIN_QueueFileName(path.c_str());
    command(IDM_OPEN_FILE);

    /* out-of-range EN values replaced, shown and stored */
    EXPECT_EQ(rec(0).AGCVal, -22);
    EXPECT_EQ(rec(0).BW, 36);
    EXPECT_EQ(text(hLevel[0]), L"-22");
    EXPECT_EQ(text(hBW[0]), L"36");
    EXPECT_EQ(text(hUBFreq[0]), L"1000");
    /* a static, inverted row */
    EXPECT_EQ(WIN_GetCheck(hMode[1]), 1);
    EXPECT_EQ(text(hConvFreq[1]), L"11000");
    EXPECT_EQ(text(hConvPol[1]), L"V");
    EXPECT_TRUE(WIN_IsWindowEnabled(hConvFreq[1]));
    EXPECT_EQ(WIN_GetCheck(hInversion), 1);
    /* inactive rows, also those the file does not reach */
    EXPECT_EQ(WIN_GetCheck(hActive[2]), 0);
    EXPECT_FALSE(WIN_IsWindowEnabled(hUBFreq[2]));
    EXPECT_EQ(WIN_GetCheck(hActive[31]), 0);
    EXPECT_EQ(std::wstring(ErrorText[31]), TXT(TX_UB_INACTIVE));
    EXPECT_EQ(ConfigOK, 0);

    /* a file without inversion clears the box; a cancel still shows and
     * validates the table as it stands */
    spit(path, "0,\t0,\t1000,\t0,\t\t40,\t0,\t\tH,\t-25,\t0,\n");
    WIN_QueueFileName(path.c_str());
    command(IDM_OPEN_FILE);
    EXPECT_EQ(WIN_GetCheck(hInversion), 0);
    rec(0).UBFreq = 3000;
    WIN_QueueFileName(nullptr);
    command(IDM_OPEN_FILE);
    EXPECT_EQ(text(hUBFreq[0]), L"");
    EXPECT_EQ(std::wstring(ErrorText[0]), TXT(TX_ERR_FREQ_LBAND));
}

TEST_F(Commands, SaveAsksBeforeOverwritingAndShowsTheSortedTable)
{
    open(3);
    const std::string path = dir + "/out.txt";
    WIN_UserClick(hActive[5]);
    WIN_QueueFileName(path.c_str());
    command(IDM_SAVE_FILE);
    const std::string saved = ReadFile(path);
    ASSERT_EQ(saved.rfind(";\r\n;UB No\tFeed\t", 0), 0u);
    /* the inactive row is written first, with frequency 0 */
    EXPECT_NE(saved.find("5,\t0,\t0,\t0,\t\t46,"), std::string::npos);
    EXPECT_EQ(VelnorCfg[0].UBNo, 5);
    /* the row is shown again after the save normalised it */
    EXPECT_EQ(text(hUBFreq[5]), L"");
    EXPECT_EQ(WIN_GetCheck(hActive[5]), 0);

    /* No keeps the old file; Yes replaces it */
    WIN_UserClick(hActive[5]);
    WIN_UserSelect(hUBFreq[5], 275); /* 1225: free again */
    WIN_QueueFileName(path.c_str());
    WIN_QueueMessageBoxAnswer(IDNO);
    command(IDM_SAVE_FILE);
    EXPECT_EQ(std::wstring(WIN_LastMessageBoxText()), TXT(TX_FILE_EXISTS));
    EXPECT_EQ(ReadFile(path), saved);
    WIN_QueueFileName(path.c_str());
    WIN_QueueMessageBoxAnswer(IDYES);
    command(IDM_SAVE_FILE);
    EXPECT_NE(ReadFile(path), saved);
    EXPECT_NE(ReadFile(path).find("5,\t0,\t1225,"), std::string::npos);

    /* a faulty row: nothing is asked or written */
    const std::string other = dir + "/faulty.txt";
    WIN_UserType(hUBFreq[2], L"2200");
    WIN_QueueFileName(other.c_str());
    command(IDM_SAVE_FILE);
    EXPECT_NE(access(other.c_str(), F_OK), 0);
    drainFileName();
}

TEST_F(Commands, ExportWritesTheModelsImageAndReplacesSilently)
{
    open(7);
    const std::string path = dir + "/image.bin";
    spit(path, std::string(2000, 'x'));
    WIN_QueueFileName(path.c_str());
    command(IDM_EXPORT);
    const std::string img = ReadFile(path);
    ASSERT_EQ(img.size(), 336u);
    unsigned char want[BREVCFG_IMAGE_MAX] = {};
    BREVCFG_CompileEN(VelnorCfg, &VelnorData, want, 0);
    EXPECT_EQ(img, std::string(reinterpret_cast<char *>(want), 336));
    EXPECT_EQ(static_cast<unsigned char>(img[16]), 0xB0);
}

TEST_F(Commands, ExportOfAnMxLModelSortsAndRefusesAFaultyTable)
{
    open(3);
    WIN_UserSelect(hUBFreq[23], 25);  /* 975 */
    WIN_UserSelect(hUBFreq[0], 1175); /* 2125: UB 0 moves to the end */
    const std::string path = dir + "/mxl.bin";
    WIN_QueueFileName((dir + "/mxl").c_str()); /* the dialog adds ".bin" */
    command(IDM_EXPORT);
    const std::string img = ReadFile(path);
    ASSERT_EQ(img.size(), 232u);
    EXPECT_EQ(static_cast<unsigned char>(img[16 + 7]), 23); /* first record: UB 23 */
    EXPECT_EQ(text(hUBFreq[0]), L"2125");

    const std::string faulty = dir + "/faulty.bin";
    WIN_UserType(hBW[4], L"99");
    WIN_QueueFileName(faulty.c_str());
    command(IDM_EXPORT);
    EXPECT_NE(access(faulty.c_str(), F_OK), 0);
    drainFileName();

    /* a cancelled dialog writes nothing */
    WIN_UserType(hBW[4], L"40");
    WIN_QueueFileName(nullptr);
    command(IDM_EXPORT);
    EXPECT_EQ(ReadFile(path), img);
}

TEST_F(Commands, FilesThatCannotBeWrittenOrReadAreTold)
{
    open(7);
    /* Files may not grow past 100 bytes: the save fails as on a full disk. */
    const std::string path = dir + "/cfg.txt";
    spit(path, "old");
    for (int id : {IDM_SAVE_FILE, IDM_EXPORT}) {
        FileSizeLimit full(100);
        WIN_QueueFileName(path.c_str());
        if (id == IDM_SAVE_FILE) WIN_QueueMessageBoxAnswer(IDYES); /* overwrite */
        WIN_QueueMessageBoxAnswer(IDOK);                           /* the failure */
        command(id);
        const std::wstring told = WIN_LastMessageBoxText();
        EXPECT_NE(told.find(L"could not be saved"), std::wstring::npos) << id;
        EXPECT_NE(told.find(L"/cfg.txt"), std::wstring::npos) << id;
        EXPECT_NE(told.find(L"File too large"), std::wstring::npos) << id;
        EXPECT_NE(told.find(L"The file on the disk is unchanged."), std::wstring::npos) << id;
        EXPECT_EQ(ReadFile(path), "old") << id;
    }
    /* A new file: there was none on the disk to stay unchanged. */
    const std::string fresh = dir + "/new.txt";
    for (int id : {IDM_SAVE_FILE, IDM_EXPORT}) {
        FileSizeLimit full(100);
        WIN_QueueFileName(fresh.c_str());
        WIN_QueueMessageBoxAnswer(IDOK);
        command(id);
        const std::wstring told = WIN_LastMessageBoxText();
        EXPECT_NE(told.find(L"/new.txt could not be saved: File too large."), std::wstring::npos)
            << id;
        EXPECT_EQ(told.find(L"unchanged"), std::wstring::npos) << id;
        EXPECT_NE(access(fresh.c_str(), F_OK), 0) << id;
    }

    /* opening a folder says so and leaves the table as it was */
    const int freq = VelnorCfg[0].UBFreq;
    WIN_QueueFileName(dir.c_str());
    WIN_QueueMessageBoxAnswer(IDOK);
    command(IDM_OPEN_FILE);
    EXPECT_NE(std::wstring(WIN_LastMessageBoxText()).find(L"could not be read: Is a directory"),
              std::wstring::npos);
    EXPECT_EQ(VelnorCfg[0].UBFreq, freq);
}

TEST_F(Commands, ResetRestoresTheModelsDefaults)
{
    open(3);
    WIN_UserType(hUBFreq[1], L"2200");
    WIN_UserClick(hInversion);
    WIN_UserType(hDBase, L"2.3");
    command(IDM_RESET_TABLE);
    EXPECT_EQ(rec(1).UBFreq, 1025);
    EXPECT_EQ(text(hUBFreq[1]), L"1025");
    EXPECT_EQ(WIN_GetCheck(hInversion), 0);
    EXPECT_EQ(BoxColor[1], BOX_GREEN);
    EXPECT_EQ(ConfigOK, 0);
    EXPECT_EQ(VelnorData.DBaseVersion, 0);
    EXPECT_EQ(text(hDBase), L"0.0");
    EXPECT_EQ(VelnorData.Model, 3);
}

TEST_F(Commands, CalculatorOpensWithItsFirstChoicesAndChangesNothing)
{
    open(3);
    WIN_UserType(hUBFreq[1], L"2200");
    const VelnorCfg_t before = rec(1);
    std::wstring seen[4];
    int counts[4] = {};
    WIN_Post([&] {
        HWND dlg = WIN_ActiveDialog();
        if (!dlg) return;
        HWND lists[4] = {hTPFreq, hSR, hPol, hGap};
        for (int i = 0; i < 4; i++) {
            seen[i] = text(lists[i]);
            counts[i] = WIN_ComboGetCount(lists[i]);
        }
        seen[0] += L"/" + text(dlg);
        WIN_UserSelect(hSR, 3);
        WIN_UserSelect(hPol, 2);
        SaveShot(dlg, "ub-calculator");
        WIN_UserClose(dlg);
    });
    command(IDM_UB_CALCULATOR);
    EXPECT_EQ(seen[0], L"10700/UB Calculator");
    EXPECT_EQ(seen[1], L"22000"); /* entry 42 */
    EXPECT_EQ(seen[2], L"V");
    EXPECT_EQ(seen[3], L"0");
    EXPECT_EQ(counts[0], 2051);
    EXPECT_EQ(counts[1], 273);
    EXPECT_EQ(counts[2], 4);
    EXPECT_EQ(counts[3], 10);
    EXPECT_EQ(WIN_ActiveDialog(), nullptr);
    EXPECT_EQ(rec(1).UBFreq, before.UBFreq);
    EXPECT_EQ(BoxColor[1], BOX_RED);
}

/* Each kind of file dialog opens in the folder its kind was last taken
 * from, remembered in the settings file; lines there that mean nothing give
 * defaults and stay beside what is remembered. */
TEST_F(Commands, FileDialogsRememberTheirFoldersBetweenRuns)
{
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    const std::string settings = dir + "/brevant/settings";
    ASSERT_EQ(mkdir((dir + "/brevant").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((dir + "/roofs").c_str(), 0700), 0);
    spit(settings, std::string("\x01\x02garbage\nsave_folder\n=\n\0", 24));
    MAINTEST_Open(3);

    WIN_QueueFileName((dir + "/roofs/a.txt").c_str());
    command(IDM_SAVE_FILE);
    EXPECT_STREQ(WIN_LastFileFolder(), ""); /* the corrupt file: no folder */
    WIN_QueueFileName((dir + "/roofs/b.txt").c_str());
    command(IDM_SAVE_FILE);
    EXPECT_EQ(std::string(WIN_LastFileFolder()), dir + "/roofs");
    /* Open and Export keep folders of their own. */
    WIN_QueueFileName((dir + "/roofs/a.txt").c_str());
    command(IDM_OPEN_FILE);
    EXPECT_STREQ(WIN_LastFileFolder(), "");
    WIN_QueueFileName(nullptr);
    command(IDM_OPEN_FILE);
    EXPECT_EQ(std::string(WIN_LastFileFolder()), dir + "/roofs");
    unsetenv("XDG_CONFIG_HOME");
}
