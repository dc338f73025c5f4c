/* rsinit.cpp -- the start-up connection window: port scan, controller and
 * device identification, model choice.
 *
 * State owned here: the three field colours, the scan flags, the two results
 * (ExitFlag, ModelID), the window with its buttons and model selection, and
 * the device row as last worked out. It reaches the serial port only through
 * RS232_ and the catalogue through DCSS_; it never touches the UB table.
 *
 *   State      Entered by                        First button  Repeat    Timer 1
 *   Scanning   creation; Repeat                  "Cancel"      disabled  1 ms, one port a tick
 *   Found      RS232_Progress gives 0            "OK"          enabled   stopped
 *   Not found  RS232_Progress gives 2; Cancel    "OK"          enabled   stopped
 *   Ended      OK in Found or Not found; Exit; closing the window
 *
 *   Tick of timer 1 (while Timer_1_Flag is 0): stop the timer, RS232_Progress;
 *     0 -> Found (all fields green), 2 -> port number 0 and Not found (all red),
 *     1 -> start the timer again for the next port. The port field is redrawn.
 *
 * A scan that ends without a Kaltro but met a port that exists and was
 * refused (permission, in use) tells which and what to do in a message box.
 *
 * The device row (supply voltage, device ID, model) is worked out when the
 * scan ends, when it is cancelled and on Repeat, and kept in DeviceModel.
 * Painting only shows what was kept, so a window that is moved or uncovered
 * never talks to the device and never powers it again.
 */
#include "dialogs/rsinit.h"

#include "config/dcss.h"
#include "config/resource.h"
#include "config/settings.h"
#include "config/texts.h"
#include "dialogs/serialdlg.h"
#include "link/rs232.h"
#include "ops/devop.h"
#include "platform/win.h"

#include <cwchar>
#include <initializer_list>

/* Colours of the window and its fields. */
static constexpr COLORREF BACKGROUND_GREY = RGB(170, 170, 170);
static constexpr COLORREF SCAN_GREY = RGB(178, 178, 178);
static constexpr COLORREF GREEN = RGB(0, 153, 0);
static constexpr COLORREF RED = RGB(170, 0, 0);
static constexpr COLORREF TEXT_BLACK = RGB(0, 0, 0);

static constexpr unsigned SCAN_TIMER = 1;
/* The next port is tried as soon as the message loop is free again. */
static constexpr unsigned SCAN_PERIOD_MS = 1;

static constexpr int PORT_TEXT_LEN = 128;
static constexpr int TITLE_LEN = 256;

/* The window's font: Arial, cell height 16, average width 6, weight 500. */
static constexpr int FONT_HEIGHT = 16;
static constexpr int FONT_WIDTH = 6;

struct Rect {
    int left, top, right, bottom;
};
static constexpr Rect PORT_RECT{130, 10, 300, 30};
static constexpr Rect KALTRO_RECT{130, 40, 300, 60};
static constexpr Rect DEVICE_RECT{130, 70, 300, 90};
static constexpr Rect SELECT_LABEL_RECT{10, 107, 180, 127};
static constexpr int FIELD_TEXT_DY = 2; /* text top below the field's top */
enum class Field { Port, Controller, Device };

/* Module state. */
static COLORREF RSColor = SCAN_GREY;
static COLORREF KaltroColor = BACKGROUND_GREY;
static COLORREF dCSSColor = BACKGROUND_GREY;
static std::int32_t RSFinishedFlag = 1;
static std::int32_t Timer_1_Flag = 0;
static std::int32_t OK_Clicked = 0;
static std::int32_t ExitFlag = 0;
static std::int32_t ModelID = 0;
static wchar_t PortText[PORT_TEXT_LEN];
static wchar_t szTitle[TITLE_LEN];
static HWND hStart, hOK, hReDo, hExit, hSelect;
static HFONT hFont1;
/* The model shown on green in the device field, from the last identification;
 * -1 while none has been made. */
static int DeviceModel = -1;
static bool RememberedTried = false; /* the remembered COM number was asked first */

static void resetState()
{
    RSColor = SCAN_GREY;
    KaltroColor = BACKGROUND_GREY;
    dCSSColor = BACKGROUND_GREY;
    RSFinishedFlag = 1;
    Timer_1_Flag = 0;
    RememberedTried = false;
    OK_Clicked = 0;
    ExitFlag = 0;
    ModelID = 0;
    PortText[0] = L'\0';
    hStart = hOK = hReDo = hExit = hSelect = nullptr;
    hFont1 = nullptr;
    DeviceModel = -1;
}

