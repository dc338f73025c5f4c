/* filedlg.cpp -- the file dialogs in front of the configuration text file and
 * the binary files: pick a name, then call the plain file functions, and
 * tell the user when a file could not be written or read.
 *
 * No state. Must not format, parse or write anything itself.
 */
#include "dialogs/filedlg.h"

#include "config/cfgfile.h"
#include "config/fileio.h"
#include "config/settings.h"
#include "config/texts.h"
#include "platform/win.h"

#include <cstring>
#include <cwchar>
#include <iterator>
#include <string>
#include <sys/stat.h>

/* Room for BREVCFG_NAME_MAX characters in UTF-8 and the ending NUL. */
constexpr int NAME_BYTES = BREVCFG_NAME_MAX * 4 + 1;

/* Asks for a file in the folder remembered under key (the last one the user
 * took for this kind of file), and remembers the folder of the one taken. A
 * folder that cannot be remembered costs the user nothing but the walk to it
 * next time, so it is not told. */
static bool askName(HWND owner, const wchar_t *filter, const wchar_t *pattern, const wchar_t *ext,
                    bool save, char *path, int pathMax, const char *key)
{
    char folder[SETTINGS_VALUE_LEN] = "";
    SETTINGS_Get(key, folder, sizeof folder);
    WIN_FileDialog fd{owner, filter, pattern, ext, path, pathMax, folder};
    path[0] = '\0';
    if (!(save ? WIN_GetSaveFileName(&fd) : WIN_GetOpenFileName(&fd))) return false;
    if (const char *slash = std::strrchr(path, '/'); slash != nullptr && slash != path) {
        const std::string taken(path, static_cast<std::size_t>(slash - path));
        if (taken.size() < SETTINGS_VALUE_LEN) SETTINGS_Set(key, taken.c_str());
    }
    return true;
}

void BREVCFG_WriteFile(HWND owner, VelnorCfg_t *table, int MaxUB)
{
    char path[NAME_BYTES];
    if (!askName(owner, L"Text", L"*.txt", L"txt", true, path, NAME_BYTES, "save_folder")) return;

    int rc = BREVCFG_SaveConfigFile(path, table, MaxUB, BREVCFG_CREATE_NEW);
    if (rc == BREVCFG_FILE_EXISTS) {
        /* the question box has no owner window */
        if (WIN_MessageBox(nullptr, TXT(TX_FILE_EXISTS), TXT(TX_FILE_MESSAGE),
                           MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        rc = BREVCFG_SaveConfigFile(path, table, MaxUB, BREVCFG_REPLACE);
    }
    if (rc != BREVCFG_FILE_OK) BREVCFG_ReportFileError(owner, path, TX_SAVE_FAILED);
}

void BREVCFG_ReadConfigFile(HWND owner, VelnorCfg_t *table, int MaxUB)
{
    char path[NAME_BYTES];
    if (!askName(owner, L"Text", L"*.txt", L"txt", false, path, NAME_BYTES, "open_folder")) return;
    if (BREVCFG_LoadConfigFile(path, table, MaxUB) != BREVCFG_FILE_OK)
        BREVCFG_ReportFileError(owner, path, TX_READ_FAILED);
}

int BREVCFG_ReadFile(HWND owner, unsigned char **buffer, int *size)
{
    char path[NAME_BYTES];
    *size = 0;
    *buffer = nullptr;
    if (!askName(owner, L"Binary", L"*.bin", L"bin", false, path, NAME_BYTES, "software_folder"))
        return 1;
    if (BREVCFG_LoadWholeFile(path, buffer, size) == 0) return 0;
    BREVCFG_ReportFileError(owner, path, TX_READ_FAILED);
    return 1;
}

bool BREVCFG_AskBinaryName(HWND owner, char *path, int pathMax)
{
    return askName(owner, L"Binary", L"*.bin", L"bin", true, path, pathMax, "export_folder");
}

void BREVCFG_ReportFileError(HWND owner, const char *path, int textId, const char *why)
{
    /* A failed save leaves the target as it was: a file that was there is
     * unchanged, and a new one was never made, which is not told as a file
     * left unchanged. */
    struct stat st {
    };
    if (textId == TX_SAVE_FAILED && stat(path, &st) != 0) textId = TX_SAVE_FAILED_NEW;
    wchar_t name[NAME_BYTES];
    wchar_t reason[NAME_BYTES];
    wchar_t text[3 * NAME_BYTES];
    TXT_Widen(path, name, NAME_BYTES);
    TXT_Widen(why != nullptr ? why : BREVCFG_FileReason(), reason, NAME_BYTES);
    std::swprintf(text, std::size(text), TXT(textId), name, reason);
    WIN_MessageBox(owner, text, TXT(TX_FILE_MESSAGE), MB_OK | MB_ICONWARNING);
}
