/* transfer.cpp -- the transfer dialog: one XModem step per tick of timer 3
 * (see transfer.h), and the Kaltro software upgrade that opens it in mode 1.
 *
 * State: the mode and the image (Mode, Ptr, CopiedSize; the image is the
 * caller's), the step (XMState), the last wait's result (XError), the NAKs
 * since the last ACK (NAKCounter) and the progress display. The transfer
 * state itself (what remains, the packet number) is the XModem sender's. It
 * never touches the UB table.
 *
 *   Opening: identification, tone off, device ID; then the start code:
 *     mode 0: no model 5, another model than the main window's 10, else
 *             RS232_KaltroDownloadInit ("lnbs 2" / "lnbs 4")
 *     modes 1, 2: RS232_KaltroDownloadInit ("rest" / "load")
 *     0 "Transmission started...", XMState 1, timer 3 at 1 ms; otherwise a red
 *     text ("No dCSS device is connected...", "Empty file...", "Wrong dCSS
 *     Device", "Configuration error"), OK enabled, no timer.
 *
 *   Timer 3 (stopped during each step, restarted at 1 ms unless said)
 *   XMState                 exchange                  next
 *   1 wait for "C"          up to 19 reads            "C": "Download in progress...",
 *                                                     pause 1500 ms (not mode 1), 2;
 *                                                     none: 3
 *   2 send packet           one packet                7
 *   7 wait for its answer   one read                  ACK: next packet, 2, or 4 when
 *                                                     nothing remains; NAK: 2, or 3 at
 *                                                     the third; CAN: 3; none: 7
 *   4 send EOT              EOT                       8
 *   8 wait for its answer   one read                  ACK: mode 0 "Verification..." 6;
 *                                                     modes 1, 2 "Software upgrade
 *                                                     successful!", OK, 5 in 10 000 ms;
 *                                                     NAK: 4, or 3 at the third; else 8
 *   6 device's acceptance   seven reads               accepted: "Software upgrade
 *                                                     successful!", OK, no timer; else 6
 *   5 close                 "\r"                      the dialog ends with 0
 *   3 failed                none                      "Wrong file" (CAN at packet 1) or
 *                                                     "Transmission error", OK, no timer
 *
 *   A port lost (hung up, unplugged) sends any step to 3 at its next tick; on a
 *   live line the waits for an answer go on until OK or Cancel.
 *
 *   OK or Cancel, any time: "\r", the dialog ends with the id; no CAN is sent.
 */
#include "link/dialogs/transfer.h"

#include "app/texts.h"
#include "config/filedlg.h"
#include "config/fileio.h"
#include "config/velnor.h"
#include "dialogs/dcss.h"
#include "link/rs232.h"

/* Transfer steps. */
constexpr int XM_WAIT_START = 1;
constexpr int XM_SEND_PACKET = 2;
constexpr int XM_FAILED = 3;
constexpr int XM_SEND_EOT = 4;
constexpr int XM_CLOSE = 5;
constexpr int XM_VERIFY = 6;
constexpr int XM_WAIT_PACKET_ANSWER = 7;
constexpr int XM_WAIT_EOT_ANSWER = 8;

/* Start code of a device of another model than the main window's. */
constexpr int XM_WRONG_DEVICE = 10;

constexpr unsigned TRANSFER_TIMER = 3;
constexpr unsigned TICK_MS = 1;            /* the next step as soon as the loop is free */
constexpr unsigned NO_TICK = 0;            /* a step after which no tick follows */
constexpr unsigned FIRST_PACKET_MS = 1500; /* the receiver gets ready after its "C" */
constexpr unsigned SELF_CLOSE_MS = 10000;  /* the success text stays this long */
constexpr int NAK_LIMIT = 3;               /* NAKs since the last ACK that end a transfer */

static int Mode = XM_TYPE_DEVICE;
static const unsigned char *Ptr = nullptr;
static int CopiedSize = 0;
static int XMState = XM_FAILED;
static int XError = 0;
static int NAKCounter = 0;
static Display_t Disp;

static const WIN_DlgItem transferItems[] = {
    {IDOK, WinControl::PushButton, nullptr, CS_TABSTOP | CS_DISABLED, 75, 60, 50, 14},
};
const WIN_DlgTemplate KALTRO_Template = {200, 80, 9, nullptr, transferItems, 1};

