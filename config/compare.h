/* compare.h -- a UB table compared with the bands a device holds, as the
 * device stores them: only what the model group's image (MxL) or its "entp"
 * commands (EN) carry counts, so a difference is one the device would keep.
 *
 * Plain functions, no state: brevant-cli's verify uses them after a
 * read-out, and the windows can do the same. The fields, with their names
 * for a person and for a program, are also the columns of brevant-cli's
 * JSON of a table read out.
 */
#pragma once

#include "config/velnor.h"

/* What differs in one band. */
enum CmpField_t : int {
    CMP_ACTIVE,    /* in use or not */
    CMP_FREQUENCY, /* UB centre frequency, tenths of MHz (whole MHz for the EN group) */
    CMP_BW,        /* bandwidth, MHz */
    CMP_LEVEL,     /* output level, dBm */
    CMP_INVERSION, /* spectral inversion, 0 or 1 */
    CMP_TP_FREQ,   /* static transponder frequency, MHz; 0 for none */
    CMP_TP_POL,    /* its polarity, 'H' or 'V'; 0 for none */
    CMP_FEED,      /* its input, 0 based */
    CMP_MISSING,   /* the device has no band of this UB number */
    CMP_FIELD_COUNT
};

struct CmpDiff_t {
    int Row;   /* the row of the table */
    int UBNo;  /* its UB number */
    int Field; /* CmpField_t */
    int Want;  /* the value as the table would be stored */
    int Have;  /* the value the device holds */
};
/* The most differences two tables can have. */
constexpr int CMP_DIFF_MAX = MAX_UB * CMP_FIELD_COUNT;

/* Compares rows 0 .. n - 1 of want, the table as it was to be programmed,
 * with rows 0 .. n - 1 of have, the bands read from the device (matched by
 * UBNo, in any order), for an EN-group model (enGroup) or the MxL group.
 * Rows whose UBNo is 32 or more are left out. Writes up to max differences
 * into out, in row order, and returns how many there are in all. */
int BREVCFG_CompareStored(const VelnorCfg_t *want, const VelnorCfg_t *have, int n, bool enGroup,
                          CmpDiff_t *out, int max);
/* The name of a field for a line ("frequency", "level"). */
const char *BREVCFG_FieldName(int field);
/* The name of a field for a program reading it: a JSON key, its unit in the
 * name ("frequency_mhz", "level_dbm"). */
const char *BREVCFG_FieldKey(int field);
/* A field of row as the row holds it, in the unit of CmpDiff_t: frequency in
 * tenths of MHz, polarity as its letter, the rest as the row's number. */
int BREVCFG_RowField(const VelnorCfg_t &row, int field);
/* A value of field as a JSON value ("1210.5", "-22", "true", "\"H\"") into
 * text (len bytes). */
void BREVCFG_FieldJson(int field, int value, char *text, int len);
/* A value of field as a person reads it ("1210.0 MHz", "-22 dBm", "H",
 * "inactive") into text (len bytes). */
void BREVCFG_FieldValue(int field, int value, char *text, int len);
/* Longest line of one difference, NUL included. */
constexpr int CMP_LINE_LEN = 160;
/* One difference on a line: "row 3, UB 3: frequency 1210.0 MHz in the file,
 * 1260.0 MHz in the device". */
void BREVCFG_DiffLine(const CmpDiff_t &d, char (&line)[CMP_LINE_LEN]);
/* The configuration version as a difference: "configuration version 1.2 to
 * be programmed, 0.0 in the device". */
void BREVCFG_VersionDiffLine(std::uint8_t want, std::uint8_t have, char (&line)[CMP_LINE_LEN]);

/* The same in the table's own words, for the windows (the text table's
 * column names, the values as the table shows them): "UB 3: UB Frequency
 * 1210.0 here, 1260.0 in the device"; into out (len wide characters). */
void BREVCFG_DiffText(const CmpDiff_t &d, wchar_t *out, int len);
/* "Config Version 1.2 here, 0.0 in the device". */
void BREVCFG_VersionDiffText(std::uint8_t here, std::uint8_t device, wchar_t *out, int len);
