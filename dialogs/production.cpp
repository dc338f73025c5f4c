/* production.cpp -- the production window (see production.h).
 *
 * State: the window, the main window's table kept aside for a run, the
 * log's path, the run's arguments, the counts, the last ten devices and what
 * the status field shows. The window is modal, so one is open at a time.
 *
 *   Choose     the save dialog; the path remembered in the settings file
 *   Start      the log opened, the table kept aside, the steps opened
 *   timer      one step, the timer stopped during it
 *   a record   appended to the log and flushed, counted, listed first; the
 *              bell unless the device passed
 *   Stop       the steps cancelled (a transfer under way abandoned on the
 *              Kaltro's side, the device under way recorded as cancelled),
 *              the log closed, the main window's table put back
 *   Close      Stop first
 *
 * Deciding what happens to a device is prodop's; this file only shows it.
 */
#include "dialogs/production.h"

#include "config/cfgfile.h"
#include "config/dcss.h"
#include "config/settings.h"
#include "config/sha256.h"
#include "config/texts.h"
#include "config/velnor.h"
#include "dialogs/display.h"
#include "link/rs232.h"
#include "ops/prodlog.h"
#include "ops/prodop.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <cwchar>
#include <iterator>

static constexpr int IDC_PROD_TABLE = 1701;
static constexpr int IDC_PROD_LOG_LABEL = 1702;
static constexpr int IDC_PROD_LOG = 1703;
static constexpr int IDC_PROD_CHOOSE = 1704;
static constexpr int IDC_PROD_COUNTS = 1705;
static constexpr int IDC_PROD_LAST_LABEL = 1706;
static constexpr int IDC_PROD_LIST = 1707;
static constexpr int IDC_PROD_START = 1708;
static constexpr int IDC_PROD_STOP = 1709;

/* The status field, in dialog units: the dialog's width, between the log
 * line and the counts. */
constexpr int STATUS_X = 8, STATUS_Y = 40, STATUS_W = 344, STATUS_H = 56;

static constexpr WIN_DlgItem prodItems[] = {
    {IDC_PROD_TABLE, WinControl::Static, nullptr, 0, 8, 6, 344, 10},
    {IDC_PROD_LOG_LABEL, WinControl::Static, nullptr, 0, 8, 22, 76, 10},
    {IDC_PROD_LOG, WinControl::StaticSunken, nullptr, 0, 86, 20, 202, 13},
    {IDC_PROD_CHOOSE, WinControl::PushButton, nullptr, CS_TABSTOP, 292, 19, 60, 14},
    {IDC_PROD_COUNTS, WinControl::Static, nullptr, 0, 8, 102, 344, 10},
    {IDC_PROD_LAST_LABEL, WinControl::Static, nullptr, 0, 8, 118, 344, 10},
    {IDC_PROD_LIST, WinControl::TextBox, nullptr, CS_TABSTOP, 8, 130, 344, 116},
    {IDC_PROD_START, WinControl::DefPushButton, nullptr, CS_TABSTOP, 8, 254, 60, 14},
    {IDC_PROD_STOP, WinControl::PushButton, nullptr, CS_TABSTOP | CS_DISABLED, 72, 254, 60, 14},
    {IDCANCEL, WinControl::PushButton, nullptr, CS_TABSTOP, 292, 254, 60, 14},
};
static const WIN_DlgTemplate prodTemplate = {
    360, 274, 8, nullptr, prodItems, static_cast<int>(std::size(prodItems)),
};

constexpr unsigned STEP_TIMER = 1; /* the next production step */
constexpr unsigned END_TIMER = 2;  /* the run ended by itself: close it */
/* A transfer's longest wait for an answer: a device that drops off is given
 * up within seconds, as brevant-cli production gives it up. */
constexpr unsigned TRANSFER_LIMIT_MS = 5000;
constexpr char LOG_KEY[] = "production_log"; /* the settings key of the log's path */
constexpr int PATH_BYTES = 4096;
constexpr int LINE_LEN = 96;      /* wide characters of a line of the list */
constexpr int LOG_SHOWN = 48;     /* characters of the path the label shows whole */
constexpr int SERIAL_COLUMN = 16; /* the list's serial number column, at least */
constexpr int STATUS_MARGIN = 12; /* pixels between the text and the field's edge */
constexpr int STATUS_SIZES[] = {56, 46, 38, 30, 24}; /* cell heights, the largest that fits */
constexpr COLORREF STATUS_FACE = RGB(255, 255, 255);
constexpr COLORREF STATUS_EDGE = RGB(160, 160, 160);

