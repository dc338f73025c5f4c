/* xferop.cpp -- the XModem transfer as steps (see xferop.h).
 *
 * State: the arguments (Args; the image is the caller's), the step
 * (XMState), the last wait's result (XError), the NAKs since the last ACK
 * (NAKCounter), when the running wait began (WaitSinceMs), whether the Kaltro
 * is still receiving (Receiving) and the run. The transfer state itself (what
 * remains, the packet number) is the XModem sender's.
 *
 *   Opening: identification, tone off, device ID; then the start code:
 *     mode 0: no model 5, another model than the main window's 10, else
 *             RS232_KaltroDownloadInit ("lnbs 2" / "lnbs 4")
 *     modes 1, 2: RS232_KaltroDownloadInit ("rest" / "load")
 *     0 "Transmission started...", XMState 1, next step in 1 ms; otherwise the
 *     outcome ("No dCSS device is connected...", "Empty file...", "Wrong dCSS
 *     Device", "Configuration error"), nothing due.
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
 *                                                     modes 1, 2 done "Software upgrade
 *                                                     successful!", 5 lingering 10 000 ms;
 *                                                     NAK: 4, or 3 at the third; else 8
 *   6 device's acceptance   seven reads               accepted: done "Software upgrade
 *                                                     successful!", nothing due; refused:
 *                                                     3, "Wrong file"; else 6
 *   5 close                 "\r"                      Finish
 *   3 failed                none                      the outcome, "Wrong file" (CAN at
 *                                                     packet 1, or the image refused) or
 *                                                     "Transmission error",
 *                                                     nothing due
 *
 *   A port lost (hung up, unplugged) sends any step to 3 at its next step,
 *   with line lost; one lost during the wait for "C" is line lost too, not a
 *   receiver that never got ready. A wait (7, 8, 6) that has had no answer
 *   for Args.LimitMs ends timed out; without a limit it goes on until the
 *   shell's cancel.
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

static XferArgs_t Args = {XM_TYPE_DEVICE, nullptr, 0, 0};
static int XMState = XM_FAILED;
static int XError = 0;
static int NAKCounter = 0;
static long long WaitSinceMs = 0;
static bool Receiving = false;
static bool Rejected = false;              /* the device refused the image it was sent */
static OpsOutcome_t Failure = OPS_REFUSED; /* the outcome step 3 reports */
static OpsRun_t Run;

/* The start code of the opening for the device's model: 0 when the
 * transfer has started. */
static int startCode(int model)
{
    /* An image that is not there has nothing to send. */
    const int size = Args.Image != nullptr ? Args.Size : 0;
    if (Args.Mode != XM_TYPE_DEVICE) return RS232_KaltroDownloadInit(size, Args.Mode, model);
    if (model < 0) return XM_NO_DEVICE;
    if (model != VelnorData.Model) return XM_WRONG_DEVICE;
    return RS232_KaltroDownloadInit(size, XM_TYPE_DEVICE, model);
}

void XFEROP_Open(const XferArgs_t *args, const OpsDisplay_t *d)
{
    OPS_Start(&Run, d);
    Args = *args;
    XMState = XM_FAILED;
    XError = 0;
    NAKCounter = 0;
    Receiving = false;
    Rejected = false;
    Failure = OPS_REFUSED;

    int model = -1;
    if (!DEVOP_Greet(&model)) return OPS_End(&Run, OPS_NO_KALTRO, TX_NO_REPLY_KALTRO, -1);
    const int code = startCode(model);
    if (code == XM_STARTED) {
        d->Status(d->Ctx, TX_TRANSMISSION_STARTED);
        XMState = XM_WAIT_START;
        Receiving = true;
        d->Tick(d->Ctx, TICK_MS);
        return;
    }
    if (code == XM_NO_DEVICE) return OPS_End(&Run, OPS_NO_DEVICE, TX_NO_DEVICE, -1);
    const int text = code == XM_EMPTY          ? TX_EMPTY_FILE
                     : code == XM_WRONG_DEVICE ? TX_WRONG_DEVICE
                                               : TX_CONFIGURATION_ERROR;
    OPS_End(&Run, OPS_REFUSED, text, -1);
}

/* Goes to the failed step with outcome. */
static int fail(OpsOutcome_t outcome)
{
    Failure = outcome;
    return XM_FAILED;
}

/* A NAK: the same packet (or EOT) again, until the third since the last ACK. */
static int afterNAK(int again)
{
    return ++NAKCounter >= NAK_LIMIT ? fail(OPS_REFUSED) : again;
}

/* A wait that got no answer: read again, or time out past the limit. */
static int waitMore(int state)
{
    if (Args.LimitMs > 0 && OPS_NowMs() - WaitSinceMs >= Args.LimitMs) return fail(OPS_TIMED_OUT);
    return state;
}

