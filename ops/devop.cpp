/* devop.cpp -- powering and identifying the device, and preparing a
 * configuration for the Kaltro (see devop.h). No state.
 */
#include "ops/devop.h"

#include "config/velnor.h"
#include "dialogs/dcss.h"
#include "link/rs232.h"

/* Supply levels: below 5 the device is unpowered or fed 14.00 V or less;
 * level 6 is 14.66 V. */
constexpr int SUPPLY_LEVEL_MIN = 5;
constexpr int SUPPLY_LEVEL_ON = 6;
/* Time the device needs to start after its supply has been raised. */
constexpr unsigned DEVICE_START_MS = 5000;

constexpr std::uint8_t CONFIG_TYPE_MXL = 255;
constexpr std::uint8_t CONFIG_TYPE_EN = 254;
constexpr unsigned NAME_STORE_MS = 50; /* the Kaltro stores the name */

int DEVOP_PowerAndIdentify(DEVOP_Sleep_t sleep)
{
    if (RS232_GetVoltage() < SUPPLY_LEVEL_MIN) {
        RS232_SetVoltage(SUPPLY_LEVEL_ON);
        sleep(DEVICE_START_MS);
    }
    const int id = RS232_GetDeviceID();
    return DCSS_ModelOfDeviceID(id);
}

int DEVOP_PrepareKaltroCfg(const char *name, unsigned char *image, DEVOP_Sleep_t sleep)
{
    RS232_StoreConfigName(name); /* "lnaw" takes at most 43 characters */
    sleep(NAME_STORE_MS);
    const bool en = DCSS_IsENGroup(VelnorData.Model);
    const std::int32_t size = en ? BREVCFG_CompileEN(VelnorCfg, &VelnorData, image, 0)
                                 : BREVCFG_CompileMxL(VelnorCfg, &VelnorData, image);
    RS232_SetConfigType(en ? CONFIG_TYPE_EN : CONFIG_TYPE_MXL);
    return size;
}
