/* bench_xmodem -- times XModem transfers of a 64 KiB image to kaltro-sim
 * pacing both directions at 115200 baud, by the sender rules: start command,
 * wait for "C", the 1.5 s pause (not for controller software), each packet
 * and its ACK, then EOT and its ACK.
 *
 * The payload throughput is the image size over the transfer time without
 * the fixed 1.5 s pause, and is given as a share of the line's 11,520 bytes
 * per second (115200 baud, 10 bits per byte). The simulator runs on a thread
 * of this program in a private ports folder; the transfer goes through the
 * program's own serial code and a real pseudo-terminal.
 *
 *   bench_xmodem [runs] [--unpaced]   (default 3 runs per transfer type;
 *                                      --unpaced: the simulator at terminal speed)
 */
#include "link/rs232.h"
#include "sim/sim.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

constexpr int IMAGE_SIZE = 64 * 1024;
constexpr unsigned SETTLE_MS = 1500;     /* the sender's pause after "C" */
constexpr double LINE_BYTES_S = 11520.0; /* 115200 baud, 10 bits a byte */
constexpr int QUIET_READS_MAX = 25;      /* the bench gives up after 5 s of silence */

using Clock = std::chrono::steady_clock;

static double since(Clock::time_point t0)
{
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

struct Timing {
    bool ok = false;
    double start = 0;   /* start command until "C" */
    double packets = 0; /* first packet until the last ACK */
    double eot = 0;     /* EOT until its ACK */
    double total = 0;   /* all of it, without the pause */
    int naks = 0;
};

/* Waits for the answer to what was just written; -1 after too long a silence. */
static int answer()
{
    for (int quiet = 0; quiet < QUIET_READS_MAX; quiet++) {
        int a = RS232_XModemWaitACK();
        if (a != XM_NO_ANSWER) return a;
    }
    return -1;
}

static Timing transfer(const std::vector<unsigned char> &image, int type)
{
    Timing t;
    auto t0 = Clock::now();
    if (RS232_KaltroDownloadInit(IMAGE_SIZE, type, 3) != XM_STARTED) return t;
    if (RS232_GetXModemStarter() != RS232_OK) return t;
    t.start = since(t0);
    if (type != XM_TYPE_KALTRO_SW) RS232_Pause(SETTLE_MS);
    auto t1 = Clock::now();
    int naks = 0;
    while (RS232_GetCurrentXModemSize() > 0) {
        RS232_SendXModemPacket(image.data());
        int a = answer();
        if (a == XM_ANSWER_NAK && ++naks < 3) {
            t.naks++;
            continue;
        }
        if (a != XM_ANSWER_ACK) return t;
        naks = 0;
        RS232_XModemNextPacket();
    }
    t.packets = since(t1);
    auto t2 = Clock::now();
    RS232_SendXModemEOT();
    if (answer() != XM_ANSWER_ACK) return t;
    t.eot = since(t2);
    t.total = t.start + t.packets + t.eot;
    t.ok = true;
    return t;
}

int main(int argc, char **argv)
{
    int runs = argc > 1 ? std::atoi(argv[1]) : 3;
    bool paced = !(argc > 2 && std::string(argv[2]) == "--unpaced");
    char folder[] = "/tmp/brevant-bench-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    setenv("XDG_RUNTIME_DIR", folder, 1);

    SIM_Options opt;
    opt.lineRate = paced;
    opt.voltage = 6;
    char err[256] = "";
    int port = SIM_Open(&opt, err, sizeof err);
    if (port < 0) return std::fprintf(stderr, "kaltro-sim: %s\n", err), 1;
    std::thread sim([] { SIM_Run(); });
    int result = 0;
    if (RS232_OpenPort(port) != RS232_OK) {
        std::fprintf(stderr, "no Kaltro on COM%d\n", port);
        result = 1;
    }

    std::vector<unsigned char> image(IMAGE_SIZE);
    for (int i = 0; i < IMAGE_SIZE; i++)
        image[i] = static_cast<unsigned char>(i * 131 + (i >> 9));
    const int packets = IMAGE_SIZE / XM_BLOCK_LARGE;
    const double wire = packets * (3 + XM_BLOCK_LARGE + 2) / LINE_BYTES_S;

    std::printf("XModem, %d bytes (%d packets of 1029 bytes, %.3f s on the wire), %s\n\n",
                IMAGE_SIZE, packets, wire, paced ? "line rate 115200 baud" : "unpaced");
    std::printf("%-22s %8s %9s %9s %8s %9s %10s %7s\n", "transfer", "start s", "packets s",
                "per pkt ms", "EOT ms", "total s", "payload B/s", "share");
    struct {
        const char *name;
        int type;
    } kinds[] = {{"device image (lnbs 2)", XM_TYPE_DEVICE},
                 {"Kaltro config (load)", XM_TYPE_KALTRO_CFG},
                 {"Kaltro software (rest)", XM_TYPE_KALTRO_SW}};
    for (auto &k : kinds) {
        for (int r = 0; r < runs && result == 0; r++) {
            Timing t = transfer(image, k.type);
            if (!t.ok) {
                std::fprintf(stderr, "%s: transfer failed\n", k.name);
                result = 1;
                break;
            }
            double rate = IMAGE_SIZE / t.total;
            std::printf("%-22s %8.3f %9.3f %9.2f %8.2f %9.3f %10.0f %6.1f%%\n", k.name, t.start,
                        t.packets, t.packets * 1000 / packets, t.eot * 1000, t.total, rate,
                        100 * rate / LINE_BYTES_S);
            /* The device says it took the image a moment after EOT. */
            if (k.type == XM_TYPE_DEVICE) RS232_GetOKReply();
        }
    }

    RS232_Term();
    SIM_RequestStop();
    sim.join();
    SIM_Close();
    rmdir((std::string(folder) + "/brevant/ports").c_str());
    rmdir((std::string(folder) + "/brevant").c_str());
    rmdir(folder);
    return result;
}
