/* serialdlg.h -- the serial-port dialog (template 145): finds the Kaltro on
 * another port, opens a port chosen by hand, or disconnects. It works on the
 * one port of the serial link and its remembered port number.
 */
#pragma once

#include "link/portinfo.h"
#include "platform/win.h"

/* Running the dialog: 0 once it has closed. */
int RSSERIAL_Init(HWND hWnd, HINSTANCE hInstance);
INT_PTR dSerialRS(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

/* Tells the user in a message box over owner why the port of err cannot be
 * used and what to do (permission, in use, not a serial port, line settings
 * refused). Other faults show nothing. True when a box was shown. */
bool RSSERIAL_ReportPortError(HWND owner, const RS232_PortError_t *err);

/* Control identifiers, for the tests. */
constexpr int IDC_SP_FIND = 10;
constexpr int IDC_SP_CONTINUE = 11;
constexpr int IDC_SP_DISCONNECT = 12;
constexpr int IDC_SP_PORT = 1450;   /* the port box: position n is COMn, 0 no port */
constexpr int IDC_SP_DEVICE = 1452; /* the device of the number in the port box */