void KALTRO_SetMode(int bMode, const unsigned char *Pointer, int Size)
{
    Mode = bMode;
    Ptr = Pointer;
    CopiedSize = Size;
}

void KALTRO_DisplayText(HDC hdc, const wchar_t *text, COLORREF color)
{
    DISPLAY_Text(hdc, &Disp, text, color);
}

void KALTRO_DisplayPercents(HDC hdc, unsigned percent)
{
    DISPLAY_Percents(hdc, percent);
}

const Display_t *KALTRO_GetDisplay()
{
    return &Disp;
}

static void show(HWND hDlg, int textId, COLORREF color)
{
    DISPLAY_Show(hDlg, &Disp, TXT(textId), color);
}

static void enableOK(HWND hDlg, bool enable)
{
    WIN_EnableWindow(WIN_GetDlgItem(hDlg, IDOK), enable);
}

/* The start code of the opening: 0 when the transfer has started. */
static int startCode()
{
    const int id = RS232_GetDeviceID();
    const int model = DCSS_ModelOfDeviceID(id);
    /* An image that is not there has nothing to send. */
    const int size = Ptr != nullptr ? CopiedSize : 0;
    if (Mode != XM_TYPE_DEVICE) return RS232_KaltroDownloadInit(size, Mode, model);
    if (model < 0) return XM_NO_DEVICE;
    if (model != VelnorData.Model) return XM_WRONG_DEVICE;
    return RS232_KaltroDownloadInit(size, XM_TYPE_DEVICE, model);
}

static void opening(HWND hDlg)
{
    DISPLAY_Reset(&Disp);
    XMState = XM_FAILED;
    XError = 0;
    NAKCounter = 0;
    WIN_SetWindowText(hDlg, TXT(TX_SOFTWARE_UPGRADE));
    WIN_SetWindowText(WIN_GetDlgItem(hDlg, IDOK), TXT(TX_OK));
    DISPLAY_CreateBar(hDlg, &Disp);

    if (RS232_KaltroIdentification() != RS232_OK) {
        show(hDlg, TX_NO_REPLY_KALTRO, DISPLAY_RED);
        return enableOK(hDlg, true);
    }
    RS232_Set22kHzTone(0);
    const int code = startCode();
    if (code == XM_STARTED) {
        show(hDlg, TX_TRANSMISSION_STARTED, DISPLAY_BLACK);
        XMState = XM_WAIT_START;
        WIN_SetTimer(hDlg, TRANSFER_TIMER, TICK_MS);
        return;
    }
    const int text = code == XM_NO_DEVICE      ? TX_NO_DEVICE
                     : code == XM_EMPTY        ? TX_EMPTY_FILE
                     : code == XM_WRONG_DEVICE ? TX_WRONG_DEVICE
                                               : TX_CONFIGURATION_ERROR;
    show(hDlg, text, DISPLAY_RED);
    enableOK(hDlg, true);
}

/* A NAK: the same packet (or EOT) again, until the third since the last ACK. */
static int afterNAK(int again)
{
    return ++NAKCounter >= NAK_LIMIT ? XM_FAILED : again;
}