ProdShown_t ProductionShown;

static HWND Dlg = nullptr;
static bool Running = false;
static bool Started = false; /* a run has been started since the window opened */
static VelnorCfg_t UserCfg[MAX_UB];
static VelnorData_t UserData;
static char LogPath[PATH_BYTES];
static char DevicePath[PATH_BYTES];
static char PortLabel[PATH_BYTES];
static ProdArgs_t Args;
static bool LogFailed = false;
static int LogErrno = 0;
static long Passed = 0, Failed = 0;
static long long RunMs = 0, RunStartMs = 0;     /* time run before this run; this run's start */
static wchar_t Last[PRODUCTION_LAST][LINE_LEN]; /* newest first */
static int LastCount = 0;
static HFONT StatusFonts[std::size(STATUS_SIZES)];
static HFONT ListFont = nullptr;

/* ---- Texts -------------------------------------------------------------------- */

static void serialText(const ProdRecord_t *d, wchar_t *out, int len)
{
    if (d != nullptr && d->HasSerial)
        std::swprintf(out, static_cast<std::size_t>(len), L"%u", static_cast<unsigned>(d->Serial));
    else
        std::swprintf(out, static_cast<std::size_t>(len), L"%ls", TXT(TX_NO_SERIAL));
}

/* Why a device did not pass, in the window's words. */
static const wchar_t *reasonText(ProdResult_t result)
{
    switch (result) {
    case PROD_FAIL_PROGRAM: return TXT(TX_RES_FAIL_PROGRAM);
    case PROD_FAIL_VERIFY: return TXT(TX_VERIFY_FAILED);
    case PROD_WRONG_MODEL: return TXT(TX_RES_WRONG_MODEL);
    case PROD_LOST: return TXT(TX_RES_LOST);
    default: return TXT(TX_RES_CANCELLED);
    }
}

/* The pass word alone: the status text's without a serial number. */
static void passWord(wchar_t *out, int len)
{
    std::swprintf(out, static_cast<std::size_t>(len), TXT(TX_PROD_PASS), L"");
    for (std::size_t n = std::wcslen(out); n > 0 && out[n - 1] == L' '; n--)
        out[n - 1] = L'\0';
}

/* ---- The status field ----------------------------------------------------------- */

static void drawStatus(HDC dc)
{
    const int left = WIN_DlgUnitsToPixelsX(Dlg, STATUS_X);
    const int top = WIN_DlgUnitsToPixelsY(Dlg, STATUS_Y);
    const int right = left + WIN_DlgUnitsToPixelsX(Dlg, STATUS_W);
    const int bottom = top + WIN_DlgUnitsToPixelsY(Dlg, STATUS_H);
    WIN_FillRect(dc, left, top, right, bottom, STATUS_FACE);
    WIN_FrameRect(dc, left, top, right, bottom, STATUS_EDGE);
    const wchar_t *text = ProductionShown.Status;
    /* the largest size at which the text fits the field */
    std::size_t k = 0;
    HFONT old = WIN_SelectFont(dc, StatusFonts[0]);
    int width = WIN_GetTextWidth(dc, text, -1);
    while (width > right - left - 2 * STATUS_MARGIN && k + 1 < std::size(StatusFonts)) {
        WIN_SelectFont(dc, StatusFonts[++k]);
        width = WIN_GetTextWidth(dc, text, -1);
    }
    WIN_SetBkMode(dc, TRANSPARENT);
    WIN_SetTextColor(dc, ProductionShown.Color);
    WIN_TextOut(dc, left + std::max(STATUS_MARGIN, (right - left - width) / 2),
                top + (bottom - top - STATUS_SIZES[k]) / 2, text, -1);
    WIN_SelectFont(dc, old);
}

static void setStatus(const wchar_t *text, COLORREF color, ProdPhase_t phase)
{
    ProdShown_t &s = ProductionShown;
    s.Phase = phase;
    if (color == s.Color && std::wcscmp(text, s.Status) == 0) return;
    std::swprintf(s.Status, PRODUCTION_STATUS_LEN, L"%ls", text);
    s.Color = color;
    HDC dc = WIN_GetDC(Dlg);
    drawStatus(dc);
    WIN_ReleaseDC(Dlg, dc);
}

