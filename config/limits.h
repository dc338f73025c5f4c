/* limits.h -- the limits and defaults of a UB row, in one place: the L-band
 * a UB lies in, the transponder frequencies of static mode, the bandwidth
 * and output level ranges of each model group, and the values of a fresh row.
 *
 * Validation, the lists of the UB table view, the editing of a row, the text
 * file and the table's defaults all take their numbers from here, so that
 * what the table offers is what validation accepts. Constants only; no state.
 */
#pragma once

/* Frequencies, MHz. */
constexpr int LBAND_MIN = 950;        /* lowest UB frequency, and lowest edge of a UB */
constexpr int LBAND_MAX = 2150;       /* highest UB frequency, and highest edge of a UB */
constexpr int TPFREQ_MIN = 10700;     /* first transponder frequency of the list */
constexpr int TPFREQ_MAX = 12750;     /* last transponder frequency of the list */
constexpr int TPBAND_MIN = 10698;     /* lowest edge of a static transponder with its UB's width */
constexpr int TPBAND_MAX = 12752;     /* highest edge of a static transponder with its UB's width */
constexpr int TPFREQ_DEFAULT = 10750; /* transponder of a fresh row, or of a row without one */

/* Bandwidth, MHz, and output level, dBm, by model group. */
constexpr int BW_MIN = 24;             /* narrowest UB of either group */
constexpr int BW_MAX_EN = 80;          /* widest UB of the EN group */
constexpr int BW_MAX_MXL = 82;         /* widest UB of the MxL group */
constexpr int LEVEL_MIN_EN = -29;      /* lowest output level of the EN group */
constexpr int LEVEL_MAX_EN = -22;      /* highest output level of the EN group */
constexpr int LEVEL_MIN_MXL = -40;     /* lowest output level of the MxL group */
constexpr int LEVEL_MAX_MXL = -20;     /* highest output level of the MxL group */
constexpr int BW_DEFAULT_24 = 46;      /* bandwidth of a fresh row in a table of 24 UBs */
constexpr int BW_DEFAULT_32 = 36;      /* bandwidth of a fresh row in a table of 32 UBs */
constexpr int LEVEL_DEFAULT_EN = -22;  /* output level of a fresh row of the EN group */
constexpr int LEVEL_DEFAULT_MXL = -21; /* output level of a fresh row of the MxL group */

/* The bandwidth and level ranges of one model group, inclusive. */
struct UBLimits_t {
    int bwMin, bwMax;
    int levelMin, levelMax;
};

/* The ranges of the EN group (en true) or of the MxL group. */
constexpr UBLimits_t MAIN_GroupLimits(bool en)
{
    return en ? UBLimits_t{BW_MIN, BW_MAX_EN, LEVEL_MIN_EN, LEVEL_MAX_EN}
              : UBLimits_t{BW_MIN, BW_MAX_MXL, LEVEL_MIN_MXL, LEVEL_MAX_MXL};
}