/* ---- Field texts ------------------------------------------------------------ */

/* The text each field shows follows from its colour: the not-found text on
 * red, the found text on green, nothing (or the port) otherwise. */
static void fieldText(Field field, wchar_t *text, int max)
{
    const std::size_t n = static_cast<std::size_t>(max);
    switch (field) {
    case Field::Port:
        if (RSColor == RED)
            std::swprintf(text, n, L"%ls", TXT(TX_NOT_FOUND));
        else
            std::swprintf(text, n, L"COM%d", RS232_GetLastPortNumber());
        break;
    case Field::Controller:
        if (KaltroColor == RED)
            std::swprintf(text, n, L"%ls", TXT(TX_NOT_FOUND));
        else if (KaltroColor == GREEN)
            std::swprintf(text, n, L"%ls KX-P2", TXT(TX_KALTRO));
        else
            text[0] = L'\0';
        break;
    case Field::Device:
        if (dCSSColor == RED)
            std::swprintf(text, n, L"%ls", TXT(TX_UNKNOWN));
        else if (dCSSColor == GREEN && DeviceModel >= 0)
            std::swprintf(text, n, L"%ls", DCSS_GetModelName(DeviceModel));
        else
            text[0] = L'\0';
        break;
    }
}

static COLORREF fieldColor(Field field)
{
    switch (field) {
    case Field::Port: return RSColor;
    case Field::Controller: return KaltroColor;
    case Field::Device: return dCSSColor;
    }
    return BACKGROUND_GREY;
}

/* A field: its rectangle in its colour, its text centred on the rectangle's
 * middle, FIELD_TEXT_DY below the top. */
static void drawField(HDC hdc, const Rect &r, Field field)
{
    const COLORREF color = fieldColor(field);
    fieldText(field, PortText, PORT_TEXT_LEN);
    WIN_FillRect(hdc, r.left, r.top, r.right, r.bottom, color);
    if (PortText[0] == L'\0') return;
    WIN_SetBkMode(hdc, TRANSPARENT);
    WIN_SetTextColor(hdc, TEXT_BLACK);
    const int middle = (r.left + r.right) / 2;
    WIN_TextOut(hdc, middle - WIN_GetTextWidth(hdc, PortText, -1) / 2, r.top + FIELD_TEXT_DY,
                PortText, -1);
}

static void drawLabel(HDC hdc, int x, int y, const wchar_t *text)
{
    WIN_SetBkMode(hdc, OPAQUE);
    WIN_SetBkColor(hdc, BACKGROUND_GREY);
    WIN_SetTextColor(hdc, TEXT_BLACK);
    WIN_TextOut(hdc, x, y, text, -1);
}

/* ---- Drawing ---------------------------------------------------------------- */

void RSINIT_MainText(HDC hdc)
{
    drawLabel(hdc, 10, 12, TXT(TX_COM_PORT));
    drawLabel(hdc, 10, 42, TXT(TX_PROGRAMMER));
    drawLabel(hdc, 10, 72, TXT(TX_DCSS_DEVICE));
}

void RSINIT_DrawCOMText(HDC hdc)
{
    drawField(hdc, PORT_RECT, Field::Port);
}

/* Shows the controller and device fields as the last device row left them;
 * it asks the device nothing. */
void RSINIT_DrawDCSSInfo(HDC hdc, HWND hWnd)
{
    drawField(hdc, KALTRO_RECT, Field::Controller);
    drawField(hdc, DEVICE_RECT, Field::Device);
    if (dCSSColor == RED) RSINIT_DrawdCSSSelectBox(hdc, hWnd);
}

/* The "Select Model" label, and the selection box when it does not exist yet:
 * the 11 models in index order, the first selected, and ModelID set to match. */
void RSINIT_DrawdCSSSelectBox(HDC hdc, HWND hWnd)
{
    drawLabel(hdc, 10, 107, TXT(TX_SELECT_MODEL));
    if (hSelect != nullptr) return;
    hSelect = WIN_CreateControl(hWnd, WinControl::ComboList, nullptr, 0, 130, 102, 170, 160,
                                IDC_RS_MODEL);
    if (hSelect == nullptr) return;
    WIN_SetFont(hSelect, hFont1);
    for (int i = 0; i < DCSS_GetNumberOfModels(); ++i)
        WIN_ComboAddString(hSelect, DCSS_GetModelName(i));
    WIN_ComboSetMinVisible(hSelect, DCSS_GetNumberOfModels());
    WIN_ComboSetCurSel(hSelect, 0);
    ModelID = 0;
}

