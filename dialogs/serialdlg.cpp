/* serialdlg.cpp -- the serial-port dialog: a scan for the Kaltro from the
 * port after the remembered one, one port per tick of timer 7, a port opened
 * by choosing it, and disconnecting.
 *
 * State owned here: none beyond the scan timer. The port number worked on is
 * the serial link's remembered number (RS232_GetLastPortNumber), and the port
 * box always shows a position equal to a port number (0 for none). The
 * device and the UB table are not touched.
 *
 *   "Find"      remembered number 0, then as "Continue"
 *   "Continue"  remembered number + 1, port box disabled, port closed,
 *               timer 7 in 1 ms
 *   Tick of timer 7: stop the timer, show the port about to be tried,
 *               RS232_Progress (opens it and identifies the Kaltro);
 *     0  found: the port stays open, the port box is enabled on it
 *     2  no number left: port box enabled on "No reply from Kaltro...",
 *        remembered number 0; a port the scan met that exists but was
 *        refused (permission, in use) is then told in a message box
 *     1  not here (the number has advanced): timer 7 again in 1 ms
 *   "Disconnect" stops a scan, closes the port, shows position 0 and
 *               remembers 0
 *   "OK", Escape or the close box stop a scan and end the dialog; the port
 *               stays closed and the number stays where the scan stood.
 *
 * Under the port box a line names the device of the number shown and, for
 * a USB adapter, its maker and product, so the user sees which adapter a
 * COM number is. A port chosen by hand that cannot be opened for a reason
 * the user can act on is told in a message box, as after a scan.
 */
#include "dialogs/serialdlg.h"

#include "config/resource.h"
#include "config/settings.h"
#include "config/texts.h"
#include "link/portinfo.h"
#include "link/rs232.h"

#include <cwchar>
#include <iterator>

static constexpr unsigned SCAN_TIMER = 7;
/* The next port is tried as soon as the message loop is free again. */
static constexpr unsigned SCAN_PERIOD_MS = 1;
static constexpr int VISIBLE_PORTS = 20;
static constexpr int NAME_LEN = 16;

/* ---- Template 145 ------------------------------------------------------------- */

static constexpr int IDC_LABEL_PORT = 1451;

static constexpr WIN_DlgItem serialItems[] = {
    {IDC_LABEL_PORT, WinControl::Static, nullptr, 0, 8, 6, 70, 40},
    {IDC_SP_PORT, WinControl::ComboList, nullptr, CS_VSCROLL | CS_DISABLED | CS_TABSTOP, 12, 20,
     150, 80},
    {IDC_SP_DEVICE, WinControl::Static, nullptr, 0, 12, 35, 215, 9},
    {IDC_SP_FIND, WinControl::PushButton, nullptr, CS_TABSTOP, 10, 50, 50, 14},
    {IDC_SP_CONTINUE, WinControl::PushButton, nullptr, CS_TABSTOP, 65, 50, 50, 14},
    {IDOK, WinControl::DefPushButton, nullptr, CS_TABSTOP, 120, 50, 50, 14},
    {IDC_SP_DISCONNECT, WinControl::PushButton, nullptr, CS_TABSTOP, 175, 50, 50, 14},
};

static const WIN_DlgTemplate serialTemplate = {
    235, 75, 8, nullptr, serialItems, static_cast<int>(std::size(serialItems)),
};

static HWND portBox(HWND d)
{
    return WIN_GetDlgItem(d, IDC_SP_PORT);
}

/* The device line under the port box, for position n of the box. */
static void showDevice(HWND d, int n)
{
    wchar_t text[PORTINFO_PATH_LEN];
    PORTINFO_Describe(n, text, std::size(text));
    WIN_SetWindowText(WIN_GetDlgItem(d, IDC_SP_DEVICE), text);
}

/* Shows position n in the port box and its device under it. */
static void showPort(HWND d, int n)
{
    WIN_ComboSetCurSel(portBox(d), n);
    showDevice(d, n);
}

bool RSSERIAL_ReportPortError(HWND owner, const RS232_PortError_t *err)
{
    wchar_t text[PORTINFO_TEXT_LEN];
    if (err == nullptr || PORTINFO_Message(err, text, std::size(text)) == 0) return false;
    WIN_MessageBox(owner, text, TXT(TX_SERIAL_PORT), MB_OK | MB_ICONWARNING);
    return true;
}

