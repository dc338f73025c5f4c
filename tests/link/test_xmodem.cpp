/* The XModem sender against kaltro-sim (images programmed into the simulated
 * device and read back, packets on the wire, NAK and CAN handling, start
 * commands) and against an independent receiver, lrzsz's rz. */
#include "config/dcss.h"
#include "config/image.h"
#include "link/portname.h"
#include "link/rs232.h"
#include "sim/simint.h"
#include "tests/link/xmodem_drive.h"
#include "tests/support/simthread.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

constexpr unsigned SHORT_PAUSE_MS = 20; /* the sim needs no settling time after "C" */

class XModem : public ::testing::Test
{
  protected:
    PortsFolder ports;
    std::unique_ptr<SimThread> sim;
    void Open(std::vector<std::string> args)
    {
        sim = std::make_unique<SimThread>(std::move(args));
        ASSERT_GT(sim->port, 0);
        ASSERT_EQ(RS232_OpenPort(sim->port), RS232_OK);
    }
    static std::vector<unsigned char> Pattern(int size)
    {
        std::vector<unsigned char> v(static_cast<std::size_t>(size));
        for (int i = 0; i < size; i++)
            v[i] = static_cast<unsigned char>((i * 31) ^ (i >> 8));
        return v;
    }
    void TearDown() override
    {
        RS232_Term();
        sim.reset();
    }
};

/* Compiles table, programs it as a device image and reads every band back. */
static void programAndReadBack(int model, int ubs)
{
    VelnorData.Model = static_cast<std::int8_t>(model);
    MAIN_InitStruct();
    VelnorData.DBaseVersion = 0x24;
    VelnorCfg[2].Active = 0;
    VelnorCfg[5].StaticMode = 1;
    VelnorCfg[5].ConvFreq = 11720;
    VelnorCfg[5].ConvPol = 'H';
    VelnorCfg[6].UBFreqDec = 5;
    VelnorCfg[7].SpectralInversion = 1;
    VelnorCfg[8].AGCVal = -25;
    unsigned char image[BREVCFG_IMAGE_MAX];
    int size = DCSS_IsENGroup(model) ? BREVCFG_CompileEN(VelnorCfg, &VelnorData, image, 0)
                                     : BREVCFG_CompileMxL(VelnorCfg, &VelnorData, image);
    VelnorCfg_t sent[MAX_UB];
    std::memcpy(sent, VelnorCfg, sizeof sent);

    DriveResult r = XModemDrive(image, size, XM_TYPE_DEVICE, model, SHORT_PAUSE_MS);
    ASSERT_EQ(r.end, DriveEnd::Done);
    EXPECT_EQ(RS232_GetOKReply(), RS232_OK) << "the device's acceptance line";
    EXPECT_EQ(RS232_GetDBaseVersion(), 0x24);
    for (int i = 0; i < ubs; i++) {
        const VelnorCfg_t &s = sent[i];
        VelnorCfg_t got{};
        RS232_ReadConfig(&got, s.UBNo);
        SCOPED_TRACE(testing::Message() << "UB " << int(s.UBNo));
        EXPECT_EQ(got.UBNo, s.UBNo);
        EXPECT_EQ(got.Active, s.Active);
        if (!s.Active) continue;
        EXPECT_EQ(got.UBFreq, s.UBFreq);
        EXPECT_EQ(got.UBFreqDec, s.UBFreqDec);
        EXPECT_EQ(got.BW, s.BW);
        EXPECT_EQ(got.AGCVal, s.AGCVal);
        EXPECT_EQ(got.StaticMode, s.StaticMode);
        EXPECT_EQ(got.SpectralInversion, s.SpectralInversion);
        if (s.StaticMode) {
            EXPECT_EQ(got.ConvFreq, s.ConvFreq);
            EXPECT_EQ(got.ConvPol, s.ConvPol);
        }
    }
}

TEST_F(XModem, ConfigurationImagesRoundTripThroughTheDevice)
{
    Open({"--voltage", "6", "--model", "KX-103"});
    programAndReadBack(3, 24);
    RS232_Term();
    sim.reset();

    Open({"--voltage", "6", "--model", "KX-108"});
    programAndReadBack(8, 32);
    SIM_Transfer t{};
    SIM_GetTransfer(&t, nullptr, 0);
    EXPECT_EQ(t.deviceVerdict, 0);
}

TEST_F(XModem, StartCommandsAndRefusedStart)
{
    Open({"--voltage", "6", "--refuse", "lnbs"});
    char line[64];
    EXPECT_EQ(RS232_KaltroDownloadInit(100, XM_TYPE_DEVICE, 8), XM_NO_DEVICE);
    SIM_GetLastCommand(line, sizeof line);
    EXPECT_STREQ(line, "lnbs 4");
    EXPECT_EQ(RS232_KaltroDownloadInit(100, XM_TYPE_DEVICE, 3), XM_NO_DEVICE);
    SIM_GetLastCommand(line, sizeof line);
    EXPECT_STREQ(line, "lnbs 2");
    EXPECT_EQ(RS232_KaltroDownloadInit(0, XM_TYPE_DEVICE, 3), XM_EMPTY);
    EXPECT_EQ(SIM_CommandCount("lnbs"), 2) << "an empty image sends nothing";
}

