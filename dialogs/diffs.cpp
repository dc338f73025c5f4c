/* diffs.cpp -- the comparison's result dialog (see diffs.h).
 *
 * State: what the dialog that is open shows, for its WM_INITDIALOG.
 */
#include "dialogs/diffs.h"

#include "config/texts.h"

#include <cwchar>
#include <iterator>

static constexpr int IDC_DIFF_SUMMARY = 1601;
static constexpr int IDC_DIFF_LIST = 1602;
static constexpr int IDC_DIFF_TAKE = 1603;

static constexpr WIN_DlgItem diffItems[] = {
    {IDC_DIFF_SUMMARY, WinControl::Static, nullptr, 0, 8, 6, 264, 10},
    {IDC_DIFF_LIST, WinControl::TextBox, nullptr, CS_TABSTOP, 8, 20, 264, 120},
    {IDC_DIFF_TAKE, WinControl::PushButton, nullptr, CS_TABSTOP, 8, 146, 130, 14},
    {IDCANCEL, WinControl::DefPushButton, nullptr, CS_TABSTOP, 212, 146, 60, 14},
};
static const WIN_DlgTemplate diffTemplate = {
    280, 166, 8, nullptr, diffItems, static_cast<int>(std::size(diffItems)),
};

constexpr int LINE_LEN = 160;
constexpr int TEXT_LEN = (CMP_DIFF_MAX + 1) * LINE_LEN;

static const DiffsShown_t *Shown = nullptr;

int DIFFS_Text(const DiffsShown_t *s, wchar_t *out, int len)
{
    int lines = 0, used = 0;
    out[0] = L'\0';
    const auto add = [&](const wchar_t *line) {
        const int n = std::swprintf(out + used, static_cast<std::size_t>(len - used), L"%ls%ls",
                                    lines > 0 ? L"\n" : L"", line);
        if (n > 0) used += n;
        lines++;
    };
    wchar_t line[LINE_LEN];
    if (s->Here != s->Device) {
        BREVCFG_VersionDiffText(s->Here, s->Device, line, LINE_LEN);
        add(line);
    }
    for (int i = 0; i < s->Count && used < len - LINE_LEN; i++) {
        BREVCFG_DiffText(s->Diffs[i], line, LINE_LEN);
        add(line);
    }
    return lines;
}

static void initDialog(HWND d)
{
    static wchar_t text[TEXT_LEN];
    const int lines = DIFFS_Text(Shown, text, TEXT_LEN);
    WIN_SetWindowText(d, TXT(TX_COMPARE_TITLE));
    WIN_SetWindowText(WIN_GetDlgItem(d, IDC_DIFF_SUMMARY),
                      TXT(lines == 0 ? TX_DEVICE_HOLDS : Shown->Summary));
    WIN_SetWindowText(WIN_GetDlgItem(d, IDC_DIFF_LIST), text);
    HWND take = WIN_GetDlgItem(d, IDC_DIFF_TAKE);
    WIN_SetWindowText(take, TXT(TX_TAKE_TABLE));
    WIN_ShowWindow(take, Shown->OfferTake && lines > 0);
    WIN_SetWindowText(WIN_GetDlgItem(d, IDCANCEL), TXT(TX_CLOSE));
}

static INT_PTR diffsProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: initDialog(hDlg); return 1;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_DIFF_TAKE:
        case IDOK:
        case IDCANCEL: WIN_EndDialog(hDlg, static_cast<INT_PTR>(LOWORD(wParam))); return 1;
        default: return 0;
        }
    default: return 0;
    }
}

bool DIFFS_Show(HWND owner, const DiffsShown_t *shown)
{
    Shown = shown;
    const INT_PTR r = WIN_DialogBox(owner, &diffTemplate, diffsProc);
    Shown = nullptr;
    return r == IDC_DIFF_TAKE;
}