/* ---- Counts and the last devices ---------------------------------------------- */

static void showCounts()
{
    const long long ms = RunMs + (Running ? OPS_NowMs() - RunStartMs : 0);
    const long perHour = ms > 0 ? static_cast<long>((Passed + Failed) * 3600000LL / ms) : 0;
    wchar_t text[LINE_LEN * 2];
    std::swprintf(text, std::size(text), TXT(TX_PROD_COUNTS), Passed, Failed, perHour);
    WIN_SetWindowText(WIN_GetDlgItem(Dlg, IDC_PROD_COUNTS), text);
}

static void showLast()
{
    static wchar_t text[PRODUCTION_LAST * (LINE_LEN + 1)];
    text[0] = L'\0';
    std::size_t used = 0;
    for (int i = 0; i < LastCount; i++) {
        const int n = std::swprintf(text + used, std::size(text) - used, L"%ls%ls",
                                    i > 0 ? L"\n" : L"", Last[i]);
        if (n > 0) used += static_cast<std::size_t>(n);
    }
    WIN_SetWindowText(WIN_GetDlgItem(Dlg, IDC_PROD_LIST), text);
}

/* "14:02:37  12345679          PASS", newest first. */
static void addLast(const ProdRecord_t *rec)
{
    std::move_backward(Last[0], Last[PRODUCTION_LAST - 1], Last[PRODUCTION_LAST]);
    LastCount = std::min(LastCount + 1, PRODUCTION_LAST);
    std::tm t{};
    localtime_r(&rec->Time, &t);
    wchar_t serial[LINE_LEN], pass[LINE_LEN];
    serialText(rec, serial, LINE_LEN);
    passWord(pass, LINE_LEN);
    const int column = std::max(SERIAL_COLUMN, static_cast<int>(std::wcslen(TXT(TX_NO_SERIAL))));
    std::swprintf(Last[0], LINE_LEN, L"%02d:%02d:%02d  %-*ls  %ls", t.tm_hour, t.tm_min, t.tm_sec,
                  column, serial, rec->Result == PROD_PASS ? pass : reasonText(rec->Result));
    showLast();
}

/* ---- The run's shell ------------------------------------------------------------ */

static void tellLogFailed(int error)
{
    wchar_t path[PATH_BYTES], why[LINE_LEN * 2], text[PATH_BYTES + LINE_LEN * 4];
    TXT_Widen(LogPath, path, PATH_BYTES);
    TXT_Widen(std::strerror(error), why, std::size(why));
    std::swprintf(text, std::size(text), TXT(TX_PROD_LOG_FAILED), path, why);
    WIN_MessageBox(Dlg, text, TXT(TX_PROD_TITLE), MB_OK | MB_ICONWARNING);
}

/* Only the main window's model takes its table. */
static bool tableFor(void *, int model)
{
    if (model != UserData.Model) return false;
    std::copy(UserCfg, UserCfg + MAX_UB, VelnorCfg);
    VelnorData = UserData;
    return true;
}

static bool claim(void *)
{
    return true;
}

static bool record(void *, const ProdRecord_t *rec)
{
    if (PRODLOG_Append(rec, PortLabel, RS232_GetDevicePath()) != 0) {
        LogFailed = true;
        LogErrno = errno;
        WIN_Beep();
        return false;
    }
    (rec->Result == PROD_PASS ? Passed : Failed)++;
    addLast(rec);
    showCounts();
    if (rec->Result != PROD_PASS) WIN_Beep();
    return true;
}

static void show(void *, ProdPhase_t phase, int percent, const ProdRecord_t *device)
{
    wchar_t text[PRODUCTION_STATUS_LEN], serial[LINE_LEN];
    serialText(device, serial, LINE_LEN);
    COLORREF color = DISPLAY_BLACK;
    const auto say = [&text](const wchar_t *format, auto... args) {
        std::swprintf(text, PRODUCTION_STATUS_LEN, format, args...);
    };
    switch (phase) {
    case PROD_CONNECTING: say(L"%ls", TXT(TX_PROD_CONNECTING)); break;
    case PROD_WAITING: say(L"%ls", TXT(TX_PROD_WAITING)); break;
    case PROD_PROGRAMMING: say(TXT(TX_PROD_PROGRAMMING), percent); break;
    case PROD_VERIFYING: say(TXT(TX_PROD_VERIFYING), percent); break;
    case PROD_RESULT:
        if (device->Result == PROD_PASS) {
            say(TXT(TX_PROD_PASS), serial);
            color = DISPLAY_GREEN;
        } else {
            say(TXT(TX_PROD_FAIL), serial, reasonText(device->Result));
            color = DISPLAY_RED;
        }
        break;
    case PROD_SAME: say(TXT(TX_PROD_SAME), serial); break;
    default: say(L"%ls", TXT(TX_PROD_STOPPED)); break;
    }
    setStatus(text, color, phase);
}

