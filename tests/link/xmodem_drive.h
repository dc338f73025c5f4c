/* xmodem_drive.h -- a whole XModem transfer by the sender rules, for the
 * link tests: start, "C", a pause (except for controller software), packets
 * with ACK / NAK / CAN handling, then EOT. The program's own driver is the
 * transfer's step machine in ops/, one step per tick of a dialog's timer or
 * of brevant-cli's loop; this one runs the same steps in a plain loop and
 * gives up after a bounded number of silent reads.
 */
#pragma once

#include "link/rs232.h"

enum class DriveEnd { Done, StartFailed, NoStarter, ThreeNaks, Cancelled, NoAnswer };

struct DriveResult {
    DriveEnd end = DriveEnd::NoAnswer;
    int startCode = 0; /* RS232_KaltroDownloadInit's result */
    int packet = 0;    /* packet number when it ended */
    int naks = 0;      /* NAKs seen in all */
};

inline DriveResult XModemDrive(const unsigned char *image, int size, int type, int model,
                               unsigned pauseMs = 1500, int maxQuietReads = 25)
{
    DriveResult r;
    r.startCode = RS232_KaltroDownloadInit(size, type, model);
    if (r.startCode != XM_STARTED) return r.end = DriveEnd::StartFailed, r;
    if (RS232_GetXModemStarter() != RS232_OK) return r.end = DriveEnd::NoStarter, r;
    if (type != XM_TYPE_KALTRO_SW) RS232_Pause(pauseMs); /* the receiver settles */
    int naks = 0, quiet = 0;
    bool eot = false;
    while (true) {
        eot = RS232_GetCurrentXModemSize() <= 0;
        if (eot)
            RS232_SendXModemEOT();
        else
            RS232_SendXModemPacket(image);
        int answer = XM_NO_ANSWER;
        while ((answer = RS232_XModemWaitACK()) == XM_NO_ANSWER ||
               (eot && answer == XM_ANSWER_CAN)) {
            if (++quiet > maxQuietReads) return r.packet = RS232_GetPacketNumber(), r;
        }
        quiet = 0;
        r.packet = RS232_GetPacketNumber();
        if (answer == XM_ANSWER_CAN) return r.end = DriveEnd::Cancelled, r;
        if (answer == XM_ANSWER_NAK) {
            r.naks++;
            if (++naks == 3) return r.end = DriveEnd::ThreeNaks, r;
            continue; /* the same packet (or EOT) again */
        }
        naks = 0;
        if (eot) return r.end = DriveEnd::Done, r;
        RS232_XModemNextPacket();
    }
}
