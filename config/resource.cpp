/* resource.cpp -- the English texts of the resources, the table of every
 * language's record, and the string resources in the language in use. */
#include "config/resource.h"

extern constexpr ResTexts_t ResEn[] = {{{
    /*  0 */ L"Brevant by Halvorn Int. v." BREVANT_VERSION,
    /*  1 */ L"File",
    /*  2 */ L"Open File...",
    /*  3 */ L"Save File...",
    /*  4 */ L"Export...",
    /*  5 */ L"Reset Table...",
    /*  6 */ L"Exit...",
    /*  7 */ L"Settings...",
    /*  8 */ L"SW Upgrade...",
    /*  9 */ L"Get dCSS device...",
    /* 10 */ L"Save Cfg in Kaltro...",
    /* 11 */ L"Language",
    /* 12 */ L"System language",
    /* 13 */ L"Help",
    /* 14 */ L"About...",
    /* 15 */ L"About Brevant",
    /* 16 */ L"Disconnect",
    /* 17 */ L"UB Calculator",
}}};
static_assert(TXT_Complete(ResEn[0].Text), "the English resources lack texts");

extern const ResTexts_t ResDe[], ResFr[], ResIt[], ResEs[], ResPl[], ResNl[];
const ResTexts_t *const Res[LANG_COUNT] = {ResEn, ResDe, ResFr, ResIt, ResEs, ResPl, ResNl};

const wchar_t *RES_LoadString(int id)
{
    switch (id) {
    case IDS_APP_TITLE: return RES_Text(RS_APP_TITLE);
    case IDC_BREVANT: return L"BREVANT";
    default: return nullptr;
    }
}
