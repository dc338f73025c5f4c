/* mainwnd.h -- the main window: start-up of the program, the window and its
 * side panel, the window procedure, and the commands that need no device.
 *
 * The handles below are the main window's and are shared by the app
 * modules; every other module reaches the window through the functions.
 */
#pragma once

#include "platform/wintypes.h"

#include <cstdint>

constexpr int MAIN_TITLE_LEN = 100; /* wide characters of the title and class name */

extern HINSTANCE hInst;
extern HWND hWnd; /* the main window, nullptr while there is none */
extern wchar_t szTitle[MAIN_TITLE_LEN];
extern wchar_t szWindowClass[MAIN_TITLE_LEN];
extern HFONT hFont1; /* the font of every main-window control */
extern HWND hProgram, hGetConfig, hInversion, hDBase;

/* Start-up: the whole program, and its two steps that make the main window. */
int wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, const wchar_t *lpCmdLine, int nCmdShow);
void MyRegisterClass(HINSTANCE hInstance);
int InitInstance(HINSTANCE hInstance, int nCmdShow);

/* The window procedure. */
LRESULT WndProc(HWND hWindow, UINT message, WPARAM wParam, LPARAM lParam);

/* The side panel's configuration-version field shows VelnorData.DBaseVersion. */
void MAIN_ShowDBaseVersion();
/* Shows every row in use again from the table. */
void MAIN_ShowAllRows();
/* Validates with a drawing context of the main window. */
void MAIN_Validate(HWND hWindow);
/* Scrolls the first row whose status is an error into view, if any. */
void MAIN_ScrollToFirstError(HWND hWindow);

/* Commands that need no device (File, Language and Help menus, the
 * calculator). */
void MAIN_CmdOpenFile(HWND hWindow);
void MAIN_CmdSaveFile(HWND hWindow);
void MAIN_CmdExport(HWND hWindow);
void MAIN_CmdResetTable(HWND hWindow);
void MAIN_CmdExit(HWND hWindow);
void MAIN_CmdAbout(HWND hWindow);
void MAIN_CmdUBCalc(HWND hWindow);
/* The Language menu: choice is a record, or -1 to follow the locale again;
 * remembered for the next runs and shown at once. */
void MAIN_CmdLanguage(HWND hWindow, int choice);
/* Tells that the settings file could not be written, and why. */
void MAIN_ReportSettingsFailure(HWND hWindow);
INT_PTR About(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