/* ---- The device row ----------------------------------------------------------- */

static void drawDeviceRow(HWND hWnd)
{
    HDC hdc = WIN_GetDC(hWnd);
    WIN_SelectFont(hdc, hFont1);
    RSINIT_DrawDCSSInfo(hdc, hWnd);
    WIN_ReleaseDC(hWnd, hdc);
}

/* Works out the device row from the field colours: with the device field red
 * nothing is asked (the selection is shown); with the controller found the
 * device is powered if need be and identified; otherwise the row is empty. */
static void identifyDevice(HWND hWnd)
{
    if (dCSSColor != RED && KaltroColor == GREEN) {
        drawDeviceRow(hWnd); /* the controller shows while the device starts */
        int model = -1;
        if (DEVOP_PowerAndIdentify(WIN_Sleep, &model) == OPS_DONE) {
            ModelID = model;
            DeviceModel = model;
        } else {
            dCSSColor = RED;
        }
    }
    drawDeviceRow(hWnd);
}

static void drawPortField(HWND hWnd)
{
    HDC hdc = WIN_GetDC(hWnd);
    WIN_SelectFont(hdc, hFont1);
    RSINIT_DrawCOMText(hdc);
    WIN_ReleaseDC(hWnd, hdc);
}

/* The scan has ended (found, nothing left, or cancelled): every field takes
 * the colour, the first button becomes OK, Repeat is offered, and the device
 * row is worked out. */
static void endScan(HWND hWnd, COLORREF color)
{
    RSFinishedFlag = 0;
    Timer_1_Flag = 1;
    RSColor = KaltroColor = dCSSColor = color;
    WIN_SetWindowText(hOK, TXT(TX_OK));
    WIN_EnableWindow(hReDo, true);
    drawPortField(hWnd);
    identifyDevice(hWnd);
    /* A port that is there but was refused is why nothing was found: the
     * user is told which device and what to do. */
    if (color == RED) RSSERIAL_ReportPortError(hWnd, RS232_GetScanRefusal());
}

/* ---- Commands ------------------------------------------------------------------- */

static void scanTick(HWND hWnd)
{
    WIN_KillTimer(hWnd, SCAN_TIMER);
    /* The port the user had last is asked first; then the scan from COM1. */
    if (!RememberedTried) {
        RememberedTried = true;
        const int last = SETTINGS_ComPort();
        if (last > 0 && last < RS232_PORT_LIMIT && RS232_ScanPort(last) == RS232_PORT_FOUND) {
            endScan(hWnd, GREEN);
            drawPortField(hWnd);
            return;
        }
    }
    switch (RS232_Progress()) {
    case RS232_PORT_FOUND:
        SETTINGS_RememberComPort(RS232_GetLastPortNumber());
        endScan(hWnd, GREEN);
        break;
    case RS232_PORT_NO_MORE:
        RS232_SetPortNumber(0);
        endScan(hWnd, RED);
        break;
    default: WIN_SetTimer(hWnd, SCAN_TIMER, SCAN_PERIOD_MS); break;
    }
    drawPortField(hWnd);
}

static void firstButton(HWND hWnd)
{
    OK_Clicked = 1;
    if (RSFinishedFlag == 0) {
        WIN_DestroyWindow(hWnd);
        return;
    }
    /* Cancel: the port number stays where the scan stood; no port is open
     * between two ticks. */
    WIN_KillTimer(hWnd, SCAN_TIMER);
    endScan(hWnd, RED);
}

static void repeatScan(HWND hWnd)
{
    RS232_Term();
    RS232_ResetPortNumber();
    RSFinishedFlag = 1;
    Timer_1_Flag = 0;
    WIN_SetTimer(hWnd, SCAN_TIMER, SCAN_PERIOD_MS);
    RSColor = SCAN_GREY;
    KaltroColor = dCSSColor = BACKGROUND_GREY;
    DeviceModel = -1;
    WIN_SetWindowText(hOK, TXT(TX_CANCEL));
    HDC hdc = WIN_GetDC(hWnd);
    WIN_FillRect(hdc, SELECT_LABEL_RECT.left, SELECT_LABEL_RECT.top, SELECT_LABEL_RECT.right,
                 SELECT_LABEL_RECT.bottom, BACKGROUND_GREY);
    WIN_ReleaseDC(hWnd, hdc);
    WIN_EnableWindow(hReDo, false);
    WIN_DestroyWindow(hSelect);
    hSelect = nullptr;
    drawPortField(hWnd);
    identifyDevice(hWnd);
}