static void tick(void *, unsigned ms)
{
    WIN_SetTimer(Dlg, STEP_TIMER, ms);
}

static void sleep(void *, unsigned ms)
{
    DISPLAY_Pause(ms);
}

/* The run ended by itself (its log could not be written): it is closed
 * from the timer, outside the step that ended it. */
static void ended(void *, const OpsEnd_t *)
{
    WIN_SetTimer(Dlg, END_TIMER, 1);
}

static void none(void *, int) {}
static void finished(void *) {}

static const OpsDisplay_t Shell = {nullptr, none, none, tick, tick, sleep, ended, finished};

/* ---- Start and Stop ----------------------------------------------------------- */

static void showButtons()
{
    WIN_EnableWindow(WIN_GetDlgItem(Dlg, IDC_PROD_START), !Running);
    WIN_EnableWindow(WIN_GetDlgItem(Dlg, IDC_PROD_CHOOSE), !Running);
    WIN_EnableWindow(WIN_GetDlgItem(Dlg, IDC_PROD_STOP), Running);
}

/* The table's digest as Save File would write it: the window has no file,
 * so the record names it "-" with the digest of its text. */
static void tableDigest(char (&sha)[SHA256_HEX_LEN])
{
    static VelnorCfg_t copy[MAX_UB];
    static char text[BREVCFG_TEXT_MAX];
    std::copy(UserCfg, UserCfg + MAX_UB, copy);
    const int len = BREVCFG_FormatConfig(copy, UserData.UBNumber, text, sizeof text);
    Sha256_t s;
    SHA256_Init(&s);
    SHA256_Update(&s, text, static_cast<std::size_t>(std::max(len, 0)));
    SHA256_FinalHex(&s, sha);
}

static void start()
{
    if (Running) return;
    if (LogPath[0] == '\0') {
        WIN_MessageBox(Dlg, TXT(TX_PROD_NO_LOG), TXT(TX_PROD_TITLE), MB_OK | MB_ICONWARNING);
        return;
    }
    std::copy(VelnorCfg, VelnorCfg + MAX_UB, UserCfg);
    UserData = VelnorData;
    char sha[SHA256_HEX_LEN];
    tableDigest(sha);
    if (PRODLOG_Open(LogPath, PRODLOG_CSV, "-", sha) != 0) return tellLogFailed(errno);

    const int com = RS232_GetLastPortNumber();
    std::snprintf(DevicePath, sizeof DevicePath, "%s", RS232_GetDevicePath());
    if (com > 0)
        std::snprintf(PortLabel, sizeof PortLabel, "COM%d", com);
    else
        std::snprintf(PortLabel, sizeof PortLabel, "%s", DevicePath);
    Args = ProdArgs_t{com,   DevicePath, false, TRANSFER_LIMIT_MS, nullptr, tableFor,
                      claim, record,     show};
    Running = Started = true;
    LogFailed = false;
    RunStartMs = OPS_NowMs();
    showButtons();
    PRODOP_Open(&Args, &Shell);
}

static void stop()
{
    if (!Running) return;
    WIN_KillTimer(Dlg, STEP_TIMER);
    WIN_KillTimer(Dlg, END_TIMER);
    PRODOP_Operation.Cancel(OPS_ABANDON);
    PRODLOG_Close();
    std::copy(UserCfg, UserCfg + MAX_UB, VelnorCfg);
    VelnorData = UserData;
    RunMs += OPS_NowMs() - RunStartMs;
    Running = false;
    showCounts();
    showButtons();
    if (LogFailed) tellLogFailed(LogErrno);
}

static void showLogPath()
{
    wchar_t path[PATH_BYTES];
    TXT_Widen(LogPath, path, PATH_BYTES);
    /* a long path shows its end, where the file's name is */
    const std::size_t n = std::wcslen(path);
    wchar_t *shown = path;
    if (n > LOG_SHOWN) {
        shown = path + n - LOG_SHOWN;
        shown[0] = L'\u2026';
    }
    WIN_SetWindowText(WIN_GetDlgItem(Dlg, IDC_PROD_LOG), shown);
}