TEST_F(XModem, PacketsOnTheWireAndStoredImages)
{
    TempDir store;
    Open({"--store", store.path});
    for (int size : {1700, 3000}) {
        std::vector<unsigned char> image = Pattern(size);
        DriveResult r = XModemDrive(image.data(), size, XM_TYPE_KALTRO_CFG, 0, SHORT_PAUSE_MS);
        ASSERT_EQ(r.end, DriveEnd::Done);
        static unsigned char got[4096];
        SIM_Transfer t{};
        int n = SIM_GetTransfer(&t, got, sizeof got);
        EXPECT_EQ(t.kind, SIM_ImageKind::KaltroConfig);
        std::vector<int> blocks(t.block, t.block + t.packets);
        std::vector<int> numbers(t.number, t.number + t.packets);
        if (size == 1700) {
            EXPECT_EQ(blocks, (std::vector<int>{1024, 128, 128, 128, 128, 128, 128}));
            EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
        } else {
            EXPECT_EQ(blocks, (std::vector<int>{1024, 1024, 1024}));
        }
        ASSERT_GE(n, size);
        EXPECT_EQ(std::memcmp(got, image.data(), static_cast<std::size_t>(size)), 0);
        for (int i = size; i < n; i++)
            ASSERT_EQ(got[i], XM_PAD);
    }
    EXPECT_TRUE(std::filesystem::exists(store.path + "/kaltro-cfg-001.bin"));
    EXPECT_EQ(std::filesystem::file_size(store.path + "/kaltro-cfg-002.bin"), 3072u);

    /* Controller software starts without the pause after "C". */
    std::vector<unsigned char> sw = Pattern(5000);
    EXPECT_EQ(XModemDrive(sw.data(), 5000, XM_TYPE_KALTRO_SW, 0).end, DriveEnd::Done);
    EXPECT_TRUE(std::filesystem::exists(store.path + "/kaltro-sw-003.bin"));
}

TEST_F(XModem, NaksAreRepeatedAndTheThirdFails)
{
    std::vector<unsigned char> image = Pattern(1500);
    Open({"--nak", "2"});
    DriveResult r = XModemDrive(image.data(), 1500, XM_TYPE_KALTRO_CFG, 0, SHORT_PAUSE_MS);
    EXPECT_EQ(r.end, DriveEnd::Done);
    EXPECT_EQ(r.naks, 2 * 5) << "two NAKs for each of the five packets";
    RS232_Term();
    sim.reset();

    Open({"--nak", "3"});
    r = XModemDrive(image.data(), 1500, XM_TYPE_KALTRO_CFG, 0, SHORT_PAUSE_MS);
    EXPECT_EQ(r.end, DriveEnd::ThreeNaks);
    EXPECT_EQ(r.packet, 1);
}

TEST_F(XModem, CancelAtAPacketAndASoftwareImageForTheDevice)
{
    std::vector<unsigned char> image = Pattern(4000);
    Open({"--voltage", "6", "--can-at", "3", "--noise"});
    DriveResult r = XModemDrive(image.data(), 4000, XM_TYPE_DEVICE, 3, SHORT_PAUSE_MS);
    EXPECT_EQ(r.end, DriveEnd::Cancelled);
    EXPECT_EQ(r.packet, 3);
    RS232_Term();
    sim.reset();

    /* Not a configuration: taken, stored and acknowledged as device software. */
    TempDir store;
    Open({"--voltage", "6", "--store", store.path, "--nul", "--split"});
    r = XModemDrive(image.data(), 4000, XM_TYPE_DEVICE, 3, SHORT_PAUSE_MS);
    ASSERT_EQ(r.end, DriveEnd::Done);
    EXPECT_EQ(RS232_GetOKReply(), RS232_OK);
    SIM_Transfer t{};
    SIM_GetTransfer(&t, nullptr, 0);
    EXPECT_EQ(t.deviceVerdict, 1);
    EXPECT_TRUE(std::filesystem::exists(store.path + "/device-001.bin"));
}

/* ---- lrzsz's receiver over a pair of pseudo-terminals ------------------------ */

/* Stands in for the controller up to "rest", then starts rz on a second
 * terminal and passes the bytes both ways, as a null-modem cable would.
 *
 * rz acknowledges the EOT and then, restoring its terminal, flushes it both
 * ways; a real line has sent the ACK by then, a pseudo-terminal may still
 * hold it and loses it. So when rz has ended well without the program having
 * seen that last ACK, the bridge delivers it in rz's place. */