/* Does the step of XMState; returns the period of the next tick, or NO_TICK. */
static unsigned step(HWND hDlg)
{
    /* A port that hung up or went away answers nothing any more: every wait
     * would be endless, so the transfer fails at once. */
    if (RS232_PortLost() && XMState != XM_CLOSE) XMState = XM_FAILED;
    switch (XMState) {
    case XM_WAIT_START:
        XError = RS232_GetXModemStarter();
        if (XError != RS232_OK) {
            XMState = XM_FAILED;
            return TICK_MS;
        }
        show(hDlg, TX_DOWNLOAD_IN_PROGRESS, DISPLAY_BLACK);
        enableOK(hDlg, false);
        NAKCounter = 0;
        if (Mode != XM_TYPE_KALTRO_SW) WIN_Sleep(FIRST_PACKET_MS);
        XMState = XM_SEND_PACKET;
        return TICK_MS;

    case XM_SEND_PACKET:
        RS232_SendXModemPacket(Ptr);
        XMState = XM_WAIT_PACKET_ANSWER;
        return TICK_MS;

    case XM_WAIT_PACKET_ANSWER:
        XError = RS232_XModemWaitACK();
        if (XError == XM_ANSWER_ACK) {
            NAKCounter = 0;
            RS232_XModemNextPacket();
            XMState = RS232_GetCurrentXModemSize() <= 0 ? XM_SEND_EOT : XM_SEND_PACKET;
        } else if (XError == XM_ANSWER_NAK) {
            XMState = afterNAK(XM_SEND_PACKET);
        } else if (XError == XM_ANSWER_CAN) {
            XMState = XM_FAILED;
        }
        return TICK_MS; /* no answer: read again */

    case XM_SEND_EOT:
        RS232_SendXModemEOT();
        XMState = XM_WAIT_EOT_ANSWER;
        return TICK_MS;

    case XM_WAIT_EOT_ANSWER:
        XError = RS232_XModemWaitACK();
        if (XError == XM_ANSWER_NAK) {
            XMState = afterNAK(XM_SEND_EOT);
        } else if (XError == XM_ANSWER_ACK && Mode == XM_TYPE_DEVICE) {
            show(hDlg, TX_VERIFICATION, DISPLAY_BLACK);
            XMState = XM_VERIFY;
        } else if (XError == XM_ANSWER_ACK) {
            show(hDlg, TX_SW_UPGRADE_OK, DISPLAY_GREEN);
            enableOK(hDlg, true);
            XMState = XM_CLOSE;
            return SELF_CLOSE_MS;
        }
        return TICK_MS; /* no answer, or a CAN after EOT: read again */

    case XM_VERIFY:
        if (RS232_GetOKReply() != RS232_OK) return TICK_MS;
        show(hDlg, TX_SW_UPGRADE_OK, DISPLAY_GREEN);
        enableOK(hDlg, true);
        return NO_TICK;

    case XM_CLOSE:
        RS232_KaltroClose();
        WIN_EndDialog(hDlg, 0);
        return NO_TICK;

    default: /* XM_FAILED */
        /* A receiver that cancels the very first packet refused the image. */
        show(hDlg,
             XError == XM_ANSWER_CAN && RS232_GetPacketNumber() == 1 ? TX_WRONG_FILE
                                                                     : TX_TRANSMISSION_ERROR,
             DISPLAY_RED);
        enableOK(hDlg, true);
        return NO_TICK;
    }
}

static void tick(HWND hDlg)
{
    WIN_KillTimer(hDlg, TRANSFER_TIMER);
    const bool closing = XMState == XM_CLOSE;
    const unsigned next = step(hDlg);
    if (closing) return;
    if (CopiedSize > 0) {
        const long long sent = CopiedSize - RS232_GetCurrentXModemSize();
        DISPLAY_SetProgress(hDlg, &Disp, static_cast<int>(sent * 100 / CopiedSize));
    }
    if (next != NO_TICK) WIN_SetTimer(hDlg, TRANSFER_TIMER, next);
}

INT_PTR KaltroWinProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: opening(hDlg); return 1;
    case WM_TIMER:
        if (wParam == TRANSFER_TIMER) tick(hDlg);
        return 1;
    case WM_PAINT: DISPLAY_Paint(hDlg, &Disp); return 1;
    case WM_COMMAND: return DISPLAY_EndOnCommand(hDlg, TRANSFER_TIMER, wParam) ? 1 : 0;
    default: return 0;
    }
}

int KALTRO_Init(HWND HWin, HINSTANCE)
{
    unsigned char *buffer = nullptr;
    int size = 0;
    if (BREVCFG_ReadFile(HWin, &buffer, &size) == 0 && size > 0) {
        KALTRO_SetMode(XM_TYPE_KALTRO_SW, buffer, size);
        WIN_DialogBox(HWin, &KALTRO_Template, KaltroWinProc);
    }
    /* The image is gone after this; the dialog must not keep pointing at it. */
    KALTRO_SetMode(XM_TYPE_KALTRO_SW, nullptr, 0);
    BREVCFG_DeallocFileBuffer(buffer);
    return 0;
}