static void chooseLog()
{
    char path[PATH_BYTES];
    WIN_FileDialog fd{Dlg, L"CSV", L"*.csv", L"csv", path, PATH_BYTES};
    if (!WIN_GetSaveFileName(&fd)) return;
    std::snprintf(LogPath, sizeof LogPath, "%s", path);
    showLogPath();
    /* Offered again next time; a path the settings cannot keep still serves
     * this window. */
    (void)SETTINGS_Set(LOG_KEY, LogPath);
}

/* ---- The dialog ------------------------------------------------------------------ */

static void initDialog(HWND d)
{
    Dlg = d;
    Running = Started = false;
    Passed = Failed = 0;
    RunMs = 0;
    LastCount = 0;
    ProductionShown = ProdShown_t{};
    for (std::size_t k = 0; k < std::size(StatusFonts); k++)
        if (StatusFonts[k] == nullptr)
            StatusFonts[k] = WIN_CreateFont(STATUS_SIZES[k], 0, FW_BOLD, L"Arial");
    if (ListFont == nullptr) ListFont = WIN_CreateFont(16, 0, FW_NORMAL, L"Courier New");

    WIN_SetWindowText(d, TXT(TX_PROD_TITLE));
    wchar_t version[MAIN_VERSION_TEXT_LEN], table[LINE_LEN * 2];
    MAIN_ConfigVersionText(VelnorData.DBaseVersion, version);
    std::swprintf(table, std::size(table), TXT(TX_PROD_TABLE), DCSS_GetModelName(VelnorData.Model),
                  static_cast<int>(VelnorData.UBNumber), version);
    WIN_SetWindowText(WIN_GetDlgItem(d, IDC_PROD_TABLE), table);
    WIN_SetWindowText(WIN_GetDlgItem(d, IDC_PROD_LOG_LABEL), TXT(TX_PROD_LOG));
    WIN_SetWindowText(WIN_GetDlgItem(d, IDC_PROD_CHOOSE), TXT(TX_CHOOSE));
    WIN_SetWindowText(WIN_GetDlgItem(d, IDC_PROD_LAST_LABEL), TXT(TX_PROD_LAST));
    WIN_SetWindowText(WIN_GetDlgItem(d, IDC_PROD_START), TXT(TX_START));
    WIN_SetWindowText(WIN_GetDlgItem(d, IDC_PROD_STOP), TXT(TX_STOP));
    WIN_SetWindowText(WIN_GetDlgItem(d, IDCANCEL), TXT(TX_CLOSE));
    WIN_SetFont(WIN_GetDlgItem(d, IDC_PROD_LIST), ListFont);

    if (SETTINGS_Get(LOG_KEY, LogPath, sizeof LogPath) != 0) LogPath[0] = '\0';
    showLogPath();
    showCounts();
    showLast();
    showButtons();
    setStatus(L"", DISPLAY_BLACK, PROD_STOPPED); /* nothing to tell before a start */
}

static INT_PTR productionProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: initDialog(hDlg); return 1;
    case WM_TIMER:
        WIN_KillTimer(hDlg, static_cast<unsigned>(wParam));
        if (wParam == STEP_TIMER && Running) PRODOP_Operation.Step();
        if (wParam == END_TIMER) stop();
        return 1;
    case WM_PAINT: {
        HDC dc = WIN_BeginPaint(hDlg);
        drawStatus(dc);
        WIN_EndPaint(hDlg, dc);
        return 1;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_PROD_CHOOSE: chooseLog(); return 1;
        case IDC_PROD_START: start(); return 1;
        case IDC_PROD_STOP: stop(); return 1;
        case IDCANCEL:
            stop();
            WIN_EndDialog(hDlg, IDCANCEL);
            return 1;
        default: return 0;
        }
    default: return 0;
    }
}

INT_PTR PRODUCTION_Run(HWND owner)
{
    const INT_PTR r = WIN_DialogBox(owner, &prodTemplate, productionProc);
    /* The run closed the Kaltro's port; the main window goes on with it. */
    if (Started) {
        if (Args.ComNumber > 0)
            RS232_OpenPort(Args.ComNumber);
        else if (DevicePath[0] != '\0')
            RS232_OpenPath(DevicePath);
    }
    Dlg = nullptr;
    return r;
}
