/* fuzz_cfgfile.cpp -- libFuzzer target: the configuration text file reader
 * over arbitrary bytes, then what the program does with a table it has read:
 * the EN group's repairs, validation, both image compilers, and saving it
 * again.
 *
 * The first byte picks the model index (-1 to 10), and with it the rows in
 * use (24 or 32) and the group's limits; the rest is the file. Besides the
 * sanitizers, it checks that the UB numbers of the rows read are a
 * permutation, that both images have their exact size whatever was read
 * (validation passed or not), and that the text a save writes reads back to
 * the same rows.
 */
#include "config/cfgfile.h"
#include "config/dcss.h"
#include "config/image.h"
#include "config/validate.h"
#include "fuzz/standin.h"

#include <cstring>

/* What a save keeps of a row: the whole row when active, else its number. */
static bool sameRow(const VelnorCfg_t &a, const VelnorCfg_t &b)
{
    if (a.Active != b.Active || a.UBNo != b.UBNo) return false;
    return a.Active == 0 ||
           (a.Feed == b.Feed && a.UBFreq == b.UBFreq && a.UBFreqDec == b.UBFreqDec &&
            a.BW == b.BW && a.StaticMode == b.StaticMode && a.ConvFreq == b.ConvFreq &&
            a.ConvPol == b.ConvPol && a.AGCVal == b.AGCVal &&
            a.SpectralInversion == b.SpectralInversion);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0) return 0;
    VelnorData.Model = static_cast<std::int8_t>(data[0] % (DCSS_MODEL_COUNT + 1) - 1);
    MAIN_InitStruct();
    const int n = VelnorData.UBNumber;
    BREVCFG_ParseConfig(reinterpret_cast<const char *>(data + 1), size - 1, VelnorCfg, n);
    BREVCFG_RepairRanges(VelnorCfg, n, DCSS_IsENGroup(VelnorData.Model));

    bool taken[MAX_UB] = {};
    for (int r = 0; r < n; r++) {
        const int u = VelnorCfg[r].UBNo;
        STANDIN_Check(u < n && !taken[u]);
        taken[u] = true;
    }

    MAIN_ValidateTable();
    unsigned char image[BREVCFG_IMAGE_MAX];
    STANDIN_Check(BREVCFG_CompileEN(VelnorCfg, &VelnorData, image, data[0] >> 4) ==
                  BREVCFG_HEADER_SIZE + n * BREVCFG_EN_RECORD);
    STANDIN_Check(BREVCFG_CompileMxL(VelnorCfg, &VelnorData, image) ==
                  BREVCFG_HEADER_SIZE + n * BREVCFG_MXL_RECORD);

    char text[BREVCFG_TEXT_MAX];
    const int len = BREVCFG_FormatConfig(VelnorCfg, n, text, sizeof text);
    STANDIN_Check(len > 0);
    VelnorCfg_t back[MAX_UB];
    STANDIN_Check(BREVCFG_ParseConfig(text, static_cast<std::size_t>(len), back, n) == n);
    for (int r = 0; r < n; r++)
        STANDIN_Check(sameRow(VelnorCfg[r], back[r]));
    return 0;
}
