/* swap.cpp -- device after device, as in a production run: the device on the
 * output is taken off and a new one put on, on a schedule (--swap-every) or
 * on request (SIM_RequestSwap, SIGUSR1 in kaltro-sim).
 *
 * State: the moment of the next scheduled swap, the moment the new device
 * goes on (during a gap), the moment it may answer, the count of new devices,
 * the first serial number and the seeded generator.
 *
 * A swap takes the device off at once: it answers nothing for the gap. Then
 * the new device goes on: the next serial number after the first device's,
 * the next model of --model-cycle (else --model) with its factory table and
 * --ubs and --id, configuration version 0.0, and with the --faulty share one
 * fault; it answers once it has been on for the power delay. The generator
 * decides, device by device, whether it is faulty, and then its fault, band
 * and drop point, so a seed gives the same devices every run.
 */
#include "sim/simint.h"

#include <cstdint>

constexpr std::int64_t NS_PER_MS = 1000000;
constexpr std::int64_t NS_PER_S = 1000000000;
constexpr std::int64_t NEVER = INT64_MAX;
constexpr int FAULT_KINDS = 4;
constexpr int DROP_AFTER_MAX = 4; /* a drop comes within the first programming steps */

static std::int64_t nextSwap = -1; /* -1 no schedule */
static std::int64_t goesOnAt = -1; /* -1 no device waiting to go on */
static std::int64_t readyAt = 0;
static int swaps = 0;
static std::uint32_t firstSerial = 0;
static std::uint64_t rng = 0;

/* splitmix64: small, fast and the same everywhere. A number below n. */
static int draw(int n)
{
    rng += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = rng;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<int>((z >> 32) % static_cast<std::uint64_t>(n));
}

void SIMSWAP_Init(std::int64_t now)
{
    const SIM_Options &o = SIMIO_Options();
    nextSwap = o.swapEvery > 0 ? now + o.swapEvery * NS_PER_S : -1;
    goesOnAt = -1;
    readyAt = 0;
    swaps = 0;
    firstSerial = SIMDEV_State().sn;
    rng = static_cast<std::uint64_t>(o.seed);
}

void SIMSWAP_Begin(std::int64_t now)
{
    /* A swap during a gap only lengthens it. */
    if (goesOnAt < 0) SIMIO_Log("  device %d off the output", swaps + 1);
    goesOnAt = now + SIMIO_Options().swapGapMs * NS_PER_MS;
    readyAt = NEVER;
}

std::int64_t SIMSWAP_ReadyAt()
{
    return readyAt;
}

int SIMSWAP_Count()
{
    return swaps;
}

static void chooseFault(SIM_Device &d)
{
    const int percent = SIMIO_Options().faulty;
    if (percent <= 0 || draw(100) >= percent) return;
    d.fault = static_cast<SIM_Fault>(1 + draw(FAULT_KINDS));
    const int bands = d.ubs < 1 ? 1 : d.ubs > SIM_UB_MAX ? SIM_UB_MAX : d.ubs;
    d.faultBand = draw(bands);
    d.faultAfter = 1 + draw(DROP_AFTER_MAX);
}

static void describe(const SIM_Device &d, char *out, std::size_t cap)
{
    std::size_t len = 0;
    switch (d.fault) {
    case SIM_Fault::None: SIMIO_Append(out, cap, &len, "no fault"); break;
    case SIM_Fault::BandNotStored:
        SIMIO_Append(out, cap, &len, "fault: band %d not stored", d.faultBand);
        break;
    case SIM_Fault::BandRefused:
        SIMIO_Append(out, cap, &len, "fault: band %d and images refused", d.faultBand);
        break;
    case SIM_Fault::DropsOff:
        SIMIO_Append(
            out, cap, &len,
            "fault: answers %d programming commands, then drops off (or at image packet %d)",
            d.faultAfter, d.faultAfter);
        break;
    case SIM_Fault::VersionRefused: SIMIO_Append(out, cap, &len, "fault: lnad refused"); break;
    }
}

/* The new device goes on the output. */
static void goOn(std::int64_t now)
{
    const SIM_Options &o = SIMIO_Options();
    swaps++;
    const char *model =
        o.modelCycleCount > 0 ? o.modelCycle[(swaps - 1) % o.modelCycleCount] : o.model;
    SIMDEV_Init(model); /* the names were checked with the options */
    SIM_Device &d = SIMDEV_State();
    if (o.ubs >= 0) d.ubs = o.ubs & 0xFF;
    if (o.id >= 0) d.id = static_cast<std::uint8_t>(o.id);
    d.sn = firstSerial + static_cast<std::uint32_t>(swaps);
    d.dbase = 0x00; /* never programmed */
    chooseFault(d);
    goesOnAt = -1;
    readyAt = now + o.powerDelayMs * NS_PER_MS;
    char fault[96] = "";
    describe(d, fault, sizeof fault);
    SIMIO_Log("  device %d on: %s, serial %u, %s", swaps + 1, model, d.sn, fault);
}

std::int64_t SIMSWAP_NextTimer()
{
    if (goesOnAt >= 0 && (nextSwap < 0 || goesOnAt < nextSwap)) return goesOnAt;
    return nextSwap;
}

void SIMSWAP_Tick(std::int64_t now)
{
    if (nextSwap >= 0 && now >= nextSwap) {
        const std::int64_t every = SIMIO_Options().swapEvery * NS_PER_S;
        nextSwap += every;
        if (nextSwap <= now) nextSwap = now + every; /* a stalled loop does not catch up */
        SIMSWAP_Begin(now);
    }
    if (goesOnAt >= 0 && now >= goesOnAt) goOn(now);
}
