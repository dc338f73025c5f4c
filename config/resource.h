/* resource.h -- the program's resource numbers: string resources, the main
 * menu's command identifiers, accelerators, dialog templates and icons; and
 * the resources' texts in every language.
 *
 * Res holds one record of RES_TEXT_COUNT texts per language, in the order of
 * the text table's records (texts.h), and the record Lang selects is in use.
 * The English record is in resource.cpp, the others beside their language's
 * text record (texts_de.cpp and so on), each asserting that it is complete.
 * The menu titles that are texts of the table ("dCSS Device", "Kaltro",
 * "Serial Port") are taken from there.
 */
#pragma once

#include "config/texts.h"

/* String resources. */
constexpr int IDS_APP_TITLE = 100;     /* main window title */
constexpr int IDC_BREVANT = 109;       /* window class name; also menu and accelerators */
const wchar_t *RES_LoadString(int id); /* the text of a string resource, or nullptr */

/* The resources' texts by number. */
enum ResTextId : int {
    RS_APP_TITLE = 0, /* string resource 100 */
    RS_FILE = 1,      /* menu 109: titles and items in menu order */
    RS_OPEN_FILE = 2,
    RS_SAVE_FILE = 3,
    RS_EXPORT = 4,
    RS_RESET_TABLE = 5,
    RS_EXIT = 6,
    RS_SETTINGS = 7, /* of the dCSS Device, Kaltro and Serial Port menus */
    RS_SW_UPGRADE = 8,
    RS_GET_DEVICE = 9,
    RS_SAVE_CFG = 10,
    RS_LANGUAGE = 11,
    RS_SYSTEM_LANGUAGE = 12, /* the choice that follows the locale */
    RS_HELP = 13,
    RS_ABOUT = 14,
    RS_ABOUT_TITLE = 15,   /* template 103's caption */
    RS_DISCONNECT = 16,    /* template 145's fourth button */
    RS_UB_CALCULATOR = 17, /* template 147's caption */
};
constexpr int RES_TEXT_COUNT = 18;

struct ResTexts_t {
    const wchar_t *Text[RES_TEXT_COUNT];
};
extern const ResTexts_t *const Res[LANG_COUNT];

inline const wchar_t *RES_Text(int k)
{
    return Res[Lang]->Text[k];
}

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
/* The Language menu: the locale's language, then each record by its number. */
constexpr int IDM_LANGUAGE_SYSTEM = 150;
constexpr int IDM_LANGUAGE_FIRST = 151; /* through IDM_LANGUAGE_FIRST + LANG_COUNT - 1 */
constexpr int IDM_COMPARE = 160;        /* dCSS Device: Compare with Device... */
constexpr int IDM_VERIFY = 161;         /* dCSS Device: Verify after Program, checked or not */
constexpr int IDM_PRODUCTION = 162;     /* dCSS Device: Production... */

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
