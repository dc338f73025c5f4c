/* args.cpp -- the simulator's command line.
 *
 * No state: it fills the caller's SIM_Options. Options take their value as
 * the next word or after "=" (--nak 2, --nak=2).
 */
#include "sim/sim.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

/* The value of option name, from "--name=value" or the next word. */
static const char *value(int argc, char **argv, int *i, const char *name)
{
    std::size_t n = std::strlen(name);
    const char *a = argv[*i];
    if (std::strncmp(a, name, n) != 0) return nullptr;
    if (a[n] == '=') return a + n + 1;
    if (a[n] != '\0' || *i + 1 >= argc) return nullptr;
    return argv[++*i];
}

static bool number(const char *v, int lo, int hi, int *out)
{
    char *end = nullptr;
    long n = std::strtol(v, &end, 0);
    if (end == v || *end != '\0' || n < lo || n > hi) return false;
    *out = static_cast<int>(n);
    return true;
}

static bool text(const char *v, char *out, std::size_t len)
{
    return std::snprintf(out, len, "%s", v) < static_cast<int>(len);
}

/* --serial: a 32-bit serial number. */
static bool serialNumber(const char *v, std::int64_t *out)
{
    char *end = nullptr;
    long long n = std::strtoll(v, &end, 0);
    if (end == v || *end != '\0' || n < 0 || n > 0xFFFFFFFFll) return false;
    *out = n;
    return true;
}

/* --model-cycle: model names separated by commas, each of the catalogue. */
static bool modelCycle(const char *v, SIM_Options *o)
{
    o->modelCycleCount = 0;
    for (const char *p = v;; p++) {
        const char *comma = std::strchr(p, ',');
        std::size_t n = comma ? static_cast<std::size_t>(comma - p) : std::strlen(p);
        if (n == 0 || n >= SIM_MODEL_LEN || o->modelCycleCount == SIM_CYCLE_MAX) return false;
        char *name = o->modelCycle[o->modelCycleCount++];
        std::memcpy(name, p, n);
        name[n] = '\0';
        bool known = false;
        for (int m = 0; const SIM_Model *d = SIM_GetModel(m); m++)
            known = known || std::strcmp(d->name, name) == 0;
        if (!known) return false;
        if (!comma) return true;
        p = comma;
    }
}

int SIM_ParseArgs(int argc, char **argv, SIM_Options *o, char *err, std::size_t errLen)
{
    struct Flag {
        const char *name;
        bool *target;
    } flags[] = {{"--silent", &o->silent},
                 {"--no-device", &o->noDevice},
                 {"--silent-device", &o->noDevice},
                 {"--split", &o->split},
                 {"--nul", &o->nul},
                 {"--noise", &o->noise},
                 {"--line-rate", &o->lineRate},
                 {"--no-verdict", &o->noVerdict}};
    struct Number {
        const char *name;
        int *target;
        int lo, hi;
    } numbers[] = {{"--port", &o->port, 1, 1024},
                   {"--nak", &o->nak, 0, 1000},
                   {"--can-at", &o->canAt, 1, 1 << 20},
                   {"--mute-at", &o->muteAt, 1, 1 << 20},
                   {"--stop-after", &o->stopAfter, 0, 1 << 30},
                   {"--no-space", &o->noSpace, 0, 32},
                   {"--ubs", &o->ubs, 0, 255},
                   {"--id", &o->id, 0, 255},
                   {"--device-id", &o->id, 0, 255},
                   {"--power-delay", &o->powerDelayMs, 0, 60000},
                   {"--reply-delay", &o->replyDelayMs, 0, 60000},
                   {"--voltage", &o->voltage, 0, 15},
                   {"--swap-every", &o->swapEvery, 1, 86400},
                   {"--swap-gap", &o->swapGapMs, 0, 60000},
                   {"--faulty", &o->faulty, 0, 100},
                   {"--seed", &o->seed, 0, 0x7FFFFFFF}};
    struct Text {
        const char *name;
        char *target;
        std::size_t len;
    } texts[] = {{"--model", o->model, sizeof o->model},
                 {"--store", o->store, sizeof o->store},
                 {"--state", o->state, sizeof o->state},
                 {"--log", o->log, sizeof o->log}};

    for (int i = 1; i < argc; i++) {
        bool known = false;
        if (std::strcmp(argv[i], "--powered") == 0) {
            o->voltage = 6; /* the level the start-up window would set */
            continue;
        }
        for (auto &f : flags)
            if (std::strcmp(argv[i], f.name) == 0) *f.target = known = true;
        for (auto &n : numbers) {
            if (known) break;
            const char *v = value(argc, argv, &i, n.name);
            if (!v) continue;
            if (!number(v, n.lo, n.hi, n.target))
                return std::snprintf(err, errLen, "%s: bad number %s", n.name, v), 1;
            known = true;
        }
        for (auto &t : texts) {
            if (known) break;
            const char *v = value(argc, argv, &i, t.name);
            if (!v) continue;
            if (!text(v, t.target, t.len))
                return std::snprintf(err, errLen, "%s: too long", t.name), 1;
            known = true;
        }
        const char *v = known ? nullptr : value(argc, argv, &i, "--serial");
        if (v) {
            if (!serialNumber(v, &o->serial))
                return std::snprintf(err, errLen, "--serial: bad number %s", v), 1;
            known = true;
        }
        v = known ? nullptr : value(argc, argv, &i, "--model-cycle");
        if (v) {
            if (!modelCycle(v, o))
                return std::snprintf(err, errLen, "--model-cycle: bad list %s", v), 1;
            known = true;
        }
        v = known ? nullptr : value(argc, argv, &i, "--refuse");
        if (v) {
            if (o->refuseCount == SIM_REFUSE_MAX ||
                !text(v, o->refuse[o->refuseCount], SIM_VERB_LEN))
                return std::snprintf(err, errLen, "--refuse: too many or too long"), 1;
            o->refuseCount++;
            known = true;
        }
        if (!known) return std::snprintf(err, errLen, "unknown option %s", argv[i]), 1;
    }
    return 0;
}
