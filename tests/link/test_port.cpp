/* The serial port against kaltro-sim over a real pseudo-terminal: opening and
 * scanning, exclusive use, the line settings, the read profile, pauses that
 * watch the line, the reason kept for each failure, and system failures
 * injected through the OS-call table where no real one can be made. */
#include "link/portinfo.h"
#include "link/portname.h"
#include "link/rs232.h"
#include "link/rs232os.h"
#include "tests/support/simthread.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <memory>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

/* Calls through the port's system-call table, counted, so that "at once"
 * and "not at the time limit" are told by what the port did rather than by
 * the clock. */
struct Counts {
    int opens, waits, timedOut, writes;
};
static Counts counted;

/* The real calls, counted; the counts start at 0. */
static void countCalls()
{
    counted = Counts{};
    RS232_OsCalls *c = RS232_GetOsCalls();
    *c = RS232_DefaultOsCalls();
    c->OpenDevice = [](const char *path) {
        counted.opens++;
        return RS232_DefaultOsCalls().OpenDevice(path);
    };
    c->Wait = [](int fd, short events, long timeoutUs) {
        counted.waits++;
        const int r = RS232_DefaultOsCalls().Wait(fd, events, timeoutUs);
        if (r == 0) counted.timedOut++;
        return r;
    };
    c->Write = [](int fd, const void *buf, std::size_t len) {
        counted.writes++;
        return RS232_DefaultOsCalls().Write(fd, buf, len);
    };
}

class Port : public ::testing::Test
{
  protected:
    PortsFolder ports;
    std::unique_ptr<SimThread> sim;
    void Start(std::vector<std::string> args)
    {
        sim = std::make_unique<SimThread>(std::move(args));
        ASSERT_GT(sim->port, 0);
    }
    void TearDown() override
    {
        *RS232_GetOsCalls() = RS232_DefaultOsCalls();
        RS232_Term();
        sim.reset();
    }
};

