/* xferop.cpp -- the XModem transfer as steps (see xferop.h).
 *
 * State: the mode and the image (Mode, Ptr, CopiedSize; the image is the
 * caller's), the step (XMState), the last wait's result (XError), the NAKs
 * since the last ACK (NAKCounter) and the display. The transfer state itself
 * (what remains, the packet number) is the XModem sender's. It never touches
 * the UB table.
 *
 *   Opening: identification, tone off, device ID; then the start code:
 *     mode 0: no model 5, another model than the main window's 10, else
 *             RS232_KaltroDownloadInit ("lnbs 2" / "lnbs 4")
 *     modes 1, 2: RS232_KaltroDownloadInit ("rest" / "load")
 *     0 "Transmission started...", XMState 1, next step in 1 ms; otherwise a
 *     red text ("No dCSS device is connected...", "Empty file...", "Wrong
 *     dCSS Device", "Configuration error"), OK enabled, nothing due.
 *
 *   Steps (the next one due in 1 ms unless said)
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
 *                                                     successful!", OK, nothing due; else 6
 *   5 close                 "\r"                      the end with 0
 *   3 failed                none                      "Wrong file" (CAN at packet 1) or
 *                                                     "Transmission error", OK, nothing due
 *
 *   A port lost (hung up, unplugged) sends any step to 3 at its next step; on
 *   a live line the waits for an answer go on until OK or Cancel.
 */
#include "ops/xferop.h"

#include "ops/devop.h"

#include "config/dcss.h"
#include "config/texts.h"
#include "config/velnor.h"
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

constexpr unsigned TICK_MS = 1;            /* the next step as soon as the loop is free */
constexpr unsigned NO_TICK = 0;            /* a step after which nothing is due */
constexpr unsigned FIRST_PACKET_MS = 1500; /* the receiver gets ready after its "C" */
constexpr unsigned SELF_CLOSE_MS = 10000;  /* the success text stays this long */
constexpr int NAK_LIMIT = 3;               /* NAKs since the last ACK that end a transfer */

static int Mode = XM_TYPE_DEVICE;
static const unsigned char *Ptr = nullptr;
static int CopiedSize = 0;
static int XMState = XM_FAILED;
static int XError = 0;
static int NAKCounter = 0;
static const OpsDisplay_t *Disp = nullptr;

void XFEROP_SetMode(int mode, const unsigned char *image, int size)
{
    Mode = mode;
    Ptr = image;
    CopiedSize = size;
}

static void show(int textId, OpsColour_t colour)
{
    Disp->Show(Disp->Ctx, textId, colour);
}

static void enableOK(bool enable)
{
    Disp->EnableOK(Disp->Ctx, enable);
}

/* The start code of the opening for the device's model: 0 when the
 * transfer has started. */
static int startCode(int model)
{
    /* An image that is not there has nothing to send. */
    const int size = Ptr != nullptr ? CopiedSize : 0;
    if (Mode != XM_TYPE_DEVICE) return RS232_KaltroDownloadInit(size, Mode, model);
    if (model < 0) return XM_NO_DEVICE;
    if (model != VelnorData.Model) return XM_WRONG_DEVICE;
    return RS232_KaltroDownloadInit(size, XM_TYPE_DEVICE, model);
}

void XFEROP_Open(const OpsDisplay_t *d)
{
    Disp = d;
    XMState = XM_FAILED;
    XError = 0;
    NAKCounter = 0;

    int model = -1;
    if (!DEVOP_Greet(&model)) {
        show(TX_NO_REPLY_KALTRO, OPS_RED);
        return enableOK(true);
    }
    const int code = startCode(model);
    if (code == XM_STARTED) {
        show(TX_TRANSMISSION_STARTED, OPS_BLACK);
        XMState = XM_WAIT_START;
        Disp->Tick(Disp->Ctx, TICK_MS);
        return;
    }
    const int text = code == XM_NO_DEVICE      ? TX_NO_DEVICE
                     : code == XM_EMPTY        ? TX_EMPTY_FILE
                     : code == XM_WRONG_DEVICE ? TX_WRONG_DEVICE
                                               : TX_CONFIGURATION_ERROR;
    show(text, OPS_RED);
    enableOK(true);
}

/* A NAK: the same packet (or EOT) again, until the third since the last ACK. */
static int afterNAK(int again)
{
    return ++NAKCounter >= NAK_LIMIT ? XM_FAILED : again;
}

/* Does the step of XMState; returns the delay of the next step, or NO_TICK. */
static unsigned step()
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
        show(TX_DOWNLOAD_IN_PROGRESS, OPS_BLACK);
        enableOK(false);
        NAKCounter = 0;
        if (Mode != XM_TYPE_KALTRO_SW) Disp->Sleep(Disp->Ctx, FIRST_PACKET_MS);
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
            show(TX_VERIFICATION, OPS_BLACK);
            XMState = XM_VERIFY;
        } else if (XError == XM_ANSWER_ACK) {
            show(TX_SW_UPGRADE_OK, OPS_GREEN);
            enableOK(true);
            XMState = XM_CLOSE;
            return SELF_CLOSE_MS;
        }
        return TICK_MS; /* no answer, or a CAN after EOT: read again */

    case XM_VERIFY:
        if (RS232_GetOKReply() != RS232_OK) return TICK_MS;
        show(TX_SW_UPGRADE_OK, OPS_GREEN);
        enableOK(true);
        return NO_TICK;

    case XM_CLOSE:
        RS232_KaltroClose();
        Disp->End(Disp->Ctx, 0);
        return NO_TICK;

    default: /* XM_FAILED */
        /* A receiver that cancels the very first packet refused the image. */
        show(XError == XM_ANSWER_CAN && RS232_GetPacketNumber() == 1 ? TX_WRONG_FILE
                                                                     : TX_TRANSMISSION_ERROR,
             OPS_RED);
        enableOK(true);
        return NO_TICK;
    }
}

void XFEROP_Step()
{
    const bool closing = XMState == XM_CLOSE;
    const unsigned next = step();
    if (closing) return;
    if (CopiedSize > 0) {
        const long long sent = CopiedSize - RS232_GetCurrentXModemSize();
        Disp->Progress(Disp->Ctx, static_cast<int>(sent * 100 / CopiedSize));
    }
    if (next != NO_TICK) Disp->Tick(Disp->Ctx, next);
}

void XFEROP_Abandon()
{
    switch (XMState) {
    case XM_WAIT_START:
    case XM_SEND_PACKET:
    case XM_WAIT_PACKET_ANSWER:
    case XM_SEND_EOT:
    case XM_WAIT_EOT_ANSWER: {
        static const char cancel[] = {static_cast<char>(XM_CAN), static_cast<char>(XM_CAN)};
        WriteABuffer(cancel, sizeof cancel);
        XMState = XM_FAILED;
        break;
    }
    default: break;
    }
}
