/* devop.cpp -- powering and identifying the device, the greeting of the
 * device operations, what Program sends, preparing a configuration for the
 * Kaltro, and the supply levels' voltages (see devop.h). No state.
 */
#include "ops/devop.h"

#include "config/dcss.h"
#include "config/velnor.h"
#include "link/rs232.h"

/* Supply levels: below 5 the device is unpowered or fed 14.00 V or less;
 * level 6 is 14.66 V. */
constexpr int SUPPLY_LEVEL_MIN = 5;
constexpr int SUPPLY_LEVEL_ON = 6;

constexpr std::uint8_t CONFIG_TYPE_MXL = 255;
constexpr std::uint8_t CONFIG_TYPE_EN = 254;
constexpr unsigned NAME_STORE_MS = 50; /* the Kaltro stores the name */

/* The level is the list position and the value sent with "setv". */
static constexpr const wchar_t *levelLabels[DEVOP_LEVEL_COUNT] = {
    L"0V",     L"13.00V", L"13.33V", L"13.66V", L"14.00V", L"14.33V", L"14.66V", L"15.00V",
    L"18.15V", L"18.50V", L"18.80V", L"19.15V", L"19.50V", L"19.80V", L"20.15V", L"20.50V",
};

const wchar_t *DEVOP_VoltageLabel(int level)
{
    return level >= 0 && level < DEVOP_LEVEL_COUNT ? levelLabels[level] : nullptr;
}

bool DEVOP_Greet(int *model)
{
    if (RS232_KaltroIdentification() != RS232_OK) return false;
    RS232_Set22kHzTone(0);
    *model = DCSS_ModelOfDeviceID(RS232_GetDeviceID());
    return true;
}

bool DEVOP_PowerOn()
{
    if (RS232_GetVoltage() >= SUPPLY_LEVEL_MIN) return false;
    RS232_SetVoltage(SUPPLY_LEVEL_ON);
    return true;
}

OpsOutcome_t DEVOP_PowerAndIdentify(DEVOP_Sleep_t sleep, int *model)
{
    if (DEVOP_PowerOn()) sleep(DEVOP_START_MS);
    *model = DCSS_ModelOfDeviceID(RS232_GetDeviceID());
    if (RS232_PortLost()) return OPS_LINE_LOST;
    return *model < 0 ? OPS_NO_DEVICE : OPS_DONE;
}

void DEVOP_PlanProgram(DevopProgram_t *plan, unsigned limitMs)
{
    plan->RowByRow = DCSS_IsENGroup(VelnorData.Model);
    plan->VersionAnswer = -1;
    if (plan->RowByRow) {
        /* EN-group devices take their bands one by one, after the version. */
        RS232_StoreDBaseVer(VelnorData.DBaseVersion);
        plan->VersionAnswer = RS232_GetDrainAnswer();
        plan->Xfer = {XM_TYPE_DEVICE, nullptr, 0, limitMs};
        return;
    }
    const std::int32_t size = BREVCFG_CompileMxL(VelnorCfg, &VelnorData, plan->Image);
    plan->Xfer = {XM_TYPE_DEVICE, plan->Image, size, limitMs};
}

int DEVOP_PrepareKaltroCfg(const char *name, unsigned char *image, DEVOP_Sleep_t sleep)
{
    RS232_StoreConfigName(name); /* "lnaw" takes at most 43 characters */
    sleep(NAME_STORE_MS);
    const std::int32_t size = BREVCFG_CompileForModel(VelnorCfg, &VelnorData, image);
    RS232_SetConfigType(DCSS_IsENGroup(VelnorData.Model) ? CONFIG_TYPE_EN : CONFIG_TYPE_MXL);
    return size;
}