TEST_F(Port, ScanOpensTheKaltroExclusivelyAndStopsAt1024)
{
    Start({});
    RS232_SetPortNumber(sim->port);
    EXPECT_EQ(RS232_Progress(), RS232_PORT_FOUND);
    EXPECT_EQ(RS232_GetLastPortNumber(), sim->port);
    EXPECT_EQ(std::string(RS232_GetDevicePath()), ports.Link(sim->port));
    SIM_Kaltro k{};
    SIM_GetKaltro(&k);
    EXPECT_EQ(k.tone, 0) << "opening switches the 22 kHz tone off";
    EXPECT_EQ(SIM_CommandCount("gtid"), 1);

    /* Nobody else can take the port while it is open. */
    int fd = open(ports.Link(sim->port).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) {
        EXPECT_NE(flock(fd, LOCK_EX | LOCK_NB), 0);
        close(fd);
    } else {
        EXPECT_EQ(errno, EBUSY);
    }
    EXPECT_EQ(RS232_Term(), 0);
    EXPECT_EQ(RS232_Term(), 0) << "closing a closed port does nothing";

    /* Closed, the port is no longer exclusive: the simulator keeps its end
     * of the terminal open, so a flag left behind would refuse every later
     * open of an ordinary user. */
    fd = open(ports.Link(sim->port).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    int exclusive = -1;
    ASSERT_EQ(ioctl(fd, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);

    /* A port in use by another program fails at once, without a command,
     * and the other program keeps its exclusive use. */
    ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    ASSERT_EQ(ioctl(fd, TIOCEXCL), 0);
    countCalls();
    EXPECT_EQ(RS232_OpenPort(sim->port), RS232_FAILED);
    EXPECT_EQ(counted.opens, 1);
    EXPECT_EQ(counted.writes, 0);
    EXPECT_EQ(counted.waits, 0) << "it waits for nothing";
    *RS232_GetOsCalls() = RS232_DefaultOsCalls();
    ASSERT_EQ(ioctl(fd, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1);
    ioctl(fd, TIOCNXCL);
    close(fd);
    EXPECT_EQ(SIM_CommandCount("gtid"), 1);

    RS232_SetPortNumber(1024);
    EXPECT_EQ(RS232_Progress(), RS232_PORT_NO_MORE);
    EXPECT_EQ(RS232_GetLastPortNumber(), 1024);
    RS232_SetPortNumber(1023); /* no link and no device: fails at once */
    countCalls();
    EXPECT_EQ(RS232_Progress(), RS232_PORT_NEXT);
    EXPECT_EQ(counted.opens, 0) << "nothing to open";
    EXPECT_EQ(counted.waits, 0);
    EXPECT_EQ(RS232_GetLastPortNumber(), 1024);
    RS232_ResetPortNumber();
    EXPECT_EQ(RS232_GetLastPortNumber(), 1);
}

TEST_F(Port, ReadProfileQuietBurstAndNul)
{
    Start({"--nul"});
    ASSERT_EQ(RS232_OpenPort(sim->port), RS232_OK) << "identification through NUL bytes";
    std::uint32_t n = 99;
    char *buf = nullptr;
    double quiet = Seconds([&] { buf = ReadABuffer(&n); });
    EXPECT_EQ(n, 0u);
    EXPECT_GT(quiet, 0.18);
    EXPECT_LT(quiet, 1.0);
    for (int i = 0; i < RS232_BUF_SIZE; i++)
        ASSERT_EQ(buf[i], 0) << i;

    /* NUL bytes never reach the buffer; the bytes around them close up. */
    ASSERT_EQ(WriteABuffer("gtid\r", 5), 1);
    buf = ReadABuffer(&n);
    EXPECT_EQ(std::string(buf, n), "gtid\r\nKaltro KX-P2 ID 0x54\r\n");

    /* A long answer without pauses comes as 200 bytes per read. */
    WriteABuffer("help\r", 5);
    RS232_Pause(60);
    std::string all;
    std::vector<std::uint32_t> counts;
    countCalls();
    buf = ReadABuffer(&n);
    EXPECT_EQ(counted.timedOut, 0) << "a full read ends at 200 bytes, not at the time limit";
    *RS232_GetOsCalls() = RS232_DefaultOsCalls();
    do {
        counts.push_back(n);
        all.append(buf, n);
        buf = ReadABuffer(&n);
    } while (n > 0);
    ASSERT_GE(counts.size(), 3u);
    EXPECT_EQ(counts[0], 200u);
    EXPECT_EQ(counts[1], 200u);
    EXPECT_LT(counts.back(), 200u);
    EXPECT_EQ(all.rfind("help\r\nKaltro KX-P2 commands:", 0), 0u);
    EXPECT_EQ(all.substr(all.size() - 8), "device\r\n");
    EXPECT_EQ(all.find('\0'), std::string::npos);
}

static int openedFd = -1, clearedFd = -1;

TEST_F(Port, LineIsRaw115200WithoutFlowControlAndModemLinesLowered)
{
    Start({});
    /* A terminal left cooked, slow and with flow control by whoever used it
     * before (the simulator sets its own end raw, which would hide a setting
     * the port does not make itself). */
    int s = open(SIM_GetTerminal(), O_RDWR | O_NOCTTY);
    ASSERT_GE(s, 0);
    termios cooked{};
    ASSERT_EQ(tcgetattr(s, &cooked), 0);
    cooked.c_iflag |= ICRNL | IXON | IXOFF | INPCK | ISTRIP;
    cooked.c_oflag |= OPOST | ONLCR;
    cooked.c_lflag |= ICANON | ECHO | ISIG | IEXTEN;
    cooked.c_cflag = (cooked.c_cflag & ~CSIZE & ~CLOCAL) | CS7 | PARENB | CSTOPB | CRTSCTS;
    cooked.c_cc[VMIN] = 1;
    cooked.c_cc[VTIME] = 5;
    cfsetspeed(&cooked, B9600);
    ASSERT_EQ(tcsetattr(s, TCSANOW, &cooked), 0);

    RS232_OsCalls *calls = RS232_GetOsCalls();
    calls->OpenDevice = [](const char *p) {
        return openedFd = RS232_DefaultOsCalls().OpenDevice(p);
    };
    calls->ClearModemLines = [](int fd) {
        clearedFd = fd;
        return RS232_DefaultOsCalls().ClearModemLines(fd);
    };
    ASSERT_EQ(RS232_OpenPort(sim->port), RS232_OK);
    EXPECT_EQ(clearedFd, openedFd) << "DTR and RTS lowered on the port opened";

    termios t{};
    ASSERT_EQ(tcgetattr(openedFd, &t), 0);
    EXPECT_EQ(cfgetispeed(&t), B115200);
    EXPECT_EQ(cfgetospeed(&t), B115200);
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | INPCK | ISTRIP), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);

    /* Closing puts back what the port found. */
    RS232_Term();
    ASSERT_EQ(tcgetattr(s, &t), 0);
    EXPECT_EQ(t.c_lflag & ICANON, tcflag_t(ICANON));
    EXPECT_EQ(cfgetospeed(&t), B9600);
    close(s);
}

static int closes = 0;

TEST_F(Port, SystemFailuresCountAsNoReply)
{
    Start({"--voltage", "6"});
    RS232_OsCalls *calls = RS232_GetOsCalls();
    calls->SetLine = [](int) { return -1; };
    calls->CloseDevice = [](int fd) { return closes++, RS232_DefaultOsCalls().CloseDevice(fd); };
    EXPECT_EQ(RS232_OpenPort(sim->port), RS232_FAILED);
    EXPECT_EQ(closes, 1) << "the descriptor is closed again";
    EXPECT_EQ(SIM_CommandCount("gtid"), 0);
    /* Settings that did not take give their own reason, not whatever an
     * earlier call left in errno (the lock-file probe's ENOENT). */
    EXPECT_EQ(RS232_GetPortError()->Fault, RS232_FAULT_LINE);
    EXPECT_EQ(RS232_GetPortError()->Errno, EIO);

    *calls = RS232_DefaultOsCalls();
    ASSERT_EQ(RS232_OpenPort(sim->port), RS232_OK);
    calls->Read = [](int, void *, std::size_t) -> ssize_t { return errno = EIO, -1; };
    WriteABuffer("gtid\r", 5);
    RS232_Pause(30);
    std::uint32_t n = 99;
    char *buf = ReadABuffer(&n);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(buf[0], 0);

    countCalls();
    calls->Write = [](int, const void *, std::size_t) -> ssize_t { return errno = EIO, -1; };
    EXPECT_EQ(WriteABuffer("x", 1), 0);
    EXPECT_EQ(RS232_GetDeviceID(), -1);
    EXPECT_EQ(counted.waits, 0) << "a command that did not go out waits for no reply";
}

TEST_F(Port, SilentKaltroFailsAfterTheIdentificationReads)
{
    Start({"--silent"});
    double t = Seconds([&] { EXPECT_EQ(RS232_OpenPort(sim->port), RS232_FAILED); });
    EXPECT_GT(t, 1.0);
    EXPECT_LT(t, 3.0);
    EXPECT_EQ(SIM_CommandCount("gtid"), 1) << "written once, read five times";
}

TEST_F(Port, NoiseAndSplitRepliesStillIdentify)
{
    Start({"--noise", "--split", "--voltage", "6"});
    ASSERT_EQ(RS232_OpenPort(sim->port), RS232_OK);
    EXPECT_EQ(RS232_GetKaltroSWVer(), 2 * 256 + 13);
}

/* A child that lives until it is killed, to own a lock file. */
static pid_t sleeper()
{
    const pid_t pid = fork();
    if (pid == 0) {
        pause();
        _exit(0);
    }
    return pid;
}

/* The node's owner and mode as the system-call table reports them. */
static unsigned statGid, statMode;

TEST_F(Port, WhyAPortFailsIsKeptAndToldWithWhatToDo)
{
    Start({"--voltage", "6"});
    RS232_OsCalls *calls = RS232_GetOsCalls();
    wchar_t text[PORTINFO_TEXT_LEN];
    calls->OpenDevice = [](const char *) { return errno = EACCES, -1; };
    calls->StatNode = [](const char *, unsigned *uid, unsigned *gid, unsigned *mode) {
        return *uid = 0, *gid = statGid, *mode = statMode, 0;
    };
    /* Joining the group is advised only where the group may read and write
     * the node and is not root's; otherwise the owner and mode are told
     * with the administrator's way. The device node is named, with the COM
     * link beside it. */
    char node[256];
    ASSERT_NE(realpath(ports.Link(sim->port).c_str(), node), nullptr);
    const std::string link = ports.Link(sim->port);
    const std::wstring named = std::wstring(node, node + std::strlen(node)) + L" (" +
                               std::wstring(link.begin(), link.end()) + L") cannot be opened";
    const struct {
        const char *group;
        unsigned mode;
        const wchar_t *told; /* nullptr: the usermod advice */
    } cases[] = {
        {"dialout", S_IFCHR | 0660, nullptr},
        {"root", S_IFCHR | 0600, L"crw------- root root"},
        {"root", S_IFCHR | 0660, L"crw-rw---- root root"},
        {"tty", S_IFCHR | 0620, L"crw--w---- root tty"},
    };
    for (const auto &c : cases) {
        const group *g = getgrnam(c.group);
        ASSERT_NE(g, nullptr) << c.group;
        statGid = g->gr_gid;
        statMode = c.mode;
        EXPECT_EQ(RS232_OpenPort(sim->port), RS232_FAILED);
        const RS232_PortError_t *e = RS232_GetPortError();
        EXPECT_EQ(e->Fault, RS232_FAULT_PERMISSION);
        EXPECT_EQ(std::string(e->Path), link);
        ASSERT_EQ(PORTINFO_Message(e, text, PORTINFO_TEXT_LEN), 1);
        const std::wstring t = text;
        EXPECT_NE(t.find(named), std::wstring::npos) << t;
        const bool usermod = t.find(L"usermod") != std::wstring::npos;
        EXPECT_EQ(usermod, c.told == nullptr) << t;
        if (c.told == nullptr) {
            EXPECT_NE(t.find(L"sudo usermod -aG dialout $USER"), std::wstring::npos) << t;
        } else {
            EXPECT_NE(t.find(c.told), std::wstring::npos) << t;
            EXPECT_NE(t.find(L"sudo chgrp dialout " + std::wstring(node, node + std::strlen(node))),
                      std::wstring::npos)
                << t;
        }
    }
    calls->StatNode = RS232_DefaultOsCalls().StatNode;

    calls->OpenDevice = [](const char *) { return errno = EBUSY, -1; };
    EXPECT_EQ(RS232_OpenPort(sim->port), RS232_FAILED);
    EXPECT_EQ(RS232_GetPortError()->Fault, RS232_FAULT_IN_USE);
    calls->OpenDevice = RS232_DefaultOsCalls().OpenDevice;
    calls->SetLine = [](int) { return errno = ENOTTY, -1; };
    EXPECT_EQ(RS232_OpenPort(sim->port), RS232_FAILED);
    EXPECT_EQ(RS232_GetPortError()->Fault, RS232_FAULT_NOT_TTY);
    *calls = RS232_DefaultOsCalls();

    /* A UUCP lock file naming a live process keeps the port untouched; one
     * whose process has gone is stale. */
    char dev[256];
    ASSERT_NE(realpath(ports.Link(sim->port).c_str(), dev), nullptr);
    std::string name = dev + 5; /* after "/dev/" */
    std::replace(name.begin(), name.end(), '/', '_');
    const std::string lock = "/run/lock/LCK.." + name;
    const pid_t owner = sleeper();
    if (FILE *f = std::fopen(lock.c_str(), "w")) {
        std::fprintf(f, "%10d\n", static_cast<int>(owner));
        std::fclose(f);
        EXPECT_EQ(RS232_OpenPort(sim->port), RS232_FAILED);
        EXPECT_EQ(RS232_GetPortError()->Fault, RS232_FAULT_IN_USE);
        EXPECT_EQ(RS232_GetPortError()->LockPid, owner);
        EXPECT_EQ(SIM_CommandCount("gtid"), 0) << "nothing is written into a locked port";
        ASSERT_EQ(PORTINFO_Message(RS232_GetPortError(), text, PORTINFO_TEXT_LEN), 1);
        EXPECT_NE(std::wstring(text).find(L"process " + std::to_wstring(owner)),
                  std::wstring::npos);
    } else {
        ADD_FAILURE() << "cannot write " << lock;
    }
    kill(owner, SIGKILL);
    waitpid(owner, nullptr, 0);
    EXPECT_EQ(RS232_OpenPort(sim->port), RS232_OK) << "the lock's process has gone";
    std::remove(lock.c_str());
}

/* The whole lock file, or "" when there is none. */
static std::string lockText(const std::string &file)
{
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(Port, AnOpenPortIsLockedAndASecondProcessIsToldWhoHoldsIt)
{
    if (access("/run/lock", W_OK) != 0) GTEST_SKIP() << "this user may not write in /run/lock";
    Start({"--voltage", "6"});
    char dev[256];
    ASSERT_NE(realpath(ports.Link(sim->port).c_str(), dev), nullptr);
    std::string name = dev + 5; /* after "/dev/" */
    std::replace(name.begin(), name.end(), '/', '_');
    const std::string lock = "/run/lock/LCK.." + name;
    char ours[16];
    std::snprintf(ours, sizeof ours, "%10d\n", static_cast<int>(getpid()));

    /* The second process starts before the port is opened, so it holds
     * nothing of the first; it tries the port once told to. */
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    const pid_t second = fork();
    if (second == 0) {
        char c;
        close(go[1]);
        if (read(go[0], &c, 1) != 1) _exit(2);
        const int r = RS232_OpenPort(sim->port);
        wchar_t text[PORTINFO_TEXT_LEN];
        PORTINFO_Message(RS232_GetPortError(), text, PORTINFO_TEXT_LEN);
        const std::wstring holder = L"process " + std::to_wstring(getppid()) + L")";
        _exit(r == RS232_FAILED && RS232_GetPortError()->LockPid == getppid() &&
                      std::wstring(text).find(holder) != std::wstring::npos
                  ? 0
                  : 1);
    }
    close(go[0]);
    ASSERT_EQ(RS232_OpenPort(sim->port), RS232_OK);
    EXPECT_EQ(lockText(lock), ours) << "ten ASCII digits and a line end";
    ASSERT_EQ(write(go[1], "g", 1), 1);
    close(go[1]);
    int status = -1;
    waitpid(second, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the second process was not told this one holds the port";
    RS232_Term();
    EXPECT_NE(access(lock.c_str(), F_OK), 0) << "closing removes the lock file";

    /* A run that was killed left its lock: it is taken over. */
    const pid_t killed = fork();
    if (killed == 0) _exit(0);
    waitpid(killed, nullptr, 0);
    if (FILE *f = std::fopen(lock.c_str(), "w")) {
        std::fprintf(f, "%10d\n", static_cast<int>(killed));
        std::fclose(f);
    }
    ASSERT_EQ(RS232_OpenPort(sim->port), RS232_OK);
    EXPECT_EQ(lockText(lock), ours);
    RS232_Term();
    EXPECT_NE(access(lock.c_str(), F_OK), 0);
}

TEST_F(Port, AScanTellsARefusedPortAndAHangUpEndsEveryWait)
{
    Start({"--voltage", "6"});
    /* the number below the simulator names the same terminal, refused */
    const int refused = sim->port + 1;
    char dev[256];
    ASSERT_NE(realpath(ports.Link(sim->port).c_str(), dev), nullptr);
    ASSERT_EQ(PORTNAME_Publish(refused, dev), 0);
    static std::string refusedPath;
    refusedPath = ports.Link(refused);
    RS232_OsCalls *calls = RS232_GetOsCalls();
    calls->OpenDevice = [](const char *p) {
        return refusedPath == p ? (errno = EACCES, -1) : RS232_DefaultOsCalls().OpenDevice(p);
    };
    RS232_ResetPortNumber();
    RS232_SetPortNumber(refused);
    EXPECT_EQ(RS232_Progress(), RS232_PORT_NEXT);
    EXPECT_EQ(RS232_GetScanRefusal()->Fault, RS232_FAULT_PERMISSION);
    EXPECT_EQ(std::string(RS232_GetScanRefusal()->Path), refusedPath);
    RS232_SetPortNumber(sim->port);
    EXPECT_EQ(RS232_Progress(), RS232_PORT_FOUND);
    EXPECT_EQ(RS232_GetPortError()->Fault, RS232_FAULT_NONE);

    /* The line hangs up: the read ends at once, the port is closed and
     * reported lost, and nothing later waits on it. */
    calls->Wait = [](int, short, long) { return errno = ENXIO, -1; };
    std::uint32_t n = 9;
    ReadABuffer(&n);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(RS232_PortLost(), 1);
    EXPECT_EQ(RS232_GetPortError()->Errno, ENXIO) << "the reason of the wait that failed";
    *calls = RS232_DefaultOsCalls();
    EXPECT_EQ(WriteABuffer("gtid\r", 5), 0);
    EXPECT_EQ(RS232_GetDeviceID(), -1);
    EXPECT_EQ(RS232_Reconnect(), RS232_OK) << "the same number, opened again";
    EXPECT_EQ(RS232_PortLost(), 0);
    EXPECT_EQ(RS232_GetKaltroSWVer(), 2 * 256 + 13);
    PORTNAME_Unpublish(refused, dev);
}

TEST_F(Port, AHangUpEndsAPauseAtOnceAndIsToldWithItsReason)
{
    Start({"--voltage", "6"});
    ASSERT_EQ(RS232_OpenPort(sim->port), RS232_OK);
    /* A live line: the pause lasts its time and leaves the answer unread. */
    ASSERT_EQ(WriteABuffer("gtid\r", 5), 1);
    EXPECT_GE(Seconds([] { RS232_Pause(300); }), 0.3);
    EXPECT_EQ(RS232_WatchLine(), 0);
    std::uint32_t n = 0;
    EXPECT_EQ(std::string(ReadABuffer(&n), 6), "gtid\r\n");

    /* The simulator ends 200 ms into the 1.5 s pause after the "C". */
    std::chrono::steady_clock::time_point closed;
    std::thread closer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        sim->Stop();
        closed = std::chrono::steady_clock::now();
    });
    RS232_Pause(1500);
    const auto ended = std::chrono::steady_clock::now();
    closer.join();
    EXPECT_LT(ended - closed, std::chrono::milliseconds(500));
    EXPECT_EQ(RS232_PortLost(), 1);
    EXPECT_EQ(RS232_GetPortError()->Errno, EIO);
    wchar_t text[PORTINFO_TEXT_LEN];
    ASSERT_EQ(PORTINFO_LostMessage(RS232_GetPortError(), text, PORTINFO_TEXT_LEN), 1);
    const std::string path = RS232_GetDevicePath();
    EXPECT_EQ(std::wstring(text), L"the Kaltro's port " + std::wstring(path.begin(), path.end()) +
                                      L" went away: Input/output error");

    /* The windows look between the slices of their own sleeps. */
    Start({"--voltage", "6"});
    ASSERT_EQ(RS232_OpenPort(sim->port), RS232_OK);
    sim->Stop();
    EXPECT_EQ(RS232_WatchLine(), 1);
}

TEST_F(Port, AWriteOutOfTimeAndAFileThatIsNoPortKeepTheirReasons)
{
    Start({"--voltage", "6"});
    ASSERT_EQ(RS232_OpenPort(sim->port), RS232_OK);
    /* The simulator stops reading but keeps its end open: the terminal fills
     * up, and a write can no longer go out within its time. */
    SIM_RequestStop();
    sim->worker.join();
    for (int i = 0; i < 100000 && WriteABuffer(std::string(64, 'x').c_str(), 64) == 1; i++) {}
    EXPECT_EQ(RS232_PortLost(), 0);
    EXPECT_EQ(RS232_GetPortError()->Fault, RS232_FAULT_IO);
    EXPECT_EQ(RS232_GetPortError()->Errno, ETIMEDOUT);
    RS232_Term();
    SIM_Close();

    EXPECT_EQ(RS232_OpenPath(ports.dir.File("plain.txt", "text").c_str()), RS232_FAILED);
    EXPECT_EQ(RS232_GetPortError()->Fault, RS232_FAULT_NOT_TTY);
    EXPECT_EQ(RS232_GetPortError()->Errno, ENOTTY);
}
