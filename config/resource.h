/* resource.h -- the program's resource numbers: string resources, the main
 * menu's command identifiers, accelerators, dialog templates and icons.
 * The texts of the string resources live in resource.cpp. */
#pragma once

/* String resources. */
constexpr int IDS_APP_TITLE = 100;     /* main window title */
constexpr int IDC_BREVANT = 109;       /* window class name; also menu and accelerators */
const wchar_t *RES_LoadString(int id); /* the text of a string resource, or nullptr */

/* Icons. */
constexpr int IDI_BREVANT = 107;
constexpr int IDI_SMALL = 108;

/* Menu 109 command identifiers. */
constexpr int IDM_ABOUT = 104;
constexpr int IDM_EXIT = 105;
constexpr int IDM_OPEN_FILE = 112;
constexpr int IDM_SAVE_FILE = 113;
constexpr int IDM_EXPORT = 114;
constexpr int IDM_KALTRO_SETTINGS = 115;
constexpr int IDM_KALTRO_SW_UPGRADE = 116;
constexpr int IDM_DCSS_SETTINGS = 121;
constexpr int IDM_DCSS_SW_UPGRADE = 122;
constexpr int IDM_SAVE_CFG_IN_KALTRO = 137;
constexpr int IDM_RESET_TABLE = 140;
constexpr int IDM_GET_DCSS_DEVICE = 142;
constexpr int IDM_SERIAL_SETTINGS = 144;
constexpr int IDM_UB_CALCULATOR = 146; /* issued by no menu item or key */

/* Dialog templates. */
constexpr int IDD_ABOUTBOX = 103;
constexpr int IDD_KALTRO_SETTINGS = 117;
constexpr int IDD_TRANSFER = 119;
constexpr int IDD_DCSS_SETTINGS = 123;
constexpr int IDD_SEND_CFG = 138;
constexpr int IDD_READOUT = 141;
constexpr int IDD_GET_DEVICE = 143;
constexpr int IDD_SERIAL_PORT = 145;
constexpr int IDD_UB_CALCULATOR = 147;
