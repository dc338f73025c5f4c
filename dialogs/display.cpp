/* display.cpp -- the progress dialogs' one shell (see display.h).
 *
 * State: what the open progress dialog shows (DisplayShown: text, colour,
 * percentage, the bar) and its operation's table. Progress dialogs are modal
 * and never open inside one another, so one is enough. Draws only into the
 * dialog it runs.
 *
 *   WM_INITDIALOG   title, button text, bar, then the operation's opening
 *   timer           one step, the timer stopped during it
 *   OK, Cancel      timer stopped, the operation stopped (closing "\r"),
 *                   the dialog ends with the id
 *   Finished        the operation closed the exchange itself: the dialog
 *                   ends with the table's result
 */
#include "dialogs/display.h"

#include "dialogs/displaystate.h"

#include "config/texts.h"
#include "link/rs232.h"

#include <cwchar>

/* Where the parts of the display sit, in client pixels: the text across the
 * dialog's width (350 pixels at 9 points), room for the longest status of
 * every language; the percentage right of the bar, room for "100%". */
constexpr int TEXT_X = 10, TEXT_Y = 20, TEXT_RIGHT = 340, TEXT_BOTTOM = 40;
constexpr int PERCENT_X = 255, PERCENT_Y = 52, PERCENT_RIGHT = 300, PERCENT_BOTTOM = 72;
constexpr int BAR_X = 7, BAR_Y = 50, BAR_W = 243, BAR_H = 20;
constexpr int PERCENT_TEXT_LEN = 16;
/* A pause is slept in slices this long, so that a port unplugged during it
 * ends it at once instead of when it would have ended. */
constexpr unsigned SLEEP_SLICE_MS = 100;

Display_t DisplayShown;
static const DisplayOp_t *Op = nullptr;
static HWND Dlg = nullptr;

void DISPLAY_Text(HDC hdc, const wchar_t *text, COLORREF color)
{
    Display_t *d = &DisplayShown;
    WIN_FillRect(hdc, TEXT_X, TEXT_Y, TEXT_RIGHT, TEXT_BOTTOM, WIN_COLOR_MENU);
    if (text != nullptr) {
        std::wcsncpy(d->KaltroText, text, DISPLAY_TEXT_LEN - 1);
        d->KaltroText[DISPLAY_TEXT_LEN - 1] = L'\0';
        d->GColor = color;
    }
    WIN_SetBkMode(hdc, TRANSPARENT);
    WIN_SetTextColor(hdc, d->GColor);
    WIN_TextOut(hdc, TEXT_X, TEXT_Y, d->KaltroText, -1);
}

void DISPLAY_Percents(HDC hdc, unsigned percent)
{
    wchar_t text[PERCENT_TEXT_LEN];
    std::swprintf(text, PERCENT_TEXT_LEN, L"%u%%", percent);
    WIN_FillRect(hdc, PERCENT_X, PERCENT_Y, PERCENT_RIGHT, PERCENT_BOTTOM, WIN_COLOR_MENU);
    WIN_SetBkMode(hdc, TRANSPARENT);
    WIN_SetTextColor(hdc, DISPLAY_BLACK);
    WIN_TextOut(hdc, PERCENT_X, PERCENT_Y, text, -1);
}

/* ---- The dialog as the operation's display ---------------------------------------- */

static void show(int textId, COLORREF color)
{
    HDC dc = WIN_GetDC(Dlg);
    DISPLAY_Text(dc, TXT(textId), color);
    WIN_ReleaseDC(Dlg, dc);
}

static void status(void *, int textId)
{
    show(textId, DISPLAY_BLACK);
}

static void progress(void *, int percent)
{
    Display_t *d = &DisplayShown;
    d->Percentage = percent;
    if (percent == d->LastPercentage) return;
    WIN_ProgressSetPos(d->HWndPB, percent);
    HDC dc = WIN_GetDC(Dlg);
    DISPLAY_Percents(dc, static_cast<unsigned>(percent));
    WIN_ReleaseDC(Dlg, dc);
    d->LastPercentage = percent;
}

static void tick(void *, unsigned ms)
{
    WIN_SetTimer(Dlg, Op->Timer, ms);
}

void DISPLAY_Pause(unsigned ms)
{
    for (unsigned left = ms; left > 0 && RS232_WatchLine() == 0;) {
        const unsigned slice = left < SLEEP_SLICE_MS ? left : SLEEP_SLICE_MS;
        WIN_Sleep(slice);
        left -= slice;
    }
}

static void ended(void *, const OpsEnd_t *end)
{
    if (end->TextId >= 0) show(end->TextId, end->Outcome == OPS_DONE ? DISPLAY_GREEN : DISPLAY_RED);
    if (HWND ok = WIN_GetDlgItem(Dlg, IDOK)) WIN_EnableWindow(ok, true);
}

static void finished(void *)
{
    WIN_EndDialog(Dlg, Op->Done);
}

static void pause(void *, unsigned ms)
{
    DISPLAY_Pause(ms);
}

static const OpsDisplay_t Shell = {nullptr, status, progress, tick, tick, pause, ended, finished};

/* ---- The procedure -------------------------------------------------------------------- */

static void opening(const DisplayOp_t *op, HWND hDlg, LPARAM init)
{
    Op = op;
    Dlg = hDlg;
    Display_t *d = &DisplayShown;
    d->KaltroText[0] = L'\0';
    d->GColor = DISPLAY_BLACK;
    d->Percentage = 0;
    d->LastPercentage = -1;
    WIN_SetWindowText(hDlg, TXT(op->Title));
    WIN_SetWindowText(WIN_GetDlgItem(hDlg, op->Button), TXT(op->ButtonText));
    d->HWndPB =
        WIN_CreateControl(hDlg, WinControl::ProgressBar, nullptr, 0, BAR_X, BAR_Y, BAR_W, BAR_H, 0);
    WIN_ProgressSetRange(d->HWndPB, 0, 100);
    WIN_ProgressSetPos(d->HWndPB, 0);
    op->Open(init, &Shell);
}

static void paint(HWND hDlg)
{
    HDC dc = WIN_BeginPaint(hDlg);
    DISPLAY_Text(dc, nullptr, DisplayShown.GColor);
    DISPLAY_Percents(dc, static_cast<unsigned>(DisplayShown.Percentage));
    WIN_EndPaint(hDlg, dc);
}

INT_PTR DISPLAY_Proc(const DisplayOp_t *op, HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: opening(op, hDlg, lParam); return 1;
    case WM_TIMER:
        if (wParam != op->Timer) return 1;
        WIN_KillTimer(hDlg, op->Timer);
        op->Op->Step();
        return 1;
    case WM_PAINT: paint(hDlg); return 1;
    case WM_COMMAND: {
        const int id = static_cast<int>(LOWORD(wParam));
        if (id != IDOK && id != IDCANCEL) return 0;
        WIN_KillTimer(hDlg, op->Timer);
        op->Op->Cancel(OPS_CLOSE);
        WIN_EndDialog(hDlg, id);
        return 1;
    }
    default: return 0;
    }
}
