/* velnor.cpp -- the shared UB table, device record and per-UB status, their
 * defaults, the ordering of rows by frequency, and the configuration
 * version's byte and text. */
#include "config/velnor.h"

#include "config/dcss.h"
#include "config/limits.h"
#include "config/texts.h"

#include <cwchar>

VelnorCfg_t VelnorCfg[MAX_UB];
VelnorData_t VelnorData;
wchar_t ErrorText[MAX_UB][ERROR_TEXT_LEN];
COLORREF BoxColor[MAX_UB];
std::int32_t ConfigOK = 1;

void MAIN_InitStruct()
{
    const std::int8_t model = VelnorData.Model;
    VelnorData = VelnorData_t{};
    VelnorData.Model = model;

    const int n = DCSS_GetUBNumber();
    VelnorData.UBNumber = static_cast<std::int8_t>(n);
    const bool en = DCSS_IsENGroup(model);
    constexpr int LBAND_SPAN = LBAND_MAX - LBAND_MIN; /* 1200 MHz */

    for (int i = 0; i < n; i++) {
        VelnorCfg_t &row = VelnorCfg[i];
        row.Active = 1;
        row.UBNo = static_cast<std::uint8_t>(i);
        /* the centres of n equal slots of the L-band */
        row.UBFreq = static_cast<std::uint16_t>(LBAND_MIN + (LBAND_SPAN * i) / n +
                                                static_cast<int>(LBAND_SPAN / 2.0 / n + 0.5));
        row.UBFreqDec = 0;
        row.BW = (n >= 25 && n <= 32) ? BW_DEFAULT_32 : BW_DEFAULT_24;
        row.AGCVal = en ? LEVEL_DEFAULT_EN : LEVEL_DEFAULT_MXL;
        row.StaticMode = 0;
        row.ConvFreq = TPFREQ_DEFAULT;
        row.ConvPol = 'V';
        row.Feed = 0;
        row.SpectralInversion = 0;
        BoxColor[i] = BOX_GREEN;
        std::wcsncpy(ErrorText[i], TXT(TX_OK), ERROR_TEXT_LEN - 1);
        ErrorText[i][ERROR_TEXT_LEN - 1] = L'\0';
    }
}

void BREVCFG_quickSort(VelnorCfg_t *table, std::int32_t left, std::int32_t right)
{
    /* A range of one row or none is sorted already; the procedure below
     * would leave it unchanged too, but without reading a pivot. */
    if (table == nullptr || left >= right) return;
    std::int32_t i = left;
    std::int32_t j = right;
    const std::uint16_t pivot =
        table[static_cast<std::int32_t>((static_cast<std::int64_t>(left) + right) / 2)].UBFreq;

    while (i <= j) {
        while (table[i].UBFreq < pivot)
            i++;
        while (table[j].UBFreq > pivot)
            j--;
        if (i <= j) {
            const VelnorCfg_t tmp = table[i];
            table[i] = table[j];
            table[j] = tmp;
            i++;
            j--;
        }
    }
    if (left < j) BREVCFG_quickSort(table, left, j);
    if (i < right) BREVCFG_quickSort(table, i, right);
}

int MAIN_FindRow(int u)
{
    const int n = MAIN_RowsInTable(VelnorData.UBNumber);
    for (int r = 0; r < n; r++)
        if (VelnorCfg[r].UBNo == u) return r;
    return -1;
}

int MAIN_PackConfigVersion(int major, int minor)
{
    if (major < 0 || major > 15 || minor < 0 || minor > 15) return -1;
    return major << 4 | minor;
}

void MAIN_ConfigVersionText(std::uint8_t version, wchar_t (&text)[MAIN_VERSION_TEXT_LEN])
{
    std::swprintf(text, MAIN_VERSION_TEXT_LEN, L"%d.%d", version >> 4, version & 0x0F);
}