/* Enters a wait for an answer. */
static int startWait(int state)
{
    WaitSinceMs = OPS_NowMs();
    return state;
}

/* Does the step of XMState; returns the delay of the next step, or NO_TICK. */
static unsigned step()
{
    const OpsDisplay_t *d = Run.Disp;
    /* A port that hung up or went away answers nothing any more: every wait
     * would be endless, so the transfer fails at once. */
    if (RS232_PortLost() && XMState != XM_CLOSE) {
        if (XMState != XM_FAILED) Failure = OPS_LINE_LOST;
        XMState = XM_FAILED;
    }
    switch (XMState) {
    case XM_WAIT_START:
        XError = RS232_GetXModemStarter();
        if (XError != RS232_OK) {
            /* The receiver never got ready, or the port went during the wait. */
            XMState = fail(RS232_PortLost() ? OPS_LINE_LOST : OPS_NO_KALTRO);
            return TICK_MS;
        }
        d->Status(d->Ctx, TX_DOWNLOAD_IN_PROGRESS);
        NAKCounter = 0;
        if (Args.Mode != XM_TYPE_KALTRO_SW) d->Sleep(d->Ctx, FIRST_PACKET_MS);
        XMState = XM_SEND_PACKET;
        return TICK_MS;

    case XM_SEND_PACKET:
        RS232_SendXModemPacket(Args.Image);
        XMState = startWait(XM_WAIT_PACKET_ANSWER);
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
            Receiving = false; /* the receiver ended its side */
            XMState = fail(OPS_REFUSED);
        } else {
            XMState = waitMore(XM_WAIT_PACKET_ANSWER);
        }
        return TICK_MS;

    case XM_SEND_EOT:
        RS232_SendXModemEOT();
        XMState = startWait(XM_WAIT_EOT_ANSWER);
        return TICK_MS;

    case XM_WAIT_EOT_ANSWER:
        XError = RS232_XModemWaitACK();
        if (XError == XM_ANSWER_NAK) {
            XMState = afterNAK(XM_SEND_EOT);
        } else if (XError == XM_ANSWER_ACK && Args.Mode == XM_TYPE_DEVICE) {
            Receiving = false;
            d->Status(d->Ctx, TX_VERIFICATION);
            XMState = startWait(XM_VERIFY);
        } else if (XError == XM_ANSWER_ACK) {
            Receiving = false;
            XMState = XM_CLOSE;
            OPS_End(&Run, OPS_DONE, TX_SW_UPGRADE_OK, -1);
            d->Linger(d->Ctx, SELF_CLOSE_MS);
            return NO_TICK;
        } else {
            XMState = waitMore(XM_WAIT_EOT_ANSWER); /* no answer, or a CAN after EOT */
        }
        return TICK_MS;

    case XM_VERIFY:
        if (RS232_GetOKReply() != RS232_OK) {
            /* A device that refuses its image will not take it by waiting. */
            Rejected = RS232_GetLastAnswer() == RS232_REPLY_REFUSED;
            XMState = Rejected ? fail(OPS_REFUSED) : waitMore(XM_VERIFY);
            return TICK_MS;
        }
        OPS_End(&Run, OPS_DONE, TX_SW_UPGRADE_OK, -1);
        return NO_TICK;

    case XM_CLOSE:
        RS232_KaltroClose();
        OPS_Finish(&Run);
        return NO_TICK;

    default: { /* XM_FAILED */
        /* A receiver that cancels the very first packet refused the image. */
        const int packet = RS232_GetPacketNumber();
        const bool wrongFile = (XError == XM_ANSWER_CAN && packet == 1) || Rejected;
        OPS_End(&Run, Failure, wrongFile ? TX_WRONG_FILE : TX_TRANSMISSION_ERROR, packet);
        return NO_TICK;
    }
    }
}

static void stepOnce()
{
    if (Run.Stopped) return;
    const bool closing = XMState == XM_CLOSE;
    const unsigned next = step();
    if (closing) return;
    const OpsDisplay_t *d = Run.Disp;
    if (Args.Size > 0) {
        const long long sent = Args.Size - RS232_GetCurrentXModemSize();
        d->Progress(d->Ctx, static_cast<int>(sent * 100 / Args.Size));
    }
    if (next != NO_TICK) d->Tick(d->Ctx, next);
}

static OpsEnd_t cancel(OpsCancel_t how)
{
    if (how == OPS_ABANDON && Receiving && !Run.Stopped) {
        static const char can[] = {static_cast<char>(XM_CAN), static_cast<char>(XM_CAN)};
        WriteABuffer(can, sizeof can);
    }
    Receiving = false;
    XMState = XM_FAILED;
    return OPS_Stop(&Run, true);
}

const OpsOperation_t XFEROP_Operation = {stepOnce, cancel};
