/* bench_production.cpp -- timing program for brevant-cli production: the
 * built program against 1, 2 and 4 kaltro-sim processes pacing at 115200
 * baud, each of whose devices is swapped (SIGUSR1) the moment its record
 * appears in the log, as a quick operator would. Prints, per number of
 * Kaltros, the time between two records of one Kaltro against the least
 * time a device takes, the devices an hour, and the program's CPU time per
 * device (brevant-cli and its workers, from wait4).
 *
 *   bench_production [--devices N] [--controllers 1,2,4]
 *
 * The least time of a device (a 24-UB KX-103, MxL image) adds what the
 * protocol makes it wait for, worked out in docs/PERFORMANCE.md.
 */
#include "config/cfgfile.h"
#include "config/dcss.h"
#include "config/velnor.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using Clock = std::chrono::steady_clock;

constexpr int SWAP_GAP_MS = 300;
constexpr int POWER_DELAY_MS = 300;
/* One device's least time, in ms: the swap gap and start-up, the ID probe
 * (60), serial number, software and firmware versions (3 x 60), MxL
 * programming of 24 UBs (3,651) and its closing "\r" (205), the
 * configuration version (60), the read-out of 24 bands without the second
 * its success text stays (4,652.9). */
constexpr double LEAST_MS = SWAP_GAP_MS + POWER_DELAY_MS + 60 + 180 + 3651 + 205 + 60 + 4652.9;

static pid_t spawn(const std::vector<std::string> &words, const std::string &out)
{
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid != 0) return pid;
    std::vector<char *> argv;
    for (const std::string &w : words)
        argv.push_back(const_cast<char *>(w.c_str()));
    argv.push_back(nullptr);
    std::freopen(out.c_str(), "w", stdout);
    std::freopen(out.c_str(), "a", stderr);
    execv(argv[0], argv.data());
    _exit(127);
}

struct Result_t {
    double PeriodMs; /* between two records of one Kaltro, averaged */
    double PerHour;  /* all Kaltros together */
    double CpuMsPerDevice;
    int Passed, Devices;
};

static Result_t runWith(int controllers, int perController, const std::string &dir)
{
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    std::vector<pid_t> sims;
    for (int c = 1; c <= controllers; c++)
        sims.push_back(
            spawn({KALTRO_SIM, "--model", "KX-103", "--port", std::to_string(c), "--powered",
                   "--line-rate", "--power-delay", std::to_string(POWER_DELAY_MS), "--swap-gap",
                   std::to_string(SWAP_GAP_MS), "--serial", std::to_string(c * 10000000)},
                  dir + "/sim" + std::to_string(c) + ".out"));
    for (int c = 1; c <= controllers; c++)
        while (access((dir + "/brevant/ports/COM" + std::to_string(c)).c_str(), F_OK) != 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));

    const std::string log = dir + "/line.csv";
    std::vector<std::string> words{
        BREVANT_CLI, "production", dir + "/roof.txt",
        "--log",     log,          "--model",
        "KX-103",    "--count",    std::to_string(controllers * perController)};
    for (int c = 1; c <= controllers; c++) {
        words.push_back("--port");
        words.push_back(std::to_string(c));
    }
    const pid_t cli = spawn(words, dir + "/production.out");

    /* The operator: a new device on a Kaltro as soon as its record is in. */
    std::vector<std::vector<double>> seen(static_cast<std::size_t>(controllers));
    const auto t0 = Clock::now();
    std::size_t lines = 0;
    int passed = 0, status = 0;
    rusage usage{};
    for (;;) {
        /* whole lines only: a record being written is taken next time */
        std::ifstream in(log);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        text.erase(text.rfind('\n') == std::string::npos ? 0 : text.rfind('\n') + 1);
        std::size_t n = 0;
        for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos;
             at = end + 1) {
            const std::string line = text.substr(at, end - at);
            if (n++ < lines || line.rfind("time,", 0) == 0) continue;
            const auto com = line.find(",COM");
            const int c = std::atoi(line.c_str() + com + 4);
            const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
            seen[static_cast<std::size_t>(c - 1)].push_back(ms);
            passed += line.find(",pass,") != std::string::npos ? 1 : 0;
            kill(sims[static_cast<std::size_t>(c - 1)], SIGUSR1);
        }
        lines = n;
        if (wait4(cli, &status, WNOHANG, &usage) == cli) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    for (const pid_t p : sims)
        kill(p, SIGTERM);
    for (const pid_t p : sims)
        waitpid(p, nullptr, 0);

    Result_t r{};
    double periods = 0;
    int counted = 0;
    for (const auto &s : seen)
        if (s.size() >= 2) {
            periods += (s.back() - s.front()) / static_cast<double>(s.size() - 1);
            counted++;
        }
    r.PeriodMs = counted > 0 ? periods / counted : 0;
    r.PerHour = r.PeriodMs > 0 ? 3600000.0 / r.PeriodMs * controllers : 0;
    const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000 +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
    r.Devices = static_cast<int>(lines > 0 ? lines - 1 : 0);
    r.CpuMsPerDevice = r.Devices > 0 ? cpu / r.Devices : 0;
    r.Passed = passed;
    return r;
}

int main(int argc, char **argv)
{
    int devices = 6;
    std::vector<int> counts{1, 2, 4};
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--devices") == 0) devices = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--controllers") == 0) {
            counts.clear();
            for (const char *p = argv[i + 1]; *p != '\0';
                 p = std::strchr(p, ',') ? std::strchr(p, ',') + 1 : "")
                counts.push_back(std::atoi(p));
        }
    }
    char dirTemplate[] = "/tmp/bench-production-XXXXXX";
    const std::string base = mkdtemp(dirTemplate);
    VelnorData.Model = static_cast<std::int8_t>(DCSS_FindModel(L"KX-103"));
    MAIN_InitStruct();

    std::printf("least time of a device: %.1f ms (%.0f devices an hour on one Kaltro)\n", LEAST_MS,
                3600000.0 / LEAST_MS);
    std::printf("%-9s %-8s %-7s %-12s %-9s %-14s %-12s %s\n", "Kaltros", "devices", "passed",
                "period (ms)", "of least", "devices/hour", "x one", "CPU ms/device");
    double one = 0;
    for (const int k : counts) {
        const std::string dir = base + "/k" + std::to_string(k);
        mkdir(dir.c_str(), 0700);
        BREVCFG_SaveConfigFile((dir + "/roof.txt").c_str(), VelnorCfg, VelnorData.UBNumber,
                               BREVCFG_REPLACE);
        const Result_t r = runWith(k, devices, dir);
        if (k == 1) one = r.PerHour;
        std::printf("%-9d %-8d %-7d %-12.1f %-9.3f %-14.0f %-12.2f %.1f\n", k, r.Devices, r.Passed,
                    r.PeriodMs, LEAST_MS / r.PeriodMs, r.PerHour, one > 0 ? r.PerHour / one : 0,
                    r.CpuMsPerDevice);
        std::fflush(stdout);
    }
    std::printf("(folders kept in %s)\n", base.c_str());
    return 0;
}
