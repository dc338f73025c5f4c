/* resource.cpp -- the texts of the string resources. */
#include "config/resource.h"

const wchar_t *RES_LoadString(int id)
{
    switch (id) {
    case IDS_APP_TITLE: return L"Brevant by Halvorn Int. v." BREVANT_VERSION;
    case IDC_BREVANT: return L"BREVANT";
    default: return nullptr;
    }
}
