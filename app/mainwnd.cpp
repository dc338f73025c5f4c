/* mainwnd.cpp -- start-up of the program and the making of the main window:
 * the start-up connection window first, then the main window with its menu,
 * the UB table and the side panel, then the message loop.
 *
 * State: the program instance, the main window, its title and class name,
 * the table font and the side-panel controls. The table rows belong to the
 * UB table view; the window procedure is in wndproc.cpp.
 */
#include "app/mainwnd.h"

#include "app/ubtable.h"
#include "config/resource.h"
#include "config/texts.h"
#include "dialogs/rsinit.h"
#include "platform/win.h"

#include <cwchar>

HINSTANCE hInst;
HWND hWnd;
wchar_t szTitle[MAIN_TITLE_LEN];
wchar_t szWindowClass[MAIN_TITLE_LEN];
HFONT hFont1;
HWND hProgram, hGetConfig, hInversion, hDBase;

/* Menu 109 and accelerator table 109. */
static const WIN_MenuItem fileItems[] = {
    {L"Open File...", IDM_OPEN_FILE},
    {L"Save File...", IDM_SAVE_FILE},
    {L"Export...", IDM_EXPORT},
    {L"Reset Table...", IDM_RESET_TABLE},
    {nullptr, 0},
    {L"Exit...", IDM_EXIT},
};
static const WIN_MenuItem deviceItems[] = {
    {L"Settings...", IDM_DCSS_SETTINGS},
    {L"SW Upgrade...", IDM_DCSS_SW_UPGRADE},
    {L"Get dCSS device...", IDM_GET_DCSS_DEVICE},
};
static const WIN_MenuItem kaltroItems[] = {
    {L"Settings...", IDM_KALTRO_SETTINGS},
    {L"SW Upgrade...", IDM_KALTRO_SW_UPGRADE},
    {L"Save Cfg in Kaltro...", IDM_SAVE_CFG_IN_KALTRO},
};
static const WIN_MenuItem serialItems[] = {{L"Settings...", IDM_SERIAL_SETTINGS}};
static const WIN_MenuItem helpItems[] = {{L"About...", IDM_ABOUT}};

#define MENU(title, items)                                                                         \
    {                                                                                              \
        title, items, static_cast<int>(sizeof(items) / sizeof(items[0]))                           \
    }
static const WIN_Menu mainMenu[] = {
    MENU(L"File", fileItems),     MENU(L"dCSS Device", deviceItems),
    MENU(L"Kaltro", kaltroItems), MENU(L"Serial Port", serialItems),
    MENU(L"Help", helpItems),
};
#undef MENU

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
    mainClass.menus = mainMenu;
    mainClass.menuCount = static_cast<int>(sizeof(mainMenu) / sizeof(mainMenu[0]));
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

    WIN_UpdateWindow(hWnd);
    WIN_SelectFont(dc, old);
    WIN_ReleaseDC(hWnd, dc);
    return 1;
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
