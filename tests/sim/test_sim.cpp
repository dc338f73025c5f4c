/* kaltro-sim itself: the program and its COM link, the choice of a port
 * number, the state file, the faults that the link tests do not use, every
 * model's ID against the catalogue, a stop requested during start-up, and
 * device after device: swaps, the schedule, seeded faulty devices. */
#include "config/dcss.h"
#include "link/portname.h"
#include "link/rs232.h"
#include "tests/support/simthread.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

/* kaltro-sim as a child process; its first line of output is the COM name. */
struct SimProgram {
    pid_t pid = -1;
    FILE *out = nullptr;
    std::string Start(std::vector<std::string> args)
    {
        int fds[2];
        if (pipe(fds) != 0) return "";
        pid = fork();
        if (pid == 0) {
            dup2(fds[1], 1);
            std::vector<char *> argv{const_cast<char *>(KALTRO_SIM)};
            for (auto &a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(KALTRO_SIM, argv.data());
            _exit(127);
        }
        close(fds[1]);
        out = fdopen(fds[0], "r");
        char line[64] = "";
        if (!fgets(line, sizeof line, out)) return "";
        line[strcspn(line, "\n")] = '\0';
        return line;
    }
    int Stop(int sig)
    {
        int status = -1;
        kill(pid, sig);
        waitpid(pid, &status, 0);
        if (out) fclose(out);
        out = nullptr;
        return status;
    }
};

/* The number a simulator will take: the first without a live link or a
 * device (a machine with serial adapters has devices at the low numbers). */
static int firstFree()
{
    int n = 1;
    while (!PORTNAME_IsFree(n))
        n++;
    return n;
}

static bool exists(const std::string &path)
{
    struct stat st {
    };
    return lstat(path.c_str(), &st) == 0;
}

TEST(SimProgram, PublishesItsLinkAndRemovesItOnSignals)
{
    PortsFolder ports;
    const int n = firstFree();
    for (int sig : {SIGTERM, SIGINT}) {
        SimProgram sim;
        std::string name = sim.Start({"--model", "KX-107", "--voltage", "6"});
        ASSERT_EQ(name, "COM" + std::to_string(n));
        ASSERT_TRUE(exists(ports.Link(n)));
        ASSERT_EQ(RS232_OpenPort(n), RS232_OK);
        EXPECT_EQ(RS232_GetDeviceID(), 0x27);
        EXPECT_EQ(RS232_GetUBNumber(), 32);
        RS232_Term();
        int status = sim.Stop(sig);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        EXPECT_FALSE(exists(ports.Link(n))) << "signal " << sig;
    }
    SimProgram bad;
    EXPECT_EQ(bad.Start({"--model", "KX-999"}), "");
    EXPECT_EQ(WEXITSTATUS(bad.Stop(0)), 1);
}

TEST(SimPorts, FirstFreeNumberSkipsLiveLinksButNotStaleOnes)
{
    PortsFolder ports;
    char folder[512];
    ASSERT_EQ(PORTNAME_Folder(folder, sizeof folder), 0);
    const int live = firstFree();
    ASSERT_EQ(PORTNAME_Publish(live, "/dev/null"), 0);
    ASSERT_EQ(PORTNAME_Publish(live, "/dev/zero"), 1) << "the number is taken";
    const int stale = firstFree();
    ASSERT_NE(stale, live);
    ASSERT_EQ(symlink("/dev/pts/no-such", ports.Link(stale).c_str()), 0);
    EXPECT_TRUE(PORTNAME_IsFree(stale)) << "a link to nothing does not count";
    char fixed[64], named[64];
    ASSERT_EQ(PORTNAME_FixedDevice(stale, fixed, sizeof fixed), 0);
    ASSERT_EQ(PORTNAME_Device(stale, named, sizeof named), 0);
    EXPECT_STREQ(named, fixed) << "nor does it hide the adapter of that number";
    {
        SimThread sim(std::vector<std::string>{});
        EXPECT_EQ(sim.port, stale);
        char target[256] = "";
        ASSERT_GT(readlink(ports.Link(stale).c_str(), target, sizeof target - 1), 0);
        EXPECT_STREQ(target, SIM_GetTerminal());
    }
    EXPECT_FALSE(exists(ports.Link(stale)));
    EXPECT_TRUE(exists(ports.Link(live))) << "only its own link is removed";
    {
        SimThread sim({"--port", "40"});
        EXPECT_EQ(sim.port, 40);
        char dev[64];
        EXPECT_EQ(PORTNAME_Device(40, dev, sizeof dev), 0);
        EXPECT_EQ(std::string(dev), ports.Link(40));
    }
    char dev[64];
    EXPECT_EQ(PORTNAME_Device(40, dev, sizeof dev), 0);
    EXPECT_STREQ(dev, "/dev/ttyACM7") << "without a link, the fixed device";
    EXPECT_EQ(PORTNAME_FixedDevice(1, dev, sizeof dev), 0);
    EXPECT_STREQ(dev, "/dev/ttyUSB0");
    EXPECT_EQ(PORTNAME_FixedDevice(128, dev, sizeof dev), 0);
    EXPECT_STREQ(dev, "/dev/rfcomm31");
    EXPECT_EQ(PORTNAME_FixedDevice(129, dev, sizeof dev), 1);
    EXPECT_EQ(PORTNAME_Device(0, dev, sizeof dev), 1);
}

TEST(SimPorts, TmpFolderMustBeTheUsersOwn)
{
    const char *saved = getenv("XDG_RUNTIME_DIR");
    std::string keep = saved ? saved : "";
    unsetenv("XDG_RUNTIME_DIR");
    char folder[512];
    std::string base = "/tmp/brevant-" + std::to_string(getuid());
    if (exists(base)) {
        /* In use by a simulator of this user: only look, never change it. */
        struct stat st {
        };
        lstat(base.c_str(), &st);
        bool mine = S_ISDIR(st.st_mode) && st.st_uid == getuid() && !(st.st_mode & 022);
        EXPECT_EQ(PORTNAME_Folder(folder, sizeof folder), mine ? 0 : 1);
    } else {
        ASSERT_EQ(mkdir(base.c_str(), 0700), 0);
        chmod(base.c_str(), 0777);
        EXPECT_EQ(PORTNAME_Folder(folder, sizeof folder), 1) << "others may write there";
        chmod(base.c_str(), 0700);
        EXPECT_EQ(PORTNAME_Folder(folder, sizeof folder), 0);
        EXPECT_EQ(std::string(folder), base + "/ports");
        rmdir(base.c_str());
    }
    if (saved) setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
}

TEST(SimState, FileSetsDeviceAndControllerAndReportsBadLines)
{
    PortsFolder ports;
    TempDir dir;
    std::string good = dir.File("good.txt", "# a KX-110 that was programmed before\n"
                                            "sn=42\nmodel = KX-110\nname=Attic\nkaltro_sw=3.7\n"
                                            "volt_reading=12.95\nub.0=1100,40,-24\nub.1=empty\n");
    {
        SimThread sim({"--state", good, "--ubs", "40", "--id", "0x30"});
        SIM_Device d{};
        SIM_GetDevice(&d);
        EXPECT_EQ(d.model, 10);
        EXPECT_EQ(d.sn, 42u) << "the model is set first, wherever it stands";
        EXPECT_EQ(d.ubs, 40);
        EXPECT_EQ(d.id, 0x30);
        EXPECT_EQ(d.ub[0].freq, 1100);
        EXPECT_EQ(d.ub[0].level, -24);
        EXPECT_FALSE(d.ub[1].used);
        EXPECT_TRUE(d.ub[2].used);
        ASSERT_EQ(RS232_OpenPort(sim.port), RS232_OK);
        EXPECT_STREQ(RS232_ReadConfigName(), "Attic");
        EXPECT_EQ(RS232_GetKaltroSWVer(), 3 * 256 + 7);
        EXPECT_EQ(RS232_GetVoltage(), 2) << "12.95 V";
        RS232_Term();
    }
    SIM_Options o;
    std::snprintf(o.state, sizeof o.state, "%s", dir.File("bad.txt", "sn=1\nlevel=3\n").c_str());
    char err[256] = "";
    EXPECT_EQ(SIM_Open(&o, err, sizeof err), -1);
    EXPECT_NE(std::string(err).find("bad.txt:2"), std::string::npos) << err;
    const char *argv[] = {"kaltro-sim", "--nak", "x"};
    EXPECT_EQ(SIM_ParseArgs(3, const_cast<char **>(argv), &o, err, sizeof err), 1);
}

TEST(SimFaults, StopAfterNoDeviceAndLog)
{
    PortsFolder ports;
    TempDir dir;
    std::string log = dir.path + "/traffic.log";
    {
        /* gtid and to22 open the port; lnbe is the third and last answered. */
        SimThread sim({"--stop-after", "3", "--no-device", "--log", log});
        ASSERT_EQ(RS232_OpenPort(sim.port), RS232_OK);
        std::uint32_t n = 0;
        WriteABuffer("lnbe\r", 5);
        char *buf = ReadABuffer(&n);
        EXPECT_EQ(std::string(buf, n), "lnbe\r\n") << "the echo, and no device";
        WriteABuffer("gtid\r", 5);
        EXPECT_EQ(ReadABuffer(&n)[0], '\0') << "silent after three commands";
        RS232_Term();
    }
    const std::string text = ReadFile(log);
    EXPECT_NE(text.find("> lnbe"), std::string::npos);
    EXPECT_NE(text.find("< [echo] Kaltro KX-P2 ID 0x54"), std::string::npos);
    EXPECT_NE(text.find("silent from here on"), std::string::npos);
}

TEST(SimFaults, SilentDeviceAliasAndLinesWithoutAVerb)
{
    PortsFolder ports;
    SimThread sim({"--silent-device", "--voltage", "6"});
    ASSERT_EQ(RS232_OpenPort(sim.port), RS232_OK);
    std::uint32_t n = 0;
    WriteABuffer("lnbe\r", 5);
    char *buf = ReadABuffer(&n);
    EXPECT_EQ(std::string(buf, n), "lnbe\r\n") << "the echo, and no device";
    /* A verb too long to name (as binary left over from a transfer may
     * make) must not lend its count to the next new verb. */
    WriteABuffer("averylongverb 1\r", 16);
    ReadABuffer(&n);
    WriteABuffer("lnbv\r", 5);
    ReadABuffer(&n);
    EXPECT_EQ(SIM_CommandCount("lnbv"), 1);
    EXPECT_EQ(SIM_CommandCount("lnbe"), 1);
    RS232_Term();
}

TEST(SimFaults, LineRatePacesBothDirections)
{
    PortsFolder ports;
    SimThread sim({"--line-rate"});
    ASSERT_EQ(RS232_OpenPort(sim.port), RS232_OK);
    std::uint32_t n = 0, total = 0;
    double t = Seconds([&] {
        WriteABuffer("help\r", 5);
        for (int i = 0; i < 10 && (total == 0 || n > 0); i++)
            total += (ReadABuffer(&n), n);
    });
    /* The answer takes its wire time: 86.8 us per byte (the last read adds
     * its 10 ms of quiet). */
    EXPECT_GT(total, 400u);
    EXPECT_GT(t, total * 86.8e-6);
    EXPECT_LT(t, total * 86.8e-6 + 1.0);
}

TEST(SimDevice, DamagedConfigurationImageIsRefused)
{
    PortsFolder ports;
    SimThread sim({"--voltage", "6"});
    ASSERT_EQ(RS232_OpenPort(sim.port), RS232_OK);
    /* A configuration header whose CRC does not match its one record. */
    unsigned char image[25] = {0x02, 0x00, '1', '5', 0x12, 0x34, 0x00, 0x09, 0x10, 0x11};
    for (int i = 16; i < 25; i++)
        image[i] = 0xFF;
    ASSERT_EQ(RS232_KaltroDownloadInit(sizeof image, XM_TYPE_DEVICE, 3), XM_STARTED);
    ASSERT_EQ(RS232_GetXModemStarter(), RS232_OK);
    RS232_SendXModemPacket(image);
    ASSERT_EQ(RS232_XModemWaitACK(), XM_ANSWER_ACK);
    RS232_XModemNextPacket();
    RS232_SendXModemEOT();
    ASSERT_EQ(RS232_XModemWaitACK(), XM_ANSWER_ACK);
    EXPECT_EQ(RS232_GetOKReply(), RS232_FAILED) << "the device says 0xE6";
    SIM_Transfer t{};
    SIM_GetTransfer(&t, nullptr, 0);
    EXPECT_EQ(t.deviceVerdict, 2);
    SIM_Device d{};
    SIM_GetDevice(&d);
    EXPECT_EQ(d.dbase, 0x10) << "nothing of it was taken";
    RS232_Term();
}

/* The eleven models, each with its index, the ID byte it reports and its UB
 * count, written out from the catalogue: the program's conversion and the
 * simulator's device are both held to this table, not to each other. */
static const struct {
    const char *name;
    int index, id, ubs;
} models[] = {
    {"KX-100", 0, 0x47, 24}, {"KX-101", 1, 0x44, 24},  {"KX-102", 2, 0x4D, 24},
    {"KX-103", 3, 0x4E, 24}, {"KX-104", 4, 0x50, 24},  {"KX-105", 5, 0x54, 24},
    {"KX-106", 6, 0x51, 24}, {"KX-107", 7, 0x27, 32},  {"KX-108", 8, 0x28, 32},
    {"KX-109", 9, 0x4F, 24}, {"KX-110", 10, 0x29, 32},
};

TEST(SimDevice, EveryModelReportsItsIdAndTheProgramNamesIt)
{
    for (int id = 0; id < 256; id++) {
        int index = -1;
        for (const auto &m : models)
            if (m.id == id) index = m.index;
        EXPECT_EQ(DCSS_ConvertModelID(static_cast<std::uint8_t>(id)), index) << "ID " << id;
    }
    PortsFolder ports;
    for (const auto &m : models) {
        SCOPED_TRACE(m.name);
        EXPECT_EQ(DCSS_GetDeviceID(m.index), m.id);
        const std::wstring wide(m.name, m.name + std::strlen(m.name));
        EXPECT_EQ(DCSS_FindModel(wide.c_str()), m.index);
        /* What the device answers to "lnbe" and "lnbb" (the way over the
         * line is the same for every model, and tested on its own). */
        SimThread sim({"--model", m.name});
        SIM_Device d{};
        SIM_GetDevice(&d);
        EXPECT_EQ(d.id, m.id);
        EXPECT_EQ(d.ubs, m.ubs);
    }
}

TEST(SimStartUp, StopRequestedDuringStartUpIsKeptAndErrnoSurvives)
{
    PortsFolder ports;
    SIM_Options o;
    char err[256] = "";
    /* A signal between the handlers going in and the simulator opening. */
    SIM_RequestStop();
    ASSERT_GT(SIM_Open(&o, err, sizeof err), 0) << err;
    std::atomic<bool> ended{false};
    std::thread run([&ended] {
        SIM_Run();
        ended = true;
    });
    for (int i = 0; i < 300 && !ended; i++)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(ended) << "the stop request was lost";
    SIM_RequestStop();
    run.join();
    SIM_Close();

    /* Closed, it forgets the request: the next simulator serves. */
    SimThread sim({"--voltage", "6"});
    ASSERT_EQ(RS232_OpenPort(sim.port), RS232_OK);
    RS232_Term();
    /* A request whose write fails (the stop pipe full once the loop has
     * ended) leaves the interrupted code's errno alone. */
    for (int i = 0; i < 100000; i++)
        SIM_RequestStop();
    errno = EDOM;
    SIM_RequestStop();
    EXPECT_EQ(errno, EDOM);
}

/* ---- Device after device ------------------------------------------------------ */

/* A raw command and the whole answer, as one read of the program gets it. */
static std::string Ask(const std::string &command)
{
    const std::string line = command + "\r";
    WriteABuffer(line.c_str(), static_cast<std::uint32_t>(line.size()));
    std::uint32_t n = 0;
    char *buf = ReadABuffer(&n);
    return std::string(buf, n);
}

static std::string Acked(const std::string &command, const char *rx)
{
    return command + "\r\nRx: " + rx + "\r\n";
}

static std::string Entp(int band, int freq)
{
    return "entp 0 " + std::to_string(band) + " " + std::to_string(freq) + " 0 40 -24 0 0 0 0";
}

/* Waits until count new devices have gone on. */
static bool WaitSwaps(int count, int ms)
{
    for (int i = 0; i < ms / 10 && SIM_SwapCount() < count; i++)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return SIM_SwapCount() >= count;
}

/* Swaps at once and waits for the new device; its state in d. */
static bool SwapNow(SIM_Device *d)
{
    const int before = SIM_SwapCount();
    SIM_RequestSwap();
    if (!WaitSwaps(before + 1, 2000)) return false;
    SIM_GetDevice(d);
    return true;
}

/* Sends an MxL-group configuration image of {band, MHz} records; the
 * device's verdict as the program reads it. */
static int SendMxLImage(std::vector<std::pair<int, int>> bands)
{
    unsigned char image[1024] = {0x02, 0x00, '1', '5', 0, 0, 0, 0, 0x10, 0x21};
    int area = 0;
    for (auto [u, f] : bands) {
        unsigned char *r = image + 16 + area;
        r[0] = static_cast<unsigned char>(f >> 4);
        r[1] = static_cast<unsigned char>((f & 15) << 4);
        r[2] = 40;
        r[6] = static_cast<unsigned char>(-24);
        r[7] = static_cast<unsigned char>(u);
        r[8] = 0xFF;
        area += 9;
    }
    const std::uint16_t crc = RS232_CalculateCRC16(image + 16, static_cast<std::uint16_t>(area));
    image[4] = static_cast<unsigned char>(crc >> 8);
    image[5] = static_cast<unsigned char>(crc);
    image[7] = static_cast<unsigned char>(area);
    if (RS232_KaltroDownloadInit(16 + area, XM_TYPE_DEVICE, 3) != XM_STARTED ||
        RS232_GetXModemStarter() != RS232_OK)
        return -1;
    RS232_SendXModemPacket(image);
    if (RS232_XModemWaitACK() != XM_ANSWER_ACK) return -1;
    RS232_XModemNextPacket();
    RS232_SendXModemEOT();
    return RS232_XModemWaitACK() == XM_ANSWER_ACK ? RS232_GetOKReply() : -1;
}

TEST(SimSwap, SwapEmptiesTheOutputThenAFreshDeviceStartsUp)
{
    PortsFolder ports;
    const std::string log = ports.dir.path + "/traffic.log";
    {
        SimThread sim({"--voltage", "6", "--serial", "500", "--swap-gap", "300", "--power-delay",
                       "300", "--log", log});
        ASSERT_EQ(RS232_OpenPort(sim.port), RS232_OK);
        const std::string factory = Ask("lnbg 0");
        EXPECT_EQ(Ask(Entp(0, 1500)), Acked(Entp(0, 1500), "0xE4"));
        EXPECT_EQ(Ask("lnbn"), Acked("lnbn", "0xE4 0x00 0x00 0x01 0xF4")) << "--serial 500";
        SIM_RequestSwap();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(Ask("lnbe"), "lnbe\r\n") << "no device on the output";
        ASSERT_TRUE(WaitSwaps(1, 2000));
        EXPECT_EQ(Ask("lnbe"), "lnbe\r\n") << "on, but still starting";
        std::this_thread::sleep_for(std::chrono::milliseconds(350));
        EXPECT_EQ(Ask("lnbn"), Acked("lnbn", "0xE4 0x00 0x00 0x01 0xF5"));
        EXPECT_EQ(Ask("lnbd"), Acked("lnbd", "0xE4 0x00")) << "configuration version 0.0";
        EXPECT_EQ(Ask("lnbg 0"), factory) << "the factory table";
        SIM_Device d{};
        SIM_GetDevice(&d);
        EXPECT_EQ(d.fault, SIM_Fault::None);
        EXPECT_EQ(SIM_SwapCount(), 1);
        RS232_Term();
    }
    const std::string text = ReadFile(log);
    EXPECT_NE(text.find("device 1 off the output"), std::string::npos) << text;
    EXPECT_NE(text.find("device 2 on: KX-103, serial 501, no fault"), std::string::npos) << text;

    /* The program swaps on SIGUSR1. */
    SimProgram program;
    const std::string name =
        program.Start({"--voltage", "6", "--serial", "7", "--swap-gap", "0", "--power-delay", "0"});
    ASSERT_EQ(name.rfind("COM", 0), 0u) << name;
    ASSERT_EQ(RS232_OpenPort(std::stoi(name.substr(3))), RS232_OK);
    kill(program.pid, SIGUSR1);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(Ask("lnbn"), Acked("lnbn", "0xE4 0x00 0x00 0x00 0x08"));
    RS232_Term();
    EXPECT_EQ(WEXITSTATUS(program.Stop(SIGTERM)), 0);
}

TEST(SimSwap, ScheduleSwapsRepeatedlyThroughTheModelCycle)
{
    PortsFolder ports;
    SimThread sim({"--voltage", "6", "--swap-every", "1", "--swap-gap", "100", "--power-delay", "0",
                   "--model-cycle", "KX-107,KX-100"});
    SIM_Device d{};
    const int expected[3] = {7, 0, 7};
    for (int n = 1; n <= 3; n++) {
        const double t = Seconds([n] { WaitSwaps(n, 3000); });
        ASSERT_EQ(SIM_SwapCount(), n);
        EXPECT_GT(t, n > 1 ? 0.7 : 0.0) << "a swap a second";
        SIM_GetDevice(&d);
        EXPECT_EQ(d.model, expected[n - 1]);
        EXPECT_EQ(d.sn, 12345678u + static_cast<unsigned>(n));
        EXPECT_EQ(d.ubs, n == 2 ? 24 : 32);
    }
    SIM_Options o;
    char err[256] = "";
    const char *argv[] = {"kaltro-sim", "--model-cycle", "KX-107,KX-999"};
    EXPECT_EQ(SIM_ParseArgs(3, const_cast<char **>(argv), &o, err, sizeof err), 1);
}

/* The faults of count new devices: kind, band and drop point each. */
static std::vector<std::array<int, 3>> Devices(std::vector<std::string> args, int count)
{
    for (const char *a : {"--swap-gap", "0", "--power-delay", "0"})
        args.push_back(a);
    SimThread sim(args);
    std::vector<std::array<int, 3>> out;
    SIM_Device d{};
    for (int i = 0; i < count && SwapNow(&d); i++)
        out.push_back({static_cast<int>(d.fault), d.faultBand, d.faultAfter});
    return out;
}

TEST(SimSwap, SeedRepeatsTheFaultyDevices)
{
    PortsFolder ports;
    const auto first = Devices({"--faulty", "50", "--seed", "7"}, 20);
    ASSERT_EQ(first.size(), 20u);
    EXPECT_EQ(Devices({"--faulty", "50", "--seed", "7"}, 20), first);
    EXPECT_NE(Devices({"--faulty", "50", "--seed", "8"}, 20), first);
    int faulty = 0, kinds[5] = {};
    for (const auto &f : first)
        faulty += f[0] != 0;
    EXPECT_GT(faulty, 3);
    EXPECT_LT(faulty, 17);
    for (const auto &f : Devices({"--faulty", "100", "--seed", "7"}, 40))
        kinds[f[0]]++;
    EXPECT_EQ(kinds[0], 0);
    for (int k = 1; k < 5; k++)
        EXPECT_GT(kinds[k], 0) << "fault kind " << k;
}

TEST(SimSwap, EachFaultShowsInTheDevicesAnswers)
{
    PortsFolder ports;
    SimThread sim({"--voltage", "6", "--swap-gap", "0", "--power-delay", "0", "--faulty", "100",
                   "--seed", "11"});
    ASSERT_EQ(RS232_OpenPort(sim.port), RS232_OK);
    SIM_Device d{};
    auto swapTo = [&d](SIM_Fault kind) {
        for (int i = 0; i < 40; i++)
            if (SwapNow(&d) && d.fault == kind) return true;
        return false;
    };

    ASSERT_TRUE(swapTo(SIM_Fault::BandNotStored));
    int b = d.faultBand, other = (b + 1) % 24;
    const std::string kept = Ask("lnbg " + std::to_string(b));
    EXPECT_EQ(Ask(Entp(b, 1500)), Acked(Entp(b, 1500), "0xE4")) << "acknowledged";
    EXPECT_EQ(Ask("lnbg " + std::to_string(b)), kept) << "but not stored";
    EXPECT_EQ(SendMxLImage({{b, 1600}, {other, 1700}}), RS232_OK);
    EXPECT_EQ(Ask("lnbg " + std::to_string(b)), kept) << "nor from an image";
    SIM_GetDevice(&d);
    EXPECT_EQ(d.ub[other].freq, 1700);

    ASSERT_TRUE(swapTo(SIM_Fault::BandRefused));
    b = d.faultBand, other = (b + 1) % 24;
    EXPECT_EQ(Ask(Entp(b, 1500)), Acked(Entp(b, 1500), "0xE5"));
    EXPECT_EQ(Ask(Entp(other, 1500)), Acked(Entp(other, 1500), "0xE4"));
    EXPECT_EQ(SendMxLImage({{other, 1700}}), RS232_FAILED) << "the image is refused";
    SIM_GetDevice(&d);
    EXPECT_EQ(d.ub[other].freq, 1500);

    ASSERT_TRUE(swapTo(SIM_Fault::DropsOff));
    for (int u = 0; u < d.faultAfter; u++)
        EXPECT_EQ(Ask(Entp(u, 1500)), Acked(Entp(u, 1500), "0xE4"));
    EXPECT_EQ(Ask(Entp(5, 1500)), Entp(5, 1500) + "\r\n") << "dropped off";
    EXPECT_EQ(Ask("lnbe"), "lnbe\r\n") << "for good";
    EXPECT_EQ(Ask("gtid"), "gtid\r\nKaltro KX-P2 ID 0x54\r\n") << "the controller still answers";

    ASSERT_TRUE(swapTo(SIM_Fault::VersionRefused));
    EXPECT_EQ(Ask("lnad 33"), Acked("lnad 33", "0xE5"));
    EXPECT_EQ(Ask("lnbd"), Acked("lnbd", "0xE4 0x00"));
    RS232_Term();
}
