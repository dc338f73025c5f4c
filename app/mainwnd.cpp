/* mainwnd.cpp -- start-up of the program and the making of the main window:
 * the start-up connection window first, then the main window with its menu,
 * the UB table and the side panel, then the message loop.
 *
 * State: the program instance, the main window, its title and class name,
 * the table font and the side-panel controls. The table rows belong to the
 * UB table view; the window procedure is in wndproc.cpp.
 */
#include "app/mainwnd.h"

#include "app/devcmds.h"
#include "app/ubtable.h"
#include "config/fileio.h"
#include "config/lang.h"
#include "config/resource.h"
#include "config/settings.h"
#include "config/texts.h"
#include "config/velnor.h"
#include "dialogs/filedlg.h"
#include "dialogs/rsinit.h"
#include "platform/win.h"

#include <cwchar>
#include <iterator>

HINSTANCE hInst;
HWND hWnd;
wchar_t szTitle[MAIN_TITLE_LEN];
wchar_t szWindowClass[MAIN_TITLE_LEN];
HFONT hFont1;
HWND hProgram, hGetConfig, hInversion, hDBase;

/* Menu 109 in the language in use, made again when the language changes:
 * its titles and items are resource texts or, for three titles, texts of the
 * table; the Language menu offers the locale's language, then every language
 * by its own name. */
static WIN_MenuItem fileItems[6], deviceItems[7], kaltroItems[3], serialItems[1];
static WIN_MenuItem languageItems[1 + LANG_COUNT], helpItems[1];
static WIN_Menu mainMenu[6];

template <int N> static WIN_Menu menu(const wchar_t *title, WIN_MenuItem (&items)[N])
{
    return {title, items, N};
}

static void makeMenu()
{
    fileItems[0] = {RES_Text(RS_OPEN_FILE), IDM_OPEN_FILE};
    fileItems[1] = {RES_Text(RS_SAVE_FILE), IDM_SAVE_FILE};
    fileItems[2] = {RES_Text(RS_EXPORT), IDM_EXPORT};
    fileItems[3] = {RES_Text(RS_RESET_TABLE), IDM_RESET_TABLE};
    fileItems[4] = {nullptr, 0}; /* separator */
    fileItems[5] = {RES_Text(RS_EXIT), IDM_EXIT};
    deviceItems[0] = {RES_Text(RS_SETTINGS), IDM_DCSS_SETTINGS};
    deviceItems[1] = {RES_Text(RS_SW_UPGRADE), IDM_DCSS_SW_UPGRADE};
    deviceItems[2] = {RES_Text(RS_GET_DEVICE), IDM_GET_DCSS_DEVICE};
    deviceItems[3] = {nullptr, 0}; /* separator */
    deviceItems[4] = {TXT(TX_MENU_COMPARE), IDM_COMPARE};
    deviceItems[5] = {TXT(TX_MENU_VERIFY), IDM_VERIFY};
    deviceItems[6] = {TXT(TX_MENU_PRODUCTION), IDM_PRODUCTION};
    kaltroItems[0] = {RES_Text(RS_SETTINGS), IDM_KALTRO_SETTINGS};
    kaltroItems[1] = {RES_Text(RS_SW_UPGRADE), IDM_KALTRO_SW_UPGRADE};
    kaltroItems[2] = {RES_Text(RS_SAVE_CFG), IDM_SAVE_CFG_IN_KALTRO};
    serialItems[0] = {RES_Text(RS_SETTINGS), IDM_SERIAL_SETTINGS};
    languageItems[0] = {RES_Text(RS_SYSTEM_LANGUAGE), IDM_LANGUAGE_SYSTEM};
    for (int l = 0; l < LANG_COUNT; l++)
        languageItems[1 + l] = {LANG_Name(l), IDM_LANGUAGE_FIRST + l};
    helpItems[0] = {RES_Text(RS_ABOUT), IDM_ABOUT};

    mainMenu[0] = menu(RES_Text(RS_FILE), fileItems);
    mainMenu[1] = menu(TXT(TX_DCSS_DEVICE), deviceItems);
    mainMenu[2] = menu(TXT(TX_KALTRO), kaltroItems);
    mainMenu[3] = menu(TXT(TX_SERIAL_PORT), serialItems);
    mainMenu[4] = menu(RES_Text(RS_LANGUAGE), languageItems);
    mainMenu[5] = menu(RES_Text(RS_HELP), helpItems);
}

/* The check mark at the Language menu's item of the choice in effect: a
 * record, or -1 for the locale's language. */
static void checkLanguage(HWND w, int chosen)
{
    WIN_CheckMenuItem(w, IDM_LANGUAGE_SYSTEM, chosen < 0);
    for (int l = 0; l < LANG_COUNT; l++)
        WIN_CheckMenuItem(w, IDM_LANGUAGE_FIRST + l, chosen == l);
}

static const WIN_Accel accelerators[] = {
    {L'?', true, IDM_ABOUT},
    {L'/', true, IDM_ABOUT},
};

/* The main window class: procedure, background, icon and menu. */
static WIN_WindowDesc mainClass;

void MyRegisterClass(HINSTANCE)
{
    mainClass = WIN_WindowDesc{};
    mainClass.proc = WndProc;
    mainClass.background = WINDOW_BACKGROUND;
    makeMenu();
    mainClass.menus = mainMenu;
    mainClass.menuCount = static_cast<int>(std::size(mainMenu));
    mainClass.iconId = IDI_BREVANT;
}

void MAIN_ShowDBaseVersion()
{
    wchar_t text[MAIN_VERSION_TEXT_LEN];
    MAIN_ConfigVersionText(VelnorData.DBaseVersion, text);
    WIN_SetWindowText(hDBase, text);
}

