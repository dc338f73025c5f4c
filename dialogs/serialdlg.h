/* serialdlg.h -- the serial-port dialog (template 145): finds the Kaltro on
 * another port, opens a port chosen by hand, or disconnects. It works on the
 * one port of the serial link and its remembered port number.
 */
#pragma once

#include "platform/win.h"

/* Running the dialog: 0 once it has closed. */
int RSSERIAL_Init(HWND hWnd, HINSTANCE hInstance);
INT_PTR dSerialRS(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

/* Control identifiers, for the tests. */
constexpr int IDC_SP_FIND = 10;
constexpr int IDC_SP_CONTINUE = 11;
constexpr int IDC_SP_DISCONNECT = 12;
constexpr int IDC_SP_PORT = 1450; /* the port box: position n is COMn, 0 no port */