static void paint(HWND hWnd)
{
    HDC hdc = WIN_BeginPaint(hWnd);
    HFONT font = WIN_CreateFont(FONT_HEIGHT, FONT_WIDTH, FW_MEDIUM, L"Arial");
    WIN_SelectFont(hdc, font);
    RSINIT_MainText(hdc);
    RSINIT_DrawCOMText(hdc);
    RSINIT_DrawDCSSInfo(hdc, hWnd);
    WIN_EndPaint(hWnd, hdc);
    WIN_DeleteFont(font);
}

LRESULT RSWinProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == SCAN_TIMER && Timer_1_Flag == 0) scanTick(hWnd);
        return 0;
    case WM_COMMAND: {
        HWND from = reinterpret_cast<HWND>(lParam);
        if (from == nullptr) return 0;
        if (from == hSelect) {
            if (HIWORD(wParam) == CBN_SELCHANGE) ModelID = WIN_ComboGetCurSel(hSelect);
        } else if (from == hOK) {
            firstButton(hWnd);
        } else if (from == hReDo) {
            repeatScan(hWnd);
        } else if (from == hExit) {
            WIN_DestroyWindow(hWnd);
            ExitFlag = 1;
        }
        return 0;
    }
    case WM_PAINT: paint(hWnd); return 0;
    case WM_CLOSE: WIN_DestroyWindow(hWnd); return 0;
    case WM_DESTROY:
        WIN_KillTimer(hWnd, SCAN_TIMER);
        if (OK_Clicked == 0) ExitFlag = 1;
        WIN_PostQuitMessage(0);
        return 0;
    default: return 0; /* keys, scrolling, clicks and the wheel do nothing */
    }
}

/* ---- Running the window ---------------------------------------------------------- */

int RSINIT_InitInstanceFirst(HINSTANCE, int nCmdShow)
{
    resetState();
    std::swprintf(szTitle, TITLE_LEN, L"%ls", TXT(TX_TITLE));
    const WIN_WindowDesc desc{szTitle, RSWinProc,      BACKGROUND_GREY, 100, 250,        320,
                              210,     WS_MINIMIZEBOX, nullptr,         0,   IDI_BREVANT};
    hStart = WIN_CreateWindow(&desc);
    if (hStart == nullptr) return 0;
    hFont1 = WIN_CreateFont(FONT_HEIGHT, FONT_WIDTH, FW_MEDIUM, L"Arial");
    hOK = WIN_CreateControl(hStart, WinControl::PushButton, TXT(TX_CANCEL), 0, 20, 140, 80, 30,
                            IDC_RS_FIRST);
    hReDo = WIN_CreateControl(hStart, WinControl::PushButton, TXT(TX_REPEAT), CS_DISABLED, 120, 140,
                              80, 30, IDC_RS_REPEAT);
    hExit = WIN_CreateControl(hStart, WinControl::PushButton, TXT(TX_EXIT), 0, 220, 140, 80, 30,
                              IDC_RS_EXIT);
    for (HWND button : {hOK, hReDo, hExit})
        WIN_SetFont(button, hFont1);
    WIN_ShowWindow(hStart, nCmdShow != 0);

    HDC hdc = WIN_GetDC(hStart);
    WIN_SelectFont(hdc, hFont1);
    RSINIT_MainText(hdc);
    RSINIT_DrawCOMText(hdc);
    WIN_ReleaseDC(hStart, hdc);

    RS232_ClearScanRefusal();
    WIN_SetTimer(hStart, SCAN_TIMER, SCAN_PERIOD_MS);
    return 1;
}

/* Runs the window to its end. A window that cannot be made ends the program
 * (1): without it no port was found and no model chosen. */
std::int32_t RSINIT_Init(HINSTANCE hInstance, int nCmdShow)
{
    if (RSINIT_InitInstanceFirst(hInstance, nCmdShow) == 0) return 1;
    WIN_MessageLoop();
    WIN_DeleteFont(hFont1);
    hFont1 = nullptr;
    hStart = hOK = hReDo = hExit = hSelect = nullptr;
    return ExitFlag;
}

std::int32_t RSINIT_GetModel()
{
    return ModelID;
}
