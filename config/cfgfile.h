/* cfgfile.h -- the configuration text file: one line per UB row.
 *
 * The file is plain 8-bit text, lines ended by CR LF: two header lines, then
 * one line per row, each field ended by a comma:
 *   ";"
 *   ";UB No<TAB>Feed<TAB>UBFreq<TAB>UBFreqDec<TAB>BW<TAB>ConvFreq<TAB>ConvPol<TAB>AGCVal<TAB>
 *    Spectral Inversion"
 *   "%d,\t%d,\t%d,\t%d,\t\t%d,\t%d,\t\t%c,\t%d,\t%d,"
 * A row is inactive exactly when its UBFreq is 0, and in static mode exactly
 * when its ConvFreq is above 0.
 *
 * Writing normalises and sorts the rows in the table itself (inactive rows get
 * UBFreq 0, rows not in static mode ConvFreq 0 and ConvPol "H"; then the rows
 * are sorted by UBFreq) before formatting them, as a save always has.
 *
 * Reading is forgiving: comments start with ";", any character outside a row
 * is skipped, a row starts at a digit, each field runs to its comma and only
 * its digits count. Numbers saturate at their field's limits instead of
 * wrapping, so a bandwidth of 292 loads as 255 and validation marks it. A row
 * cut short by the end of the data counts with the fields it has: the field
 * the data ends in is taken as it stands, and fields it never reached keep
 * their starting values. After reading, the UB numbers of the rows are made a
 * permutation again (see BREVCFG_RestoreUBNumbers).
 *
 * The file dialogs and the overwrite question belong to the window code; it
 * calls the path functions below with the chosen name.
 */
#pragma once

#include "config/fileio.h"
#include "config/velnor.h"

#include <cstddef>

/* Room the formatted text of a full table needs, in bytes. */
constexpr std::size_t BREVCFG_TEXT_MAX = 4096;

/* Formatting and parsing in memory. */
/* Normalises and sorts rows 0 .. MaxUB - 1 of table (MaxUB limited to 0 .. 32)
 * in place and writes the file's text into out, without an ending NUL.
 * Returns the number of bytes, or -1 when table or out is missing or size is
 * below BREVCFG_TEXT_MAX; the table is unchanged then. */
int BREVCFG_FormatConfig(VelnorCfg_t *table, int MaxUB, char *out, std::size_t size);
/* Fills rows 0 .. MaxUB - 1 of table (MaxUB limited to 0 .. 32) from the n
 * bytes of data: every row first gets the starting values (inactive, UBNo =
 * its position), then the r-th data row of the text goes into row r; data
 * rows beyond MaxUB are ignored. Restores the UB numbers afterwards. Returns
 * the number of data rows taken, or -1 when table is missing (nothing
 * changes then). data may be nullptr when n is 0. */
int BREVCFG_ParseConfig(const char *data, std::size_t n, VelnorCfg_t *table, int MaxUB);
/* The same without restoring the UB numbers: each row's as the file gives
 * it, for telling which rows the restoring renumbers. */
int BREVCFG_ParseConfigAsWritten(const char *data, std::size_t n, VelnorCfg_t *table, int MaxUB);
/* Makes the UBNo values of rows 0 .. MaxUB - 1 a permutation of
 * 0 .. MaxUB - 1: the first row with each number below MaxUB keeps it; rows
 * with a number of MaxUB or more, or one already taken, get the numbers left
 * unused, lowest first, in table order. Returns how many rows were
 * renumbered. */
int BREVCFG_RestoreUBNumbers(VelnorCfg_t *table, int MaxUB);

/* What "Open File..." does to the rows it read before showing them: for an
 * EN-group model (enGroup) a level or bandwidth outside the group's limits
 * (config/limits.h) becomes a fresh row's value, in rows 0 .. MaxUB - 1
 * (MaxUB limited to 0 .. 32); other models keep every value for validation
 * to mark. */
void BREVCFG_RepairRanges(VelnorCfg_t *table, int MaxUB, bool enGroup);

/* Files by path. */
/* Saves rows 0 .. MaxUB - 1 of table as a text file at path, safely (see
 * fileio.h). mode BREVCFG_CREATE_NEW gives BREVCFG_FILE_EXISTS, with the table
 * and the file unchanged, when the name exists: the caller asks the overwrite
 * question and calls again with BREVCFG_REPLACE. Returns BREVCFG_FILE_OK,
 * BREVCFG_FILE_EXISTS or BREVCFG_FILE_CANNOT_WRITE. The table is normalised
 * and sorted only once the temporary file has been made, so a file that
 * cannot be created leaves it unchanged. */
int BREVCFG_SaveConfigFile(const char *path, VelnorCfg_t *table, int MaxUB, int mode);
/* Reads the text file at path into rows 0 .. MaxUB - 1 of table; *rows
 * (optional) receives the number of data rows the file held. Returns
 * BREVCFG_FILE_OK, or BREVCFG_FILE_CANNOT_READ with the table unchanged when
 * the file cannot be opened or read whole. */
int BREVCFG_LoadConfigFile(const char *path, VelnorCfg_t *table, int MaxUB, int *rows = nullptr);
