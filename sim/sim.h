/* sim.h -- kaltro-sim, the simulated Kaltro controller and dCSS device.
 *
 * The simulator opens a pseudo-terminal, publishes it as a COM link in the
 * ports folder (link/portname.h) and answers on it as the controller and the
 * device behind it do: the controller's own commands, the device commands
 * relayed with their "Rx:" line, and XModem reception of device images,
 * controller software and stored configurations. The program talks to it
 * through its ordinary serial code; nothing of the program is replaced.
 *
 * One simulator per process. It runs on one thread (the program's main, or a
 * test's worker thread): SIM_Open, then SIM_Run until SIM_RequestStop, then
 * SIM_Close. The SIM_Get* functions may be called from any thread at any time;
 * they copy under a lock.
 */
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int SIM_PATH_LEN = 1024;
constexpr int SIM_REFUSE_MAX = 32;     /* --refuse given this many times at most */
constexpr int SIM_VERB_LEN = 8;        /* a command verb and its NUL */
constexpr int SIM_UB_MAX = 32;         /* the device's table */
constexpr int SIM_NAME_LEN = 64;       /* the controller's stored name */
constexpr int SIM_IMAGE_MAX = 1 << 20; /* the largest image taken by XModem */
constexpr int SIM_PACKET_LOG = 1100;   /* packets remembered per transfer */
constexpr int SIM_CYCLE_MAX = 16;      /* models in --model-cycle */
constexpr int SIM_MODEL_LEN = 16;      /* a model name and its NUL */

/* What the command line (or a test) chooses. */
struct SIM_Options {
    char model[SIM_MODEL_LEN] = "KX-103"; /* catalogue name of the device */
    int port = 0;                         /* COM number to publish at; 0 the first free one */
    char store[SIM_PATH_LEN] = "";        /* folder for received images; "" keeps none */
    char state[SIM_PATH_LEN] = "";        /* device and controller state to load */
    char log[SIM_PATH_LEN] = "";          /* traffic log */
    int powerDelayMs = 300;               /* from supply level 5 until the device answers */
    int replyDelayMs = 0;                 /* extra time before each device answer */
    int voltage = -1;                     /* supply level at start (-1: the state file's, else 0) */
    /* Faults; every one may be combined with the others. */
    bool silent = false;                            /* no answer at all */
    bool noDevice = false;                          /* the controller answers, the device never */
    char refuse[SIM_REFUSE_MAX][SIM_VERB_LEN] = {}; /* commands refused */
    int refuseCount = 0;
    int nak = 0;            /* NAK the first N receptions of each packet */
    int canAt = 0;          /* send CAN instead of ACK at packet K (1 based) */
    int muteAt = 0;         /* answer nothing from packet K on (1 based), the line left open */
    bool noVerdict = false; /* the device never says whether it took an image */
    bool split = false;     /* replies split with pauses longer than 10 ms */
    bool nul = false;       /* NUL bytes inside replies */
    bool noise = false;     /* line noise (and a pause) before each reply */
    int stopAfter = -1;     /* answer nothing after this many commands */
    bool lineRate = false;  /* pace both directions at 115200 baud */
    int noSpace = -1;       /* refuse "entp" of active bands beyond this many */
    int ubs = -1;           /* UB count the device reports (-1: the model's) */
    int id = -1;            /* device ID the device reports (-1: the model's) */
    /* Production runs: device after device on the output. */
    std::int64_t serial = -1; /* the first device's serial (-1: the model's or the state file's) */
    int swapEvery = 0;        /* seconds between swaps; 0 none */
    int swapGapMs = 1000;     /* the output without a device at a swap */
    char modelCycle[SIM_CYCLE_MAX][SIM_MODEL_LEN] = {}; /* the new devices' models, in turn */
    int modelCycleCount = 0;                            /* 0: every new device is of --model */
    int faulty = 0; /* percent of the new devices that have a fault */
    int seed = 1;   /* of the generator that picks faulty devices and their faults */
};

/* What is wrong with a faulty device (one thing each). */
enum class SIM_Fault {
    None,
    BandNotStored,  /* one band's "entp" is acknowledged, the band keeps its contents; an
                       image is taken except for that band */
    BandRefused,    /* one band's "entp" is refused with 0xE5; an image is refused (0xE5) */
    DropsOff,       /* answers nothing from a programming command or image packet on */
    VersionRefused, /* "lnad" is refused with 0xE5 */
};

/* A model the device can be: its name (--model), the ID byte it reports to
 * "lnbe", whether it is of the EN group (32 UBs, EN images, levels -29 to
 * -22 dBm) and whether its inputs are Quattro. The simulator keeps its own
 * table of them, apart from the program's catalogue. */