struct RzBridge {
    int portMaster = -1, portSlave = -1, rzMaster = -1, rzSlave = -1;
    char portPath[256] = "", rzPath[256] = "";
    std::string dir;
    pid_t rz = -1;
    int status = -1;
    std::atomic<bool> stop{false}, ended{false};
    std::thread worker;

    /* The COM number of the bridge's port, or -1. */
    int Start(const std::string &folder)
    {
        dir = folder;
        if (PTY_Open(&portMaster, &portSlave, portPath, sizeof portPath) != 0 ||
            PTY_Open(&rzMaster, &rzSlave, rzPath, sizeof rzPath) != 0)
            return -1;
        int port = PORTNAME_PublishFirstFree(portPath);
        if (port > 0) worker = std::thread([this] { Serve(); });
        return port;
    }
    void Launch()
    {
        rz = fork();
        if (rz != 0) return;
        dup2(rzSlave, 0);
        dup2(rzSlave, 1);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 2);
        /* rz takes a plain file name only, in the folder it runs in; it asks
         * again (NAK) after 2 s of silence. */
        if (chdir(dir.c_str()) != 0) _exit(126);
        execlp("rz", "rz", "--xmodem", "--with-crc", "--binary", "--overwrite", "--quiet",
               "--timeout", "20", "received.bin", static_cast<char *>(nullptr));
        _exit(127);
    }
    void Serve()
    {
        std::string line;
        bool relaying = false, eotSent = false, eotAcked = false;
        unsigned char buf[4096];
        while (!stop) {
            if (rz > 0 && !ended && waitpid(rz, &status, WNOHANG) == rz) {
                ended = true;
                if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && eotSent && !eotAcked)
                    (void)!write(portMaster, "\x06", 1);
            }
            pollfd p[2] = {{portMaster, POLLIN, 0}, {rzMaster, POLLIN, 0}};
            if (poll(p, relaying ? 2 : 1, 20) <= 0) continue;
            ssize_t n = (p[0].revents & POLLIN) ? read(portMaster, buf, sizeof buf) : 0;
            if (relaying && n > 0) {
                eotSent = eotSent || (n == 1 && buf[0] == XM_EOT);
                (void)!write(rzMaster, buf, static_cast<std::size_t>(n));
            }
            for (ssize_t i = 0; i < n && !relaying; i++) {
                if (buf[i] != '\r') {
                    line += static_cast<char>(buf[i]);
                    continue;
                }
                if (line == "gtid") (void)!write(portMaster, "gtid\r\n0x54\r\n", 12);
                if (line == "rest") relaying = true, Launch();
                line.clear();
            }
            n = (relaying && (p[1].revents & POLLIN)) ? read(rzMaster, buf, sizeof buf) : 0;
            if (n > 0) {
                eotAcked = eotAcked || (eotSent && std::memchr(buf, XM_ACK, n));
                (void)!write(portMaster, buf, static_cast<std::size_t>(n));
            }
        }
    }
    /* Waits up to 5 s for rz to end, then stops the bridge; rz's status. */
    int Finish()
    {
        for (int i = 0; rz > 0 && !ended && i < 100; i++)
            usleep(50000);
        stop = true;
        if (worker.joinable()) worker.join();
        if (rz > 0 && !ended) {
            kill(rz, SIGKILL);
            waitpid(rz, &status, 0);
            ended = true;
        }
        for (int *fd : {&portMaster, &portSlave, &rzMaster, &rzSlave}) {
            if (*fd >= 0) close(*fd);
            *fd = -1;
        }
        return status;
    }
    ~RzBridge() { Finish(); }
};

TEST_F(XModem, LrzszReceiverGetsTheImageByteForByte)
{
    if (system("command -v rz >/dev/null 2>&1") != 0) GTEST_SKIP() << "lrzsz is not installed";
    TempDir dir;
    RzBridge bridge;
    int port = bridge.Start(dir.path);
    ASSERT_GT(port, 0);
    ASSERT_EQ(RS232_OpenPort(port), RS232_OK);
    std::vector<unsigned char> image = Pattern(4500); /* four 1K blocks, then 128-byte ones */
    DriveResult r = XModemDrive(image.data(), 4500, XM_TYPE_KALTRO_SW, 0);
    RS232_Term();
    int status = bridge.Finish();
    ASSERT_EQ(r.end, DriveEnd::Done);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::ifstream f(dir.path + "/received.bin", std::ios::binary);
    std::vector<unsigned char> got((std::istreambuf_iterator<char>(f)), {});
    ASSERT_GE(got.size(), image.size());
    EXPECT_TRUE(std::equal(image.begin(), image.end(), got.begin()));
    for (std::size_t i = image.size(); i < got.size(); i++)
        ASSERT_EQ(got[i], XM_PAD);
}
