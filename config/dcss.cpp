/* dcss.cpp -- the device model catalogue: names, device IDs and the group
 * tests, and the rules of each model's settings (inputs type, chain list, UB
 * count). Constant tables and pure functions only; the current model lives
 * in VelnorData. */
#include "config/dcss.h"

#include "config/velnor.h"

#include <cwchar>

const wchar_t *const DCSS[DCSS_MODEL_COUNT] = {
    L"KX-100", L"KX-101", L"KX-102", L"KX-103", L"KX-104", L"KX-105",
    L"KX-106", L"KX-107", L"KX-108", L"KX-109", L"KX-110",
};

/* Device ID byte reported by each model, by model index. */
static const std::uint8_t deviceIds[DCSS_MODEL_COUNT] = {
    0x47, 0x44, 0x4D, 0x4E, 0x50, 0x54, 0x51, 0x27, 0x28, 0x4F, 0x29,
};

static bool validIndex(std::int32_t n)
{
    return n >= 0 && n < DCSS_MODEL_COUNT;
}

const wchar_t *DCSS_GetModelName(std::int32_t Number)
{
    return validIndex(Number) ? DCSS[Number] : nullptr;
}

int DCSS_GetNumberOfModels()
{
    return DCSS_MODEL_COUNT;
}

int DCSS_GetTwoSatelliteModel(std::int32_t Number)
{
    return (Number == 2 || Number == 6 || Number == 8) ? 1 : 0;
}

bool DCSS_IsENGroup(int model)
{
    return model == 7 || model == 8 || model == 10;
}

bool DCSS_IsChainPairModel(int model)
{
    return model == 2 || model == 3 || model == 9;
}

int DCSS_GetUBNumber()
{
    return DCSS_IsENGroup(VelnorData.Model) ? 32 : 24;
}

std::int8_t DCSS_ConvertModelID(std::uint8_t Model)
{
    for (int i = 0; i < DCSS_MODEL_COUNT; i++)
        if (deviceIds[i] == Model) return static_cast<std::int8_t>(i);
    return -1;
}

int DCSS_ModelOfDeviceID(int id)
{
    return DCSS_ConvertModelID(static_cast<std::uint8_t>(id & 0xFF));
}

int DCSS_GetDeviceID(int model)
{
    return validIndex(model) ? deviceIds[model] : -1;
}

int DCSS_FindModel(const wchar_t *name)
{
    if (name == nullptr) return -1;
    for (int i = 0; i < DCSS_MODEL_COUNT; i++)
        if (std::wcscmp(DCSS[i], name) == 0) return i;
    return -1;
}

int DCSS_ChainPairList(int model, int wideBand)
{
    return DCSS_IsChainPairModel(model) && wideBand == 1 ? 1 : 0;
}

int DCSS_ChainEntry(int value, int pairList)
{
    if (value == 0) return 0;
    const int output = value & 7;
    return 1 + (pairList ? output / 2 : output);
}

int DCSS_ChainOutput(int entry, int pairList)
{
    const int output = entry - 1;
    return pairList ? output * 2 : output;
}

int DCSS_UsableUBCount(int reported, int catalogue)
{
    return reported >= 1 && reported <= catalogue ? reported : catalogue;
}

bool DCSS_ReadsInputsType(int model)
{
    return model == 2 || model == 3 || model == 8 || model == 9 || model == 10;
}
