/* lang_test.cpp -- every window in every language, offscreen: each text a
 * control shows fits the control in its font, and no painted label runs into
 * what is painted or placed beside it (the next heading, a field, a frame,
 * the window's edge); the Language menu's choice is shown at once and
 * remembered. With BREVANT_SHOTS set, every window of each language is saved
 * there to be looked at, the main window as main-window-<code>.png, as docs/
 * keeps it.
 */
#include "app/mainwnd.h"
#include "config/lang.h"
#include "config/resource.h"
#include "dialogs/dcsssetting.h"
#include "dialogs/diffs.h"
#include "dialogs/display.h"
#include "dialogs/getdevice.h"
#include "dialogs/kaltrosetting.h"
#include "dialogs/kaltrotogo.h"
#include "dialogs/readout.h"
#include "dialogs/rsinit.h"
#include "dialogs/serialdlg.h"
#include "dialogs/transfer.h"
#include "link/rs232.h"
#include "tests/app/mainfixture.h"
#include "tests/support/shots.h"
#include "tests/support/simthread.h"

#include <algorithm>
#include <functional>
#include <string>

namespace
{

std::string utf8(const std::wstring &w)
{
    std::string s;
    for (const wchar_t c : w) {
        const auto u = static_cast<unsigned>(c);
        if (u < 0x80) {
            s += static_cast<char>(u);
        } else if (u < 0x800) {
            s += static_cast<char>(0xC0 | (u >> 6));
            s += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            s += static_cast<char>(0xE0 | (u >> 12));
            s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return s;
}

/* A picture of win for BREVANT_SHOTS, named by where and the language. */
void shot(HWND win, const char *where)
{
    std::string name = std::string(where) + "-" + LANG_Code(Lang);
    std::replace(name.begin(), name.end(), ' ', '-');
    SaveShot(win, name.c_str());
}

/* Every text of every control of win, and every item of its lists, fits. */
void expectControlsFit(HWND win, const char *where)
{
    HWND kids[300];
    const int n = std::min(WIN_GetChildren(win, kids, 300), 300);
    for (int i = 0; i < n; i++) {
        for (int item = -1; item < WIN_ComboGetCount(kids[i]); item++) {
            int need = 0, room = 0;
            if (WIN_TextFits(kids[i], item, &need, &room)) continue;
            wchar_t text[300] = {};
            if (item < 0)
                WIN_GetWindowText(kids[i], text, 300);
            else
                WIN_ComboGetItemText(kids[i], item, text, 300);
            ADD_FAILURE() << LANG_Code(Lang) << ", " << where << ": \"" << utf8(text) << "\" needs "
                          << need << ", has " << room << " (pixels, or lines of a text that wraps)";
        }
    }
}

/* Texts side by side keep this many pixels between them, or they read as
 * one ("TP PolarityInput"). */
constexpr int GAP = 3;
/* A control's frame sets it apart: a text beside one keeps 2 pixels, as
 * the units keep from the next row box. */
constexpr int CONTROL_GAP = 2;

bool overlap(int a0, int a1, int b0, int b1)
{
    return a0 < b1 && b0 < a1;
}

/* What was drawn on win since WIN_WatchDrawing: each text stays inside the
 * client area and inside a field (a fill) it is drawn in, crosses no
 * frame's edge, and keeps GAP from the other texts still shown and from
 * fields beside it, CONTROL_GAP from controls; no field is drawn over part of a text (a fill
 * over a whole text takes it away; the same text at the same place again is
 * no other). */
void expectDrawingClear(HWND win, const char *where)
{
    int cw = 0, ch = 0;
    WIN_GetClientSize(win, &cw, &ch);
    std::vector<WIN_DrawnItem> shown, fills, frames;
    HWND kids[300];
    const int n = std::min(WIN_GetChildren(win, kids, 300), 300);
    const auto fail = [&](const WIN_DrawnItem &t, const std::string &why) {
        ADD_FAILURE() << LANG_Code(Lang) << ", " << where << ": \"" << utf8(t.text) << "\" at "
                      << t.left << "," << t.top << " to " << t.right << " " << why;
    };
    for (const WIN_DrawnItem &d : WIN_Drawn()) {
        if (d.kind == WIN_DrawnItem::Frame) frames.push_back(d);
        if (d.kind == WIN_DrawnItem::Fill) {
            /* a fill takes away the texts it covers whole, and cuts the
             * ones it covers in part */
            std::erase_if(shown, [&](const WIN_DrawnItem &t) {
                if (!overlap(t.left, t.right, d.left, d.right) ||
                    !overlap(t.top, t.bottom, d.top, d.bottom))
                    return false;
                if (t.left >= d.left && t.right <= d.right && t.top >= d.top &&
                    t.bottom <= d.bottom)
                    return true;
                fail(t, "is cut by the field " + std::to_string(d.left) + " to " +
                            std::to_string(d.right));
                return false;
            });
            fills.push_back(d);
        }
        if (d.kind != WIN_DrawnItem::Text || d.text.empty()) continue;
        if (std::any_of(shown.begin(), shown.end(), [&d](const WIN_DrawnItem &t) {
                return t.left == d.left && t.top == d.top && t.text == d.text;
            }))
            continue;
        if (d.right > cw) fail(d, "runs past the window's edge at " + std::to_string(cw));
        for (const WIN_DrawnItem &t : shown)
            if (overlap(d.left - GAP, d.right + GAP, t.left, t.right) &&
                overlap(d.top, d.bottom, t.top, t.bottom))
                fail(d, "runs into \"" + utf8(t.text) + "\"");
        /* a text in a field stays inside it; one beside it keeps GAP */
        for (const WIN_DrawnItem &f : fills) {
            const bool inside =
                d.left >= f.left && d.right <= f.right && d.top >= f.top && d.bottom <= f.bottom;
            if (!inside && overlap(d.left - GAP, d.right + GAP, f.left, f.right) &&
                overlap(d.top, d.bottom, f.top, f.bottom))
                fail(d, "runs out of or into the field " + std::to_string(f.left) + " to " +
                            std::to_string(f.right));
        }
        for (const WIN_DrawnItem &f : frames) {
            const bool rows = overlap(d.top, d.bottom, f.top, f.bottom);
            const bool across = overlap(d.left, d.right, f.left, f.right);
            if ((rows && (overlap(d.left, d.right, f.left, f.left + 1) ||
                          overlap(d.left, d.right, f.right - 1, f.right))) ||
                (across && (overlap(d.top, d.bottom, f.top, f.top + 1) ||
                            overlap(d.top, d.bottom, f.bottom - 1, f.bottom))))
                fail(d, "crosses a frame");
        }
        for (int i = 0; i < n; i++) {
            int x = 0, y = 0, w = 0, h = 0;
            WIN_GetControlRect(kids[i], &x, &y, &w, &h);
            if (WIN_IsWindowVisible(kids[i]) &&
                overlap(d.left - CONTROL_GAP, d.right + CONTROL_GAP, x, x + w) &&
                overlap(d.top, d.bottom, y, y + h))
                fail(d, "runs into a control at " + std::to_string(x));
        }
        shown.push_back(d);
    }
}

/* Opens a dialog with opener and runs script in it; a dialog left open is
 * closed with its close box. */
void inDialog(const std::function<void()> &opener, const std::function<void(HWND)> &script)
{
    WIN_Post([script] {
        ASSERT_TRUE(WIN_WaitFor([] { return WIN_ActiveDialog() != nullptr; }, 30000));
        HWND d = WIN_ActiveDialog();
        script(d);
        if (WIN_IsWindow(d)) WIN_UserClose(d);
    });
    opener();
}

/* The texts the progress dialogs show above their bar. */
constexpr int PROGRESS_TEXTS[] = {
    TX_TRANSMISSION_STARTED, TX_DOWNLOAD_IN_PROGRESS, TX_UPLOAD_IN_PROGRESS,  TX_VERIFICATION,
    TX_SW_UPGRADE_OK,        TX_UPLOAD_FINISHED,      TX_TRANSMISSION_ERROR,  TX_NO_DEVICE,
    TX_NO_REPLY_KALTRO,      TX_WRONG_DEVICE,         TX_CONFIGURATION_ERROR, TX_WRONG_FILE,
    TX_EMPTY_FILE,           TX_NO_MORE_SPACE,
};

/* A progress dialog: its controls, and each of its texts drawn as it draws
 * them, with the percentage at its end. */
void expectProgressFits(HWND d, const char *where)
{
    expectControlsFit(d, where);
    WIN_WatchDrawing(d);
    HDC dc = WIN_GetDC(d);
    for (int k : PROGRESS_TEXTS)
        DISPLAY_Text(dc, TXT(k), DISPLAY_BLACK);
    DISPLAY_Percents(dc, 100);
    WIN_ReleaseDC(d, dc);
    shot(d, (std::string(where) + " texts").c_str());
    expectDrawingClear(d, where);
    WIN_WatchDrawing(nullptr);
}

/* The status texts validation gives a row. */
constexpr int STATUS_TEXTS[] = {
    TX_OK,     TX_ERR_OVERLAP,  TX_ERR_DUPLICATE,  TX_ERR_LEVEL,   TX_ERR_TPFREQ,
    TX_ERR_BW, TX_ERR_BW_LBAND, TX_ERR_FREQ_LBAND, TX_UB_INACTIVE,
};

class Languages : public testing::TestWithParam<int>
{
  protected:
    void SetUp() override { LANG_Use(GetParam()); }
    void TearDown() override
    {
        MAINTEST_Close();
        LANG_Use(LANG_EN);
    }
};

std::string codeOf(const testing::TestParamInfo<int> &info)
{
    return LANG_Code(info.param);
}

TEST_P(Languages, MainWindowShowsEveryTextWhole)
{
    MAINTEST_Open(3);
    /* the README's table: a static row, an inactive one, a widened band */
    WIN_UserClick(hMode[2]);
    WIN_UserClick(hActive[4]);
    WIN_UserType(hBW[6], L"60");
    WIN_ProcessEvents(0);
    shot(hWnd, "main-window");

    WIN_WatchDrawing(hWnd);
    for (int r = 0; r < 24; r++) {
        const int k = STATUS_TEXTS[r % std::size(STATUS_TEXTS)];
        std::wcsncpy(ErrorText[r], TXT(k), ERROR_TEXT_LEN - 1);
        BoxColor[r] = k == TX_OK || k == TX_UB_INACTIVE ? BOX_GREEN : BOX_RED;
    }
    WIN_InvalidateRect(hWnd);
    WIN_UpdateWindow(hWnd);
    expectDrawingClear(hWnd, "main window");
    WIN_WatchDrawing(nullptr);
    expectControlsFit(hWnd, "main window");
}

TEST_P(Languages, StartUpWindowShowsEveryTextWhole)
{
    PortsFolder ports;
    WIN_Post([] {
        HWND w = nullptr;
        ASSERT_TRUE(
            WIN_WaitFor([&w] { return (w = WIN_FindWindow(TXT(TX_TITLE))) != nullptr; }, 30000));
        /* Cancel: nothing found, the fields red and the model list shown */
        WIN_UserClick(WIN_GetDlgItem(w, IDC_RS_FIRST));
        WIN_WatchDrawing(w);
        WIN_InvalidateRect(w);
        WIN_UpdateWindow(w);
        shot(w, "start-up window");
        expectDrawingClear(w, "start-up window");
        WIN_WatchDrawing(nullptr);
        expectControlsFit(w, "start-up window");
        WIN_UserClick(WIN_GetDlgItem(w, IDC_RS_EXIT));
    });
    EXPECT_EQ(RSINIT_Init(nullptr, 1), 1);
    RS232_Term();
}

TEST_P(Languages, DialogsShowEveryTextWhole)
{
    RS232_Term();
    VelnorData = VelnorData_t{};
    VelnorData.Model = 3;
    MAIN_InitStruct();
    const auto fit = [](const char *where) {
        return [where](HWND d) {
            shot(d, where);
            expectControlsFit(d, where);
        };
    };
    inDialog([] { MAIN_CmdAbout(nullptr); }, fit("About"));
    inDialog([] { MAIN_CmdUBCalc(nullptr); }, fit("UB calculator"));
    inDialog([] { WIN_DialogBox(nullptr, &DCSSSETTING_Template, dCSSSetting); },
             [](HWND d) {
                 /* the longest texts a read puts into the fields */
                 WIN_SetWindowText(WIN_GetDlgItem(d, IDC_DS_MODEL), TXT(TX_UNKNOWN));
                 WIN_SetWindowText(WIN_GetDlgItem(d, IDC_DS_SN), TXT(TX_NO_SN));
                 shot(d, "device settings");
                 expectControlsFit(d, "device settings");
             });
    inDialog([] { WIN_DialogBox(nullptr, &KALTROSETTING_Template, KaltroSetting); },
             fit("Kaltro settings"));
    inDialog([] { KALTROTOGO_Init(nullptr, nullptr); }, fit("save in Kaltro"));
    inDialog([] { dCSSGETDEVICE_Init(nullptr, nullptr); }, fit("get device"));
    inDialog([] { RSSERIAL_Init(nullptr, nullptr); }, fit("serial port"));
    /* the comparison's result with its longest line: a band's polarity */
    static const CmpDiff_t diff = {3, 3, CMP_TP_POL, 'H', 'V'};
    static const DiffsShown_t shown = {TX_DEVICE_DIFFERS, &diff, 1, 0x12, 0x10, true};
    inDialog([] { DIFFS_Show(nullptr, &shown); }, fit("compare with device"));
    inDialog([] { CONFIGREADOUT_Run(nullptr); },
             [](HWND d) { expectProgressFits(d, "configuration upload"); });
    static const unsigned char image[16] = {};
    inDialog(
        [] {
            const XferArgs_t args = {XM_TYPE_KALTRO_SW, image, sizeof image, 0};
            KALTRO_Run(nullptr, &args);
        },
        [](HWND d) { expectProgressFits(d, "software upgrade"); });
}

/* A settings folder of the test's own for the Language menu's choice. */
class LanguageMenu : public testing::Test
{
  protected:
    TempDir dir;
    void SetUp() override
    {
        setenv("XDG_CONFIG_HOME", dir.path.c_str(), 1);
        setenv("LANGUAGE", "nl", 1);
        LANG_Use(LANG_EN);
    }
    void TearDown() override
    {
        MAINTEST_Close();
        LANG_Use(LANG_EN);
        WIN_SetLanguage(nullptr);
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("LANGUAGE");
    }
    static std::wstring text(HWND w)
    {
        wchar_t buf[100] = {};
        WIN_GetWindowText(w, buf, 100);
        return buf;
    }
};

TEST_F(LanguageMenu, AChoiceShowsAtOnceAndIsRemembered)
{
    MAINTEST_Open(3);
    WIN_UserType(hBW[1], L"99"); /* a faulty row, so that a row shows an error */
    ASSERT_STREQ(ErrorText[1], TXT(TX_ERR_BW));

    ASSERT_TRUE(WIN_UserMenu(hWnd, IDM_LANGUAGE_FIRST + LANG_DE));
    EXPECT_EQ(Lang, LANG_DE);
    EXPECT_EQ(text(hWnd).rfind(L"Brevant von Halvorn Int. v.", 0), 0u) << utf8(text(hWnd));
    EXPECT_EQ(text(hProgram), L"Programmieren");
    EXPECT_STREQ(ErrorText[1], Str[LANG_DE]->Text[TX_ERR_BW]);
    EXPECT_STREQ(ErrorText[20], Str[LANG_DE]->Text[TX_OK]);
    EXPECT_EQ(ReadFile(dir.path + "/brevant/settings"), "language=de\n") << "folder made";
    EXPECT_EQ(LANG_ForWindows(), LANG_DE) << "the choice outlives the locale";

    /* the new menu works, and the locale's language comes back on request */
    ASSERT_TRUE(WIN_UserMenu(hWnd, IDM_LANGUAGE_SYSTEM));
    EXPECT_EQ(Lang, LANG_NL);
    EXPECT_EQ(text(hGetConfig), L"Configuratie uitlezen");
    EXPECT_EQ(ReadFile(dir.path + "/brevant/settings"), "");
}

TEST_F(LanguageMenu, AChoiceThatCannotBeRememberedIsToldAndHoldsForTheRun)
{
    setenv("XDG_CONFIG_HOME", "/dev/null/config", 1);
    MAINTEST_Open(3);
    ASSERT_TRUE(WIN_UserMenu(hWnd, IDM_LANGUAGE_FIRST + LANG_FR));
    /* in the new language */
    EXPECT_EQ(std::wstring(WIN_LastMessageBoxText())
                  .rfind(L"Le fichier /dev/null/config/brevant/settings ", 0),
              0u)
        << utf8(WIN_LastMessageBoxText());
    EXPECT_EQ(Lang, LANG_FR);
    EXPECT_EQ(text(hProgram), L"Programmer");
}

INSTANTIATE_TEST_SUITE_P(All, Languages, testing::Range(0, static_cast<int>(LANG_COUNT)), codeOf);

} // namespace