static void initDialog(HWND d)
{
    WIN_SetWindowText(d, TXT(TX_SERIAL_PORT));
    WIN_SetWindowText(WIN_GetDlgItem(d, IDC_LABEL_PORT), TXT(TX_COM_PORT));
    WIN_SetWindowText(WIN_GetDlgItem(d, IDC_SP_FIND), TXT(TX_FIND));
    WIN_SetWindowText(WIN_GetDlgItem(d, IDC_SP_CONTINUE), TXT(TX_CONTINUE));
    WIN_SetWindowText(WIN_GetDlgItem(d, IDOK), TXT(TX_OK));
    WIN_SetWindowText(WIN_GetDlgItem(d, IDC_SP_DISCONNECT), RES_Text(RS_DISCONNECT));
    HWND box = portBox(d);
    WIN_ComboAddString(box, TXT(TX_NO_REPLY_KALTRO));
    wchar_t name[NAME_LEN];
    for (int n = 1; n <= RS232_PORT_LIMIT; ++n) {
        std::swprintf(name, NAME_LEN, L"COM%d", n);
        WIN_ComboAddString(box, name);
    }
    WIN_ComboSetMinVisible(box, VISIBLE_PORTS);
    showPort(d, RS232_GetLastPortNumber());
}

/* Scans from the port after the remembered one. */
static void continueScan(HWND d)
{
    RS232_SetPortNumber(RS232_GetLastPortNumber() + 1);
    RS232_ClearScanRefusal();
    WIN_EnableWindow(portBox(d), false);
    RS232_Term();
    WIN_SetTimer(d, SCAN_TIMER, SCAN_PERIOD_MS);
}

static void scanTick(HWND d)
{
    WIN_KillTimer(d, SCAN_TIMER);
    HWND box = portBox(d);
    showPort(d, RS232_GetLastPortNumber());
    switch (RS232_Progress()) {
    case RS232_PORT_FOUND: WIN_EnableWindow(box, true); break;
    case RS232_PORT_NO_MORE:
        WIN_EnableWindow(box, true);
        showPort(d, 0);
        RS232_SetPortNumber(0);
        RSSERIAL_ReportPortError(d, RS232_GetScanRefusal());
        break;
    default: WIN_SetTimer(d, SCAN_TIMER, SCAN_PERIOD_MS); break;
    }
}

static void disconnect(HWND d)
{
    WIN_KillTimer(d, SCAN_TIMER);
    WIN_EnableWindow(portBox(d), true);
    showPort(d, 0);
    RS232_SetPortNumber(0);
    RS232_Term();
}

/* The user chose position s: the open port is closed, and port s opened when
 * s is a port. A port without a Kaltro shows position 0 and leaves the
 * remembered number as it was. */
static void choosePort(HWND d)
{
    const int s = WIN_ComboGetCurSel(portBox(d));
    if (RS232_GetLastPortNumber() > 0) RS232_Term();
    if (s > 0) {
        if (RS232_OpenPort(s) == RS232_OK) {
            RS232_SetPortNumber(s);
            SETTINGS_RememberComPort(s);
            showDevice(d, s);
        } else {
            showPort(d, 0);
            RSSERIAL_ReportPortError(d, RS232_GetPortError());
        }
    } else if (s == 0) {
        showDevice(d, 0);
        RS232_SetPortNumber(0);
    }
}

INT_PTR dSerialRS(HWND hDlg, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: initDialog(hDlg); return 1;
    case WM_TIMER:
        if (wParam != SCAN_TIMER) return 0;
        scanTick(hDlg);
        return 1;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SP_FIND:
            RS232_SetPortNumber(0);
            continueScan(hDlg);
            return 1;
        case IDC_SP_CONTINUE: continueScan(hDlg); return 1;
        case IDC_SP_DISCONNECT: disconnect(hDlg); return 1;
        case IDC_SP_PORT:
            if (HIWORD(wParam) != CBN_SELCHANGE) return 0;
            choosePort(hDlg);
            return 1;
        case IDOK:
        case IDCANCEL:
            WIN_KillTimer(hDlg, SCAN_TIMER);
            WIN_EndDialog(hDlg, static_cast<INT_PTR>(LOWORD(wParam)));
            return 1;
        default: return 0;
        }
    case WM_DESTROY: WIN_KillTimer(hDlg, SCAN_TIMER); return 1;
    default: return 0;
    }
}

int RSSERIAL_Init(HWND hWnd, HINSTANCE)
{
    WIN_DialogBox(hWnd, &serialTemplate, dSerialRS);
    return 0;
}
