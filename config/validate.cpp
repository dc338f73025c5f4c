/* validate.cpp -- the checks of the UB table and the reading of typed numbers.
 *
 * State: whether each UB's row had an error (RowError). It reads VelnorCfg
 * and VelnorData and writes the per-UB status (ErrorText, BoxColor) and
 * ConfigOK. It never changes a row and
 * never draws; the status boxes are drawn by the UB table view afterwards.
 */
#include "config/validate.h"

#include "config/dcss.h"
#include "config/limits.h"
#include "config/texts.h"

#include <cwchar>

static bool inLBand(int f)
{
    return f >= LBAND_MIN && f <= LBAND_MAX;
}

/* Centre of a row in tenths of a MHz. */
static int centreTenths(const VelnorCfg_t &row)
{
    return 10 * row.UBFreq + row.UBFreqDec;
}

/* Overlap or duplicate of row r against the other active rows in use:
 * TX_ERR_OVERLAP when an edge of another UB lies strictly inside this one,
 * else TX_ERR_DUPLICATE when another has the same centre, else TX_OK. The
 * first other row that fails decides. */
static int overlapStatus(const VelnorCfg_t *table, int n, int r)
{
    const int c = centreTenths(table[r]);
    const int half = 5 * table[r].BW; /* half bandwidth in tenths */
    const int lo = c - half;
    const int hi = c + half;

    for (int o = 0; o < n; o++) {
        const VelnorCfg_t &other = table[o];
        if (o == r || other.Active != 1 || !inLBand(other.UBFreq)) continue;
        const int oc = centreTenths(other);
        const int olo = oc - 5 * other.BW;
        const int ohi = oc + 5 * other.BW;
        if ((lo < olo && olo < hi) || (lo < ohi && ohi < hi)) return TX_ERR_OVERLAP;
        if (c == oc) return TX_ERR_DUPLICATE;
    }
    return TX_OK;
}

int MAIN_RowStatus(const VelnorCfg_t *table, int n, int r, int model)
{
    n = MAIN_RowsInTable(n);
    if (table == nullptr || r < 0 || r >= n) return TX_OK;

    const VelnorCfg_t &row = table[r];
    const UBLimits_t lim = MAIN_GroupLimits(DCSS_IsENGroup(model));
    const int f = row.UBFreq;
    const int b = row.BW;
    const int h = (b + 1) / 2; /* half bandwidth, rounded up for odd b */

    if (row.Active != 1) return TX_UB_INACTIVE;
    if (!inLBand(f)) return TX_ERR_FREQ_LBAND;
    if (f - h < LBAND_MIN || f + h > LBAND_MAX) return TX_ERR_BW_LBAND;
    if (b < lim.bwMin || b > lim.bwMax) return TX_ERR_BW;
    if (row.StaticMode == 1 && (row.ConvFreq - h < TPBAND_MIN || row.ConvFreq + h > TPBAND_MAX))
        return TX_ERR_TPFREQ;
    if (row.AGCVal < lim.levelMin || row.AGCVal > lim.levelMax) return TX_ERR_LEVEL;
    return overlapStatus(table, n, r);
}

bool MAIN_IsErrorText(int k)
{
    return k != TX_OK && k != TX_UB_INACTIVE;
}

/* Whether each UB's row had an error at the last validation, by UBNo. */
static bool RowError[MAX_UB];

bool MAIN_RowHasError(int ubNo)
{
    return ubNo < 0 || ubNo >= MAX_UB || RowError[ubNo];
}

std::int32_t MAIN_ValidateTable()
{
    const int n = MAIN_RowsInTable(VelnorData.UBNumber);
    const int model = VelnorData.Model;

    ConfigOK = 0;
    for (int r = 0; r < n; r++) {
        const int k = MAIN_RowStatus(VelnorCfg, n, r, model);
        const bool error = MAIN_IsErrorText(k);
        if (error) ConfigOK = 1;

        const int u = VelnorCfg[r].UBNo;
        if (u >= MAX_UB) continue; /* no status entry to write */
        std::wcsncpy(ErrorText[u], TXT(k), ERROR_TEXT_LEN - 1);
        ErrorText[u][ERROR_TEXT_LEN - 1] = L'\0';
        BoxColor[u] = error ? BOX_RED : BOX_GREEN;
        RowError[u] = error;
    }
    return ConfigOK;
}

/* Largest magnitude a typed number keeps; more digits change nothing. */
constexpr long long NUMBER_CAP = 2147483647LL;

std::int32_t MAIN_ReceiveNumber(const wchar_t *text)
{
    long long value = 0;
    int sign = 1;
    if (text == nullptr) return 0;

    for (const wchar_t *p = text; *p != L'\0' && *p != L'.' && *p != L','; p++) {
        if (*p >= L'0' && *p <= L'9') {
            value = value * 10 + (*p - L'0');
            if (value > NUMBER_CAP) value = NUMBER_CAP;
        } else if (*p == L'-') {
            sign = -1;
        }
    }
    return static_cast<std::int32_t>(sign * value);
}

std::int32_t MAIN_ReceiveNumberFract(const wchar_t *text)
{
    if (text == nullptr) return 0;
    const wchar_t *p = text;
    while (*p != L'\0' && *p != L'.' && *p != L',')
        p++;
    if (*p == L'\0') return 0;
    for (p++; *p != L'\0'; p++)
        if (*p >= L'0' && *p <= L'9') return *p - L'0';
    return 0;
}

std::uint8_t MAIN_ReceiveConfigVersion(const wchar_t *text)
{
    std::int32_t major = MAIN_ReceiveNumber(text);
    std::int32_t minor = MAIN_ReceiveNumberFract(text);
    if (major < 0 || major > 15) major = 0;
    if (minor < 0 || minor > 15) minor = 0;
    return static_cast<std::uint8_t>(MAIN_PackConfigVersion(major, minor));
}
