/* display.cpp -- the status line, progress bar and percentage of the device
 * transfer dialogs (see display.h).
 *
 * No state of its own: every dialog passes the Display_t it owns. Draws only
 * into the dialog it is given.
 */
#include "dialogs/display.h"

#include "config/texts.h"
#include "link/rs232.h"
#include "platform/win.h"

#include <cwchar>

/* Where the parts of the display sit, in client pixels. */
constexpr int TEXT_X = 10, TEXT_Y = 20, TEXT_RIGHT = 230, TEXT_BOTTOM = 40;
constexpr int PERCENT_X = 255, PERCENT_Y = 52, PERCENT_RIGHT = 285, PERCENT_BOTTOM = 72;
constexpr int BAR_X = 7, BAR_Y = 50, BAR_W = 243, BAR_H = 20;
constexpr int PERCENT_TEXT_LEN = 16;

void DISPLAY_Reset(Display_t *d)
{
    d->HWndPB = nullptr;
    d->KaltroText[0] = L'\0';
    d->GColor = DISPLAY_BLACK;
    d->Percentage = 0;
    d->LastPercentage = -1;
}

void DISPLAY_CreateBar(HWND dlg, Display_t *d)
{
    d->HWndPB =
        WIN_CreateControl(dlg, WinControl::ProgressBar, nullptr, 0, BAR_X, BAR_Y, BAR_W, BAR_H, 0);
    WIN_ProgressSetRange(d->HWndPB, 0, 100);
    WIN_ProgressSetPos(d->HWndPB, 0);
}

void DISPLAY_Text(HDC hdc, Display_t *d, const wchar_t *text, COLORREF color)
{
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

void DISPLAY_Show(HWND dlg, Display_t *d, const wchar_t *text, COLORREF color)
{
    HDC dc = WIN_GetDC(dlg);
    DISPLAY_Text(dc, d, text, color);
    WIN_ReleaseDC(dlg, dc);
}

void DISPLAY_SetProgress(HWND dlg, Display_t *d, int percent)
{
    d->Percentage = percent;
    if (percent == d->LastPercentage) return;
    WIN_ProgressSetPos(d->HWndPB, percent);
    HDC dc = WIN_GetDC(dlg);
    DISPLAY_Percents(dc, static_cast<unsigned>(percent));
    WIN_ReleaseDC(dlg, dc);
    d->LastPercentage = percent;
}

void DISPLAY_Paint(HWND dlg, Display_t *d)
{
    HDC dc = WIN_BeginPaint(dlg);
    DISPLAY_Text(dc, d, nullptr, d->GColor);
    DISPLAY_Percents(dc, static_cast<unsigned>(d->Percentage));
    WIN_EndPaint(dlg, dc);
}

bool DISPLAY_EndOnCommand(HWND dlg, unsigned timer, WPARAM wParam)
{
    const int id = static_cast<int>(LOWORD(wParam));
    if (id != IDOK && id != IDCANCEL) return false;
    WIN_KillTimer(dlg, timer);
    RS232_KaltroClose();
    WIN_EndDialog(dlg, id);
    return true;
}

static DisplayShell_t *shellOf(void *ctx)
{
    return static_cast<DisplayShell_t *>(ctx);
}

static void shellShow(void *ctx, int textId, OpsColour_t colour)
{
    const COLORREF color = colour == OPS_RED     ? DISPLAY_RED
                           : colour == OPS_GREEN ? DISPLAY_GREEN
                                                 : DISPLAY_BLACK;
    DISPLAY_Show(shellOf(ctx)->Dlg, shellOf(ctx)->Disp, TXT(textId), color);
}

static void shellProgress(void *ctx, int percent)
{
    DISPLAY_SetProgress(shellOf(ctx)->Dlg, shellOf(ctx)->Disp, percent);
}

static void shellEnableOK(void *ctx, bool enable)
{
    WIN_EnableWindow(WIN_GetDlgItem(shellOf(ctx)->Dlg, IDOK), enable);
}

static void shellTick(void *ctx, unsigned ms)
{
    WIN_SetTimer(shellOf(ctx)->Dlg, shellOf(ctx)->Timer, ms);
}

static void shellSleep(void *, unsigned ms)
{
    WIN_Sleep(ms);
}

static void shellEnd(void *ctx, int result)
{
    WIN_EndDialog(shellOf(ctx)->Dlg, result);
}

void DISPLAY_InitShell(DisplayShell_t *s, HWND dlg, Display_t *d, unsigned timer)
{
    s->Dlg = dlg;
    s->Disp = d;
    s->Timer = timer;
    s->Ops = {s, shellShow, shellProgress, shellEnableOK, shellTick, shellSleep, shellEnd};
}