static void createSidePanel(HWND w)
{
    hProgram = WIN_CreateControl(w, WinControl::DefPushButton, TXT(TX_PROGRAM), CS_TABSTOP, PANEL_X,
                                 80 + OffsetVert, 160, 30, 0);
    WIN_SetFont(hProgram, hFont1);
    hGetConfig = WIN_CreateControl(w, WinControl::DefPushButton, TXT(TX_CONFIG_UPLOAD), CS_TABSTOP,
                                   PANEL_X, 200 + OffsetVert, 160, 30, 0);
    WIN_SetFont(hGetConfig, hFont1);
    hInversion = WIN_CreateControl(w, WinControl::CheckBox, nullptr, 0, PANEL_X, 125 + OffsetVert,
                                   14, 14, 0);
    WIN_SetCheck(hInversion, 0);
    hDBase = WIN_CreateControl(w, WinControl::ComboEdit, nullptr, CS_UPPERCASE | CS_TABSTOP,
                               PANEL_X, 150 + OffsetVert, 50, 22, 0);
    WIN_SetFont(hDBase, hFont1);
    MAIN_ShowDBaseVersion();
    WIN_ComboLimitText(hDBase, 5);
}

int InitInstance(HINSTANCE hInstance, int nCmdShow)
{
    hInst = hInstance;

    WIN_WindowDesc desc = mainClass;
    desc.title = szTitle;
    desc.x = 10;
    desc.y = 50;
    desc.width = 1091;
    desc.height = 515;
    desc.style = WS_SIZABLE | WS_MINIMIZEBOX | WS_VSCROLL;
    MAIN_ForgetWindows();
    hWnd = WIN_CreateWindow(&desc);
    if (!hWnd) return 0;
    WIN_ShowWindow(hWnd, nCmdShow != 0);
    WIN_UpdateWindow(hWnd);

    HDC dc = WIN_GetDC(hWnd);
    if (!hFont1) hFont1 = WIN_CreateFont(16, 6, FW_MEDIUM, L"Arial");
    HFONT old = WIN_SelectFont(dc, hFont1);

    MAIN_InitStruct();
    for (int i = 0; i < MAIN_RowsInTable(VelnorData.UBNumber); i++) {
        MAIN_Draw(hWnd, i);
        MAIN_DataUpdate(i);
        MAIN_SetBoxes(dc, i);
    }
    createSidePanel(hWnd);
    WIN_SetAccelerators(hWnd, accelerators,
                        static_cast<int>(sizeof(accelerators) / sizeof(accelerators[0])));
    checkLanguage(hWnd, LANG_Remembered());
    WIN_CheckMenuItem(hWnd, IDM_VERIFY, MAIN_VerifyChosen());

    WIN_UpdateWindow(hWnd);
    WIN_SelectFont(dc, old);
    WIN_ReleaseDC(hWnd, dc);
    return 1;
}

/* The main window in the language in use: title, menu, side-panel buttons,
 * the status texts of the rows (each the same text in the new language) and
 * everything painted. Dialogs are modal, so none is open. */
static void showLanguage(HWND w, int before, int chosen)
{
    std::wcsncpy(szTitle, RES_LoadString(IDS_APP_TITLE), MAIN_TITLE_LEN - 1);
    WIN_SetWindowText(w, szTitle);
    makeMenu();
    WIN_SetMenu(w, mainMenu, static_cast<int>(std::size(mainMenu)));
    checkLanguage(w, chosen);
    WIN_CheckMenuItem(w, IDM_VERIFY, MAIN_VerifyChosen());
    WIN_SetWindowText(hProgram, TXT(TX_PROGRAM));
    WIN_SetWindowText(hGetConfig, TXT(TX_CONFIG_UPLOAD));
    for (wchar_t *status : ErrorText) {
        const int k = TXT_Find(before, status);
        if (k < 0) continue;
        std::wcsncpy(status, TXT(k), ERROR_TEXT_LEN - 1);
        status[ERROR_TEXT_LEN - 1] = L'\0';
    }
    WIN_InvalidateRect(w);
    WIN_UpdateWindow(w);
}

void MAIN_CmdLanguage(HWND hWindow, int choice)
{
    const bool remembered = LANG_Remember(choice) == 0;
    const int before = Lang;
    LANG_Use(choice >= 0 ? choice : LANG_FromEnvironment());
    WIN_SetLanguage(LANG_Code(Lang));
    showLanguage(hWindow, before, choice);
    /* told in the new language; the choice holds for this run all the same */
    if (!remembered) MAIN_ReportSettingsFailure(hWindow);
}

void MAIN_ReportSettingsFailure(HWND hWindow)
{
    char path[BREVCFG_PATH_MAX] = "~/.config/brevant/settings";
    SETTINGS_Path(path, sizeof path);
    BREVCFG_ReportFileError(hWindow, path, TX_SAVE_FAILED, SETTINGS_Reason());
}

int wWinMain(HINSTANCE hInstance, HINSTANCE, const wchar_t *, int nCmdShow)
{
    if (RSINIT_Init(hInstance, nCmdShow) == 1) return 0;
    VelnorData.Model = static_cast<std::int8_t>(RSINIT_GetModel());

    std::wcsncpy(szTitle, RES_LoadString(IDS_APP_TITLE), MAIN_TITLE_LEN - 1);
    std::wcsncpy(szWindowClass, RES_LoadString(IDC_BREVANT), MAIN_TITLE_LEN - 1);
    MyRegisterClass(hInstance);
    if (!InitInstance(hInstance, nCmdShow)) return 0;
    hInst = hInstance;

    /* Keyboard navigation, the About accelerators and dispatching all happen
     * inside the layer's loop; it returns the code posted with the quit. */
    return WIN_MessageLoop();
}
