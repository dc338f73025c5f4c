/* velnor.h -- the UB table and the device record shared by the whole program.
 *
 * VelnorCfg holds 32 UB rows; rows 0 to VelnorData.UBNumber - 1 are in use and
 * their UBNo values are a permutation of 0 .. UBNumber - 1. VelnorData is what
 * is known about the connected device, above all its model index. The per-UB
 * status (ErrorText, BoxColor) is addressed by UBNo, never by row position,
 * because saving and MxL compilation sort the table by frequency.
 *
 * Every global here is defined once, in velnor.cpp.
 */
#pragma once

#include "platform/wintypes.h"

#include <cstdint>

constexpr int MAX_UB = 32;          /* rows in the table */
constexpr int ERROR_TEXT_LEN = 250; /* wide characters per status text */

/* One UB row. Field widths and signs are part of the file and image formats. */
struct VelnorCfg_t {
    std::int32_t Active;            /* 1 in use, 0 inactive */
    std::uint8_t UBNo;              /* UB number this row describes */
    std::uint8_t Feed;              /* static-mode input, 0 based */
    std::uint16_t UBFreq;           /* centre frequency, whole MHz */
    std::uint8_t UBFreqDec;         /* tenths of MHz, 0 to 9 */
    std::uint8_t BW;                /* bandwidth, MHz */
    std::int32_t StaticMode;        /* 1 static transponder, 0 tuned by the receiver */
    std::uint16_t ConvFreq;         /* static transponder frequency, MHz */
    char ConvPol;                   /* 'V', 'H', 'R' or 'L' */
    std::int8_t AGCVal;             /* output level, dBm */
    std::uint8_t SpectralInversion; /* 1 inverted */
};

/* The device-wide record. */
struct VelnorData_t {
    std::int32_t SN;
    std::uint32_t FWVersion;
    std::int32_t LOFreqL;
    std::int32_t LOFreqH;
    std::int16_t Temperature;
    std::uint8_t DBaseVersion; /* major in the high nibble, minor in the low */
    std::int8_t SWVersion;
    std::int8_t Model; /* 0 .. 10, -1 when no model is known */
    std::int8_t EN50494Plus;
    std::int8_t WideBand;
    std::int8_t Legacy;
    std::int8_t ChainConnection;
    std::int8_t UBNumber; /* rows in use, never more than MAX_UB */
};

/* Status colours of a UB's box. */
constexpr COLORREF BOX_GREEN = RGB(0, 153, 0);
constexpr COLORREF BOX_RED = RGB(170, 0, 0);

extern VelnorCfg_t VelnorCfg[MAX_UB];
extern VelnorData_t VelnorData;
extern wchar_t ErrorText[MAX_UB][ERROR_TEXT_LEN];
extern COLORREF BoxColor[MAX_UB];
extern std::int32_t ConfigOK; /* 0 after a validation without error, else 1 */

/* Defaults for the current model: clears VelnorData except Model, sets
 * UBNumber from the catalogue and fills the rows in use. */
void MAIN_InitStruct();

/* Sorts rows left .. right (inclusive) by UBFreq, ascending, in place. The
 * order of rows with equal frequency is that of this procedure and reaches
 * files and images, so it is kept exactly. */
void BREVCFG_quickSort(VelnorCfg_t *table, std::int32_t left, std::int32_t right);

/* A row count as the table can hold it: 0 to MAX_UB. */
constexpr int MAIN_RowsInTable(int n)
{
    return n < 0 ? 0 : (n > MAX_UB ? MAX_UB : n);
}

/* Index of the first row in use whose UBNo is u, or -1. */
int MAIN_FindRow(int u);

/* The configuration version "major.minor", each 0 to 15, as the device keeps
 * it in one byte (VelnorData.DBaseVersion): major << 4 | minor. */
constexpr int MAIN_VERSION_TEXT_LEN = 6; /* "15.15" and its end */
/* The byte of major.minor, or -1 when either is outside 0 .. 15. */
int MAIN_PackConfigVersion(int major, int minor);
/* The "major.minor" text of a version byte: "2.3" for 0x23, "15.15" for 0xFF. */
void MAIN_ConfigVersionText(std::uint8_t version, wchar_t (&text)[MAIN_VERSION_TEXT_LEN]);
