/* filedlg.h -- the file dialogs in front of the configuration files: each
 * asks for a file name and hands it to the plain file functions (cfgfile.h,
 * fileio.h), which do the work. The user is asked the overwrite question,
 * and told in a message box when a file cannot be written or read (naming
 * the file and the system's reason); a cancelled dialog changes nothing.
 */
#pragma once

#include "config/velnor.h"
#include "platform/wintypes.h"

constexpr int BREVCFG_NAME_MAX = 260; /* characters of a chosen file name */

/* The configuration text file. */
/* Asks for a name ("Text", "*.txt") and saves rows 0 .. MaxUB - 1 of table
 * there; an existing file is replaced only after the overwrite question was
 * answered Yes. The save normalises and sorts the table. */
void BREVCFG_WriteFile(HWND owner, VelnorCfg_t *table, int MaxUB);
/* Asks for an existing text file and reads it into rows 0 .. MaxUB - 1 of
 * table; a cancel or a file that cannot be read leaves the table as it was
 * (the latter is told). */
void BREVCFG_ReadConfigFile(HWND owner, VelnorCfg_t *table, int MaxUB);

/* Whole binary files. */
/* Asks for an existing file ("Binary", "*.bin") and loads it whole into a new
 * buffer (*buffer, *size; *size is set to 0 first). Returns 0 on success
 * (an empty file gives size 0 and no buffer), 1 when the user cancels or the
 * file cannot be read whole (which is told). Release with BREVCFG_DeallocFileBuffer. */
int BREVCFG_ReadFile(HWND owner, unsigned char **buffer, int *size);
/* Asks for a name to save a binary file under ("Binary", "*.bin", no
 * overwrite question); path receives it in UTF-8. Returns false on cancel. */
bool BREVCFG_AskBinaryName(HWND owner, char *path, int pathMax);
/* Tells the user that path could not be saved (TX_SAVE_FAILED; for a file
 * that did not exist, TX_SAVE_FAILED_NEW) or read (TX_READ_FAILED), with why
 * it failed: the reason given or, without one, the reason of the last failed
 * save or load. */
void BREVCFG_ReportFileError(HWND owner, const char *path, int textId, const char *why = nullptr);