struct SIM_Model {
    const char *name;
    std::uint8_t id;
    bool en;
    bool quattro;
};

/* One user band as the device keeps it. */
struct SIM_UB {
    bool used;
    std::uint16_t freq; /* MHz */
    std::uint8_t dec;   /* tenths */
    std::uint8_t bw;
    std::int8_t level;  /* dBm */
    std::uint16_t conv; /* static transponder, MHz; 0 tuned by the receiver */
    std::uint8_t pol;   /* 1 horizontal */
    std::uint8_t feed;
    std::uint8_t si;
};

/* The dCSS device. */
struct SIM_Device {
    int model;       /* index in the device's model table, the catalogue's order */
    std::uint8_t id; /* reported device ID */
    int ubs;         /* reported UB count */
    std::uint32_t sn, fw;
    std::uint16_t loLow, loHigh;
    std::int16_t temperature;
    std::uint8_t dbase, sw;
    std::int8_t en50494plus, wideband, legacy, chain, output;
    SIM_UB ub[SIM_UB_MAX];
    SIM_Fault fault; /* None for a sound device (the first device always is) */
    int faultBand;   /* the band of BandNotStored and BandRefused */
    int faultAfter;  /* DropsOff: programming commands answered ("entp", "lnad", "lnah",
                        "lnaa", "legs", "lnca"), and the image packet it drops at */
    bool dropped;    /* DropsOff has struck: it answers nothing more */
};

/* The controller. */
struct SIM_Kaltro {
    int level; /* supply level 0 to 15 */
    int tone;  /* 22 kHz tone 0 or 1 */
    int swMajor, swMinor;
    int configType;          /* from "lnal" */
    char name[SIM_NAME_LEN]; /* stored configuration name; "" none */
    char reading[16];        /* voltage text to print instead of the level's own */
};

/* What a transfer brought. */
enum class SIM_ImageKind { None, Device, KaltroSoftware, KaltroConfig };
enum class SIM_TransferEnd { Running, Done, Cancelled, Abandoned };
struct SIM_Transfer {
    SIM_ImageKind kind;
    SIM_TransferEnd end;
    int size;                            /* bytes received, padding included */
    int packets;                         /* packets accepted */
    int naks;                            /* NAKs sent */
    std::uint16_t block[SIM_PACKET_LOG]; /* block size of each accepted packet */
    std::uint8_t number[SIM_PACKET_LOG]; /* its packet number */
    int deviceVerdict;                   /* after a device image: 0 configuration taken,
                                            1 not a configuration (stored), 2 bad image,
                                            3 refused by a faulty device */
};

/* Set-up and running. */
/* Fills opt from the command line; 0, or 1 with a message in err. */
int SIM_ParseArgs(int argc, char **argv, SIM_Options *opt, char *err, std::size_t errLen);
/* Creates the device and controller, the pseudo-terminal and its COM link.
 * The port number, or -1 with a message in err. */
int SIM_Open(const SIM_Options *opt, char *err, std::size_t errLen);
/* Serves the line until SIM_RequestStop; 0. */
int SIM_Run();
/* Ends SIM_Run soon; safe from a signal handler (errno is kept) and from
 * other threads. A request made before SIM_Open, such as a signal during
 * start-up, ends the SIM_Run that follows at once. */
void SIM_RequestStop();
/* Takes the device off the output at once and puts a new one on after the
 * gap, as --swap-every does on its schedule (kaltro-sim does it on SIGUSR1).
 * Safe from a signal handler and from other threads. */
void SIM_RequestSwap();
/* Removes the link and closes the terminal and the log; forgets a stop
 * request, so that another simulator can run in the same process. */
void SIM_Close();

/* The model of index 0, 1, ... (the catalogue's order); nullptr past the
 * last. */
const SIM_Model *SIM_GetModel(int index);

/* Inspection (copies, under the lock). */
int SIM_GetPort();
const char *SIM_GetTerminal(); /* the pseudo-terminal's path */
void SIM_GetDevice(SIM_Device *out);
void SIM_GetKaltro(SIM_Kaltro *out);
/* Times a command verb was received (counted also when not answered). */
int SIM_CommandCount(const char *verb);
/* The last command line received, without its carriage return. */
void SIM_GetLastCommand(char *out, std::size_t len);
/* New devices put on the output since SIM_Open. */
int SIM_SwapCount();
/* The last transfer; copies up to cap bytes of its image into image (may be
 * nullptr) and returns the image size. */
int SIM_GetTransfer(SIM_Transfer *out, unsigned char *image, int cap);
